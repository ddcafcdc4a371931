#include "profiles/KConfigFileController.h"

#include "common/DeviceIds.h"
#include "profiles/JsonFileReader.h"

#include <QDebug>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

namespace {

struct TransPair {
    int from;
    int to;
};

// Keyboard profiles before layout version 2 numbered keys and functions differently.
constexpr TransPair kKeyTrans[] = {
    {14, 14},  {15, 15},  {16, 16},  {17, 17},  {18, 18},  {19, 19},  {20, 22},  {21, 23},  {22, 24},
    {23, 25},  {24, 26},  {25, 27},  {26, 30},  {27, 31},  {28, 32},  {29, 33},  {30, 34},  {31, 35},
    {32, 38},  {33, 39},  {34, 40},  {35, 41},  {36, 42},  {37, 46},  {38, 47},  {39, 48},  {40, 49},
    {41, 50},  {42, 54},  {43, 55},  {44, 56},  {45, 57},  {46, 58},  {47, 59},  {48, 62},  {49, 63},
    {50, 64},  {51, 65},  {52, 66},  {53, 70},  {54, 71},  {55, 72},  {56, 73},  {57, 74},  {58, 78},
    {59, 79},  {60, 80},  {61, 81},  {62, 82},  {63, 86},  {64, 87},  {65, 88},  {66, 89},  {67, 90},
    {68, 91},  {69, 94},  {70, 95},  {71, 96},  {72, 97},  {73, 98},  {74, 101}, {75, 102}, {76, 103},
    {77, 104}, {78, 105}, {79, 106}, {80, 115}, {81, 110}, {82, 111}, {83, 112}, {84, 113}, {85, 122},
    {86, 123}, {87, 118}, {88, 119}, {89, 120}, {90, 121}, {91, 130}, {92, 131}, {93, 134}, {94, 135},
    {95, 129}, {96, 137}, {97, 136}, {98, 139}, {99, 128},
};
static_assert(sizeof(kKeyTrans) / sizeof(kKeyTrans[0]) == 86, "one pair per old key 14..99");

constexpr TransPair kFuncTrans[] = {
    {58, 95},   {59, 107},  {60, 97},   {61, 111},  {62, 172},  {63, 171},  {64, 112},  {65, 84},
    {66, 74},   {67, 58},   {69, 174},  {70, 113},  {71, 85},   {72, 80},   {73, 76},   {74, 83},
    {75, 173},  {76, 114},  {77, 86},   {78, 62},   {79, 61},   {80, 81},   {81, 115},  {82, 87},
    {83, 75},   {84, 63},   {85, 60},   {86, 116},  {87, 88},   {88, 77},   {89, 64},   {90, 79},
    {91, 98},   {92, 117},  {93, 89},   {94, 82},   {95, 65},   {96, 59},   {97, 118},  {98, 90},
    {99, 78},   {100, 67},  {101, 71},  {102, 119}, {103, 91},  {104, 66},  {105, 68},  {106, 70},
    {107, 120}, {108, 92},  {109, 72},  {110, 69},  {111, 108}, {112, 177}, {113, 121}, {114, 93},
    {115, 73},  {116, 105}, {117, 109}, {118, 179}, {119, 122}, {120, 99},  {121, 101}, {122, 106},
    {123, 110}, {124, 175}, {125, 123}, {126, 100}, {127, 102}, {129, 176}, {130, 135}, {131, 124},
    {132, 96},  {133, 103}, {134, 94},  {135, 137}, {136, 136}, {137, 127}, {138, 129}, {139, 130},
    {140, 133}, {141, 132}, {142, 134}, {143, 131},
};
static_assert(sizeof(kFuncTrans) / sizeof(kFuncTrans[0]) == 84, "one pair per old function 58..143 but 68, 128");

constexpr int kLastUntranslatedKey = 13;
constexpr int kLastUntranslatedFunc = 57;

// Only whole numbers are renumbered; a member of another type is kept as the file holds it.
bool isWholeNumber(const QJsonValue& value)
{
    return value.isDouble() && value.toDouble() == double(value.toInt());
}

// Stores a renumbered value where the entry held a number, so nothing is invented or overwritten.
void replaceNumber(QJsonObject& entry, const QString& member, int value)
{
    if (isWholeNumber(entry.value(member)))
        entry.insert(member, value);
}

} // namespace

KConfigFileController::KConfigFileController(QObject* parent)
    : QObject(parent)
{
    initTransMaps();
}

KConfigFileController::~KConfigFileController() = default;

bool KConfigFileController::initJsonObj(QString path, QJsonObject& object)
{
    QJsonDocument document;
    if (!readJsonDocument(path, &document))
        return false;
    if (!document.isObject())
        return false;

    QJsonObject read = document.object();
    // A version that is no number would read as 0: a current document would be renumbered a second time.
    const QJsonValue version = read.value(QStringLiteral("configVersion"));
    if (!version.isUndefined() && !version.isDouble()) {
        qDebug() << "[Error] initJsonObj" << path << "configVersion is no number";
        return false;
    }
    if (!isCurrentConfigVersion(read) && !updateConfigVersion(path, read))
        return false;
    object = read;
    return true;
}

bool KConfigFileController::syncToFile(QString path, QJsonObject object)
{
    return writeDocument(path, object, false);
}

