// The two-page mice (the root, its extended model and the locked variant) against the simulated two-page
// mouse: transport and pacing, DPI codes, setters, key codes, macros, whole profiles and the variant's stage
// reports. Sleeps are recorded, not slept; the emulator decodes what it receives.

#include "LogCapture.h"
#include "MouseFamilyFixture.h"

#include "common/DeviceIds.h"
#include "devices/mouse/twopage/FDeviceDunmor_Hollis.h"
#include "devices/mouse/twopage/HDeviceHarlo_Hollis.h"
#include "devices/mouse/twopage/HDeviceUlverd.h"
#include "devices/mouse/twopage/HDeviceUlverd_LOW.h"
#include "devices/mouse/twopage/UlverdKeyCodec.h"
#include "devices/mouse/twopage/UlverdMacro.h"
#include "hid/DeviceFactory.h"
#include "hid/HDeviceManager.h"
#include "hid/khid/KUSBDevice.h"
#include "models/device/KDpiModel.h"
#include "models/device/KLightModel.h"
#include "models/device/KLightModelItem.h"
#include "models/device/KReportModel.h"
#include "platform/sys/PlatformTime.h"
#include "sim/SimulationSetup.h"
#include "sim/mouse/twopage/SimTwoPageMouse.h"
#include "TestWait.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QtConcurrent>
#include <QtTest>

#include <memory>

using Sim = SimTwoPageMouse;

namespace {

using Fixture = MouseFamilyFixture;
using MouseTestData::button;
using MouseTestData::delay;
using MouseTestData::move;

KMacroItem key(int usage, bool up) { return KMacroItem(KMacroItem::KeyboardKey, usage, 0, up, QStringLiteral("A")); }

// n keyboard events, two bytes each in the root's string.
QVector<KMacroItem> keyEvents(int n)
{
    QVector<KMacroItem> items;
    for (int i = 0; i < n; ++i)
        items << key(4 + i % 20, i % 2 == 1);
    return items;
}

QJsonObject macroValue(const QVector<KMacroItem>& items, const QString& name)
{
    return MouseTestData::macroValue(items, name, 1, 2);
}

QJsonObject baseProfile()
{
    const QJsonArray stages = MouseTestData::dpiStages({400, 800, 1600, 2400, 3200, 4800, 6200});
    QJsonArray light;
    for (int i = 0; i < 10; ++i)
        light << QJsonObject{{QStringLiteral("model"), i}, {QStringLiteral("speed"), 2},
                             {QStringLiteral("brightness"), 3}, {QStringLiteral("colors"), QJsonArray{"102030"}}};
    return QJsonObject{
        {QStringLiteral("report"), QJsonObject{{QStringLiteral("index"), 2}}},
        {QStringLiteral("dpi"), QJsonObject{{QStringLiteral("currentIndex"), 1}, {QStringLiteral("dpiValue"), stages}}},
        {QStringLiteral("lightModel"), QJsonObject{{QStringLiteral("index"), 4}}},
        {QStringLiteral("light"), light},
        {QStringLiteral("key"), QJsonArray{}},
    };
}

} // namespace

class TestTwoPageMouse : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opening();
    void transport_data();
    void transport();
    void silentAndFailingDevice_data();
    void silentAndFailingDevice();
    void dpiTables();
    void setterRanges_data();
    void setterRanges();
    void dpiList_data();
    void dpiList();
    void keyCodes_data();
    void keyCodes();
    void keyDecoding();
    void everyFunction();
    void macroPackets_data();
    void macroPackets();
    void macroEvents();
    void macroRefusals();
    void macroSlots();
    void macroFilter();
    void profileApplies();
    void profileRefusals_data();
    void profileRefusals();
    void profileDeviceFailure();
    void variantProfile();
    void variantInterrupts();
    void reportDuringWrite();
    void simulatedRun_data();
    void simulatedRun();

private:
    HDeviceUlverd* open(quint16 pid);

    std::unique_ptr<Fixture> m_fixture;
    std::unique_ptr<Sim> m_mouse;
    SimBusFixture* m_bus = nullptr;
    RecordingServices* m_services = nullptr;
    KDpiModel* m_dpi = nullptr;
    KReportModel* m_report = nullptr;
    KLightModel* m_light = nullptr;
    HDeviceUlverd* m_device = nullptr;
};

void TestTwoPageMouse::init()
{
    m_fixture = std::make_unique<Fixture>(Fixture::Dpi | Fixture::Report | Fixture::Light);
    m_bus = m_fixture->bus();
    m_services = m_fixture->services();
    m_dpi = m_fixture->dpi();
    m_report = m_fixture->report();
    m_light = m_fixture->light();
}

void TestTwoPageMouse::cleanup()
{
    if (m_device)
        m_fixture->removeDevice(m_device->productId());
    m_device = nullptr;
    m_mouse.reset();
    m_fixture.reset();
}

HDeviceUlverd* TestTwoPageMouse::open(quint16 pid)
{
    m_mouse = std::make_unique<Sim>(pid, Sim::dialectOf(pid));
    if (pid == DeviceIds::kUlverdLow)
        m_mouse->setDpiTable(Sim::DpiTable::A);
    if (!m_mouse->plug(m_bus->bus()))
        return nullptr;
    m_device = m_fixture->openDevice<HDeviceUlverd>(pid);
    if (!m_device)
        return nullptr;
    m_mouse->clearLog();
    Platform::clearRecordedSleeps();
    return m_device;
}

// --- opening and transport -----------------------------------------------------------------------------------

