// Applying a profile document to the keyboard in one pass, against the simulated keyboard.

#include "QuenbyKeyboardFixture.h"

#include "devices/keyboard/FDeviceQuenby_8a.h"
#include "devices/keyboard/Quenby8aKeyTable.h"
#include "devices/keyboard/Quenby8aProtocol.h"
#include "sim/bus/SimHistory.h"
#include "sim/keyboard/SimQuenbyKeyboard.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

#include <functional>
#include <memory>

using namespace Quenby8a;

namespace {

QJsonObject factoryProfile()
{
    QFile file(QStringLiteral(":/common/newUI/Quenby_8a/Quenby_8ADefaultConfig.json"));
    if (!file.open(QIODevice::ReadOnly))
        return QJsonObject();
    return QJsonDocument::fromJson(file.readAll()).object();
}

QJsonObject keyEntry(int key, int function, const QJsonValue& value1 = QString())
{
    return QJsonObject{{"key", key}, {"funcIndex", function}, {"value1", value1}};
}

QJsonObject macroValue(const QJsonArray& list, const QString& playType = "1", int times = 2)
{
    return QJsonObject{{"list", list}, {"playType", playType}, {"ignoreTime", false}, {"times", times},
                       {"macroName", "m"}};
}

QJsonObject keyEvent(int usage, bool up)
{
    return QJsonObject{{"type", 0}, {"value1", usage}, {"value2", 0}, {"isUp", up}, {"text", "A"}};
}

QJsonArray pressRelease(int usage) { return QJsonArray{keyEvent(usage, false), keyEvent(usage, true)}; }

// The light part of a profile: mode 2 with its entry, logo 1.
QJsonObject lightsOnly()
{
    QJsonArray light;
    for (int mode = 0; mode < 7; ++mode)
        light.append(QJsonObject{{"model", mode}, {"speed", 1}, {"brightness", 2}});
    return QJsonObject{{"lightModel", QJsonObject{{"index", 2}}},
                       {"logoLightModel", QJsonObject{{"index", 1}}},
                       {"light", light}};
}

} // namespace

class TestQuenbyProfileApply : public QObject
{
    Q_OBJECT

private:
    FDeviceQuenby_8a* m_device = nullptr;
    std::unique_ptr<QuenbyKeyboardFixture> m_fixture;
    SimQuenbyKeyboard* m_keyboard = nullptr;

    QList<quint32> writtenRegisters() const { return m_fixture->writtenRegisters(); }

private slots:
    void init()
    {
        m_fixture = std::make_unique<QuenbyKeyboardFixture>();
        QVERIFY(m_fixture->isPlugged());
        m_keyboard = m_fixture->keyboard();
        m_device = m_fixture->openDevice();
        QVERIFY(m_device);
        // Start from a keyboard whose tables differ from the factory ones everywhere.
        for (int pos = 0; pos < kPositionCount; ++pos)
            m_keyboard->setKeyFunctionAt(pos, SimKeyFunction::disabled());
        m_keyboard->setMemory(kRegKeyBrightness, QByteArray(kKeyBrightnessSize, '\0'));
        m_keyboard->clearCommands();
    }

    void cleanup()
    {
        if (m_fixture)
            QVERIFY(m_fixture->removeDevice());
        m_device = nullptr;
        m_keyboard = nullptr;
        m_fixture.reset();
    }

    void factoryProfileGivesTheFactoryTables()
    {
        const QJsonObject profile = factoryProfile();
        QVERIFY(!profile.isEmpty());
        QCOMPARE(m_device->getMouseConfig(profile), int(KBaseDevice::ProfileApplied));
        for (int pos = 0; pos < kPositionCount; ++pos) {
            if (isIsoKey(keyAtPosition(pos)))
                continue;  // profiles do not list them; they keep their factory code either way
            QCOMPARE(m_keyboard->keyFunctionAt(pos), SimQuenbyKeyboard::defaultKeyFunctionAt(pos));
        }
        QCOMPARE(m_keyboard->keyFunctionAt(12), SimQuenbyKeyboard::defaultKeyFunctionAt(12));
        for (int pos = 0; pos < kPositionCount; ++pos)
            QCOMPARE(int(m_keyboard->keyBrightnessAt(pos)), keyAtPosition(pos) == kEmptyPosition ? 0 : 250);

        // Lights first (each with its copy), then the key table and the brightness table in chunks.
        QList<quint32> expected = {kRegLightMode, kRegLightModeCopy, kRegLogoMode, kRegSpeed, kRegSpeedCopy,
                                   kRegBrightness, kRegBrightnessCopy};
        for (int i = 0; i < 10; ++i)
            expected << kRegKeyTable + quint32(56 * i);
        for (int i = 0; i < 3; ++i)
            expected << kRegKeyBrightness + quint32(56 * i);
        QCOMPARE(writtenRegisters(), expected);
    }

