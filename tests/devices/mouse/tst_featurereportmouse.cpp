// The feature-report mice and the supplier image mouse against their simulated mice: the command table and
// its pacing, every getter's answer when the mouse does not reply, the settings, button codes, macro buffers,
// the Kinloch's DPI steps and the image mouse's light mode. Sleeps are recorded, not slept; the emulators
// decode what they receive.

#include "MouseFamilyFixture.h"

#include "common/DeviceIds.h"
#include "devices/mouse/featurereport/DunmorKeyCodec.h"
#include "devices/mouse/featurereport/DunmorMacro.h"
#include "devices/mouse/featurereport/HDeviceKinloch.h"
#include "devices/mouse/featurereport/HDeviceKinloch_Hollis.h"
#include "devices/mouse/featurereport/KDeviceDunmor.h"
#include "hid/DeviceFactory.h"
#include "hid/HDeviceManager.h"
#include "models/device/KDpiModel.h"
#include "models/keys/KKeyModelItem.h"
#include "platform/sys/PlatformTime.h"
#include "sim/SimulationSetup.h"
#include "sim/mouse/featurereport/SimFeatureReportMouse.h"
#include "sim/mouse/featurereport/SimSupplierImageMouse.h"
#include "TestWait.h"

#include <QtTest>

#include <functional>
#include <memory>

using Sim = SimFeatureReportMouse;
using Event = SimFeatureReportMouse::Event;

namespace {

constexpr int kKeys[] = {0, 1, 2, 3, 4, 11, 12, 13};

KMacroItem key(int usage, bool up) { return KMacroItem(KMacroItem::KeyboardKey, usage, 0, up, QStringLiteral("K%1").arg(usage)); }
KMacroItem button(int n, bool up) { return KMacroItem(KMacroItem::MouseButton, n, 0, up, QStringLiteral("B%1").arg(n)); }
KMacroItem delay(int ms) { return KMacroItem(KMacroItem::Delay, ms, 0, false, QString()); }
KMacroItem wheel(int vertical, int horizontal) { return KMacroItem(KMacroItem::Pointer, vertical, horizontal, false, QString()); }

Event simKey(int usage, bool up) { Event e; e.kind = Event::Key; e.up = up; e.value1 = usage; return e; }
Event simDelay(int ms) { Event e; e.kind = Event::Delay; e.value1 = ms; return e; }

QByteArray hex(const char* text) { return QByteArray::fromHex(text); }

QByteArray command(const char* text)
{
    QByteArray c = hex(text);
    c.append(QByteArray(8 - c.size(), '\0'));
    return c;
}

// n key events (a press and a release per key), two bytes each in the buffer.
QVector<KMacroItem> keyEvents(int n)
{
    QVector<KMacroItem> items;
    for (int i = 0; i < n; ++i)
        items << key(4 + (i / 2) % 20, i % 2 == 1);
    return items;
}

} // namespace

class TestFeatureReportMouse : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opening();
    void commandTable_data();
    void commandTable();
    void getterFallbacks_data();
    void getterFallbacks();
    void dpiList();
    void settings();
    void lightModeKeepsRate();
    void keyCodes_data();
    void keyCodes();
    void refusedFunctions_data();
    void refusedFunctions();
    void keyEdits();
    void keyEditFailures();
    void macroBuffers_data();
    void macroBuffers();
    void macroRefusals();
    void macroPageFailure();
    void macrosStartAlike();
    void macroSlots();
    void leftKeyAndFilter();
    void kinlochDpi();
    void supplierImageMouse();
    void supplierImageFailures();
    void simulatedRun_data();
    void simulatedRun();

private:
    KDeviceDunmor* open(quint16 pid);
    KBaseDevice* create(quint16 pid);
    // The key editor's items as the mouse's factory state has them, with key functions as given.
    void setKeyItems(const QMap<int, int>& functions, const QMap<int, int>& macroSlotOfKey = {});

    std::unique_ptr<MouseFamilyFixture> m_fixture;
    SimBusFixture* m_bus = nullptr;
    KDpiModel* m_dpi = nullptr;
    std::unique_ptr<Sim> m_mouse;
    std::unique_ptr<SimSupplierImageMouse> m_imageMouse;
    QList<KKeyModelItem*> m_items;
    KBaseDevice* m_device = nullptr;
    quint16 m_pid = 0;
};

void TestFeatureReportMouse::init()
{
    m_fixture = std::make_unique<MouseFamilyFixture>(MouseFamilyFixture::Dpi);
    m_bus = m_fixture->bus();
    m_dpi = m_fixture->dpi();
}

void TestFeatureReportMouse::cleanup()
{
    if (m_device)
        m_fixture->removeDevice(m_pid);
    m_device = nullptr;
    qDeleteAll(m_items);
    m_items.clear();
    m_mouse.reset();
    m_imageMouse.reset();
    m_fixture.reset();
}

KBaseDevice* TestFeatureReportMouse::create(quint16 pid)
{
    KBaseDevice* device = m_fixture->createDevice(pid);
    if (!device)
        return nullptr;
    m_pid = pid;
    m_device = device;
    return m_device;
}

KDeviceDunmor* TestFeatureReportMouse::open(quint16 pid)
{
    m_mouse = std::make_unique<Sim>(pid);
    if (!m_mouse->plug(m_bus->bus()))
        return nullptr;
    auto* device = qobject_cast<KDeviceDunmor*>(create(pid));
    if (!device || !device->initDevice())
        return nullptr;
    MouseUiState ui;
    ui.dpiEnable = QVector<bool>(6, true);
    ui.lightZones = {QVariantMap{{QStringLiteral("model"), 3}, {QStringLiteral("speed"), 4},
                                 {QStringLiteral("brightness"), 7}}};
    device->session().setUiState(ui);
    m_mouse->clearLog();
    Platform::clearRecordedSleeps();
    return device;
}

void TestFeatureReportMouse::setKeyItems(const QMap<int, int>& functions, const QMap<int, int>& macroSlotOfKey)
{
    auto* device = qobject_cast<KDeviceDunmor*>(m_device);
    QVERIFY(device);
    qDeleteAll(m_items);
    m_items.clear();
    MouseUiState ui = device->session().uiState();
    ui.keyList.clear();
    for (int k : kKeys) {
        auto* item = new KKeyModelItem();
        item->setKey(k);
        item->setType(functions.value(k, KFuncNull), false, QString());
        if (macroSlotOfKey.contains(k))
            item->setValue3(macroSlotOfKey.value(k));
        m_items << item;
        ui.keyList << QVariant::fromValue(static_cast<QObject*>(item));
    }
    device->session().setUiState(ui);
}

// --- opening and the command table -------------------------------------------------------------------------