void TestTwoPageMouse::opening()
{
    // No mouse: five attempts, 1000 ms apart.
    QVERIFY(HDeviceManager::instance()->createDevice(DeviceIds::kUlverd));
    auto* absent = qobject_cast<HDeviceUlverd*>(HDeviceManager::instance()->getDevice(DeviceIds::kUlverd));
    QVERIFY(absent);
    Platform::clearRecordedSleeps();
    QVERIFY(!absent->initDevice());
    QCOMPARE(Platform::recordedSleeps(), (QList<int>{1000, 1000, 1000, 1000}));
    QVERIFY(!absent->readData());

    // Opening again replaces the channel and reads the image again.
    m_device = absent;
    m_mouse = std::make_unique<Sim>(DeviceIds::kUlverd, Sim::Dialect::Root);
    QVERIFY(m_mouse->plug(m_bus->bus()));
    QVERIFY(absent->initDevice());
    QVERIFY(absent->initDevice());
    QCOMPARE(m_mouse->readRequests(), 2);

    // The variant: a first read that fails shows the warning and still opens; the reader runs either way.
    cleanup();
    init();
    m_mouse = std::make_unique<Sim>(DeviceIds::kHarloHollis, Sim::Dialect::Locked);
    QVERIFY(m_mouse->plug(m_bus->bus()));
    m_mouse->dropReplyTo(0);
    QVERIFY(HDeviceManager::instance()->createDevice(DeviceIds::kHarloHollis));
    m_device = qobject_cast<HDeviceUlverd*>(HDeviceManager::instance()->getDevice(DeviceIds::kHarloHollis));
    QVERIFY(m_device);
    QVERIFY(m_device->initDevice());
    QCOMPARE(m_services->warnings, (QList<int>{0}));
    QVERIFY(QTest::qWaitFor([this] { return m_bus->bus()->blockedReads() > 0; }, TestWait::kBoundMs));
}


void TestTwoPageMouse::transport_data()
{
    QTest::addColumn<quint16>("pid");
    QTest::addColumn<int>("pacing");
    QTest::addColumn<int>("flagSent");  // image byte 40 on the way back, read as 1
    QTest::newRow("root") << DeviceIds::kUlverd << 100 << 2;
    QTest::newRow("extended") << DeviceIds::kUlverdLow << 100 << 2;
    QTest::newRow("variant") << DeviceIds::kHarloHollis << 300 << 0;
    QTest::newRow("variant model") << DeviceIds::kDunmorHollis << 300 << 0;
}

void TestTwoPageMouse::transport()
{
    QFETCH(quint16, pid);
    QFETCH(int, pacing);
    QFETCH(int, flagSent);
    HDeviceUlverd* device = open(pid);
    QVERIFY(device);
    QCOMPARE(device->image(), m_mouse->image());
    QCOMPARE(device->getFwVersion(), 0x0103);
    QVERIFY(!device->getLayout()->isEmpty());

    // A read: the request, then two pages, each after the pacing.
    QVERIFY(device->readData());
    QCOMPARE(m_mouse->received().first().left(4), QByteArray::fromHex("04a00101"));
    QCOMPARE(Platform::recordedSleeps(), (QList<int>{pacing, pacing}));

    // A write: both pages with their direction bytes; byte 40 follows the model's rule.
    Platform::clearRecordedSleeps();
    const QByteArray before = m_mouse->image();
    QVERIFY(device->setReportRate(1));
    QCOMPARE(Platform::recordedSleeps(), (QList<int>{pacing, pacing, pacing, pacing}));
    const QList<QByteArray> pages = m_mouse->writtenPages();
    QCOMPARE(pages.size(), 2);
    const QByteArray sent = pages.at(0) + pages.at(1);
    QCOMPARE(int(quint8(sent.at(3))), 2);
    QCOMPARE(int(quint8(sent.at(67))), 2);
    QCOMPARE(int(quint8(sent.at(40))), flagSent);
    QCOMPARE(int(sent.at(33)), 1);
    for (int i = 0; i < sent.size(); ++i) {
        if (i != 3 && i != 33 && i != 40 && i != 67)
            QVERIFY2(sent.at(i) == before.at(i), qPrintable(QString::number(i)));
    }
    QCOMPARE(device->image(), sent);

    // A flag byte of 0 or 2 travels back unchanged on the root.
    if (flagSent == 2) {
        m_mouse->setImageByte(40, 0);
        QVERIFY(device->readData());
        QVERIFY(device->setReportRate(2));
        QCOMPARE(int(m_mouse->writtenPages().at(2).at(40)), 0);
    }
}

void TestTwoPageMouse::silentAndFailingDevice_data()
{
    QTest::addColumn<int>("step");    // 0 page 1, 1 its acknowledgement, 2 page 2, 3 its acknowledgement
    QTest::newRow("page 1 fails") << 0;
    QTest::newRow("no acknowledgement of page 1") << 1;
    QTest::newRow("page 2 fails") << 2;
    QTest::newRow("no acknowledgement of page 2") << 3;
}

void TestTwoPageMouse::silentAndFailingDevice()
{
    QFETCH(int, step);
    HDeviceUlverd* device = open(DeviceIds::kUlverd);
    QVERIFY(device);
    const QByteArray before = device->image();
    if (step == 0)
        m_mouse->failReport(0);
    else if (step == 1)
        m_mouse->dropReplyTo(0);
    else if (step == 2)
        m_mouse->failReport(1);
    else
        m_mouse->dropReplyTo(1);
    QVERIFY(!device->setReportRate(0));
    // The refused edit does not stay in the copy, so the next edit does not carry it.
    QCOMPARE(device->image(), before);
    QCOMPARE(device->getReportRate(), int(before.at(33)));
    m_mouse->clearFaults();
    QVERIFY(device->setLightBrightness(4, 0));
    QCOMPARE(m_mouse->reportRate(), int(before.at(33)));

    // A mouse that stops answering fails the read in bounded time.
    m_bus->bus()->setNeverAnswer(m_mouse->busDeviceId(), true);
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!device->readData());
    QVERIFY(timer.elapsed() < 5000);
}

// --- DPI codes ------------------------------------------------------------------------------------------------

