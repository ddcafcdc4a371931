// The RGB keyboard model against the simulated RGB keyboard: opening and the work mode, the light registers
// of its own, and what it leaves alone. The factory does not create the model: the tests hand the device
// manager a factory that does.

#include "SimBusFixture.h"

#include "common/AppServices.h"
#include "common/DeviceIds.h"
#include "devices/keyboard/HKeyBoardQuenby_RGB.h"
#include "devices/keyboard/Quenby8aKeyCodec.h"
#include "devices/keyboard/Quenby8aProtocol.h"
#include "hid/HDeviceManager.h"
#include "models/device/FKeyLightModelItem.h"
#include "platform/sys/PlatformTime.h"
#include "sim/keyboard/SimQuenbyKeyboard.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <memory>

using namespace Quenby8a;

namespace {

constexpr int kPid = DeviceIds::kRgbKeyboard;

class WarningRecorder : public AppServices
{
public:
    void startWarning(int type) override { warnings << type; }
    QList<int> warnings;
};

} // namespace

class TestQuenbyRgbKeyboard : public QObject
{
    Q_OBJECT

private:
    HKeyBoardQuenby_RGB* createDevice()
    {
        if (!HDeviceManager::instance()->createDevice(kPid))
            return nullptr;
        return qobject_cast<HKeyBoardQuenby_RGB*>(HDeviceManager::instance()->getDevice(kPid));
    }
    HKeyBoardQuenby_RGB* openDevice()
    {
        HKeyBoardQuenby_RGB* device = createDevice();
        if (!device || !device->initDevice())
            return nullptr;
        m_keyboard->clearCommands();
        return device;
    }
    QList<SimQuenbyKeyboard::Command> workModeWrites() const
    {
        QList<SimQuenbyKeyboard::Command> out;
        for (const auto& command : m_keyboard->commands()) {
            if (command.isSetWorkMode())
                out << command;
        }
        return out;
    }

private slots:
    void init()
    {
        m_bus = std::make_unique<SimBusFixture>();
        m_keyboard = std::make_unique<SimQuenbyKeyboard>(kPid);
        QVERIFY(m_keyboard->plug(m_bus->bus()));
        HDeviceManager::instance()->setFactory([](int pid) -> KBaseDevice* {
            return pid == kPid ? new HKeyBoardQuenby_RGB() : nullptr;
        });
        AppServices::install(&m_services);
        m_services.warnings.clear();
    }

