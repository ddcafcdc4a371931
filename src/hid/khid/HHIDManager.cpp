#include "hid/khid/HHIDManager.h"

#include "hid/khid/KHidFunctions.h"

HHIDManager::HHIDManager(QObject* parent)
    : QObject(parent)
{
}

bool HHIDManager::sendFeature(KHID::HANDLE handle, const KHID::BYTE* buffer, KHID::DWORD length)
{
    return KHID::sendFeatureToHandle(handle, buffer, length);
}

bool HHIDManager::readFeature(KHID::HANDLE handle, KHID::BYTE* buffer, KHID::DWORD length)
{
    return KHID::readFeatureFromHandle(handle, buffer, length);
}

bool HHIDManager::sendOutputReport(KHID::HANDLE handle, const KHID::BYTE* buffer, KHID::DWORD length)
{
    return KHID::sendOutputReportToHandle(handle, buffer, length);
}

bool HHIDManager::readInputReport(KHID::HANDLE handle, KHID::BYTE* buffer, KHID::DWORD length)
{
    return KHID::readInputReportToHandle(handle, buffer, length);
}

bool HHIDManager::writeData(KHID::HANDLE handle, const KHID::BYTE* buffer, KHID::DWORD length, KHID::DWORD* written)
{
    return KHID::writeDataToHandle(handle, buffer, length, written);
}

bool HHIDManager::readData(KHID::HANDLE handle, KHID::BYTE* buffer, KHID::DWORD length, KHID::DWORD* read)
{
    return KHID::readDataFromHandle(handle, buffer, length, read);
}
