// The keyboard driver against the simulated keyboard: opening, lights, per-key brightness, live reports,
// keys and macros. Sleeps are recorded, not slept.

#include "QuenbyKeyboardFixture.h"
#include "hid/KInterruptReadLoop.h"

#include "common/DeviceIds.h"
#include "devices/keyboard/FDeviceQuenby_8a.h"
#include "devices/keyboard/Quenby8aKeyTable.h"
#include "devices/keyboard/Quenby8aProtocol.h"
#include "hid/HDeviceManager.h"
#include "platform/sys/PlatformTime.h"
#include "sim/keyboard/SimQuenbyKeyboard.h"
#include "TestWait.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace Quenby8a;

Q_DECLARE_METATYPE(SimKeyFunction)
Q_DECLARE_METATYPE(SimMacroEvent)

namespace {

constexpr int kPid = DeviceIds::kKeyboardWired;

KMacroItem key(int usage, bool up, const QString& name = QString())
{
    return KMacroItem(KMacroItem::KeyboardKey, usage, 0, up, name);
}
KMacroItem delay(int ms) { return KMacroItem(KMacroItem::Delay, ms, 0, false, QString()); }
KMacroItem move(int x, int y) { return KMacroItem(KMacroItem::Pointer, x, y, false, QString()); }

QString reportText(const QByteArray& bytes)
{
    QString out;
    for (char c : bytes)
        out.append(QChar(quint8(c)));
    return out;
}

QByteArray stateReport(std::initializer_list<int> head)
{
    QByteArray report(128, '\0');
    int i = 0;
    for (int v : head)
        report[i++] = char(v);
    return report;
}

int countOf(const QList<int>& sleeps, int ms)
{
    return int(std::count(sleeps.begin(), sleeps.end(), ms));
}

} // namespace

class TestQuenbyKeyboard : public QObject
{
    Q_OBJECT

private:
    FDeviceQuenby_8a* createDevice() { return m_fixture->createDevice(); }
    FDeviceQuenby_8a* openDevice() { return m_fixture->openDevice(); }
    QList<quint32> writtenRegisters() const { return m_fixture->writtenRegisters(); }

private slots:
    void init()
    {
        m_fixture = std::make_unique<QuenbyKeyboardFixture>();
        QVERIFY(m_fixture->isPlugged());
        m_bus = m_fixture->bus();
        m_keyboard = m_fixture->keyboard();
    }

    void cleanup()
    {
        QVERIFY(m_fixture->removeDevice());
        m_keyboard = nullptr;
        m_bus = nullptr;
        m_fixture.reset();
    }

    void factoryCreatesTheKeyboard()
    {
        QVERIFY(createDevice());
        QVERIFY(!HDeviceManager::instance()->createDevice(DeviceIds::kKeyboardWireless));
        QCOMPARE(HDeviceManager::instance()->getDevice(-1), HDeviceManager::instance()->getDevice(kPid));
        FDeviceQuenby_8a* device = createDevice();
        QCOMPARE(device->getLayout()->value(QStringLiteral("deviceName")).toString(), QStringLiteral("ZEPHRA"));
        QCOMPARE(device->getMacroBufferSize(), 256);
    }

    // The simulated keyboard as it comes from the factory is on its cable: opening it announces no mode change.
    void factoryKeyboardOpensInItsOwnMode()
    {
        FDeviceQuenby_8a* device = createDevice();
        QSignalSpy modes(device, &KBaseDevice::sigCurrentModeChange);
        QVERIFY(device->initDevice());
        QCOMPARE(modes.size(), 0);
    }

    void opening_data()
    {
        QTest::addColumn<int>("openFailures");
        QTest::addColumn<int>("modeRegister");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<int>("retryPauses");
        QTest::addColumn<QList<int>>("modeSignals");
        QTest::newRow("first try, program mode") << 0 << 2 << true << 0 << QList<int>{1};
        QTest::newRow("first try, keyboard mode") << 0 << 4 << true << 0 << QList<int>{};
        QTest::newRow("sixth try counts") << 5 << 0 << true << 5 << QList<int>{1};
        QTest::newRow("never opens") << 6 << 0 << false << 5 << QList<int>{};
    }

