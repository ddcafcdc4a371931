#pragma once

#include "hid/KBaseDevice.h"

#include <QJsonObject>

// A device class for tests of the device core: it implements every required operation without any device
// traffic, with values the test can set, and counts its instances so that tests can see when it is deleted.
class CoreTestDevice : public KBaseDevice
{
    Q_OBJECT
public:
    explicit CoreTestDevice(int pid = 0);
    ~CoreTestDevice() override;

    static int liveCount();

    int pid() const { return m_pid; }
    void setFwVersion(int version) { m_fwVersion = version; }
    void setLayout(const QJsonObject& layout) { m_layout = layout; }
    // What the colour, preset, direction and monochromatic writes answer (false by default).
    void setLightAnswer(bool ok) { m_lightAnswer = ok; }
    // What the light reads of a zone (0 or 1) answer: effect, speed, brightness, colour.
    struct Light {
        int mode = 0;
        int speed = 0;
        int brightness = 0;
        QMap<QString, int> rgb;
    };
    void setLight(int zone, const Light& light) { m_light[zone == 1] = light; }
    void setLightSwitches(bool direction, bool monochromatic)
    {
        m_direction = direction;
        m_monochromatic = monochromatic;
    }

    bool initDevice() override;
    QJsonObject* getLayout() override { return &m_layout; }
    int getFwVersion() override { return m_fwVersion; }
    int getDpiIndex() override { return 0; }
    QVector<int> getDpiList() override { return {}; }
    int getReportRate() override { return 0; }
    int getLightModel(int zone) override { return m_light[zone == 1].mode; }
    int getLightSpeed(int zone) override { return m_light[zone == 1].speed; }
    int getLightBrightness(int zone) override { return m_light[zone == 1].brightness; }
    QMap<QString, int> getRGB(int zone) override { return m_light[zone == 1].rgb; }
    bool getLightDirection() override { return m_direction; }
    bool getLightMonochromatic() override { return m_monochromatic; }
    QMap<KKey, KKeyModelItem> getKeys() override { return {}; }
    int getMacroBufferSize() override { return 256; }
    bool setDpiIndex(const int&) override { return false; }
    bool setDpiList(const QVector<int>&) override { return false; }
    bool setReportRate(const int&) override { return false; }
    bool setLightModel(const int&, int) override { return true; }
    bool setLightSpeed(const int&, int) override { return true; }
    bool setLightBrightness(const int&, int) override { return true; }
    bool setRGB(const QMap<QString, int>&, int) override { return m_lightAnswer; }
    bool setShortCutModel(const int&, int) override { return m_lightAnswer; }
    bool setLightDirection(bool) override { return m_lightAnswer; }
    bool setMonochromaticMode(bool) override { return m_lightAnswer; }
    bool setKeyFunction(const KKey&, const KKeyFunction&, const QVariant&, QVariant, QVariant) override
    {
        return false;
    }
    int setMacro(bool, const MacroPlayType&, const QVector<KMacroItem>&, QVariant, const int&) override
    {
        return -1;
    }
    bool getMacro(QVector<KMacroItem>&, const KKey&) override { return false; }
    bool checkMacroId(const int&, int*) override { return false; }
    bool checkLeftKey(const int&) override { return true; }
    bool macroFilter(QVector<KMacroItem>&, int*) override { return true; }

    // The device's own executor, for tests that run work through it.
    HWork& executor() { return work; }

private:
    int m_pid;
    int m_fwVersion = 0x80;
    QJsonObject m_layout;
    bool m_lightAnswer = false;
    Light m_light[2];
    bool m_direction = false;
    bool m_monochromatic = false;
};