void TestTwoPageMouse::dpiTables()
{
    HDeviceUlverd root;
    QCOMPARE(root.dpiValueToCode(400), quint8(9));     // table A
    QCOMPARE(root.dpiCodeToValue(9), 400);
    QCOMPARE(root.dpiValueToCode(250), quint8(0));
    QCOMPARE(root.dpiCodeToValue(0), -1);
    QCOMPARE(root.dpiValueToCode(6400), quint8(0));    // not the extended model
    // 8 is only in table B: from then on B answers both ways.
    QCOMPARE(root.dpiCodeToValue(8), 400);
    QCOMPARE(root.dpiValueToCode(400), quint8(8));
    QCOMPARE(root.dpiCodeToValue(9), -1);
    QCOMPARE(root.dpiValueToCode(3000), quint8(67));

    HDeviceUlverd byValue;
    QCOMPARE(byValue.dpiValueToCode(250), quint8(0));  // a miss does not switch
    QCOMPARE(byValue.dpiCodeToValue(69), 3000);

    HDeviceUlverd_LOW low;
    QCOMPARE(low.dpiValueToCode(12400), quint8(219));
    QCOMPARE(low.dpiCodeToValue(148), 6400);
    QCOMPARE(low.dpiValueToCode(6500), quint8(0));

    HDeviceHarlo_Hollis variant;
    QCOMPARE(variant.dpiValueToCode(200), quint8(0));
    QCOMPARE(variant.dpiValueToCode(6200), quint8(60));
    QCOMPARE(variant.dpiCodeToValue(6), 800);
    QCOMPARE(variant.dpiValueToCode(250), quint8(0));
}

// --- setters ------------------------------------------------------------------------------------------------

void TestTwoPageMouse::setterRanges_data()
{
    QTest::addColumn<quint16>("pid");
    QTest::addColumn<QString>("setter");
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<int>("imageByte");
    QTest::addColumn<int>("stored");
    const quint16 root = DeviceIds::kUlverd;
    const quint16 variant = DeviceIds::kHarloHollis;
    QTest::newRow("root report 3") << root << "report" << 3 << true << 33 << 3;
    QTest::newRow("root report 4") << root << "report" << 4 << false << 33 << 0;
    QTest::newRow("root mode 9") << root << "mode" << 9 << true << 37 << 9;
    QTest::newRow("root mode 10") << root << "mode" << 10 << false << 37 << 0;
    QTest::newRow("root speed 2") << root << "speed" << 2 << true << 38 << 2;
    QTest::newRow("root speed 3") << root << "speed" << 3 << false << 38 << 0;
    QTest::newRow("root brightness 10") << root << "brightness" << 10 << true << 39 << 10;
    QTest::newRow("root brightness 11") << root << "brightness" << 11 << false << 39 << 0;
    QTest::newRow("root stage 6") << root << "stage" << 6 << true << 7 << 6;
    QTest::newRow("root stage 7") << root << "stage" << 7 << false << 7 << 0;
    QTest::newRow("root stage -1") << root << "stage" << -1 << false << 7 << 0;
    QTest::newRow("root stage 263") << root << "stage" << 263 << false << 7 << 0;
    QTest::newRow("variant report 3") << variant << "report" << 3 << true << 33 << 3;
    QTest::newRow("variant mode 5") << variant << "mode" << 5 << true << 37 << 5;
    QTest::newRow("variant mode 6") << variant << "mode" << 6 << false << 37 << 0;
    QTest::newRow("variant speed 0") << variant << "speed" << 0 << true << 38 << 4;
    QTest::newRow("variant speed 4") << variant << "speed" << 4 << true << 38 << 0;
    QTest::newRow("variant speed 5") << variant << "speed" << 5 << false << 38 << 0;
    QTest::newRow("variant brightness 4") << variant << "brightness" << 4 << true << 39 << 4;
    QTest::newRow("variant brightness 5") << variant << "brightness" << 5 << false << 39 << 0;
}

void TestTwoPageMouse::setterRanges()
{
    QFETCH(quint16, pid);
    QFETCH(QString, setter);
    QFETCH(int, value);
    QFETCH(bool, taken);
    QFETCH(int, imageByte);
    QFETCH(int, stored);
    HDeviceUlverd* device = open(pid);
    QVERIFY(device);
    bool ok = false;
    if (setter == "report")
        ok = device->setReportRate(value);
    else if (setter == "mode")
        ok = device->setLightModel(value, 0);
    else if (setter == "speed")
        ok = device->setLightSpeed(value, 0);
    else if (setter == "brightness")
        ok = device->setLightBrightness(value, 0);
    else
        ok = device->setDpiIndex(value);
    QCOMPARE(ok, taken);
    if (!taken) {
        QVERIFY(m_mouse->received().isEmpty());
        return;
    }
    QCOMPARE(int(m_mouse->imageByte(imageByte)), stored);
    if (setter == "speed")
        QCOMPARE(device->getLightSpeed(0), value);
    if (setter == "mode") {
        const int attribute = pid == DeviceIds::kUlverd ? 0 : 0;  // modes 9 and 5 both have attribute 0
        QCOMPARE(int(m_mouse->imageByte(41)), attribute);
    }
}

void TestTwoPageMouse::dpiList_data()
{
    QTest::addColumn<quint16>("pid");
    QTest::addColumn<QVector<bool>>("enable");
    QTest::addColumn<QVector<int>>("values");
    QTest::addColumn<int>("currentBefore");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<int>("currentAfter");
    QTest::addColumn<int>("mask");
    QTest::addColumn<QList<int>>("stored");
    const QVector<int> seven{400, 800, 1600, 2400, 3200, 4800, 6200};
    const QVector<bool> all(7, true);
    const QVector<bool> fourOn{true, false, true, false, true, true, false};
    QTest::newRow("all on, stage 5") << DeviceIds::kUlverd << all << seven << 5 << true << 2 << 0x7F
                                     << QList<int>{400, 800, 1600, 2400, 3200, 4800, 6200};
    QTest::newRow("three off, stage 5") << DeviceIds::kUlverd << fourOn << seven << 5 << true << 3 << 0x0F
                                        << QList<int>{400, 1600, 3200, 4800, 800, 2400, 6200};
    QTest::newRow("five off, stage 0: not beyond the last one on")
        << DeviceIds::kUlverd << QVector<bool>{true, true, false, false, false, false, false} << seven << 0 << true
        << 1 << 0x03 << QList<int>{400, 800, 1600, 2400, 3200, 4800, 6200};
    QTest::newRow("variant keeps a stage still on") << DeviceIds::kHarloHollis << fourOn << seven << 1 << true << 1
                                                    << 0x0F << QList<int>{400, 1600, 3200, 4800, 800, 2400, 6200};
    QTest::newRow("variant, stage beyond") << DeviceIds::kHarloHollis << fourOn << seven << 5 << true << 3 << 0x0F
                                           << QList<int>{400, 1600, 3200, 4800, 800, 2400, 6200};
    QTest::newRow("eight values") << DeviceIds::kUlverd << QVector<bool>(8, true) << (seven + QVector<int>{800}) << 1
                                  << false << 0 << 0 << QList<int>();
    QTest::newRow("short switch list") << DeviceIds::kUlverd << QVector<bool>(3, true) << seven << 1 << false << 0
                                       << 0 << QList<int>();
    QTest::newRow("250 has no code") << DeviceIds::kUlverd << all << QVector<int>{250, 800, 1600, 2400, 3200, 4800, 6200}
                                     << 1 << false << 0 << 0 << QList<int>();
    QTest::newRow("none on") << DeviceIds::kUlverd << QVector<bool>(7, false) << seven << 1 << false << 0 << 0
                             << QList<int>();
}