    void opening()
    {
        QFETCH(int, openFailures);
        QFETCH(int, modeRegister);
        QFETCH(bool, opened);
        QFETCH(int, retryPauses);
        QFETCH(QList<int>, modeSignals);
        m_keyboard->setRegister(kRegModeRegister, quint8(modeRegister));
        if (openFailures > 0)
            m_bus->bus()->failNext(m_keyboard->busDeviceId(), SimBus::Fault::OpenWrite, openFailures, 0);
        FDeviceQuenby_8a* device = createDevice();
        QSignalSpy modes(device, &KBaseDevice::sigCurrentModeChange);
        QCOMPARE(device->initDevice(), opened);
        QCOMPARE(countOf(Platform::recordedSleeps(), 1000), retryPauses);
        QList<int> seen;
        for (const auto& args : modes)
            seen << args.at(0).toInt();
        QCOMPARE(seen, modeSignals);
        if (opened)
            QCOMPARE(device->configImage().header(Quenby8aConfigImage::kHeaderModeRegister), quint8(modeRegister));
    }

    void unreadableModeRegisterFailsTheOpening()
    {
        m_keyboard->setStuckStatus(SimQuenby::StatusError);
        FDeviceQuenby_8a* device = createDevice();
        QVERIFY(!device->initDevice());
        // Reopening uses the same channel: the first opening leaves it open, the second closes and reopens it.
        m_keyboard->setStuckStatus(-1);
        QVERIFY(device->initDevice());
    }

    void lightSetters_data()
    {
        QTest::addColumn<QString>("setter");
        QTest::addColumn<int>("value");
        QTest::addColumn<QList<quint32>>("registers");
        QTest::addColumn<int>("raw");
        const QList<quint32> mode = {kRegLightMode, kRegLightModeCopy};
        const QList<quint32> speed = {kRegSpeed, kRegSpeedCopy};
        const QList<quint32> brightness = {kRegBrightness, kRegBrightnessCopy};
        QTest::newRow("mode 2") << "mode" << 2 << mode << 3;
        QTest::newRow("mode 6") << "mode" << 6 << mode << 7;
        QTest::newRow("speed 0") << "speed" << 0 << speed << 4;
        QTest::newRow("speed 4") << "speed" << 4 << speed << 0;
        QTest::newRow("brightness 3") << "brightness" << 3 << brightness << 3;
        QTest::newRow("logo 2") << "logo" << 2 << QList<quint32>{kRegLogoMode} << 2;
        // Values the layout does not allow never reach the device.
        QTest::newRow("mode 7") << "mode" << 7 << QList<quint32>{} << -1;
        QTest::newRow("mode -1") << "mode" << -1 << QList<quint32>{} << -1;
        QTest::newRow("speed 5") << "speed" << 5 << QList<quint32>{} << -1;
        QTest::newRow("speed -1") << "speed" << -1 << QList<quint32>{} << -1;
        QTest::newRow("brightness 4") << "brightness" << 4 << QList<quint32>{} << -1;
        QTest::newRow("logo 256") << "logo" << 256 << QList<quint32>{} << -1;
    }

    void lightSetters()
    {
        QFETCH(QString, setter);
        QFETCH(int, value);
        QFETCH(QList<quint32>, registers);
        QFETCH(int, raw);
        FDeviceQuenby_8a* device = openDevice();
        QVERIFY(device);
        bool ok = false;
        if (setter == "mode")
            ok = device->setLightModel(value, 0);
        else if (setter == "speed")
            ok = device->setLightSpeed(value, 0);
        else if (setter == "brightness")
            ok = device->setLightBrightness(value, 0);
        else
            ok = device->setLogoLightMode(value, 0);
        QCOMPARE(ok, !registers.isEmpty());
        QCOMPARE(writtenRegisters(), registers);
        for (quint32 reg : registers)
            QCOMPARE(int(m_keyboard->registerValue(reg)), raw);
        if (registers.size() == 2)
            QCOMPARE(Platform::recordedSleeps(), (QList<int>{100, 10, 100}));
    }

