// The register mouse's device object against the simulated register mouse: opening (retries, game mode,
// unplug while waiting), the reader's handlers, every setter's bytes with the bytes it keeps, refusals that
// write nothing, failures at each step, the OLED picture and the battery. Sleeps are recorded, not slept.

#include "LogCapture.h"
#include "RecordingServices.h"
#include "RegisterMouseFixture.h"

#include "common/DeviceIds.h"
#include "common/ProgramFolders.h"
#include "devices/mouse/register/FarrantNordicProtocol.h"
#include "devices/mouse/register/KDeviceFarrant_Nordic.h"
#include "hid/HCommunicateManager.h"
#include "hid/HDeviceManager.h"
#include "hid/HWork.h"
#include "platform/sys/PlatformTime.h"
#include "TestWait.h"

#include <QDir>
#include <QImage>
#include <QSignalSpy>
#include <QtTest>

#include <functional>
#include <memory>

using namespace FarrantNordic;
using Mouse = KDeviceFarrant_Nordic;

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

// A report as the reader hands it over: one character per byte, zeros included.
QString reportText(const QByteArray& report)
{
    return QString::fromLatin1(report.constData(), report.size());
}

// A model reached through the receiver, as the family's models are made.
class ReceiverMouse : public KDeviceFarrant_Nordic
{
public:
    ReceiverMouse()
        : KDeviceFarrant_Nordic(DeviceIds::kJarrowNordicWireless, kAddressReceiver, 500,
                                QStringLiteral(":/common/newUI/Jarrow/JarrowLayout.json"), nullptr)
    {
    }
    static KBaseDevice* create() { return new ReceiverMouse(); }
};

int countCommands(const QList<SimRegisterMouse::Command>& commands, quint8 code)
{
    int n = 0;
    for (const auto& c : commands)
        n += c.command == code;
    return n;
}

} // namespace

class TestFarrantNordicMouse : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensOnTheSixthAttempt_data();
    void opensOnTheSixthAttempt();
    void gameModeRefusedAtOpening();
    void unplugWhileWaitingForGameMode();
    void gameModeStep_data();
    void gameModeStep();
    void reportLeavingGameModeIsFollowed();

    void setterBytes_data();
    void setterBytes();
    void refusalsWriteNothing_data();
    void refusalsWriteNothing();
    void failureAtEachStep_data();
    void failureAtEachStep();
    void shortCutStopsAtTheFailedStep_data();
    void shortCutStopsAtTheFailedStep();
    void dpiList_data();
    void dpiList();
    void getters();
    void resetAndVersion_data();
    void resetAndVersion();

    void pictureConversion();
    void pictureUpload();
    void pictureUploadFailsAtChunk_data();
    void pictureUploadFailsAtChunk();
    void pictureFilesRefused_data();
    void pictureFilesRefused();

    void battery_data();
    void battery();
    void batterySignals();
    void dataHandler();

private:
    Mouse* open(quint16 pid = DeviceIds::kJarrowNordic, quint8 address = kAddressWired,
                KBaseDevice* (*create)() = nullptr);

    std::unique_ptr<RecordingServices> m_services;
    std::unique_ptr<RegisterMouseFixture> m_fixture;
};

void TestFarrantNordicMouse::init()
{
    m_services = std::make_unique<RecordingServices>();
}

void TestFarrantNordicMouse::cleanup()
{
    m_fixture.reset();
    m_services.reset();
}

Mouse* TestFarrantNordicMouse::open(quint16 pid, quint8 address, KBaseDevice* (*create)())
{
    m_fixture.reset();  // one bus fixture at a time
    m_fixture = std::make_unique<RegisterMouseFixture>(pid, address);
    return qobject_cast<Mouse*>(m_fixture->openDevice(create));
}

// --- opening ----------------------------------------------------------------------------------------------------

void TestFarrantNordicMouse::opensOnTheSixthAttempt_data()
{
    QTest::addColumn<int>("failures");
    QTest::addColumn<bool>("opened");
    QTest::newRow("first attempt") << 0 << true;
    QTest::newRow("sixth attempt") << 5 << true;
    QTest::newRow("six failures") << 6 << false;
}

void TestFarrantNordicMouse::opensOnTheSixthAttempt()
{
    QFETCH(int, failures);
    QFETCH(bool, opened);
    m_fixture = std::make_unique<RegisterMouseFixture>(DeviceIds::kJarrowNordic, kAddressWired);
    auto* mouse = qobject_cast<Mouse*>(m_fixture->createDevice());
    QVERIFY(mouse);
    m_fixture->bus()->bus()->failNext(m_fixture->mouse()->busDeviceId(), SimBus::Fault::OpenWrite, failures);
    LogCapture log;
    QCOMPARE(mouse->initDevice(), opened);
    QCOMPARE(log.count(QStringLiteral("[ERROR] init fail retry")), qMin(failures, 5));
    QCOMPARE(Platform::recordedSleeps().count(kOpenRetryDelayMs), qMin(failures, 5));
    QVERIFY(log.contains(QStringLiteral("[INFO] init device %1").arg(opened ? "true" : "false")));
    if (opened) {
        QCOMPARE(m_fixture->mouse()->gameMode(), quint8(1));
        QVERIFY(m_services->warnings.isEmpty());
    }
}

