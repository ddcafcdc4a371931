// The two-collection mice (the root and its six models) against the simulated two-collection mouse: opening,
// the profile image and its checksums, settings, key codes, macro records, the OLED picture and whole profiles.
// Sleeps are recorded, not slept; the emulator decodes what it receives.

#include "LogCapture.h"
#include "MouseFamilyFixture.h"

#include "common/DeviceIds.h"
#include "devices/mouse/twocollection/EdrisKeyCodec.h"
#include "devices/mouse/twocollection/EdrisMacro.h"
#include "devices/mouse/twocollection/EdrisProtocol.h"
#include "devices/mouse/twocollection/FDeviceEdris.h"
#include "hid/DeviceFactory.h"
#include "hid/HDeviceManager.h"
#include "models/device/FOledModel.h"
#include "models/device/FPaintView.h"
#include "models/device/KDpiModel.h"
#include "models/device/KLightModel.h"
#include "models/device/KLightModelItem.h"
#include "models/device/KReportModel.h"
#include "models/keys/KKeyModel.h"
#include "models/keys/KKeyModelItem.h"
#include "platform/sys/PlatformTime.h"
#include "common/ProgramFolders.h"
#include "sim/SimulationSetup.h"
#include "sim/mouse/twocollection/SimTwoCollectionMouse.h"
#include "hid/khid/KUSBDevice.h"
#include "TestWait.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMouseEvent>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

using Sim = SimTwoCollectionMouse;
using Item = EdrisMacroItem;

Q_DECLARE_METATYPE(QVector<KMacroItem>)
Q_DECLARE_METATYPE(QVector<EdrisMacroItem>)

namespace {

constexpr int kEdris = DeviceIds::kEdris;
constexpr int kPembry = DeviceIds::kPembry;
constexpr int kOrlan = DeviceIds::kOrlan;
constexpr int kSelwin = DeviceIds::kSelwin;
constexpr int kTamsin = DeviceIds::kTamsin;
constexpr int kVarlo = DeviceIds::kVarlo;
constexpr int kWendal = DeviceIds::kWendal;
constexpr int kAllModels[] = {kEdris, kPembry, kOrlan, kSelwin, kTamsin, kVarlo, kWendal};

KMacroItem press(int usage, bool up = false)
{
    return KMacroItem(KMacroItem::KeyboardKey, usage, 0, up, QStringLiteral("A"));
}
using Fixture = MouseFamilyFixture;
using MouseTestData::button;
using MouseTestData::delay;
using MouseTestData::move;

QVector<Item> items(std::initializer_list<int> bytes)
{
    QVector<Item> out;
    for (auto it = bytes.begin(); it != bytes.end(); it += 2)
        out << Item{quint8(*it), quint8(*(it + 1))};
    return out;
}

QJsonObject macroValue(const QVector<KMacroItem>& events, const QString& name, int playType = 1)
{
    return MouseTestData::macroValue(events, name, playType, 3);
}

QJsonArray lights(const QString& colour, int speed, int brightness)
{
    QJsonArray array;
    for (int i = 0; i < 6; ++i)
        array << QJsonObject{{QStringLiteral("model"), i}, {QStringLiteral("speed"), speed},
                             {QStringLiteral("brightness"), brightness}, {QStringLiteral("colors"), QJsonArray{colour}}};
    return array;
}

QJsonObject baseProfile()
{
    const QJsonArray stages = MouseTestData::dpiStages({400, 800, 1600, 2400, 3200, 4800, 6200});
    return QJsonObject{
        {QStringLiteral("report"), QJsonObject{{QStringLiteral("index"), 1}}},
        {QStringLiteral("dpi"), QJsonObject{{QStringLiteral("currentIndex"), 0}, {QStringLiteral("dpiValue"), stages}}},
        {QStringLiteral("lightModel"), QJsonObject{{QStringLiteral("index"), 2}}},
        {QStringLiteral("light"), lights(QStringLiteral("102030"), 2, 6)},
        {QStringLiteral("wheelLightModel"), QJsonObject{{QStringLiteral("index"), 4}}},
        {QStringLiteral("wheelLight"), lights(QStringLiteral("405060"), 7, 3)},
    };
}

quint8 byteAt(const QByteArray& bytes, int i)
{
    return quint8(bytes.at(i));
}

} // namespace

class TestTwoCollectionMouse : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opening();
    void checksums_data();
    void checksums();
    void badImageIsNeverWritten();
    void statusQuery();
    void echoTest_data();
    void echoTest();

    void dpiWrite();
    void stageDefaults_data();
    void stageDefaults();
    void dpiConversions_data();
    void dpiConversions();
    void dpiRefusals_data();
    void dpiRefusals();
    void lightAndPicture();
    void bothZonesEffect();

    void codecRoundTrip();
    void keyDecoding_data();
    void keyDecoding();
    void keysReadBackOnTheirButton_data();
    void keysReadBackOnTheirButton();
    void refusedKeys_data();
    void refusedKeys();
    void compositeKeys();

    void goldenMacroItems_data();
    void goldenMacroItems();
    void macroRecordLimits();
    void macroFilter();
    void leftKeyGuard();

    void pictureBlocks_data();
    void pictureBlocks();
    void pictureUpload();
    void drawnPixelsAreLit_data();
    void drawnPixelsAreLit();

    void profileWithoutKeys();
    void profileWithMacrosAndPressMacros();
    void profileMacroFailure();
    void profileRefusals_data();
    void profileRefusals();
    void factoryProfilesMatchTheMouse_data();
    void factoryProfilesMatchTheMouse();
    void simulatedRun_data();
    void simulatedRun();

private:
    FDeviceEdris* open(int pid, int sign = 0);
    void listKeys(const QList<int>& keys);

    std::unique_ptr<Fixture> m_fixture;
    std::unique_ptr<Sim> m_mouse;
    SimBusFixture* m_bus = nullptr;
    RecordingServices* m_services = nullptr;
    KDpiModel* m_dpi = nullptr;
    KReportModel* m_report = nullptr;
    KLightModel* m_light = nullptr;
    KKeyModel* m_keys = nullptr;
    FDeviceEdris* m_device = nullptr;
};

void TestTwoCollectionMouse::init()
{
    QStandardPaths::setTestModeEnabled(true);
    m_fixture = std::make_unique<Fixture>(Fixture::Dpi | Fixture::Report | Fixture::WheelLight | Fixture::Keys
                                          | Fixture::Oled);
    m_bus = m_fixture->bus();
    m_services = m_fixture->services();
    m_dpi = m_fixture->dpi();
    m_report = m_fixture->report();
    m_light = m_fixture->light();
    m_keys = m_fixture->keys();
    m_dpi->setNumber(7);
    m_dpi->setMinValue(50);
    m_dpi->setMaxValue(20000);
    m_dpi->setValues(QVector<int>(7, 100));
    m_dpi->setEnable(QVector<bool>(7, true));
}

void TestTwoCollectionMouse::cleanup()
{
    if (m_device)
        m_fixture->removeDevice(m_device->productId());
    m_device = nullptr;
    m_mouse.reset();
    m_fixture.reset();
}

FDeviceEdris* TestTwoCollectionMouse::open(int pid, int sign)
{
    m_mouse = std::make_unique<Sim>(quint16(pid));
    m_mouse->setImage(Sim::factoryImage(quint16(pid), sign));
    if (!m_mouse->plug(m_bus->bus()))
        return nullptr;
    m_device = m_fixture->openDevice<FDeviceEdris>(quint16(pid));
    if (!m_device)
        return nullptr;
    m_mouse->clearLog();
    Platform::clearRecordedSleeps();
    return m_device;
}

// The key editor lists these buttons, each with no function yet.
void TestTwoCollectionMouse::listKeys(const QList<int>& keys)
{
    QVariantList list;
    for (int key : keys)
        list << QVariant::fromValue<QObject*>(new KKeyModelItem(key, 0, 0, 0, 0, 0, QString(), m_keys));
    m_keys->setKeyList(list);
    if (m_device)
        m_device->session().refreshUiState();
}

// --- opening, checksums, status ------------------------------------------------------------------------------