void TestFeatureReportMouse::opening()
{
    // No mouse: five attempts, 1000 ms apart, and every operation fails without touching anything.
    auto* absent = qobject_cast<KDeviceDunmor*>(create(DeviceIds::kDunmor));
    QVERIFY(absent);
    Platform::clearRecordedSleeps();
    QVERIFY(!absent->initDevice());
    QCOMPARE(Platform::recordedSleeps(), (QList<int>{1000, 1000, 1000, 1000}));
    QVERIFY(!absent->setReportRate(1));
    QCOMPARE(absent->getFwVersion(), 0);

    // Plugged: opening again replaces the channel; the mouse is reached on its vendor collection.
    m_mouse = std::make_unique<Sim>(DeviceIds::kDunmor);
    QVERIFY(m_mouse->plug(m_bus->bus()));
    QVERIFY(absent->initDevice());
    QVERIFY(absent->initDevice());
    QCOMPARE(absent->getFwVersion(), 0x0105);
    QCOMPARE(absent->getMacroBufferSize(), 1024);
    QCOMPARE(absent->getMouseConfig(QJsonObject()), int(KBaseDevice::ProfileNotHandled));
    QCOMPARE(absent->getConfigByte(), -1);
    QVERIFY(!absent->writeImageToMouse());
}

void TestFeatureReportMouse::commandTable_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QList<QByteArray>>("commands");
    QTest::addColumn<QList<int>>("sleeps");

    const QList<int> query{10, 10, 10};
    QTest::newRow("firmware") << "fw" << QList<QByteArray>{command("80")} << query;
    QTest::newRow("report rate") << "rate" << QList<QByteArray>{command("81")} << query;
    QTest::newRow("DPI stage") << "stage" << QList<QByteArray>{command("8b01")} << query;
    QTest::newRow("DPI list") << "dpiList" << QList<QByteArray>{command("9101")} << QList<int>{10, 10, 10, 10, 10};
    QTest::newRow("light mode") << "lightMode" << QList<QByteArray>{command("8d01")} << query;
    QTest::newRow("light speed") << "lightSpeed" << QList<QByteArray>{command("8d01")} << query;
    QTest::newRow("brightness") << "brightness" << QList<QByteArray>{command("8d01")} << query;
    QTest::newRow("colour") << "rgb" << QList<QByteArray>{command("8c01")} << query;
    QTest::newRow("buttons") << "keys" << QList<QByteArray>{command("9201")} << QList<int>{10, 10, 10, 10, 10, 10, 10};
    QTest::newRow("set report rate") << "setRate" << QList<QByteArray>{command("0104")} << QList<int>{10};
    QTest::newRow("set DPI stage") << "setStage" << QList<QByteArray>{command("0b0103")} << QList<int>{10};
    QTest::newRow("set DPI list") << "setDpiList" << QList<QByteArray>{command("11010710")} << QList<int>{10, 10};
    // The light command, then the report rate read and written back as read (1 ms).
    QTest::newRow("set light mode 4")
        << "setLightMode" << QList<QByteArray>{command("0d01030203"), command("81"), command("0101")}
        << QList<int>{10, 10, 10, 10, 10};
    // The current effect is read first (mode 3 = effect 1, brightness 5 kept).
    QTest::newRow("set light speed")
        << "setLightSpeed" << QList<QByteArray>{command("8d01"), command("0d01010501")} << QList<int>{10, 10, 10, 10};
    QTest::newRow("set brightness") << "setBrightness" << QList<QByteArray>{command("0d01010901")} << QList<int>{10};
    // Green, red, blue.
    QTest::newRow("set colour") << "setRgb" << QList<QByteArray>{command("0c01020103")} << QList<int>{10};
    QTest::newRow("set button") << "setKey" << QList<QByteArray>{command("12010040")} << QList<int>{10, 10, 10};
    QList<int> macroSleeps;
    for (int i = 0; i < 33; ++i)
        macroSleeps << 10;
    QTest::newRow("set macro") << "setMacro" << QList<QByteArray>{command("13010202")} << macroSleeps;
}

void TestFeatureReportMouse::commandTable()
{
    QFETCH(QString, operation);
    QFETCH(QList<QByteArray>, commands);
    QFETCH(QList<int>, sleeps);
    KDeviceDunmor* device = open(DeviceIds::kDunmor);
    QVERIFY(device);
    if (operation == QLatin1String("setKey")) {
        // The slots are known once read: the write sends nothing else.
        QVERIFY(!device->getKeys().isEmpty());
        m_mouse->clearLog();
        Platform::clearRecordedSleeps();
    }
    const std::map<QString, std::function<bool()>> run{
        {QStringLiteral("fw"), [&] { return device->getFwVersion() == 0x0105; }},
        {QStringLiteral("rate"), [&] { return device->getReportRate() == 3; }},
        {QStringLiteral("stage"), [&] { return device->getDpiIndex() == 1; }},
        {QStringLiteral("dpiList"),
         [&] { return device->getDpiList() == QVector<int>({400, 800, 1600, 2400, 3200, 4800}); }},
        {QStringLiteral("lightMode"), [&] { return device->getLightModel(0) == 3; }},
        {QStringLiteral("lightSpeed"), [&] { return device->getLightSpeed(0) == 0; }},
        {QStringLiteral("brightness"), [&] { return device->getLightBrightness(0) == 5; }},
        {QStringLiteral("rgb"),
         [&] {
             return device->getRGB(0)
                 == QMap<QString, int>{{QStringLiteral("r"), 255}, {QStringLiteral("g"), 0}, {QStringLiteral("b"), 0}};
         }},
        {QStringLiteral("keys"), [&] { return device->getKeys().size() == 8; }},
        {QStringLiteral("setRate"), [&] { return device->setReportRate(1) && m_mouse->reportInterval() == 4; }},
        {QStringLiteral("setStage"), [&] { return device->setDpiIndex(3) && m_mouse->dpiStage() == 3; }},
        {QStringLiteral("setDpiList"),
         [&] { return device->setDpiList({400, 800}) && m_mouse->dpiValues() == QList<int>({400, 800}); }},
        {QStringLiteral("setLightMode"), [&] { return device->setLightModel(4, 0) && m_mouse->lightEffect() == 3; }},
        {QStringLiteral("setLightSpeed"), [&] { return device->setLightSpeed(6, 0); }},
        {QStringLiteral("setBrightness"), [&] { return device->setLightBrightness(9, 0); }},
        {QStringLiteral("setRgb"),
         [&] {
             return device->setRGB({{QStringLiteral("r"), 1}, {QStringLiteral("g"), 2}, {QStringLiteral("b"), 3}}, 0)
                 && m_mouse->colour() == QList<int>({1, 2, 3});
         }},
        {QStringLiteral("setKey"),
         [&] { return device->setKeyFunction(KKey(4), KKeyFunction(KFuncMouseForward), 0, 0, QVariant()); }},
        {QStringLiteral("setMacro"),
         [&] { return device->setMacro(false, MacroPlayCycles, {key(4, false), key(4, true)}, 1, 2) == 1; }},
    };
    QVERIFY(run.at(operation)());
    QCOMPARE(m_mouse->commands(), commands);
    QCOMPARE(Platform::recordedSleeps(), sleeps);
}

