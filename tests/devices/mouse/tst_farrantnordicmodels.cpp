// The register mouse models, row by row: what each class sets and which variants it takes, checked against the
// model table and against the simulated mouse's own view of the same model (key order, factory key codes,
// DPI block, power-saving sense), which is written apart from the driver's tables.

#include "LogCapture.h"
#include "RecordingServices.h"
#include "RegisterMouseFixture.h"

#include "common/DeviceIds.h"
#include "devices/mouse/register/FarrantNordicKeyCodec.h"
#include "devices/mouse/register/FarrantNordicModels.h"
#include "devices/mouse/register/KDeviceFarrant_Nordic.h"
#include "platform/sys/PlatformTime.h"
#include "sim/mouse/register/SimRegisterModels.h"

#include <QtTest>

using namespace FarrantNordic;

class TestFarrantNordicModels : public QObject
{
    Q_OBJECT

private slots:
    void rows_data();
    void rows();
    void classes_data();
    void classes();
    void powerSaving_data();
    void powerSaving();
    void fiveStageDpi_data();
    void fiveStageDpi();
    void farrantWithoutInterface_data();
    void farrantWithoutInterface();
    void gameModeRefused_data();
    void gameModeRefused();
};

void TestFarrantNordicModels::rows_data()
{
    QTest::addColumn<int>("row");
    for (int i = 0; i < kModelCount; ++i)
        QTest::newRow(kModels[i].className) << i;
}

void TestFarrantNordicModels::rows()
{
    QFETCH(int, row);
    const ModelRow& model = kModels[row];
    const QString name = QString::fromLatin1(model.className);

    QCOMPARE(modelRow(model.pid), &model);
    const DeviceIds::Model* catalogue = DeviceIds::find(model.pid);
    QVERIFY(catalogue);
    const bool wireless = catalogue->link == DeviceIds::Link::Wireless;
    QCOMPARE(model.address, wireless ? kAddressReceiver : kAddressWired);

    // Pacing: the receiver models of the Nordic radio and three wired models wait 500 ms.
    const bool slowWired = name == "FDeviceJessam" || name == "FDeviceDallow" || name == "HDeviceKelham";
    const bool longPace = slowWired || name == "HDeviceKelham_Wireless"
        || (wireless && (name.startsWith("FDevice") || name == "KDeviceFarrant_Nordic_Wireless"));
    QCOMPARE(model.delayMs, longPace ? kPaceLongMs : kPaceShortMs);

    // The layout document: ":/common/" and the model's folder, named after the class's model.
    const QString layout = QString::fromLatin1(model.layoutPath);
    QVERIFY2(layout.startsWith(":/common/") && layout.endsWith(wireless ? "_WirelessLayout.json" : "Layout.json"),
             qPrintable(layout));

    // The mouse agrees with the driver about its keys, its DPI block and its power-saving byte.
    const SimRegister::ModelTraits& sim = SimRegister::traitsOf(model.pid);
    QCOMPARE(sim.productId, model.pid);
    QCOMPARE(sim.addressByte, model.address);
    const KeyLineRules& rules = FarrantNordicKeyCodec::rules(model.keys);
    for (int entry = 0; entry < kKeyTableEntries; ++entry)
        QCOMPARE(sim.keys->buttons[entry], rules.keyOrder[entry]);
    const QByteArray factory(reinterpret_cast<const char*>(sim.keys->factoryCodes), SimRegister::kKeyTableSize);
    QCOMPARE(FarrantNordicKeyCodec::defaultTable(model.keys).toHex(' '), factory.toHex(' '));
    QCOMPARE(sim.dpi == SimRegister::DpiBlock::FiveCodes, model.dpi == DpiBlock::FiveStages);
    QCOMPARE(sim.power == SimRegister::PowerSense::ZeroIsOn, model.power == PowerSense::ZeroIsOn);
}

// Each class on the simulated mouse: made by the registry, its settings, its layout, its opening.
void TestFarrantNordicModels::classes_data()
{
    rows_data();
}

