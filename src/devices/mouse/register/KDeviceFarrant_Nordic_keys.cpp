// Keys and macros of the register mouse family: the key table at 0x600 read and written under the model's key
// line, macro slots and pages, and macro records uploaded in 24-byte chunks. Every address is worked out and
// checked before anything is sent: a key without an entry, a slot without a page or a record larger than its
// page is refused with nothing written.

#include "devices/mouse/register/KDeviceFarrant_Nordic.h"

#include "common/AppServices.h"
#include "devices/MacroEventFilter.h"
#include "devices/mouse/register/FarrantNordicKeyCodec.h"
#include "devices/mouse/register/FarrantNordicMacroRecord.h"
#include "devices/mouse/register/FarrantNordicModels.h"
#include "models/keys/KKeyModel.h"
#include "platform/sys/PlatformTime.h"

#include <QDebug>
#include <QSet>

using namespace FarrantNordic;

namespace {

constexpr int kMacroChunkPauseMs = 10;

QByteArray codeBytes(const KKeyCode& code)
{
    const auto bytes = code.bytes();
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), kKeyCodeSize);
}

// The item of key in the key editor's list; null when the list has none.
KKeyModelItem* keyItem(const QVariantList& list, int key)
{
    for (const QVariant& entry : list) {
        auto* item = qobject_cast<KKeyModelItem*>(entry.value<QObject*>());
        if (item && item->getKey() == key)
            return item;
    }
    return nullptr;
}

} // namespace

KeyLine KDeviceFarrant_Nordic::keyLine() const
{
    const ModelRow* row = modelRow(productId());
    return row ? row->keys : KeyLine::Root;
}

QMap<KKey, KKeyModelItem> KDeviceFarrant_Nordic::getKeys()
{
    const KeyLineRules& rules = FarrantNordicKeyCodec::rules(keyLine());
    MouseOperation op(m_session);
    if (!op.isHeld())
        return QMap<KKey, KKeyModelItem>();

    QByteArray table = readBytes(kKeyTableAddress, kKeyTableReadLength, false);
    if (table.isEmpty()) {
        qDebug() << "[ERROR] getKeys:readCmd";
        return QMap<KKey, KKeyModelItem>();
    }
    if (rules.pauseBetweenReads)
        Platform::sleepMs(m_delay);
    const QByteArray rest = readBytes(kKeyTableAddress + kKeyTableReadLength, kKeyTableReadLength, false);
    if (rest.isEmpty()) {
        qDebug() << "[ERROR] getKeys:readCmd";
        return QMap<KKey, KKeyModelItem>();
    }
    table = (table + rest).left(kKeyTableSize);
    storeImage(kKeyTableAddress, table);

    QMap<KKey, KKeyModelItem> keys;
    for (int entry = 0; entry < kKeyTableEntries; ++entry) {
        const auto* b = reinterpret_cast<const quint8*>(table.constData()) + kKeyCodeSize * entry;
        const int key = rules.keyOrder[entry];
        KKeyModelItem item;
        item.setKey(key);
        item.setType(FarrantNordicKeyCodec::decode(KKeyCode::fromBytes(b), entry, rules.decode));
        item.setValue1(b[0]);
        item.setValue2(b[1]);
        item.setValue3(b[2]);
        item.setValue4(b[3]);
        keys.insert(KKey(key), item);
    }
    return keys;
}

