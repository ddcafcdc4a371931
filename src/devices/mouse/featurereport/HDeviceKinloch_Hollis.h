#pragma once

#include "devices/mouse/MouseSession.h"
#include "hid/KBaseDevice.h"

#include <QByteArray>
#include <QJsonObject>
#include <QMutex>
#include <QString>

namespace KHID {
class KUSBDevice;
}

// The supplier image mouse: another controller behind its own collection (usage 0x92, page 0xFF1C) that keeps
// its configuration in the two-page image (TwoPageImage.h). It is read whole when the mouse opens; the light
// mode is changed in the copy and the whole image written back as two pages, each acknowledged by one report.
// Only opening, the firmware version and the light mode are offered: every other operation does no device
// work. Nothing is ever written before an image has been read, so a mouse is never sent an image of zeros.
//
// Threads: lives on the GUI thread; initDevice runs there and does its first read and write on the pool with
// a bounded wait. Operations run on pool threads through HWork, one at a time (the session's operation lock);
// each exchange holds the shared transaction mutex. The image is guarded by a state lock never held during I/O.
class HDeviceKinloch_Hollis : public KBaseDevice
{
    Q_OBJECT
public:
    explicit HDeviceKinloch_Hollis(QObject* parent = nullptr);
    ~HDeviceKinloch_Hollis() override;

    bool initDevice() override;
    QJsonObject* getLayout() override;
    int getFwVersion() override;
    int getDpiIndex() override { return -1; }
    QVector<int> getDpiList() override { return QVector<int>(); }
    int getReportRate() override { return -1; }
    int getLightModel(int) override { return -1; }
    int getLightSpeed(int) override { return -1; }
    int getLightBrightness(int) override { return -1; }
    QMap<QString, int> getRGB(int) override { return QMap<QString, int>(); }
    QMap<KKey, KKeyModelItem> getKeys() override { return QMap<KKey, KKeyModelItem>(); }
    int getConfigByte() override { return -1; }
    int getOLEDLightIntensity() override { return -1; }
    int getMacroBufferSize() override { return 0; }
    bool setDpiIndex(const int&) override { return false; }
    bool setDpiList(const QVector<int>&) override { return false; }
    bool setReportRate(const int&) override { return false; }
    bool setLightModel(const int& mode, int zone) override;
    bool setLightSpeed(const int&, int) override { return false; }
    bool setLightBrightness(const int&, int) override { return false; }
    bool setRGB(const QMap<QString, int>&, int) override { return false; }
    bool setShortCutModel(const int&, int) override { return false; }
    bool setKeyFunction(const KKey&, const KKeyFunction&, const QVariant&, QVariant, QVariant) override
    {
        return false;
    }
    int setMacro(bool, const MacroPlayType&, const QVector<KMacroItem>&, QVariant, const int&) override
    {
        return -1;
    }
    bool getMacro(QVector<KMacroItem>&, const KKey&) override { return true; }
    bool writeReportRate(const int&) override { return false; }
    bool setOLEDLightIntensity(const int&) override { return false; }
    bool writeImageToMouse() override { return false; }
    bool setPicNumber(const int&) override { return false; }
    bool checkMacroId(const int&, int*) override { return false; }
    bool checkLeftKey(const int&) override { return false; }
    bool macroFilter(QVector<KMacroItem>&, int*) override { return false; }
    int getMouseConfig(QJsonObject) override { return ProfileNotHandled; }

    // Reads the image; false when not opened or the mouse did not answer.
    bool readFile();
    // Writes the image as it is; false when none has been read.
    bool writeData();

    // For tests: the image as the object holds it.
    QByteArray image() const;

private:
    bool openChannel();
    bool runStartup();
    bool readImageLocked();
    bool commitImage(QByteArray next);
    bool writeReport(const QByteArray& report);
    bool readReport(int size, QByteArray* report);

    const quint16 m_pid;
    KHID::KUSBDevice* m_channel = nullptr;
    QJsonObject m_layout;
    MouseSession m_session{this};

    mutable QMutex m_stateLock;
    quint8 m_savedDpiStage = 0;
    QByteArray m_image;
    bool m_imageRead = false;
};
