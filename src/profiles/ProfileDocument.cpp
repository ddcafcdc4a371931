#include "profiles/ProfileDocument.h"

#include "models/keys/MacroPlayType.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QSet>

namespace ProfileDocument {

namespace {

constexpr int kByteMax = 0xFF;

bool fail(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
    return false;
}

// A member that is there but of another type would otherwise read as 0 (or false) and reach the device.
bool absentOrInteger(const QJsonObject& object, const QString& member)
{
    return !object.contains(member) || isInteger(object.value(member));
}

bool absentOrBool(const QJsonObject& object, const QString& member)
{
    return !object.contains(member) || object.value(member).isBool();
}

bool isMacroEvent(const QJsonObject& event)
{
    return absentOrInteger(event, QStringLiteral("type")) && absentOrInteger(event, QStringLiteral("value1"))
        && absentOrInteger(event, QStringLiteral("value2")) && absentOrBool(event, QStringLiteral("isUp"));
}

// The "playType" as the macro files store it, text "1".."3"; a plain number is taken as well.
bool playTypeOf(const QJsonValue& value, int* playType)
{
    bool ok = false;
    const int number = value.isString() ? value.toString().toInt(&ok) : value.toInt();
    if (!value.isString())
        ok = isInteger(value);
    if (!ok || !isValidMacroPlayType(number))
        return false;
    *playType = number;
    return true;
}

} // namespace

int modeIndex(const QJsonObject& document, const QString& section, int fallback)
{
    const QJsonValue index = document.value(section).toObject().value(kIndex);
    return isInteger(index) ? index.toInt() : fallback;
}

bool lightEntry(const QJsonObject& document, const QString& section, int index, LightEntry* entry)
{
    const QJsonArray lights = document.value(section).toArray();
    if (index < 0 || index >= lights.size() || !lights.at(index).isObject())
        return false;
    const QJsonObject object = lights.at(index).toObject();
    if (!absentOrInteger(object, kModel) || !absentOrInteger(object, kSpeed) || !absentOrInteger(object, kBrightness))
        return false;
    entry->model = object.value(kModel).toInt();
    entry->speed = object.value(kSpeed).toInt();
    entry->brightness = object.value(kBrightness).toInt();
    entry->colors.clear();
    for (const QJsonValue& color : object.value(kColors).toArray())
        entry->colors << color.toString();
    return true;
}

bool keyEntries(const QJsonObject& document, QVector<KeyEntry>* entries, QString* error)
{
    entries->clear();
    const QJsonValue section = document.value(kKey);
    if (!section.isArray())
        return fail(error, QStringLiteral("\"key\" is not an array"));

    QSet<int> seen;
    const QJsonArray array = section.toArray();
    for (int i = 0; i < array.size(); ++i) {
        const QJsonObject object = array.at(i).toObject();
        const QJsonValue key = object.value(kKey);
        const QJsonValue func = object.value(kFuncIndex);
        if (!array.at(i).isObject() || !isInteger(key) || !isInteger(func))
            return fail(error, QStringLiteral("\"key\" element %1 is not a key entry").arg(i));
        if (seen.contains(key.toInt()))
            return fail(error, QStringLiteral("key %1 is listed twice").arg(key.toInt()));
        seen.insert(key.toInt());
        entries->append(KeyEntry{key.toInt(), func.toInt(), object.value(kValue1)});
    }
    return true;
}

bool keyLightEntries(const QJsonObject& document, QVector<KeyLightEntry>* entries, QString* error)
{
    entries->clear();
    const QJsonValue section = document.value(kKeyLight);
    if (!section.isArray())
        return fail(error, QStringLiteral("\"keyLight\" is not an array"));

    QSet<int> seen;
    const QJsonArray array = section.toArray();
    for (int i = 0; i < array.size(); ++i) {
        const QJsonObject object = array.at(i).toObject();
        const QJsonValue key = object.value(kKey);
        if (!array.at(i).isObject() || !isInteger(key) || !absentOrInteger(object, kValue1))
            return fail(error, QStringLiteral("\"keyLight\" element %1 is not a key-light entry").arg(i));
        if (seen.contains(key.toInt()))
            return fail(error, QStringLiteral("key light %1 is listed twice").arg(key.toInt()));
        seen.insert(key.toInt());
        entries->append(KeyLightEntry{key.toInt(), object.value(kValue1).toInt(), object.value(kColors).toString(),
                                      object.contains(kValue1)});
    }
    return true;
}

bool macroFromValue(const QJsonValue& value1, Macro* macro, QString* error)
{
    if (!value1.isObject())
        return fail(error, QStringLiteral("the macro is not an object"));
    const QJsonObject object = value1.toObject();
    const QJsonValue list = object.value(kMacroList);
    if (!list.isArray())
        return fail(error, QStringLiteral("the macro has no event list"));
    int playType = 0;
    if (!playTypeOf(object.value(kMacroPlayType), &playType))
        return fail(error, QStringLiteral("the macro's play type is not 1, 2 or 3"));

    if (!absentOrBool(object, kMacroIgnoreTime)
        || (object.contains(kMacroTimes) && !object.value(kMacroTimes).isDouble()))
        return fail(error, QStringLiteral("the macro's \"ignoreTime\" or \"times\" is of the wrong type"));

    QVector<KMacroItem> events;
    for (const QJsonValue& event : list.toArray()) {
        if (!event.isObject())
            return fail(error, QStringLiteral("a macro event is not an object"));
        if (!isMacroEvent(event.toObject()))
            return fail(error, QStringLiteral("a macro event holds a member of the wrong type"));
        events.append(KMacroItem::fromJson(event.toObject()));
    }
    macro->events = events;
    macro->playType = playType;
    macro->ignoreTime = object.value(kMacroIgnoreTime).toBool();
    // The count reaches the device: a file cannot ask for more (or fewer) repetitions than it can play.
    macro->times = clampMacroTimes(object.value(kMacroTimes).toDouble());
    macro->name = object.value(kMacroName).toString();
    return true;
}

bool compositeFromValue(const QJsonValue& value1, int* modifierMask, int* usage)
{
    QJsonParseError parseError;
    const QJsonDocument text = QJsonDocument::fromJson(value1.toString().toUtf8(), &parseError);
    if (!value1.isString() || parseError.error != QJsonParseError::NoError || !text.isObject())
        return false;
    const int mask = text.object().value(kValue1).toInt();
    const int code = text.object().value(kValue2).toInt();
    if (mask < 0 || mask > kByteMax || code < 0 || code > kByteMax)
        return false;
    *modifierMask = mask;
    *usage = code;
    return true;
}

QString compositeToValue(const QJsonValue& previous, int value1, int value2)
{
    QJsonObject object = QJsonDocument::fromJson(previous.toString().toUtf8()).object();
    object.insert(kValue1, value1);
    object.insert(kValue2, value2);
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented));
}