void TestTwoCollectionMouse::opening()
{
    // Without its data collection: the command collection opens, the data collection gives up after five tries.
    m_mouse = std::make_unique<Sim>(quint16(kEdris));
    QVERIFY(m_mouse->plug(m_bus->bus(), false));
    QVERIFY(HDeviceManager::instance()->createDevice(kEdris));
    m_device = qobject_cast<FDeviceEdris*>(HDeviceManager::instance()->getDevice(kEdris));
    QVERIFY(m_device);
    QCOMPARE(m_device->getFwVersion(), -1);
    Platform::clearRecordedSleeps();
    QVERIFY(!m_device->initDevice());
    QCOMPARE(Platform::recordedSleeps(), (QList<int>{1000, 1000, 1000, 1000}));
    QVERIFY(m_mouse->commands().isEmpty());

    // With both: the firmware version and the profile are read.
    m_mouse->unplug();
    QVERIFY(m_mouse->plug(m_bus->bus()));
    QVERIFY(m_device->initDevice());
    QCOMPARE(m_device->getFwVersion(), 0x0107);
    QCOMPARE(m_device->profile(), m_mouse->image().left(476));
    const int handles = m_bus->bus()->openHandleCount(m_mouse->busDeviceId());
    QCOMPARE(handles, 4);

    // Opening again releases the old channels first and reads the profile again.
    m_mouse->clearLog();
    m_mouse->setImageByte(242, 2);
    QByteArray image = m_mouse->image();
    Sim::seal(image, kEdris, 0);
    m_mouse->setImage(image);
    QVERIFY(m_device->initDevice());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(m_bus->bus()->openHandleCount(m_mouse->busDeviceId()), handles);
    QCOMPARE(m_mouse->commands().size(), 1);
    QCOMPARE(m_device->getReportRate(), 2);

    // A profile read that fails, or an image that fails its checksum, fails the opening.
    m_mouse->clearFaults();
    m_mouse->failTransfer(1);
    QVERIFY(!m_device->initDevice());
    m_mouse->clearFaults();
    m_mouse->setImageByte(40, quint8(m_mouse->imageByte(40) + 1));
    QVERIFY(!m_device->initDevice());
}

void TestTwoCollectionMouse::checksums_data()
{
    QTest::addColumn<int>("pid");
    QTest::addColumn<int>("sign");
    for (int pid : kAllModels) {
        const QByteArray name = DeviceIds::find(pid)->typeName;
        QTest::newRow((name + " adds").constData()) << pid << 0;
        QTest::newRow((name + " subtracts").constData()) << pid << 1;
    }
}

void TestTwoCollectionMouse::checksums()
{
    QFETCH(int, pid);
    QFETCH(int, sign);
    FDeviceEdris* mouse = open(pid, sign);
    QVERIFY(mouse);
    const QByteArray before = m_mouse->image();
    QVERIFY(mouse->setReportRate(1));
    QCOMPARE(m_mouse->imageWrites(), 1);
    const QByteArray after = m_mouse->image();
    QCOMPARE(int(byteAt(after, 242)), 1);
    QCOMPARE(int(byteAt(after, 0)), 1);
    // The first half, the device's byte 247 and bytes 481..503 travel unchanged.
    QCOMPARE(after.mid(1, 241), before.mid(1, 241));
    QCOMPARE(after.at(247), before.at(247));
    QCOMPARE(after.mid(481, 23), before.mid(481, 23));
    const QByteArray block = m_mouse->blocks().last();
    QCOMPARE(int(byteAt(block, 1)), 3);
    QCOMPARE(int(byteAt(block, 3)) | int(byteAt(block, 4)) << 8, 0x200);
    QCOMPARE(block.mid(8 + 504), QByteArray(1032 - 8 - 504, '\0'));
    if (mouse->model().checksum.checked) {
        // The sign flag and adjustment as read, byte 478 zero, the second checksum of the new second half.
        QCOMPARE(after.mid(476, 3), before.mid(476, 2) + QByteArray(1, '\0'));
        QVERIFY(Sim::secondChecksumHolds(after));
        QVERIFY(Sim::firstHalfPasses(after, quint16(pid)));
    } else {
        // Without the checksums the completion bytes are those last read.
        QCOMPARE(after.mid(476, 5), before.mid(476, 5));
        QVERIFY(!Sim::secondChecksumHolds(after));
    }
    // Pembry and Orlan read and write an image that no checksum holds.
    if (!mouse->model().checksum.checked) {
        m_mouse->setImageByte(40, quint8(m_mouse->imageByte(40) + 1));
        QVERIFY(mouse->initDevice());
        QVERIFY(mouse->setReportRate(0));
        QCOMPARE(m_mouse->reportRate(), 0);
    }
}

void TestTwoCollectionMouse::badImageIsNeverWritten()
{
    FDeviceEdris* mouse = open(kVarlo);
    QVERIFY(mouse);
    // The image on the mouse no longer passes its test: every write stops before anything is sent.
    m_mouse->setImageByte(40, quint8(m_mouse->imageByte(40) + 1));
    QVERIFY(!mouse->setReportRate(2));
    QVERIFY(!mouse->setLightSpeed(3, 0));
    QVERIFY(m_mouse->blocks().isEmpty());
    QCOMPARE(mouse->getReportRate(), 3);
    QCOMPARE(mouse->getLightSpeed(0), 5);
}

void TestTwoCollectionMouse::statusQuery()
{
    FDeviceEdris* mouse = open(kEdris);
    QVERIFY(mouse);
    quint8 status = 0xEE;
    m_mouse->setStatus(QByteArray("\x00\x05", 2));
    QVERIFY(mouse->queryStatus(&status, 2, true));
    QCOMPARE(int(status), 5);

    // Busy: the busy-tested query fails, the plain one answers.
    m_mouse->setBusy(true);
    QVERIFY(!mouse->queryStatus(&status, 1, true));
    QVERIFY(mouse->queryStatus(&status, 1, false));
    QVERIFY(!mouse->GetStatus(&status, 1));
    QCOMPARE(Platform::recordedSleeps(), QList<int>());

    // Idle with status 0: at once; a status that stays non-zero: four queries, 100 ms apart, then false.
    m_mouse->setBusy(false);
    QVERIFY(mouse->GetStatus(&status, 1));
    QCOMPARE(int(status), 0);
    m_mouse->clearLog();
    QVERIFY(!mouse->GetStatus(&status, 2));
    QCOMPARE(m_mouse->commands().size(), 4);
    QCOMPARE(Platform::recordedSleeps(), (QList<int>{100, 100, 100, 100}));
}

void TestTwoCollectionMouse::echoTest_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("value");
    QTest::newRow("report id of the profile answer") << 0x83 << 0 << 5;
    QTest::newRow("command of the profile answer") << 0x83 << 1 << 0x85;
    QTest::newRow("report id of the picture answer") << 0x85 << 0 << 7;
    QTest::newRow("command of the picture answer") << 0x85 << 1 << 0x83;
    QTest::newRow("sub-code of the picture answer") << 0x85 << 2 << 0x00;
}

// An answer is taken only when every byte it echoes is right (one wrong byte is enough to refuse it).
void TestTwoCollectionMouse::echoTest()
{
    QFETCH(int, command);
    QFETCH(int, index);
    QFETCH(int, value);
    FDeviceEdris* mouse = open(kEdris);
    QVERIFY(mouse);
    m_mouse->corruptAnswer(quint8(command), index, quint8(value));
    if (command == 0x83) {
        QVERIFY(!mouse->setReportRate(1));
        QVERIFY(m_mouse->blocks().isEmpty());
        QVERIFY(!mouse->initDevice());
    } else {
        QByteArray block;
        QVERIFY(!mouse->readPictureData(&block));
    }
}

// --- settings --------------------------------------------------------------------------------------------------

void TestTwoCollectionMouse::dpiWrite()
{
    FDeviceEdris* mouse = open(kEdris);
    QVERIFY(mouse);
    m_dpi->setEnable({true, false, true, true, true, true, true});
    mouse->session().refreshUiState();
    QVERIFY(mouse->setDpiList({0, 1200, 0}));
    // Stage 1 is off: dropped and its 0 appended; the enabled empty stages take their defaults.
    QCOMPARE(m_mouse->dpiCodes().mid(0, 3), (QList<int>{800 / 50, 1500 / 50, 0}));
    QCOMPARE(m_mouse->dpiYCodes().mid(0, 3), (QList<int>{16, 30, 0}));
    QCOMPARE(m_mouse->dpiCodes().mid(3), (QList<int>{40, 60, 160, 320}));
    QCOMPARE(m_dpi->values().value(0), 800);
    QCOMPARE(m_dpi->values().value(2), 1500);
    QCOMPARE(mouse->getDpiList().mid(0, 3), (QVector<int>{800, 1500, 0}));

    // 1230 is stored as code 24 and reads back as 1200; codes above a byte use the high bytes.
    m_dpi->setEnable(QVector<bool>(7, true));
    mouse->session().refreshUiState();
    QVERIFY(mouse->setDpiList({1230, 16000}));
    QCOMPARE(m_mouse->dpiCodes().mid(0, 2), (QList<int>{24, 320}));
    QCOMPARE(int(m_mouse->imageByte(309)), 1);
    QCOMPARE(mouse->getDpiList().mid(0, 2), (QVector<int>{1200, 16000}));
}