void TestFeatureReportMouse::getterFallbacks_data()
{
    QTest::addColumn<QString>("getter");
    QTest::addColumn<int>("zone");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("firmware") << "fw" << 0 << QVariant(0);
    QTest::newRow("stage") << "stage" << 0 << QVariant(0);
    QTest::newRow("rate") << "rate" << 0 << QVariant(0);
    QTest::newRow("light mode, main") << "lightMode" << 0 << QVariant(1);
    QTest::newRow("light mode, wheel") << "lightMode" << 1 << QVariant(2);
    QTest::newRow("speed") << "speed" << 0 << QVariant(0);
    QTest::newRow("brightness, main") << "brightness" << 0 << QVariant(6);
    QTest::newRow("brightness, wheel") << "brightness" << 1 << QVariant(2);
    QTest::newRow("colour, main") << "rgb" << 0 << QVariant(QVariantList{100, 100, 200});
    QTest::newRow("colour, wheel") << "rgb" << 1 << QVariant(QVariantList{150, 150, 0});
    QTest::newRow("DPI list") << "dpiList" << 0 << QVariant(QVariantList{});
    QTest::newRow("buttons") << "keys" << 0 << QVariant(QVariantList{});
}

void TestFeatureReportMouse::getterFallbacks()
{
    QFETCH(QString, getter);
    QFETCH(int, zone);
    QFETCH(QVariant, expected);
    KDeviceDunmor* device = open(DeviceIds::kDunmor);
    QVERIFY(device);
    m_mouse->failReply(0);
    QVariant got;
    if (getter == QLatin1String("fw"))
        got = device->getFwVersion();
    else if (getter == QLatin1String("stage"))
        got = device->getDpiIndex();
    else if (getter == QLatin1String("rate"))
        got = device->getReportRate();
    else if (getter == QLatin1String("lightMode"))
        got = device->getLightModel(zone);
    else if (getter == QLatin1String("speed"))
        got = device->getLightSpeed(zone);
    else if (getter == QLatin1String("brightness"))
        got = device->getLightBrightness(zone);
    else if (getter == QLatin1String("rgb")) {
        const QMap<QString, int> rgb = device->getRGB(zone);
        got = QVariantList{rgb.value("r"), rgb.value("g"), rgb.value("b")};
    } else if (getter == QLatin1String("dpiList")) {
        QVERIFY(device->getDpiList().isEmpty());
        // A page that does not come fails the same way.
        m_mouse->failPageRead();
        QVERIFY(device->getDpiList().isEmpty());
        got = QVariantList{};
    } else if (getter == QLatin1String("keys")) {
        QVERIFY(device->getKeys().isEmpty());
        m_mouse->failPageRead();
        QVERIFY(device->getKeys().isEmpty());
        got = QVariantList{};
    }
    QCOMPARE(got, expected);
    // The next exchange is whole again: nothing left over from the failed one.
    QCOMPARE(device->getDpiList(), QVector<int>({400, 800, 1600, 2400, 3200, 4800}));
}

// --- settings --------------------------------------------------------------------------------------------------

void TestFeatureReportMouse::dpiList()
{
    KDeviceDunmor* device = open(DeviceIds::kDunmor);
    QVERIFY(device);

    // The page's zero bytes are stages without a value, reported at the end; the end mark adds nothing.
    m_mouse->setDpiPage(hex("000307ff00000000"));
    QCOMPARE(device->getDpiList(), QVector<int>({400, 800, 0, 0, 0, 0}));

    // Codes are packed: values without a code (150, 5100) are left out, 250 is code 1.
    QVERIFY(device->setDpiList({200, 5000, 150, 5100}));
    QCOMPARE(m_mouse->dpiPage().left(5), hex("000131ff00"));
    QVERIFY(device->setDpiList({250, 400}));
    QCOMPARE(m_mouse->dpiPage().left(4), hex("000103ff"));

    // Disabled stages are left out.
    MouseUiState ui = device->session().uiState();
    ui.dpiEnable = {true, false, true, true, true, true};
    device->session().setUiState(ui);
    QVERIFY(device->setDpiList({400, 800, 1600}));
    QCOMPARE(m_mouse->dpiValues(), QList<int>({400, 1600}));

    // More values than switches, more codes than a page holds, or no stage at all: refused, nothing sent.
    m_mouse->clearLog();
    QVERIFY(!device->setDpiList({400, 800, 1600, 2400, 3200, 4800, 5000}));
    ui.dpiEnable = QVector<bool>(32, true);
    device->session().setUiState(ui);
    QVERIFY(!device->setDpiList(QVector<int>(32, 1000)));
    QVERIFY(device->setDpiList(QVector<int>(31, 1000)));
    QCOMPARE(m_mouse->dpiPage().at(32), char(0xFF));
    m_mouse->clearLog();
    QVERIFY(!device->setDpiList({100, 6000}));
    QVERIFY(m_mouse->commands().isEmpty());

    // A stage outside the page is refused.
    QVERIFY(!device->setDpiIndex(-1));
    QVERIFY(!device->setDpiIndex(31));
    QVERIFY(m_mouse->commands().isEmpty());
}

void TestFeatureReportMouse::settings()
{
    KDeviceDunmor* device = open(DeviceIds::kDunmor);
    QVERIFY(device);

    // Report rate: indexes 0..3 as intervals; anything else is refused unsent; an interval it does not know
    // reads as 0.
    for (int rate = 0; rate < 4; ++rate) {
        QVERIFY(device->setReportRate(rate));
        QCOMPARE(device->getReportRate(), rate);
    }
    m_mouse->clearLog();
    QVERIFY(!device->setReportRate(4));
    QVERIFY(!device->setReportRate(-1));
    QVERIFY(m_mouse->commands().isEmpty());
    m_mouse->setReportInterval(8);
    QCOMPARE(device->getReportRate(), 0);
    m_mouse->setReportInterval(3);
    QCOMPARE(device->getReportRate(), 0);

    // Colour: green, red, blue on the wire; read back by name.
    m_mouse->setColour(20, 10, 30);
    QCOMPARE(device->getRGB(0), (QMap<QString, int>{{"r", 20}, {"g", 10}, {"b", 30}}));
    m_mouse->clearLog();
    QVERIFY(!device->setRGB({{"r", 1}, {"g", 2}}, 0));
    QVERIFY(!device->setRGB({{"r", 1}, {"g", 2}, {"b", 256}}, 0));
    QVERIFY(m_mouse->commands().isEmpty());

    // Light modes and what they send.
    struct ModeCase {
        int mode;
        QList<int> sent;  // effect, parameter, flag
    };
    const ModeCase modes[] = {{0, {0, 0, 0}}, {1, {4, 0, 0}}, {2, {2, 4, 1}}, {3, {1, 7, 1}},
                              {4, {3, 2, 3}}, {5, {5, 4, 0}}, {9, {0, 0, 0}}};
    for (const ModeCase& c : modes) {
        QVERIFY(device->setLightModel(c.mode, 0));
        QCOMPARE((QList<int>{m_mouse->lightEffect(), m_mouse->lightParameter(), m_mouse->lightFlag()}), c.sent);
        if (c.mode <= 5)
            QCOMPARE(device->getLightModel(0), c.mode);
    }
    // Without a speed or brightness on the light item, modes 2 and 3 take 3 and 5.
    MouseUiState ui = device->session().uiState();
    ui.lightZones = {QVariantMap{{QStringLiteral("model"), 2}, {QStringLiteral("speed"), 0},
                                 {QStringLiteral("brightness"), 0}}};
    device->session().setUiState(ui);
    QVERIFY(device->setLightModel(2, 0));
    QCOMPARE(m_mouse->lightParameter(), 3);
    QVERIFY(device->setLightModel(3, 0));
    QCOMPARE(m_mouse->lightParameter(), 5);
    QCOMPARE(device->getLightBrightness(0), 5);

    // Brightness is sent in mode 3 only; in another mode it is taken without a word to the mouse.
    m_mouse->clearLog();
    QVERIFY(device->setLightBrightness(4, 0));
    QVERIFY(m_mouse->commands().isEmpty());
    QVERIFY(!device->setLightBrightness(11, 0));

    // Speed by the current effect; out of range refused.
    struct SpeedCase {
        int effect;
        int speed;
        QList<int> sent;
    };
    const SpeedCase speeds[] = {{0, 5, {0, 0, 0}}, {4, 5, {4, 0, 0}}, {2, 1, {2, 1, 1}}, {2, 9, {2, 4, 1}},
                                {3, 2, {3, 1, 3}}, {3, 9, {3, 3, 3}}, {5, 5, {5, 2, 0}}, {5, 6, {5, 4, 0}},
                                {5, 10, {5, 6, 0}}, {1, 8, {1, 6, 1}}};
    for (const SpeedCase& c : speeds) {
        m_mouse->setLight(c.effect, 6, 1);
        QVERIFY(device->setLightSpeed(c.speed, 0));
        QCOMPARE((QList<int>{m_mouse->lightEffect(), m_mouse->lightParameter(), m_mouse->lightFlag()}), c.sent);
    }
    m_mouse->setLight(2, 3, 1);
    QCOMPARE(device->getLightSpeed(0), 3);
    m_mouse->clearLog();
    QVERIFY(!device->setLightSpeed(11, 0));
    QVERIFY(!device->setLightSpeed(-1, 0));
    QVERIFY(m_mouse->commands().isEmpty());
    // The effect cannot be read: the speed is not sent on a guess.
    m_mouse->failReply(0);
    QVERIFY(!device->setLightSpeed(4, 0));
    QCOMPARE(m_mouse->commands(), (QList<QByteArray>{command("8d01")}));
}

