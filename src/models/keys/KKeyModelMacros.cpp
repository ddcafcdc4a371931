// Assigning macro files to keys: one file makes the key play it, two or three play as press macros with the
// left-button function.

#include "models/keys/KKeyModel.h"

#include "common/AnalyticsEvents.h"
#include "common/AppServices.h"
#include "hid/KBaseDevice.h"
#include "models/keys/KKeyModelItem.h"
#include "models/keys/KeyAssignmentRules.h"
#include "profiles/JsonFileReader.h"

#include <QDebug>
#include <QJsonArray>
#include <QJsonDocument>

namespace {

constexpr int kLoadingMs = 2000;
constexpr int kLeftButton = 0;
constexpr int kMaxPressMacros = 3;
// Press macros are written under consecutive ids from here (one higher on the sniper family).
constexpr int kPressMacroBaseId = 1000;

QString emptyMacroTip()
{
    return KKeyModel::tr("Setting failed. The selected macro includes empty macro");
}

} // namespace

bool KKeyModel::initJsonObj(const QString& path, QJsonObject& out)
{
    QJsonDocument document;
    if (!readJsonDocument(path, &document))
        return false;
    if (!document.isObject()) {
        qDebug() << "open error" << path << "holds no JSON object";
        return false;
    }
    out = document.object();
    return true;
}

bool KKeyModel::readMacroFile(const QString& path, MacroFile* out)
{
    QJsonObject object;
    if (!initJsonObj(path, object))
        return false;
    const QJsonValue list = object.value(QStringLiteral("list"));
    if (!list.isArray() || list.toArray().isEmpty()) {
        qDebug() << "[Error] macro file without events" << path;
        return false;
    }
    MacroFile macro;
    for (const QJsonValue& value : list.toArray()) {
        if (!value.isObject()) {
            qDebug() << "[Error] macro file with a malformed event" << path;
            return false;
        }
        macro.events << KMacroItem::fromJson(value.toObject());
    }
    // "playType" is stored as the text "1".."3"; a number is taken as well.
    const QJsonValue playType = object.value(QStringLiteral("playType"));
    const int play = playType.isDouble() ? playType.toInt() : playType.toString().toInt();
    if (!isValidMacroPlayType(play)) {
        qDebug() << "[Error] macro file with an unknown play type" << path;
        return false;
    }
    macro.playType = MacroPlayType(play);
    macro.ignoreTime = object.value(QStringLiteral("ignoreTime")).toBool();
    macro.times = clampMacroTimes(object.value(QStringLiteral("times")).toDouble());
    *out = macro;
    return true;
}

void KKeyModel::macroRefused(const QString& tip)
{
    AppServices::instance()->showTips(AppServices::TipFail, tip);
    qDebug() << "initMacroJson error";
    AppServices::instance()->stopLoading();
}

void KKeyModel::setMacroFunc(int key, QVector<QString> filePath)
{
    definedMacroIndex = 0;
    const int pid = currentPid();
    if (filePath.isEmpty()) {
        qDebug() << "filePath is empty";
        return;
    }
    if (filePath.size() > kMaxPressMacros) {
        // More files than a key takes: nothing is written, and the user is told so.
        qDebug() << "[Error] setMacroFunc: more than three macros" << filePath.size();
        AppServices::instance()->showTips(AppServices::TipFail, tr("At most three macros can be set on one key"));
        return;
    }
    AppServices::instance()->startLoading(kLoadingMs);

    // Every file is read and checked here, before anything is queued; the worker gets what was read.
    QVector<MacroFile> macros;
    for (const QString& path : filePath) {
        MacroFile macro;
        if (!readMacroFile(path, &macro)) {
            macroRefused(emptyMacroTip());
            return;
        }
        macros << macro;
    }
    if (!bindCurrentDevice()) {
        deviceGone();
        return;
    }
    MacroContext ctx;
    ctx.device = boundDevice;
    ctx.pid = pid;
    ctx.maxMacroLength = maxMacroLength();

    if (macros.size() == 1) {
        const MacroFile macro = macros.first();
        if (KeyAssignmentRules::isSniperMousePid(pid) && (key == 5 || key == 6)
            && macro.playType == MacroPlayWhilePressed) {
            macroRefused(tr("This key cannot set a macro in play when pressed"));
            return;
        }
        const QString path = filePath.first();
        const KKeyModelItem* item = itemOfKey(key);
        const bool wasMacro = item && item->getType() == KFuncMacro;
        queue<int>([ctx, key, macro] { return setKeyMacro(ctx, key, macro); },
                   [this, key, path, macro, wasMacro](int code) { onMacroResult(key, path, macro, wasMacro, code); });
        return;
    }
    queue<QVector<int>>(
        [ctx, key, macros] {
            int written = 0;
            const int code = setMacroFunction(ctx, key, macros, &written);
            return QVector<int>{code, written};
        },
        [this, key](QVector<int> result) { onPressMacroResult(key, result); });
}