void TestTwoCollectionMouse::stageDefaults_data()
{
    QTest::addColumn<int>("pid");
    QTest::addColumn<QVector<int>>("defaults");
    QTest::newRow("Edris") << kEdris << QVector<int>{800, 1000, 1500, 2000, 3000, 8000, 16000};
    QTest::newRow("Tamsin") << kTamsin << QVector<int>{800, 1000, 1500, 2000, 3000, 8000, 16000};
    QTest::newRow("Pembry") << kPembry << QVector<int>{400, 800, 1200, 1600, 2000, 2400, 3000};
    QTest::newRow("Orlan") << kOrlan << QVector<int>{400, 800, 1200, 1600, 2000, 2400, 3000};
    QTest::newRow("Selwin") << kSelwin << QVector<int>{800, 1200, 1800, 3000, 6200, 3000, 6200};
    QTest::newRow("Varlo") << kVarlo << QVector<int>{800, 1200, 1800, 3000, 6200};
    QTest::newRow("Wendal") << kWendal << QVector<int>{600, 1000, 1200, 1600, 2000};
}

// Enabled stages without a value take the model's defaults, and the DPI model is told each stage's own.
void TestTwoCollectionMouse::stageDefaults()
{
    QFETCH(int, pid);
    QFETCH(QVector<int>, defaults);
    FDeviceEdris* mouse = open(pid);
    QVERIFY(mouse);
    QVERIFY(mouse->setDpiList(QVector<int>(defaults.size(), 0)));
    QCOMPARE(mouse->getDpiList(), defaults);
    QCOMPARE(m_dpi->values().mid(0, defaults.size()), defaults);
    for (int stage = 0; stage < defaults.size(); ++stage)
        QCOMPARE(m_mouse->dpiCodes().at(stage), int(mouse->dpiValueToCode(defaults.at(stage))));
}

void TestTwoCollectionMouse::dpiConversions_data()
{
    QTest::addColumn<int>("pid");
    QTest::addColumn<int>("stages");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("valueOfCode");
    QTest::newRow("Edris") << kEdris << 7 << 1230 << 24 << 1200;
    QTest::newRow("Tamsin") << kTamsin << 7 << 16000 << 320 << 16000;
    QTest::newRow("Selwin") << kSelwin << 7 << 6200 << 124 << 6200;
    QTest::newRow("Wendal") << kWendal << 5 << 600 << 12 << 600;
    QTest::newRow("Pembry 1200") << kPembry << 7 << 1200 << 27 << 1200;
    QTest::newRow("Pembry code 5") << kPembry << 7 << 1230 << 0 << 0;
    QTest::newRow("Orlan") << kOrlan << 7 << 6200 << 145 << 6200;
    QTest::newRow("Varlo 4200") << kVarlo << 5 << 4200 << 0 << 0;
    QTest::newRow("Varlo 4900") << kVarlo << 5 << 4900 << 111 << 4900;
}

void TestTwoCollectionMouse::dpiConversions()
{
    QFETCH(int, pid);
    QFETCH(int, stages);
    QFETCH(int, value);
    QFETCH(int, code);
    QFETCH(int, valueOfCode);
    std::unique_ptr<KBaseDevice> base(DeviceFactory::createModel(pid));
    auto* mouse = qobject_cast<FDeviceEdris*>(base.get());
    QVERIFY(mouse);
    QCOMPARE(int(mouse->dpiValueToCode(value)), code);
    QCOMPARE(mouse->dpiCodeToValue(quint16(code == 0 ? 5 : code)), code == 0 ? 0 : valueOfCode);
    QCOMPARE(mouse->getDpiList().size(), stages);
}

void TestTwoCollectionMouse::dpiRefusals_data()
{
    QTest::addColumn<int>("pid");
    QTest::addColumn<QVector<int>>("values");
    QTest::newRow("eight stages") << kEdris << QVector<int>{800, 900, 1000, 1100, 1200, 1300, 1400, 1500};
    QTest::newRow("six stages on a five-stage mouse") << kWendal << QVector<int>{600, 700, 800, 900, 1000, 1100};
    QTest::newRow("Varlo 4200") << kVarlo << QVector<int>{800, 4200};
    QTest::newRow("Pembry 1230") << kPembry << QVector<int>{1230};
    QTest::newRow("negative") << kEdris << QVector<int>{-50};
    QTest::newRow("below one code") << kEdris << QVector<int>{30};
}

void TestTwoCollectionMouse::dpiRefusals()
{
    QFETCH(int, pid);
    QFETCH(QVector<int>, values);
    FDeviceEdris* mouse = open(pid);
    QVERIFY(mouse);
    const QVector<int> before = mouse->getDpiList();
    m_dpi->setEnable({true, true});   // a short switch list: the stages after it count as on
    mouse->session().refreshUiState();
    QVERIFY(!mouse->setDpiList(values));
    QVERIFY(m_mouse->blocks().isEmpty());
    QCOMPARE(mouse->getDpiList(), before);
}

void TestTwoCollectionMouse::lightAndPicture()
{
    FDeviceEdris* mouse = open(kEdris);
    QVERIFY(mouse);
    // Speed 2 is stored as 7; a stored 0 reads as 9.
    QVERIFY(mouse->setLightSpeed(2, 1));
    QCOMPARE(m_mouse->speedByte(1), 7);
    QCOMPARE(mouse->getLightSpeed(1), 2);
    m_mouse->setImageByte(268, 0);
    QByteArray image = m_mouse->image();
    Sim::seal(image, kEdris, 0);
    m_mouse->setImage(image);
    QVERIFY(mouse->initDevice());
    QCOMPARE(mouse->getLightSpeed(0), 9);

    // A colour clears the zone's two side bytes; an unknown zone writes nothing.
    m_mouse->clearLog();
    const QMap<QString, int> rgb{{QStringLiteral("r"), 1}, {QStringLiteral("g"), 2}, {QStringLiteral("b"), 3}};
    QVERIFY(mouse->setRGB(rgb, 0));
    QCOMPARE(m_mouse->colour(0), (QList<int>{1, 2, 3}));
    QCOMPARE(int(m_mouse->imageByte(265)) + int(m_mouse->imageByte(267)), 0);
    QCOMPARE(mouse->getRGB(0), rgb);
    const int writes = m_mouse->blocks().size();
    QVERIFY(!mouse->setRGB(rgb, 2));
    QVERIFY(!mouse->setLightSpeed(1, 2));
    QVERIFY(!mouse->setLightBrightness(1, -1));
    QCOMPARE(m_mouse->blocks().size(), writes);
    QCOMPARE(mouse->getLightModel(2), -1);
    QVERIFY(mouse->getRGB(2).isEmpty());

    QVERIFY(mouse->setLightBrightness(9, 1));
    QCOMPARE(m_mouse->brightness(1), 9);
    QVERIFY(mouse->setOLEDLightIntensity(7));
    QCOMPARE(int(m_mouse->imageByte(254)), 7);
    QCOMPARE(mouse->getOLEDLightIntensity(), 7);

    // Picture index 5 has no code of its own: code 1, which reads back as index 1; index 8 is code 7.
    QVERIFY(mouse->setCurrentPicIndex(5));
    QCOMPARE(int(m_mouse->imageByte(253)), 1);
    QCOMPARE(mouse->getCurrentPicIndex(), 1);
    QVERIFY(mouse->setCurrentPicIndex(8));
    QCOMPARE(int(m_mouse->imageByte(253)), 7);
    QCOMPARE(mouse->getCurrentPicIndex(), 8);

    // Answers without the device.
    QCOMPARE(mouse->getDpiIndex(), -1);
    QVERIFY(!mouse->setDpiIndex(1));
    QVERIFY(mouse->setPicNumber(3) && mouse->setPressMacroCode(1) && mouse->setDefaultFlash());
    QCOMPARE(mouse->getMacroBufferSize(), 1024);
    QCOMPARE(m_mouse->commands().size(), writes + 4);   // one read before each write since
}

