#include "models/keys/KKeyModel.h"

#include "common/AnalyticsEvents.h"
#include "common/AppServices.h"
#include "hid/HDeviceManager.h"
#include "hid/KBaseDevice.h"
#include "hid/KDeviceController.h"
#include "models/device/KImageModel.h"
#include "models/keys/HKey.h"
#include "models/keys/KKey.h"
#include "models/keys/KKeyModelItem.h"
#include "models/keys/KeyAssignmentRules.h"
#include "models/keys/KeyboardHook.h"
#include "platform/input/NativeKeyTable.h"

#include <QDebug>
#include <QJsonArray>

namespace {

constexpr int kLoadingMs = 2000;
constexpr int kLeftButton = 0;

// Profile section of the key assignments.
constexpr int kKeySection = 1;

} // namespace

KKeyModel::KKeyModel(QObject* parent)
    : QObject(parent)
{
    orginFuncMap = KeyAssignmentRules::defaultKeyMap();
    emit orginFuncMapChanged();
    definedMacroIndex = 0;
}

KKeyModel::~KKeyModel()
{
    if (hook)
        hook->uninstallKeyboardHook();
}

// --- the current device ----------------------------------------------------------------------------------

KBaseDevice* KKeyModel::currentDevice()
{
    return KDeviceController::instance()->currentDevice();
}

int KKeyModel::currentPid() const
{
    return currentDevice() ? HDeviceManager::instance()->currentPid() : 0;
}

int KKeyModel::deviceType() const
{
    const KImageModel* image = AppServices::instance()->getImageModel();
    return image ? image->deviceType() : 0;
}

int KKeyModel::maxMacroLength() const
{
    const KImageModel* image = AppServices::instance()->getImageModel();
    return image ? image->maxMacroLength() : 0;
}

void KKeyModel::bindOperations(KBaseDevice* device)
{
    using namespace std::placeholders;
    boundDevice = device;
    getLayout = std::bind(&KBaseDevice::getLayout, device);
    getReportRate = std::bind(&KBaseDevice::getReportRate, device);
    setReportRate = std::bind(&KBaseDevice::setReportRate, device, _1);
    setKeyFunction = std::bind(&KBaseDevice::setKeyFunction, device, _1, _2, _3, _4, _5);
    checkLeftKey = std::bind(&KBaseDevice::checkLeftKey, device, _1);
    checkMacroId = std::bind(&KBaseDevice::checkMacroId, device, _1, _2);
    macroFilter = std::bind(&KBaseDevice::macroFilter, device, _1, _2);
    setMacro = std::bind(&KBaseDevice::setMacro, device, _1, _2, _3, _4, _5);
    setDefinedPressMacro = std::bind(&KBaseDevice::setDefinedPressMacro, device, _1);
}

// The operations of the device that is current now; false when there is none.
bool KKeyModel::bindCurrentDevice()
{
    KBaseDevice* device = currentDevice();
    if (!device)
        return false;
    if (device != boundDevice)
        bindOperations(device);
    return true;
}

void KKeyModel::deviceGone()
{
    qDebug() << "[Error] key model: the device is gone";
    AppServices::instance()->showTips(AppServices::TipFail, tr("The device is not connected"));
    AppServices::instance()->stopLoading();
}

// --- rebuilding from the layout --------------------------------------------------------------------------

void KKeyModel::deviceDataChange()
{
    KBaseDevice* device = currentDevice();
    if (!device || device->isRemoved())
        return;
    bindOperations(device);
    const QJsonObject* layoutPointer = getLayout();
    const QJsonObject layout = layoutPointer ? *layoutPointer : QJsonObject();
    if (layout.isEmpty())
        return;
    readFunctions(layout);

    QList<int> keys;
    QList<int> vkCodes;
    QList<int> scanCodes;
    QList<bool> extended;
    const QJsonArray buttons = layout.value(QStringLiteral("key")).toObject().value(QStringLiteral("keyBtn")).toArray();
    for (const QJsonValue& value : buttons) {
        const QJsonObject button = value.toObject();
        keys << button.value(QStringLiteral("key")).toInt();
        vkCodes << button.value(QStringLiteral("vkCode")).toInt();
        scanCodes << button.value(QStringLiteral("scanCode")).toInt();
        extended << button.value(QStringLiteral("extended")).toBool();
    }
    rebuildKeyList(keys);
    rebuildKeyValueList(vkCodes, scanCodes, extended);
}