void TestFarrantNordicMouse::gameModeRefusedAtOpening()
{
    m_fixture = std::make_unique<RegisterMouseFixture>(DeviceIds::kJarrowNordic, kAddressWired);
    auto* mouse = qobject_cast<Mouse*>(m_fixture->createDevice());
    // The mode read answers; every set-mode command settles on error.
    m_fixture->mouse()->failCommands(1000, SimRegister::kStatusError, 1);
    LogCapture log;
    QVERIFY(!mouse->initDevice());
    QCOMPARE(log.count(QStringLiteral("[ERROR] enter gameMode error")), 3);
    QCOMPARE(m_services->warnings, QList<int>{AppServices::WarningDeviceConnect});
    QCOMPARE(m_fixture->mouse()->appliedWrites().size(), 0);
}

void TestFarrantNordicMouse::unplugWhileWaitingForGameMode()
{
    m_fixture = std::make_unique<RegisterMouseFixture>(DeviceIds::kJarrowNordic, kAddressWired);
    QPointer<Mouse> mouse = qobject_cast<Mouse*>(m_fixture->createDevice());
    // The game-mode step waits for the shared transaction mutex, which this thread holds until the mouse has
    // been unplugged while the opening waits.
    QMutex* exchange = HCommunicateManager::instance()->getMutex();
    exchange->lock();
    QTimer::singleShot(0, [&] {
        mouse->setRemoved(true);
        HDeviceManager::instance()->removeDevice(DeviceIds::kJarrowNordic);
        exchange->unlock();
    });
    QVERIFY(!mouse->initDevice());
    WAIT_VERIFY(!mouse);  // deleted once its task was over, not under the opening
}

void TestFarrantNordicMouse::gameModeStep_data()
{
    QTest::addColumn<int>("cached");
    QTest::addColumn<int>("setModePackets");
    QTest::newRow("cached 1") << 1 << 0;
    QTest::newRow("cached 0") << 0 << 1;
}

void TestFarrantNordicMouse::gameModeStep()
{
    QFETCH(int, cached);
    QFETCH(int, setModePackets);
    Mouse* mouse = open();
    QVERIFY(mouse);
    // The mouse left game mode; the report says so or not.
    m_fixture->mouse()->setGameMode(0);
    QSignalSpy cpi(mouse, &KBaseDevice::sigcurrentCPI);
    mouse->onReaderData(reportText(m_fixture->mouse()->statusReport(quint8(cached), 0, 50)));
    WAIT_COMPARE(cpi.size(), 1);
    m_fixture->mouse()->clearCommands();

    QVERIFY(mouse->setLightModel(2, 0));
    const auto commands = m_fixture->mouse()->commands();
    QCOMPARE(countCommands(commands, kCmdSetGameMode), setModePackets);
    QCOMPARE(commands.last().command, quint8(kCmdWriteRegister));
    if (setModePackets) {
        QCOMPARE(commands[commands.size() - 2].command, quint8(kCmdSetGameMode));
        QCOMPARE(commands[commands.size() - 2].length, 1);
        QVERIFY(commands.last().inGameMode);
    }
}

void TestFarrantNordicMouse::reportLeavingGameModeIsFollowed()
{
    Mouse* mouse = open();
    QVERIFY(mouse);
    QVERIFY(mouse->setLightModel(1, 0));
    QCOMPARE(countCommands(m_fixture->mouse()->commands(), kCmdSetGameMode), 0);
    m_fixture->mouse()->setGameMode(0);
    mouse->onReaderData(reportText(m_fixture->mouse()->statusReport(0, 0, 50)));
    WAIT_VERIFY(HWork::pendingCount() == 0);
    m_fixture->mouse()->clearCommands();
    QVERIFY(mouse->setLightModel(3, 0));
    QCOMPARE(countCommands(m_fixture->mouse()->commands(), kCmdSetGameMode), 1);
    QCOMPARE(m_fixture->mouse()->lightMode(), 3);
}

// --- setters ----------------------------------------------------------------------------------------------------

using Setter = std::function<bool(Mouse*)>;
Q_DECLARE_METATYPE(Setter)

