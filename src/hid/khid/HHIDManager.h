#pragma once

#include "platform/hid/HidTypes.h"

#include <QObject>

// Forwards to the handle-level transfers of the HID layer, so that they can be reached through an object.
class HHIDManager : public QObject
{
    Q_OBJECT
public:
    explicit HHIDManager(QObject* parent = nullptr);

    virtual bool sendFeature(KHID::HANDLE handle, const KHID::BYTE* buffer, KHID::DWORD length);
    virtual bool readFeature(KHID::HANDLE handle, KHID::BYTE* buffer, KHID::DWORD length);
    virtual bool sendOutputReport(KHID::HANDLE handle, const KHID::BYTE* buffer, KHID::DWORD length);
    virtual bool readInputReport(KHID::HANDLE handle, KHID::BYTE* buffer, KHID::DWORD length);
    virtual bool writeData(KHID::HANDLE handle, const KHID::BYTE* buffer, KHID::DWORD length, KHID::DWORD* written);
    virtual bool readData(KHID::HANDLE handle, KHID::BYTE* buffer, KHID::DWORD length, KHID::DWORD* read);
};
