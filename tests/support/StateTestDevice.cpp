#include "StateTestDevice.h"

#include "common/DeviceIds.h"
#include "models/keys/KeyAssignmentRules.h"

#include <QMutexLocker>

StateTestDevice::StateTestDevice(int pid)
    : CoreTestDevice(pid)
{
}

StateTestDevice::State StateTestDevice::state() const
{
    QMutexLocker lock(&m_mutex);
    return m_state;
}

void StateTestDevice::setState(const State& state)
{
    QMutexLocker lock(&m_mutex);
    m_state = state;
}

int StateTestDevice::getDpiIndex()
{
    QMutexLocker lock(&m_mutex);
    return m_state.dpiIndex;
}

QVector<int> StateTestDevice::getDpiList()
{
    QMutexLocker lock(&m_mutex);
    return m_state.dpi;
}

int StateTestDevice::getReportRate()
{
    QMutexLocker lock(&m_mutex);
    return m_state.reportRate;
}

int StateTestDevice::getLightModel(int zone)
{
    QMutexLocker lock(&m_mutex);
    return m_state.lightMode[zoneIndex(zone)];
}

int StateTestDevice::getLightSpeed(int zone)
{
    QMutexLocker lock(&m_mutex);
    return m_state.speed[zoneIndex(zone)];
}

int StateTestDevice::getLightBrightness(int zone)
{
    QMutexLocker lock(&m_mutex);
    return m_state.brightness[zoneIndex(zone)];
}

QMap<QString, int> StateTestDevice::getRGB(int zone)
{
    QMutexLocker lock(&m_mutex);
    return m_state.rgb[zoneIndex(zone)];
}

QMap<KKey, KKeyModelItem> StateTestDevice::getKeys()
{
    QMutexLocker lock(&m_mutex);
    return m_state.keys;
}

int StateTestDevice::getDefinedPressMacro()
{
    QMutexLocker lock(&m_mutex);
    return m_state.definedPressMacro;
}

int StateTestDevice::getLogoLightMode(int)
{
    QMutexLocker lock(&m_mutex);
    return m_state.logoMode;
}

H_KEYLIGHT StateTestDevice::getKeyColor()
{
    QMutexLocker lock(&m_mutex);
    return m_state.keyColors;
}

bool StateTestDevice::getLightDirection()
{
    QMutexLocker lock(&m_mutex);
    return m_state.direction;
}

bool StateTestDevice::getLightMonochromatic()
{
    QMutexLocker lock(&m_mutex);
    return m_state.monochromatic;
}

bool StateTestDevice::setDpiIndex(const int& index)
{
    QMutexLocker lock(&m_mutex);
    m_state.dpiIndex = index;
    return true;
}

bool StateTestDevice::setDpiList(const QVector<int>& values)
{
    QMutexLocker lock(&m_mutex);
    m_state.dpi = values;
    return true;
}

bool StateTestDevice::setReportRate(const int& rate)
{
    QMutexLocker lock(&m_mutex);
    m_state.reportRate = rate;
    return true;
}

bool StateTestDevice::setLightModel(const int& mode, int zone)
{
    QMutexLocker lock(&m_mutex);
    m_state.lightMode[zoneIndex(zone)] = mode;
    return true;
}

bool StateTestDevice::setLightSpeed(const int& speed, int zone)
{
    QMutexLocker lock(&m_mutex);
    m_state.speed[zoneIndex(zone)] = speed;
    return true;
}

bool StateTestDevice::setLightBrightness(const int& brightness, int zone)
{
    QMutexLocker lock(&m_mutex);
    m_state.brightness[zoneIndex(zone)] = brightness;
    return true;
}

bool StateTestDevice::setRGB(const QMap<QString, int>& rgb, int zone)
{
    QMutexLocker lock(&m_mutex);
    m_state.rgb[zoneIndex(zone)] = rgb;
    return true;
}

bool StateTestDevice::setKeyFunction(const KKey& key, const KKeyFunction& function, const QVariant& a, QVariant b,
                                     QVariant)
{
    KKeyModelItem item;
    item.setKey(key);
    int type = function;
    if (function == KFuncKeyCombination) {
        // The device keeps the mask it is sent and reports the combination as the modifier function of that
        // mask; the mice hold mask and usage in the code's third and fourth bytes, as the register mice do.
        const int mask = a.toInt();
        type = modifierMaskToFunction(mask);
        if (DeviceIds::combinationInCodeBytes(pid())) {
            item.setValue3(mask);
            item.setValue4(b.toInt());
        } else {
            item.setValue2(mask);
            item.setValue3(b.toInt());
        }
    } else if (function == KFuncKeyboardKey) {
        item.setValue3(b.toInt());
    }
    item.setType(type);
    QMutexLocker lock(&m_mutex);
    m_state.keys.insert(key, item);
    return true;
}

bool StateTestDevice::checkMacroId(const int& key, int* slot)
{
    if (slot)
        *slot = key;
    return true;
}

bool StateTestDevice::setDefinedPressMacro(const int& count)
{
    QMutexLocker lock(&m_mutex);
    m_state.definedPressMacro = count;
    return true;
}

bool StateTestDevice::setLightDirection(bool on)
{
    QMutexLocker lock(&m_mutex);
    m_state.direction = on;
    return true;
}

bool StateTestDevice::setMonochromaticMode(bool on)
{
    QMutexLocker lock(&m_mutex);
    m_state.monochromatic = on;
    return true;
}