void TestFarrantNordicMouse::setterBytes_data()
{
    QTest::addColumn<Setter>("setter");
    QTest::addColumn<quint32>("reg");
    QTest::addColumn<QByteArray>("before");  // the word before, so kept bytes show
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<bool>("gameModeStep");

    const QByteArray word = bytes({0x11, 0x22, 0x33, 0x44});
    auto row = [&](const char* name, Setter s, quint32 reg, QByteArray written, bool step) {
        QTest::newRow(name) << s << reg << word << written << step;
    };
    row("dpi index 7", [](Mouse* m) { return m->setDpiIndex(7); }, kRegDpiIndex, bytes({7, 0x22, 0x33, 0x44}), true);
    row("report rate 1000", [](Mouse* m) { return m->setReportRate(3); }, kRegReportRate, bytes({1, 0, 0, 0}), true);
    row("report rate 125", [](Mouse* m) { return m->setReportRate(0); }, kRegReportRate, bytes({8, 0, 0, 0}), true);
    row("raw report rate", [](Mouse* m) { return m->writeReportRate(0x10); }, kRegReportRate, bytes({0x10, 0, 0, 0}), false);
    row("light mode 4", [](Mouse* m) { return m->setLightModel(4, 0); }, kRegDpiIndex, bytes({0x11, 4, 0x33, 0x44}), true);
    row("light speed 0", [](Mouse* m) { return m->setLightSpeed(0, 0); }, kRegDpiIndex, bytes({0x11, 0x22, 4, 0x44}), true);
    row("light speed 5", [](Mouse* m) { return m->setLightSpeed(5, 0); }, kRegDpiIndex, bytes({0x11, 0x22, 3, 0x44}), true);
    row("light speed 9", [](Mouse* m) { return m->setLightSpeed(9, 0); }, kRegDpiIndex, bytes({0x11, 0x22, 1, 0x44}), true);
    row("light speed 11", [](Mouse* m) { return m->setLightSpeed(11, 0); }, kRegDpiIndex, bytes({0x11, 0x22, 0, 0x44}), true);
    row("light speed 12", [](Mouse* m) { return m->setLightSpeed(12, 0); }, kRegDpiIndex, bytes({0x11, 0x22, 2, 0x44}), true);
    row("brightness 0", [](Mouse* m) { return m->setLightBrightness(0, 0); }, kRegDpiIndex, bytes({0x11, 0x22, 0x33, 0}), true);
    row("brightness 10", [](Mouse* m) { return m->setLightBrightness(10, 0); }, kRegDpiIndex, bytes({0x11, 0x22, 0x33, 9}), true);
    row("colour zone 2", [](Mouse* m) { return m->setRGB({{"r", 1}, {"g", 2}, {"b", 255}}, 2); }, kRegZoneColour + 8,
        bytes({1, 2, 255, 0xFF}), true);
    row("OLED 5", [](Mouse* m) { return m->setOLEDLightIntensity(5); }, kRegOled, bytes({5, 0x22, 0x33, 0}), true);
    row("OLED 100", [](Mouse* m) { return m->setOLEDLightIntensity(100); }, kRegOled, bytes({100, 0x22, 0x33, 0}), true);
    row("picture 2", [](Mouse* m) { return m->setCurrentPicIndex(2); }, kRegPicIndex, bytes({0x11, 2, 0, 0x44}), true);
    row("picture 9", [](Mouse* m) { return m->setCurrentPicIndex(9); }, kRegPicIndex, bytes({0x11, 3, 1, 0x44}), true);
    row("picture count", [](Mouse* m) { return m->setPicNumber(8); }, kRegPicCount, bytes({8, 0, 0, 0}), false);
    row("press macro code", [](Mouse* m) { return m->setPressMacroCode(3); }, kRegOled, bytes({0x11, 3, 0x33, 0}), false);
    row("defined press macro", [](Mouse* m) { return m->setDefinedPressMacro(2); }, kRegOled, bytes({0x11, 0, 2, 0}), false);
    row("power saving on", [](Mouse* m) { return m->setPowerSaving(true); }, kRegPicIndex, bytes({0x11, 0x22, 0x33, 1}), true);
    row("power saving off", [](Mouse* m) { return m->setPowerSaving(false); }, kRegPicIndex, bytes({0x11, 0x22, 0x33, 0}), true);
    row("operating mode", [](Mouse* m) { return m->setOperatingMode(2, 0); }, kRegConfig, bytes({0x11, 3, 0x33, 0x44}), false);
    row("dpi count", [](Mouse* m) { return m->setDpiCount(4); }, kRegDpiCount, bytes({0x11, 0x22, 4, 0x44}), false);
    row("picture show type", [](Mouse* m) { return m->setPicShowType(5); }, kRegPicShowType, bytes({5, 0x22, 0x33, 0x44}), false);
    row("picture time", [](Mouse* m) { return m->setPicTime(100); }, kRegPicTime, bytes({100, 0x22, 0x33, 0x44}), false);
}

void TestFarrantNordicMouse::setterBytes()
{
    QFETCH(Setter, setter);
    QFETCH(quint32, reg);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, written);
    QFETCH(bool, gameModeStep);
    Mouse* mouse = open();
    QVERIFY(mouse);
    m_fixture->mouse()->setMemory(reg, before);
    // Out of game mode, so the step shows as an 0xA1 packet.
    m_fixture->mouse()->setGameMode(0);
    mouse->onReaderData(reportText(m_fixture->mouse()->statusReport(0, 0, 0)));
    WAIT_VERIFY(HWork::pendingCount() == 0);
    m_fixture->mouse()->clearCommands();

    QVERIFY(setter(mouse));
    QCOMPARE(m_fixture->appliedWrites(), (QList<QPair<quint32, QByteArray>>{{reg, written}}));
    QCOMPARE(m_fixture->mouse()->memory(reg, 4), written);
    QCOMPARE(countCommands(m_fixture->mouse()->commands(), kCmdSetGameMode), gameModeStep ? 1 : 0);
    for (const auto& c : m_fixture->mouse()->commands())
        QCOMPARE(c.address, quint8(kAddressWired));
}

