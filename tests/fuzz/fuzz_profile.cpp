// Profile files as the program finds them on disk: the current layout, older versions that are migrated and
// written back, and the oldest layout that is overlaid onto a current profile. Nothing in them is trusted.

#include "FuzzSupport.h"

#include "profiles/FChangeConfig.h"
#include "profiles/KConfigFileController.h"
#include "profiles/ProfileDocument.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QVector>

#include <algorithm>

namespace {

// Equal as JSON, whatever the order of the members: Qt orders member names holding a NUL character by
// insertion, so two equal documents can compare unequal as QJsonObject. Numbers compare as the doubles JSON
// text gives (an integer beyond 2^53 is written rounded).
bool sameValue(const QJsonValue& a, const QJsonValue& b)
{
    if (a.type() != b.type())
        return false;
    if (a.isDouble())
        return a.toDouble() == b.toDouble();
    if (a.isArray()) {
        const QJsonArray left = a.toArray();
        const QJsonArray right = b.toArray();
        if (left.size() != right.size())
            return false;
        for (int i = 0; i < left.size(); ++i) {
            if (!sameValue(left.at(i), right.at(i)))
                return false;
        }
        return true;
    }
    if (a.isObject()) {
        // Walked, not looked up: a lookup by a name holding a NUL can miss a member that is there.
        const auto members = [](const QJsonObject& object) {
            QVector<QPair<QString, QJsonValue>> list;
            for (auto it = object.begin(); it != object.end(); ++it)
                list.append({it.key(), it.value()});
            std::sort(list.begin(), list.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
            return list;
        };
        const auto left = members(a.toObject());
        const auto right = members(b.toObject());
        if (left.size() != right.size())
            return false;
        for (int i = 0; i < left.size(); ++i) {
            if (left.at(i).first != right.at(i).first || !sameValue(left.at(i).second, right.at(i).second))
                return false;
        }
        return true;
    }
    return a == b;
}

bool sameDocument(const QJsonObject& a, const QJsonObject& b)
{
    return sameValue(a, b);
}

// What a device reads from a profile before it applies it.
void readSections(const QJsonObject& profile)
{
    using namespace ProfileDocument;
    QVector<KeyEntry> keys;
    if (keyEntries(profile, &keys)) {
        for (const KeyEntry& entry : qAsConst(keys)) {
            Macro macro;
            if (macroFromValue(entry.value1, &macro)) {
                FUZZ_CHECK(macro.playType >= 1 && macro.playType <= 3);
            }
            int mask = 0;
            int usage = 0;
            if (compositeFromValue(entry.value1, &mask, &usage))
                FUZZ_CHECK(mask >= 0 && mask <= 0xFF && usage >= 0 && usage <= 0xFF);
            isMultiMacroEntry(entry);
        }
    }
    QVector<KeyLightEntry> keyLights;
    keyLightEntries(profile, &keyLights);
    const int lights = qMin(profile.value(kLight).toArray().size(), 64);
    for (int i = 0; i < lights; ++i) {
        LightEntry light;
        lightEntry(profile, kLight, i, &light);
    }
    modeIndex(profile, kLightModel);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzWorkspace& workspace = FuzzWorkspace::instance();
    const QByteArray input = fuzzInput(data, size);

    // The profile reader; an older version is migrated and the file rewritten on the way.
    const QString path = workspace.write(QStringLiteral("profile.json"), input);
    KConfigFileController controller;
    QJsonObject profile;
    if (controller.initJsonObj(path, profile)) {
        FUZZ_CHECK(controller.isCurrentConfigVersion(profile));
        // What was read (and written back, if migrated) reads the same a second time.
        QJsonObject again;
        FUZZ_CHECK(controller.initJsonObj(path, again));
        FUZZ_CHECK(sameDocument(again, profile));
        readSections(profile);
    } else {
        FUZZ_CHECK(workspace.read(QStringLiteral("profile.json")) == input);
    }

    // The oldest layout, overlaid onto the same text taken as the current profile.
    const QString target = workspace.write(QStringLiteral("target.json"), input);
    FChangeConfig change;
    const QJsonObject overlaid = change.changeConfig(QJsonDocument::fromJson(input).object(), target);
    if (!overlaid.isEmpty())
        FUZZ_CHECK(sameDocument(QJsonDocument::fromJson(workspace.read(QStringLiteral("target.json"))).object(), overlaid));
    return 0;
}