void TestTwoCollectionMouse::bothZonesEffect()
{
    FDeviceEdris* mouse = open(kEdris);
    QVERIFY(mouse);
    m_light->logo()->setBrightness(6);
    m_light->logo()->setSpeed(4);
    m_light->wheel()->setBrightness(2);
    m_light->wheel()->setSpeed(1);
    mouse->session().refreshUiState();

    // Effect 5 lives in the main zone's bytes and shows on both zones.
    QVERIFY(mouse->setLightModel(5, 0));
    QCOMPARE(m_mouse->effectCode(0), 0x85);
    QCOMPARE(m_mouse->brightness(0), 6);
    QCOMPARE(m_mouse->speedByte(0), 5);
    QCOMPARE(mouse->getLightModel(1), 5);
    QCOMPARE(m_light->wheel()->model(), 5);
    QCOMPARE(m_services->profileSaves, QStringList{QStringLiteral("10:-1")});

    // Leaving it on the wheel zone takes both zones to the new effect, each with its own item's settings.
    m_services->profileSaves.clear();
    QVERIFY(mouse->setLightModel(1, 1));
    QCOMPARE(m_mouse->effectCode(0), 0x83);
    QCOMPARE(m_mouse->effectCode(1), 0x83);
    QCOMPARE(m_mouse->brightness(1), 2);
    QCOMPARE(m_mouse->speedByte(1), 8);
    QCOMPARE(m_light->logo()->model(), 1);
    QCOMPARE(m_services->profileSaves, QStringList{QStringLiteral("5:-1")});

    // Effects 2 and 4 touch their zone's extra bytes; an effect without a code is refused.
    QVERIFY(mouse->setLightModel(4, 1));
    QCOMPARE(int(m_mouse->imageByte(290)), 3);
    QCOMPARE(m_mouse->effectCode(0), 0x83);
    QCOMPARE(mouse->getLightModel(1), 4);
    QVERIFY(!mouse->setLightModel(6, 0));

    // A failed write changes neither the profile nor the models.
    m_services->profileSaves.clear();
    m_mouse->failFrom(0);
    QVERIFY(!mouse->setLightModel(5, 1));
    QCOMPARE(mouse->getLightModel(0), 1);
    QCOMPARE(m_light->logo()->model(), 1);
    QVERIFY(m_services->profileSaves.isEmpty());
}

// --- keys ------------------------------------------------------------------------------------------------------

// Every function with a code reads back as itself on its own button, in both dialects (the codes two
// functions share read as the one the button decides).
void TestTwoCollectionMouse::codecRoundTrip()
{
    using namespace EdrisKeyCodec;
    // The modifier mask a modifier function carries in its code.
    const QMap<int, int> masks{{32, 1}, {33, 2}, {34, 4}, {35, 8}, {47, 3}, {48, 5}, {49, 9}, {50, 6},
                               {51, 10}, {52, 12}, {53, 7}, {54, 11}, {55, 13}, {56, 14}, {57, 15}};
    const QMap<int, int> homes{{KFuncCustomButton1, 7}, {KFuncCustomButton2, 8}, {KFuncCustomButton3, 9},
                               {KFuncSideRollerUp, 9}, {KFuncSideRollerDown, 10}};
    int checked = 0;
    for (Dialect dialect : {Dialect::Root, Dialect::Orlan}) {
        for (int function = -1; function <= 182; ++function) {
            const int p1 = function == KFuncMacro ? 2 : masks.value(function, 0);
            const int p2 = function == KFuncMacro ? 0x8C : 4;
            KKeyCode code;
            if (!encode(dialect, function, quint8(p1), quint8(p2), &code))
                continue;
            int expected = function;
            if (function == KFuncDisable)
                expected = KFuncNull;
            else if (function == KFuncKeyCombination)
                expected = KFuncKeyboardKey;
            else if (dialect == Dialect::Root && function == KFuncSideRollerUp)
                expected = KFuncVolumeDown;
            else if (dialect == Dialect::Root && function == KFuncSideRollerDown)
                expected = KFuncVolumeUp;
            else if (dialect == Dialect::Orlan && function == KFuncCustomButton3)
                expected = KFuncModeSwitch;
            const int key = homes.value(function, 1);
            QVERIFY2(decode(dialect, code, key) == expected,
                     qPrintable(QStringLiteral("function %1 reads as %2").arg(function).arg(decode(dialect, code, key))));
            ++checked;
        }
    }
    QVERIFY(checked > 80);
    KKeyCode code;
    QVERIFY(!encode(Dialect::Orlan, KFuncCtrl, 1, 4, &code));
    QVERIFY(!encode(Dialect::Orlan, KFuncCtrlShiftAltWin, 15, 4, &code));
    QVERIFY(!encode(Dialect::Root, KFuncTraditionalDesktop, 0, 0, &code));
    QVERIFY(!encode(Dialect::Root, KFuncAKey, 0, 0, &code));
    QVERIFY(encode(Dialect::Orlan, KFuncCustomButton2, 0, 0, &code));
    QCOMPARE(code, KKeyCode(0, 0x5C));
}

void TestTwoCollectionMouse::keyDecoding_data()
{
    QTest::addColumn<bool>("orlan");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("function");
    auto b = [](int a, int c, int d, int e) {
        const char bytes[4] = {char(a), char(c), char(d), char(e)};
        return QByteArray(bytes, 4);
    };
    QTest::newRow("custom 1 on key 7") << false << b(17, 0, 0, 0) << 7 << 14;
    QTest::newRow("its code elsewhere is the left button") << false << b(17, 0, 0, 0) << 0 << 9;
    QTest::newRow("custom 2 on key 8") << false << b(0, 0, 33, 0) << 8 << 15;
    QTest::newRow("its code elsewhere is a key") << false << b(0, 0, 33, 0) << 2 << 42;
    QTest::newRow("custom 3 on key 9") << false << b(8, 0, 3, 0) << 9 << 16;
    QTest::newRow("its code elsewhere is the mode switch") << false << b(8, 0, 3, 0) << 5 << 43;
    QTest::newRow("wheel forward") << false << b(4, 0, 1, 0) << 11 << 37;
    QTest::newRow("wheel back") << false << b(4, 0, 2, 0) << 12 << 38;
    QTest::newRow("nothing") << false << b(0, 0, 0, 0) << 3 << 0;
    QTest::newRow("ctrl") << false << b(0, 1, 4, 0) << 3 << 32;
    QTest::newRow("win") << false << b(0, 8, 4, 0) << 3 << 35;
    QTest::newRow("show desktop") << false << b(0, 8, 7, 0) << 3 << 4;
    QTest::newRow("alt+win") << false << b(0, 12, 4, 0) << 3 << 52;
    QTest::newRow("player") << false << b(3, 0, 131, 1) << 3 << 18;
    QTest::newRow("sniper") << false << b(7, 0, 4, 10) << 3 << 26;
    QTest::newRow("fire") << false << b(10, 0xF0, 16, 2) << 3 << 27;
    QTest::newRow("macro") << false << b(9, 4, 0, 0x8C) << 0 << 29;
    QTest::newRow("unknown type") << false << b(0x0D, 0, 3, 0) << 4 << 0;
    QTest::newRow("orlan custom 2") << true << b(0, 0, 0x5C, 0) << 8 << 15;
    QTest::newRow("orlan root's custom 2 code") << true << b(0, 0, 33, 0) << 8 << 42;
    QTest::newRow("orlan side wheel up") << true << b(3, 0, 0xEA, 0) << 9 << 45;
    QTest::newRow("orlan volume down elsewhere") << true << b(3, 0, 0xEA, 0) << 10 << 23;
    QTest::newRow("orlan side wheel down") << true << b(3, 0, 0xE9, 0) << 10 << 46;
    QTest::newRow("orlan mode switch on key 9") << true << b(8, 0, 3, 0) << 9 << 43;
}

