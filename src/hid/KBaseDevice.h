#pragma once

#include "hid/HWork.h"
#include "models/device/FKeyLightModelItem.h"
#include "models/keys/KKey.h"
#include "models/keys/KKeyModelItem.h"
#include "models/keys/KMacroItem.h"
#include "models/keys/MacroPlayType.h"

#include <QJsonObject>
#include <QMap>
#include <QObject>
#include <QString>
#include <QVariant>
#include <QVector>

#include <atomic>

// The one interface through which the program talks to a connected device. Device classes override what
// their hardware supports; the optional operations answer with neutral values and never touch the device.
// Apart from initDevice (GUI thread) every operation is meant to run on a pool thread through an HWork.
//
// Results: a getter of one value returns -1 when the exchange fails, a list or map getter an empty container,
// a setter false.
class KBaseDevice : public QObject
{
    Q_OBJECT
public:
    explicit KBaseDevice(QObject* parent = nullptr);
    ~KBaseDevice() override;

    // Set on the GUI thread when the device has been unplugged; read on any thread.
    void setRemoved(bool removed);
    bool isRemoved() const;

    // Opens the channel, reads the start-up state and starts interrupt reading. GUI thread.
    virtual bool initDevice() = 0;
    // The device's layout document ("deviceType", "deviceName", "win7Update", "hasPowerSaving", keys, lights).
    virtual QJsonObject* getLayout() = 0;
    virtual int getFwVersion() = 0;
    virtual int getDpiIndex() = 0;
    virtual QVector<int> getDpiList() = 0;
    virtual int getReportRate() = 0;
    // zone: 0 main light, 1 wheel.
    virtual int getLightModel(int zone) = 0;
    virtual int getLightSpeed(int zone) = 0;
    virtual int getLightBrightness(int zone) = 0;
    // Keys "r", "g", "b".
    virtual QMap<QString, int> getRGB(int zone) = 0;
    virtual QMap<KKey, KKeyModelItem> getKeys() = 0;
    virtual int getConfigByte() { return 0; }
    virtual int getCurrentPicIndex() { return 0; }
    virtual int getOLEDLightIntensity() { return 0; }
    virtual int getBatteryValue() { return 0; }
    virtual int getPressMacroCode() { return 0; }
    // How many macros one key holds; a multi-macro left key shows here.
    virtual int getDefinedPressMacro() { return 0; }
    virtual bool getPowerSaving() { return false; }
    virtual int getLogoLightMode(int zone) { return 0; }
    virtual H_KEYLIGHT getKeyBrightness() { return H_KEYLIGHT(); }
    virtual H_KEYLIGHT getKeyColor() { return H_KEYLIGHT(); }
    virtual bool getLightDirection() { return false; }
    virtual bool getLightMonochromatic() { return false; }
    virtual int getMacroBufferSize() = 0;
    virtual int readConfigByte() { return -1; }
    virtual bool setDpiIndex(const int& index) = 0;
    virtual bool setDpiList(const QVector<int>& values) = 0;
    virtual bool setReportRate(const int& rate) = 0;
    virtual bool setLightModel(const int& mode, int zone) = 0;
    virtual bool setLightSpeed(const int& speed, int zone) = 0;
    virtual bool setLightBrightness(const int& brightness, int zone) = 0;
    virtual bool setRGB(const QMap<QString, int>& rgb, int zone) = 0;
    virtual bool setShortCutModel(const int& mode, int zone) = 0;
    virtual bool setKeyFunction(const KKey& key, const KKeyFunction& function, const QVariant& a, QVariant b,
                                QVariant c) = 0;
    // Returns the device's own code: 1 written, -1 failed.
    virtual int setMacro(bool ignoreDelay, const MacroPlayType& playType, const QVector<KMacroItem>& items,
                         QVariant times, const int& slot) = 0;
    virtual bool getMacro(QVector<KMacroItem>& items, const KKey& key) = 0;
    virtual bool writeReportRate(const int& rate) { return false; }
    virtual bool setOLEDLightIntensity(const int& intensity) { return false; }
    virtual bool setCurrentPicIndex(const int& index) { return false; }
    virtual bool writeImageToMouse() { return false; }
    virtual bool setPicNumber(const int& number) { return false; }
    virtual bool setPressMacroCode(const int& code) { return false; }
    virtual bool setDefinedPressMacro(const int& count) { return false; }
    virtual bool setDefaultFlash() { return false; }
    virtual bool setPowerSaving(bool on) { return false; }
    virtual bool setLogoLightMode(const int& mode, int zone) { return false; }
    virtual bool setKeyBrightness(const KKey& key, const int& level) { return false; }
    virtual bool setKeyRGB(const KKey& key, const QMap<QString, int>& rgb, const int& a, const int& b)
    {
        return false;
    }
    virtual bool setLightDirection(bool on) { return false; }
    virtual bool setMonochromaticMode(bool on) { return false; }
    virtual bool setOperatingMode(const int& mode, int zone) { return true; }
    // Macro-count guard before a macro is assigned; the chosen slot goes to *slot.
    virtual bool checkMacroId(const int& key, int* slot) = 0;
    // Keeps at least one key working as the left button.
    virtual bool checkLeftKey(const int& key) = 0;
    // Rejects a macro list holding an empty macro; the caller sets *out to 0.
    virtual bool macroFilter(QVector<KMacroItem>& items, int* out) = 0;
    // What getMouseConfig did with a profile (the numbers are the interface's).
    enum ProfileApply : int {
        ProfileNotHandled = 0, // the caller writes field by field
        ProfileApplied = 1,
        ProfileFailed = 2,
    };
    // Applies a whole profile through the device's own setters; a ProfileApply value.
    virtual int getMouseConfig(QJsonObject profile) { return ProfileNotHandled; }
    // Starts live reporting.
    virtual bool enterGameMode() { return false; }

signals:
    void sigBattrey(int level);
    void sigcurrentChange(int mode, int brightness, int speed, int logoLight);
    void sigCurrentModeChange(int mode);
    void sigcurrentCPI(int index);
    void sigStartThread();

protected:
    bool opened = false;

private:
    std::atomic<bool> removed{false};

protected:
    HWork work;
};