int KKeyModel::setKeyMacro(const MacroContext& ctx, const int& key, const MacroFile& macro)
{
    KBaseDevice* device = ctx.device;
    if (!device)
        return MacroNoFile;
    int macroId = 0;
    if (!device->checkLeftKey(key)) {
        qDebug() << "[Error] checkLeftKey";
        return MacroLeftKey;
    }
    if (key == kLeftButton && !device->setDefinedPressMacro(0)) {
        qDebug() << "[Error] setDefinedPressMacro";
        return MacroPressMacroFailed;
    }
    if (!device->checkMacroId(key, &macroId)) {
        qDebug() << "[Error] checkMacroId";
        return MacroNoSlot;
    }
    if (KeyAssignmentRules::isBasicMousePid(ctx.pid) && (macroId < 1 || macroId > 4))
        return MacroNoSlot;
    QVector<KMacroItem> events = macro.events;
    int count = 0;
    if (!device->macroFilter(events, &count)) {
        qDebug() << "[Error] macroFilter";
        return MacroEmpty;
    }
    if (ctx.maxMacroLength > 0 && events.size() > ctx.maxMacroLength) {
        qDebug() << "[Error] macroList too length";
        return MacroTooLong;
    }
    // Devices answer 0 or a negative code for a failed write.
    if (device->setMacro(macro.ignoreTime, macro.playType, events, macro.times, macroId) <= 0) {
        qDebug() << "[Error] setMacro";
        return MacroWriteFailed;
    }
    qDebug() << "[Info] setMacro";
    if (!device->setKeyFunction(KKey(key), KKeyFunction(KFuncMacro), QVariant(macroId), QVariant(), QVariant())) {
        qDebug() << "[Error] setKeyFuntion ---> setKeyMacro";
        return MacroKeyFuncFailed;
    }
    qDebug() << "[Info] setKeyFuntion ---> setKeyMacro";
    if (KeyAssignmentRules::isBasicMousePid(ctx.pid)) {
        const int rate = device->getReportRate();
        if (rate < 0 || !device->setReportRate(rate))
            return MacroReportRateFailed;
    }
    return MacroSet;
}

int KKeyModel::setMacroFunction(const MacroContext& ctx, const int& key, const QVector<MacroFile>& macros,
                                int* written)
{
    int count = 0;
    auto done = [&](int code) {
        if (written)
            *written = count;
        return code;
    };
    KBaseDevice* device = ctx.device;
    if (macros.isEmpty() || !device)
        return done(PressMacroNoFile);
    if (!device->checkLeftKey(key)) {
        qDebug() << "[Error] setMacroFunction checkLeftKey";
        return done(PressMacroLeftKey);
    }
    if (!device->setKeyFunction(KKey(key), KKeyFunction(KFuncMouseLeft), QVariant(), QVariant(), QVariant())) {
        qDebug() << "[Error] setMacroFunction setKeyFunction";
        return done(PressMacroKeyFuncFailed);
    }
    // The sniper family numbers its press macros from one higher and is told the count after each one.
    const bool sniper = KeyAssignmentRules::isSniperMousePid(ctx.pid);
    const int base = kPressMacroBaseId + (sniper ? 1 : 0);
    for (const MacroFile& macro : macros) {
        if (!setMultiMacroFunction(device, macro, base + count))
            return done(PressMacroWriteFailed);
        ++count;
        if (sniper && !device->setDefinedPressMacro(count)) {
            qDebug() << "[Error] setMacroFunction setDefinedPressMacro";
            return done(PressMacroCountFailed);
        }
    }
    if (!sniper && !device->setDefinedPressMacro(count)) {
        qDebug() << "[Error] setMacroFunction setDefinedPressMacro";
        return done(PressMacroCountFailed);
    }
    return done(PressMacroSet);
}

