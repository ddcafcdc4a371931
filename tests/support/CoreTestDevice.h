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

    bool initDevice() override;
    QJsonObject* getLayout() override { return &m_layout; }
    int getFwVersion() override { return m_fwVersion; }
    int getDpiIndex() override { return 0; }
    QVector<int> getDpiList() override { return {}; }
    int getReportRate() override { return 0; }
    int getLightModel(int) override { return 0; }
    int getLightSpeed(int) override { return 0; }
    int getLightBrightness(int) override { return 0; }
    QMap<QString, int> getRGB(int) override { return {}; }
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
};
