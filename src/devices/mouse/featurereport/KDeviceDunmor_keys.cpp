// Buttons and macros of KDeviceDunmor: the sixteen slots read and written together, the four macro slots, the
// checks the key editor runs before it assigns a function, and the macro buffer written as 32 pages.

#include "devices/mouse/featurereport/KDeviceDunmor.h"

#include "common/AppServices.h"
#include "devices/MacroEventFilter.h"
#include "devices/mouse/featurereport/DunmorProtocol.h"
#include "models/keys/KKeyModel.h"

#include <QDebug>
#include <QMutexLocker>

using namespace Dunmor;

namespace {

KKeyModelItem* itemOf(const QVariant& entry)
{
    return qobject_cast<KKeyModelItem*>(entry.value<QObject*>());
}

DunmorKeyCodec::Code codeAt(const QByteArray& codes, int slot)
{
    DunmorKeyCodec::Code code{};
    for (int i = 0; i < kSlotSize; ++i)
        code[i] = quint8(codes.at(slot * kSlotSize + i));
    return code;
}

} // namespace

bool KDeviceDunmor::readSlots(QByteArray* codes)
{
    QList<QByteArray> results;
    int failed = 0;
    if (!m_transport.exchange({DunmorTransport::command({kCmdGetKeys, kProfileByte}), DunmorTransport::reply(),
                               DunmorTransport::readPage(kPageSize), DunmorTransport::readPage(kPageSize)},
                              &results, &failed)
        || results.size() != 3) {
        qDebug() << (failed <= 1 ? "[ERROR] getKeys: mDevice->readFeature" : "[ERROR] getKeys: mDevice->readData");
        return false;
    }
    *codes = results.at(1).mid(1, kPageData) + results.at(2).mid(1, kPageData);
    if (codes->size() != kSlots * kSlotSize)
        return false;
    QMutexLocker lock(&m_stateLock);
    m_slotCodes = *codes;
    return true;
}

QMap<KKey, KKeyModelItem> KDeviceDunmor::getKeys()
{
    MouseOperation op(m_session);
    QByteArray codes;
    if (!op.isHeld() || !readSlots(&codes))
        return QMap<KKey, KKeyModelItem>();
    QMap<KKey, KKeyModelItem> keys;
    for (int slot = 0; slot < kSlots; ++slot) {
        if (kSlotKey[slot] >= 0)
            keys.insert(KKey(kSlotKey[slot]), DunmorKeyCodec::keyCodeToItem(codeAt(codes, slot), kSlotKey[slot]));
    }
    return keys;
}

bool KDeviceDunmor::setKeyFunction(const KKey& key, const KKeyFunction& function, const QVariant& value,
                                   QVariant value2, QVariant)
{
    const int slot = slotOfKey(key);
    if (slot < 0) {
        qDebug() << "[ERROR] setKeyFunction: the mouse has no slot for key" << int(key);
        return false;
    }
    // The code first: a function without one sends nothing.
    DunmorKeyCodec::Code code{};
    bool encoded;
    switch (int(function)) {
    case KFuncNull:
        encoded = DunmorKeyCodec::keyFunctionToCode(defaultFunction(key), 0, 0, &code);
        break;
    case KFuncKeyboardKey:
        encoded = DunmorKeyCodec::keyFunctionToCode(KFuncKeyboardKey, 0, value2.toInt(), &code);
        break;
    default:
        encoded = DunmorKeyCodec::keyFunctionToCode(function, value.toInt(), value2.toInt(), &code);
        break;
    }
    if (!encoded) {
        qDebug() << "[ERROR] setKeyFunction: no code for function" << int(function) << "on key" << int(key);
        return false;
    }

    MouseOperation op(m_session);
    if (!op.isHeld())
        return false;
    // Every slot goes out: the others keep what the mouse holds.
    QByteArray codes = slotCodes();
    if (codes.isEmpty() && !readSlots(&codes)) {
        qDebug() << "[ERROR] setKeyFunction: the buttons cannot be read";
        return false;
    }
    for (int i = 0; i < kSlotSize; ++i)
        codes[slot * kSlotSize + i] = char(code[i]);

    const quint8 id = m_transport.reportId();
    QByteArray first(1, char(id));
    first += codes.left(kPageData);
    QByteArray second(1, char(id));
    second += codes.mid(kPageData, kPageData);
    if (!m_transport.exchange({DunmorTransport::command({kCmdSetKeys, kProfileByte, 0, kKeysLength}),
                               DunmorTransport::writePage(first), DunmorTransport::writePage(second)})) {
        qDebug() << "[ERROR] setKeyFunction: mDevice->writeData";
        // What the mouse holds now is not known: read it again before the next write.
        QMutexLocker lock(&m_stateLock);
        m_slotCodes.clear();
        return op.finish(false);
    }
    {
        QMutexLocker lock(&m_stateLock);
        m_slotCodes = codes;
        if (function != KFuncMacro) {
            for (auto it = m_macroSlots.begin(); it != m_macroSlots.end(); ++it) {
                if (it.value() == key)
                    it.value() = -1;
            }
        }
    }
    qDebug() << "setSuccess";
    const int keyId = key;
    op.onSuccess([keyId, code] {
        KKeyModel* model = AppServices::instance()->getKeyModel();
        if (!model)
            return;
        for (const QVariant& entry : model->getKeyList()) {
            KKeyModelItem* item = itemOf(entry);
            if (!item || item->getKey() != keyId)
                continue;
            item->setValue1(code[0]);
            item->setValue2(code[1]);
            item->setValue3(code[2]);
            item->setValue4(code[3]);
        }
    });
    return op.finish(true);
}

