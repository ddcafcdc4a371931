#pragma once

#include "CoreTestDevice.h"

#include <QByteArray>

// The host side of the settings mouse (SettingsMouseProtocol.h): a device object that carries out the DPI,
// report-rate and per-key light operations over the simulated bus, one feature-report transaction each under
// the shared transaction mutex. Everything else answers as CoreTestDevice does.
//
// Threads: initDevice on the GUI thread, the operations on pool threads.
class SettingsMouseDevice : public CoreTestDevice
{
    Q_OBJECT
public:
    explicit SettingsMouseDevice(int pid);
    ~SettingsMouseDevice() override;

    bool initDevice() override;

    int getDpiIndex() override;
    QVector<int> getDpiList() override;
    int getReportRate() override;
    bool setDpiIndex(const int& index) override;
    bool setDpiList(const QVector<int>& values) override;
    bool setReportRate(const int& rate) override;
    H_KEYLIGHT getKeyColor() override;
    bool setKeyRGB(const KKey& key, const QMap<QString, int>& rgb, const int& a, const int& b) override;
    bool setKeyBrightness(const KKey& key, const int& level) override;

private:
    bool writeRegisters(int address, const QByteArray& bytes);
    // Empty when the exchange failed.
    QByteArray readRegisters(int address, int length);
    int readByte(int address);
};