bool KKeyModel::setMultiMacroFunction(KBaseDevice* device, const MacroFile& macro, const int& macroId)
{
    if (!device)
        return false;
    QVector<KMacroItem> events = macro.events;
    int count = 0;
    if (!device->macroFilter(events, &count)) {
        qDebug() << "[Error] macroFilter";
        return false;
    }
    if (device->setMacro(macro.ignoreTime, macro.playType, events, macro.times, macroId) <= 0) {
        qDebug() << "[Error] setMultiMacroFunction setMacro";
        return false;
    }
    return true;
}

void KKeyModel::onMacroResult(int key, const QString& path, const MacroFile& macro, bool wasMacro, int code)
{
    AppServices* services = AppServices::instance();
    const QString category = AnalyticsEvents::kDeviceMacro;
    const QString fail = AnalyticsEvents::kFail;
    // The key plays the new macro: what the user sees and the profile follow the device.
    auto recordMacro = [&] {
        keyMacroMap.insert(key, path);
        if (KKeyModelItem* item = itemOfKey(key))
            item->setType(KFuncMacro, true, QString());
        saveKeySection(key);
    };
    switch (code) {
    case MacroSet:
        services->sendEvent(category, AnalyticsEvents::keyAction(key),
                            AnalyticsEvents::macroLabel(int(macro.playType), macro.ignoreTime ? 1 : 0));
        recordMacro();
        break;
    case MacroNoFile:
    case MacroEmpty:
        services->showTips(AppServices::TipFail, emptyMacroTip());
        break;
    case MacroLeftKey:
        services->showTips(AppServices::TipFail, leftKeyTip());
        break;
    case MacroNoSlot:
        services->showTips(AppServices::TipFail,
                           tr("The macro setting has reached the upper limit. Please delete it before setting"));
        break;
    case MacroWriteFailed:
        services->sendEvent(category, AnalyticsEvents::kSetMacro, fail);
        services->startWarning(AppServices::WarningOperationFailed);
        break;
    case MacroKeyFuncFailed:
        // A key that played a macro keeps its slot, whose record now holds the new macro: it plays that.
        if (wasMacro)
            recordMacro();
        services->sendEvent(category, AnalyticsEvents::kSetKeyFunc, fail);
        services->startWarning(AppServices::WarningOperationFailed);
        break;
    case MacroReportRateFailed:
        // The key already plays the macro; only the refresh after it failed. Record what the device holds
        // and report the failure.
        recordMacro();
        services->sendEvent(category, AnalyticsEvents::kSetReportRate, fail);
        services->startWarning(AppServices::WarningOperationFailed);
        break;
    case MacroTooLong:
        services->showTips(AppServices::TipFail, tr("The length of the macro you set exceeds the maximum"));
        break;
    case MacroPressMacroFailed:
        services->sendEvent(category, AnalyticsEvents::kSetDefinedPressMacro, fail);
        services->startWarning(AppServices::WarningOperationFailed);
        break;
    default:
        break;
    }
    services->stopLoading();
}

void KKeyModel::onPressMacroResult(int key, const QVector<int>& result)
{
    AppServices* services = AppServices::instance();
    const int code = result.value(0, PressMacroNoFile);
    definedMacroIndex = result.value(1, 0);
    const QString category = AnalyticsEvents::kDeviceMultiMacro;
    const QString fail = AnalyticsEvents::kFail;
    switch (code) {
    case PressMacroSet:
        services->sendEvent(category, AnalyticsEvents::kSetMulti,
                            AnalyticsEvents::definedMacroLabel(definedMacroIndex));
        if (KKeyModelItem* item = itemOfKey(key))
            item->setType(KFuncMacro, true, QString());
        saveKeySection(key);
        break;
    case PressMacroNoFile:
        services->showTips(AppServices::TipFail, emptyMacroTip());
        break;
    case PressMacroLeftKey:
        services->showTips(AppServices::TipFail, leftKeyTip());
        break;
    case PressMacroKeyFuncFailed:
        services->sendEvent(category, AnalyticsEvents::kSetKeyFunc, fail);
        services->startWarning(AppServices::WarningOperationFailed);
        break;
    case PressMacroWriteFailed:
        services->sendEvent(category, AnalyticsEvents::kSetMulti, fail);
        services->startWarning(AppServices::WarningOperationFailed);
        break;
    case PressMacroCountFailed:
        services->sendEvent(category, AnalyticsEvents::kSetDefined, fail);
        services->startWarning(AppServices::WarningOperationFailed);
        break;
    default:
        break;
    }
    // Every outcome closes the busy indicator.
    services->stopLoading();
}
