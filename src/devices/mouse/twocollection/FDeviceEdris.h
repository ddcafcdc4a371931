#pragma once

#include "devices/keyboard/KKeyCode.h"
#include "devices/mouse/MouseSessionDevice.h"
#include "devices/mouse/twocollection/EdrisMacro.h"
#include "devices/mouse/twocollection/EdrisModels.h"
#include "devices/mouse/twocollection/EdrisTransport.h"

#include <QByteArray>
#include <QImage>
#include <QJsonObject>
#include <QMap>
#include <QMutex>
#include <QString>
#include <QVector>

#include <functional>

namespace KHID {
class KUSBDevice;
}

// The two-collection mouse: its whole configuration lives in a 476-byte profile image inside the device's
// 1024-byte image (EdrisProtocol.h). The object reads it when the mouse opens, answers every getter from its
// copy, and for every edit changes a copy and writes the whole image back under its two checksums; the copy
// becomes the object's profile only once the mouse has taken it, so a refused or failed edit never rides along
// with the next one. Macros and the OLED picture travel as blocks of their own. The six models change
// constants only (EdrisModels.h).
//
// Threads: lives on the GUI thread. Its operations run on pool threads through HWork, one at a time (the
// session's operation lock, which the GUI thread never waits for); each exchange holds the shared transaction
// mutex. The profile is guarded by a state lock that is never held during I/O, so the GUI thread may read it.
// What the operations need of the user interface (stage switches, light items, key items) comes from the
// session's copy; what they change in it is handed to the GUI thread after the mouse took the change.
class FDeviceEdris : public MouseSessionDevice
{
    Q_OBJECT
public:
    explicit FDeviceEdris(QObject* parent = nullptr);
    ~FDeviceEdris() override;

    // --- KBaseDevice ----------------------------------------------------------------------------------------
    bool initDevice() override;
    int getFwVersion() override;
    int getDpiIndex() override { return -1; }
    QVector<int> getDpiList() override;
    int getReportRate() override;
    int getLightModel(int zone) override;
    int getLightSpeed(int zone) override;
    int getLightBrightness(int zone) override;
    QMap<QString, int> getRGB(int zone) override;
    QMap<KKey, KKeyModelItem> getKeys() override;
    int getCurrentPicIndex() override;
    int getOLEDLightIntensity() override;
    int getBatteryValue() override { return -1; }
    int getPressMacroCode() override { return -1; }
    // A flag: 1 when key 0 holds the press-macro code, else 0 (not the number of press macros).
    int getDefinedPressMacro() override;
    int getMacroBufferSize() override { return Edris::kMacroBufferSize; }
    bool setDpiIndex(const int&) override { return false; }
    bool setDpiList(const QVector<int>& values) override;
    bool setReportRate(const int& rate) override;
    bool setLightModel(const int& effect, int zone) override;
    bool setLightSpeed(const int& speed, int zone) override;
    bool setLightBrightness(const int& brightness, int zone) override;
    bool setRGB(const QMap<QString, int>& rgb, int zone) override;
    bool setKeyFunction(const KKey& key, const KKeyFunction& function, const QVariant& value1, QVariant value2,
                        QVariant value3) override;
    int setMacro(bool ignoreDelays, const MacroPlayType& playType, const QVector<KMacroItem>& items,
                 QVariant times, const int& macroId) override;
    bool writeReportRate(const int&) override { return false; }
    bool setOLEDLightIntensity(const int& intensity) override;
    bool setCurrentPicIndex(const int& index) override;
    bool writeImageToMouse() override;
    bool setPicNumber(const int&) override { return true; }
    bool setPressMacroCode(const int&) override { return true; }
    bool setDefinedPressMacro(const int& count) override;
    bool setDefaultFlash() override { return true; }
    bool checkMacroId(const int& id, int* out) override;
    bool checkLeftKey(const int& key) override;
    bool macroFilter(QVector<KMacroItem>& items, int* id) override;
    int getMouseConfig(QJsonObject profile) override;