    void entriesArePlacedByKey()
    {
        QJsonObject profile = lightsOnly();
        // Out of order, short, with an unknown key and one of the ISO keys.
        profile["key"] = QJsonArray{keyEntry(27, 58), keyEntry(22, 9), keyEntry(19, -1), keyEntry(99, 58),
                                    keyEntry(26, 58), keyEntry(14, 42, 0x64),
                                    keyEntry(15, 48, QStringLiteral("{\"value1\": 5, \"value2\": 4}"))};
        profile["keyLight"] = QJsonArray{QJsonObject{{"key", 139}, {"value1", 4}},
                                         QJsonObject{{"key", 14}, {"value1", 12}},
                                         QJsonObject{{"key", 27}, {"colors", "ff0000"}}};
        QCOMPARE(m_device->getMouseConfig(profile), int(KBaseDevice::ProfileApplied));

        QCOMPARE(m_keyboard->keyFunctionOfKey(27), SimKeyFunction::key(0x04));
        QCOMPARE(m_keyboard->keyFunctionOfKey(22), SimKeyFunction::mouseButton(SimKeyFunction::Left));
        QCOMPARE(m_keyboard->keyFunctionOfKey(19), SimKeyFunction::disabled());
        QCOMPARE(m_keyboard->keyFunctionOfKey(14), SimKeyFunction::key(0x64));
        QCOMPARE(m_keyboard->keyFunctionOfKey(15), SimKeyFunction::combination(5, 4));
        // Keys the profile does not list keep their own function; the ISO key keeps its factory code.
        QCOMPARE(m_keyboard->keyFunctionOfKey(25), SimQuenbyKeyboard::defaultKeyFunctionAt(positionOfKey(25)));
        QCOMPARE(m_keyboard->keyFunctionOfKey(26), SimQuenbyKeyboard::defaultKeyFunctionAt(12));
        QCOMPARE(m_keyboard->keyFunctionOfKey(101), SimKeyFunction::fn());

        QCOMPARE(int(m_keyboard->keyBrightnessAt(positionOfKey(139))), 100);
        QCOMPARE(int(m_keyboard->keyBrightnessAt(0)), 250);  // 12 is beyond the layout's 10
        // Keys without a light entry keep their factory light; empty positions stay dark.
        QCOMPARE(int(m_keyboard->keyBrightnessAt(positionOfKey(25))), 250);
        // An entry that gives no level (a colour-only one) does not turn the key dark either.
        QCOMPARE(int(m_keyboard->keyBrightnessAt(positionOfKey(27))), 250);
        QCOMPARE(int(m_keyboard->keyBrightnessAt(6)), 0);
        QCOMPARE(int(m_keyboard->registerValue(kRegLightMode)), 3);
        QCOMPARE(int(m_keyboard->registerValue(kRegSpeed)), 3);
        QCOMPARE(int(m_keyboard->registerValue(kRegBrightness)), 2);
        QCOMPARE(int(m_keyboard->registerValue(kRegLogoMode)), 1);
    }

