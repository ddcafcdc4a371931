// Profile files as the program finds them on disk: the current layout, older versions that are migrated and
// written back, and the oldest layout that is overlaid onto a current profile. Nothing in them is trusted.

#include "FuzzSupport.h"

#include "profiles/FChangeConfig.h"
#include "profiles/KConfigFileController.h"
#include "profiles/ProfileDocument.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// Equal members, whatever their order: Qt orders member names holding a NUL character by insertion, so two
// equal documents can compare unequal as QJsonObject.
bool sameDocument(const QJsonObject& a, const QJsonObject& b)
{
    return a.toVariantMap() == b.toVariantMap();
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