// --- checks of the key editor ----------------------------------------------------------------------------------

bool KDeviceDunmor::checkMacroId(const int& key, int* slot)
{
    MouseOperation op(m_session);
    if (!op.isHeld())
        return false;
    KKeyModelItem* own = nullptr;
    int macroKeys = 0;
    QMutexLocker lock(&m_stateLock);
    for (const QVariant& entry : op.ui().keyList) {
        KKeyModelItem* item = itemOf(entry);
        if (!item)
            continue;
        if (item->getKey() == key)
            own = item;
        if (item->getType() != KFuncMacro)
            continue;
        ++macroKeys;
        // Only the mouse's slots are recorded.
        if (m_macroSlots.contains(item->getValue3()))
            m_macroSlots[item->getValue3()] = item->getKey();
    }
    if (macroKeys < kMacroSlots) {
        if (!own) {
            qDebug() << "[Error] checkMacroId: the key is not in the key list" << key;
            return false;
        }
        for (auto it = m_macroSlots.begin(); it != m_macroSlots.end(); ++it) {
            if (it.value() != -1)
                continue;
            it.value() = key;
            if (slot)
                *slot = it.key();
            const int previous = own->getValue3();
            if (own->getType() == KFuncMacro && previous != it.key() && m_macroSlots.contains(previous))
                m_macroSlots[previous] = -1;
            return true;
        }
        qDebug() << "[Error] checkMacroId: no free macro slot";
        return false;
    }
    for (auto it = m_macroSlots.cbegin(); it != m_macroSlots.cend(); ++it) {
        if (it.value() == key) {
            if (slot)
                *slot = it.key();
            return true;
        }
    }
    qDebug() << " [Error] Four macros have been set and cannot be set again";
    return false;
}

bool KDeviceDunmor::checkLeftKey(const int& key)
{
    MouseOperation op(m_session);
    if (!op.isHeld())
        return false;
    int lefts = 0;
    int leftKey = -1;
    for (const QVariant& entry : op.ui().keyList) {
        KKeyModelItem* item = itemOf(entry);
        if (item && item->getType() == KFuncMouseLeft) {
            ++lefts;
            leftKey = item->getKey();
        }
    }
    if (lefts == 1 && leftKey == key) {
        qDebug() << " [Error] Keep at least one left button function";
        return false;
    }
    return true;
}

bool KDeviceDunmor::macroFilter(QVector<KMacroItem>& items, int* out)
{
    if (items.isEmpty()) {
        // The key (as the caller passes it) gives up its slots.
        const int key = out ? *out : 0;
        QMutexLocker lock(&m_stateLock);
        for (auto it = m_macroSlots.begin(); it != m_macroSlots.end(); ++it) {
            if (it.value() == key)
                it.value() = -1;
        }
    }
    return filterMacroEvents(items);
}

// --- macros ---------------------------------------------------------------------------------------------------

int KDeviceDunmor::setMacro(bool ignoreDelay, const MacroPlayType& playType, const QVector<KMacroItem>& items,
                            QVariant times, const int& slot)
{
    return writeMacro(DunmorMacro::Dialect::Root, ignoreDelay, playType, items, times.toInt(), slot);
}

int KDeviceDunmor::writeMacro(DunmorMacro::Dialect dialect, bool ignoreDelay, MacroPlayType playType,
                              const QVector<KMacroItem>& items, int repeat, int slot)
{
    if (slot < 1 || slot > kMacroSlots) {
        qDebug() << "[ERROR] setMacro: no such macro slot" << slot;
        return -1;
    }
    // The whole buffer is settled before anything is sent.
    const QByteArray buffer = DunmorMacro::encode(dialect, ignoreDelay, playType, items, repeat);
    if (buffer.isEmpty()) {
        qDebug() << "[ERROR] setMacro: the macro does not fit the mouse's buffer";
        return -1;
    }
    MouseOperation op(m_session);
    if (!op.isHeld())
        return -1;
    if (!m_transport.exchange({DunmorTransport::command({kCmdSetMacro, kProfileByte, quint8(slot), kMacroArg})})) {
        qDebug() << "[ERROR] setMacro : mDevice->sendFeature";
        return -1;
    }
    const char id = char(m_transport.reportId());
    for (int page = 0; page < kMacroPages; ++page) {
        QByteArray bytes(1, id);
        bytes += buffer.mid(page * kPageData, kPageData);
        if (!m_transport.exchange({DunmorTransport::writePage(bytes)})) {
            qDebug() << "[ERROR] setMacro : mDevice->writeData";
            return -1;
        }
    }
    qDebug() << "setMacroSuccess";
    return 1;
}