    void macroKeys()
    {
        QJsonObject profile = lightsOnly();
        profile["key"] = QJsonArray{keyEntry(14, 29, macroValue(pressRelease(0x04))),
                                    keyEntry(139, 29, macroValue(pressRelease(0x05), "3"))};
        // A key that held a slot before and is no macro key of this profile gives it back.
        int slot = -1;
        for (int key : {16, 17, 18})
            QVERIFY(m_device->checkMacroId(key, &slot));
        m_keyboard->clearCommands();
        QCOMPARE(m_device->getMouseConfig(profile), int(KBaseDevice::ProfileApplied));

        const QMap<int, int> held = m_device->macroSlots();
        const int slot14 = held.key(14, -1);
        const int slot139 = held.key(139, -1);
        QVERIFY(slot14 >= 0 && slot139 >= 0 && slot14 != slot139);
        QCOMPARE(held.values().count(-1), kMacroSlots - 2);
        QCOMPARE(m_keyboard->keyFunctionOfKey(14), SimKeyFunction::macro(slot14));
        QCOMPARE(m_keyboard->keyFunctionOfKey(139), SimKeyFunction::macro(slot139));
        const SimMacroRecord record = m_keyboard->decodeMacro(slot139);
        QVERIFY2(record.valid, qPrintable(record.error));
        QCOMPARE(record.playType, int(SimMacroRecord::WhileHeld));
        QCOMPARE(record.events.size(), 2);

        // Per macro key: its record, then its own entry; the whole table follows.
        const QList<quint32> regs = writtenRegisters();
        const int first = 7;
        QCOMPARE(regs.at(first), kRegMacroRecords + quint32(512 * slot14));
        QCOMPARE(regs.at(first + 1), kRegKeyTable + quint32(4 * positionOfKey(14)));
        QCOMPARE(regs.at(first + 2), kRegMacroRecords + quint32(512 * slot139));
        QCOMPARE(regs.at(first + 3), kRegKeyTable + quint32(4 * positionOfKey(139)));
        QCOMPARE(regs.at(first + 4), quint32(kRegKeyTable));
    }

    // A document the keyboard cannot take is refused before anything is written.
    void invalidDocumentsWriteNothing_data()
    {
        QTest::addColumn<QJsonObject>("profile");
        QJsonObject brokenEntry = lightsOnly();
        QJsonArray brokenLights = brokenEntry["light"].toArray();
        brokenLights[2] = QString("fast");
        brokenEntry["light"] = brokenLights;
        QTest::newRow("light entry that is no object") << brokenEntry;

        QJsonObject badSpeed = lightsOnly();
        QJsonArray light = badSpeed["light"].toArray();
        light[2] = QJsonObject{{"speed", 9}, {"brightness", 1}};
        badSpeed["light"] = light;
        QTest::newRow("speed out of range") << badSpeed;

        // Values of the wrong type would read as 0 and reach the device as such.
        QJsonObject textBrightness = lightsOnly();
        light = textBrightness["light"].toArray();
        light[2] = QJsonObject{{"model", 2}, {"speed", 1}, {"brightness", "3"}};
        textBrightness["light"] = light;
        QTest::newRow("brightness given as text") << textBrightness;

        QJsonObject textLevel = lightsOnly();
        textLevel["keyLight"] = QJsonArray{QJsonObject{{"key", 14}, {"value1", "10"}}};
        QTest::newRow("key light level given as text") << textLevel;

        QJsonObject badMode = lightsOnly();
        badMode["lightModel"] = QJsonObject{{"index", 9}};
        QTest::newRow("mode out of range") << badMode;

        auto withKeys = [](const QJsonArray& keys) {
            QJsonObject p = lightsOnly();
            p["key"] = keys;
            return p;
        };
        QTest::newRow("function without a code") << withKeys({keyEntry(14, 58), keyEntry(15, 178)});
        QTest::newRow("modifier without its text") << withKeys({keyEntry(15, 33, 7)});
        QTest::newRow("keyboard key out of range") << withKeys({keyEntry(15, 42, 300)});
        QTest::newRow("macro with a bad play type")
            << withKeys({keyEntry(14, 29, macroValue(pressRelease(4), "7"))});
        QJsonArray textUsage = pressRelease(4);
        textUsage[0] = QJsonObject{{"type", 0}, {"value1", "4"}, {"value2", 0}, {"isUp", false}, {"text", "A"}};
        QTest::newRow("macro key usage given as text") << withKeys({keyEntry(14, 29, macroValue(textUsage))});
        QJsonObject textTimes = macroValue(pressRelease(4));
        textTimes["times"] = "5";
        QTest::newRow("macro count given as text") << withKeys({keyEntry(14, 29, textTimes)});
        QJsonArray longList;
        for (int i = 0; i < 200; ++i)
            longList.append(keyEvent(4, i % 2));
        QTest::newRow("macro too long for a record") << withKeys({keyEntry(14, 29, macroValue(longList))});
        QJsonArray manyMacros;
        for (int pos = 0, count = 0; count < 21; ++pos) {
            const int k = keyAtPosition(pos);
            if (k == kEmptyPosition || isIsoKey(k))
                continue;
            manyMacros.append(keyEntry(k, 29, macroValue(pressRelease(4))));
            ++count;
        }
        QTest::newRow("more macro keys than slots") << withKeys(manyMacros);
        QTest::newRow("key section not an array") << QJsonObject();  // built in the test
        QJsonObject badEntry = lightsOnly();
        badEntry["key"] = QJsonArray{QJsonObject{{"key", "14"}, {"funcIndex", 58}}};
        QTest::newRow("entry without a numeric key") << badEntry;
    }

