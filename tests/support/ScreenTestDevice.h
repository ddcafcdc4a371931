#pragma once

#include "CoreTestDevice.h"

#include <QByteArray>

#include <functional>

namespace KHID {
class KUSBDevice;
}

// A device object for tests of the screen and battery models: it talks to SimScreenFirmware over the
// simulated bus, as a device class does, for the screen's brightness, display mode and picture and for power
// saving; everything else is CoreTestDevice's. Not a driver of any real family.
//
// Threads: initDevice on the GUI thread, the operations on pool threads; each exchange holds the shared
// transaction mutex.
class ScreenTestDevice : public CoreTestDevice
{
    Q_OBJECT
public:
    explicit ScreenTestDevice(int pid);

    bool initDevice() override;
    int getOLEDLightIntensity() override;
    int getCurrentPicIndex() override;
    bool setOLEDLightIntensity(const int& intensity) override;
    bool setCurrentPicIndex(const int& index) override;
    // Reads the editor's picture file and uploads it in chunks.
    bool writeImageToMouse() override;
    bool getPowerSaving() override;
    bool setPowerSaving(bool on) override;

    // Called on the pool thread once the picture file has been read, before the upload.
    void setAfterPictureRead(std::function<void()> hook) { m_afterPictureRead = std::move(hook); }

private:
    // One command and its reply; the reply's value, or -1 when the exchange failed or was refused.
    int exchange(quint8 op, quint8 argument, const QByteArray& data = QByteArray());

    KHID::KUSBDevice* m_channel = nullptr;
    std::function<void()> m_afterPictureRead;
};