void TestTwoCollectionMouse::keyDecoding()
{
    QFETCH(bool, orlan);
    QFETCH(QByteArray, bytes);
    QFETCH(int, key);
    QFETCH(int, function);
    const KKeyCode code = KKeyCode::fromBytes(reinterpret_cast<const quint8*>(bytes.constData()));
    QCOMPARE(EdrisKeyCodec::decode(orlan ? EdrisKeyCodec::Dialect::Orlan : EdrisKeyCodec::Dialect::Root, code, key),
             function);
    // The emulator plays the same function for it.
    QCOMPARE(Sim::decodeKey(bytes, key, quint16(orlan ? kOrlan : kEdris)).function, function == 0 && bytes.at(0) ? -2 : function);
}

void TestTwoCollectionMouse::keysReadBackOnTheirButton_data()
{
    QTest::addColumn<int>("pid");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("place");
    for (int pid : {kEdris, kTamsin}) {
        const QByteArray name = DeviceIds::find(pid)->typeName;
        QTest::newRow((name + " 7").constData()) << pid << 7 << (pid == kTamsin ? 364 : 360);
        QTest::newRow((name + " 8").constData()) << pid << 8 << (pid == kTamsin ? 360 : 364);
        QTest::newRow((name + " 11").constData()) << pid << 11 << 388;
        QTest::newRow((name + " 12").constData()) << pid << 12 << 392;
    }
    QTest::newRow("Orlan 9") << kOrlan << 9 << 384;
    QTest::newRow("Orlan 10") << kOrlan << 10 << 380;
    QTest::newRow("Selwin 11") << kSelwin << 11 << 388;
}

void TestTwoCollectionMouse::keysReadBackOnTheirButton()
{
    QFETCH(int, pid);
    QFETCH(int, key);
    QFETCH(int, place);
    FDeviceEdris* mouse = open(pid);
    QVERIFY(mouse);
    for (int function : {KFuncMute, KFuncRollerBack, KFuncRollerForward, KFuncDpiDown}) {
        QVERIFY(mouse->setKeyFunction(KKey(key), KKeyFunction(function), 0, 0, QVariant()));
        QCOMPARE(mouse->getKeys().value(KKey(key)).getType(), function);
        QCOMPARE(m_mouse->keyAt(place, key).function, function);
    }
}

void TestTwoCollectionMouse::refusedKeys_data()
{
    QTest::addColumn<int>("pid");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("function");
    QTest::newRow("key 10") << kEdris << 10 << int(KFuncMute);
    QTest::newRow("Orlan key 6") << kOrlan << 6 << int(KFuncMute);
    QTest::newRow("a press macro slot") << kEdris << 1000 << int(KFuncMute);
    QTest::newRow("Orlan Ctrl") << kOrlan << 1 << int(KFuncCtrl);
    QTest::newRow("a keyboard key function") << kEdris << 1 << int(KFuncAKey);
}

void TestTwoCollectionMouse::refusedKeys()
{
    QFETCH(int, pid);
    QFETCH(int, key);
    QFETCH(int, function);
    FDeviceEdris* mouse = open(pid);
    QVERIFY(mouse);
    const QByteArray before = mouse->profile();
    QVERIFY(!mouse->setKeyFunction(KKey(key), KKeyFunction(function), 1, 4, QVariant()));
    QVERIFY(m_mouse->blocks().isEmpty());
    QCOMPARE(mouse->profile(), before);
}

void TestTwoCollectionMouse::compositeKeys()
{
    FDeviceEdris* mouse = open(kEdris);
    QVERIFY(mouse);
    listKeys({0, 1, 5, 6});
    // Function 0 restores the key's own function.
    QVERIFY(mouse->setCompositeKey(KKey(0), KKeyFunction(0), 0, 0));
    QCOMPARE(mouse->profile().mid(332, 4), QByteArray("\x01\x00\xF0\x00", 4));
    auto item = [this](int index) { return m_keys->getKeyList().at(index).value<KKeyModelItem*>(); };
    QCOMPARE(item(0)->getType(), 9);
    // Mask 8 with usage 15 is Lock the computer.
    QVERIFY(mouse->setCompositeKey(KKey(1), KKeyFunction(KFuncKeyCombination), 8, 15));
    QCOMPARE(mouse->profile().mid(336, 4), QByteArray("\x00\x08\x0F\x00", 4));
    QCOMPARE(item(1)->getType(), 2);
    // A plain combination with mask 0 is a keyboard key; a combination naming a function without a code stays
    // the combination.
    QVERIFY(mouse->setCompositeKey(KKey(5), KKeyFunction(KFuncKeyCombination), 0, 4));
    QCOMPARE(item(2)->getType(), int(KFuncKeyboardKey));
    QVERIFY(mouse->setCompositeKey(KKey(6), KKeyFunction(KFuncKeyCombination), 4, 43));
    QCOMPARE(mouse->profile().mid(356, 4), QByteArray("\x00\x04\x2B\x00", 4));
    // Nothing was written: the next write carries them.
    QVERIFY(m_mouse->blocks().isEmpty());
    // A key the key editor does not list, and a key without a place, are refused.
    QVERIFY(!mouse->setCompositeKey(KKey(2), KKeyFunction(KFuncMute), 0, 0));
    listKeys({0, 10});
    QVERIFY(!mouse->setCompositeKey(KKey(10), KKeyFunction(KFuncMute), 0, 0));
    // The side-swap models restore DPI Cycle on key 5.
    cleanup();
    init();
    FDeviceEdris* tamsin = open(kTamsin);
    QVERIFY(tamsin);
    listKeys({5});
    QVERIFY(tamsin->setCompositeKey(KKey(5), KKeyFunction(0), 0, 0));
    QCOMPARE(tamsin->profile().mid(352, 4), QByteArray("\x07\x00\x03\x00", 4));
}

// --- macros ----------------------------------------------------------------------------------------------------

void TestTwoCollectionMouse::goldenMacroItems_data()
{
    QTest::addColumn<QVector<KMacroItem>>("macro");
    QTest::addColumn<bool>("ignoreDelays");
    QTest::addColumn<QVector<Item>>("expected");
    const int a = 4;
    QTest::newRow("press, 30 ms, release") << QVector<KMacroItem>{press(a), delay(30), press(a, true)} << false
                                           << items({30, a, 0x81, a, 0, 0});
    QTest::newRow("press, 250 ms") << QVector<KMacroItem>{press(a), delay(250)} << false
                                   << items({0, 1, 0, 2, 50, a, 0, 0});
    QTest::newRow("press, 100 ms, 50 ms") << QVector<KMacroItem>{press(a), delay(100), delay(50)} << false
                                          << items({0, 1, 0, 1, 50, a, 0, 0});
    QTest::newRow("release, 200 ms") << QVector<KMacroItem>{press(a, true), delay(200)} << false
                                     << items({0, 1, 0, 2, 0x81, a, 0, 0});
    QTest::newRow("ignore delays") << QVector<KMacroItem>{press(a), delay(300), press(a, true), delay(5)} << true
                                   << items({1, a, 0x81, a, 0, 0});
    QTest::newRow("zero delay") << QVector<KMacroItem>{press(a), delay(0), press(a, true)} << false
                                << items({1, a, 0x81, a, 0, 0});
    QTest::newRow("leading delays") << QVector<KMacroItem>{delay(40), delay(300), press(a), delay(20), delay(0)}
                                    << false << items({20, a, 0, 0});
    QTest::newRow("move, 0 ms, 300 ms") << QVector<KMacroItem>{move(5, -3), delay(0), delay(300), press(a)} << false
                                        << items({0, 2, 5, 3, 0, 3, 1, 0x2C, 1, a, 0, 0});
    QTest::newRow("long delay after a move") << QVector<KMacroItem>{move(1, 1), delay(70000)} << false
                                             << items({0, 2, 1, 0xFF, 0, 3, 0xFF, 0xFF, 0, 0});
    QTest::newRow("large moves") << QVector<KMacroItem>{move(300, 300), move(-300, -300)} << false
                                 << items({0, 2, 0x7F, 0x80, 0, 2, 0x80, 0x7F, 0, 0});
    QTest::newRow("buttons and a still move") << QVector<KMacroItem>{
        KMacroItem(KMacroItem::MouseButton, 1, 0, false, QStringLiteral("L")), move(0, 0),
        KMacroItem(KMacroItem::MouseButton, 3, 0, true, QStringLiteral("R"))} << false
                                              << items({1, 0xF0, 0x81, 0xF1, 0, 0});
    QTest::newRow("hours of delay") << QVector<KMacroItem>{press(a), delay(9000000)} << false
                                    << items({0, 1, 0xFF, 0xFF, 1, a, 0, 0});
}