void TestFeatureReportMouse::lightModeKeepsRate()
{
    KDeviceDunmor* device = open(DeviceIds::kDunmor);
    QVERIFY(device);
    m_mouse->setReportInterval(2);
    // The rate read fails: the light is set and the rate left alone (not written as 125 Hz).
    m_mouse->failReply(0);
    QVERIFY(device->setLightModel(1, 0));
    QCOMPARE(m_mouse->commands(), (QList<QByteArray>{command("0d01040000"), command("81")}));
    QCOMPARE(m_mouse->reportInterval(), 2);
    // A failed light command stops there: the rate is not touched.
    m_mouse->clearLog();
    m_mouse->clearFaults();
    m_mouse->failCommand(0);
    QVERIFY(!device->setLightModel(4, 0));
    QVERIFY(m_mouse->commands().isEmpty());
    QCOMPARE(m_mouse->reportInterval(), 2);
}

// --- buttons ---------------------------------------------------------------------------------------------------

void TestFeatureReportMouse::keyCodes_data()
{
    QTest::addColumn<int>("function");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<int>("decoded");  // what the code reads back as

    struct Row {
        int function;
        const char* code;
        int decoded;
    };
    const Row rows[] = {
        {KFuncDisable, "07000000", KFuncDisable},      {KFuncNull, "00000000", KFuncKeyboardKey},
        {KFuncCloseWindow, "00043d00", -100},          {KFuncLockComputer, "00080f00", -100},
        {KFuncRun, "00081500", -100},                  {KFuncShowDesktop, "00080700", -100},
        {KFuncTraditionalDesktop, "00081000", -100},   {KFuncSwitchProgram, "00042b00", -100},
        {KFuncZoomIn, "00085700", -100},               {KFuncZoomOut, "00085600", -100},
        {KFuncMouseLeft, "0100f000", -100},            {KFuncMouseMiddle, "0100f200", -100},
        {KFuncMouseRight, "0100f100", -100},           {KFuncMouseForward, "0100f400", -100},
        {KFuncMouseBack, "0100f300", -100},            {KFuncPlayer, "03008301", -100},
        {KFuncPlayPause, "0300cd00", -100},            {KFuncStop, "0300b700", -100},
        {KFuncPreviousSong, "0300b600", -100},         {KFuncNextSong, "0300b500", -100},
        {KFuncVolumeDown, "0300ea00", -100},           {KFuncVolumeUp, "0300e900", -100},
        {KFuncMute, "0300e200", -100},                 {KFuncSniper, "07000405", -100},
        {KFuncFire, "0af01802", -100},                 {KFuncFind, "00081400", -100},
        {KFuncCommonButton, "07000000", KFuncDisable}, {KFuncDpiCycle, "07000300", -100},
        {KFuncRollerForward, "04000100", -100},        {KFuncRollerBack, "04000200", -100},
    };
    for (const Row& r : rows)
        QTest::addRow("function %d", r.function) << r.function << 0 << 0 << hex(r.code)
                                                 << (r.decoded == -100 ? r.function : r.decoded);
    QTest::newRow("macro slot 3") << int(KFuncMacro) << 3 << 0 << hex("09000300") << int(KFuncMacro);
    QTest::newRow("keyboard key A") << int(KFuncKeyboardKey) << 0 << 4 << hex("00000400") << int(KFuncKeyboardKey);
    QTest::newRow("combination Ctrl+C") << int(KFuncKeyCombination) << 1 << 6 << hex("00010600") << int(KFuncCtrl);
    QTest::newRow("combination mask 15") << int(KFuncKeyCombination) << 15 << 6 << hex("000f0600")
                                         << int(KFuncCtrlShiftAltWin);
    QTest::newRow("Shift") << int(KFuncShift) << 2 << 0 << hex("00020000") << int(KFuncShift);
    QTest::newRow("Alt") << int(KFuncAlt) << 4 << 0 << hex("00040000") << int(KFuncAlt);
    QTest::newRow("Win") << int(KFuncWin) << 8 << 0 << hex("00080000") << int(KFuncWin);
    const int masks[] = {3, 5, 9, 6, 10, 12, 7, 11, 13, 14, 15};
    for (int i = 0; i < 11; ++i)
        QTest::addRow("combination %d", 47 + i) << 47 + i << masks[i] << 0x10 << QByteArray::fromHex(
                                                       QByteArray("00") + QByteArray::number(masks[i], 16).rightJustified(2, '0') + "1000")
                                                << 47 + i;
}