bool KDeviceFarrant_Nordic::setKeyFunction(const KKey& key, const KKeyFunction& function, const QVariant& a,
                                           QVariant b, QVariant c)
{
    Q_UNUSED(c);
    const KeyLine line = keyLine();
    const KeyLineRules& rules = FarrantNordicKeyCodec::rules(line);
    const int entry = FarrantNordicKeyCodec::entryOfKey(line, key);
    if (entry < 0) {
        qDebug() << "setKeyFunc: no entry for key" << int(key);
        return false;
    }

    // The code first: a function without one writes and clears nothing.
    KKeyCode code;
    bool encoded = false;
    switch (int(function)) {
    case KFuncNull:
        code = FarrantNordicKeyCodec::defaultCode(line, key);
        encoded = true;
        break;
    case KFuncKeyboardKey:
        encoded = FarrantNordicKeyCodec::encode(function, 0, b.toInt(), &code);
        break;
    default:
        encoded = FarrantNordicKeyCodec::encode(function, a.toInt(), b.toInt(), &code);
        break;
    }
    if (!encoded) {
        qDebug() << "setKeyFunc: no code for function" << int(function) << "key" << int(key);
        return false;
    }

    MouseOperation op(m_session);
    if (!op.isHeld())
        return false;
    // The main button gives up its press macros before it takes another function.
    if (rules.clearPressMacroOnMainKey && key == 0 && !setDefinedPressMacro(0))
        return op.finish(false);

    const QByteArray bytes = codeBytes(code);
    if (!writeWord(FarrantNordicKeyCodec::entryAddress(entry), bytes, false)) {
        if (rules.logsKeyWrites)
            qDebug() << "setKeyFunc: writeCmd error";
        return op.finish(false);
    }
    storeImage(FarrantNordicKeyCodec::entryAddress(entry), bytes);
    if (rules.gameModeAfterWrite && !ensureGameMode())
        return op.finish(false);
    if (rules.logsKeyWrites)
        qDebug() << "setKeyFunc: writeCmd success";

    const int keyId = key;
    op.onSuccess([keyId, code] {
        KKeyModel* model = AppServices::instance()->getKeyModel();
        KKeyModelItem* item = model ? keyItem(model->getKeyList(), keyId) : nullptr;
        if (!item)
            return;
        item->setValue1(code.type);
        item->setValue2(code.param1);
        item->setValue3(code.code);
        item->setValue4(code.param2);
    });
    return op.finish(true);
}

bool KDeviceFarrant_Nordic::checkMacroId(const int& key, int* slot)
{
    const int found = macroSlotOfKey(key);
    if (found < 0) {
        qDebug() << "[Error] checkMacroId: no macro slot for key" << key;
        return false;
    }
    if (slot)
        *slot = found;
    return true;
}

bool KDeviceFarrant_Nordic::checkLeftKey(const int& key)
{
    MouseOperation op(m_session);
    if (!op.isHeld())
        return false;
    // The first item counts as a left button only while no press macro is defined on it.
    const QByteArray image = configImage();
    const int pressMacros = quint8(image[kImageSettingsOffset + int(kRegOled + 2 - kRegSettingsBase)]);
    QSet<int> lefts;
    const QVariantList& list = op.ui().keyList;
    for (int i = 0; i < list.size(); ++i) {
        auto* item = qobject_cast<KKeyModelItem*>(list[i].value<QObject*>());
        if (!item || item->getType() != KFuncMouseLeft)
            continue;
        if (i == 0 && pressMacros != 0)
            continue;
        lefts.insert(item->getKey());
    }
    return lefts.size() > 1 || !lefts.contains(key);
}

bool KDeviceFarrant_Nordic::macroFilter(QVector<KMacroItem>& items, int* out)
{
    Q_UNUSED(out);
    return filterMacroEvents(items);
}

int KDeviceFarrant_Nordic::setMacro(bool ignoreDelay, const MacroPlayType& playType, const QVector<KMacroItem>& items,
                                    QVariant times, const int& slot)
{
    // The page and the whole record are settled before the first packet.
    const quint32 page = macroPageAddress(slot);
    if (page == 0) {
        qDebug() << "setMacro error" << "slot" << slot;
        return -1;
    }
    const QByteArray record = FarrantNordicMacroRecord::encode(ignoreDelay, playType, items, times.toInt());
    if (record.isEmpty()) {
        qDebug() << "setMacro error";
        return -1;
    }

    MouseOperation op(m_session);
    if (!op.isHeld())
        return -1;
    for (int offset = 0; offset < record.size(); offset += kMacroChunk) {
        if (offset > 0)
            Platform::sleepMs(kMacroChunkPauseMs);
        if (!writeWord(page + quint32(offset), record.mid(offset, kMacroChunk), false)) {
            qDebug() << "setMacro error";
            return -1;
        }
    }
    Platform::sleepMs(m_delay);
    return 1;
}