    void invalidDocumentsWriteNothing()
    {
        QFETCH(QJsonObject, profile);
        if (profile.isEmpty()) {
            profile = lightsOnly();
            profile["key"] = 5;
        }
        QCOMPARE(m_device->getMouseConfig(profile), int(KBaseDevice::ProfileFailed));
        QVERIFY(m_keyboard->appliedWrites().isEmpty());
    }

    // A light mode the profile has no entry for runs at speed 0 and brightness 0; the rest applies.
    void modeWithoutLightEntry()
    {
        QJsonObject profile = lightsOnly();
        profile["lightModel"] = QJsonObject{{"index", 3}};
        profile["light"] = QJsonArray{QJsonObject{{"speed", 1}, {"brightness", 1}},
                                      QJsonObject{{"speed", 1}, {"brightness", 1}}};
        profile["key"] = QJsonArray{keyEntry(14, 58)};
        m_keyboard->setRegister(kRegSpeed, 2);
        m_keyboard->setRegister(kRegBrightness, 2);
        QCOMPARE(m_device->getMouseConfig(profile), int(KBaseDevice::ProfileApplied));
        QCOMPARE(m_device->getLightModel(0), 3);
        QCOMPARE(m_device->getLightSpeed(0), 0);
        QCOMPARE(m_device->getLightBrightness(0), 0);
        QCOMPARE(int(m_keyboard->registerValue(kRegBrightness)), 0);
        QCOMPARE(m_keyboard->keyFunctionOfKey(14), SimKeyFunction::key(0x04));
    }