void TestFarrantNordicModels::classes()
{
    QFETCH(int, row);
    const ModelRow& model = kModels[row];
    RegisterMouseFixture fixture(model.pid, model.address);
    KBaseDevice* device = fixture.createDevice();
    QVERIFY(device);
    QCOMPARE(QString::fromLatin1(device->metaObject()->className()), QString::fromLatin1(model.className));
    auto* mouse = qobject_cast<KDeviceFarrant_Nordic*>(device);
    QVERIFY(mouse);
    QCOMPARE(mouse->productId(), int(model.pid));
    QCOMPARE(mouse->addressByte(), model.address);
    QCOMPARE(mouse->writeDelay(), model.delayMs);
    QVERIFY(!mouse->getLayout()->isEmpty());
    QCOMPARE(mouse->getLayout()->value("isWireLess").toBool(), model.address == kAddressReceiver);

    QVERIFY(device->initDevice());
    // Opened: game mode is on (the Kelham's bare opening leaves it to the first write), every packet carries
    // the model's address byte.
    QCOMPARE(int(fixture.mouse()->gameMode()), model.opening == Opening::OwnOnly ? 0 : 1);
    QVERIFY(device->setDpiIndex(2));
    const auto commands = fixture.mouse()->commands();
    QVERIFY(!commands.isEmpty());
    for (const auto& command : commands)
        QCOMPARE(command.address, model.address);
    // The reader runs where the opening starts it: the shared opening always, the own opening with a reader
    // only in the receiver range, the others never.
    const bool reader = model.opening == Opening::Shared
        || (model.opening == Opening::OwnWithReader && DeviceIds::inReceiverRange(model.pid));
    QCOMPARE(mouse->readerStarted(), reader);
}

// Power saving: the same byte, read and written the other way round on the wireless Kelham, the picture
// index and flag beside it kept.
void TestFarrantNordicModels::powerSaving_data()
{
    QTest::addColumn<quint16>("pid");
    QTest::addColumn<int>("onByte");
    QTest::newRow("root") << DeviceIds::kJarrowNordic << 1;
    QTest::newRow("wireless kelham") << DeviceIds::kKelhamWireless << 0;
    QTest::newRow("kelham") << DeviceIds::kKelham << 1;
}

void TestFarrantNordicModels::powerSaving()
{
    QFETCH(quint16, pid);
    QFETCH(int, onByte);
    RegisterMouseFixture fixture(pid, modelRow(pid)->address);
    auto* mouse = qobject_cast<KDeviceFarrant_Nordic*>(fixture.openDevice());
    QVERIFY(mouse);
    fixture.mouse()->setMemory(kRegPicIndex, QByteArray::fromHex("00030100"));
    for (bool on : {true, false, true}) {
        QVERIFY(mouse->setPowerSaving(on));
        QCOMPARE(fixture.mouse()->memory(kRegPicIndex, 4).toHex(' '),
                 QByteArray::fromHex(QByteArray("000301") + (on == bool(onByte) ? "01" : "00")).toHex(' '));
        QCOMPARE(fixture.mouse()->powerSaving(), on);
        QCOMPARE(mouse->getPowerSaving(), on);
    }
}

// Five stages of one code byte: code 0 is 200 DPI, 48 is 5000; a value below 200 goes as code 0.
void TestFarrantNordicModels::fiveStageDpi_data()
{
    QTest::addColumn<quint16>("pid");
    QTest::newRow("yarrin") << DeviceIds::kYarrin;
    QTest::newRow("zennor wireless") << DeviceIds::kZennorWireless;
    QTest::newRow("gadsby") << DeviceIds::kGadsby;
    QTest::newRow("gadsby wireless") << DeviceIds::kGadsbyWireless;
}