    void failedFirstCopySkipsTheSecond()
    {
        FDeviceQuenby_8a* device = openDevice();
        QVERIFY(device);
        m_keyboard->failWritesAt(kRegLightMode);
        QVERIFY(!device->setLightModel(2, 0));
        for (const auto& command : m_keyboard->commands())
            QCOMPARE(command.reg, quint32(kRegLightMode));
        QCOMPARE(m_keyboard->commands().size(), 3);

        // The second copy failing fails the setter too.
        m_keyboard->clearFaults();
        m_keyboard->failWritesAt(kRegSpeedCopy);
        QVERIFY(!device->setLightSpeed(1, 0));
        QCOMPARE(int(m_keyboard->registerValue(kRegSpeed)), 3);
    }

    void lightGetters()
    {
        FDeviceQuenby_8a* device = openDevice();
        QVERIFY(device);
        m_keyboard->setRegister(kRegLightMode, 5);
        m_keyboard->setRegister(kRegSpeed, 4);
        m_keyboard->setRegister(kRegBrightness, 2);
        m_keyboard->setRegister(kRegLogoMode, 1);
        QCOMPARE(device->getLightModel(0), 4);
        QCOMPARE(device->getLightSpeed(0), 0);
        QCOMPARE(device->getLightBrightness(0), 2);
        QCOMPARE(device->getLogoLightMode(0), 1);
        QCOMPARE(m_keyboard->commands().first().length, 4);  // the mode register is read four bytes wide
        const Quenby8aConfigImage image = device->configImage();
        QCOMPARE(image.header(Quenby8aConfigImage::kHeaderLightMode), quint8(1));
        QCOMPARE(image.header(Quenby8aConfigImage::kHeaderSpeed), quint8(4));
        QCOMPARE(image.header(Quenby8aConfigImage::kHeaderBrightness), quint8(2));

        m_keyboard->setStuckStatus(SimQuenby::StatusBusy);
        QCOMPARE(device->getLightModel(0), -1);
        QCOMPARE(device->getLightSpeed(0), -1);
        QCOMPARE(device->getFwVersion(), -1);
        m_keyboard->setStuckStatus(-1);
        QCOMPARE(device->getFwVersion(), 116);
    }

    void keyBrightness()
    {
        FDeviceQuenby_8a* device = openDevice();
        QVERIFY(device);
        QVERIFY(device->setKeyBrightness(KKey(14), 3));
        QCOMPARE(int(m_keyboard->keyBrightnessAt(0)), 75);
        QVERIFY(device->setKeyBrightness(KKey(139), 10));
        QCOMPARE(int(m_keyboard->keyBrightnessAt(positionOfKey(139))), 250);
        QCOMPARE(device->configImage().keyBrightness(positionOfKey(139)), quint8(10));

        m_keyboard->clearCommands();
        QVERIFY(!device->setKeyBrightness(KKey(14), 11));
        QVERIFY(!device->setKeyBrightness(KKey(14), -1));
        QVERIFY(!device->setKeyBrightness(KKey(99), 1));
        QVERIFY(m_keyboard->commands().isEmpty());

        m_keyboard->setMemory(kRegKeyBrightness + quint32(positionOfKey(15)), QByteArray(1, char(80)));
        const H_KEYLIGHT lights = device->getKeyBrightness();
        QCOMPARE(lights.size(), 84);
        QCOMPARE(lights.value(KKey(14)).brightness(), 3);
        QCOMPARE(lights.value(KKey(15)).brightness(), 3);
        QCOMPARE(lights.value(KKey(139)).brightness(), 10);
        QCOMPARE(lights.value(KKey(139)).key(), 139);
        QVERIFY(!lights.contains(KKey(26)));

        m_keyboard->failCommands(1, SimQuenby::StatusError, 2);
        QVERIFY(device->getKeyBrightness().isEmpty());
    }

    void interruptReports_data()
    {
        QTest::addColumn<QByteArray>("report");
        QTest::addColumn<QList<int>>("change");
        QTest::addColumn<int>("mode");
        QByteArray usbMode = stateReport({6, 0, 3, 2, 1, 0, 4, 0, 0, 0, 0, 0, 0, 0, 1});
        QTest::newRow("keyboard's own mode") << usbMode << QList<int>{2, 2, 3, 1} << 0;
        QByteArray programMode = stateReport({6, 0, 3, 2, 1, 0, 0, 0, 5, 1, 0, 0, 0, 0, 1});
        QTest::newRow("program mode: second bank") << programMode << QList<int>{4, 1, 4, 1} << 1;
        QTest::newRow("ignored kind") << stateReport({6, 1, 3, 2, 1, 0, 4}) << QList<int>{} << -1;
        QTest::newRow("other report id") << stateReport({5, 0, 3, 2, 1, 0, 4}) << QList<int>{} << -1;
        QTest::newRow("short report") << usbMode.left(14) << QList<int>{} << -1;
        QTest::newRow("empty report") << QByteArray() << QList<int>{} << -1;
    }