void TestFeatureReportMouse::keyCodes()
{
    QFETCH(int, function);
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(QByteArray, code);
    QFETCH(int, decoded);
    DunmorKeyCodec::Code out{};
    QVERIFY(DunmorKeyCodec::keyFunctionToCode(function, x, y, &out));
    const QByteArray bytes(reinterpret_cast<const char*>(out.data()), 4);
    QCOMPARE(bytes, code);
    QCOMPARE(DunmorKeyCodec::decode(out), decoded);
    // The mouse reads the code the same way.
    QCOMPARE(Sim::decodeKey(bytes), decoded);
    const KKeyModelItem item = DunmorKeyCodec::keyCodeToItem(out, 2);
    QCOMPARE((QList<int>{item.getValue1(), item.getValue2(), item.getValue3(), item.getValue4()}),
             (QList<int>{quint8(code[0]), quint8(code[1]), quint8(code[2]), quint8(code[3])}));
    QCOMPARE(item.getType(), decoded);
    QVERIFY(item.getTxt().isEmpty());
}

void TestFeatureReportMouse::refusedFunctions_data()
{
    QTest::addColumn<int>("function");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    for (int f : {14, 15, 16, 17, 39, 40, 41, 43, 44, 45, 46, 58, 100, 182})
        QTest::addRow("function %d", f) << f << 0 << 0;
    QTest::newRow("combination mask 16") << int(KFuncKeyCombination) << 16 << 4;
    QTest::newRow("Ctrl with usage 256") << int(KFuncCtrl) << 1 << 256;
    QTest::newRow("macro slot 0") << int(KFuncMacro) << 0 << 0;
    QTest::newRow("macro slot 5") << int(KFuncMacro) << 5 << 0;
}

void TestFeatureReportMouse::refusedFunctions()
{
    QFETCH(int, function);
    QFETCH(int, x);
    QFETCH(int, y);
    KDeviceDunmor* device = open(DeviceIds::kDunmor);
    QVERIFY(device);
    DunmorKeyCodec::Code out{9, 9, 9, 9};
    QVERIFY(!DunmorKeyCodec::keyFunctionToCode(function, x, y, &out));
    QCOMPARE(out, (DunmorKeyCodec::Code{9, 9, 9, 9}));
    const QByteArray before = m_mouse->keyCode(2);
    QVERIFY(!device->setKeyFunction(KKey(2), KKeyFunction(function), x, y, QVariant()));
    QVERIFY(m_mouse->commands().isEmpty());
    QCOMPARE(m_mouse->keyCode(2), before);
}

void TestFeatureReportMouse::keyEdits()
{
    KDeviceDunmor* device = open(DeviceIds::kDunmor);
    QVERIFY(device);

    // Slots map to keys; unused slots are not reported.
    m_mouse->setSlotCode(7, hex("0100f000"));
    const QMap<KKey, KKeyModelItem> keys = device->getKeys();
    QCOMPARE(keys.keys(), (QList<KKey>{KKey(0), KKey(1), KKey(2), KKey(3), KKey(4), KKey(11), KKey(12), KKey(13)}));
    const QMap<int, int> factory{{0, KFuncMouseLeft}, {1, KFuncMouseRight}, {2, KFuncMouseMiddle},
                                 {3, KFuncMouseForward}, {4, KFuncMouseBack}, {11, KFuncRollerForward},
                                 {12, KFuncRollerBack}, {13, KFuncDpiCycle}};
    for (auto it = factory.cbegin(); it != factory.cend(); ++it)
        QCOMPARE(keys.value(KKey(it.key())).getType(), it.value());

    // A macro on key 4 and a keyboard key on key 2: every other button keeps its function and the macro key
    // its macro, on the mouse.
    QVERIFY(device->setKeyFunction(KKey(4), KKeyFunction(KFuncMacro), 2, QVariant(), QVariant()));
    QVERIFY(device->setKeyFunction(KKey(2), KKeyFunction(KFuncKeyboardKey), 0, 4, QVariant()));
    QCOMPARE(m_mouse->slotCode(2), hex("00000400"));
    QCOMPARE(m_mouse->keyCode(4), hex("09000200"));
    for (auto it = factory.cbegin(); it != factory.cend(); ++it) {
        if (it.key() != 2 && it.key() != 4)
            QCOMPARE(m_mouse->keyFunction(it.key()), it.value());
    }
    // Slots no button uses keep what the mouse had.
    QCOMPARE(m_mouse->slotCode(7), hex("0100f000"));

    // Null puts a key's own function back: key 13 is the DPI cycle button.
    QVERIFY(device->setKeyFunction(KKey(13), KKeyFunction(KFuncDisable), 0, 0, QVariant()));
    QCOMPARE(m_mouse->keyFunction(13), int(KFuncDisable));
    QVERIFY(device->setKeyFunction(KKey(13), KKeyFunction(KFuncNull), 0, 0, QVariant()));
    QCOMPARE(m_mouse->slotCode(3), hex("07000300"));
    QVERIFY(device->setKeyFunction(KKey(2), KKeyFunction(KFuncNull), 0, 0, QVariant()));
    QCOMPARE(m_mouse->keyFunction(2), int(KFuncMouseMiddle));

    // A key without a slot is refused.
    m_mouse->clearLog();
    QVERIFY(!device->setKeyFunction(KKey(5), KKeyFunction(KFuncMouseLeft), 0, 0, QVariant()));
    QVERIFY(m_mouse->commands().isEmpty());
}

void TestFeatureReportMouse::keyEditFailures()
{
    // The first edit reads the buttons when they are not known yet; a failed read sends nothing.
    KDeviceDunmor* device = open(DeviceIds::kDunmor);
    QVERIFY(device);
    m_mouse->failReply(0);
    QVERIFY(!device->setKeyFunction(KKey(1), KKeyFunction(KFuncMouseBack), 0, 0, QVariant()));
    QCOMPARE(m_mouse->commands(), (QList<QByteArray>{command("9201")}));
    QVERIFY(m_mouse->pagesWritten().isEmpty());
    QVERIFY(device->setKeyFunction(KKey(1), KKeyFunction(KFuncMouseBack), 0, 0, QVariant()));
    QCOMPARE(m_mouse->keyFunction(1), int(KFuncMouseBack));
    QCOMPARE(m_mouse->keyFunction(0), int(KFuncMouseLeft));

    // A write that fails part way: the buttons are read again before the next edit.
    m_mouse->clearLog();
    m_mouse->failPageWrite(1);
    QVERIFY(!device->setKeyFunction(KKey(12), KKeyFunction(KFuncMute), 0, 0, QVariant()));
    QVERIFY(device->slotCodes().isEmpty());
    m_mouse->clearLog();
    m_mouse->clearFaults();
    QVERIFY(device->setKeyFunction(KKey(12), KKeyFunction(KFuncMute), 0, 0, QVariant()));
    QCOMPARE(m_mouse->commands(), (QList<QByteArray>{command("9201"), command("12010040")}));
    QCOMPARE(m_mouse->keyFunction(12), int(KFuncMute));
    QCOMPARE(m_mouse->keyFunction(1), int(KFuncMouseBack));
}

// --- macros ----------------------------------------------------------------------------------------------------

