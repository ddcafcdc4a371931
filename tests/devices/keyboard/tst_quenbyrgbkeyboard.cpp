// The RGB keyboard model against the simulated RGB keyboard: opening and the work mode, the light registers
// of its own, and what it leaves alone. The factory does not create the model: the tests hand the device
// manager a factory that does.

#include "SimBusFixture.h"

#include "common/AppServices.h"
#include "common/DeviceIds.h"
#include "devices/keyboard/HKeyBoardQuenby_RGB.h"
#include "devices/keyboard/Quenby8aKeyCodec.h"
#include "devices/keyboard/Quenby8aProtocol.h"
#include "hid/DeviceFactory.h"
#include "hid/HDeviceManager.h"
#include "models/device/FKeyLightModelItem.h"
#include "models/keys/MacroPlayType.h"
#include "platform/sys/PlatformTime.h"
#include "sim/keyboard/SimQuenbyKeyboard.h"
#include "TestWait.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QtTest>

#include <memory>

using namespace Quenby8a;

Q_DECLARE_METATYPE(SimKeyFunction)
Q_DECLARE_METATYPE(SimMacroEvent)

namespace {

constexpr int kPid = DeviceIds::kRgbKeyboard;

KMacroItem keyItem(int usage, bool up) { return KMacroItem(KMacroItem::KeyboardKey, usage, 0, up, QString()); }
KMacroItem delayItem(int ms) { return KMacroItem(KMacroItem::Delay, ms, 0, false, QString()); }
KMacroItem moveItem(int x, int y) { return KMacroItem(KMacroItem::Pointer, x, y, false, QString()); }

QJsonObject readJson(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QJsonObject();
    return QJsonDocument::fromJson(file.readAll()).object();
}

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
            QVERIFY(QTest::qWaitFor([] { return HDeviceManager::instance()->getDevice(kPid) == nullptr; }, TestWait::kBoundMs));
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        HDeviceManager::instance()->setFactory(HDeviceManager::Factory());
        AppServices::install(nullptr);
        m_keyboard.reset();
        m_bus.reset();
    }

    // The product factory makes only the wired keyboard; the model's class is reached by the model registry
    // (tests, simulated runs).
    void factory_leavesTheModelToSimulatedRuns()
    {
        QVERIFY(!DeviceFactory::serves(kPid));
        QVERIFY(!DeviceFactory::create(kPid));
        std::unique_ptr<KBaseDevice> device(DeviceFactory::createModel(kPid));
        QVERIFY(qobject_cast<HKeyBoardQuenby_RGB*>(device.get()));
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
        // Values the registers cannot hold are refused, not cut to a byte.
        QVERIFY(!device->setRGB({{"r", 1}, {"g", 256}, {"b", 0}}, 0));
        QVERIFY(!device->setKeyRGB(KKey(14), {{"r", -1}}, 0, 0));
        QVERIFY(!device->setLightSpeed(5, 0));
        QVERIFY(!device->setLightSpeed(-1, 0));
        QVERIFY(!device->setLightModel(256, 0));
        QVERIFY(!device->setLightBrightness(-1, 0));
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
        QVERIFY(device->getKeyBrightness().isEmpty());
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
        QTest::addColumn<SimKeyFunction>("meaning");
        using F = SimKeyFunction;
        QTest::newRow("C key restored") << 50 << int(KFuncNull) << 36 << QByteArray::fromHex("00000600")
                                        << F::key(0x06);
        QTest::newRow("WorkMode key restored") << 125 << int(KFuncNull) << 111 << QByteArray::fromHex("a0001000")
                                               << F::workMode();
        QTest::newRow("Mute key restored") << 109 << int(KFuncNull) << 95 << QByteArray::fromHex("040000e2")
                                           << F::consumer(0xE2);
        QTest::newRow("App key") << 14 << int(KFuncAppKey) << 0 << QByteArray::fromHex("00006500") << F::key(0x65);
        QTest::newRow("keypad 7") << 14 << int(KFuncNum7Key) << 0 << QByteArray::fromHex("00005f00") << F::key(0x5F);
        QTest::newRow("keypad Enter") << 140 << int(KFuncNumEnterKey) << 126 << QByteArray::fromHex("00005800")
                                      << F::key(0x58);
        QTest::newRow("K42 key") << 14 << int(KFuncK42Key) << 0 << QByteArray::fromHex("00003200") << F::key(0x32);
        QTest::newRow("ScrLk") << 14 << int(KFuncScrLkKey) << 0 << QByteArray::fromHex("00004700") << F::key(0x47);
        QTest::newRow("Ins") << 14 << int(KFuncInsKey) << 0 << QByteArray::fromHex("00004900") << F::key(0x49);
        QTest::newRow("right Win") << 14 << int(KFuncWinRKey) << 0 << QByteArray::fromHex("0000e700") << F::key(0xE7);
        QTest::newRow("WinLock") << 30 << int(KFuncWinLock) << 16 << QByteArray::fromHex("a0000400") << F::winLock();
        QTest::newRow("macro in the last slot") << 22 << int(KFuncMacro) << 8 << QByteArray::fromHex("05001d00")
                                                << F::macro(29);
    }
    void setKeyFunction_writesTheKeysCode()
    {
        QFETCH(int, key);
        QFETCH(int, function);
        QFETCH(int, position);
        QFETCH(QByteArray, code);
        QFETCH(SimKeyFunction, meaning);
        HKeyBoardQuenby_RGB* device = openDevice();
        QVERIFY(device);
        const int a = function == KFuncMacro ? Rgb::kMacroSlots - 1 : 0;
        QVERIFY(device->setKeyFunction(KKey(key), KKeyFunction(function), a, 0, 0));
        QCOMPARE(m_keyboard->keyFunctionOfKey(key), meaning);
        QCOMPARE(m_keyboard->appliedWrites().size(), 1);
        QCOMPARE(m_keyboard->appliedWrites().first().reg, Rgb::kRegKeyTable + quint32(4 * position));
        QCOMPARE(m_keyboard->appliedWrites().first().data, code);
        const KKeyCode cached = device->keyTableCache().at(position);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(cached.bytes().data()), 4), code);
    }

    // Slots change hands only once the keyboard holds the new code.
    void setKeyFunction_slotMapFollowsTheDevice()
    {
        HKeyBoardQuenby_RGB* device = openDevice();
        QVERIFY(device);
        QVERIFY(device->setKeyFunction(KKey(14), KFuncMacro, 7, 0, 0));
        QCOMPARE(device->macroSlots().value(7), 14);
        m_keyboard->failWritesAt(Rgb::kRegKeyTable, 3);
        QVERIFY(!device->setKeyFunction(KKey(14), KFuncNull, 0, 0, 0));
        QCOMPARE(device->macroSlots().value(7), 14);
        QCOMPARE(m_keyboard->keyFunctionOfKey(14), SimKeyFunction::macro(7));
        QVERIFY(device->setKeyFunction(KKey(14), KFuncMacro, 9, 0, 0));
        QCOMPARE(device->macroSlots().value(9), 14);
        QCOMPARE(device->macroSlots().value(7), -1);
        QVERIFY(device->setKeyFunction(KKey(14), KFuncNull, 0, 0, 0));
        QCOMPARE(device->macroSlots().values().count(-1), Rgb::kMacroSlots);
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

    // The model's own layout document: its name, and one button per key of the key map with the key's factory
    // function.
    void layoutDocument_describesTheModel()
    {
        HKeyBoardQuenby_RGB* device = createDevice();
        QVERIFY(device);
        const QJsonObject layout = *device->getLayout();
        QCOMPARE(layout.value("deviceName").toString(), QStringLiteral("Quenby-RGB"));
        QCOMPARE(layout.value("deviceType").toInt(), 2);
        const QJsonArray buttons = layout.value("key").toObject().value("keyBtn").toArray();
        const QJsonArray lights = layout.value("light").toObject().value("keyLightBtn").toArray();
        QCOMPARE(buttons.size(), 108);
        QCOMPARE(lights.size(), 108);
        QSet<int> seen;
        for (int i = 0; i < buttons.size(); ++i) {
            const QJsonObject button = buttons.at(i).toObject();
            const int key = button.value("key").toInt();
            QVERIFY2(Rgb::isMappedKey(key) && !seen.contains(key), qPrintable(QString::number(key)));
            seen.insert(key);
            QCOMPARE(lights.at(i).toObject().value("key").toInt(), key);
            const KKeyCode code = device->keyTableCache().at(Rgb::positionOfKey(key));
            const int function = Quenby8aKeyCodec::decode(code, Quenby8aKeyCodec::FullSize);
            // Mute's code reads as the Mute function; its default function has no name of its own.
            QCOMPARE(button.value("defaultFunc").toInt(), key == 109 ? int(KFuncMuteKey) : function);
        }
    }

    // The driver's factory table and the keyboard's own are written down apart; they must agree.
    void factoryKeyTable_isTheKeyboards()
    {
        HKeyBoardQuenby_RGB* device = createDevice();
        QVERIFY(device);
        const QVector<KKeyCode> cache = device->keyTableCache();
        QByteArray table;
        for (const KKeyCode& code : cache)
            table.append(reinterpret_cast<const char*>(code.bytes().data()), 4);
        QCOMPARE(SimQuenbyKeyboard::decodeKeyTable(table, true), m_keyboard->keyFunctions());
        QCOMPARE(table, m_keyboard->keyTable());
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

    void setMacro_writesTheSlotsRecordWithTheSaveFlag_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<QVector<KMacroItem>>("items");
        QTest::addColumn<QList<SimMacroEvent>>("events");
        using E = SimMacroEvent;
        const QVector<KMacroItem> keys{keyItem(0x04, false), delayItem(40), keyItem(0x04, true)};
        QTest::newRow("first record") << 0 << keys << QList<E>{E::key(0x04, true, 40), E::key(0x04, false)};
        QTest::newRow("record 3") << 2 << keys << QList<E>{E::key(0x04, true, 40), E::key(0x04, false)};
        // Moves follow one another without overlapping, and a key after them keeps its place.
        QTest::newRow("record 30, moves")
            << 29 << QVector<KMacroItem>{moveItem(5, 3), moveItem(-7, -2), keyItem(0x05, false), keyItem(0x05, true)}
            << QList<E>{E::move(5, 3), E::move(-7, -2), E::key(0x05, true), E::key(0x05, false)};
        QTest::newRow("ends on a move") << 29 << QVector<KMacroItem>{keyItem(0x06, false), moveItem(1, 200)}
                                        << QList<E>{E::key(0x06, true), E::move(1, 200, 1)};
    }
    void setMacro_writesTheSlotsRecordWithTheSaveFlag()
    {
        QFETCH(int, slot);
        QFETCH(QVector<KMacroItem>, items);
        QFETCH(QList<SimMacroEvent>, events);
        HKeyBoardQuenby_RGB* device = openDevice();
        QVERIFY(device);
        const QByteArray neighbour = m_keyboard->macroRecord(slot + 1);
        QCOMPARE(device->setMacro(false, MacroPlayCycles, items, 2, slot), 1);
        const SimMacroRecord record = m_keyboard->decodeMacro(slot);
        QVERIFY2(record.valid, qPrintable(record.toString()));
        QCOMPARE(record.repeatCount, 2);
        QCOMPARE(record.events, events);
        QCOMPARE(m_keyboard->macroRecord(slot + 1), neighbour);
        const QList<SimQuenbyKeyboard::Command> writes = m_keyboard->appliedWrites();
        QVERIFY(!writes.isEmpty());
        for (const auto& write : writes) {
            QCOMPARE(int(write.saveFlag), int(Rgb::kSaveFlag));
            QVERIFY(write.reg >= Rgb::macroRecordAddress(slot) && write.reg < Rgb::macroRecordAddress(slot + 1));
        }
    }

    void setMacro_refusals()
    {
        HKeyBoardQuenby_RGB* device = openDevice();
        QVERIFY(device);
        const QVector<KMacroItem> items{keyItem(0x04, false), keyItem(0x04, true)};
        QCOMPARE(device->setMacro(false, MacroPlayCycles, items, 1, Rgb::kMacroSlots), -1);
        QCOMPARE(device->setMacro(false, MacroPlayCycles, items, 1, -1), -1);
        QVERIFY(m_keyboard->commands().isEmpty());
        // A record that does not fit is not started.
        QCOMPARE(device->setMacro(false, MacroPlayCycles, QVector<KMacroItem>(200, keyItem(0x04, false)), 1, 0), -1);
        QVERIFY(m_keyboard->commands().isEmpty());
        // A failed chunk, the last one included.
        const QVector<KMacroItem> longer(30, keyItem(0x04, false)); // 94 bytes: two chunks
        m_keyboard->failWritesAt(Rgb::macroRecordAddress(4) + 60, 3);
        QCOMPARE(device->setMacro(false, MacroPlayCycles, longer, 1, 4), -1);
    }

    void profileApply_factoryProfileRoundTrip()
    {
        const QJsonObject profile = readJson(QStringLiteral(":/common/newUI/Quenby_RGB/Quenby_RGBDefaultConfig.json"));
        QVERIFY(!profile.isEmpty());
        // One entry per listed position, in position order.
        const QJsonArray keys = profile.value("key").toArray();
        const QJsonArray lights = profile.value("keyLight").toArray();
        QCOMPARE(keys.size(), 101);
        QCOMPARE(lights.size(), 101);
        int entry = 0;
        for (int position = 0; position < kKeyPositions; ++position) {
            const int key = Rgb::keyAtPosition(position);
            if (!HKeyBoardQuenby_RGB::isProfileKey(key))
                continue;
            QCOMPARE(keys.at(entry).toObject().value("key").toInt(), key);
            QCOMPARE(lights.at(entry).toObject().value("key").toInt(), key);
            ++entry;
        }

        HKeyBoardQuenby_RGB* device = openDevice();
        QVERIFY(device);
        // A keyboard far from its factory state.
        m_keyboard->setMemory(Rgb::kRegLightMode, QByteArray::fromHex("05010000ffff"));
        m_keyboard->setKeyFunctionAt(4, SimKeyFunction::key(0x04));
        m_keyboard->setKeyFunctionAt(126, SimKeyFunction::disabled());
        QCOMPARE(device->getMouseConfig(profile), int(KBaseDevice::ProfileApplied));

        QCOMPARE(device->getLightModel(0), profile.value("lightModel").toObject().value("index").toInt());
        const QJsonObject light = profile.value("light").toArray().at(device->getLightModel(0)).toObject();
        QCOMPARE(device->getLightSpeed(0), light.value("speed").toInt());
        QCOMPARE(device->getLightBrightness(0), light.value("brightness").toInt());
        QCOMPARE(device->getLightDirection(), profile.value("lightDirection").toBool());
        QCOMPARE(device->getLightMonochromatic(), profile.value("lightMonochromatic").toBool());
        const QMap<KKey, KKeyModelItem> read = device->getKeys();
        const H_KEYLIGHT colors = device->getKeyColor();
        for (int i = 0; i < keys.size(); ++i) {
            const int key = keys.at(i).toObject().value("key").toInt();
            QCOMPARE(read.value(KKey(key)).getType(), keys.at(i).toObject().value("funcIndex").toInt());
            QCOMPARE(colors.value(KKey(key)).color(), lights.at(i).toObject().value("colors").toString());
        }
        // The factory profile is the factory key table: every key does what it did from the factory.
        for (int position = 0; position < kKeyPositions; ++position)
            QCOMPARE(m_keyboard->keyFunctionAt(position), SimQuenbyKeyboard::defaultRgbKeyFunctionAt(position));
        // And the keyboard's factory state: its light registers (effect, brightness, speed, direction,
        // monochromatic, colour) and every key's colour are what a keyboard fresh from the factory holds.
        const SimQuenbyKeyboard factory(kPid);
        QCOMPARE(m_keyboard->memory(Rgb::kRegLightMode, 8).toHex(), factory.memory(Rgb::kRegLightMode, 8).toHex());
        QCOMPARE(m_keyboard->memory(Rgb::kRegKeyColor, Rgb::kKeyColorSize).toHex(),
                 factory.memory(Rgb::kRegKeyColor, Rgb::kKeyColorSize).toHex());
        QCOMPARE(device->getRGB(0), (QMap<QString, int>{{"r", 255}, {"g", 0}, {"b", 255}}));
    }

    void profileApply_macroKeys()
    {
        HKeyBoardQuenby_RGB* device = openDevice();
        QVERIFY(device);
        // Caps is not in profiles; the macro it plays stays its own.
        int capsSlot = -1;
        QVERIFY(device->checkMacroId(17, &capsSlot));
        QCOMPARE(device->setMacro(false, MacroPlayCycles, {keyItem(0x09, false), keyItem(0x09, true)}, 1, capsSlot), 1);
        QVERIFY(device->setKeyFunction(KKey(17), KFuncMacro, capsSlot, 0, 0));
        const QByteArray capsRecord = m_keyboard->macroRecord(capsSlot);
        m_keyboard->clearCommands();

        const QJsonObject profile = QJsonDocument::fromJson(R"({
            "lightModel": {"index": 2}, "light": [{}, {}, {"speed": 1, "brightness": 2}],
            "key": [{"key": 14, "funcIndex": 95, "value1": ""},
                    {"key": 15, "funcIndex": 29, "value1": {"list": [
                        {"type": 0, "value1": 4, "value2": 0, "isUp": false, "text": "A"},
                        {"type": 2, "value1": 30, "value2": 0, "isUp": false, "text": ""},
                        {"type": 3, "value1": 10, "value2": -20, "isUp": false, "text": ""},
                        {"type": 0, "value1": 4, "value2": 0, "isUp": true, "text": "A"}],
                        "playType": "2", "ignoreTime": false, "times": 1, "macroName": "m"}}]})").object();
        QCOMPARE(device->getMouseConfig(profile), int(KBaseDevice::ProfileApplied));

        const SimKeyFunction function = m_keyboard->keyFunctionOfKey(15);
        QCOMPARE(function.kind(), SimKeyFunction::Kind::Macro);
        QVERIFY(function.macroSlot() != capsSlot);
        const SimMacroRecord record = m_keyboard->decodeMacro(function.macroSlot());
        QVERIFY2(record.valid, qPrintable(record.toString()));
        QCOMPARE(record.playType, int(SimMacroRecord::UntilPressedAgain));
        using E = SimMacroEvent;
        QCOMPARE(record.events, (QList<E>{E::key(0x04, true, 30), E::move(10, -20), E::key(0x04, false)}));
        QCOMPARE(m_keyboard->keyFunctionOfKey(17), SimKeyFunction::macro(capsSlot));
        QCOMPARE(m_keyboard->macroRecord(capsSlot), capsRecord);
        QCOMPARE(device->macroSlots().value(capsSlot), 17);
        QCOMPARE(device->macroSlots().value(function.macroSlot()), 15);

        // Lights, the record and the key's own entry, then the two tables in 56-byte chunks.
        QList<quint32> expected{Rgb::kRegLightMode, Rgb::kRegSpeed, Rgb::kRegBrightness, Rgb::kRegDirection,
                                Rgb::kRegMonochrome, Rgb::macroRecordAddress(function.macroSlot()),
                                Rgb::kRegKeyTable + 4};
        for (int offset = 0; offset < kKeyTableSize; offset += 56)
            expected << Rgb::kRegKeyTable + quint32(offset);
        for (int offset = 0; offset < Rgb::kKeyColorSize; offset += 56)
            expected << Rgb::kRegKeyColor + quint32(offset);
        QList<quint32> written;
        for (const auto& write : m_keyboard->appliedWrites())
            written << write.reg;
        QCOMPARE(written, expected);
    }

    void profileApply_refusesMoreMacroKeysThanSlots()
    {
        HKeyBoardQuenby_RGB* device = openDevice();
        QVERIFY(device);
        QJsonArray keys;
        const QJsonObject macro{{"list", QJsonArray{QJsonObject{{"type", 0}, {"value1", 4}, {"isUp", false}}}},
                                {"playType", "1"}, {"times", 1}};
        for (int position = 0; position < kKeyPositions && keys.size() < 31; ++position) {
            const int key = Rgb::keyAtPosition(position);
            if (HKeyBoardQuenby_RGB::isProfileKey(key))
                keys.append(QJsonObject{{"key", key}, {"funcIndex", int(KFuncMacro)}, {"value1", macro}});
        }
        QCOMPARE(device->getMouseConfig(QJsonObject{{"key", keys}}), int(KBaseDevice::ProfileFailed));
        QVERIFY(m_keyboard->appliedWrites().isEmpty());
        keys.removeLast();
        QCOMPARE(device->getMouseConfig(QJsonObject{{"key", keys}}), int(KBaseDevice::ProfileApplied));
        QCOMPARE(device->macroSlots().values().count(-1), 0);
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
        // Five light writes, one record chunk, the macro key's entry, ten key table and seven colour chunks.
        QTest::newRow("light mode") << quint32(Rgb::kRegLightMode) << 0;
        QTest::newRow("speed") << quint32(Rgb::kRegSpeed) << 1;
        QTest::newRow("brightness") << quint32(Rgb::kRegBrightness) << 2;
        QTest::newRow("direction") << quint32(Rgb::kRegDirection) << 3;
        QTest::newRow("monochrome") << quint32(Rgb::kRegMonochrome) << 4;
        QTest::newRow("macro record") << Rgb::macroRecordAddress(0) << 5;
        QTest::newRow("macro key entry") << quint32(Rgb::kRegKeyTable) << 6;
        QTest::newRow("key table") << quint32(Rgb::kRegKeyTable + 60) << 7 + 1;
        QTest::newRow("colour table") << quint32(Rgb::kRegKeyColor + 60) << 7 + 10 + 1;
    }
    void profileApply_stopsAtTheFailingStep()
    {
        QFETCH(quint32, failAt);
        QFETCH(int, writesBefore);
        HKeyBoardQuenby_RGB* device = openDevice();
        QVERIFY(device);
        m_keyboard->failWritesAt(failAt);
        const QJsonObject profile = QJsonDocument::fromJson(R"({"lightModel": {"index": 0},
            "light": [{"speed": 2, "brightness": 3}], "keyLight": [],
            "key": [{"key": 14, "funcIndex": 29, "value1": {"list": [
                {"type": 0, "value1": 4, "isUp": false, "text": "A"}], "playType": "1", "times": 1}}]})")
                                        .object();
        QCOMPARE(device->getMouseConfig(profile), int(KBaseDevice::ProfileFailed));
        QCOMPARE(m_keyboard->appliedWrites().size(), writesBefore);
    }

    // A profile without key or key-light sections (a new profile of a model without a factory profile) leaves
    // every key's function and colour as it is.
    void profileApply_missingSectionsKeepKeysAndColours()
    {
        HKeyBoardQuenby_RGB* device = openDevice();
        QVERIFY(device);
        QVERIFY(device->setKeyFunction(KKey(125), KFuncWinLock, 0, 0, 0));
        const QMap<int, SimKeyFunction> functions = m_keyboard->keyFunctions();
        const QByteArray colors = m_keyboard->memory(Rgb::kRegKeyColor, Rgb::kKeyColorSize);
        QCOMPARE(device->getMouseConfig(QJsonObject{{"configVersion", 2}}), int(KBaseDevice::ProfileApplied));
        QCOMPARE(m_keyboard->keyFunctions(), functions);
        QCOMPARE(m_keyboard->memory(Rgb::kRegKeyColor, Rgb::kKeyColorSize), colors);
    }

    // A light mode the profile keeps no entry for (the custom mode past the factory profile's eight entries, or
    // a profile without light entries) keeps the keyboard's speed and brightness: 0 would leave every key dark.
    void profileApply_modeWithoutEntryKeepsSpeedAndBrightness_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<int>("mode");
        QTest::newRow("mode past the entries")
            << QByteArray(R"({"lightModel": {"index": 2}, "light": [{"speed": 0, "brightness": 0},
                             {"speed": 1, "brightness": 1}]})")
            << 2;
        QTest::newRow("no light entries") << QByteArray(R"({"lightModel": {"index": 8}})") << 8;
    }
    void profileApply_modeWithoutEntryKeepsSpeedAndBrightness()
    {
        QFETCH(QByteArray, json);
        QFETCH(int, mode);
        HKeyBoardQuenby_RGB* device = openDevice();
        QVERIFY(device);
        const QByteArray speedAndBrightness = m_keyboard->memory(Rgb::kRegBrightness, 2);
        QVERIFY(speedAndBrightness != QByteArray(2, '\0'));
        QCOMPARE(device->getMouseConfig(QJsonDocument::fromJson(json).object()), int(KBaseDevice::ProfileApplied));
        QCOMPARE(int(m_keyboard->registerValue(Rgb::kRegLightMode)), mode);
        QCOMPARE(m_keyboard->memory(Rgb::kRegBrightness, 2), speedAndBrightness);
    }

    // The colour table is read before the first write: a keyboard that cannot be read is left alone.
    void profileApply_unreadableColoursWriteNothing()
    {
        HKeyBoardQuenby_RGB* device = openDevice();
        QVERIFY(device);
        m_keyboard->failCommands(3);
        QCOMPARE(device->getMouseConfig(QJsonObject{{"keyLight", QJsonArray()}}), int(KBaseDevice::ProfileFailed));
        QVERIFY(m_keyboard->appliedWrites().isEmpty());
    }

    void profileApply_refusesABadDocumentBeforeAnyWrite_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("speed out of range") << QByteArray(R"({"light": [{"speed": 9, "brightness": 1}]})");
        QTest::newRow("function it cannot store") << QByteArray(R"({"key": [{"key": 14, "funcIndex": 126}]})");
        QTest::newRow("colour not a colour") << QByteArray(R"({"keyLight": [{"key": 14, "colors": "zz"}]})");
        QTest::newRow("macro without a list") << QByteArray(R"({"key": [{"key": 14, "funcIndex": 29, "value1": {}}]})");
        QTest::newRow("macro too long for a record")
            << QByteArray(R"({"key": [{"key": 14, "funcIndex": 29, "value1": {"playType": "1", "times": 1, "list": [)"
                          + QByteArray(R"({"type": 0, "value1": 4, "isUp": false},)").repeated(200)
                          + R"({"type": 0, "value1": 4, "isUp": true}]}}]})");
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
