// Buttons and macro slotTable of HDeviceUlverd: the key entries of the image, their codes, the checks the key
// editor runs before it assigns a function, and the macro filter.

#include "devices/mouse/twopage/HDeviceUlverd.h"

#include "common/AppServices.h"
#include "devices/MacroEventFilter.h"
#include "devices/mouse/twopage/UlverdProtocol.h"
#include "models/keys/KKeyModel.h"

#include <QDebug>
#include <QMutexLocker>

#include <algorithm>

using namespace Ulverd;
using namespace TwoPage;

int HDeviceUlverd::entryOfKey(int key) const
{
    const int* order = locked() ? kLockedKeyOrder : kRootKeyOrder;
    for (int n = 0; n < kKeyEntries; ++n) {
        if (order[n] == key)
            return n;
    }
    return -1;
}

KKeyModelItem HDeviceUlverd::transToItem(const quint8* code, int key) const
{
    KKeyModelItem item;
    item.setKey(key);
    item.setValue1(code[0]);
    item.setValue2(code[1]);
    item.setValue3(code[2]);
    item.setValue4(code[3]);
    item.setType(UlverdKeyCodec::decode(m_dialect, code, key), false, QString());
    item.setTxt(QString());
    return item;
}

bool HDeviceUlverd::transToByte(int function, quint8* out, int key, int parameter1, int parameter2)
{
    UlverdKeyCodec::Parameters p;
    p.slot = parameter1;
    p.mask = parameter1;
    p.usage = function == KFuncKeyboardKey ? parameter1 : parameter2;
    {
        QMutexLocker lock(&m_stateLock);
        p.playCode = m_playCode;
        p.repeat = m_repeat;
    }
    UlverdKeyCodec::Code code;
    if (!UlverdKeyCodec::encode(m_dialect, function, key, p, &code))
        return false;
    std::copy(code.bytes, code.bytes + kKeyCodeSize, out);
    return true;
}

QMap<int, KKeyModelItem> HDeviceUlverd::imageItems(const QByteArray& image) const
{
    QMap<int, KKeyModelItem> items;
    const int* order = locked() ? kLockedKeyOrder : kRootKeyOrder;
    for (int n = 0; n < kKeyEntries; ++n) {
        const auto* code = reinterpret_cast<const quint8*>(image.constData() + keyEntryByte(n));
        items.insert(order[n], transToItem(code, order[n]));
    }
    return items;
}

QMap<KKey, KKeyModelItem> HDeviceUlverd::getKeys()
{
    const QByteArray current = image();
    const int* order = locked() ? kLockedKeyOrder : kRootKeyOrder;
    const int readable = locked() ? kLockedReadEntries : kKeyEntries;
    QMap<KKey, KKeyModelItem> keys;
    for (int n = 0; n < readable; ++n) {
        const auto* code = reinterpret_cast<const quint8*>(current.constData() + keyEntryByte(n));
        keys.insert(KKey(order[n]), transToItem(code, order[n]));
    }
    return keys;
}

// --- assigning a function -------------------------------------------------------------------------------------

bool HDeviceUlverd::setKeyFunction(const KKey& key, const KKeyFunction& function, const QVariant& value,
                                   QVariant value2, QVariant)
{
    const int entry = entryOfKey(key);
    if (entry < 0) {
        qDebug() << "[Error] setKeyFunction" << key;
        return false;
    }
    // The parameters follow the function being assigned, never the one the key had before.
    UlverdKeyCodec::Parameters p =
        UlverdKeyCodec::parametersFor(m_dialect, function, value.toInt(), value2.toInt());
    MouseOperation op(m_session);
    if (!op.isHeld())
        return false;
    {
        QMutexLocker lock(&m_stateLock);
        p.playCode = m_playCode;
        p.repeat = m_repeat;
    }
    UlverdKeyCodec::Code code;
    if (!UlverdKeyCodec::encode(m_dialect, function, key, p, &code)) {
        qDebug() << "[Error] setKeyFunction" << key << function;
        return false;
    }
    QByteArray next = image();
    next.replace(keyEntryByte(entry), kKeyEntrySize, QByteArray(kKeyEntrySize, '\0'));
    for (int i = 0; i < kKeyCodeSize; ++i)
        next[keyEntryByte(entry) + i] = char(code.bytes[i]);
    KeyChange change;
    change.key = key;
    change.type = function;
    change.setType = false;
    std::copy(code.bytes, code.bytes + kKeyCodeSize, change.code);
    op.onSuccess(MouseSession::keyItemsTask({change}));
    return op.finish(commitImage(next));
}