bool isMultiMacroEntry(const KeyEntry& entry)
{
    return entry.funcIndex == kFunctionLeft && entry.value1.isObject()
        && !entry.value1.toObject().value(kMacroName).toString().isEmpty();
}

QString colorText(int red, int green, int blue)
{
    auto channel = [](int value) { return QStringLiteral("%1").arg(qBound(0, value, kByteMax), 2, 16, QLatin1Char('0')); };
    return channel(red) + channel(green) + channel(blue);
}

bool colorFromText(const QString& text, int* red, int* green, int* blue)
{
    const QString digits = text.startsWith(QLatin1Char('#')) ? text.mid(1) : text;
    if (digits.size() != 6)
        return false;
    bool ok = false;
    const uint value = digits.toUInt(&ok, 16);
    if (!ok)
        return false;
    *red = int((value >> 16) & kByteMax);
    *green = int((value >> 8) & kByteMax);
    *blue = int(value & kByteMax);
    return true;
}

QString stamp(const QDateTime& time)
{
    return time.toLocalTime().toString(kDateFormat);
}

void replaceMember(QJsonObject& object, const QString& member, const QJsonValue& value)
{
    object.remove(member);
    object.insert(member, value);
}

bool isPresentSection(const QJsonObject& document, const QString& section)
{
    const QJsonValue value = document.value(section);
    return (value.isObject() && !value.toObject().isEmpty()) || (value.isArray() && !value.toArray().isEmpty());
}

bool isInteger(const QJsonValue& value)
{
    return value.isDouble() && value.toDouble() == double(value.toInt());
}

} // namespace ProfileDocument