void KKeyModel::slot_uiModelChange(QJsonObject layout)
{
    if (layout.isEmpty())
        return;
    readFunctions(layout);
    rebuildKeyList(layoutKeys(layout));
}

void KKeyModel::readFunctions(const QJsonObject& layout)
{
    functionsMap.clear();
    for (const QJsonValue& value : layout.value(QStringLiteral("baseFunctions")).toArray()) {
        const QJsonObject function = value.toObject();
        functionsMap.insert(QString::number(function.value(QStringLiteral("index")).toInt()),
                            function.value(QStringLiteral("name")).toString());
    }
    emit functionsMapChanged();
}

QList<int> KKeyModel::layoutKeys(const QJsonObject& layout)
{
    QList<int> keys;
    const QJsonArray buttons = layout.value(QStringLiteral("key")).toObject().value(QStringLiteral("keyBtn")).toArray();
    for (const QJsonValue& value : buttons)
        keys << value.toObject().value(QStringLiteral("key")).toInt();
    return keys;
}

namespace {

// Replaces a list of owned objects: the new list is announced before the old objects go, and they go later,
// so that QML bindings still holding one never see it deleted under them.
template <typename Item>
void replaceOwnedList(QVariantList& list, QVariantList fresh, KKeyModel* model, void (KKeyModel::*changed)())
{
    const QVariantList old = list;
    list = std::move(fresh);
    emit(model->*changed)();
    for (const QVariant& value : old) {
        if (QObject* object = value.value<Item*>())
            object->deleteLater();
    }
}

} // namespace

void KKeyModel::rebuildKeyList(const QList<int>& keys)
{
    qDebug() << "keyList.size:" << keys.size();
    QVariantList fresh;
    for (int key : keys)
        fresh << QVariant::fromValue(new KKeyModelItem(key, 0, 0, 0, 0, 0, QString(), this));
    replaceOwnedList<KKeyModelItem>(keyList, fresh, this, &KKeyModel::keyListChanged);
}

void KKeyModel::rebuildKeyValueList(const QList<int>& vkCodes, const QList<int>& scanCodes,
                                    const QList<bool>& extended)
{
    Q_UNUSED(scanCodes);
    QVariantList fresh;
    for (int i = 0; i < vkCodes.size() && i < extended.size(); ++i)
        fresh << QVariant::fromValue(new HKey(vkCodes.at(i), extended.at(i), false, this));
    replaceOwnedList<HKey>(keyValueList, fresh, this, &KKeyModel::keyValueListChanged);
}

// --- the key-press preview --------------------------------------------------------------------------------

void KKeyModel::installHook()
{
    hook = std::make_unique<KeyboardHook>();
    hook->installKeyboardHook();
    // Guarded: the callback outlives an uninstall, and a model that is gone is never called.
    QPointer<KKeyModel> self(this);
    KeyboardHook::callback() = [self](int vkCode, int scanCode, bool extended, bool down, bool repeat) {
        if (self)
            self->updateCapslockTip(vkCode, scanCode, extended, down, repeat);
    };
}

void KKeyModel::unInstallHook()
{
    if (hook)
        hook->uninstallKeyboardHook();
}

void KKeyModel::updateCapslockTip(int vkCode, int scanCode, bool extended, bool downOrUp, bool isAuto)
{
    Q_UNUSED(scanCode);
    Q_UNUSED(isAuto);
    int index = -1;
    for (int i = 0; i < keyValueList.size(); ++i) {
        const HKey* key = keyValueList.at(i).value<HKey*>();
        if (key && key->getKey() == vkCode && key->getExtended() == extended)
            index = i;
    }
    if (index < 0 || index >= keyList.size())
        return;
    const KKeyModelItem* item = keyList.at(index).value<KKeyModelItem*>();
    // Only a key that still does what it does from the factory shows its press.
    const QVariant factory = item ? orginFuncMap.value(QString::number(item->getKey())) : QVariant();
    if (!item || factory != QVariant(item->getType())) {
        qDebug() << "error pressDown";
        return;
    }
    keyValueList.at(index).value<HKey*>()->setIsDown(downOrUp, true);
}

KKeyModelItem* KKeyModel::itemOfKey(int key) const
{
    for (const QVariant& value : keyList) {
        KKeyModelItem* item = value.value<KKeyModelItem*>();
        if (item && item->getKey() == key)
            return item;
    }
    return nullptr;
}

// --- functions offered -----------------------------------------------------------------------------------