    void cleanup()
    {
        KBaseDevice* device = HDeviceManager::instance()->getDevice(kPid);
        if (device) {
            device->setRemoved(true);
            HDeviceManager::instance()->removeDevice(kPid);
            QVERIFY(QTest::qWaitFor([] { return HDeviceManager::instance()->getDevice(kPid) == nullptr; }, 5000));
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        HDeviceManager::instance()->setFactory(HDeviceManager::Factory());
        AppServices::install(nullptr);
        m_keyboard.reset();
        m_bus.reset();
    }

    void opening_switchesToTheProgramsWorkMode_data()
    {
        QTest::addColumn<int>("startMode");
        QTest::addColumn<int>("writes");
        QTest::newRow("keyboard's own mode") << 0 << 1;
        QTest::newRow("another mode") << 3 << 1;
        QTest::newRow("already in the program's mode") << 1 << 0;
    }
    void opening_switchesToTheProgramsWorkMode()
    {
        QFETCH(int, startMode);
        QFETCH(int, writes);
        m_keyboard->setWorkMode(quint8(startMode));
        HKeyBoardQuenby_RGB* device = createDevice();
        QVERIFY(device);
        QVERIFY(device->initDevice());
        QCOMPARE(workModeWrites().size(), writes);
        QCOMPARE(int(m_keyboard->workMode()), 1);
        QCOMPARE(device->workMode(), 1);
        QVERIFY(m_services.warnings.isEmpty());
        // No live-report reader and no base register read on this model.
        for (const auto& command : m_keyboard->commands())
            QVERIFY(command.reg != kRegModeRegister);
    }

    void opening_workModeFailures_warnButKeepTheDeviceOpen_data()
    {
        QTest::addColumn<int>("failedCommands");
        QTest::addColumn<int>("setAttempts");
        // Each transaction tries three times; the read fails after three refused commands.
        QTest::newRow("mode not readable") << 3 << 0;
        QTest::newRow("mode never settable") << 3 + 3 * 3 << 3;
    }
    void opening_workModeFailures_warnButKeepTheDeviceOpen()
    {
        QFETCH(int, failedCommands);
        QFETCH(int, setAttempts);
        if (setAttempts == 0) {
            m_keyboard->failCommands(failedCommands);
        } else {
            // The read succeeds, every write of the mode is refused.
            m_keyboard->failCommands(failedCommands - 3, SimQuenby::StatusError, 1);
        }
        HKeyBoardQuenby_RGB* device = createDevice();
        QVERIFY(device);
        QVERIFY(device->initDevice());
        QCOMPARE(m_services.warnings, QList<int>{AppServices::WarningDeviceConnect});
        QCOMPARE(workModeWrites().size(), setAttempts * 3);
        QCOMPARE(int(m_keyboard->workMode()), 0);
    }

    void lightRegisters_roundTripThroughTheModelsOwnRegisters()
    {
        HKeyBoardQuenby_RGB* device = openDevice();
        QVERIFY(device);
        QVERIFY(device->setLightModel(3, 0));
        QVERIFY(device->setLightSpeed(1, 0));
        QVERIFY(device->setLightBrightness(2, 0));
        QVERIFY(device->setLightDirection(true));
        QVERIFY(device->setMonochromaticMode(false));
        QVERIFY(device->setRGB({{"r", 0x10}, {"g", 0x20}, {"b", 0x30}}, 0));
        // mode raw, brightness, 4 - speed, direction on, monochrome off, the colour.
        QCOMPARE(m_keyboard->memory(Rgb::kRegLightMode, 8), QByteArray::fromHex("030203ff00102030"));
        QCOMPARE(m_keyboard->memory(Rgb::kRegColor, 3), QByteArray::fromHex("102030"));
        QCOMPARE(int(m_keyboard->registerValue(Rgb::kRegSpeed)), 3);
        QCOMPARE(m_keyboard->appliedWrites().size(), 6);
        QCOMPARE(device->getLightModel(0), 3);
        QCOMPARE(device->getLightSpeed(0), 1);
        QCOMPARE(device->getLightBrightness(0), 2);
        QVERIFY(device->getLightDirection());
        QVERIFY(!device->getLightMonochromatic());
        // The base's light registers are untouched.
        for (const auto& command : m_keyboard->appliedWrites())
            QVERIFY(command.reg >= Rgb::kRegLightMode && command.reg <= Rgb::kRegColor);
    }

    void getRGB_returnsTheColourWhateverTheMonochromeSwitch_data()
    {
        QTest::addColumn<QByteArray>("registers");
        QTest::newRow("monochrome on") << QByteArray::fromHex("ff102030");
        QTest::newRow("monochrome off") << QByteArray::fromHex("00102030");
    }
    void getRGB_returnsTheColourWhateverTheMonochromeSwitch()
    {
        QFETCH(QByteArray, registers);
        HKeyBoardQuenby_RGB* device = openDevice();
        QVERIFY(device);
        m_keyboard->setMemory(Rgb::kRegMonochrome, registers);
        const QMap<QString, int> color = device->getRGB(0);
        QCOMPARE(color.value("r", -1), 0x10);
        QCOMPARE(color.value("g", -1), 0x20);
        QCOMPARE(color.value("b", -1), 0x30);
    }

    void failures_giveTheDocumentedResults()
    {
        HKeyBoardQuenby_RGB* device = openDevice();
        QVERIFY(device);
        QVERIFY(!device->setRGB({{"r", 1}, {"g", 2}}, 0));
        QVERIFY(m_keyboard->commands().isEmpty());

        m_keyboard->setStuckStatus(SimQuenby::StatusError);
        QCOMPARE(device->getLightModel(0), -1);
        QCOMPARE(device->getLightSpeed(0), -1);
        QVERIFY(!device->getLightDirection());
        QVERIFY(device->getRGB(0).isEmpty());
        QVERIFY(!device->setLightDirection(true));
        m_keyboard->setStuckStatus(-1);
    }

    void logoAndKeyBrightness_touchNothing()
    {
        HKeyBoardQuenby_RGB* device = openDevice();
        QVERIFY(device);
        QCOMPARE(device->getLogoLightMode(0), -1);
        QVERIFY(!device->setLogoLightMode(2, 0));
        QVERIFY(!device->setKeyBrightness(KKey(20), 5));
        QVERIFY(m_keyboard->commands().isEmpty());
    }

    void keyColors_useTheColourTableByPosition_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("position");
        QTest::newRow("first key") << 14 << 0;
        QTest::newRow("after an empty position") << 22 << 8;
        QTest::newRow("WorkMode key") << 125 << 111;
        QTest::newRow("last key") << 140 << 126;
    }
    void keyColors_useTheColourTableByPosition()
    {
        QFETCH(int, key);
        QFETCH(int, position);
        HKeyBoardQuenby_RGB* device = openDevice();
        QVERIFY(device);
        QVERIFY(device->setKeyRGB(KKey(key), {{"r", 0xff}, {"g", 0x80}}, 0, 0));
        const quint32 at = Rgb::kRegKeyColor + quint32(position * 3);
        QCOMPARE(m_keyboard->memory(at, 3), QByteArray::fromHex("ff8000"));
        QCOMPARE(m_keyboard->appliedWrites().size(), 1);

        m_keyboard->setMemory(at, QByteArray::fromHex("010203"));
        const H_KEYLIGHT colors = device->getKeyColor();
        QVERIFY(colors.contains(KKey(key)));
        QCOMPARE(colors.value(KKey(key)).color(), QStringLiteral("010203"));
    }