void TestFeatureReportMouse::macroBuffers_data()
{
    QTest::addColumn<bool>("kinloch");
    QTest::addColumn<int>("playType");
    QTest::addColumn<int>("count");
    QTest::addColumn<QVector<KMacroItem>>("items");
    QTest::addColumn<QByteArray>("head");  // the buffer's first bytes; the rest is zero

    const QVector<KMacroItem> ab{key(4, false), key(4, true)};
    QTest::newRow("count 300") << false << 1 << 300 << ab << hex("012c01048104");
    QTest::newRow("toggle") << false << 2 << 300 << ab << hex("fffe01048104");
    QTest::newRow("while held") << false << 3 << 300 << ab << hex("ffff01048104");
    QTest::newRow("count held below the marks") << false << 1 << 70000 << ab << hex("fffd01048104");
    QTest::newRow("50 ms after a press") << false << 3 << 1 << QVector<KMacroItem>{key(4, false), delay(50), key(4, true)}
                                         << hex("ffff06048104");
    QTest::newRow("2000 ms after a press") << false << 3 << 1
                                           << QVector<KMacroItem>{key(4, false), delay(2000), key(4, true)}
                                           << hex("ffff01040001" "00c88104");
    QTest::newRow("50 ms after a release") << false << 3 << 1
                                           << QVector<KMacroItem>{key(4, false), key(4, true), delay(50), key(5, false)}
                                           << hex("ffff010486040105");
    QTest::newRow("delay units") << false << 3 << 1
                                 << QVector<KMacroItem>{key(4, false), delay(700000), key(4, false), delay(2000000),
                                                        key(4, false), delay(6000000)}
                                 << hex("ffff01040002" "88b8" "01040003" "9c40" "01040004" "ea60");
    QTest::newRow("wheel -3") << false << 3 << 1 << QVector<KMacroItem>{wheel(-3, 0)} << hex("ffff00060003");
    QTest::newRow("wheel up 123, left 7") << false << 3 << 1 << QVector<KMacroItem>{wheel(123, -7)}
                                          << hex("ffff0005012300080007");
    QTest::newRow("wheel held at 255") << false << 3 << 1 << QVector<KMacroItem>{wheel(300, 0)} << hex("ffff00050255");
    QTest::newRow("buttons") << false << 3 << 1
                             << QVector<KMacroItem>{button(1, false), button(1, true), button(3, false), delay(30),
                                                    button(3, true)}
                             << hex("ffff00f081f004f181f1");
    QTest::newRow("Kinloch count 300") << true << 1 << 300 << ab << hex("00ff01048104");
    QTest::newRow("Kinloch count 44") << true << 1 << 44 << ab << hex("002c01048104");
    QTest::newRow("Kinloch wheel -3") << true << 3 << 1 << QVector<KMacroItem>{wheel(-3, 0)} << hex("ffff00050003");
    QTest::newRow("Kinloch wheel +2") << true << 3 << 1 << QVector<KMacroItem>{wheel(2, 0)} << hex("ffff00060002");
}

void TestFeatureReportMouse::macroBuffers()
{
    QFETCH(bool, kinloch);
    QFETCH(int, playType);
    QFETCH(int, count);
    QFETCH(QVector<KMacroItem>, items);
    QFETCH(QByteArray, head);
    const quint16 pid = kinloch ? DeviceIds::kKinloch : DeviceIds::kDunmor;
    KDeviceDunmor* device = open(pid);
    QVERIFY(device);
    QCOMPARE(device->setMacro(false, MacroPlayType(playType), items, count, 3), 1);
    QCOMPARE(m_mouse->commands(), (QList<QByteArray>{command("13010302")}));
    const QList<QByteArray> pages = m_mouse->pagesWritten();
    QCOMPARE(pages.size(), 32);
    for (const QByteArray& page : pages) {
        QCOMPARE(page.size(), 33);
        QCOMPARE(page.at(0), char(0));
    }
    QByteArray expected = head;
    expected.append(QByteArray(1024 - head.size(), '\0'));
    QCOMPARE(m_mouse->macroBuffer(3).toHex(), expected.toHex());

    // What the mouse plays.
    const Sim::Macro played = m_mouse->macro(3);
    QVERIFY(played.valid);
    if (playType == 1)
        QCOMPARE(played.count, kinloch ? qMin(count, 255) : qMin(count, 0xFFFD));
    int events = 0;
    for (const KMacroItem& item : items)
        events += item.type == KMacroItem::Pointer ? (item.value1 != 0) + (item.value2 != 0) : 1;
    QCOMPARE(played.events.size(), events);
}

void TestFeatureReportMouse::macroRefusals()
{
    KDeviceDunmor* device = open(DeviceIds::kDunmor);
    QVERIFY(device);
    // 510 records fit (bytes 2..1021), 511 do not: refused whole, nothing sent.
    QCOMPARE(device->setMacro(false, MacroPlayWhilePressed, keyEvents(510), 1, 1), 1);
    QCOMPARE(m_mouse->macro(1).events.size(), 510);
    m_mouse->clearLog();
    QCOMPARE(device->setMacro(false, MacroPlayWhilePressed, keyEvents(511), 1, 2), -1);
    QVERIFY(m_mouse->commands().isEmpty());
    QVERIFY(m_mouse->pagesWritten().isEmpty());
    // A long delay that would end past the buffer.
    QVector<KMacroItem> longTail = keyEvents(510);
    longTail << delay(5000);
    QCOMPARE(device->setMacro(false, MacroPlayWhilePressed, longTail, 1, 2), -1);
    // Slots outside 1..4 and unknown play types.
    QCOMPARE(device->setMacro(false, MacroPlayCycles, keyEvents(2), 1, 0), -1);
    QCOMPARE(device->setMacro(false, MacroPlayCycles, keyEvents(2), 1, 5), -1);
    QCOMPARE(device->setMacro(false, MacroPlayType(4), keyEvents(2), 1, 1), -1);
    QVERIFY(m_mouse->commands().isEmpty());
    // Ignoring delays: every delay is the shortest.
    QCOMPARE(device->setMacro(true, MacroPlayWhilePressed, {key(4, false), delay(5000), key(4, true)}, 1, 4), 1);
    QCOMPARE(m_mouse->macroBuffer(4).left(6), hex("ffff01048104"));
}

void TestFeatureReportMouse::macroPageFailure()
{
    KDeviceDunmor* device = open(DeviceIds::kDunmor);
    QVERIFY(device);
    for (int k : {0, 5, 31}) {
        m_mouse->clearLog();
        m_mouse->clearFaults();
        m_mouse->failPageWrite(k);
        QCOMPARE(device->setMacro(false, MacroPlayToggle, keyEvents(4), 1, 1), -1);
        QCOMPARE(m_mouse->pagesWritten().size(), k);
    }
    m_mouse->clearLog();
    m_mouse->clearFaults();
    m_mouse->failCommand(0);
    QCOMPARE(device->setMacro(false, MacroPlayToggle, keyEvents(4), 1, 1), -1);
    QVERIFY(m_mouse->pagesWritten().isEmpty());
}