void TestTwoCollectionMouse::goldenMacroItems()
{
    QFETCH(QVector<KMacroItem>, macro);
    QFETCH(bool, ignoreDelays);
    QFETCH(QVector<Item>, expected);
    EdrisMacroStruct record;
    QVERIFY(EdrisMacro::encode(macro, ignoreDelays, 1, &record));
    QCOMPARE(record.items, expected);
    QCOMPARE(int(record.header[0]), 0);
    QCOMPARE(int(record.header[1]), 1);

    // On the mouse: the record at the key's address, as the mouse decodes it.
    FDeviceEdris* mouse = open(kEdris);
    QVERIFY(mouse);
    QCOMPARE(mouse->setMacro(ignoreDelays, MacroPlayToggle, macro, 258, 11), 1);
    const Sim::MacroRecord stored = m_mouse->macro(0xA4);
    QVERIFY(stored.terminated);
    QCOMPARE(stored.repeat, 258);
    QCOMPARE(stored.items.size(), expected.size());
    QCOMPARE(Platform::recordedSleeps(), QList<int>{100});
    // The next macro key takes the play mode.
    QVERIFY(mouse->setKeyFunction(KKey(11), KKeyFunction(KFuncMacro), 0, 0, QVariant()));
    const Sim::KeyCode code = m_mouse->keyAt(388, 11);
    QCOMPARE(code.function, 29);
    QCOMPARE(code.playCode, 2);
    QCOMPARE(code.macroAddress, 0xA4);
}

void TestTwoCollectionMouse::macroRecordLimits()
{
    // 510 events and the end item fill the record; one more event does not fit and nothing is sent.
    QVector<KMacroItem> events;
    for (int i = 0; i < 510; ++i)
        events << press(4 + i % 20, i % 2 == 1);
    FDeviceEdris* mouse = open(kEdris);
    QVERIFY(mouse);
    QCOMPARE(mouse->setMacro(false, MacroPlayCycles, events, 1, 0), 1);
    QCOMPARE(m_mouse->macro(0x8C).items.size(), 511);
    QVERIFY(m_mouse->macro(0x8C).terminated);
    m_mouse->clearLog();
    events << press(4);
    QCOMPARE(mouse->setMacro(false, MacroPlayCycles, events, 1, 0), 0);
    QVERIFY(m_mouse->blocks().isEmpty());
    // A key without a macro address, and a failed send.
    QCOMPARE(mouse->setMacro(false, MacroPlayCycles, {press(4)}, 1, 10), 0);
    QVERIFY(m_mouse->blocks().isEmpty());
    m_mouse->failFrom(0);
    QCOMPARE(mouse->setMacro(false, MacroPlayCycles, {press(4)}, 1, 0), 0);
    // The left button's press macros have slots 1000..1003 at 0xD0..0xDC.
    m_mouse->clearFaults();
    for (int slot = 1000; slot <= 1003; ++slot)
        QCOMPARE(mouse->setMacro(false, MacroPlayCycles, {press(4 + slot - 1000)}, 1, slot), 1);
    QCOMPARE(m_mouse->macroAddresses().mid(1), (QList<int>{0xD0, 0xD4, 0xD8, 0xDC}));
    QCOMPARE(m_mouse->macro(0xDC).events.first().code, 7);
    // The macro id is the key itself.
    int id = -1;
    QVERIFY(mouse->checkMacroId(7, &id));
    QCOMPARE(id, 7);
}

void TestTwoCollectionMouse::macroFilter()
{
    FDeviceEdris* mouse = open(kEdris);
    QVERIFY(mouse);
    QVector<KMacroItem> empty;
    int id = 3;
    QVERIFY(!mouse->macroFilter(empty, &id));
    QCOMPARE(m_services->tips.size(), 1);
    QVERIFY(m_services->tips.first().endsWith(QStringLiteral("includes empty macro")));

    // A press without its release gets one at the end; a release without a press goes; a last delay goes.
    QVector<KMacroItem> list{KMacroItem(KMacroItem::KeyboardKey, 5, 0, true, QStringLiteral("B")), press(4),
                             delay(10)};
    QVERIFY(mouse->macroFilter(list, &id));
    QCOMPARE(list, (QVector<KMacroItem>{press(4), delay(10), press(4, true)}));
    list = {press(4), press(4, true), delay(10)};
    QVERIFY(mouse->macroFilter(list, &id));
    QCOMPARE(list, (QVector<KMacroItem>{press(4), press(4, true)}));
}

void TestTwoCollectionMouse::leftKeyGuard()
{
    FDeviceEdris* mouse = open(kEdris);
    QVERIFY(mouse);
    listKeys({0, 1, 7});
    auto item = [this](int index) { return m_keys->getKeyList().at(index).value<KKeyModelItem*>(); };
    item(0)->setType(9);
    mouse->session().refreshUiState();
    QVERIFY(!mouse->checkLeftKey(0));
    QCOMPARE(m_services->tips.size(), 1);
    QVERIFY(mouse->checkLeftKey(7));
    item(2)->setType(9);
    mouse->session().refreshUiState();
    QVERIFY(mouse->checkLeftKey(0));
}

// --- OLED picture ----------------------------------------------------------------------------------------------

void TestTwoCollectionMouse::pictureBlocks_data()
{
    QTest::addColumn<int>("fill");
    QTest::addColumn<QPoint>("lit");
    QTest::addColumn<QByteArray>("expected");
    QByteArray zero(512, '\0');
    QByteArray origin = zero;
    origin[0] = char(0x80);
    QByteArray corner = zero;
    corner[511] = 0x01;
    QByteArray middle = zero;
    middle[128 * 2 + 70] = char(0x80 >> 3);   // x 70, y 19
    QTest::newRow("all white") << 1 << QPoint(-1, -1) << zero;
    QTest::newRow("all black") << 0 << QPoint(-1, -1) << QByteArray(512, char(0xFF));
    QTest::newRow("pixel 0,0") << 1 << QPoint(0, 0) << origin;
    QTest::newRow("pixel 127,31") << 1 << QPoint(127, 31) << corner;
    QTest::newRow("pixel 70,19") << 1 << QPoint(70, 19) << middle;
}

void TestTwoCollectionMouse::pictureBlocks()
{
    QFETCH(int, fill);
    QFETCH(QPoint, lit);
    QFETCH(QByteArray, expected);
    QImage picture(128, 32, QImage::Format_MonoLSB);
    picture.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    picture.fill(uint(fill));
    if (lit.x() >= 0)
        picture.setPixel(lit, 0);
    QByteArray block(512, '\x55');
    QVERIFY(FDeviceEdris::pictureToPages(picture, reinterpret_cast<quint8*>(block.data()), 512));
    QCOMPARE(block, expected);
    if (lit.x() >= 0)
        QVERIFY(Sim::pixelOf(block, lit.x(), lit.y()));

    // Only the screen's shape and length.
    QImage square(64, 64, QImage::Format_MonoLSB);
    QCOMPARE(square.sizeInBytes(), qsizetype(512));
    QVERIFY(!FDeviceEdris::pictureToPages(square, reinterpret_cast<quint8*>(block.data()), 512));
    QVERIFY(!FDeviceEdris::pictureToPages(picture, reinterpret_cast<quint8*>(block.data()), 256));
}