    void interruptReports()
    {
        QFETCH(QByteArray, report);
        QFETCH(QList<int>, change);
        QFETCH(int, mode);
        FDeviceQuenby_8a device;
        QSignalSpy changes(&device, &KBaseDevice::sigcurrentChange);
        QSignalSpy modes(&device, &KBaseDevice::sigCurrentModeChange);
        device.onInterruptData(reportText(report));
        QCOMPARE(changes.size(), change.isEmpty() ? 0 : 1);
        QCOMPARE(modes.size(), mode < 0 ? 0 : 1);
        if (!change.isEmpty()) {
            QList<int> args;
            for (const QVariant& v : changes.first())
                args << v.toInt();
            QCOMPARE(args, change);
            QCOMPARE(modes.first().at(0).toInt(), mode);
        }
    }

    // The reader thread started by the opening delivers the keyboard's own changes on the GUI thread.
    void liveReportsFromTheReader()
    {
        FDeviceQuenby_8a* device = openDevice();
        QVERIFY(device);
        QSignalSpy changes(device, &KBaseDevice::sigcurrentChange);
        m_keyboard->setRegister(kRegModeRegister, 4);
        // Wait until the reader has its channel open: the first pushes may find nobody listening.
        WAIT_VERIFY(
            [&] {
                if (changes.isEmpty())
                    m_keyboard->changeLightsOnKeyboard(3, 2, 1, 1);
                return !changes.isEmpty();
            }());
        QCOMPARE(changes.first().at(0).toInt(), 2);
        QCOMPARE(changes.first().at(1).toInt(), 2);
        QCOMPARE(changes.first().at(2).toInt(), 3);
        QCOMPARE(changes.first().at(3).toInt(), 1);
    }

    // A reopen while the reader of the last open still runs: the reader ends after its read failures and
    // live reports start again once it has ended (start() on a running thread would do nothing).
    void readerRestartsAfterReopen()
    {
        FDeviceQuenby_8a* device = openDevice();
        QVERIFY(device);
        QSignalSpy changes(device, &KBaseDevice::sigcurrentChange);
        m_keyboard->setRegister(kRegModeRegister, 4);
        WAIT_VERIFY(m_bus->bus()->blockedReads() > 0);
        // The reads after the blocked one fail until the reader gives up.
        m_bus->bus()->failNext(m_keyboard->busDeviceId(), SimBus::Fault::Read,
                               KInterruptReadLoop::kMaxReadFailures, 1);
        QVERIFY(device->initDevice());
        m_keyboard->changeLightsOnKeyboard(3, 2, 1, 1);
        WAIT_VERIFY(!changes.isEmpty());
        changes.clear();
        // The old reader ends and a new one waits for reports.
        WAIT_VERIFY(
            [&] {
                if (changes.isEmpty() && m_bus->bus()->blockedReads() > 0)
                    m_keyboard->changeLightsOnKeyboard(1, 3, 2, 0);
                return !changes.isEmpty();
            }());
        QCOMPARE(changes.last().at(1).toInt(), 3);
    }