void TestFeatureReportMouse::macrosStartAlike()
{
    KDeviceDunmor* device = open(DeviceIds::kDunmor);
    QVERIFY(device);
    const QVector<KMacroItem> second{delay(50), key(5, false), key(5, true)};
    QCOMPARE(device->setMacro(false, MacroPlayWhilePressed, second, 1, 2), 1);
    const QByteArray fresh = m_mouse->macroBuffer(2);
    // After a macro that ends on a release, the same macro is written the same way.
    QCOMPARE(device->setMacro(false, MacroPlayWhilePressed, {key(4, false), key(4, true)}, 1, 1), 1);
    QCOMPARE(device->setMacro(false, MacroPlayWhilePressed, second, 1, 2), 1);
    QCOMPARE(m_mouse->macroBuffer(2), fresh);
    QCOMPARE(m_mouse->macro(2).events, (QList<Event>{simDelay(50), simKey(5, false), simKey(5, true)}));
}

void TestFeatureReportMouse::macroSlots()
{
    KDeviceDunmor* device = open(DeviceIds::kDunmor);
    QVERIFY(device);
    int slot = 0;

    // Free slots are given lowest first; a key that had a macro gives up its old slot.
    setKeyItems({{0, KFuncMouseLeft}});
    QVERIFY(device->checkMacroId(3, &slot));
    QCOMPARE(slot, 1);
    QVERIFY(device->checkMacroId(4, &slot));
    QCOMPARE(slot, 2);
    setKeyItems({{0, KFuncMouseLeft}, {3, KFuncMacro}}, {{3, 1}});
    QVERIFY(device->checkMacroId(3, &slot));
    QCOMPARE(slot, 3);
    QCOMPARE(device->macroSlots().value(1), -1);

    // Four macro keys: only one of them gets its own slot back.
    setKeyItems({{1, KFuncMacro}, {2, KFuncMacro}, {3, KFuncMacro}, {4, KFuncMacro}},
                {{1, 1}, {2, 2}, {3, 3}, {4, 4}});
    QVERIFY(!device->checkMacroId(13, &slot));
    QVERIFY(device->checkMacroId(3, &slot));
    QCOMPARE(slot, 3);

    // Three macro keys but no free slot (slots 3 and 4 are still held): refused, nothing reported; values
    // outside 1..4 never enter the map.
    setKeyItems({{1, KFuncMacro}, {2, KFuncMacro}, {3, KFuncMacro}}, {{1, 1}, {2, 2}, {3, 9}});
    slot = 0;
    QVERIFY(!device->checkMacroId(13, &slot));
    QCOMPARE(slot, 0);
    QCOMPARE(device->macroSlots(), (QMap<int, int>{{1, 1}, {2, 2}, {3, 3}, {4, 4}}));

    // A key assigned anything else frees its slot, which the next macro key gets.
    QVERIFY(device->setKeyFunction(KKey(4), KKeyFunction(KFuncMouseLeft), 0, 0, QVariant()));
    QCOMPARE(device->macroSlots().value(4), -1);
    QVERIFY(device->checkMacroId(13, &slot));
    QCOMPARE(slot, 4);
}

void TestFeatureReportMouse::leftKeyAndFilter()
{
    KDeviceDunmor* device = open(DeviceIds::kDunmor);
    QVERIFY(device);
    setKeyItems({{0, KFuncMouseLeft}});
    QVERIFY(!device->checkLeftKey(0));
    QVERIFY(device->checkLeftKey(1));
    setKeyItems({{0, KFuncMouseLeft}, {3, KFuncMouseLeft}});
    QVERIFY(device->checkLeftKey(0));

    // The filter: a press gets its release, a lone release goes, a trailing delay goes; empty is refused.
    QVector<KMacroItem> items{key(5, true), key(4, false), delay(10)};
    int out = 0;
    QVERIFY(device->macroFilter(items, &out));
    QCOMPARE(items, (QVector<KMacroItem>{key(4, false), delay(10), key(4, true)}));
    QVector<KMacroItem> empty;
    QVERIFY(!device->macroFilter(empty, &out));
}

// --- Kinloch ---------------------------------------------------------------------------------------------------

void TestFeatureReportMouse::kinlochDpi()
{
    KDeviceDunmor* device = open(DeviceIds::kKinloch);
    QVERIFY(qobject_cast<HDeviceKinloch*>(device));
    QCOMPARE(device->getDpiList(), QVector<int>({500, 1000, 1500, 2000, 3000, 4000}));
    m_mouse->setDpiPage(hex("00010aff00000000"));
    QCOMPARE(device->getDpiList(), QVector<int>({250, 4000, 0, 0, 0, 0}));

    // 4500 has no step: stage 0 takes its default (code 2) and the model shows 500, with one write.
    m_dpi->setNumber(8);
    m_dpi->setMinValue(100);
    m_dpi->setMaxValue(5000);
    m_dpi->setValues({4500, 800, 1000, 1200, 1600, 2000, 2400, 3000});
    MouseUiState ui = device->session().uiState();
    ui.dpiEnable = QVector<bool>(8, true);
    device->session().setUiState(ui);
    m_mouse->clearLog();
    QVERIFY(device->setDpiList({4500, 600, 4100, 4100, 4100, 4100, 4100, 4500}));
    QCOMPARE(m_mouse->commands(), (QList<QByteArray>{command("11010710")}));
    // Stages 2-6 (4100) take their defaults too; stage 7 is left out.
    QCOMPARE(m_mouse->dpiPage().left(10), hex("0002030405060708ff00"));
    WAIT_COMPARE(m_dpi->values().value(0), 500);
    QCOMPARE(m_dpi->values().mid(2, 5), QVector<int>({1000, 1250, 1500, 1750, 2000}));
    QCOMPARE(m_dpi->values().value(7), 3000);
    QCOMPARE(m_mouse->commands().size(), 1);
    QCOMPARE(m_dpi->values().value(1), 800);

    // A failed write tells the model nothing.
    m_mouse->failCommand(1);
    QVERIFY(!device->setDpiList({4500, 800}));
    QCoreApplication::processEvents();
    QCOMPARE(m_dpi->values().value(0), 500);
}

// --- the supplier image mouse ----------------------------------------------------------------------------------