    // The apply and the single setters judge a light value alike: what one refuses, the other refuses too.
    void applyAndSetterAgree_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("speed 0") << "speed" << 0 << true;
        QTest::newRow("speed at the layout's maximum") << "speed" << 4 << true;
        QTest::newRow("speed above it") << "speed" << 5 << false;
        QTest::newRow("negative speed") << "speed" << -1 << false;
        QTest::newRow("brightness at the layout's maximum") << "brightness" << 3 << true;
        QTest::newRow("brightness above it") << "brightness" << 4 << false;
        QTest::newRow("last light mode") << "mode" << 6 << true;
        QTest::newRow("light mode past the layout's list") << "mode" << 7 << false;
        QTest::newRow("logo mode 255") << "logo" << 255 << true;
        QTest::newRow("logo mode 256") << "logo" << 256 << false;
    }

    void applyAndSetterAgree()
    {
        QFETCH(QString, setting);
        QFETCH(int, value);
        QFETCH(bool, accepted);

        QJsonObject profile = lightsOnly();
        QJsonArray light = profile.value("light").toArray();
        int mode = 2;
        if (setting == "mode") {
            mode = value;
            profile["lightModel"] = QJsonObject {{"index", value}};
            while (light.size() <= value)
                light.append(QJsonObject {{"model", light.size()}, {"speed", 1}, {"brightness", 2}});
        } else if (setting == "logo") {
            profile["logoLightModel"] = QJsonObject {{"index", value}};
        } else {
            QJsonObject entry = light.at(mode).toObject();
            entry[setting] = value;
            light[mode] = entry;
        }
        profile["light"] = light;

        const bool bySetter = setting == "speed" ? m_device->setLightSpeed(value, 0)
            : setting == "brightness"            ? m_device->setLightBrightness(value, 0)
            : setting == "mode"                  ? m_device->setLightModel(value, 0)
                                                 : m_device->setLogoLightMode(value, 0);
        QCOMPARE(bySetter, accepted);
        m_keyboard->clearCommands();
        QCOMPARE(m_device->getMouseConfig(profile),
                 int(accepted ? KBaseDevice::ProfileApplied : KBaseDevice::ProfileFailed));
        QCOMPARE(m_keyboard->appliedWrites().isEmpty(), !accepted);
    }

    // A failed write ends the apply with 2; nothing after it is written.
    void failureStopsTheApply_data()
    {
        QTest::addColumn<quint32>("failAt");
        QTest::addColumn<int>("writesBefore");
        QTest::newRow("first light register") << quint32(kRegLightMode) << 0;
        QTest::newRow("light mode copy") << quint32(kRegLightModeCopy) << 1;
        QTest::newRow("logo") << quint32(kRegLogoMode) << 2;
        QTest::newRow("brightness copy") << quint32(kRegBrightnessCopy) << 6;
        QTest::newRow("key table, third chunk") << quint32(kRegKeyTable + 112) << 9;
        QTest::newRow("brightness table") << quint32(kRegKeyBrightness) << 17;
    }

    void failureStopsTheApply()
    {
        QFETCH(quint32, failAt);
        QFETCH(int, writesBefore);
        m_keyboard->failWritesAt(failAt);
        QCOMPARE(m_device->getMouseConfig(factoryProfile()), int(KBaseDevice::ProfileFailed));
        QCOMPARE(m_keyboard->appliedWrites().size(), writesBefore);
        const auto commands = m_keyboard->commands();
        QCOMPARE(commands.last().reg, failAt);
    }

    // Hours of a simulated run apply profiles over and over: the keyboard's command log and the bus's
    // transcript keep their newest entries up to their bounds instead of growing with every apply.
    void longRunKeepsTheNewestHistory()
    {
        const QJsonObject profile = factoryProfile();
        SimBus* bus = m_fixture->bus()->bus();
        bus->clearTranscript();
        QCOMPARE(m_device->getMouseConfig(profile), int(KBaseDevice::ProfileApplied));
        const QList<SimQuenbyKeyboard::Command> oneApply = m_keyboard->commands();
        const int transfersPerApply = bus->transcript().size();
        QVERIFY(!oneApply.isEmpty() && transfersPerApply > 0);

        // Apply until both are full, then as many times again: they stay at their bounds.
        const int commandLimit = SimHistory<SimQuenbyKeyboard::Command>::kDefaultLimit;
        const int toFill = qMax(commandLimit / oneApply.size(), SimBus::kTranscriptLimit / transfersPerApply) + 1;
        int applies = 0;
        while ((m_keyboard->commands().size() < commandLimit || bus->transcript().size() < SimBus::kTranscriptLimit)
               && applies < 4 * toFill) {
            QCOMPARE(m_device->getMouseConfig(profile), int(KBaseDevice::ProfileApplied));
            ++applies;
        }
        for (int i = 0; i < applies; ++i)
            QCOMPARE(m_device->getMouseConfig(profile), int(KBaseDevice::ProfileApplied));
        // The last apply sets the lights only.
        QCOMPARE(m_device->getMouseConfig(lightsOnly()), int(KBaseDevice::ProfileApplied));

        const QList<SimQuenbyKeyboard::Command> kept = m_keyboard->commands();
        QCOMPARE(kept.size(), commandLimit);
        QCOMPARE(bus->transcript().size(), SimBus::kTranscriptLimit);
        // What was dropped is the oldest: the log ends with the lights-only apply, after a whole one.
        QList<quint32> tail;
        for (const SimQuenbyKeyboard::Command& command : kept.mid(kept.size() - 8)) {
            QVERIFY(command.isWrite() && command.succeeded());
            tail << command.reg;
        }
        QCOMPARE(tail, (QList<quint32>{kRegKeyBrightness + 112, kRegLightMode, kRegLightModeCopy, kRegLogoMode,
                                       kRegSpeed, kRegSpeedCopy, kRegBrightness, kRegBrightnessCopy}));
        QCOMPARE(m_keyboard->keyFunctionAt(0), SimQuenbyKeyboard::defaultKeyFunctionAt(0));
    }
};

QTEST_GUILESS_MAIN(TestQuenbyProfileApply)
#include "tst_quenbyprofileapply.moc"
