#include "profiles/OldMacroConverter.h"

#include "models/keys/KMacroItem.h"
#include "profiles/FileHelpers.h"
#include "profiles/JsonFileReader.h"
#include "profiles/KeyCodeTables.h"

#include <QDebug>
#include <QJsonArray>
#include <QJsonDocument>

namespace {

constexpr int kOldKeyEvent = 3;
constexpr int kOldPointerEvent = 6;
constexpr int kOldIgnoreDelay = 2;
constexpr int kOldStateReleased = 1;

// Old virtual-key codes of the mouse buttons and the button numbers of the current format.
constexpr int kOldLeftButton = 1;
constexpr int kOldRightButton = 2;
constexpr int kOldMiddleButton = 4;
constexpr int kLeftButton = 1;
constexpr int kMiddleButton = 2;
constexpr int kRightButton = 3;

QJsonObject delayItem(int pause)
{
    return QJsonObject{{"isUp", false}, {"text", ""}, {"type", KMacroItem::Delay}, {"value1", pause}, {"value2", 0}};
}

QJsonObject convertEvent(const QJsonObject& event)
{
    QJsonObject item;
    const int valueType = event.value("ValueType").toInt();
    if (valueType == kOldKeyEvent) {
        const int keyValue = event.value("KeyValue").toInt();
        if (keyValue == kOldLeftButton || keyValue == kOldRightButton || keyValue == kOldMiddleButton) {
            item.insert("type", KMacroItem::MouseButton);
            item.insert("text", "");
            item.insert("value2", 0);
            item.insert("value1", keyValue == kOldLeftButton    ? kLeftButton
                                  : keyValue == kOldRightButton ? kRightButton
                                                                : kMiddleButton);
        } else {
            int usage = 0;
            int scanValue = 0;
            virtualKeyToHidUsage(keyValue, usage, scanValue);
            item.insert("type", KMacroItem::KeyboardKey);
            item.insert("text", hidUsageToKeyName(usage));
            item.insert("value1", usage);
            item.insert("value2", scanValue);
        }
    } else if (valueType == kOldPointerEvent) {
        item.insert("type", KMacroItem::Pointer);
        item.insert("text", "");
        item.insert("value1", event.value("CoordinateX").toInt());
        item.insert("value2", event.value("CoordinateY").toInt());
    }
    item.insert("isUp", event.value("State").toInt() == kOldStateReleased);
    return item;
}

QJsonArray convertEvents(const QJsonArray& events, bool delayAfterLast)
{
    QJsonArray list;
    for (int i = 0; i < events.size(); ++i) {
        const QJsonObject event = events.at(i).toObject();
        list.append(convertEvent(event));
        const int pause = event.value("TimeLapse").toInt();
        const bool last = i == events.size() - 1;
        if (pause != 0 && (!last || delayAfterLast))
            list.append(delayItem(pause));
    }
    return list;
}

QString playTypeText(int macroType)
{
    switch (macroType) {
    case 2:
        return QStringLiteral("2");
    case 4:
        return QStringLiteral("3");
    default:
        return QStringLiteral("1");
    }
}

} // namespace

QJsonObject convertOldMacroSettings(const QJsonObject& oldMacro)
{
    QJsonObject settings;
    settings.insert("playType", playTypeText(oldMacro.value("MacroType").toInt()));
    settings.insert("ignoreTime", oldMacro.value("IgnoreDelayTime").toInt() == kOldIgnoreDelay);
    settings.insert("times", oldMacro.value("RepeatTimes").toInt());
    settings.insert("macroName", oldMacro.value("Name").toString());
    return settings;
}

QJsonObject convertOldMacroEvents(const QJsonObject& oldMacro)
{
    return QJsonObject{{"list", convertEvents(oldMacro.value("Macro").toArray(), true)}};
}

int convertOldMacroFile(QString path)
{
    QJsonDocument document;
    if (!readJsonDocument(path, &document))
        return 0;
    if (!document.isObject()) {
        qDebug() << "toObject error";
        return 0;
    }
    const QJsonObject old = document.object();
    if (!old.contains("IgnoreDelayTime"))
        return -1;

    QJsonObject converted = convertOldMacroSettings(old);
    converted.insert("list", convertEvents(old.value("Macro").toArray(), false));

    // The old text stays in place until the new one is completely on disk.
    const QByteArray text = QJsonDocument(converted).toJson(QJsonDocument::Indented);
    if (!saveFileContents(path, text)) {
        qDebug() << "syncToFile error";
        return 0;
    }
    qDebug() << "syncToFile success";
    return 1;
}