void TestFeatureReportMouse::supplierImageMouse()
{
    m_imageMouse = std::make_unique<SimSupplierImageMouse>();
    m_imageMouse->setImageByte(39, 0);
    QVERIFY(m_imageMouse->plug(m_bus->bus()));
    auto* device = qobject_cast<HDeviceKinloch_Hollis*>(create(DeviceIds::kKinlochHollis));
    QVERIFY(device);
    Platform::clearRecordedSleeps();

    // Opening: the image is read whole, then written back in light mode 3.
    QVERIFY(device->initDevice());
    QCOMPARE(m_imageMouse->readRequests(), 1);
    QCOMPARE(m_imageMouse->received().first().left(4), hex("04a00101"));
    QCOMPARE(m_imageMouse->received().first().size(), 64);
    QCOMPARE(m_imageMouse->writtenPages().size(), 2);
    QCOMPARE(m_imageMouse->lightMode(), 3);
    QCOMPARE(m_imageMouse->lightAttribute(), 0x7F);
    QCOMPARE(m_imageMouse->lightBrightness(), 5);
    QCOMPARE(m_imageMouse->lightSpeed(), 2);
    QCOMPARE(int(m_imageMouse->imageByte(3)), 2);
    QCOMPARE(int(m_imageMouse->imageByte(67)), 2);
    QCOMPARE(Platform::recordedSleeps(), (QList<int>{100, 100, 100, 100, 100}));
    QCOMPARE(device->getFwVersion(), 0x0210);
    QVERIFY(device->getLayout()->isEmpty());

    // Modes 6 and 1.
    QVERIFY(device->setLightModel(6, 0));
    QCOMPARE((QList<int>{m_imageMouse->lightMode(), m_imageMouse->lightAttribute(), m_imageMouse->lightSpeed()}),
             (QList<int>{6, 0x7F, 0}));
    QVERIFY(device->setLightModel(1, 0));
    QCOMPARE((QList<int>{m_imageMouse->lightMode(), m_imageMouse->lightAttribute(), m_imageMouse->lightBrightness()}),
             (QList<int>{1, 1, 10}));

    // Byte 40 = 1 asks for key entry 9 as the fire button and the saved stage; 0 and 2 leave the entry alone.
    m_imageMouse->setImageByte(40, 1);
    m_imageMouse->setImageByte(7, 4);
    QVERIFY(device->readFile());
    QVERIFY(device->setLightModel(2, 0));
    QCOMPARE(m_imageMouse->keyEntry(9), hex("b902000000"));
    QCOMPARE(int(m_imageMouse->imageByte(40)), 2);
    QCOMPARE(int(m_imageMouse->imageByte(7)), 4);
    for (int flag : {0, 2}) {
        m_imageMouse->setImageByte(40, quint8(flag));
        m_imageMouse->setImageByte(116, 0x11);
        QVERIFY(device->readFile());
        QVERIFY(device->setLightModel(4, 0));
        QCOMPARE(int(m_imageMouse->imageByte(116)), 0x11);
        QCOMPARE(int(m_imageMouse->imageByte(40)), flag);
    }

    // Every other operation leaves the mouse alone.
    m_imageMouse->clearLog();
    QCOMPARE(device->getDpiIndex(), -1);
    QCOMPARE(device->getReportRate(), -1);
    QCOMPARE(device->getLightModel(0), -1);
    QCOMPARE(device->getLightSpeed(0), -1);
    QCOMPARE(device->getLightBrightness(0), -1);
    QVERIFY(device->getDpiList().isEmpty());
    QVERIFY(device->getRGB(0).isEmpty());
    QVERIFY(device->getKeys().isEmpty());
    QVERIFY(!device->setDpiIndex(1));
    QVERIFY(!device->setDpiList({400}));
    QVERIFY(!device->setReportRate(1));
    QVERIFY(!device->setLightSpeed(1, 0));
    QVERIFY(!device->setLightBrightness(1, 0));
    QVERIFY(!device->setRGB({{"r", 1}, {"g", 1}, {"b", 1}}, 0));
    QVERIFY(!device->setKeyFunction(KKey(1), KKeyFunction(KFuncMouseLeft), 0, 0, QVariant()));
    QCOMPARE(device->setMacro(false, MacroPlayCycles, keyEvents(2), 1, 1), -1);
    int slot = 0;
    QVERIFY(!device->checkMacroId(1, &slot));
    QVERIFY(!device->checkLeftKey(1));
    QVector<KMacroItem> items = keyEvents(2);
    QVERIFY(!device->macroFilter(items, &slot));
    QVERIFY(device->getMacro(items, KKey(1)));
    QCOMPARE(items, keyEvents(2));
    QCOMPARE(device->getMouseConfig(QJsonObject()), 0);
    QVERIFY(m_imageMouse->received().isEmpty());
}

void TestFeatureReportMouse::supplierImageFailures()
{
    // The image read fails at opening: the mouse opens, but no image of zeros is written.
    m_imageMouse = std::make_unique<SimSupplierImageMouse>();
    QVERIFY(m_imageMouse->plug(m_bus->bus()));
    auto* device = qobject_cast<HDeviceKinloch_Hollis*>(create(DeviceIds::kKinlochHollis));
    QVERIFY(device);
    m_imageMouse->failRead();
    const QByteArray factory = m_imageMouse->image();
    QVERIFY(device->initDevice());
    QCOMPARE(m_imageMouse->readRequests(), 1);
    QVERIFY(m_imageMouse->writtenPages().isEmpty());
    QVERIFY(!device->setLightModel(2, 0));
    QVERIFY(m_imageMouse->writtenPages().isEmpty());
    QCOMPARE(m_imageMouse->image(), factory);

    // Once read, a failed first page stops the write; a failed second leaves the first on the mouse.
    QVERIFY(device->readFile());
    m_imageMouse->clearLog();
    m_imageMouse->failWrite(0);
    QVERIFY(!device->setLightModel(2, 0));
    QVERIFY(m_imageMouse->writtenPages().isEmpty());
    m_imageMouse->clearLog();
    m_imageMouse->clearFaults();
    m_imageMouse->failWrite(1);
    QVERIFY(!device->setLightModel(5, 0));
    QCOMPARE(m_imageMouse->writtenPages().size(), 1);
    // The object keeps the image the mouse acknowledged.
    QCOMPARE(int(quint8(device->image().at(37))), 0);

    // No mouse: five attempts, and nothing read.
    cleanup();
    init();
    auto* absent = qobject_cast<HDeviceKinloch_Hollis*>(create(DeviceIds::kKinlochHollis));
    QVERIFY(absent);
    Platform::clearRecordedSleeps();
    QVERIFY(!absent->initDevice());
    QCOMPARE(Platform::recordedSleeps(), (QList<int>{1000, 1000, 1000, 1000}));
    QVERIFY(!absent->readFile());
    QVERIFY(!absent->setLightModel(3, 0));
}

// --- a simulated run ----------------------------------------------------------------------------------------

void TestFeatureReportMouse::simulatedRun_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<quint16>("pid");
    QTest::newRow("root") << "DUNMOR" << DeviceIds::kDunmor;
    QTest::newRow("model") << "garrick" << DeviceIds::kGarrick;
    QTest::newRow("Kinloch") << "KINLOCH" << DeviceIds::kKinloch;
    QTest::newRow("image mouse") << "KINLOCH_Hollis" << DeviceIds::kKinlochHollis;
}

void TestFeatureReportMouse::simulatedRun()
{
    QFETCH(QString, name);
    QFETCH(quint16, pid);
    // The simulation plugs the family's emulator; the class opens it and reads the model's own layout.
    QVERIFY(setupSimulation(name));
    QVERIFY(simulatedProductIds().contains(pid));
    QVERIFY(!DeviceFactory::serves(pid));
    KBaseDevice* device = create(pid);
    QVERIFY(device);
    QVERIFY(device->initDevice());
    if (pid == DeviceIds::kKinlochHollis) {
        QVERIFY(device->getLayout()->isEmpty());
        QCOMPARE(device->getFwVersion(), 0x0210);
        return;
    }
    QCOMPARE(device->getLayout()->value("deviceName").toString(), QString::fromLatin1(DeviceIds::find(pid)->model));
    QCOMPARE(device->getFwVersion(), 0x0105);
    QCOMPARE(device->getDpiList().size(), 6);
}

QTEST_MAIN(TestFeatureReportMouse)
#include "tst_featurereportmouse.moc"
