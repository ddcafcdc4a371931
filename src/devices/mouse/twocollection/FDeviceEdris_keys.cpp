// Buttons and macros of FDeviceEdris: the key table of the profile image, its codes, the macro records, the
// left button's press macros, and the checks the key editor runs before it assigns a function.

#include "devices/mouse/twocollection/FDeviceEdris.h"

#include "common/AppServices.h"
#include "devices/MacroEventFilter.h"
#include "models/keys/KKeyModel.h"
#include "platform/sys/PlatformTime.h"

#include <QDebug>
#include <QMutexLocker>

using namespace Edris;

int FDeviceEdris::placeOf(int key) const
{
    for (int i = 0; i < m_model.placeCount; ++i) {
        if (m_model.places[i].key == key)
            return m_model.places[i].offset;
    }
    for (const KeyPlace& place : kRootPlaces) {
        if (place.key == key)
            return place.offset;
    }
    return kNoPlace;
}

quint8 FDeviceEdris::getButtonMacroAddress(int key) const
{
    quint8 address = 0;
    if (m_model.dialect == EdrisKeyCodec::Dialect::Orlan && key == 10) {
        address = kOrlanButton10Macro;
    } else {
        for (const KeyPlace& place : kRootPlaces) {
            if (place.key == key)
                address = place.macroAddress;
        }
    }
    qDebug("getButtonMacroAddress:%x", address);
    return address;
}

bool FDeviceEdris::keyFunctionToCode(const KKeyFunction& function, KKeyCode* out, quint8 parameter1,
                                     quint8 parameter2)
{
    return EdrisKeyCodec::encode(m_model.dialect, function, parameter1, parameter2, out);
}

KKeyModelItem& FDeviceEdris::keyCodeToItem(KKeyModelItem& item, const KKeyCode& code, int key)
{
    const std::array<quint8, 4> b = code.bytes();
    item.setKey(key);
    item.setValue1(b[0]);
    item.setValue2(b[1]);
    item.setValue3(b[2]);
    item.setValue4(b[3]);
    item.setType(EdrisKeyCodec::decode(m_model.dialect, code, key), false, QString());
    return item;
}

QMap<KKey, KKeyModelItem> FDeviceEdris::getKeys()
{
    const QByteArray p = profile();
    QMap<KKey, KKeyModelItem> keys;
    for (int i = 0; i < m_model.keyCount; ++i) {
        const int key = m_model.keys[i];
        const int place = placeOf(key);
        if (place == kNoPlace)
            continue;
        const KKeyCode code = KKeyCode::fromBytes(reinterpret_cast<const quint8*>(p.constData() + place));
        KKeyModelItem item;
        keys.insert(KKey(key), keyCodeToItem(item, code, key));
    }
    return keys;
}

// --- assigning a function -------------------------------------------------------------------------------------

bool FDeviceEdris::setKeyFunction(const KKey& key, const KKeyFunction& function, const QVariant& value1,
                                  QVariant value2, QVariant)
{
    const int place = placeOf(key);
    if (place == kNoPlace) {
        qDebug() << "find key error";
        return false;
    }
    MouseOperation op(m_session);
    if (!op.isHeld())
        return false;
    int p1 = value1.toInt();
    int p2 = value2.toInt();
    if (function == KFuncMacro) {
        QMutexLocker lock(&m_stateLock);
        p1 = m_playCode;
        p2 = getButtonMacroAddress(key);
    }
    KKeyCode code;
    if (p1 < 0 || p1 > 0xFF || p2 < 0 || p2 > 0xFF || !keyFunctionToCode(function, &code, quint8(p1), quint8(p2))) {
        qDebug() << "[Error] setKeyFunction: no code for" << function << "on key" << key;
        return false;
    }
    QByteArray next = profile();
    const std::array<quint8, 4> bytes = code.bytes();
    for (int i = 0; i < 4; ++i)
        next[place + i] = char(bytes[i]);
    qDebug() << "setSuccess";
    KeyChange change;
    change.key = key;
    std::copy(bytes.begin(), bytes.end(), change.code);
    op.onSuccess(MouseSession::keyItemsTask({change}));
    return op.finish(commitProfile(next));
}

bool FDeviceEdris::planCompositeKey(QByteArray& p, const QVariantList& keyList, int key, int function, int mask,
                                    int usage, KeyChange* change)
{
    // The key editor must list the key: its item takes the settled function. Orlan codes the function as
    // given, like a plain assignment.
    const bool settles = m_model.dialect != EdrisKeyCodec::Dialect::Orlan;
    bool listed = !settles;
    for (const QVariant& v : keyList) {
        const auto* item = qobject_cast<const KKeyModelItem*>(v.value<QObject*>());
        if (item && item->getKey() == key)
            listed = true;
    }
    const int place = placeOf(key);
    if (!listed || place == kNoPlace) {
        qDebug() << "find key error";
        return false;
    }
    if (mask < 0 || mask > 0xFF || usage < 0 || usage > 0xFF)
        return false;

    int settled = function;
    int itemType = function;
    if (settles && function == KFuncNull) {
        settled = itemType = defaultFunction(key, m_model.dpiCycleOnKey5);
    } else if (settles && (mask == 4 || mask == 8) && function != KFuncMacro) {
        settled = itemType = EdrisKeyCodec::settleCombination(function, mask, usage);
    } else if (settles && mask == 0 && function == KFuncKeyCombination) {
        itemType = KFuncKeyboardKey;
    }
    int p1 = mask;
    int p2 = usage;
    if (settled == KFuncMacro) {
        QMutexLocker lock(&m_stateLock);
        p1 = m_playCode;
        p2 = getButtonMacroAddress(key);
    }
    KKeyCode code;
    if (!keyFunctionToCode(KKeyFunction(settled), &code, quint8(p1), quint8(p2))) {
        // A combination that names a function without a code of its own stays the combination it is.
        if (settled == function || !keyFunctionToCode(KFuncKeyCombination, &code, quint8(mask), quint8(usage))) {
            qDebug() << "[Error] setCompositeKey: no code for" << settled << "on key" << key;
            return false;
        }
    }
    const std::array<quint8, 4> bytes = code.bytes();
    for (int i = 0; i < 4; ++i)
        p[place + i] = char(bytes[i]);
    change->key = key;
    change->type = itemType;
    change->setType = true;
    std::copy(bytes.begin(), bytes.end(), change->code);
    return true;
}