bool KConfigFileController::writeDocument(const QString& path, const QJsonObject& object, bool logOpen)
{
    const QByteArray bytes = QJsonDocument(object).toJson(QJsonDocument::Indented);
    QSaveFile file(path);
    // Unbuffered: a short write (disk full, size limit) must show in the count, the buffered path hides it.
    const bool opened = file.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::Unbuffered);
    if (logOpen)
        qDebug() << (opened ? "[Success] initJsonObj" : "[Error] initJsonObj");
    if (!opened || file.write(bytes) != bytes.size() || !file.commit()) {
        file.cancelWriting();
        qDebug() << "syncToFile error";
        return false;
    }
    qDebug() << "syncToFile success";
    return true;
}

bool KConfigFileController::isCurrentConfigVersion(QJsonObject object)
{
    return object.value(QStringLiteral("configVersion")).toInt(0) >= kCurrentConfigVersion;
}

bool KConfigFileController::updateConfigVersion(QString path, QJsonObject& object)
{
    // Work on a copy: a migration that fails leaves neither the caller's object nor the file changed.
    QJsonObject migrated = object;
    migrated.remove(QStringLiteral("configVersion"));
    migrated.insert(QStringLiteral("configVersion"), kCurrentConfigVersion);

    if (migrated.value(QStringLiteral("deviceName")).toString() == QLatin1String("ZEPHRA")) {
        qDebug() << "ZEPHRA need Change keylist Verison";

        // Each array is renumbered by its own entries: "keyLight" may be shorter or ordered differently.
        // A section that is no array is kept as it is rather than replaced by an empty one.
        if (migrated.value(QStringLiteral("key")).isArray()) {
            QJsonArray keys;
            for (const QJsonValue& value : migrated.value(QStringLiteral("key")).toArray()) {
                if (!value.isObject()) {
                    keys.append(value);
                    continue;
                }
                QJsonObject entry = value.toObject();
                const int oldKey = entry.value(QStringLiteral("key")).toInt(0);
                int newKey = oldKey;
                if (!transNewKey(oldKey, newKey)) {
                    qDebug() << "transNewKey error: key:" << oldKey;
                    return false;
                }
                const int oldFunc = entry.value(QStringLiteral("funcIndex")).toInt(0);
                int newFunc = oldFunc;
                if (!transFunc(oldFunc, newFunc)) {
                    qDebug() << "transFunc error: func" << oldFunc;
                    return false;
                }
                replaceNumber(entry, QStringLiteral("key"), newKey);
                replaceNumber(entry, QStringLiteral("funcIndex"), newFunc);
                keys.append(entry);
            }
            migrated.insert(QStringLiteral("key"), keys);
        }

        if (migrated.value(QStringLiteral("keyLight")).isArray()) {
            QJsonArray lights;
            for (const QJsonValue& value : migrated.value(QStringLiteral("keyLight")).toArray()) {
                if (!value.isObject()) {
                    lights.append(value);
                    continue;
                }
                QJsonObject entry = value.toObject();
                const int oldKey = entry.value(QStringLiteral("key")).toInt(0);
                int newKey = oldKey;
                // A light entry of a key without a new number keeps its number, as it always did.
                transNewKey(oldKey, newKey);
                replaceNumber(entry, QStringLiteral("key"), newKey);
                lights.append(entry);
            }
            migrated.insert(QStringLiteral("keyLight"), lights);
        }
    }

    if (!writeDocument(path, migrated, true))
        return false;
    object = migrated;
    return true;
}

bool KConfigFileController::transNewKey(const int& oldKey, int& newKey)
{
    const auto it = mKeyTransMap.constFind(oldKey);
    if (it != mKeyTransMap.constEnd()) {
        newKey = it.value();
        return true;
    }
    newKey = oldKey;
    return oldKey <= kLastUntranslatedKey;
}

bool KConfigFileController::transFunc(const int& oldFunc, int& newFunc)
{
    const auto it = mFuncTransMap.constFind(oldFunc);
    if (it != mFuncTransMap.constEnd()) {
        newFunc = it.value();
        return true;
    }
    newFunc = oldFunc;
    return oldFunc <= kLastUntranslatedFunc;
}

void KConfigFileController::initTransMaps()
{
    for (const TransPair& pair : kKeyTrans)
        mKeyTransMap.insert(pair.from, pair.to);
    for (const TransPair& pair : kFuncTrans)
        mFuncTransMap.insert(pair.from, pair.to);
}

QString KConfigFileController::getDefaultPath(int pid)
{
    return DeviceIds::factoryProfilePath(pid);
}

bool KConfigFileController::isKeyboardPid(int pid)
{
    const DeviceIds::Model* model = DeviceIds::find(pid);
    return model && model->family == DeviceIds::Family::Keyboard && model->link == DeviceIds::Link::Wired;
}

bool KConfigFileController::isSwappedModifierPid(int pid)
{
    return DeviceIds::has(pid, DeviceIds::Flag::SwappedModifiers);
}

bool KConfigFileController::isPackedValuePid(int pid)
{
    return DeviceIds::has(pid, DeviceIds::Flag::PackedValues);
}

bool KConfigFileController::isModifierFunction(int func)
{
    // Ctrl, Shift, Alt, Win (32-35) and their combinations (47-57).
    const unsigned offset = static_cast<unsigned>(func - 32);
    return offset < 26 && (offset <= 3 || offset >= 15);
}