void TestTwoPageMouse::dpiList()
{
    QFETCH(quint16, pid);
    QFETCH(QVector<bool>, enable);
    QFETCH(QVector<int>, values);
    QFETCH(int, currentBefore);
    QFETCH(bool, taken);
    QFETCH(int, currentAfter);
    QFETCH(int, mask);
    QFETCH(QList<int>, stored);
    m_mouse.reset();
    m_dpi->setEnable(enable);
    HDeviceUlverd* device = open(pid);
    QVERIFY(device);
    QVERIFY(device->setDpiIndex(currentBefore));
    m_mouse->clearLog();
    QCOMPARE(device->setDpiList(values), taken);
    if (!taken) {
        QVERIFY(m_mouse->received().isEmpty());
        return;
    }
    QCOMPARE(m_mouse->dpiStage(), currentAfter);
    QCOMPARE(m_mouse->enableMask(), mask);
    QCOMPARE(m_mouse->dpiValues(), stored);
    QCOMPARE(device->getDpiList().toList(), stored);
}

// --- key codes ------------------------------------------------------------------------------------------------

void TestTwoPageMouse::keyCodes_data()
{
    QTest::addColumn<quint16>("pid");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("function");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("value2");
    QTest::addColumn<QByteArray>("code");  // empty: refused
    const quint16 root = DeviceIds::kUlverd;
    const quint16 variant = DeviceIds::kHarloHollis;
    auto row = [](const char* name, quint16 pid, int key, int function, const char* hex, int value = 0,
                  int value2 = 0) {
        QTest::newRow(name) << pid << key << function << value << value2 << QByteArray::fromHex(hex);
    };
    row("root Left on the left button", root, 0, 9, "f4010203");
    row("root Left elsewhere", root, 1, 9, "b0000000");
    row("root Forward", root, 2, 12, "b3000000");
    row("root Back", root, 2, 13, "b4000000");
    row("root volume up", root, 1, 24, "90000000");
    row("root show desktop", root, 1, 4, "9a000807");
    row("root fire", root, 1, 27, "b9020000");
    row("root sniper", root, 1, 26, "c2000404");
    row("root disable", root, 1, -1, "bf000000");
    row("root zoom in", root, 1, 7, "fc015700");
    row("root close window", root, 1, 1, "fc043d00");
    row("root Ctrl+Shift+A", root, 1, 47, "fc030400", 3, 4);
    row("root keyboard key", root, 1, 42, "04000000", 0, 4);
    row("root macro slot 5", root, 1, 29, "f3050001", 5);
    row("root DPI cycle", root, 1, 36, "");
    row("root custom button 1", root, 1, 14, "");
    row("root switch program", root, 1, 6, "");
    row("root 58", root, 1, 58, "");
    row("root key without entry", root, 8, 9, "");
    row("variant Left on the left button", variant, 0, 9, "b0000000");
    row("variant Forward", variant, 2, 12, "b4000000");
    row("variant Back", variant, 2, 13, "b3000000");
    row("variant DPI cycle", variant, 13, 36, "c1000000");
    row("variant keyboard key", variant, 1, 42, "fc000400", 0, 4);
    row("variant custom button 1", variant, 7, 14, "");
    row("variant DPI-", variant, 6, 40, "");  // no entry for key 6
}

void TestTwoPageMouse::keyCodes()
{
    QFETCH(quint16, pid);
    QFETCH(int, key);
    QFETCH(int, function);
    QFETCH(int, value);
    QFETCH(int, value2);
    QFETCH(QByteArray, code);
    HDeviceUlverd* device = open(pid);
    QVERIFY(device);
    const bool ok = device->setKeyFunction(KKey(key), KKeyFunction(function), value, value2, QVariant());
    QCOMPARE(ok, !code.isEmpty());
    if (code.isEmpty()) {
        QVERIFY(m_mouse->received().isEmpty());
        return;
    }
    const Sim::KeyEntry entry = m_mouse->keyEntry(key);
    QCOMPARE(entry.code, code);
    QCOMPARE(int(entry.trailer), 0);
    // The item the device answers decodes to the function again.
    const QMap<KKey, KKeyModelItem> keys = device->getKeys();
    if (keys.contains(KKey(key)) && function != 42)
        QCOMPARE(keys.value(KKey(key)).getType(), function);
}

