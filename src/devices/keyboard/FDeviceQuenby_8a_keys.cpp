// Keys and macros of FDeviceQuenby_8a: the key table, one key's function, macro slots and macro records.

#include "devices/keyboard/FDeviceQuenby_8a.h"

#include "devices/keyboard/Quenby8aKeyCodec.h"
#include "devices/keyboard/Quenby8aKeyTable.h"
#include "devices/keyboard/Quenby8aMacroRecord.h"
#include "devices/keyboard/Quenby8aProtocol.h"
#include "devices/MacroEventFilter.h"

#include <QDebug>
#include <QMutexLocker>
#include <QSet>

#include <algorithm>

using namespace Quenby8a;

QMap<KKey, KKeyModelItem> FDeviceQuenby_8a::getKeys()
{
    QByteArray table;
    {
        QMutexLocker op(&m_operationLock);
        table = m_transport.readBulk(kRegKeyTable, kKeyTableSize);
    }
    if (table.size() != kKeyTableSize) {
        qDebug() << "getKEY error";
        return QMap<KKey, KKeyModelItem>();
    }

    QMap<KKey, KKeyModelItem> result;
    QMutexLocker lock(&m_stateLock);
    // The slot map follows what the device holds now, not what an earlier read said.
    for (int slot = 0; slot < kMacroSlots; ++slot)
        m_macroSlots[slot] = -1;
    for (int pos = 0; pos < kPositionCount; ++pos) {
        const auto* b = reinterpret_cast<const quint8*>(table.constData()) + 4 * pos;
        const KKeyCode code = KKeyCode::fromBytes(b);
        m_image.setKeyCode(pos, code);
        const int key = keyAtPosition(pos);
        if (key == kEmptyPosition || isIsoKey(key))
            continue;
        KKeyModelItem item;
        transToItem(item, b[0], b[1], b[2], b[3]);
        item.setKey(key, false);
        result.insert(KKey(key), item);
        if (item.getType() == KFuncMacro && code.code < kMacroSlots)
            m_macroSlots[code.code] = key;
    }
    return result;
}

bool FDeviceQuenby_8a::encodeKeyFunction(int key, int function, const QVariant& a, const QVariant& b,
                                         KKeyCode* code) const
{
    if (function == KFuncMacro) {
        const int slot = a.toInt();
        if (slot < 0 || slot >= kMacroSlots)
            return false;
        return Quenby8aKeyCodec::encode(function, slot, 0, code);
    }
    if (function == KFuncNull) {
        // Null gives the key back its own function; the ISO keys have none and are cleared.
        const int pos = positionOfKey(key);
        *code = isIsoKey(key) ? KKeyCode() : defaultKeyCode(pos);
        return true;
    }
    return Quenby8aKeyCodec::encode(function, a.toInt(), b.toInt(), code);
}

bool FDeviceQuenby_8a::setKeyFunction(const KKey& key, const KKeyFunction& function, const QVariant& a,
                                      QVariant b, QVariant c)
{
    Q_UNUSED(c);
    const int pos = positionOfKey(key);
    if (pos < 0)
        return false;
    KKeyCode code;
    if (!encodeKeyFunction(key, function, a, b, &code)) {
        qDebug() << "setKeyFunc: no code for function" << int(function) << "key" << int(key);
        return false;
    }
    QMutexLocker op(&m_operationLock);
    if (!writeKeyCode(key, pos, function, code))
        return false;
    // The key model's item is not touched from here (a pool thread): the model's completion of this call
    // runs on the GUI thread and takes the code from transToByte once the write has succeeded.
    return true;
}

bool FDeviceQuenby_8a::writeKeyCode(int key, int position, int function, const KKeyCode& code)
{
    const auto bytes = code.bytes();
    if (!m_transport.writeRegister(kRegKeyTable + quint32(kKeyCodeSize * position),
                                   QByteArray(reinterpret_cast<const char*>(bytes.data()), kKeyCodeSize))) {
        qDebug() << "setKeyFunc: writeCmd error";
        return false;
    }
    {
        QMutexLocker lock(&m_stateLock);
        m_image.setKeyCode(position, code);
        if (function == KFuncMacro) {
            m_macroSlots[code.code] = key;
        } else {
            // A key that no longer plays a macro gives its slots back, now that the device agrees.
            for (auto it = m_macroSlots.begin(); it != m_macroSlots.end(); ++it) {
                if (it.value() == key)
                    it.value() = -1;
            }
        }
    }
    qDebug() << "setKeyFunc: writeCmd success";
    return true;
}

bool FDeviceQuenby_8a::checkMacroId(const int& key, int* slot)
{
    QMutexLocker lock(&m_stateLock);
    int held = -1;
    int firstFree = -1;
    for (auto it = m_macroSlots.constBegin(); it != m_macroSlots.constEnd(); ++it) {
        if (it.value() == key && held < 0)
            held = it.key();
        if (it.value() == -1 && firstFree < 0)
            firstFree = it.key();
    }
    // A key that already holds a slot keeps it, so rewriting a macro never uses up a second slot.
    const int chosen = held >= 0 ? held : firstFree;
    if (chosen < 0) {
        qDebug() << " [Error] Four macros have been set and cannot be set again";
        return false;
    }
    m_macroSlots[chosen] = key;
    if (slot)
        *slot = chosen;
    return true;
}

bool FDeviceQuenby_8a::macroFilter(QVector<KMacroItem>& items, int* out)
{
    Q_UNUSED(out);
    return filterMacroEvents(items);
}

int FDeviceQuenby_8a::setMacro(bool ignoreDelay, const MacroPlayType& playType, const QVector<KMacroItem>& items,
                               QVariant times, const int& slot)
{
    if (slot < 0 || slot >= kMacroSlots) {
        qDebug() << "setMacro error" << "slot" << slot;
        return -1;
    }
    // The whole record is built and checked before anything is sent.
    const QByteArray record = Quenby8aMacroRecord::encode(ignoreDelay, playType, items, times.toInt());
    if (record.isEmpty()) {
        qDebug() << "setMacro error";
        return -1;
    }
    QMutexLocker op(&m_operationLock);
    return writeMacroRecord(slot, record) ? 1 : -1;
}

bool FDeviceQuenby_8a::writeMacroRecord(int slot, const QByteArray& record)
{
    return m_transport.writeBulk(kRegMacroRecords + quint32(kMacroRecordSize * slot), record,
                                 QStringLiteral("setMacro error"));
}