void TestFarrantNordicMouse::refusalsWriteNothing_data()
{
    QTest::addColumn<Setter>("setter");
    QTest::addColumn<QString>("logLine");
    QTest::newRow("dpi index -1") << Setter([](Mouse* m) { return m->setDpiIndex(-1); }) << QString();
    QTest::newRow("dpi index 8") << Setter([](Mouse* m) { return m->setDpiIndex(8); }) << QString();
    QTest::newRow("report rate 4") << Setter([](Mouse* m) { return m->setReportRate(4); }) << QString();
    QTest::newRow("report rate -1") << Setter([](Mouse* m) { return m->setReportRate(-1); }) << QString();
    QTest::newRow("light mode 5") << Setter([](Mouse* m) { return m->setLightModel(5, 0); }) << QString();
    QTest::newRow("brightness 11") << Setter([](Mouse* m) { return m->setLightBrightness(11, 0); })
                                   << "[ERROR] Exceeding the settable brightness";
    QTest::newRow("brightness -1") << Setter([](Mouse* m) { return m->setLightBrightness(-1, 0); })
                                   << "[ERROR] Exceeding the settable brightness";
    QTest::newRow("colour without g") << Setter([](Mouse* m) { return m->setRGB({{"r", 1}, {"b", 1}}, 0); })
                                      << "[ERROR] setRGB";
    QTest::newRow("colour zone 3") << Setter([](Mouse* m) { return m->setRGB({{"r", 1}, {"g", 1}, {"b", 1}}, 3); })
                                   << "[ERROR] setRGB";
    QTest::newRow("colour zone -1") << Setter([](Mouse* m) { return m->setRGB({{"r", 1}, {"g", 1}, {"b", 1}}, -1); })
                                    << "[ERROR] setRGB";
    QTest::newRow("colour 256") << Setter([](Mouse* m) { return m->setRGB({{"r", 256}, {"g", 1}, {"b", 1}}, 0); })
                                << "[ERROR] setRGB";
    QTest::newRow("colour -1") << Setter([](Mouse* m) { return m->setRGB({{"r", 1}, {"g", -1}, {"b", 1}}, 0); })
                               << "[ERROR] setRGB";
    QTest::newRow("OLED 4") << Setter([](Mouse* m) { return m->setOLEDLightIntensity(4); })
                            << "[ERROR] setOLEDLightIntensity";
    QTest::newRow("OLED 101") << Setter([](Mouse* m) { return m->setOLEDLightIntensity(101); })
                              << "[ERROR] setOLEDLightIntensity";
    QTest::newRow("picture -1") << Setter([](Mouse* m) { return m->setCurrentPicIndex(-1); })
                                << "[ERROR] setCurrentPicIndex";
    QTest::newRow("picture 10") << Setter([](Mouse* m) { return m->setCurrentPicIndex(10); })
                                << "[ERROR] setCurrentPicIndex";
    QTest::newRow("picture count 7") << Setter([](Mouse* m) { return m->setPicNumber(7); }) << "[ERROR] setPicNumber";
    QTest::newRow("press macro 4") << Setter([](Mouse* m) { return m->setPressMacroCode(4); }) << QString();
    QTest::newRow("defined press macro -1") << Setter([](Mouse* m) { return m->setDefinedPressMacro(-1); }) << QString();
    QTest::newRow("show type 6") << Setter([](Mouse* m) { return m->setPicShowType(6); }) << "[ERROR] setPicShowType";
    QTest::newRow("picture time 101") << Setter([](Mouse* m) { return m->setPicTime(101); }) << "[ERROR] setPicTime";
    QTest::newRow("preset 4") << Setter([](Mouse* m) { return m->setShortCutModel(4, 0); }) << QString();
    QTest::newRow("eight stages") << Setter([](Mouse* m) { return m->setDpiList({400, 800, 1600, 2400, 3200, 4800, 6400, 8000}); })
                                  << QString();
}

void TestFarrantNordicMouse::refusalsWriteNothing()
{
    QFETCH(Setter, setter);
    QFETCH(QString, logLine);
    Mouse* mouse = open();
    QVERIFY(mouse);
    LogCapture log;
    QVERIFY(!setter(mouse));
    QVERIFY(m_fixture->mouse()->commands().isEmpty());
    if (!logLine.isEmpty())
        QVERIFY(log.contains(logLine));
}

void TestFarrantNordicMouse::failureAtEachStep_data()
{
    QTest::addColumn<Setter>("setter");
    QTest::addColumn<int>("failAt");      // the command that settles on error: 0 the word read, 1 the next
    QTest::addColumn<QString>("logLine");
    const struct {
        const char* name;
        Setter setter;
        const char* line;
    } setters[] = {
        {"dpi index", [](Mouse* m) { return m->setDpiIndex(2); }, "[Error] setDpiIndex->getFlash"},
        {"light mode", [](Mouse* m) { return m->setLightModel(2, 0); }, "[Error] setLightModel->getFlash"},
        {"light speed", [](Mouse* m) { return m->setLightSpeed(4, 0); }, "[Error] setLightSpeed->getFlash"},
        {"brightness", [](Mouse* m) { return m->setLightBrightness(4, 0); }, "[Error] setLightBrightness->getFlash"},
        {"OLED", [](Mouse* m) { return m->setOLEDLightIntensity(50); }, "[Error] setOLEDLightIntensity->getFlash"},
        {"press macro", [](Mouse* m) { return m->setPressMacroCode(1); }, "[Error] setPressMacroCode->getFlash"},
        {"defined press macro", [](Mouse* m) { return m->setDefinedPressMacro(1); }, "[Error] setDefinedPressMacro->getFlash"},
        {"picture index", [](Mouse* m) { return m->setCurrentPicIndex(1); }, ""},
        {"power saving", [](Mouse* m) { return m->setPowerSaving(true); }, ""},
        {"operating mode", [](Mouse* m) { return m->setOperatingMode(1, 0); }, ""},
    };
    for (const auto& s : setters) {
        QTest::newRow(qPrintable(QStringLiteral("%1, read").arg(s.name))) << s.setter << 0 << QString::fromUtf8(s.line);
        QTest::newRow(qPrintable(QStringLiteral("%1, step after the read").arg(s.name))) << s.setter << 1 << QString();
    }
    // Setters that write without reading: the game-mode step or the write itself fails.
    QTest::newRow("colour, first step") << Setter([](Mouse* m) { return m->setRGB({{"r", 1}, {"g", 2}, {"b", 3}}, 1); })
                                        << 0 << QString();
    QTest::newRow("report rate, first step") << Setter([](Mouse* m) { return m->setReportRate(2); }) << 0 << QString();
    QTest::newRow("picture count, write") << Setter([](Mouse* m) { return m->setPicNumber(8); }) << 0 << QString();
    // The DPI block: the stage-index read, the game-mode step, the block's write.
    const Setter dpiList = [](Mouse* m) { return m->setDpiList({400, 800, 1600, 2400, 3200, 4800, 6400}); };
    QTest::newRow("dpi list, index read") << dpiList << 0 << QString();
    QTest::newRow("dpi list, game mode") << dpiList << 1 << QString();
    QTest::newRow("dpi list, write") << dpiList << 2 << QString();
}