bool FDeviceEdris::setCompositeKey(const KKey& key, const KKeyFunction& function, const QVariant& mask,
                                   QVariant usage)
{
    MouseOperation op(m_session);
    if (!op.isHeld())
        return false;
    QByteArray next = profile();
    KeyChange change;
    if (!planCompositeKey(next, op.ui().keyList, key, function, mask.toInt(), usage.toInt(), &change))
        return false;
    {
        // Written with the next image write.
        QMutexLocker lock(&m_stateLock);
        m_profile = next;
    }
    op.onSuccess(MouseSession::keyItemsTask({change}));
    return op.finish(true);
}

// --- macros -------------------------------------------------------------------------------------------------

bool FDeviceEdris::SetMacroStruct(const EdrisMacroStruct& record, quint8 address)
{
    const int n = kMacroItemSize * record.items.size();
    qDebug() << "SetMacroStruct";
    qDebug() << "MacroItemLength" << n;
    const QByteArray bytes = EdrisMacro::recordBytes(record);
    if (bytes.isEmpty() || address == 0)
        return false;
    for (const EdrisMacroItem& item : record.items)
        qDebug("item: %x %x", item.first, item.second);
    if (!opened || !m_transport.writeBlock(kBlockMacro, address, kMacroRecordSize, bytes, kBlockWriteHanded))
        return false;
    Platform::sleepMs(kWritePauseMs);
    return true;
}

int FDeviceEdris::setMacro(bool ignoreDelays, const MacroPlayType& playType, const QVector<KMacroItem>& items,
                           QVariant times, const int& macroId)
{
    const quint8 address = getButtonMacroAddress(macroId);
    EdrisMacroStruct record;
    if (address == 0 || !EdrisMacro::encode(items, ignoreDelays, times.toInt(), &record)) {
        qDebug() << "[Error] setMacro: the macro does not fit the key's record" << macroId;
        return 0;
    }
    MouseOperation op(m_session);
    if (!op.isHeld())
        return 0;
    {
        QMutexLocker lock(&m_stateLock);
        m_playCode = playModeCode(playType);
    }
    return SetMacroStruct(record, address) ? 1 : 0;
}

bool FDeviceEdris::checkMacroId(const int& id, int* out)
{
    if (out)
        *out = id;
    return true;
}

int FDeviceEdris::getDefinedPressMacro()
{
    QMutexLocker lock(&m_stateLock);
    return quint8(m_profile.at(placeOf(0))) == kTypePressMacros ? 1 : 0;
}

bool FDeviceEdris::setDefinedPressMacro(const int& count)
{
    if (count < 0 || count > kPressMacroSlots)
        return false;
    const int place = placeOf(0);
    return editProfile([count, place](QByteArray& p) {
        p[kPressMacroFlagByte] = 0;
        p[kPressMacroCountByte] = char(count);
        for (int i = 0; i < 4; ++i)
            p[place + i] = char(kPressMacroCode[i]);
        return true;
    });
}

bool FDeviceEdris::checkLeftKey(const int& key)
{
    MouseOperation op(m_session);
    if (!op.isHeld())
        return false;
    int lefts = 0;
    bool onKey = false;
    for (const QVariant& v : op.ui().keyList) {
        const auto* item = qobject_cast<const KKeyModelItem*>(v.value<QObject*>());
        if (!item || item->getType() != KFuncMouseLeft)
            continue;
        ++lefts;
        onKey = onKey || item->getKey() == key;
    }
    if (lefts == 1 && onKey) {
        qDebug() << " [Error] Keep at least one left button function";
        AppServices::instance()->showTips(AppServices::TipFail,
                                          tr("Please retain at least one key as the \"left button\" function"));
        return false;
    }
    return true;
}

bool FDeviceEdris::macroFilter(QVector<KMacroItem>& items, int* id)
{
    if (items.isEmpty()) {
        if (id) {
            for (auto it = m_macroMap.begin(); it != m_macroMap.end(); ++it) {
                if (it.value() == *id)
                    it.value() = -1;
            }
        }
        qDebug() << "[Error] macro is empty!!";
        AppServices::instance()->showTips(AppServices::TipFail,
                                          tr("Setting failed. The selected macro includes empty macro"));
        return false;
    }
    return filterMacroEvents(items);
}
