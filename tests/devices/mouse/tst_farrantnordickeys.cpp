// Keys and macros of the register mice against the simulated mouse: what each key line writes and how the
// mouse reads it back, the steps around a key write, the two reads of the key table, macro pages with their
// records as the mouse decodes them, and every refusal with nothing sent.

#include "LogCapture.h"
#include "RecordingServices.h"
#include "RegisterMouseFixture.h"

#include "common/DeviceIds.h"
#include "devices/mouse/register/FarrantNordicKeyCodec.h"
#include "devices/mouse/register/FarrantNordicModels.h"
#include "devices/mouse/register/KDeviceFarrant_Nordic.h"
#include "hid/FarrantInterruputRead.h"
#include "hid/KInterruptReadLoop.h"
#include "models/keys/KKeyModel.h"
#include "models/keys/KKeyModelItem.h"
#include "models/keys/MacroPlayType.h"
#include "platform/sys/PlatformTime.h"
#include "TestWait.h"

#include <QtTest>

#include <memory>

using namespace FarrantNordic;
using Button = SimMouseButton;
using FunctionMap = QMap<int, int>;

Q_DECLARE_METATYPE(SimMouseButton)
Q_DECLARE_METATYPE(SimMacroEvent)

namespace {

quint8 addressOf(quint16 pid)
{
    return modelRow(pid)->address;
}

KMacroItem key(int usage, bool up) { return KMacroItem(KMacroItem::KeyboardKey, usage, 0, up, QStringLiteral("K%1").arg(usage)); }
KMacroItem delay(int ms) { return KMacroItem(KMacroItem::Delay, ms, 0, false, QString()); }
KMacroItem move(int x, int y) { return KMacroItem(KMacroItem::Pointer, x, y, false, QString()); }
KMacroItem button(int b, bool up) { return KMacroItem(KMacroItem::MouseButton, b, 0, up, QStringLiteral("B%1").arg(b)); }

} // namespace

class TestFarrantNordicKeys : public QObject
{
    Q_OBJECT

private slots:
    void setKey_data();
    void setKey();
    void refusedKeys_data();
    void refusedKeys();
    void getKeys_data();
    void getKeys();
    void getKeysFails_data();
    void getKeysFails();
    void macroPages_data();
    void macroPages();
    void refusedMacros_data();
    void refusedMacros();
    void failedChunk();
    void macroChecks();
    void keyItemFollowsTheWrite();

private:
    KDeviceFarrant_Nordic* open(RegisterMouseFixture& fixture)
    {
        return qobject_cast<KDeviceFarrant_Nordic*>(fixture.openDevice());
    }
};

// One key write per line: the code the mouse now holds, whether key 0 first gave up its press macros, and
// whether the game-mode step followed the write.
void TestFarrantNordicKeys::setKey_data()
{
    QTest::addColumn<quint16>("pid");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("function");
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<SimMouseButton>("stored");
    QTest::addColumn<bool>("pressMacroCleared");
    QTest::addColumn<bool>("gameModeAfter");

    const quint16 root = DeviceIds::kJarrowNordic, kn = DeviceIds::kKelhamNordicWireless,
                  yarrin = DeviceIds::kYarrin, kelham = DeviceIds::kKelham, farrant = DeviceIds::kFarrant;
    QTest::newRow("root: Null on DPI- restores DPI-") << root << 6 << 0 << 0 << 0 << Button::dpi(Button::DpiDown) << false << true;
    QTest::newRow("maldon: Null on DPI- clears it") << kn << 6 << 0 << 0 << 0 << Button::key(0) << false << false;
    QTest::newRow("yarrin: Null on DPI-") << yarrin << 6 << 0 << 0 << 0 << Button::dpi(Button::DpiDown) << false << false;
    QTest::newRow("kelham: Null on DPI- fires") << kelham << 6 << 0 << 0 << 0 << Button::fire() << false << false;
    QTest::newRow("farrant: Null on DPI-") << farrant << 6 << 0 << 0 << 0 << Button::dpi(Button::DpiDown) << false << false;
    QTest::newRow("root: Ctrl+Shift on key 0") << root << 0 << 30 << 3 << 4 << Button::combination(3, 4) << true << true;
    QTest::newRow("maldon: key 0 clears press macros") << kn << 0 << 11 << 0 << 0 << Button::buttons(Button::Right) << true << false;
    QTest::newRow("kelham: key 0 keeps press macros") << kelham << 0 << 11 << 0 << 0 << Button::buttons(Button::Right) << false << false;
    QTest::newRow("yarrin: forward key gets a macro") << yarrin << 3 << 29 << 5 << 0 << Button::macro(5) << false << false;
    QTest::newRow("farrant: keyboard key") << farrant << 7 << 42 << 0 << 0x2C << Button::key(0x2C) << false << false;
    QTest::newRow("root: disabled") << root << 12 << -1 << 0 << 0 << Button::disabled() << false << true;
}