void TestFarrantNordicMouse::failureAtEachStep()
{
    QFETCH(Setter, setter);
    QFETCH(int, failAt);
    QFETCH(QString, logLine);
    Mouse* mouse = open();
    QVERIFY(mouse);
    // Out of game mode, so a setter with the step sends 0xA1 after the read; one without writes next.
    m_fixture->mouse()->setGameMode(0);
    mouse->onReaderData(reportText(m_fixture->mouse()->statusReport(0, 0, 0)));
    WAIT_VERIFY(HWork::pendingCount() == 0);
    m_fixture->mouse()->clearCommands();
    m_fixture->mouse()->failCommands(1000, SimRegister::kStatusError, failAt);
    LogCapture log;
    QVERIFY(!setter(mouse));
    QVERIFY(m_fixture->mouse()->appliedWrites().isEmpty());
    // Nothing follows the failed command but its own retries.
    const auto commands = m_fixture->mouse()->commands();
    QVERIFY(!commands.isEmpty());
    const quint8 failed = commands[failAt].command;
    for (int i = failAt; i < commands.size(); ++i)
        QCOMPARE(commands[i].command, failed);
    if (!logLine.isEmpty())
        QVERIFY(log.contains(logLine));
    else if (failAt == 0)
        QVERIFY(!log.contains(QStringLiteral("->getFlash")));
}

void TestFarrantNordicMouse::shortCutStopsAtTheFailedStep_data()
{
    QTest::addColumn<int>("preset");
    QTest::addColumn<QList<quint32>>("steps");  // the registers the preset writes, in order
    QTest::newRow("preset 0") << 0 << QList<quint32>{kRegOled, kRegDpiIndex, kRegDpiIndex, kRegPicIndex, kRegPicIndex};
    QTest::newRow("preset 1") << 1 << QList<quint32>{kRegOled, kRegDpiIndex, kRegDpiIndex, kRegPicIndex, kRegPicIndex};
    QTest::newRow("preset 2") << 2 << QList<quint32>{kRegDpiIndex, kRegPicIndex};
}

void TestFarrantNordicMouse::shortCutStopsAtTheFailedStep()
{
    QFETCH(int, preset);
    QFETCH(QList<quint32>, steps);
    Mouse* mouse = open();
    QVERIFY(mouse);
    QVERIFY(mouse->setShortCutModel(preset, 0));
    QList<quint32> written;
    for (const auto& w : m_fixture->appliedWrites())
        written << w.first;
    QCOMPARE(written, steps);
    if (preset == 2)
        QCOMPARE(m_fixture->mouse()->pictureIndex(), 9);
    else
        QCOMPARE(m_fixture->mouse()->powerSaving(), preset == 1);

    // Each step is a word read and its write (the mouse stays in game mode): the write of step k fails.
    for (int k = 0; k < steps.size(); ++k) {
        m_fixture->mouse()->clearCommands();
        m_fixture->mouse()->failCommands(1000, SimRegister::kStatusError, 2 * k + 1);
        QVERIFY(!mouse->setShortCutModel(preset, 0));
        written.clear();
        for (const auto& w : m_fixture->appliedWrites())
            written << w.first;
        QCOMPARE(written, steps.mid(0, k));
        QCOMPARE(m_fixture->mouse()->commands().last().reg, steps[k]);
        m_fixture->mouse()->clearFaults();
    }
}