void KKeyModel::addFunc(const int& index, const bool& mAdd)
{
    const int pid = currentPid();
    const bool dpiPair = KeyAssignmentRules::isDpiFunctionPairPid(pid);
    if (!isSniperMousePid(pid) && !dpiPair)
        return;
    KBaseDevice* device = currentDevice();
    if (!device) {
        emit functionsMapChanged();
        return;
    }
    if (mAdd) {
        if (!dpiPair) {
            functionsMap.insert(QStringLiteral("26"), QStringLiteral("Sniper button"));
            functionsMap.insert(QStringLiteral("27"), QStringLiteral("Fire button"));
        } else {
            functionsMap.insert(QStringLiteral("36"), QStringLiteral("DPI Cycle"));
            functionsMap.insert(QStringLiteral("39"), QStringLiteral("DPI+"));
            functionsMap.insert(QStringLiteral("40"), QStringLiteral("DPI-"));
        }
    } else {
        const QJsonObject* layout = device->getLayout();
        const QJsonArray functions = layout ? layout->value(QStringLiteral("baseFunctions")).toArray() : QJsonArray();
        for (const QJsonValue& value : functions) {
            const QJsonObject function = value.toObject();
            if (function.value(QStringLiteral("index")).toInt() == index) {
                functionsMap.insert(QString::number(index), function.value(QStringLiteral("name")).toString());
                break;
            }
        }
    }
    emit functionsMapChanged();
}

void KKeyModel::deleteFunc(const int& index, const bool& mDelete)
{
    if (mDelete) {
        functionsMap.remove(QStringLiteral("26"));
        functionsMap.remove(QStringLiteral("27"));
        if (KeyAssignmentRules::isDpiFunctionPairPid(currentPid())) {
            functionsMap.remove(QStringLiteral("36"));
            functionsMap.remove(QStringLiteral("39"));
            functionsMap.remove(QStringLiteral("40"));
        }
    } else {
        functionsMap.remove(QString::number(index));
    }
    emit functionsMapChanged();
}

QString KKeyModel::getKeyStr(int key)
{
    return qtKeyToText(key);
}

int KKeyModel::scanCodeOfNative(int nativeScanCode) const
{
    if (nativeScanCode <= 0)
        return 0;
    return NativeKeyTable::messageScanCode(quint32(nativeScanCode));
}

// --- checks and translations ----------------------------------------------------------------------------

bool KKeyModel::isKeyboardPid(int pid) const { return KeyAssignmentRules::isKeyboardPid(pid); }
bool KKeyModel::isSniperMousePid(int pid) const { return KeyAssignmentRules::isSniperMousePid(pid); }
bool KKeyModel::isSwapModifierMousePid(int pid) const { return KeyAssignmentRules::isSwapModifierMousePid(pid); }
bool KKeyModel::isSideButtonMousePid(int pid) const { return KeyAssignmentRules::isSideButtonMousePid(pid); }
bool KKeyModel::isDpiKeyMousePid(int pid) const { return KeyAssignmentRules::isDpiKeyMousePid(pid); }
bool KKeyModel::isBasicMousePid(int pid) const { return KeyAssignmentRules::isBasicMousePid(pid); }

bool KKeyModel::checkAndTranslate(const int& key, int& func, int& mask, int usage)
{
    const KeyAssignmentRules::Translation result =
        KeyAssignmentRules::checkAndTranslate(currentPid(), key, func, mask, usage);
    switch (result.refusal) {
    case KeyAssignmentRules::Refusal::SniperOnDpiButton:
        AppServices::instance()->showTips(AppServices::TipFail, tr("DPI button cannot set sniper button function"));
        return false;
    case KeyAssignmentRules::Refusal::FireOnDpiButton:
        AppServices::instance()->showTips(AppServices::TipFail, tr("DPI button cannot set fire button function"));
        return false;
    case KeyAssignmentRules::Refusal::None:
        break;
    }
    func = result.function;
    mask = result.mask;
    return true;
}

int KKeyModel::modifierMaskToFunction(int mask)
{
    return KeyAssignmentRules::modifierMaskToFunction(mask);
}

bool KKeyModel::hidUsageToKeyFunction(int& func, const int& key, int usage)
{
    Q_UNUSED(key);
    return KeyAssignmentRules::hidUsageToKeyFunction(deviceType(), func, usage);
}

// --- single functions and combinations -------------------------------------------------------------------