void TestTwoPageMouse::keyDecoding()
{
    HDeviceUlverd root;
    LogCapture log;
    const quint8 zero[4] = {0, 0, 0, 0};
    QCOMPARE(root.transToItem(zero, 11).getType(), 37);
    QVERIFY(log.contains(QStringLiteral("[Warning] ulverd transToItem warning")));
    QCOMPARE(root.transToItem(zero, 8).getType(), 0);
    const quint8 usage[4] = {0x04, 0, 0, 0};
    QCOMPARE(root.transToItem(usage, 1).getType(), 0);
    const quint8 ctrl[4] = {0xFC, 1, 0x04, 0};
    QCOMPARE(root.transToItem(ctrl, 1).getType(), 32);
    const quint8 zoomOut[4] = {0xFC, 1, 0x56, 0};
    QCOMPARE(root.transToItem(zoomOut, 1).getType(), 8);
    const quint8 macro[4] = {0xF2, 6, 0, 1};
    const KKeyModelItem item = root.transToItem(macro, 2);
    QCOMPARE(item.getType(), 29);
    QCOMPARE(item.getValue2(), 6);

    HDeviceHarlo_Hollis variant;
    log.clear();
    const quint8 left[4] = {0xF4, 1, 2, 3};
    QCOMPARE(variant.transToItem(left, 0).getType(), 9);
    const quint8 plain[4] = {0xFC, 0, 0x05, 0};
    QCOMPARE(variant.transToItem(plain, 1).getType(), 42);
    const quint8 unknown[4] = {0x99, 0, 0, 0};
    variant.transToItem(unknown, 1);
    QVERIFY(log.contains(QStringLiteral("[Warning] fenrow transToItem warning")));
}

void TestTwoPageMouse::everyFunction()
{
    // Which functions have a code, per dialect, over the whole value range; each one that has decodes back.
    const QSet<int> rootWithout{5, 6, 14, 15, 16, 17, 31, 36, 41, 43, 44, 45, 46};
    const QSet<int> variantWithout{5, 6, 14, 15, 16, 17, 31, 41, 43, 44, 45, 46};
    for (auto dialect : {UlverdKeyCodec::Dialect::Root, UlverdKeyCodec::Dialect::Locked}) {
        const QSet<int>& without = dialect == UlverdKeyCodec::Dialect::Root ? rootWithout : variantWithout;
        for (int function = -2; function <= KFuncLast; ++function) {
            const bool expected = function >= -1 && function <= 57 && !without.contains(function);
            UlverdKeyCodec::Parameters p = UlverdKeyCodec::parametersFor(dialect, function, 1, 4);
            p.slot = 5;
            if (isModifierFunction(function))
                p.mask = modifierFunctionToMask(function);
            UlverdKeyCodec::Code code;
            const bool encoded = UlverdKeyCodec::encode(dialect, function, 1, p, &code);
            QVERIFY2(encoded == expected, qPrintable(QString::number(function)));
            if (!encoded || function == KFuncNull || function == KFuncKeyCombination
                || (function == KFuncKeyboardKey && dialect == UlverdKeyCodec::Dialect::Root))
                continue;
            QVERIFY2(UlverdKeyCodec::decode(dialect, code.bytes, 1) == function, qPrintable(QString::number(function)));
        }
    }
}

// --- macros ---------------------------------------------------------------------------------------------------

void TestTwoPageMouse::macroPackets_data()
{
    QTest::addColumn<int>("keyEvents");
    QTest::addColumn<QList<int>>("lengths");
    QTest::newRow("26 bytes") << 13 << QList<int>{57};
    QTest::newRow("27 bytes") << 0 << QList<int>{57, 1};  // built below: 12 keys and a delay
    QTest::newRow("83 bytes") << -1 << QList<int>{57, 57, 0};
}

void TestTwoPageMouse::macroPackets()
{
    QFETCH(int, keyEvents);
    QFETCH(QList<int>, lengths);
    HDeviceUlverd* device = open(DeviceIds::kUlverd);
    QVERIFY(device);
    QVector<KMacroItem> items;
    if (keyEvents > 0)
        items = ::keyEvents(keyEvents);
    else if (keyEvents == 0)
        items = ::keyEvents(12) << delay(10);           // 24 + 3
    else
        items = ::keyEvents(40) << delay(10);           // 80 + 3
    QByteArray events;
    QVERIFY(UlverdMacro::encodeEvents(items, false, &events));
    QCOMPARE(events.size(), keyEvents > 0 ? 26 : keyEvents == 0 ? 27 : 83);

    QCOMPARE(device->setMacro(false, MacroPlayCycles, items, 3, 5), 1);
    const Sim::Macro macro = m_mouse->macro(5);
    QVERIFY(macro.valid);
    QCOMPARE(macro.events, events);
    QCOMPARE(macro.packets, lengths.size());
    for (int i = 0; i < lengths.size(); ++i)
        QCOMPARE(int(quint8(macro.rawPackets.at(i).at(6))), lengths.at(i));
    // 100 ms, then 150 ms before each of the two commands' steps and every packet's two steps.
    QCOMPARE(Platform::recordedSleeps().first(), 100);
    QCOMPARE(Platform::recordedSleeps().size(), 4 + 2 * lengths.size());
}

void TestTwoPageMouse::macroEvents()
{
    HDeviceUlverd* device = open(DeviceIds::kUlverd);
    QVERIFY(device);
    // Delays of 0 and with ignore-delays go as 1; over 65535 they are held at 65535; movements at +-255; a
    // trailing movement ends with a delay of 1.
    const QVector<KMacroItem> items{key(4, false), delay(0), key(4, true), delay(99999), move(-300, 2), move(0, 0)};
    QCOMPARE(device->setMacro(false, MacroPlayCycles, items, 1, 4), 1);
    QList<Sim::Event> decoded = m_mouse->macro(4).decoded;
    QCOMPARE(decoded.size(), 6);
    QCOMPARE(decoded.at(1).value1, 1);
    QCOMPARE(decoded.at(3).value1, 65535);
    QCOMPARE(decoded.at(4).value1, -255);
    QCOMPARE(decoded.at(4).value2, 2);
    QCOMPARE(decoded.at(5).kind, Sim::Event::Delay);
    QCOMPARE(decoded.at(5).value1, 1);
    QCOMPARE(device->setMacro(true, MacroPlayCycles, {key(4, false), delay(500), key(4, true)}, 1, 4), 1);
    QCOMPARE(m_mouse->macro(4).decoded.at(1).value1, 1);

    // The variant: each record's delay field carries the delay after it; leading delays go, runs add up.
    m_mouse.reset();
    cleanup();
    init();
    device = open(DeviceIds::kHarloHollis);
    QVERIFY(device);
    const QVector<KMacroItem> variantItems{delay(70),        key(4, false), delay(200), delay(300),
                                           move(5, -5),      key(4, true),  delay(65000), delay(65000)};
    QCOMPARE(device->setMacro(false, MacroPlayCycles, variantItems, 1, 2), 1);
    const Sim::Macro macro = m_mouse->macro(2);
    QVERIFY(macro.valid);
    QCOMPARE(macro.eventCount, 3);
    QCOMPARE(macro.decoded.at(0).delay, 500);
    QCOMPARE(macro.decoded.at(1).kind, Sim::Event::Move);
    QCOMPARE(macro.decoded.at(1).delay, 1);   // the movement's own field: 1, 1, 0
    QCOMPARE(macro.decoded.at(2).delay, 65535);
    // (5 + 3 x N) steps of 300 ms.
    QCOMPARE(Platform::recordedSleeps(), QVector<int>(5 + 3, 300).toList());
}