    void keyColors_leaveOutKeysTheModelDoesNotShow()
    {
        HKeyBoardQuenby_RGB* device = openDevice();
        QVERIFY(device);
        QVERIFY(!device->setKeyRGB(KKey(21), {{"r", 1}}, 0, 0)); // an empty position
        QVERIFY(!device->setKeyRGB(KKey(141), {{"r", 1}}, 0, 0));
        QVERIFY(m_keyboard->appliedWrites().isEmpty());
        const H_KEYLIGHT colors = device->getKeyColor();
        QCOMPARE(colors.size(), 108);
        QVERIFY(!colors.contains(KKey(26)) && !colors.contains(KKey(113)) && !colors.contains(KKey(21)));
        // 384 bytes in 56-byte reads: six full, one of 48.
        QCOMPARE(m_keyboard->commands().size(), 7);

        m_keyboard->failCommands(3, SimQuenby::StatusError, 2);
        QVERIFY(device->getKeyColor().isEmpty());
    }

    void setKeyFunction_writesTheKeysCode_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("function");
        QTest::addColumn<int>("position");
        QTest::addColumn<QByteArray>("code");
        QTest::newRow("C key restored") << 50 << int(KFuncNull) << 36 << QByteArray::fromHex("00000600");
        QTest::newRow("WorkMode key restored") << 125 << int(KFuncNull) << 111 << QByteArray::fromHex("a0001000");
        QTest::newRow("Mute key restored") << 109 << int(KFuncNull) << 95 << QByteArray::fromHex("040000e2");
        QTest::newRow("keypad key") << 14 << int(KFuncAppKey) << 0 << QByteArray::fromHex("00006500");
        QTest::newRow("K42 key") << 14 << int(KFuncK42Key) << 0 << QByteArray::fromHex("00003200");
        QTest::newRow("right Win") << 14 << int(KFuncWinRKey) << 0 << QByteArray::fromHex("0000e700");
        QTest::newRow("WinLock") << 30 << int(KFuncWinLock) << 16 << QByteArray::fromHex("a0000400");
    }
    void setKeyFunction_writesTheKeysCode()
    {
        QFETCH(int, key);
        QFETCH(int, function);
        QFETCH(int, position);
        QFETCH(QByteArray, code);
        HKeyBoardQuenby_RGB* device = openDevice();
        QVERIFY(device);
        QVERIFY(device->setKeyFunction(KKey(key), KKeyFunction(function), 0, 0, 0));
        QCOMPARE(m_keyboard->appliedWrites().size(), 1);
        QCOMPARE(m_keyboard->appliedWrites().first().reg, Rgb::kRegKeyTable + quint32(4 * position));
        QCOMPARE(m_keyboard->appliedWrites().first().data, code);
        const KKeyCode cached = device->keyTableCache().at(position);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(cached.bytes().data()), 4), code);
    }

    void setKeyFunction_refusesWhatTheModelCannotStore()
    {
        HKeyBoardQuenby_RGB* device = openDevice();
        QVERIFY(device);
        QVERIFY(!device->setKeyFunction(KKey(21), KFuncNull, 0, 0, 0));        // an empty position
        QVERIFY(!device->setKeyFunction(KKey(14), KFuncMuteKey, 0, 0, 0));     // no code of its own
        QVERIFY(!device->setKeyFunction(KKey(14), KKeyFunction(183), 0, 0, 0));
        QVERIFY(m_keyboard->commands().isEmpty());
        QCOMPARE(device->keyTableCache().at(0), KKeyCode(KKeyCode::kKeyboard, 0x29));
    }

    void factoryKeyTable_decodesToEachKeysDefaultFunction()
    {
        KKeyCode table[kKeyPositions];
        HKeyBoardQuenby_RGB::initKeyMatrix(table);
        for (int position = 0; position < kKeyPositions; ++position) {
            const int key = Rgb::keyAtPosition(position);
            if (key < 0) {
                QCOMPARE(table[position], KKeyCode());
                continue;
            }
            const int function = Quenby8aKeyCodec::decode(table[position], Quenby8aKeyCodec::FullSize);
            QVERIFY2(function != KFuncNull && function != KFuncKeyboardKey, qPrintable(QString::number(key)));
            KKeyCode again;
            if (function != KFuncMute) {
                QVERIFY(Quenby8aKeyCodec::encode(function, 0, 0, &again, Quenby8aKeyCodec::FullSize));
                QCOMPARE(again, table[position]);
            }
        }
    }

    void getKeys_readsTheTableAndGivesMacroKeysTheirSlots()
    {
        HKeyBoardQuenby_RGB* device = openDevice();
        QVERIFY(device);
        // Key 17 (position 3) stores slot 29, key 54 (position 40) slot 29 too, key 30 (position 16) slot 200.
        m_keyboard->setMemory(Rgb::kRegKeyTable + 4 * 3, QByteArray::fromHex("05001d00"));
        m_keyboard->setMemory(Rgb::kRegKeyTable + 4 * 40, QByteArray::fromHex("05001d00"));
        m_keyboard->setMemory(Rgb::kRegKeyTable + 4 * 16, QByteArray::fromHex("0500c800"));
        m_keyboard->setMemory(Rgb::kRegKeyTable + 4 * 111, QByteArray::fromHex("a0001000"));
        const QMap<KKey, KKeyModelItem> keys = device->getKeys();
        QCOMPARE(keys.size(), 108);
        QVERIFY(!keys.contains(KKey(26)) && !keys.contains(KKey(113)));
        QCOMPARE(keys.value(KKey(17)).getType(), int(KFuncMacro));
        QCOMPARE(keys.value(KKey(125)).getType(), int(KFuncWorkMode));
        const QMap<int, int> held = device->macroSlots();
        QCOMPARE(held.size(), 30);
        QCOMPARE(held.value(29), 17);
        QCOMPARE(held.value(0), 30);
        QCOMPARE(held.value(1), 54);
        QCOMPARE(held.values().count(-1), 27);

        m_keyboard->failCommands(3, SimQuenby::StatusError, 4);
        QVERIFY(device->getKeys().isEmpty());
    }

    void checkMacroId_usesThirtySlots()
    {
        HKeyBoardQuenby_RGB* device = createDevice();
        QVERIFY(device);
        int slot = -1;
        for (int key = 0; key < 29; ++key)
            QVERIFY(device->checkMacroId(1000 + key, &slot));
        QVERIFY(device->checkMacroId(14, &slot));
        QCOMPARE(slot, 29);
        QVERIFY(!device->checkMacroId(15, &slot));
        QVERIFY(device->checkMacroId(14, &slot));
        QCOMPARE(slot, 29);
    }

    void profileApply_placesEntriesByListedPosition()
    {
        HKeyBoardQuenby_RGB* device = openDevice();
        QVERIFY(device);
        m_keyboard->setMemory(Rgb::kRegKeyColor + 3 * 3, QByteArray::fromHex("0a0b0c")); // Caps, not listed
        const QJsonObject profile = QJsonDocument::fromJson(R"({
            "lightModel": {"index": 1},
            "light": [{"speed": 0, "brightness": 0}, {"speed": 1, "brightness": 4}],
            "lightDirection": true,
            "key": [{"key": 14, "funcIndex": 0}, {"key": 15, "funcIndex": 0}, {"key": 16, "funcIndex": 0},
                    {"key": 18, "funcIndex": 156}],
            "keyLight": [{"key": 14, "colors": "ff8000"}]
        })").object();
        QCOMPARE(device->getMouseConfig(profile), int(KBaseDevice::ProfileApplied));
        QCOMPARE(m_keyboard->memory(Rgb::kRegLightMode, 5), QByteArray::fromHex("010403ff00"));
        // The fourth entry lands at position 4; Caps keeps its cached code; unlisted WorkMode keeps its own.
        QCOMPARE(m_keyboard->memory(Rgb::kRegKeyTable + 4 * 4, 4), QByteArray::fromHex("00006500"));
        QCOMPARE(m_keyboard->memory(Rgb::kRegKeyTable + 4 * 3, 4), QByteArray::fromHex("00003900"));
        QCOMPARE(m_keyboard->memory(Rgb::kRegKeyTable + 4 * 111, 4), QByteArray::fromHex("a0001000"));
        QCOMPARE(m_keyboard->memory(Rgb::kRegKeyTable + 4 * 8, 4), QByteArray(4, '\0')); // past the array
        QCOMPARE(m_keyboard->memory(Rgb::kRegKeyColor, 3), QByteArray::fromHex("ff8000"));
        QCOMPARE(m_keyboard->memory(Rgb::kRegKeyColor + 9, 3), QByteArray::fromHex("0a0b0c"));
    }

    void profileApply_stopsAtTheFailingStep_data()
    {
        QTest::addColumn<quint32>("failAt");
        QTest::addColumn<int>("writesBefore");
        QTest::newRow("light mode") << quint32(Rgb::kRegLightMode) << 0;
        QTest::newRow("direction") << quint32(Rgb::kRegDirection) << 3;
        QTest::newRow("monochrome") << quint32(Rgb::kRegMonochrome) << 4;
        QTest::newRow("key table") << quint32(Rgb::kRegKeyTable + 60) << 6;
        QTest::newRow("colour table") << quint32(Rgb::kRegKeyColor) << 5 + 10;
    }
    void profileApply_stopsAtTheFailingStep()
    {
        QFETCH(quint32, failAt);
        QFETCH(int, writesBefore);
        HKeyBoardQuenby_RGB* device = openDevice();
        QVERIFY(device);
        m_keyboard->failWritesAt(failAt);
        const QJsonObject profile = QJsonDocument::fromJson(R"({"lightModel": {"index": 0},
            "light": [{"speed": 2, "brightness": 3}], "key": [], "keyLight": []})").object();
        QCOMPARE(device->getMouseConfig(profile), int(KBaseDevice::ProfileFailed));
        QCOMPARE(m_keyboard->appliedWrites().size(), writesBefore);
    }

    void profileApply_refusesABadDocumentBeforeAnyWrite_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("speed out of range") << QByteArray(R"({"light": [{"speed": 9, "brightness": 1}]})");
        QTest::newRow("function it cannot store") << QByteArray(R"({"key": [{"key": 14, "funcIndex": 126}]})");
        QTest::newRow("colour not a colour") << QByteArray(R"({"keyLight": [{"key": 14, "colors": "zz"}]})");
        QTest::newRow("macro") << QByteArray(R"({"key": [{"key": 14, "funcIndex": 29, "value1": {}}]})");
    }
    void profileApply_refusesABadDocumentBeforeAnyWrite()
    {
        QFETCH(QByteArray, json);
        HKeyBoardQuenby_RGB* device = openDevice();
        QVERIFY(device);
        QCOMPARE(device->getMouseConfig(QJsonDocument::fromJson(json).object()), int(KBaseDevice::ProfileFailed));
        QVERIFY(m_keyboard->appliedWrites().isEmpty());
    }

private:
    std::unique_ptr<SimBusFixture> m_bus;
    std::unique_ptr<SimQuenbyKeyboard> m_keyboard;
    WarningRecorder m_services;
};

QTEST_MAIN(TestQuenbyRgbKeyboard)
#include "tst_quenbyrgbkeyboard.moc"
