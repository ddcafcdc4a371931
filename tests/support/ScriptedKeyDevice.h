#pragma once

#include "CoreTestDevice.h"

#include <QMutex>
#include <QSet>
#include <QStringList>

// A device for the key and macro paths of any product id without a driver: the key and macro operations
// succeed unless the test names them in failing, and every call is logged as text ("setMacro(1000,2)"), so a
// test reads which operations ran, in which order and with which ids. Calls arrive on pool threads.
class ScriptedKeyDevice : public CoreTestDevice
{
    Q_OBJECT
public:
    explicit ScriptedKeyDevice(int pid) : CoreTestDevice(pid) {}

    // Operation names that answer with failure from now on; macroSlot is what checkMacroId hands out.
    void fail(const QStringList& operations);
    void setMacroSlot(int slot) { m_slot = slot; }
    void setReportRateValue(int rate) { m_rate = rate; }
    // What a refused setMacro answers (0 by default; some device classes answer -1).
    void setMacroFailure(int answer) { m_macroFailure = answer; }
    QStringList calls() const;

    bool setKeyFunction(const KKey& key, const KKeyFunction& function, const QVariant& a, QVariant b,
                        QVariant c) override;
    int setMacro(bool ignoreDelay, const MacroPlayType& playType, const QVector<KMacroItem>& items,
                 QVariant times, const int& slot) override;
    bool checkMacroId(const int& key, int* slot) override;
    bool checkLeftKey(const int& key) override;
    bool macroFilter(QVector<KMacroItem>& items, int* out) override;
    bool setDefinedPressMacro(const int& count) override;
    int getReportRate() override;
    bool setReportRate(const int& rate) override;
    // The other writes of a profile applied field by field, logged the same way.
    bool setDpiIndex(const int& index) override;
    bool setDpiList(const QVector<int>& values) override;
    bool setLightModel(const int& mode, int zone) override;
    bool setLightSpeed(const int& speed, int zone) override;
    bool setLightBrightness(const int& brightness, int zone) override;
    bool setRGB(const QMap<QString, int>& rgb, int zone) override;
    bool setCurrentPicIndex(const int& index) override;
    bool setOperatingMode(const int& mode, int zone) override;
    bool setLightDirection(bool on) override;
    bool setMonochromaticMode(bool on) override;

private:
    bool record(const QString& operation, const QString& call);

    mutable QMutex m_mutex;
    QSet<QString> m_failing;
    QStringList m_calls;
    int m_slot = 1;
    int m_rate = 500;
    int m_macroFailure = 0;
};
