#include "BrokenFirmware.h"
#include "FakeProgram.h"
#include "LogCapture.h"
#include "SimBusFixture.h"

#include "common/DeviceIds.h"
#include "common/ProgramFolders.h"
#include "firmware/IspProtocol.h"
#include "sim/firmware/SimCawdorMouse.h"
#include "sim/firmware/SimNordicMouse.h"
#include "update/Farrant_Nordic_Bootload.h"
#include "update/HFarrantYarrinSeries_FirmWare.h"
#include "TestWait.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtConcurrent>
#include <QtTest>

namespace {

using Faults = SimCawdorMouse::Faults;

QByteArray imageOf(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 13 + 1) & 0xFF);
    return bytes;
}

QString writeImage(const QTemporaryDir& dir, const QByteArray& image)
{
    const QString path = dir.filePath("Nuc123.bin");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(image);
    return path;
}

const QString kPort = QStringLiteral("/dev/ttyACM3");

} // namespace

Q_DECLARE_METATYPE(SimCawdorMouse::Faults)

class TestProgramBootloaders : public QObject
{
    Q_OBJECT
private slots:
    void bootloaderTransfer_data();
    void bootloaderTransfer();
    void bootloaderOfTheOtherPageIsNotTaken();
    void brokenFirmwareLeavesTheMouseAlone_data();
    void brokenFirmwareLeavesTheMouseAlone();
    void cancelCutsASilentTransferShort();
    void nordic_data();
    void nordic();
    void nordicUnknownModel();
};

void TestProgramBootloaders::bootloaderTransfer_data()
{
    QTest::addColumn<bool>("inBootloader");
    QTest::addColumn<bool>("present");
    QTest::addColumn<Faults>("faults");
    QTest::addColumn<bool>("success");
    QTest::newRow("switched into the bootloader") << false << true << Faults() << true;
    QTest::newRow("already in the bootloader") << true << true << Faults() << true;
    Faults checksum;
    checksum.badChecksumAt = 2;
    QTest::newRow("bad checksum once: resent") << false << true << checksum << true;
    Faults number;
    number.wrongNumberAt = 1;
    QTest::newRow("wrong packet number") << true << true << number << false;
    QTest::newRow("no mouse") << false << false << Faults() << false;
}

void TestProgramBootloaders::bootloaderTransfer()
{
    QFETCH(bool, inBootloader);
    QFETCH(bool, present);
    QFETCH(Faults, faults);
    QFETCH(bool, success);
    SimBusFixture bus;
    SimCawdorMouse mouse(bus.bus(), DeviceIds::kFarrant, 0);
    mouse.setFaults(faults);
    if (present)
        inBootloader ? mouse.plugBootloader() : mouse.plugApplication();
    QTemporaryDir dir;
    const QByteArray image = imageOf(1000);
    const QString path = writeImage(dir, image);

    LogCapture logs;
    HFarrantYarrinSeries_FirmWare updater;
    QSignalSpy results(&updater, &HFarrantYarrinSeries_FirmWare::sigUpdateResult);
    QSignalSpy percent(&updater, &HFarrantYarrinSeries_FirmWare::sigPercent);
    updater.slot_Update(path);
    QCOMPARE(results.count(), 1);
    QCOMPARE(results.first().first().toBool(), success);
    QCOMPARE(mouse.enterReports(), present && !inBootloader ? 1 : 0);
    if (success) {
        QCOMPARE(mouse.image(), image);
        QVERIFY(mouse.ranApplication());
        QCOMPARE(percent.last().first().toUInt(), 100u);
        QVERIFY(logs.contains("Send sync packno cmd OK"));
        QVERIFY(logs.contains("WriteFile: "));
    } else {
        QVERIFY(logs.contains(present ? "update fw file failed" : "FW don't not enter updatemode"));
    }
    // A mouse that was switched, or found in its bootloader, is sent back to its application, also after a
    // failed transfer.
    if (present) {
        QVERIFY(mouse.ranApplication());
        QVERIFY(!mouse.inBootloader());
    }
}

void TestProgramBootloaders::brokenFirmwareLeavesTheMouseAlone_data()
{
    QTest::addColumn<QString>("which");
    for (const QString& which : BrokenFirmware::cases())
        QTest::newRow(qPrintable(which)) << which;
}

// A file that cannot be flashed is found out before the mouse is switched: it stays in its application.
void TestProgramBootloaders::brokenFirmwareLeavesTheMouseAlone()
{
    QFETCH(QString, which);
    SimBusFixture bus;
    SimCawdorMouse mouse(bus.bus(), DeviceIds::kFarrant, 0);
    mouse.plugApplication();
    QTemporaryDir dir;
    const QString path = dir.filePath("Nuc123.bin");
    QVERIFY(BrokenFirmware::make(path, which, Isp::kImageCapacity));
    BrokenFirmware::FifoWatchdog watchdog(path);

    LogCapture logs;
    HFarrantYarrinSeries_FirmWare updater;
    QSignalSpy results(&updater, &HFarrantYarrinSeries_FirmWare::sigUpdateResult);
    updater.slot_Update(path);
    QVERIFY(!watchdog.fired());
    QCOMPARE(results.count(), 1);
    QVERIFY(!results.first().first().toBool());
    QVERIFY(logs.contains("Get file info fail"));
    QCOMPARE(mouse.enterReports(), 0);
    QVERIFY(!mouse.inBootloader());
    QVERIFY(mouse.packetNumbers().isEmpty());
}