void TestTwoPageMouse::macroRefusals()
{
    HDeviceUlverd* device = open(DeviceIds::kUlverd);
    QVERIFY(device);
    // Longer than the buffer: nothing is sent.
    QCOMPARE(device->setMacro(false, MacroPlayCycles, keyEvents(1361), 1, 4), 0);
    QVERIFY(m_mouse->received().isEmpty());
    // So is a slot the mouse does not have.
    QCOMPARE(device->setMacro(false, MacroPlayCycles, keyEvents(2), 1, 3), 0);
    QCOMPARE(device->setMacro(false, MacroPlayCycles, keyEvents(2), 1, 9), 0);
    QVERIFY(m_mouse->received().isEmpty());

    // A failure at any packet ends the transfer; the packets before it went out.
    const QVector<KMacroItem> items = keyEvents(50);  // three data packets
    for (int failAt = 0; failAt < 5; ++failAt) {
        m_mouse->clearLog();
        m_mouse->clearFaults();
        if (failAt % 2 == 0)
            m_mouse->failReport(failAt);
        else
            m_mouse->refuseReport(failAt);
        QCOMPARE(device->setMacro(false, MacroPlayCycles, items, 1, 6), 0);
        QCOMPARE(m_mouse->received().size(), failAt % 2 == 0 ? failAt : failAt + 1);
    }
    m_mouse->clearFaults();
    m_mouse->dropReplyTo(2);
    QCOMPARE(device->setMacro(false, MacroPlayCycles, items, 1, 6), 0);
}

void TestTwoPageMouse::macroSlots()
{
    HDeviceUlverd* device = open(DeviceIds::kUlverd);
    QVERIFY(device);
    int slot = -1;
    const int macroKeys[] = {1, 2, 3, 4, 11};
    QList<int> taken;
    for (int key : macroKeys) {
        QVERIFY(device->checkMacroId(key, &slot));
        taken << slot;
        QVERIFY(device->setKeyFunction(KKey(key), KFuncMacro, slot, QVariant(), QVariant()));
    }
    QCOMPARE(taken, (QList<int>{4, 5, 6, 7, 8}));
    // A sixth key is refused; a key that has a slot keeps it.
    LogCapture log;
    QVERIFY(!device->checkMacroId(12, &slot));
    QVERIFY(log.contains(QStringLiteral("Five macros have been set")));
    slot = -1;
    QVERIFY(device->checkMacroId(3, &slot));
    QCOMPARE(slot, 6);
    QVERIFY(!device->checkMacroId(8, &slot));   // no entry
    // A macro code naming a slot outside 4..8 does not widen the table: with four macro keys, the free
    // slots are 7 (key 4 moved to 20) and 8.
    QVERIFY(device->setKeyFunction(KKey(4), KFuncMacro, 20, QVariant(), QVariant()));
    QVERIFY(device->setKeyFunction(KKey(11), KFuncRollerForward, QVariant(), QVariant(), QVariant()));
    QVERIFY(device->checkMacroId(12, &slot));
    QCOMPARE(slot, 7);
    QCOMPARE(device->macroSlots().keys(), (QList<int>{4, 5, 6, 7, 8}));

    // Left: the last key doing it is kept.
    QVERIFY(!device->checkLeftKey(0));
    QVERIFY(device->checkLeftKey(1));

    // The variant's slot is the key's place in its list.
    cleanup();
    init();
    device = open(DeviceIds::kDunmorHollis);
    QVERIFY(device);
    slot = -1;
    QVERIFY(device->checkMacroId(13, &slot));
    QCOMPARE(slot, 6);
    slot = -1;
    QVERIFY(!device->checkMacroId(5, &slot));
    QCOMPARE(slot, -1);
    QCOMPARE(device->getMacroBufferSize(), 200);
}

void TestTwoPageMouse::macroFilter()
{
    HDeviceUlverd device;
    int out = 0;
    QVector<KMacroItem> empty;
    QVERIFY(!device.macroFilter(empty, &out));
    QVector<KMacroItem> items{delay(10),  key(4, false), delay(60000), delay(50000), key(5, false),
                              KMacroItem(KMacroItem::kStoredPointerType, 0, 0, false, QString()), delay(5)};
    items[4].text = QStringLiteral("B");
    QVERIFY(device.macroFilter(items, &out));
    // The leading delay gone, the run merged and held at 99999, the empty item gone, both presses released
    // at the end.
    QCOMPARE(items.size(), 6);
    QCOMPARE(items.at(1).value1, 99999);
    QCOMPARE(items.at(3).value1, 5);
    QVERIFY(items.at(4).isUp && items.at(5).isUp);
    QCOMPARE(items.at(4).text, QStringLiteral("B"));
    QVector<KMacroItem> onlyDelays{delay(5), delay(6)};
    QVERIFY(!device.macroFilter(onlyDelays, &out));
}

// --- whole profiles -----------------------------------------------------------------------------------------

