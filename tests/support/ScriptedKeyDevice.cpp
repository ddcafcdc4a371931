#include "ScriptedKeyDevice.h"

#include <QMutexLocker>

void ScriptedKeyDevice::fail(const QStringList& operations)
{
    QMutexLocker lock(&m_mutex);
    for (const QString& operation : operations)
        m_failing.insert(operation);
}

QStringList ScriptedKeyDevice::calls() const
{
    QMutexLocker lock(&m_mutex);
    return m_calls;
}

bool ScriptedKeyDevice::record(const QString& operation, const QString& call)
{
    QMutexLocker lock(&m_mutex);
    m_calls << call;
    return !m_failing.contains(operation);
}

bool ScriptedKeyDevice::setKeyFunction(const KKey& key, const KKeyFunction& function, const QVariant& a,
                                       QVariant b, QVariant c)
{
    QStringList args{QString::number(key), QString::number(function)};
    for (const QVariant& value : {a, b, c}) {
        if (value.isValid())
            args << value.toString();
    }
    return record(QStringLiteral("setKeyFunction"),
                  QStringLiteral("setKeyFunction(%1)").arg(args.join(QLatin1Char(','))));
}

int ScriptedKeyDevice::setMacro(bool, const MacroPlayType&, const QVector<KMacroItem>& items, QVariant,
                                const int& slot)
{
    return record(QStringLiteral("setMacro"), QStringLiteral("setMacro(%1,%2)").arg(slot).arg(items.size()))
               ? 1
               : m_macroFailure;
}

bool ScriptedKeyDevice::checkMacroId(const int& key, int* slot)
{
    const bool ok = record(QStringLiteral("checkMacroId"), QStringLiteral("checkMacroId(%1)").arg(key));
    if (ok && slot)
        *slot = m_slot;
    return ok;
}

bool ScriptedKeyDevice::checkLeftKey(const int& key)
{
    return record(QStringLiteral("checkLeftKey"), QStringLiteral("checkLeftKey(%1)").arg(key));
}

bool ScriptedKeyDevice::macroFilter(QVector<KMacroItem>& items, int*)
{
    return record(QStringLiteral("macroFilter"), QStringLiteral("macroFilter(%1)").arg(items.size()));
}

bool ScriptedKeyDevice::setDefinedPressMacro(const int& count)
{
    return record(QStringLiteral("setDefinedPressMacro"), QStringLiteral("setDefinedPressMacro(%1)").arg(count));
}

int ScriptedKeyDevice::getReportRate()
{
    return record(QStringLiteral("getReportRate"), QStringLiteral("getReportRate")) ? m_rate : -1;
}

bool ScriptedKeyDevice::setReportRate(const int& rate)
{
    return record(QStringLiteral("setReportRate"), QStringLiteral("setReportRate(%1)").arg(rate));
}

bool ScriptedKeyDevice::setDpiIndex(const int& index)
{
    return record(QStringLiteral("setDpiIndex"), QStringLiteral("setDpiIndex(%1)").arg(index));
}

bool ScriptedKeyDevice::setDpiList(const QVector<int>& values)
{
    QStringList list;
    for (int value : values)
        list << QString::number(value);
    return record(QStringLiteral("setDpiList"), QStringLiteral("setDpiList(%1)").arg(list.join(QLatin1Char(','))));
}

bool ScriptedKeyDevice::setLightModel(const int& mode, int zone)
{
    return record(QStringLiteral("setLightModel"), QStringLiteral("setLightModel(%1,%2)").arg(mode).arg(zone));
}

bool ScriptedKeyDevice::setLightSpeed(const int& speed, int zone)
{
    return record(QStringLiteral("setLightSpeed"), QStringLiteral("setLightSpeed(%1,%2)").arg(speed).arg(zone));
}

bool ScriptedKeyDevice::setLightBrightness(const int& brightness, int zone)
{
    return record(QStringLiteral("setLightBrightness"),
                  QStringLiteral("setLightBrightness(%1,%2)").arg(brightness).arg(zone));
}

bool ScriptedKeyDevice::setRGB(const QMap<QString, int>& rgb, int zone)
{
    return record(QStringLiteral("setRGB"), QStringLiteral("setRGB(%1,%2,%3,%4)")
                                                .arg(rgb.value(QStringLiteral("r")))
                                                .arg(rgb.value(QStringLiteral("g")))
                                                .arg(rgb.value(QStringLiteral("b")))
                                                .arg(zone));
}

bool ScriptedKeyDevice::setCurrentPicIndex(const int& index)
{
    return record(QStringLiteral("setCurrentPicIndex"), QStringLiteral("setCurrentPicIndex(%1)").arg(index));
}

bool ScriptedKeyDevice::setOperatingMode(const int& mode, int zone)
{
    return record(QStringLiteral("setOperatingMode"), QStringLiteral("setOperatingMode(%1,%2)").arg(mode).arg(zone));
}

bool ScriptedKeyDevice::setLightDirection(bool on)
{
    return record(QStringLiteral("setLightDirection"), QStringLiteral("setLightDirection(%1)").arg(on));
}

bool ScriptedKeyDevice::setMonochromaticMode(bool on)
{
    return record(QStringLiteral("setMonochromaticMode"), QStringLiteral("setMonochromaticMode(%1)").arg(on));
}