void TestTwoCollectionMouse::pictureUpload()
{
    FDeviceEdris* mouse = open(kEdris);
    QVERIFY(mouse);
    const QString root = ProgramFolders::profileRoot();
    QVERIFY(QDir().mkpath(root));
    const QString path = root + QStringLiteral("/test.bmp");
    QFile::remove(path);

    // No picture, and a picture of another shape with the same byte count: nothing is sent.
    QVERIFY(!mouse->writeImageToMouse());
    QImage square(64, 64, QImage::Format_MonoLSB);
    square.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    square.fill(1);
    QVERIFY(square.save(path, "BMP"));
    QVERIFY(!mouse->writeImageToMouse());
    QVERIFY(m_mouse->blocks().isEmpty());

    // The screen's picture: sent twice in one block, read back and compared after 200 ms.
    QImage picture(128, 32, QImage::Format_MonoLSB);
    picture.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    picture.fill(1);
    picture.setPixel(3, 9, 0);
    QVERIFY(picture.save(path, "BMP"));
    QVERIFY(mouse->writeImageToMouse());
    // The file keeps the picture, not necessarily its palette: one pixel differs from all the others.
    QVERIFY(m_mouse->pixel(3, 9) != m_mouse->pixel(4, 9));
    QCOMPARE(m_mouse->pixel(4, 9), m_mouse->pixel(127, 31));
    QByteArray expected(512, '\0');
    QVERIFY(FDeviceEdris::pictureToPages(QImage(path).convertToFormat(QImage::Format_MonoLSB),
                                         reinterpret_cast<quint8*>(expected.data()), 512));
    QCOMPARE(m_mouse->pictureMemory().left(512), expected);
    QCOMPARE(m_mouse->pictureMemory().mid(512), m_mouse->pictureMemory().left(512));
    QCOMPARE(Platform::recordedSleeps(), QList<int>{200});
    QCOMPARE(m_mouse->commands().last().mid(1, 2), QByteArray("\x85\x80", 2));

    // A read-back that differs, and a failed send.
    m_mouse->setPictureReadBackFault(true);
    QVERIFY(!mouse->writeImageToMouse());
    m_mouse->clearFaults();
    m_mouse->failFrom(0);
    QVERIFY(!mouse->writeImageToMouse());
    QFile::remove(path);
}

// --- whole profiles --------------------------------------------------------------------------------------------

void TestTwoCollectionMouse::drawnPixelsAreLit_data()
{
    QTest::addColumn<QColor>("fill");
    QTest::addColumn<bool>("strokeLit");
    // The two backgrounds the OLED page offers: on black the drawing shows white, on white it shows black.
    QTest::newRow("black background") << QColor(Qt::black) << true;
    QTest::newRow("white background") << QColor(Qt::white) << false;
}

// The screen shows what the picture editor shows: a stroke drawn on the wide screen's canvas, saved as the upload
// file and sent, lights exactly the pixels the editor draws bright (white), whichever background is chosen.
void TestTwoCollectionMouse::drawnPixelsAreLit()
{
    QFETCH(QColor, fill);
    QFETCH(bool, strokeLit);
    FDeviceEdris* mouse = open(kEdris);
    QVERIFY(mouse);
    QVERIFY(QDir().mkpath(ProgramFolders::profileRoot()));

    FPaintView editor;
    // The wide screen at UI scale 1.0: 128 x 32 screen pixels, each 4 view pixels wide.
    editor.setRatio(4);
    editor.setOledWidth(512);
    editor.setOledHight(128);
    editor.setFillColor(fill);
    editor.setPaintState(true);
    auto send = [&editor](QEvent::Type type, QPointF at) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, at, at, Qt::LeftButton, held, Qt::NoModifier);
        QCoreApplication::sendEvent(&editor, &event);
    };
    // Screen pixels (10, 5) to (40, 5).
    send(QEvent::MouseButtonPress, QPointF(40, 20));
    send(QEvent::MouseMove, QPointF(160, 20));
    send(QEvent::MouseButtonRelease, QPointF(160, 20));
    const QImage shown = editor.renderPicture();
    QVERIFY(editor.savePicture(QString()));
    QVERIFY(mouse->writeImageToMouse());

    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 128; ++x) {
            const bool bright = qGray(shown.pixel(x, y)) >= 128;
            QVERIFY2(m_mouse->pixel(x, y) == bright, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
        }
    }
    for (int x = 10; x <= 40; ++x)
        QCOMPARE(m_mouse->pixel(x, 5), strokeLit);
    QCOMPARE(m_mouse->pixel(25, 20), !strokeLit);
    QFile::remove(FOledModel::pictureFilePath());
}

void TestTwoCollectionMouse::profileWithoutKeys()
{
    FDeviceEdris* mouse = open(kEdris);
    QVERIFY(mouse);
    QJsonObject document = baseProfile();
    document[QStringLiteral("lightModel")] = QJsonObject{{QStringLiteral("index"), 5}};
    QCOMPARE(mouse->getMouseConfig(document), 1);
    // One image write carries everything, with picture index 1.
    QCOMPARE(m_mouse->imageWrites(), 1);
    QCOMPARE(m_mouse->reportRate(), 1);
    QCOMPARE(m_mouse->dpiCodes(), (QList<int>{8, 16, 32, 48, 64, 96, 124}));
    QCOMPARE(m_mouse->effectCode(0), 0x85);
    QCOMPARE(m_mouse->effectCode(1), 0x84);
    QCOMPARE(int(m_mouse->imageByte(290)), 3);
    QCOMPARE(m_mouse->colour(0), (QList<int>{0x10, 0x20, 0x30}));
    QCOMPARE(m_mouse->colour(1), (QList<int>{0x40, 0x50, 0x60}));
    QCOMPARE(m_mouse->speedByte(0), 7);
    QCOMPARE(m_mouse->brightness(1), 3);
    QCOMPARE(int(m_mouse->imageByte(253)), 1);
    QCOMPARE(mouse->getLightModel(1), 5);
    QCOMPARE(mouse->profile(), m_mouse->image().left(476));
    // The models follow.
    QCOMPARE(m_report->currentReport(), 1);
    QCOMPARE(m_dpi->values().value(6), 6200);
    QCOMPARE(m_light->logo()->model(), 5);
    QCOMPARE(m_light->wheel()->model(), 4);
    QCOMPARE(m_light->wheel()->speed(), 7);
    QCOMPARE(m_fixture->oled()->oledMode(), 1);
}

void TestTwoCollectionMouse::profileWithMacrosAndPressMacros()
{
    FDeviceEdris* mouse = open(kEdris);
    QVERIFY(mouse);
    listKeys({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12});
    QJsonObject document = baseProfile();
    const QJsonObject presses{{QStringLiteral("macroName"), QStringLiteral("burst")},
                              {QStringLiteral("macroValue1"), macroValue({press(4), press(4, true)}, "one")},
                              {QStringLiteral("macroValue2"), macroValue({press(5), press(5, true)}, "two")},
                              {QStringLiteral("macroValue3"), macroValue({press(6)}, "three", 3)}};
    document[QStringLiteral("key")] = QJsonArray{
        button(0, KFuncMouseLeft, presses),
        button(3, KFuncMacro, macroValue({press(7), delay(20), press(7, true)}, "seven", 2)),
        QJsonObject{{QStringLiteral("key"), 1}, {QStringLiteral("funcIndex"), 30}, {QStringLiteral("value1"), 8},
                    {QStringLiteral("value2"), 21}},
        button(2, 0),
        button(12, KFuncDpiCycle),
    };
    QCOMPARE(mouse->getMouseConfig(document), 1);
    // Press macros at 0xD0.., counted in byte 251; key 0 holds the press-macro code.
    QCOMPARE(m_mouse->macroAddresses(), (QList<int>{0x9C, 0xD0, 0xD4, 0xD8}));
    QCOMPARE(m_mouse->macro(0xD8).events.size(), 1);
    QCOMPARE(m_mouse->macro(0xD8).repeat, 3);
    QCOMPARE(int(m_mouse->imageByte(250)), 0);
    QCOMPARE(int(m_mouse->imageByte(251)), 3);
    QCOMPARE(m_mouse->image().mid(332, 4), QByteArray("\x11\x01\x00\x00", 4));
    QCOMPARE(mouse->getDefinedPressMacro(), 1);
    // The macro key names its record and play mode; the combination settled to Run; key 2 its own function.
    const Sim::KeyCode macroKey = m_mouse->keyAt(348, 3);
    QCOMPARE(macroKey.function, 29);
    QCOMPARE(macroKey.macroAddress, 0x9C);
    QCOMPARE(macroKey.playCode, 2);
    QCOMPARE(m_mouse->keyAt(336, 1).function, 3);
    QCOMPARE(m_mouse->keyAt(340, 2).function, 10);
    QCOMPARE(m_mouse->keyAt(392, 12).function, 36);
    QCOMPARE(m_mouse->imageWrites(), 1);
    auto item = [this](int index) { return m_keys->getKeyList().at(index).value<KKeyModelItem*>(); };
    QCOMPARE(item(0)->getType(), 29);
    QCOMPARE(item(1)->getType(), 3);
    QCOMPARE(item(3)->getType(), 29);
}