void TestTwoPageMouse::profileApplies()
{
    HDeviceUlverd* device = open(DeviceIds::kUlverd);
    QVERIFY(device);
    QJsonObject profile = baseProfile();
    const QString composite =
        QString::fromUtf8(QJsonDocument(QJsonObject{{"value1", 0}, {"value2", 4}}).toJson(QJsonDocument::Compact));
    profile.insert(QStringLiteral("key"),
                   QJsonArray{button(1, 29, macroValue(keyEvents(4), "first")), button(2, 30, composite),
                              button(3, 29, macroValue(keyEvents(6), "second")), button(4, 0),
                              // Custom button 1 holding no function, as a save of the factory state writes it.
                              button(7, 0)});
    QCOMPARE(device->getMouseConfig(profile), int(KBaseDevice::ProfileApplied));

    // Two macros and three image writes.
    QCOMPARE(m_mouse->macroSlots().size(), 2);
    QCOMPARE(m_mouse->writtenPages().size(), 6);
    QCOMPARE(m_mouse->keyEntry(1).function, 29);
    QCOMPARE(m_mouse->keyEntry(3).function, 29);
    QVERIFY(m_mouse->keyEntry(1).macroSlot != m_mouse->keyEntry(3).macroSlot);
    QCOMPARE(m_mouse->macro(m_mouse->keyEntry(3).macroSlot).decoded.size(), 6);
    QCOMPARE(m_mouse->keyEntry(3).repeat, 2);
    QCOMPARE(m_mouse->keyEntry(2).code, QByteArray::fromHex("04000000"));  // the keyboard key of usage 4
    QCOMPARE(m_mouse->keyEntry(4).code, QByteArray::fromHex("b4000000"));  // its own function
    QCOMPARE(m_mouse->keyEntry(7).code, QByteArray::fromHex("00000000"));  // the empty entry: its own function
    QCOMPARE(m_mouse->reportRate(), 2);
    QCOMPARE(m_mouse->lightMode(), 4);
    QCOMPARE(int(m_mouse->imageByte(41)), 1);
    QCOMPARE(m_mouse->colour(), (QList<int>{0x10, 0x20, 0x30}));
    QCOMPARE(m_mouse->dpiStage(), 2);

    // The models follow.
    QCOMPARE(m_report->currentReport(), 2);
    QCOMPARE(m_dpi->values().mid(0, 2), (QVector<int>{400, 800}));
    QCOMPARE(m_light->logo()->model(), 4);
    QCOMPARE(m_light->logo()->speed(), 2);
}

void TestTwoPageMouse::profileRefusals_data()
{
    QTest::addColumn<QJsonObject>("profile");
    QTest::addColumn<QString>("log");
    QJsonObject report4 = baseProfile();
    report4.insert("report", QJsonObject{{"index", 4}});
    QTest::newRow("report 4") << report4 << QString();
    QJsonObject mode10 = baseProfile();
    mode10.insert("lightModel", QJsonObject{{"index", 10}});
    QTest::newRow("light mode 10") << mode10 << QString();
    QJsonObject noLight = baseProfile();
    noLight.insert("light", QJsonArray{});
    QTest::newRow("no light element") << noLight << QStringLiteral("[ERROR] setRGB");
    QJsonObject button8 = baseProfile();
    button8.insert("key", QJsonArray{button(1, 24), button(8, 9)});
    QTest::newRow("button 8") << button8 << QStringLiteral("[Error] setFunction");
    QJsonObject badText = baseProfile();
    badText.insert("key", QJsonArray{button(1, 29, macroValue(keyEvents(2), "m")), button(2, 30, "{not json")});
    QTest::newRow("bad combination text") << badText << QStringLiteral("setCompositeKey");
    QJsonObject mask16 = baseProfile();
    mask16.insert("key", QJsonArray{button(2, 30, R"({"value1":16,"value2":4})")});
    QTest::newRow("mask 16") << mask16 << QStringLiteral("setCompositeKey");
    QJsonObject noCode = baseProfile();
    noCode.insert("key", QJsonArray{button(2, 14)});
    QTest::newRow("function without a code") << noCode << QStringLiteral("[Error] setFunction");
    QJsonObject tooLong = baseProfile();
    tooLong.insert("key", QJsonArray{button(2, 29, macroValue(keyEvents(1400), "long"))});
    QTest::newRow("macro too long") << tooLong << QStringLiteral("setMacro");
}

void TestTwoPageMouse::profileRefusals()
{
    QFETCH(QJsonObject, profile);
    QFETCH(QString, log);
    HDeviceUlverd* device = open(DeviceIds::kUlverd);
    QVERIFY(device);
    const QByteArray before = device->image();
    const int reportBefore = m_report->currentReport();
    const QVector<int> dpiBefore = m_dpi->values();
    LogCapture capture;
    QCOMPARE(device->getMouseConfig(profile), int(KBaseDevice::ProfileFailed));
    QVERIFY(m_mouse->received().isEmpty());
    QCOMPARE(device->image(), before);
    QCOMPARE(m_report->currentReport(), reportBefore);
    QCOMPARE(m_dpi->values(), dpiBefore);
    if (!log.isEmpty())
        QVERIFY2(capture.contains(log), qPrintable(capture.lines().join('\n')));
}

void TestTwoPageMouse::profileDeviceFailure()
{
    HDeviceUlverd* device = open(DeviceIds::kUlverd);
    QVERIFY(device);
    QJsonObject profile = baseProfile();
    profile.insert("key", QJsonArray{button(1, 29, macroValue(keyEvents(4), "first")), button(2, 24)});
    // The macro and its key go through; the final image write fails at page 2.
    m_mouse->failReport(3 + 2 + 1);
    QCOMPARE(device->getMouseConfig(profile), int(KBaseDevice::ProfileFailed));
    // The copy is what the mouse took last: the macro key, not the rest of the profile.
    QCOMPARE(device->image().mid(64), m_mouse->image().mid(64));
    QCOMPARE(device->getReportRate(), 3);
    QCOMPARE(m_mouse->keyEntry(1).function, 29);
    QCOMPARE(m_mouse->keyEntry(2).function, 10);
    QCOMPARE(m_report->currentReport(), 0);
    m_mouse->clearFaults();
    m_mouse->clearLog();
    QVERIFY(device->setLightBrightness(1, 0));
    QCOMPARE(m_mouse->reportRate(), 3);
}