bool KKeyModel::setFunction(const int& key, const int& func)
{
    definedMacroIndex = 0;
    int function = func;
    int mask = 0;
    if (!checkAndTranslate(key, function, mask, 0))
        return false;
    AppServices::instance()->startLoading(kLoadingMs);
    if (!bindCurrentDevice()) {
        deviceGone();
        return false;
    }
    auto write = setKeyFunction;
    auto writeFunction = [this, write, key, function] {
        queue<bool>([write, key, function] { return write(KKey(key), KKeyFunction(function), QVariant(), QVariant(), QVariant()); },
                    [this, key, function](bool ok) { onFunctionWritten(key, function, ok); });
    };
    if (key == kLeftButton && (function == KFuncMouseLeft || function == KFuncNull)) {
        writeFunction();
        return true;
    }
    auto check = checkLeftKey;
    queue<bool>([check, key] { return check(key); },
                [this, writeFunction](bool ok) {
                    if (!ok) {
                        leftKeyRefused("[Error] checkLeft");
                        return;
                    }
                    writeFunction();
                });
    return true;
}

QString KKeyModel::leftKeyTip()
{
    return tr("Please retain at least one key as the \"left button\" function");
}

void KKeyModel::leftKeyRefused(const char* log)
{
    qDebug() << log;
    AppServices::instance()->showTips(AppServices::TipFail, leftKeyTip());
    AppServices::instance()->stopLoading();
}

void KKeyModel::onFunctionWritten(int key, int func, bool ok)
{
    AppServices* services = AppServices::instance();
    const QString action = AnalyticsEvents::keyAction(key);
    if (!ok) {
        services->startWarning(AppServices::WarningOperationFailed);
        services->sendEvent(AnalyticsEvents::kDeviceKeyFunc, action, AnalyticsEvents::kFail);
        qDebug() << "[Error] setFunction";
    } else {
        services->sendEvent(AnalyticsEvents::kDeviceKeyFunc, action, AnalyticsEvents::funcLabel(func));
        qDebug() << "[Info] setFunction" << key << func;
        if (KKeyModelItem* item = itemOfKey(key))
            item->setType(func, true, QString());
        saveKeySection(key);
    }
    services->stopLoading();
}

bool KKeyModel::setCompositeKey(const int& key, const int& func, QVariant compositeKey, QVariant qtCode,
                                QVariant keyFunc)
{
    definedMacroIndex = 0;
    const int usage = qtKeyToHidUsage(qtCode.toInt(), keyFunc.toInt());
    int mask = compositeKey.toInt();
    QString text = qtKeyToText(qtCode.toInt());
    int function = func;
    if (!checkAndTranslate(key, function, mask, usage))
        return false;
    if (hidUsageToKeyFunction(function, key, usage))
        text.clear();
    if (usage == 0 && mask == 0)
        return false;
    AppServices::instance()->startLoading(kLoadingMs);
    if (!bindCurrentDevice()) {
        deviceGone();
        return false;
    }
    auto check = checkLeftKey;
    auto write = setKeyFunction;
    queue<bool>([check, key] { return check(key); },
                [this, write, key, function, mask, usage, text](bool ok) {
                    if (!ok) {
                        leftKeyRefused("[Error] checkLeftKey");
                        return;
                    }
                    queue<bool>(
                        [write, key, function, mask, usage, text] {
                            return write(KKey(key), KKeyFunction(function), QVariant(mask), QVariant(usage),
                                         QVariant(text));
                        },
                        [this, key, function, usage, text](bool written) {
                            onCompositeWritten(key, function, usage, text, written);
                        });
                });
    return true;
}

void KKeyModel::onCompositeWritten(int key, int func, int usage, const QString& text, bool ok)
{
    AppServices* services = AppServices::instance();
    const QString action = AnalyticsEvents::keyAction(key);
    if (!ok) {
        services->startWarning(AppServices::WarningOperationFailed);
        services->sendEvent(AnalyticsEvents::kDeviceComposite, action, AnalyticsEvents::kFail);
        qDebug() << "[Error] setCompositeKey";
    } else {
        services->sendEvent(AnalyticsEvents::kDeviceComposite, action, AnalyticsEvents::keycodeLabel(usage));
        qDebug() << "[Info] setCompositeKey" << "key" << key << "func" << func;
        if (KKeyModelItem* item = itemOfKey(key))
            item->setType(func, true, text);
        saveKeySection(key);
    }
    services->stopLoading();
}

void KKeyModel::saveKeySection(int key)
{
    AppServices::instance()->saveProfileSection(kKeySection, key);
}