bool HDeviceUlverd::planFunction(QByteArray& next, QMap<int, int>& slotTable, int key, int function,
                                 const QVariant& value, const QVariant& value2, KeyChange* change)
{
    const int entry = entryOfKey(key);
    if (entry < 0)
        return false;
    const auto* current = reinterpret_cast<const quint8*>(next.constData() + keyEntryByte(entry));

    // What the key editor's item becomes.
    int type = function;
    if (function == KFuncNull)
        type = key == 7 ? int(KFuncCustomButton1) : ownFunction(key);
    else if (function == KFuncKeyCombination && value.toInt() == 0)
        type = KFuncKeyboardKey;

    UlverdKeyCodec::Parameters p;
    if (locked()) {
        // The variant picks the parameters by the function it was given.
        p = UlverdKeyCodec::parametersFor(m_dialect, function == KFuncKeyCombination ? type : function,
                                          value.toInt(), value2.toInt());
    } else if (type == KFuncMacro || type == KFuncFire) {
        p.slot = value.toInt();
    } else if (type == KFuncKeyCombination) {
        p.mask = value.toInt();
        p.usage = value2.toInt();
    } else if (type == KFuncKeyboardKey) {
        p.usage = value2.toInt();
    } else if (isModifierFunction(type) && value.isValid()) {
        // A modifier with the combination it comes with (a profile's).
        p.mask = value.toInt();
        p.usage = value2.toInt();
    } else {
        // A modifier keeps the mask and usage its entry holds.
        p.mask = current[1];
        p.usage = current[2];
    }
    {
        QMutexLocker lock(&m_stateLock);
        p.playCode = m_playCode;
        p.repeat = m_repeat;
    }
    UlverdKeyCodec::Code code;
    if (function == KFuncNull && !UlverdKeyCodec::hasCode(m_dialect, type)) {
        // "No function" on a button whose own function has no code of its own (Custom button 1): the empty
        // entry, which the button reads as its own function, as the device stores it and a saved profile
        // holds it.
        code = UlverdKeyCodec::Code();
    } else if (!UlverdKeyCodec::encode(m_dialect, type, key, p, &code)) {
        return false;
    }

    if (function != KFuncMacro) {
        for (auto it = slotTable.begin(); it != slotTable.end(); ++it) {
            if (it.value() == key)
                it.value() = -1;
        }
    }
    next.replace(keyEntryByte(entry), kKeyEntrySize, QByteArray(kKeyEntrySize, '\0'));
    for (int i = 0; i < kKeyCodeSize; ++i)
        next[keyEntryByte(entry) + i] = char(code.bytes[i]);
    change->key = key;
    change->type = type;
    change->setType = true;
    std::copy(code.bytes, code.bytes + kKeyCodeSize, change->code);
    return true;
}

bool HDeviceUlverd::setFunction(const KKey& key, const KKeyFunction& function, const QVariant& value,
                                const QVariant& value2)
{
    MouseOperation op(m_session);
    if (!op.isHeld())
        return false;
    QByteArray next = image();
    QMap<int, int> slotTable = macroSlots();
    KeyChange change;
    if (!planFunction(next, slotTable, key, function, value, value2, &change))
        return false;
    {
        QMutexLocker lock(&m_stateLock);
        m_image = next;
        m_macroSlots = slotTable;
    }
    op.onSuccess(MouseSession::keyItemsTask({change}));
    return op.finish(true);
}

// --- checks of the key editor ----------------------------------------------------------------------------------