    void keysAndDefaults()
    {
        FDeviceQuenby_8a* device = openDevice();
        QVERIFY(device);
        m_keyboard->setKeyFunctionAt(0, SimKeyFunction::disabled());
        m_keyboard->setKeyFunctionAt(positionOfKey(16), SimKeyFunction::macro(7));
        m_keyboard->setKeyFunctionAt(positionOfKey(17), SimKeyFunction::combination(5, 4));

        QMap<KKey, KKeyModelItem> keys = device->getKeys();
        QCOMPARE(keys.size(), 84);
        QVERIFY(!keys.contains(KKey(26)) && !keys.contains(KKey(113)));
        QCOMPARE(keys.value(KKey(14)).getType(), -1);
        QCOMPARE(keys.value(KKey(14)).getKey(), 14);
        QCOMPARE(keys.value(KKey(16)).getType(), 29);
        QCOMPARE(keys.value(KKey(17)).getType(), 48);
        QCOMPARE(keys.value(KKey(17)).getValue3(), 5);
        QCOMPARE(keys.value(KKey(17)).getValue4(), 4);
        QCOMPARE(keys.value(KKey(101)).getType(), 179);
        QCOMPARE(keys.value(KKey(15)).getType(), 107);
        QCOMPARE(device->macroSlots().value(7), 16);

        // Null gives a key its own function back.
        m_keyboard->clearCommands();
        QVERIFY(device->setKeyFunction(KKey(14), KFuncNull, QVariant(), QVariant(), QVariant()));
        QCOMPARE(m_keyboard->appliedWrites().size(), 1);
        QCOMPARE(m_keyboard->appliedWrites().first().reg, quint32(kRegKeyTable));
        QCOMPARE(m_keyboard->appliedWrites().first().data, QByteArray::fromHex("00002900"));
        QCOMPARE(device->getKeys().value(KKey(14)).getType(), 95);
        QCOMPARE(device->configImage().keyCode(0), KKeyCode(0, 0x29));

        // A key that stops playing a macro frees its slot; a refreshed read agrees.
        QVERIFY(device->setKeyFunction(KKey(16), KFuncNull, QVariant(), QVariant(), QVariant()));
        QCOMPARE(device->macroSlots().value(7), -1);
    }