void TestFarrantNordicKeys::setKey()
{
    QFETCH(quint16, pid);
    QFETCH(int, key);
    QFETCH(int, function);
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(SimMouseButton, stored);
    QFETCH(bool, pressMacroCleared);
    QFETCH(bool, gameModeAfter);

    RegisterMouseFixture fixture(pid, addressOf(pid));
    KDeviceFarrant_Nordic* mouse = open(fixture);
    QVERIFY(mouse);
    fixture.mouse()->setRegister(kRegOled + 2, 2);  // two press macros on the main button
    fixture.mouse()->setGameMode(0);
    mouse->getGameMode();
    fixture.mouse()->clearCommands();

    QVERIFY(mouse->setKeyFunction(KKey(key), KKeyFunction(function), a, b, QVariant()));
    QCOMPARE(fixture.mouse()->buttonFunction(key), stored);
    QCOMPARE(fixture.mouse()->definedPressMacro(), pressMacroCleared ? 0 : 2);

    // Every packet went to this model's address; the game-mode packet follows the key write or not at all.
    const auto commands = fixture.mouse()->commands();
    int keyWrite = -1;
    int gameMode = -1;
    for (int i = 0; i < commands.size(); ++i) {
        QCOMPARE(commands[i].address, addressOf(pid));
        if (commands[i].isWrite() && commands[i].reg >= kKeyTableAddress && commands[i].reg < kKeyTableAddress + 44)
            keyWrite = i;
        if (commands[i].command == kCmdSetGameMode)
            gameMode = i;
    }
    QVERIFY(keyWrite >= 0);
    QCOMPARE(gameMode > keyWrite, gameModeAfter);
    QCOMPARE(gameMode >= 0, gameModeAfter);
}

// Refused before anything is sent: a key outside the line's table, a function without a code, a macro slot
// the table cannot hold.
void TestFarrantNordicKeys::refusedKeys_data()
{
    QTest::addColumn<quint16>("pid");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("function");
    QTest::addColumn<int>("a");

    QTest::newRow("root: forward has no entry") << DeviceIds::kJarrowNordic << 3 << 9 << 0;
    QTest::newRow("root: DPI cycle has no entry") << DeviceIds::kHebden << 13 << 9 << 0;
    QTest::newRow("yarrin: custom button 3 has no entry") << DeviceIds::kZennor << 9 << 9 << 0;
    QTest::newRow("root: key 0 with a function without code") << DeviceIds::kJarrowNordic << 0 << 5 << 0;
    QTest::newRow("maldon: key 0 with a keyboard-key function") << DeviceIds::kKelhamNordic << 0 << 60 << 0;
    QTest::newRow("root: macro slot 11") << DeviceIds::kJarrowNordic << 1 << 29 << 11;
}

void TestFarrantNordicKeys::refusedKeys()
{
    QFETCH(quint16, pid);
    QFETCH(int, key);
    QFETCH(int, function);
    QFETCH(int, a);
    RegisterMouseFixture fixture(pid, addressOf(pid));
    KDeviceFarrant_Nordic* mouse = open(fixture);
    QVERIFY(mouse);
    fixture.mouse()->setRegister(kRegOled + 2, 2);

    QVERIFY(!mouse->setKeyFunction(KKey(key), KKeyFunction(function), a, 0, QVariant()));
    QVERIFY(fixture.mouse()->commands().isEmpty());
    QCOMPARE(fixture.mouse()->definedPressMacro(), 2);
}