bool HDeviceUlverd::checkMacroId(const int& key, int* slot)
{
    if (locked()) {
        // The variant's slot is the key's place among the buttons it reads back, from 1.
        for (int n = 0; n < kLockedReadEntries; ++n) {
            if (kLockedKeyOrder[n] == key) {
                if (slot)
                    *slot = n + 1;
                return true;
            }
        }
        qDebug() << "[Error] checkMacroId: the key has no macro slot" << key;
        return false;
    }
    QMutexLocker lock(&m_stateLock);
    QMap<int, int> slotTable = m_macroSlots;
    if (!chooseMacroSlot(m_image, slotTable, key, slot))
        return false;
    m_macroSlots = slotTable;
    return true;
}

bool HDeviceUlverd::chooseMacroSlot(const QByteArray& image, QMap<int, int>& slotTable, int key, int* slot) const
{
    const QMap<int, KKeyModelItem> items = imageItems(image);
    if (!items.contains(key)) {
        qDebug() << "[Error] checkMacroId: the key has no entry" << key;
        return false;
    }
    // The slot table as the image holds it; slotTable outside 4..8 are not the table's.
    for (auto it = slotTable.begin(); it != slotTable.end(); ++it)
        it.value() = -1;
    int macroKeys = 0;
    for (const KKeyModelItem& item : items) {
        if (item.getType() != KFuncMacro)
            continue;
        ++macroKeys;
        if (slotTable.contains(item.getValue2()))
            slotTable[item.getValue2()] = item.getKey();
    }
    const KKeyModelItem own = items.value(key);
    if (macroKeys < kMacroSlots) {
        for (auto it = slotTable.begin(); it != slotTable.end(); ++it) {
            if (it.value() != -1)
                continue;
            it.value() = key;
            if (slot)
                *slot = it.key();
            if (own.getType() == KFuncMacro && own.getValue2() != it.key() && slotTable.contains(own.getValue2()))
                slotTable[own.getValue2()] = -1;
            return true;
        }
        qDebug() << "[Error] checkMacroId: no free macro slot";
        return false;
    }
    for (auto it = slotTable.cbegin(); it != slotTable.cend(); ++it) {
        if (it.value() == key) {
            if (slot)
                *slot = it.key();
            return true;
        }
    }
    qDebug() << " [Error] Five macros have been set and cannot be set again";
    return false;
}

bool HDeviceUlverd::checkLeftKey(const int& key)
{
    const QMap<int, KKeyModelItem> items = imageItems(image());
    int lefts = 0;
    int leftKey = -1;
    for (const KKeyModelItem& item : items) {
        if (item.getType() == KFuncMouseLeft) {
            ++lefts;
            leftKey = item.getKey();
        }
    }
    if (lefts == 1 && leftKey == key) {
        qDebug() << " [Error] Keep at least one left button function";
        return false;
    }
    return true;
}

bool HDeviceUlverd::macroFilter(QVector<KMacroItem>& items, int* out)
{
    Q_UNUSED(out);
    // Presses get their releases, releases without a press go.
    if (!filterMacroEvents(items))
        return false;
    // Pointer items stored as type 4 that do not move go too.
    items.erase(std::remove_if(items.begin(), items.end(),
                               [](const KMacroItem& item) {
                                   return item.type == KMacroItem::kStoredPointerType && item.value1 == 0
                                       && item.value2 == 0;
                               }),
                items.end());
    // No delay before the first event or after the last; a run of delays is one, held at 99999 ms.
    while (!items.isEmpty() && items.first().type == KMacroItem::Delay)
        items.removeFirst();
    while (!items.isEmpty() && items.last().type == KMacroItem::Delay)
        items.removeLast();
    for (int i = 0; i < items.size(); ++i) {
        if (items.at(i).type != KMacroItem::Delay)
            continue;
        qint64 sum = items.at(i).value1;
        while (i + 1 < items.size() && items.at(i + 1).type == KMacroItem::Delay) {
            sum += items.at(i + 1).value1;
            items.removeAt(i + 1);
        }
        items[i].value1 = sum >= 100000 ? KMacroItem::kMaxDelay : int(sum);
    }
    return !items.isEmpty();
}