    // --- the family's operations ----------------------------------------------------------------------------
    // Reads the device image; the first 476 bytes go to profile. True when the image passes the checksum test.
    virtual bool getProfileData(quint8* profile);
    // Writes a profile: the device's current image is read first, the profile goes in under both checksums.
    // On success the profile becomes the object's.
    virtual bool SetProfileData(quint8* profile);
    // The first checksum's test of an image (at least 481 bytes); on success completes it for writing (the
    // sign flag and adjustment kept from the last read, the second checksum).
    virtual bool checkProfileChecksum(quint8* image);
    // A key's function with combination data into the object's profile, without writing it (the caller
    // writes); the key model's item follows once the operation succeeds.
    virtual bool setCompositeKey(const KKey& key, const KKeyFunction& function, const QVariant& mask,
                                 QVariant usage);
    virtual int dpiCodeToValue(quint16 code);
    virtual quint16 dpiValueToCode(int value);
    virtual bool keyFunctionToCode(const KKeyFunction& function, KKeyCode* out, quint8 parameter1,
                                   quint8 parameter2);
    virtual KKeyModelItem& keyCodeToItem(KKeyModelItem& item, const KKeyCode& code, int key);

    // Status query: the status byte is answer byte index + 1; with busyTest an answer marked busy fails.
    bool queryStatus(quint8* status, int index, bool busyTest);
    // Up to four busy-tested queries, 100 ms apart, until the status is 0.
    bool GetStatus(quint8* status, int index);
    quint8 getButtonMacroAddress(int key) const;
    bool SetMacroStruct(const EdrisMacroStruct& record, quint8 address);
    // A 128x32 one-bit picture (least significant bit first) as the screen's block of four pages.
    static bool pictureToPages(const QImage& picture, quint8* block, int length);
    bool writePictureData(const QByteArray& transferBlock);
    bool readPictureData(QByteArray* transferBlock);
    static quint32 profileChecksum(const quint8* image, int first, int end);

    // For tests and the profile save: the profile and device image as the object holds them.
    QByteArray profile() const;
    QByteArray deviceImage() const;
    quint16 productId() const { return m_model.pid; }
    const Edris::Model& model() const { return m_model; }

protected:
    FDeviceEdris(const Edris::Model& model, QObject* parent);

    struct ApplyPlan;
    using KeyChange = MouseKeyChange;

    // GUI thread: opens both channels, or keeps open ones while an operation holds the mouse.
    bool openForInit();
    bool openChannel(KHID::KUSBDevice*& channel, int featureLength, const char* log);
    bool runStartupRead();

    // The caller of these holds the operation.
    bool readImage(QByteArray* image);
    bool commitProfile(QByteArray next);
    bool editProfile(const std::function<bool(QByteArray&)>& change);
    int placeOf(int key) const;
    bool validZone(int zone) const { return zone == Edris::kMainZone || zone == Edris::kWheelZone; }
    bool validDpiValue(int value);
    // The stage values setDpiList stores for a list and its switches, with the stages the DPI model is told
    // (index -> value); false when the list cannot be stored.
    bool planDpi(const QVector<int>& values, const QVector<bool>& enable, QVector<int>* stored,
                 QMap<int, int>* defaults);
    void storeDpi(QByteArray& profile, const QVector<int>& values);
    // One key's function with combination data on a profile copy (the rules of setCompositeKey).
    bool planCompositeKey(QByteArray& profile, const QVariantList& keyList, int key, int function, int mask,
                          int usage, KeyChange* change);
    bool planProfile(const QJsonObject& document, const MouseUiState& ui, ApplyPlan* plan);
    bool commitPlan(ApplyPlan& plan, MouseOperation& op);
    static const QVariantMap lightItem(const MouseUiState& ui, int zone);

    KHID::KUSBDevice* m_command = nullptr;
    KHID::KUSBDevice* m_data = nullptr;
    const Edris::Model& m_model;
    EdrisTransport m_transport;
    TwoPage::DpiTable m_dpiTable;    // value -> code, for the table models
    QMap<int, int> m_macroMap;       // index -> macro id; a refused macro's entries become -1

    // Under m_stateLock.
    QByteArray m_profile;            // the profile the mouse last took (476 bytes)
    QByteArray m_image;              // the device image of the last read or write (1024 bytes)
    quint8 m_sign = 0;
    quint8 m_adjustment = 0;
    int m_playCode = 0;
    int m_fwVersion = -1;
};