void TestFarrantNordicModels::fiveStageDpi()
{
    QFETCH(quint16, pid);
    RegisterMouseFixture fixture(pid, modelRow(pid)->address);
    auto* mouse = qobject_cast<KDeviceFarrant_Nordic*>(fixture.openDevice());
    QVERIFY(mouse);
    QCOMPARE(mouse->getDpiList(), (QVector<int>{400, 800, 1600, 2400, 3200}));
    fixture.mouse()->setMemory(kRegDpiStages, QByteArray::fromHex("00003000310007000100"));
    QCOMPARE(mouse->getDpiList(), (QVector<int>{200, 5000, 0, 900, 300}));

    MouseUiState ui;
    ui.dpiEnable = {true, false, true, true, true};
    mouse->session().setUiState(ui);
    fixture.mouse()->clearCommands();
    QVERIFY(mouse->setDpiList({150, 5000, 800, 1600, 3200}));
    QCOMPARE(fixture.mouse()->memory(kRegDpiStages, 16).toHex(' '),
             QByteArray::fromHex("0000 0600 0E00 1E00 3000 00000000 0300").toHex(' '));
    QCOMPARE(fixture.mouse()->dpiStages(), (QList<int>{200, 800, 1600, 3200, 5000}));
    QCOMPARE(fixture.mouse()->dpiHighestIndex(), 3);
    for (const auto& command : fixture.mouse()->commands())
        QVERIFY(command.command != kCmdSetGameMode);

    // Refused with nothing sent: a sixth stage, a value over 5000, no stage switched on.
    fixture.mouse()->clearCommands();
    QVERIFY(!mouse->setDpiList({400, 800, 1600, 2400, 3200, 4000}));
    QVERIFY(!mouse->setDpiList({400, 5001}));
    ui.dpiEnable = {false, false, false, false, false};
    mouse->session().setUiState(ui);
    QVERIFY(!mouse->setDpiList({400, 800, 1600, 2400, 3200}));
    QVERIFY(fixture.mouse()->commands().isEmpty());
}

// The Farrant opening reports what happened: a mouse that never opens is not initialised.
void TestFarrantNordicModels::farrantWithoutInterface_data()
{
    QTest::addColumn<quint16>("pid");
    QTest::newRow("farrant") << DeviceIds::kFarrant;
    QTest::newRow("farrant wireless") << DeviceIds::kFarrantWireless;
    QTest::newRow("kelham") << DeviceIds::kKelham;
    QTest::newRow("yarrin") << DeviceIds::kYarrin;
}

void TestFarrantNordicModels::farrantWithoutInterface()
{
    QFETCH(quint16, pid);
    RegisterMouseFixture fixture(pid, modelRow(pid)->address);
    fixture.mouse()->unplug();
    KBaseDevice* device = fixture.createDevice();
    QVERIFY(device);
    QVERIFY(!device->initDevice());
    QCOMPARE(Platform::recordedSleeps().count(1000), 5);
}

// The own openings enter game mode at once; when the mouse refuses, the opening fails (the wireless ones
// with warning 0).
void TestFarrantNordicModels::gameModeRefused_data()
{
    QTest::addColumn<quint16>("pid");
    QTest::addColumn<bool>("warns");
    QTest::newRow("farrant") << DeviceIds::kFarrant << false;
    QTest::newRow("farrant wireless") << DeviceIds::kFarrantWireless << true;
    QTest::newRow("kelham wireless") << DeviceIds::kKelhamWireless << true;
    QTest::newRow("ickwor wireless") << DeviceIds::kIckworWireless << true;
}

void TestFarrantNordicModels::gameModeRefused()
{
    QFETCH(quint16, pid);
    QFETCH(bool, warns);
    RecordingServices services;
    RegisterMouseFixture fixture(pid, modelRow(pid)->address);
    fixture.mouse()->setStuckStatus(SimRegister::kStatusError);
    LogCapture log;
    KBaseDevice* device = fixture.createDevice();
    QVERIFY(device);
    QVERIFY(!device->initDevice());
    QVERIFY(log.contains("[ERROR] enter gameMode error"));
    QCOMPARE(!services.warnings.isEmpty(), warns);
}

QTEST_MAIN(TestFarrantNordicModels)
#include "tst_farrantnordicmodels.moc"
