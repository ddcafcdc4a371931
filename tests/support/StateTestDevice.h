#pragma once

#include "CoreTestDevice.h"

#include <QMutex>

// A mouse-like device that holds its settings in memory: every getter reads them and every setter writes them,
// so a profile applied field by field, saved back and compared travels through one state that the test can
// read and change. Key items are stored the way the product id's family reads them back (modifier mask and
// usage in value3/value4 for the packed-value models, value2/value3 otherwise). Calls arrive on pool threads;
// the test touches the state only while no routine runs.
class StateTestDevice : public CoreTestDevice
{
    Q_OBJECT
public:
    struct State {
        int reportRate = 0;
        QVector<int> dpi;
        int dpiIndex = 0;
        int lightMode[2] = {0, 0};
        int speed[2] = {0, 0};
        int brightness[2] = {0, 0};
        QMap<QString, int> rgb[2];
        QMap<KKey, KKeyModelItem> keys;
        int definedPressMacro = 0;
        int logoMode = 0;
        H_KEYLIGHT keyColors;
        bool direction = false;
        bool monochromatic = false;
    };

    explicit StateTestDevice(int pid);

    State state() const;
    void setState(const State& state);

    int getDpiIndex() override;
    QVector<int> getDpiList() override;
    int getReportRate() override;
    int getLightModel(int zone) override;
    int getLightSpeed(int zone) override;
    int getLightBrightness(int zone) override;
    QMap<QString, int> getRGB(int zone) override;
    QMap<KKey, KKeyModelItem> getKeys() override;
    int getDefinedPressMacro() override;
    int getLogoLightMode(int zone) override;
    H_KEYLIGHT getKeyColor() override;
    bool getLightDirection() override;
    bool getLightMonochromatic() override;

    bool setDpiIndex(const int& index) override;
    bool setDpiList(const QVector<int>& values) override;
    bool setReportRate(const int& rate) override;
    bool setLightModel(const int& mode, int zone) override;
    bool setLightSpeed(const int& speed, int zone) override;
    bool setLightBrightness(const int& brightness, int zone) override;
    bool setRGB(const QMap<QString, int>& rgb, int zone) override;
    bool setKeyFunction(const KKey& key, const KKeyFunction& function, const QVariant& a, QVariant b,
                        QVariant c) override;
    int setMacro(bool, const MacroPlayType&, const QVector<KMacroItem>&, QVariant, const int&) override { return 1; }
    bool checkMacroId(const int& key, int* slot) override;
    bool setDefinedPressMacro(const int& count) override;
    bool setCurrentPicIndex(const int&) override { return true; }
    bool setLightDirection(bool on) override;
    bool setMonochromaticMode(bool on) override;

private:
    static int zoneIndex(int zone) { return zone == 1 ? 1 : 0; }

    mutable QMutex m_mutex;
    State m_state;
};
