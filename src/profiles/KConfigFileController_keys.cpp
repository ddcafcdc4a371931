// Writing key assignments from the device into a profile: the "key" element of one key, by the key entry rule.
// Runs on a pool thread inside a profile routine; what it needs of the models comes in the task context.

#include "profiles/KConfigFileController.h"

#include "hid/KBaseDevice.h"
#include "models/keys/KKeyModelItem.h"
#include "models/keys/KeyAssignmentRules.h"
#include "profiles/JsonFileReader.h"
#include "profiles/ProfileDocument.h"

#include <QDebug>
#include <QJsonArray>
#include <QJsonDocument>

namespace PD = ProfileDocument;

namespace {

// A macro file's object; false when it cannot be read or is no JSON object.
bool readMacro(const QString& path, QJsonObject* macro)
{
    QJsonDocument document;
    if (path.isEmpty() || !readJsonDocument(path, &document) || !document.isObject()) {
        qDebug() << "[Error] key entry: no macro file" << path;
        return false;
    }
    *macro = document.object();
    return true;
}

// The copy of a macro that a key entry holds: the events member by member and the play settings.
QJsonObject macroCopy(const QJsonObject& macro)
{
    QJsonArray list;
    for (const QJsonValue& value : macro.value(PD::kMacroList).toArray()) {
        const QJsonObject event = value.toObject();
        list.append(QJsonObject{{QStringLiteral("type"), event.value(QStringLiteral("type")).toInt()},
                                {QStringLiteral("value1"), event.value(QStringLiteral("value1")).toInt()},
                                {QStringLiteral("value2"), event.value(QStringLiteral("value2")).toInt()},
                                {QStringLiteral("isUp"), event.value(QStringLiteral("isUp")).toBool()},
                                {QStringLiteral("text"), event.value(QStringLiteral("text")).toString()}});
    }
    QJsonObject copy;
    copy.insert(PD::kMacroList, list);
    copy.insert(PD::kMacroIgnoreTime, macro.value(PD::kMacroIgnoreTime).toBool());
    const QJsonValue playType = macro.value(PD::kMacroPlayType);
    copy.insert(PD::kMacroPlayType, playType.isDouble() ? QString::number(playType.toInt()) : playType.toString());
    copy.insert(PD::kMacroTimes, macro.value(PD::kMacroTimes).toInt());
    return copy;
}

} // namespace

bool KConfigFileController::saveKeySection(QJsonObject& profile, int key, const TaskContext& context)
{
    QJsonArray keys = profile.value(PD::kKey).toArray();
    int index = -1;
    for (int i = 0; i < keys.size() && index < 0; ++i) {
        if (keys.at(i).toObject().value(PD::kKey).toInt(-1) == key)
            index = i;
    }
    // A key the profile does not list leaves the section as it is.
    if (index < 0)
        return true;
    const QMap<KKey, KKeyModelItem> items = context.device->getKeys();
    if (items.isEmpty())
        return false;
    if (!items.contains(KKey(key)))
        return true;
    bool multiMacro = false;
    if (index == 0) {
        const int defined = context.device->getDefinedPressMacro();
        if (defined == -1)
            return false;
        multiMacro = defined != 0;
    }
    QJsonObject element = keys.at(index).toObject();
    if (!writeKeyEntry(element, items.value(KKey(key)), multiMacro, false, profile.value(PD::kPid).toInt(), context))
        return false;
    keys.replace(index, element);
    profile.insert(PD::kKey, keys);
    return true;
}

bool KConfigFileController::writeKeyEntry(QJsonObject& element, const KKeyModelItem& item, bool multiMacro,
                                          bool isRestore, int documentPid, const TaskContext& context)
{
    const int type = item.getType();
    element.insert(PD::kFuncIndex, type);
    if (type == PD::kFunctionMacro && !isRestore) {
        QJsonObject macro;
        if (!readMacro(context.keyMacroMap.value(item.getKey()), &macro))
            return false;
        QJsonObject value1 = macroCopy(macro);
        value1.insert(PD::kMacroName, macro.value(PD::kMacroName).toString());
        element.insert(PD::kValue1, value1);
        return true;
    }
    if (multiMacro && !isRestore) {
        QJsonObject value1;
        for (int n = 0; n < context.multiMacro.size(); ++n) {
            QJsonObject macro;
            if (!readMacro(context.multiMacro.at(n), &macro))
                return false;
            value1.insert(PD::kMultiMacroPrefix + QString::number(n + 1), macroCopy(macro));
        }
        value1.insert(PD::kMacroName, context.macroName);
        element.insert(PD::kValue1, value1);
        return true;
    }
    if (isModifierFunction(type)) {
        int first = item.getValue2();
        int second = item.getValue3();
        if (isPackedValuePid(documentPid)) {
            first = isSwappedModifierPid(documentPid) ? KeyAssignmentRules::swapCtrlShift(item.getValue3()) : item.getValue3();
            second = item.getValue4();
        }
        element.insert(PD::kValue1, PD::compositeToValue(element.value(PD::kValue1), first, second));
        return true;
    }
    if (type == PD::kFunctionKeyboardKeys) {
        element.insert(PD::kValue1, item.getValue3());
        return true;
    }
    element.insert(PD::kValue1, QString());
    return true;
}