void TestFarrantNordicKeys::getKeys_data()
{
    QTest::addColumn<quint16>("pid");
    QTest::addColumn<bool>("pause");
    QTest::addColumn<FunctionMap>("functions");

    QTest::newRow("root") << DeviceIds::kJarrowNordic << true
                          << QMap<int, int>{{0, 9}, {2, 10}, {1, 11}, {5, 39}, {6, 40}, {7, 14}, {8, 15}, {9, 16},
                                            {10, 17}, {11, 37}, {12, 38}};
    QTest::newRow("farrant") << DeviceIds::kFarrant << true
                             << QMap<int, int>{{0, 9}, {2, 10}, {1, 11}, {5, 39}, {6, 40}, {7, 14}, {8, 15}, {9, 16},
                                               {10, 17}, {11, 37}, {12, 38}};
    // The Maldon line reads the custom buttons 1 and 2 as forward and back; its empty entries as keyboard keys.
    QTest::newRow("maldon") << DeviceIds::kKelhamNordicWireless << false
                            << QMap<int, int>{{0, 9}, {2, 10}, {1, 11}, {5, 39}, {6, 42}, {7, 12}, {8, 13}, {9, 27},
                                              {10, 42}, {11, 37}, {12, 38}};
    QTest::newRow("kelham") << DeviceIds::kKelhamWireless << false
                            << QMap<int, int>{{0, 9}, {2, 10}, {1, 11}, {5, 36}, {6, 27}, {7, 12}, {8, 13}, {9, 42},
                                              {10, 42}, {11, 37}, {12, 38}};
    QTest::newRow("yarrin") << DeviceIds::kAbberlyWireless << false
                            << QMap<int, int>{{3, 12}, {6, 40}, {5, 39}, {7, 14}, {0, 9}, {8, 15}, {4, 13}, {2, 10},
                                              {1, 11}, {11, 37}, {12, 38}};
}

void TestFarrantNordicKeys::getKeys()
{
    QFETCH(quint16, pid);
    QFETCH(bool, pause);
    QFETCH(FunctionMap, functions);
    RegisterMouseFixture fixture(pid, addressOf(pid));
    KDeviceFarrant_Nordic* mouse = open(fixture);
    QVERIFY(mouse);

    const QMap<KKey, KKeyModelItem> keys = mouse->getKeys();
    QMap<int, int> read;
    for (auto it = keys.constBegin(); it != keys.constEnd(); ++it) {
        QCOMPARE(it.value().getKey(), int(it.key()));
        read.insert(it.key(), it.value().getType());
    }
    QCOMPARE(read, functions);
    // Values 1..4 are the entry's bytes.
    QCOMPARE(keys.value(KKey(0)).getValue1(), 3);
    QCOMPARE(keys.value(KKey(0)).getValue3(), 1);

    const auto commands = fixture.mouse()->commands();
    QCOMPARE(commands.size(), 2);
    QCOMPARE(commands[0].reg, quint32(0x600));
    QCOMPARE(commands[0].length, 24);
    QCOMPARE(commands[1].reg, quint32(0x618));
    QCOMPARE(Platform::recordedSleeps().contains(mouse->writeDelay()), pause);
    // The codes read are kept in the first 44 bytes of the configuration image.
    QCOMPARE(mouse->configImage().left(44), fixture.mouse()->memory(0x600, 44));
}

void TestFarrantNordicKeys::getKeysFails_data()
{
    QTest::addColumn<int>("after");
    QTest::newRow("first read") << 0;
    QTest::newRow("second read") << 1;
}

void TestFarrantNordicKeys::getKeysFails()
{
    QFETCH(int, after);
    RegisterMouseFixture fixture(DeviceIds::kJarrowNordic, kAddressWired);
    KDeviceFarrant_Nordic* mouse = open(fixture);
    QVERIFY(mouse);
    fixture.mouse()->failCommands(30, SimRegister::kStatusError, after);
    LogCapture log;
    QVERIFY(mouse->getKeys().isEmpty());
    QVERIFY(log.contains("[ERROR] getKeys:readCmd"));
}

