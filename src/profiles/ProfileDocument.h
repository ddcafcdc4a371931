#pragma once

// The profile document: one JSON object per profile file holding a device's whole adjustable state.
// These helpers read its sections into checked values, so that a device can validate the whole document
// before it writes anything, and build the few values whose form depends on the key function.

#include "models/keys/KMacroItem.h"

#include <QDateTime>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <QVector>

namespace ProfileDocument {

// Root sections.
inline const QString kConfigVersion = QStringLiteral("configVersion");
inline const QString kCreateAt = QStringLiteral("createAt");
inline const QString kUpdateAt = QStringLiteral("updateAt");
inline const QString kDeviceName = QStringLiteral("deviceName");
inline const QString kFwVersion = QStringLiteral("fwVersion");
inline const QString kNeedFwVersion = QStringLiteral("needFwVersion");
inline const QString kVid = QStringLiteral("vid");
inline const QString kPid = QStringLiteral("pid");
inline const QString kReport = QStringLiteral("report");
inline const QString kDpi = QStringLiteral("dpi");
inline const QString kLightModel = QStringLiteral("lightModel");
inline const QString kLight = QStringLiteral("light");
inline const QString kWheelLightModel = QStringLiteral("wheelLightModel");
inline const QString kWheelLight = QStringLiteral("wheelLight");
inline const QString kLogoLightModel = QStringLiteral("logoLightModel");
inline const QString kLightShortCut = QStringLiteral("lightShortCut");
inline const QString kOperatingMode = QStringLiteral("operatingMode");
inline const QString kLightDirection = QStringLiteral("lightDirection");
inline const QString kLightMonochromatic = QStringLiteral("lightMonochromatic");
inline const QString kDisableUpdate = QStringLiteral("disableUpdate");
inline const QString kKey = QStringLiteral("key");
inline const QString kKeyLight = QStringLiteral("keyLight");

// Members of sections and entries.
inline const QString kIndex = QStringLiteral("index");
inline const QString kCurrentIndex = QStringLiteral("currentIndex");
inline const QString kDpiValue = QStringLiteral("dpiValue");
inline const QString kCurrentValue = QStringLiteral("currentValue");
inline const QString kEnable = QStringLiteral("enable");
inline const QString kModel = QStringLiteral("model");
inline const QString kSpeed = QStringLiteral("speed");
inline const QString kBrightness = QStringLiteral("brightness");
inline const QString kColors = QStringLiteral("colors");
inline const QString kFuncIndex = QStringLiteral("funcIndex");
inline const QString kValue1 = QStringLiteral("value1");
inline const QString kValue2 = QStringLiteral("value2");

// Members of a macro copied into a key entry.
inline const QString kMacroList = QStringLiteral("list");
inline const QString kMacroIgnoreTime = QStringLiteral("ignoreTime");
inline const QString kMacroPlayType = QStringLiteral("playType");
inline const QString kMacroTimes = QStringLiteral("times");
inline const QString kMacroName = QStringLiteral("macroName");
inline const QString kMultiMacroPrefix = QStringLiteral("macroValue");

// Key functions whose "value1" has a form of its own.
constexpr int kFunctionLeft = 9;
constexpr int kFunctionMacro = 29;
constexpr int kFunctionKeyboardKeys = 42;

// The date format of "createAt" and "updateAt".
inline const QString kDateFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");

struct KeyEntry {
    int key = 0;
    int funcIndex = 0;
    QJsonValue value1;
};

struct KeyLightEntry {
    int key = 0;
    int level = 0;  // "value1": the keyboard's per-key brightness
    QString color;  // "colors": the per-key colour of the colour models
    bool hasLevel = false;  // the entry gives "value1"; colour-only entries do not
};

struct LightEntry {
    int model = 0;
    int speed = 0;
    int brightness = 0;
    QStringList colors;
};

struct Macro {
    QVector<KMacroItem> events;
    int playType = 1;
    bool ignoreTime = false;
    int times = 0;
    QString name;
};

// The "index" of a mode section such as "lightModel"; fallback when the section or its index is missing.
int modeIndex(const QJsonObject& document, const QString& section, int fallback = 0);

// Element `index` of a light array ("light", "wheelLight"); false when there is no such object or its
// "model", "speed" or "brightness" is there but no whole number. A missing member reads as 0.
bool lightEntry(const QJsonObject& document, const QString& section, int index, LightEntry* entry);

// Every element of "key" in document order. False, with a reason, when the section is not an array or an
// element is not an object with numeric "key" and "funcIndex", or a key is listed twice.
bool keyEntries(const QJsonObject& document, QVector<KeyEntry>* entries, QString* error = nullptr);

// Every element of "keyLight" in document order; false under the same conditions as keyEntries (an
// element needs a numeric "key") and when a "value1" is there but no whole number.
bool keyLightEntries(const QJsonObject& document, QVector<KeyLightEntry>* entries, QString* error = nullptr);

// The macro held by a macro key's "value1". False when it is not an object, its "list" is not an array of
// event objects, its "playType" is not "1".."3", or "ignoreTime", "times" or an event's "type", "value1",
// "value2" or "isUp" is there with the wrong type (a wrong type would otherwise read as 0 or false).
bool macroFromValue(const QJsonValue& value1, Macro* macro, QString* error = nullptr);

// A modifier key's "value1": JSON text of {"value1": modifier mask, "value2": HID usage}. False when the
// text is not a JSON object or a member lies outside one byte.
bool compositeFromValue(const QJsonValue& value1, int* modifierMask, int* usage);

// The text stored for a modifier key; members other than the two numbers that earlier text held are kept.
QString compositeToValue(const QJsonValue& previous, int value1, int value2);

// A multi-macro key holds the selected macros in "value1" of the first "key" element, recognised by a
// non-empty "macroName" together with the function Left.
bool isMultiMacroEntry(const KeyEntry& entry);

// The colour text of a profile: six lower-case hexadecimal digits, red, green, blue.
QString colorText(int red, int green, int blue);
// The three numbers of a colour text (a leading '#' allowed); false unless it is six hexadecimal digits.
bool colorFromText(const QString& text, int* red, int* green, int* blue);

// A time stamp of "createAt" and "updateAt": local time in kDateFormat.
QString stamp(const QDateTime& time);
// Replaces a member by removing it and inserting the new value.
void replaceMember(QJsonObject& object, const QString& member, const QJsonValue& value);
// A section that a save refreshes: an object or array section counts when it is not empty.
bool isPresentSection(const QJsonObject& document, const QString& section);
// A whole JSON number.
bool isInteger(const QJsonValue& value);

} // namespace ProfileDocument