void TestProgramBootloaders::bootloaderOfTheOtherPageIsNotTaken()
{
    // The library's bootloader (usage page 1) is not the one this updater looks for (page 0).
    SimBusFixture bus;
    SimCawdorMouse mouse(bus.bus(), DeviceIds::kFarrant, 1);
    mouse.plugBootloader();
    QTemporaryDir dir;
    HFarrantYarrinSeries_FirmWare updater;
    QSignalSpy results(&updater, &HFarrantYarrinSeries_FirmWare::sigUpdateResult);
    updater.slot_Update(writeImage(dir, imageOf(100)));
    QCOMPARE(results.count(), 1);
    QVERIFY(!results.first().first().toBool());
    QVERIFY(mouse.packetNumbers().isEmpty());
}

void TestProgramBootloaders::cancelCutsASilentTransferShort()
{
    SimBusFixture bus;
    SimCawdorMouse mouse(bus.bus(), DeviceIds::kFarrant, 0);
    Faults silent;
    silent.silentSync = true;
    mouse.setFaults(silent);
    mouse.plugBootloader();
    QTemporaryDir dir;
    const QString path = writeImage(dir, imageOf(100));
    HFarrantYarrinSeries_FirmWare updater;
    QSignalSpy results(&updater, &HFarrantYarrinSeries_FirmWare::sigUpdateResult);
    QElapsedTimer timer;
    timer.start();
    QFuture<void> transfer = QtConcurrent::run([&] { updater.slot_Update(path); });
    WAIT_VERIFY(bus->blockedReads() > 0);
    updater.cancel();
    transfer.waitForFinished();
    QVERIFY(timer.elapsed() < HFarrantYarrinSeries_FirmWare::kReadTimeoutMs);
    QCOMPARE(results.count(), 1);
    QVERIFY(!results.first().first().toBool());
}

void TestProgramBootloaders::nordic_data()
{
    QTest::addColumn<bool>("mousePresent");
    QTest::addColumn<int>("portDelay");   // -1: the port never shows up
    QTest::addColumn<bool>("success");
    QTest::addColumn<QString>("message");
    QTest::newRow("flashed") << true << 2 << true << "successed update";
    QTest::newRow("already in the bootloader") << false << 0 << true << "successed update";
    QTest::newRow("no port") << true << -1 << false << "[警告] 未找到串口号设备: ";
    QTest::newRow("no mouse, no port") << false << -1 << false << "[警告] 未找到该pid设备";
}

void TestProgramBootloaders::nordic()
{
    QFETCH(bool, mousePresent);
    QFETCH(int, portDelay);
    QFETCH(bool, success);
    QFETCH(QString, message);
    SimBusFixture bus;
    QTemporaryDir program;
    ProgramFolders::setProgramFolder(program.path());
    const QString folder = program.path() + "/Update/Local/MALDON";
    QVERIFY(FakeProgram::install(folder + "/nrfutil.exe",
                                 {"expect-args dfu usb-serial -pkg " + folder + "/MALDON_nRF52833_USB_DFU.zip -p " + kPort,
                                  "print farrantupdatestart", "print totle:10", "print value:10",
                                  "print farrantupdateend"}));
    // "MALDON" answers under the ids of the Nordic Kelham.
    SimNordicMouse mouse(bus.bus(), DeviceIds::kKelhamNordic, DeviceIds::kNordicDfuMaldon, kPort);
    mouse.setPortDelay(portDelay);
    if (mousePresent)
        mouse.plugApplication();
    else
        mouse.plugPort();

    Farrant_Nordic_Bootload updater;
    QSignalSpy results(&updater, &Farrant_Nordic_Bootload::sigResult);
    QSignalSpy progress(&updater, &Farrant_Nordic_Bootload::sigProgress);
    QVERIFY(updater.start("MALDON"));
    QVERIFY(results.wait(TestWait::kBoundMs));
    QTest::qWait(30);
    ProgramFolders::setProgramFolder(QString());
    QCOMPARE(results.count(), 1);
    QCOMPARE(results.first().at(0).toBool(), success);
    QCOMPARE(results.first().at(1).toString(), message);
    if (success) {
        QCOMPARE(progress.last().at(0).toInt(), 10);
        QCOMPARE(progress.last().at(1).toInt(), 10);
    }
}

void TestProgramBootloaders::nordicUnknownModel()
{
    SimBusFixture bus;
    Farrant_Nordic_Bootload updater;
    QSignalSpy results(&updater, &Farrant_Nordic_Bootload::sigResult);
    QVERIFY(!updater.start("ELWIN"));
    QVERIFY(!updater.start(""));
    QCOMPARE(results.count(), 0);
}

QTEST_GUILESS_MAIN(TestProgramBootloaders)
#include "tst_programbootloaders.moc"
