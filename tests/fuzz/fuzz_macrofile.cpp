// Macro files as the program finds them in the macro folder: the current format read by the play settings
// and the event list, and the older format that is converted in place.

#include "FuzzSupport.h"

#include "models/keys/HMacroType.h"
#include "models/keys/KMacroItem.h"
#include "models/keys/MacroPlayType.h"
#include "profiles/OldMacroConverter.h"
#include "profiles/ProfileDocument.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// Whatever the file held, the settings that reach the device stay in their ranges.
void checkSettings(const HMacroType& type)
{
    bool number = false;
    FUZZ_CHECK(isValidMacroPlayType(type.getCurrentIndex().toInt(&number)) && number);
    FUZZ_CHECK(type.getValue() >= HMacroType::kMinTimes && type.getValue() <= HMacroType::kMaxTimes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzWorkspace& workspace = FuzzWorkspace::instance();
    const QByteArray input = fuzzInput(data, size);

    // The play settings: read, written back, read again.
    const QString path = workspace.write(QStringLiteral("macro.json"), input);
    HMacroType type;
    type.initFromFile(path);
    checkSettings(type);
    type.saveToFile(path);
    HMacroType reread;
    reread.initFromFile(path);
    checkSettings(reread);
    type.saveFileName(path, QStringLiteral("Renamed"));

    // The event list, as the recording list and a macro key read it.
    const QJsonObject object = QJsonDocument::fromJson(input).object();
    for (const QJsonValue& event : object.value(QStringLiteral("list")).toArray())
        KMacroItem::fromJson(event.toObject()).toJson();
    ProfileDocument::Macro macro;
    ProfileDocument::macroFromValue(object, &macro);

    // The older format: converted once, and a file that is not converted keeps every byte.
    const QString oldPath = workspace.write(QStringLiteral("old.json"), input);
    const int converted = convertOldMacroFile(oldPath);
    if (converted == 1) {
        const QJsonObject current = QJsonDocument::fromJson(workspace.read(QStringLiteral("old.json"))).object();
        FUZZ_CHECK(current.value(QStringLiteral("list")).isArray());
        FUZZ_CHECK(convertOldMacroFile(oldPath) == -1);
    } else {
        FUZZ_CHECK(workspace.read(QStringLiteral("old.json")) == input);
    }
    return 0;
}