// Records on their pages as the mouse decodes them, in 24-byte packets 10 ms apart, then the model's pause.
void TestFarrantNordicKeys::macroPages_data()
{
    QTest::addColumn<quint16>("pid");
    QTest::addColumn<int>("slot");
    QTest::addColumn<quint32>("page");

    QTest::newRow("slot 0") << DeviceIds::kJarrowNordic << 0 << quint32(0x1000);
    QTest::newRow("slot 3") << DeviceIds::kHebdenWireless << 3 << quint32(0x4000);
    QTest::newRow("slot 10") << DeviceIds::kYarrin << 10 << quint32(0xB000);
    QTest::newRow("press macro 1000") << DeviceIds::kKelhamNordic << 1000 << quint32(0x10000);
    QTest::newRow("press macro 1001") << DeviceIds::kFarrantWireless << 1001 << quint32(0x11000);
    QTest::newRow("press macro 1003") << DeviceIds::kGadsby << 1003 << quint32(0x13000);
}

void TestFarrantNordicKeys::macroPages()
{
    QFETCH(quint16, pid);
    QFETCH(int, slot);
    QFETCH(quint32, page);
    RegisterMouseFixture fixture(pid, addressOf(pid));
    KDeviceFarrant_Nordic* mouse = open(fixture);
    QVERIFY(mouse);

    // 4 + 10 * 3 + 6 = 40 bytes: two packets.
    QVector<KMacroItem> list{delay(100), button(1, false), delay(30), move(12, -7), delay(20)};
    for (int i = 0; i < 4; ++i)
        list << key(0x04 + i, false) << delay(5) << delay(5) << key(0x04 + i, true);
    list << button(1, true);
    QCOMPARE(mouse->setMacro(false, MacroPlayType(1), list, 2, slot), 1);

    const SimMacroRecord record = fixture.mouse()->macroPage(slot);
    QVERIFY2(record.valid, qPrintable(record.toString()));
    QCOMPARE(record.repeatCount, 2);
    QList<SimMacroEvent> events{SimMacroEvent::mouseButton(1, true, 30), SimMacroEvent::move(12, -7, 20)};
    for (int i = 0; i < 4; ++i)
        events << SimMacroEvent::key(0x04 + i, true, 10) << SimMacroEvent::key(0x04 + i, false);
    events << SimMacroEvent::mouseButton(1, false);
    QCOMPARE(record.events, events);

    const auto writes = fixture.appliedWrites();
    QCOMPARE(writes.size(), 2);
    QCOMPARE(writes[0].first, page);
    QCOMPARE(writes[0].second.size(), 24);
    QCOMPARE(writes[1].first, page + 24);
    QCOMPARE(writes[1].second.size(), record.endOffset - 24);
    // The model's reader runs on its own thread meanwhile: its pauses (between battery polls, open retries
    // and reads) are not the upload's.
    QList<int> sleeps = Platform::recordedSleeps();
    for (int readerPause : {FarrantInterruputRead::kBatteryPollMs, KInterruptReadLoop::kOpenRetryPauseMs,
                            KInterruptReadLoop::kReadPauseMs})
        sleeps.removeAll(readerPause);
    QCOMPARE(sleeps.count(10), 1);
    QCOMPARE(sleeps.last(), mouse->writeDelay());
}

void TestFarrantNordicKeys::refusedMacros_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("events");  // key presses and releases
    QTest::addColumn<int>("playType");

    QTest::newRow("slot -1") << -1 << 2 << 1;
    QTest::newRow("slot 11") << 11 << 2 << 1;
    QTest::newRow("slot 999") << 999 << 2 << 1;
    QTest::newRow("slot 1004") << 1004 << 2 << 1;
    QTest::newRow("over one page") << 0 << 1365 << 1;
    QTest::newRow("play type 5") << 0 << 2 << 5;
}

void TestFarrantNordicKeys::refusedMacros()
{
    QFETCH(int, slot);
    QFETCH(int, events);
    QFETCH(int, playType);
    RegisterMouseFixture fixture(DeviceIds::kJarrowNordic, kAddressWired);
    KDeviceFarrant_Nordic* mouse = open(fixture);
    QVERIFY(mouse);
    QVector<KMacroItem> list;
    for (int i = 0; i < events; ++i)
        list << key(0x04, i % 2);
    QCOMPARE(mouse->setMacro(false, MacroPlayType(playType), list, 1, slot), -1);
    QVERIFY(fixture.mouse()->commands().isEmpty());
}