void TestTwoCollectionMouse::profileMacroFailure()
{
    FDeviceEdris* mouse = open(kEdris);
    QVERIFY(mouse);
    listKeys({0, 1, 2, 3});
    const QByteArray before = mouse->profile();
    QJsonObject document = baseProfile();
    document[QStringLiteral("key")] = QJsonArray{button(1, KFuncMacro, macroValue({press(4)}, "a")),
                                                 button(2, KFuncMacro, macroValue({press(5)}, "b")),
                                                 button(3, KFuncMute)};
    // The first macro's block fails: nothing after it is written and the profile is the mouse's again.
    m_mouse->failFrom(0);
    QCOMPARE(mouse->getMouseConfig(document), 2);
    QCOMPARE(m_mouse->blocks().size(), 1);
    QCOMPARE(m_mouse->imageWrites(), 0);
    QCOMPARE(mouse->profile(), before);
    QCOMPARE(m_report->currentReport(), 0);
    QCOMPARE(m_dpi->values().value(6), 100);
    auto item = [this](int index) { return m_keys->getKeyList().at(index).value<KKeyModelItem*>(); };
    QCOMPARE(item(3)->getType(), 0);

    // The final write failing: the records are in, the profile is not.
    m_mouse->clearFaults();
    m_mouse->clearLog();
    m_mouse->failTransfer(4);   // two records, the read before the write (command and answer), then the write
    QCOMPARE(mouse->getMouseConfig(document), 2);
    QCOMPARE(m_mouse->macroAddresses().size(), 2);
    QCOMPARE(m_mouse->imageWrites(), 0);
    QCOMPARE(mouse->profile(), before);

    // Applied: a later edit sends the profile as the mouse has it.
    m_mouse->clearFaults();
    QCOMPARE(mouse->getMouseConfig(document), 1);
    QCOMPARE(m_mouse->keyAt(348, 3).function, 25);
}

void TestTwoCollectionMouse::profileRefusals_data()
{
    QTest::addColumn<QJsonObject>("document");
    QJsonObject d = baseProfile();
    auto with = [](QJsonObject doc, const QString& key, const QJsonValue& value) {
        doc[key] = value;
        return doc;
    };
    QJsonArray eight = d.value("dpi").toObject().value("dpiValue").toArray();
    eight << QJsonObject{{QStringLiteral("currentValue"), 800}, {QStringLiteral("enable"), true}};
    QJsonArray odd = d.value("dpi").toObject().value("dpiValue").toArray();
    odd[0] = QJsonObject{{QStringLiteral("currentValue"), 30}, {QStringLiteral("enable"), true}};
    QTest::newRow("eight stages") << with(d, "dpi", QJsonObject{{"dpiValue", eight}});
    QTest::newRow("a value without a code") << with(d, "dpi", QJsonObject{{"dpiValue", odd}});
    QTest::newRow("light index 6") << with(d, "lightModel", QJsonObject{{"index", 6}});
    QTest::newRow("wheel index -1") << with(d, "wheelLightModel", QJsonObject{{"index", -1}});
    QTest::newRow("a colour that is none") << with(d, "light", lights("red", 2, 6));
    QTest::newRow("speed 10") << with(d, "light", lights("102030", 10, 6));
    QTest::newRow("report 4") << with(d, "report", QJsonObject{{"index", 4}});
    QTest::newRow("key 10") << with(d, "key", QJsonArray{button(10, KFuncMute)});
    QTest::newRow("a key the editor does not list") << with(d, "key", QJsonArray{button(9, KFuncMute)});
    QTest::newRow("a function without a code") << with(d, "key", QJsonArray{button(1, KFuncAKey)});
    QTest::newRow("a key twice") << with(d, "key", QJsonArray{button(1, KFuncMute), button(1, KFuncMute)});
    QVector<KMacroItem> tooLong;
    for (int i = 0; i < 600; ++i)
        tooLong << press(4, i % 2);
    QTest::newRow("a macro too long, after a good one")
        << with(d, "key", QJsonArray{button(1, KFuncMacro, macroValue({press(4)}, "ok")),
                                     button(2, KFuncMacro, macroValue(tooLong, "long"))});
    QTest::newRow("press macros on another key")
        << with(d, "key", QJsonArray{button(1, KFuncMouseLeft,
                                            QJsonObject{{"macroValue1", macroValue({press(4)}, "x")}})});
    QTest::newRow("a broken combination") << with(d, "key", QJsonArray{button(1, KFuncKeyCombination, "{")});
}

void TestTwoCollectionMouse::profileRefusals()
{
    QFETCH(QJsonObject, document);
    FDeviceEdris* mouse = open(kEdris);
    QVERIFY(mouse);
    listKeys({0, 1, 2});
    const QByteArray before = mouse->profile();
    const int report = m_report->currentReport();
    QCOMPARE(mouse->getMouseConfig(document), 2);
    QVERIFY(m_mouse->blocks().isEmpty());
    QVERIFY(m_mouse->commands().isEmpty());
    QCOMPARE(mouse->profile(), before);
    QCOMPARE(m_report->currentReport(), report);
}

void TestTwoCollectionMouse::factoryProfilesMatchTheMouse_data()
{
    QTest::addColumn<int>("pid");
    for (int pid : {kEdris, kVarlo, kWendal, kPembry, kOrlan})
        QTest::newRow(DeviceIds::find(pid)->typeName) << pid;
}

// A model's factory profile is what the mouse holds when it leaves the factory: applying it changes no
// setting, and the driver reads the profile's values back.
void TestTwoCollectionMouse::factoryProfilesMatchTheMouse()
{
    QFETCH(int, pid);
    QFile file(DeviceIds::factoryProfilePath(pid));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    const QJsonObject document = QJsonDocument::fromJson(file.readAll()).object();
    QVERIFY(!document.isEmpty());
    QCOMPARE(document.value("pid").toInt(), pid);
    FDeviceEdris* mouse = open(pid);
    QVERIFY(mouse);

    QCOMPARE(mouse->getReportRate(), document.value("report").toObject().value("index").toInt());
    QVector<int> values;
    for (const QJsonValue& v : document.value("dpi").toObject().value("dpiValue").toArray())
        values << v.toObject().value("currentValue").toInt();
    QCOMPARE(mouse->getDpiList(), values);
    QCOMPARE(mouse->getLightModel(0), document.value("lightModel").toObject().value("index").toInt());
    QCOMPARE(mouse->getLightModel(1), document.value("wheelLightModel").toObject().value("index").toInt());
    QList<int> keys;
    const QMap<KKey, KKeyModelItem> items = mouse->getKeys();
    for (const QJsonValue& v : document.value("key").toArray()) {
        const QJsonObject entry = v.toObject();
        const int key = entry.value("key").toInt();
        keys << key;
        QVERIFY2(items.contains(KKey(key)), qPrintable(QString::number(key)));
        QCOMPARE(items.value(KKey(key)).getType(), entry.value("funcIndex").toInt());
    }
    QCOMPARE(keys.size(), items.size());

    listKeys(keys);
    const QByteArray before = m_mouse->image();
    QCOMPARE(mouse->getMouseConfig(document), 1);
    QCOMPARE(m_mouse->image().mid(242, 476 - 242), before.mid(242, 476 - 242));
}

void TestTwoCollectionMouse::simulatedRun_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("pid");
    for (int pid : kAllModels)
        QTest::newRow(DeviceIds::find(pid)->typeName) << QString::fromLatin1(DeviceIds::find(pid)->typeName).toLower()
                                                      << pid;
}

// CORVANE_SIMULATE names the models; the simulated run plugs the emulator and may create the model's class,
// which the product factory does not.
void TestTwoCollectionMouse::simulatedRun()
{
    QFETCH(QString, name);
    QFETCH(int, pid);
    QVERIFY(setupSimulation(name));
    QVERIFY(simulatedProductIds().contains(quint16(pid)));
    std::unique_ptr<KBaseDevice> device(DeviceFactory::createModel(pid));
    QVERIFY(qobject_cast<FDeviceEdris*>(device.get()));
    QVERIFY(!DeviceFactory::serves(pid));
    KHID::KUSBDevice command, data;
    QVERIFY(command.initDevice(DeviceIds::kVendorId, quint16(pid), 1, 0xFF00, quint16(6)));
    QVERIFY(data.initDevice(DeviceIds::kVendorId, quint16(pid), 1, 0xFF00, quint16(0x408)));
}

QTEST_MAIN(TestTwoCollectionMouse)
#include "tst_twocollectionmouse.moc"