    void setKeyFunctionWrites_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("function");
        QTest::addColumn<QVariant>("a");
        QTest::addColumn<QVariant>("b");
        QTest::addColumn<SimKeyFunction>("expected");
        QTest::newRow("ISO key to null") << 26 << int(KFuncNull) << QVariant() << QVariant() << SimKeyFunction::none();
        QTest::newRow("macro slot 5") << 14 << int(KFuncMacro) << QVariant(5) << QVariant() << SimKeyFunction::macro(5);
        QTest::newRow("ctrl+alt+A") << 139 << int(KFuncCtrlAlt) << QVariant(5) << QVariant(4)
                                    << SimKeyFunction::combination(5, 4);
        QTest::newRow("keyboard key") << 14 << int(KFuncKeyboardKey) << QVariant() << QVariant(0x64)
                                      << SimKeyFunction::key(0x64);
        QTest::newRow("mute") << 128 << int(KFuncMute) << QVariant() << QVariant() << SimKeyFunction::consumer(0xE2);
        QTest::newRow("middle button") << 14 << int(KFuncMouseMiddle) << QVariant() << QVariant()
                                       << SimKeyFunction::mouseButton(4);
        QTest::newRow("Fn elsewhere") << 14 << int(KFuncFn) << QVariant() << QVariant() << SimKeyFunction::fn();
    }

    void setKeyFunctionWrites()
    {
        QFETCH(int, key);
        QFETCH(int, function);
        QFETCH(QVariant, a);
        QFETCH(QVariant, b);
        QFETCH(SimKeyFunction, expected);
        FDeviceQuenby_8a* device = openDevice();
        QVERIFY(device);
        QVERIFY(device->setKeyFunction(KKey(key), KKeyFunction(function), a, b, QVariant()));
        QCOMPARE(m_keyboard->keyFunctionOfKey(key), expected);
    }

    void setKeyFunctionRefusals_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("function");
        QTest::addColumn<QVariant>("a");
        QTest::newRow("right Win has no code") << 14 << int(KFuncWinRKey) << QVariant();
        QTest::newRow("K42 function") << 14 << int(KFuncK42Key) << QVariant();
        QTest::newRow("DPI cycle") << 14 << int(KFuncDpiCycle) << QVariant();
        QTest::newRow("function 500") << 14 << 500 << QVariant();
        QTest::newRow("macro slot 20") << 14 << int(KFuncMacro) << QVariant(20);
        QTest::newRow("macro slot -1") << 14 << int(KFuncMacro) << QVariant(-1);
        QTest::newRow("key not on the keyboard") << 99 << int(KFuncKeysFirst) << QVariant();
        QTest::newRow("mouse button key") << 0 << int(KFuncKeysFirst) << QVariant();
    }

    void setKeyFunctionRefusals()
    {
        QFETCH(int, key);
        QFETCH(int, function);
        QFETCH(QVariant, a);
        FDeviceQuenby_8a* device = openDevice();
        QVERIFY(device);
        const QByteArray before = m_keyboard->keyTable();
        QVERIFY(!device->setKeyFunction(KKey(key), KKeyFunction(function), a, QVariant(), QVariant()));
        QVERIFY(m_keyboard->commands().isEmpty());
        QCOMPARE(m_keyboard->keyTable(), before);
    }

    void failedKeyWriteKeepsState()
    {
        FDeviceQuenby_8a* device = openDevice();
        QVERIFY(device);
        int slot = -1;
        QVERIFY(device->checkMacroId(14, &slot));
        QVERIFY(device->setKeyFunction(KKey(14), KFuncMacro, slot, QVariant(), QVariant()));
        m_keyboard->failWritesAt(kRegKeyTable);
        QVERIFY(!device->setKeyFunction(KKey(14), KFuncKeysFirst, QVariant(), QVariant(), QVariant()));
        QCOMPARE(device->macroSlots().value(slot), 14);
        QCOMPARE(device->configImage().keyCode(0), KKeyCode(KKeyCode::kMacro, quint8(slot)));
    }

    void macroSlots()
    {
        FDeviceQuenby_8a* device = openDevice();
        QVERIFY(device);
        // Twenty keys take the twenty slots in order; a key asking again keeps its own.
        QList<int> keys;
        for (int pos = 0; keys.size() < kMacroSlots; ++pos) {
            const int k = keyAtPosition(pos);
            if (k != kEmptyPosition)
                keys << k;
        }
        for (int i = 0; i < keys.size(); ++i) {
            int slot = -1;
            QVERIFY(device->checkMacroId(keys.at(i), &slot));
            QCOMPARE(slot, i);
        }
        int slot = -1;
        QVERIFY(device->checkMacroId(keys.at(7), &slot));
        QCOMPARE(slot, 7);
        // Nothing left for a new key.
        slot = -1;
        QVERIFY(!device->checkMacroId(139, &slot));
        QCOMPARE(slot, -1);
        // A key taking another function frees its slot for the next one.
        QVERIFY(device->setKeyFunction(KKey(keys.at(3)), KFuncKeysFirst, QVariant(), QVariant(), QVariant()));
        QVERIFY(device->checkMacroId(139, &slot));
        QCOMPARE(slot, 3);
        // A macro function keeps what the key holds and records the slot it now plays.
        QVERIFY(device->setKeyFunction(KKey(139), KFuncMacro, 5, QVariant(), QVariant()));
        QCOMPARE(m_keyboard->keyFunctionOfKey(139), SimKeyFunction::macro(5));
        QCOMPARE(device->macroSlots().value(3), 139);
        QCOMPARE(device->macroSlots().value(5), 139);
        // The device's key table is what counts: a fresh read forgets assignments it does not hold.
        QVERIFY(!device->getKeys().isEmpty());
        const QMap<int, int> held = device->macroSlots();
        for (auto it = held.cbegin(); it != held.cend(); ++it)
            QCOMPARE(it.value(), it.key() == 5 ? 139 : -1);
    }

    void macroFilter_data()
    {
        QTest::addColumn<QVector<KMacroItem>>("events");
        QTest::addColumn<QVector<KMacroItem>>("expected");
        const KMacroItem pressA = key(4, false, "A"), releaseA = key(4, true, "A");
        const KMacroItem pressB = key(5, false, "B"), releaseB = key(5, true, "B");
        QTest::newRow("release before its press") << QVector<KMacroItem>{releaseB, pressA}
                                                  << QVector<KMacroItem>{pressA, releaseA};
        QTest::newRow("balanced") << QVector<KMacroItem>{pressA, delay(20), releaseA}
                                  << QVector<KMacroItem>{pressA, delay(20), releaseA};
        QTest::newRow("trailing delay") << QVector<KMacroItem>{pressA, releaseA, delay(50)}
                                        << QVector<KMacroItem>{pressA, releaseA};
        QTest::newRow("two held keys")
            << QVector<KMacroItem>{pressA, pressB, releaseB}
            << QVector<KMacroItem>{pressA, pressB, releaseB, releaseA};
        QTest::newRow("delay keeps a release")
            << QVector<KMacroItem>{pressA, delay(30), releaseA, delay(30)}
            << QVector<KMacroItem>{pressA, delay(30), releaseA};
    }

    void macroFilter()
    {
        QFETCH(QVector<KMacroItem>, events);
        QFETCH(QVector<KMacroItem>, expected);
        FDeviceQuenby_8a device;
        int out = 0;
        QVERIFY(device.macroFilter(events, &out));
        QCOMPARE(events, expected);
        QVector<KMacroItem> empty;
        QVERIFY(!device.macroFilter(empty, &out));
    }

    void macroRecords()
    {
        FDeviceQuenby_8a* device = openDevice();
        QVERIFY(device);
        const QVector<KMacroItem> pressA = {key(0x04, false), delay(10), key(0x04, true), delay(40)};
        QCOMPARE(device->setMacro(false, MacroPlayCycles, pressA, 3, 2), 1);
        QCOMPARE(m_keyboard->macroRecord(2).left(10), QByteArray::fromHex("0a000300330004500004"));
        QCOMPARE(m_keyboard->appliedWrites().first().reg, quint32(kRegMacroRecords + 2 * 512));

        // Key events and moves mixed: each event right after the one before it.
        const QVector<KMacroItem> mixed = {key(0x04, false), delay(30), move(-5, 10), delay(40), key(0x04, true),
                                           key(0x05, false), move(3, -3), key(0x05, true)};
        QCOMPARE(device->setMacro(false, MacroPlayWhilePressed, mixed, 1, 19), 1);
        const SimMacroRecord record = m_keyboard->decodeMacro(19);
        QVERIFY2(record.valid, qPrintable(record.error));
        QCOMPARE(record.playType, int(SimMacroRecord::WhileHeld));
        const QList<SimMacroEvent> expected = {
            SimMacroEvent::key(0x04, true, 30), SimMacroEvent::move(-5, 10, 40), SimMacroEvent::key(0x04, false),
            SimMacroEvent::key(0x05, true),     SimMacroEvent::move(3, -3),      SimMacroEvent::key(0x05, false)};
        QCOMPARE(record.events, expected);
        QCOMPARE(record.endOffset, 4 + 4 * 3 + 2 * 6);
    }

    void pressFlagDoesNotCarryOver()
    {
        FDeviceQuenby_8a* device = openDevice();
        QVERIFY(device);
        QCOMPARE(device->setMacro(false, MacroPlayCycles, {key(0x04, false), key(0x04, true)}, 1, 0), 1);
        // A list that starts with a move: its pause word takes the press bit of this list, not the last one's.
        QCOMPARE(device->setMacro(false, MacroPlayCycles, {move(1, 1), delay(100), key(0x04, false)}, 1, 1), 1);
        QCOMPARE(m_keyboard->macroRecord(1).mid(4, 2), QByteArray::fromHex("c900"));
    }

    void oversizeMacroWritesNothing()
    {
        FDeviceQuenby_8a* device = openDevice();
        QVERIFY(device);
        QVector<KMacroItem> events;
        for (int i = 0; i < 256; ++i)
            events << key(0x04, i % 2);
        const QByteArray before = m_keyboard->macroRecord(0);
        QCOMPARE(device->setMacro(false, MacroPlayCycles, events, 1, 0), -1);
        QCOMPARE(device->setMacro(false, MacroPlayCycles, {key(0x04, false)}, 1, 20), -1);
        QVERIFY(m_keyboard->commands().isEmpty());
        QCOMPARE(m_keyboard->macroRecord(0), before);

        // A failed chunk ends the write with -1.
        m_keyboard->failWritesAt(kRegMacroRecords + 56);
        events.resize(40);
        QCOMPARE(device->setMacro(false, MacroPlayCycles, events, 1, 0), -1);
        QCOMPARE(m_keyboard->appliedWrites().size(), 1);
    }

private:
    std::unique_ptr<QuenbyKeyboardFixture> m_fixture;
    SimBusFixture* m_bus = nullptr;
    SimQuenbyKeyboard* m_keyboard = nullptr;
};

QTEST_GUILESS_MAIN(TestQuenbyKeyboard)
#include "tst_quenbykeyboard.moc"