void TestTwoPageMouse::variantProfile()
{
    HDeviceUlverd* device = open(DeviceIds::kHarloHollis);
    QVERIFY(device);
    QJsonObject profile = baseProfile();
    QJsonArray stages;
    for (int i = 0; i < 7; ++i)
        stages << QJsonObject{{"currentValue", 400 + 100 * i}, {"enable", i != 1}};
    profile.insert("dpi", QJsonObject{{"currentIndex", 3}, {"dpiValue", stages}});
    profile.insert("key", QJsonArray{button(1, 42, 5), button(2, 47, R"({"value1":3,"value2":4})"),
                                     button(13, 29, macroValue(keyEvents(2), "m"))});
    QCOMPARE(device->getMouseConfig(profile), int(KBaseDevice::ProfileApplied));
    QCOMPARE(m_mouse->dpiStage(), 2);                // two stages on before index 3
    QCOMPARE(m_mouse->lightSpeedByte(), 2);          // 4 minus the speed
    QCOMPARE(m_mouse->lightBrightness(), 3);
    QCOMPARE(m_mouse->keyEntry(1).code, QByteArray::fromHex("fc000500"));
    QCOMPARE(m_mouse->keyEntry(2).code, QByteArray::fromHex("fc030400"));
    QCOMPARE(m_mouse->keyEntry(13).macroSlot, 6);
    QVERIFY(m_mouse->macro(6).valid);
    QCOMPARE(m_report->currentReport(), 0);          // the variant leaves the models

    QJsonObject fastSpeed = baseProfile();
    QJsonArray light = fastSpeed.value("light").toArray();
    QJsonObject entry = light.at(4).toObject();
    entry.insert("speed", 5);
    light.replace(4, entry);
    fastSpeed.insert("light", light);
    m_mouse->clearLog();
    QCOMPARE(device->getMouseConfig(fastSpeed), int(KBaseDevice::ProfileFailed));
    QJsonObject badIndex = baseProfile();
    badIndex.insert("dpi", QJsonObject{{"currentIndex", 7}, {"dpiValue", stages}});
    QCOMPARE(device->getMouseConfig(badIndex), int(KBaseDevice::ProfileFailed));
    QVERIFY(m_mouse->received().isEmpty());
}

// --- the variant's stage reports ----------------------------------------------------------------------------

void TestTwoPageMouse::variantInterrupts()
{
    auto* device = qobject_cast<HDeviceHarlo_Hollis*>(open(DeviceIds::kHarloHollis));
    QVERIFY(device);
    QSignalSpy stages(device, &KBaseDevice::sigcurrentCPI);
    QCOMPARE(device->currentDpi(), 800);   // stage 1 of the factory image
    QVERIFY(QTest::qWaitFor([this] { return m_bus->bus()->blockedReads() > 0; }, TestWait::kBoundMs));
    m_mouse->pushStageReport(0x0320, 2);   // bytes 4-6: 0x20, 0x03, 2
    QVERIFY(stages.wait(TestWait::kBoundMs));
    QCOMPARE(stages.first().first().toInt(), 2);
    QCOMPARE(device->currentDpi(), 800);
    QCOMPARE(device->getDpiIndex(), 2);

    // Short reports and stages outside 0..6 are ignored.
    device->onInterruptData(QString(6, QChar(2)));
    QString bad(16, QChar(0));
    bad[6] = QChar(7);
    device->onInterruptData(bad);
    QCOMPARE(device->getDpiIndex(), 2);
    QCOMPARE(stages.size(), 1);
}

void TestTwoPageMouse::reportDuringWrite()
{
    auto* device = qobject_cast<HDeviceHarlo_Hollis*>(open(DeviceIds::kHarloHollis));
    QVERIFY(device);
    // While page 1 is on the device, the mouse reports stage 4 and the GUI thread applies it.
    QString report(16, QChar(0));
    report[4] = QChar(0x20);
    report[5] = QChar(0x03);
    report[6] = QChar(4);
    m_mouse->setOnPageWrite([device, report](int page) {
        if (page == 1)
            QMetaObject::invokeMethod(device, [device, report] { device->onInterruptData(report); },
                                      Qt::BlockingQueuedConnection);
    });
    QFuture<bool> write = QtConcurrent::run([device] { return device->setReportRate(2); });
    QVERIFY(QTest::qWaitFor([&write] { return write.isFinished(); }, TestWait::kBoundMs));
    QVERIFY(write.result());
    m_mouse->setOnPageWrite(nullptr);
    // The pages went out as one image, and the reported stage is kept.
    const QList<QByteArray> pages = m_mouse->writtenPages();
    QCOMPARE(pages.size(), 2);
    QCOMPARE(int(pages.at(0).at(33)), 2);
    QCOMPARE(int(pages.at(0).at(7)), 1);
    QCOMPARE(device->getDpiIndex(), 4);
    QCOMPARE(device->getReportRate(), 2);
}

// --- a simulated run ------------------------------------------------------------------------------------------

void TestTwoPageMouse::simulatedRun_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<quint16>("pid");
    QTest::newRow("root") << "ULVERD" << DeviceIds::kUlverd;
    QTest::newRow("extended") << "ulverd_low" << DeviceIds::kUlverdLow;
    QTest::newRow("variant") << "HARLO_Hollis" << DeviceIds::kHarloHollis;
    QTest::newRow("variant model") << "DUNMOR_HOLLIS" << DeviceIds::kDunmorHollis;
}

void TestTwoPageMouse::simulatedRun()
{
    QFETCH(QString, name);
    QFETCH(quint16, pid);
    QVERIFY(setupSimulation(name));
    QVERIFY(simulatedProductIds().contains(pid));
    std::unique_ptr<KBaseDevice> device(DeviceFactory::createModel(pid));
    QVERIFY(qobject_cast<HDeviceUlverd*>(device.get()));
    QVERIFY(!DeviceFactory::serves(pid));   // the product factory does not create it
    KHID::KUSBDevice channel;
    if (Sim::dialectOf(pid) == Sim::Dialect::Locked)
        QVERIFY(channel.initDevice(DeviceIds::kVendorId, pid, 0, 0xFF00, QStringLiteral("col04")));
    else
        QVERIFY(channel.initDevice(DeviceIds::kVendorId, pid, 0, 0xFF00, quint16(0)));
}

QTEST_MAIN(TestTwoPageMouse)
#include "tst_twopagemouse.moc"