void TestFarrantNordicMouse::dpiList_data()
{
    QTest::addColumn<QVector<int>>("values");
    QTest::addColumn<QVector<bool>>("enable");
    QTest::addColumn<int>("currentIndex");
    QTest::addColumn<QList<int>>("stages");  // as the mouse stores them, enabled first
    QTest::addColumn<int>("highest");
    QTest::addColumn<int>("indexAfter");

    const QVector<int> seven{400, 800, 1600, 2400, 3200, 4800, 6400};
    QTest::newRow("all enabled") << seven << QVector<bool>(7, true) << 1
                                 << QList<int>{400, 800, 1600, 2400, 3200, 4800, 6400} << 6 << 1;
    QTest::newRow("stages 2 and 5 disabled, index lowered")
        << seven << QVector<bool>{true, true, false, true, true, false, true} << 6
        << QList<int>{400, 800, 2400, 3200, 6400, 1600, 4800} << 4 << 4;
    QTest::newRow("missing switches count as enabled") << seven << QVector<bool>{false} << 2
                                                       << QList<int>{800, 1600, 2400, 3200, 4800, 6400, 400} << 5 << 2;
    QTest::newRow("five values") << QVector<int>{100, 200, 300, 400, 500} << QVector<bool>(5, true) << 0
                                 << QList<int>{100, 200, 300, 400, 500, 0, 0} << 4 << 0;
    QTest::newRow("all disabled") << seven << QVector<bool>(7, false) << 1 << QList<int>() << -1 << 1;
}

void TestFarrantNordicMouse::dpiList()
{
    QFETCH(QVector<int>, values);
    QFETCH(QVector<bool>, enable);
    QFETCH(int, currentIndex);
    QFETCH(QList<int>, stages);
    QFETCH(int, highest);
    QFETCH(int, indexAfter);
    Mouse* mouse = open();
    QVERIFY(mouse);
    MouseUiState ui;
    ui.dpiEnable = enable;
    mouse->session().setUiState(ui);
    m_fixture->mouse()->setRegister(kRegDpiIndex, quint8(currentIndex));
    const QList<int> before = m_fixture->mouse()->dpiStages();

    QCOMPARE(mouse->setDpiList(values), highest >= 0);
    QCOMPARE(m_fixture->mouse()->dpiIndex(), indexAfter);
    if (highest < 0) {
        QVERIFY(m_fixture->mouse()->appliedWrites().isEmpty());
        QCOMPARE(m_fixture->mouse()->dpiStages(), before);
        return;
    }
    QCOMPARE(m_fixture->mouse()->dpiStages(), stages);
    QCOMPARE(m_fixture->mouse()->dpiHighestIndex(), highest);
    QCOMPARE(m_fixture->mouse()->registerValue(kRegDpiHighestIndex + 1), quint8(0));
    QCOMPARE(m_fixture->appliedWrites().last().second.size(), kDpiListLength);
}