void TestFarrantNordicKeys::failedChunk()
{
    RegisterMouseFixture fixture(DeviceIds::kJarrowNordic, kAddressWired);
    KDeviceFarrant_Nordic* mouse = open(fixture);
    QVERIFY(mouse);
    QVector<KMacroItem> list;
    for (int i = 0; i < 40; ++i)
        list << key(0x04, i % 2);  // 124 bytes: six packets
    fixture.mouse()->failWritesAt(0x4000 + 3 * 24);
    LogCapture log;
    QCOMPARE(mouse->setMacro(false, MacroPlayType(1), list, 1, 3), -1);
    QVERIFY(log.contains("setMacro error"));
    const auto writes = fixture.appliedWrites();
    QCOMPARE(writes.size(), 3);
    QCOMPARE(writes.last().first, quint32(0x4000 + 2 * 24));
}

void TestFarrantNordicKeys::macroChecks()
{
    RegisterMouseFixture fixture(DeviceIds::kJarrowNordic, kAddressWired);
    KDeviceFarrant_Nordic* mouse = open(fixture);
    QVERIFY(mouse);

    int slot = -5;
    QVERIFY(mouse->checkMacroId(7, &slot));
    QCOMPARE(slot, 3);
    for (int key : {3, 4, 13, -1, 14}) {
        slot = -5;
        QVERIFY(!mouse->checkMacroId(key, &slot));
        QCOMPARE(slot, -5);
    }

    // The last left button cannot be taken away; a second one, or a press macro on the first, frees it.
    std::unique_ptr<KKeyModelItem> left(new KKeyModelItem(0, 9, 0, 0, 0, 0, QString()));
    std::unique_ptr<KKeyModelItem> right(new KKeyModelItem(1, 11, 0, 0, 0, 0, QString()));
    std::unique_ptr<KKeyModelItem> side(new KKeyModelItem(7, 14, 0, 0, 0, 0, QString()));
    MouseUiState ui;
    ui.keyList = {QVariant::fromValue<QObject*>(left.get()), QVariant::fromValue<QObject*>(right.get()),
                  QVariant::fromValue<QObject*>(side.get())};
    mouse->session().setUiState(ui);
    QVERIFY(!mouse->checkLeftKey(0));
    QVERIFY(mouse->checkLeftKey(7));
    side->setType(9);
    QVERIFY(mouse->checkLeftKey(0));
    side->setType(14);
    fixture.mouse()->setRegister(kRegOled + 2, 1);
    QCOMPARE(mouse->getDefinedPressMacro(), 1);
    QVERIFY(mouse->checkLeftKey(0));

    QVector<KMacroItem> empty;
    QVERIFY(!mouse->macroFilter(empty, nullptr));
    QVector<KMacroItem> list{key(0x04, false), delay(10)};
    QVERIFY(mouse->macroFilter(list, nullptr));
    QCOMPARE(list, (QVector<KMacroItem>{key(0x04, false), delay(10), key(0x04, true)}));
}

// The key editor's item takes the code the mouse now holds, on the GUI thread and only once the write succeeded.
void TestFarrantNordicKeys::keyItemFollowsTheWrite()
{
    RecordingServices services;
    KKeyModel keys;
    KKeyModelItem* item = new KKeyModelItem(6, 40, 8, 0, 6, 0, QString(), &keys);
    keys.setKeyList({QVariant::fromValue<QObject*>(item)});
    services.setKeyModel(&keys);

    RegisterMouseFixture fixture(DeviceIds::kJarrowNordic, kAddressWired);
    KDeviceFarrant_Nordic* mouse = open(fixture);
    QVERIFY(mouse);
    fixture.mouse()->failWritesAt(0x610, 30);
    QVERIFY(!mouse->setKeyFunction(KKey(6), KKeyFunction(30), 3, 4, QVariant()));
    QCoreApplication::processEvents();
    QCOMPARE(item->getValue1(), 8);

    fixture.mouse()->clearFaults();
    QVERIFY(mouse->setKeyFunction(KKey(6), KKeyFunction(30), 3, 4, QVariant()));
    WAIT_COMPARE(item->getValue1(), 2);
    QCOMPARE(item->getValue2(), 0);
    QCOMPARE(item->getValue3(), 3);
    QCOMPARE(item->getValue4(), 4);
}

QTEST_MAIN(TestFarrantNordicKeys)
#include "tst_farrantnordickeys.moc"