void TestFarrantNordicMouse::getters()
{
    Mouse* mouse = open();
    QVERIFY(mouse);
    SimRegisterMouse* sim = m_fixture->mouse();
    sim->setMemory(kRegDpiIndex, bytes({3, 2, 1, 6}));
    sim->setMemory(kRegZoneColour + 4, bytes({10, 20, 30, 0xFF}));
    sim->setMemory(kRegPicIndex, bytes({0, 3, 1, 1}));
    sim->setRegister(kRegReportRate, 16);
    sim->setMemory(kRegOled, bytes({55, 2, 3, 0}));
    QCOMPARE(mouse->getDpiIndex(), 3);
    QCOMPARE(mouse->getLightModel(0), 2);
    QCOMPARE(mouse->getLightSpeed(0), 8);
    QCOMPARE(mouse->getLightBrightness(0), 7);
    QCOMPARE(mouse->getRGB(1), (QMap<QString, int>{{"r", 10}, {"g", 20}, {"b", 30}}));
    QCOMPARE(mouse->getRGB(7).value("b"), 0);  // another zone reads zone 0
    QCOMPARE(mouse->getReportRate(), 0);       // an unknown code
    QCOMPARE(mouse->getCurrentPicIndex(), 9);
    QVERIFY(mouse->getPowerSaving());
    QCOMPARE(mouse->getOLEDLightIntensity(), 55);
    QCOMPARE(mouse->getPressMacroCode(), 2);
    QCOMPARE(mouse->getDefinedPressMacro(), 3);
    QCOMPARE(mouse->getDpiList(), (QVector<int>{400, 800, 1600, 2400, 3200, 4800, 6400}));
    QCOMPARE(mouse->getCurrentPicIndexList(), (QList<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    QCOMPARE(mouse->getMacroBufferSize(), 2720);
    // What the getters read is mirrored in the image; the image of a failed read stays.
    QCOMPARE(mouse->configImage().mid(639 + 0x18, 4), bytes({3, 2, 1, 6}));
    sim->setStuckStatus(SimRegister::kStatusError);
    LogCapture log;
    QCOMPARE(mouse->getDpiIndex(), -1);
    QVERIFY(mouse->getDpiList().isEmpty());
    QVERIFY(mouse->getRGB(0).isEmpty());
    QCOMPARE(mouse->getCurrentPicIndex(), -1);
    QVERIFY(log.contains(QStringLiteral("[ERROR] getCurrentPicIndex:readCmd")));
    QVERIFY(!mouse->getPowerSaving());
    QCOMPARE(mouse->configImage().mid(639 + 0x18, 4), bytes({3, 2, 1, 6}));
}

void TestFarrantNordicMouse::resetAndVersion_data()
{
    QTest::addColumn<bool>("receiver");
    QTest::newRow("wired") << false;
    QTest::newRow("through the receiver") << true;
}

void TestFarrantNordicMouse::resetAndVersion()
{
    QFETCH(bool, receiver);
    Mouse* mouse = receiver ? open(DeviceIds::kJarrowNordicWireless, kAddressReceiver, &ReceiverMouse::create) : open();
    QVERIFY(mouse);
    m_fixture->mouse()->setFirmwareVersion(0x01, 0x05);
    QCOMPARE(mouse->getFwVersion(), 0x0105);
    QVERIFY(mouse->setDefaultFlash());
    QCOMPARE(m_fixture->mouse()->factoryResets(), 1);
    const auto reset = m_fixture->mouse()->commands().last();
    QCOMPARE(reset.address, quint8(receiver ? 0xA5 : 0xFF));
    QCOMPARE(reset.command, quint8(0xAD));
    QCOMPARE(reset.length, 0x52);
    QCOMPARE(reset.reg, quint32(0x3D));
    QCOMPARE(countCommands(m_fixture->mouse()->commands(), kCmdSetGameMode), 0);
}

// --- picture ----------------------------------------------------------------------------------------------------

namespace {

QImage screenImage(bool allLit)
{
    QImage image(kPictureWidth, kPictureHeight, QImage::Format_MonoLSB);
    image.setColor(0, qRgb(0, 0, 0));
    image.setColor(1, qRgb(255, 255, 255));
    image.fill(allLit ? 0 : 1);
    return image;
}

QString pictureFile()
{
    return ProgramFolders::profileRoot() + QStringLiteral("/test.bmp");
}

} // namespace

void TestFarrantNordicMouse::pictureConversion()
{
    quint8 out[kPictureSize];
    QVERIFY(Mouse::ImageToByteArr(screenImage(true), out, kPictureSize));
    QVERIFY(std::all_of(out, out + kPictureSize, [](quint8 b) { return b == 0xFF; }));
    QVERIFY(Mouse::ImageToByteArr(screenImage(false), out, kPictureSize));
    QVERIFY(std::all_of(out, out + kPictureSize, [](quint8 b) { return b == 0; }));

    QImage one = screenImage(false);
    one.setPixel(9, 10, 0);
    QVERIFY(Mouse::ImageToByteArr(one, out, kPictureSize));
    for (int i = 0; i < kPictureSize; ++i)
        QCOMPARE(out[i], quint8(i == 73 ? 1 << 2 : 0));

    // Same byte count, other shape; or another length.
    LogCapture log;
    QImage wide(128, 24, QImage::Format_MonoLSB);
    QVERIFY(!Mouse::ImageToByteArr(wide, out, kPictureSize));
    QVERIFY(!Mouse::ImageToByteArr(screenImage(true), out, 383));
    QCOMPARE(log.count(QStringLiteral("ImageToByteArr 参数长度不正确,必须为6*64个字节")), 2);
}

void TestFarrantNordicMouse::pictureUpload()
{
    Mouse* mouse = open();
    QVERIFY(mouse);
    QDir().mkpath(ProgramFolders::profileRoot());
    QImage drawn = screenImage(false);
    drawn.setPixel(0, 0, 0);
    QVERIFY(drawn.save(pictureFile(), "BMP"));
    QVERIFY(mouse->writeImageToMouse());

    const auto writes = m_fixture->appliedWrites();
    QCOMPARE(writes.size(), 17);
    for (int k = 0; k < 16; ++k) {
        QCOMPARE(writes[k].first, quint32(kRegPicture + kPictureChunk * k));
        QCOMPARE(writes[k].second.size(), kPictureChunk);
    }
    QCOMPARE(writes.last(), qMakePair(quint32(kRegPicCount), bytes({8, 0, 0, 0})));
    // The one dark pixel of the drawing, column 0 row 0, stands apart from all others, whichever colour the
    // picture's colour table makes lit.
    const QByteArray screen = m_fixture->mouse()->picture();
    const quint8 rest = quint8(screen.at(1));
    QVERIFY(rest == 0 || rest == 0xFF);
    QCOMPARE(quint8(screen.at(0)), quint8(rest ^ 1));
    QCOMPARE(screen.count(char(rest)), kPictureSize - 1);
    QCOMPARE(Platform::recordedSleeps().count(10), 16);
    QCOMPARE(countCommands(m_fixture->mouse()->commands(), kCmdSetGameMode), 0);
    QFile::remove(pictureFile());
}

void TestFarrantNordicMouse::pictureUploadFailsAtChunk_data()
{
    QTest::addColumn<int>("chunk");
    QTest::newRow("first") << 0;
    QTest::newRow("middle") << 7;
    QTest::newRow("last") << 15;
}

void TestFarrantNordicMouse::pictureUploadFailsAtChunk()
{
    QFETCH(int, chunk);
    Mouse* mouse = open();
    QVERIFY(mouse);
    QDir().mkpath(ProgramFolders::profileRoot());
    QVERIFY(screenImage(true).save(pictureFile(), "BMP"));
    m_fixture->mouse()->failWritesAt(kRegPicture + quint32(kPictureChunk * chunk));
    QVERIFY(!mouse->writeImageToMouse());
    const auto writes = m_fixture->appliedWrites();
    QCOMPARE(writes.size(), chunk);
    for (const auto& w : writes)
        QVERIFY(w.first != kRegPicCount);
    QFile::remove(pictureFile());
}

void TestFarrantNordicMouse::pictureFilesRefused_data()
{
    QTest::addColumn<QSize>("size");  // empty: no file
    QTest::newRow("missing") << QSize();
    QTest::newRow("128x24, same byte count") << QSize(128, 24);
    QTest::newRow("65x48") << QSize(65, 48);
}

void TestFarrantNordicMouse::pictureFilesRefused()
{
    QFETCH(QSize, size);
    Mouse* mouse = open();
    QVERIFY(mouse);
    QFile::remove(pictureFile());
    if (!size.isEmpty()) {
        QDir().mkpath(ProgramFolders::profileRoot());
        QImage image(size, QImage::Format_MonoLSB);
        image.fill(0);
        QVERIFY(image.save(pictureFile(), "BMP"));
    }
    QVERIFY(!mouse->writeImageToMouse());
    QVERIFY(m_fixture->mouse()->commands().isEmpty());
    QFile::remove(pictureFile());
}

// --- battery and reports ----------------------------------------------------------------------------------------

void TestFarrantNordicMouse::battery_data()
{
    QTest::addColumn<quint32>("reading");
    QTest::addColumn<int>("percent");
    QTest::newRow("726") << 726u << 100;
    QTest::newRow("D5 02 00 00") << 0x2D5u << 99;
    QTest::newRow("541") << 541u << 2;
    QTest::newRow("540") << 540u << -1;
    QTest::newRow("no reading") << 0u << -1;
    QTest::newRow("byte 1 zero") << 0x300u << -1;
}

void TestFarrantNordicMouse::battery()
{
    QFETCH(quint32, reading);
    QFETCH(int, percent);
    Mouse* mouse = open();
    QVERIFY(mouse);
    m_fixture->mouse()->setBatteryReading(reading);
    QCOMPARE(mouse->getBatteryValue(), percent);
}

void TestFarrantNordicMouse::batterySignals()
{
    // A receiver model reports its battery at opening, from reports and on the reader's request.
    m_fixture = std::make_unique<RegisterMouseFixture>(DeviceIds::kJarrowNordicWireless, kAddressReceiver);
    m_fixture->mouse()->setBatteryReading(0x2D5);
    auto* mouse = qobject_cast<Mouse*>(m_fixture->createDevice(&ReceiverMouse::create));
    QSignalSpy battery(mouse, &KBaseDevice::sigBattrey);
    QVERIFY(mouse->initDevice());
    WAIT_COMPARE(battery.size(), 1);
    QCOMPARE(battery.takeFirst().at(0).toInt(), 99);
    for (const auto& c : m_fixture->mouse()->commands())
        QCOMPARE(c.address, quint8(kAddressReceiver));

    mouse->onReaderData(reportText(m_fixture->mouse()->statusReport(1, 0, 42)));
    QCOMPARE(battery.size(), 1);
    QCOMPARE(battery.takeFirst().at(0).toInt(), 42);

    mouse->onReaderText(QStringLiteral("start getBatteryValue"));
    WAIT_COMPARE(battery.size(), 1);
    QCOMPARE(battery.takeFirst().at(0).toInt(), 99);
    m_fixture->mouse()->setBatteryReading(0);
    mouse->onReaderText(QStringLiteral("start getBatteryValue"));
    WAIT_VERIFY(HWork::pendingCount() == 0);
    QCOMPARE(battery.size(), 0);  // no reading, no signal

    // A wired model reads no battery at opening and signals none from reports.
    m_fixture.reset();  // one bus fixture at a time
    m_fixture = std::make_unique<RegisterMouseFixture>(DeviceIds::kJarrowNordic, kAddressWired);
    mouse = qobject_cast<Mouse*>(m_fixture->createDevice());
    QSignalSpy wired(mouse, &KBaseDevice::sigBattrey);
    QVERIFY(mouse->initDevice());
    mouse->onReaderData(reportText(m_fixture->mouse()->statusReport(1, 0, 42)));
    QCoreApplication::processEvents();
    QCOMPARE(wired.size(), 0);
    QCOMPARE(countCommands(m_fixture->mouse()->commands(), kCmdBattery), 0);
}

void TestFarrantNordicMouse::dataHandler()
{
    Mouse* mouse = open();
    QVERIFY(mouse);
    QSignalSpy cpi(mouse, &KBaseDevice::sigcurrentCPI);
    m_fixture->mouse()->setRegister(kRegDpiIndex, 5);
    // A short report is ignored.
    mouse->onReaderData(reportText(bytes({5, 0, 1, 8})));
    QCoreApplication::processEvents();
    QVERIFY(m_fixture->mouse()->commands().isEmpty());

    // A new raw DPI word asks for the stage index on the pool and signals it from the completion.
    mouse->onReaderData(reportText(m_fixture->mouse()->statusReport(1, 0x0120, 60)));
    WAIT_COMPARE(cpi.size(), 1);
    QCOMPARE(cpi.takeFirst().at(0).toInt(), 5);
    QCOMPARE(mouse->cachedBattery(), 60);
    // The same word again asks nothing.
    m_fixture->mouse()->clearCommands();
    mouse->onReaderData(reportText(m_fixture->mouse()->statusReport(1, 0x0120, 61)));
    QCoreApplication::processEvents();
    QVERIFY(m_fixture->mouse()->commands().isEmpty());

    LogCapture log;
    mouse->onReaderText(QStringLiteral("open device \t ok\n"));
    QVERIFY(log.contains(QStringLiteral("InterruputRead: opendeviceok")));
}

QTEST_MAIN(TestFarrantNordicMouse)
#include "tst_farrantnordicmouse.moc"
