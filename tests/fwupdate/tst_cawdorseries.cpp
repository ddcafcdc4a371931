#include "BrokenFirmware.h"
#include "HCawdorSeries.h"
#include "LogCapture.h"
#include "Mirelle.h"
#include "SimBusFixture.h"

#include "common/DeviceIds.h"
#include "firmware/IspProtocol.h"
#include "platform/sys/PlatformTime.h"
#include "sim/firmware/SimCawdorMouse.h"

#include <QApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Faults = SimCawdorMouse::Faults;

QByteArray imageOf(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + 3) & 0xFF);
    return bytes;
}

// A Cawdor mouse on the bus and a firmware folder holding Nuc123.bin.
struct CawdorFixture {
    SimBusFixture bus;
    SimCawdorMouse mouse{bus.bus(), DeviceIds::kYarrin, HCawdorSeries::kBootloaderUsagePage};
    QTemporaryDir folder;

    void writeImage(const QByteArray& image)
    {
        QFile f(folder.filePath("Nuc123.bin"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(image);
    }
};

QList<QPair<int, int>> pairs(const QSignalSpy& spy)
{
    QList<QPair<int, int>> out;
    for (const QList<QVariant>& args : spy)
        out.append({args.at(0).toInt(), args.at(1).toInt()});
    return out;
}

QList<HProcessBar*> windows()
{
    QList<HProcessBar*> out;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* bar = qobject_cast<HProcessBar*>(w))
            out.append(bar);
    }
    return out;
}

} // namespace

Q_DECLARE_METATYPE(SimCawdorMouse::Faults)

class TestCawdorSeries : public QObject
{
    Q_OBJECT
private slots:
    void flashesImages_data();
    void flashesImages();
    void oversizedImageIsRefused();
    void brokenFirmwareLeavesTheMouseAlone_data();
    void brokenFirmwareLeavesTheMouseAlone();
    void transferFaults_data();
    void transferFaults();
    void deviceAlreadyInBootloader();
    void noDevice();
    void wirelessIdIsRefused();
    void firmwareFolder();
    void languageOfTheWindow_data();
    void languageOfTheWindow();
    void replacedUpdaterIsReleased();
};

void TestCawdorSeries::flashesImages_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("40 bytes: the first packet alone") << 40;
    QTest::newRow("1000 bytes: 17 continuations") << 1000;
    QTest::newRow("1001 bytes: one more, 55 bytes of padding") << 1001;
    QTest::newRow("128 KiB") << Isp::kImageCapacity;
}

void TestCawdorSeries::flashesImages()
{
    QFETCH(int, size);
    CawdorFixture f;
    const QByteArray image = imageOf(size);
    f.writeImage(image);
    f.mouse.plugApplication();

    HCawdorSeries updater;
    updater.setFirmwarePath(f.folder.path());
    QSignalSpy results(&updater, &HBaseDevice::sig_fwUpdateRequest);
    QSignalSpy progress(&updater, &HBaseDevice::sig_fwUpdateProgress);
    Platform::clearRecordedSleeps();
    int pid = DeviceIds::kYarrin;
    QVERIFY(updater.startUpdate(&pid, QString()));

    QCOMPARE(results.count(), 1);
    QCOMPARE(results.at(0).at(0).toInt(), 0);
    QCOMPARE(results.at(0).at(1).toString(), QStringLiteral("CawdorSeries refresh success!"));

    // What the bootloader stored, and the zero padding of the last packet.
    const int packets = Isp::packetCount(size);
    QCOMPARE(f.mouse.enterReports(), 1);
    QCOMPARE(f.mouse.command(), quint32(Isp::UpdateAprom));
    QCOMPARE(f.mouse.startAddress(), 0u);
    QCOMPARE(f.mouse.declaredLength(), quint32(size));
    QCOMPARE(f.mouse.image(), image);
    QCOMPARE(f.mouse.dataPackets(), packets);
    const QByteArray received = f.mouse.received();
    QCOMPARE(received.size(), Isp::kFirstPayload + (packets - 1) * Isp::kContinuationPayload);
    QCOMPARE(received.mid(size), QByteArray(received.size() - size, '\0'));
    QVERIFY(f.mouse.ranApplication());
    QVERIFY(!f.mouse.inBootloader());

    // Host packets are odd numbers: sync 1, data 3, 5, ..., run application last.
    QList<quint32> numbers;
    for (int i = 0; i < packets + 2; ++i)
        numbers.append(quint32(1 + 2 * i));
    QCOMPARE(f.mouse.packetNumbers(), numbers);

    QList<QPair<int, int>> expected{{0, size}};
    for (int i = 0; i < packets; ++i)
        expected.append({Isp::bytesSentAfter(i, size), size});
    QCOMPARE(pairs(progress), expected);
    QCOMPARE(expected.last().first, size);
    if (size == 1000)
        QCOMPARE(expected.mid(1, 3), (QList<QPair<int, int>>{{48, 1000}, {104, 1000}, {160, 1000}}));

    // Enter: 3 s, one 2 s poll that finds the bootloader; 2 s before the result.
    QCOMPARE(Platform::recordedSleeps(), (QList<int>{3000, 2000, 2000}));
    QCOMPARE(updater.window()->windowTitle(), QStringLiteral("Cawdor series flash firmware"));
}

void TestCawdorSeries::oversizedImageIsRefused()
{
    CawdorFixture f;
    f.writeImage(imageOf(Isp::kImageCapacity + 1));
    f.mouse.plugBootloader();
    LogCapture logs;
    HCawdorSeries updater;
    updater.setFirmwarePath(f.folder.path());
    QSignalSpy results(&updater, &HBaseDevice::sig_fwUpdateRequest);
    int pid = DeviceIds::kYarrin;
    updater.startUpdate(&pid, QString());
    QCOMPARE(results.count(), 1);
    QCOMPARE(results.at(0).at(0).toInt(), 2);
    QCOMPARE(results.at(0).at(1).toString(), QStringLiteral("CawdorSeries refresh error!"));
    QVERIFY(logs.contains("File to big!!!"));
    QCOMPARE(f.mouse.packetNumbers(), QList<quint32>());
}

void TestCawdorSeries::brokenFirmwareLeavesTheMouseAlone_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("log");
    const QStringList logs = {"file not exists!!!", "", "File to big!!!", "", "", "", "file open error!!!",
                              "file open error!!!"};
    const QStringList cases = BrokenFirmware::cases();
    QCOMPARE(cases.size(), logs.size());
    for (int i = 0; i < cases.size(); ++i)
        QTest::newRow(qPrintable(cases.at(i))) << cases.at(i) << logs.at(i);
}

// A file that cannot be flashed is found out before the mouse is switched: it stays in its application, and
// the update fails at once (a FIFO of that name is not waited on).
void TestCawdorSeries::brokenFirmwareLeavesTheMouseAlone()
{
    QFETCH(QString, which);
    QFETCH(QString, log);
    CawdorFixture f;
    const QString path = f.folder.filePath("Nuc123.bin");
    QVERIFY(BrokenFirmware::make(path, which, Isp::kImageCapacity));
    f.mouse.plugApplication();
    BrokenFirmware::FifoWatchdog watchdog(path);

    LogCapture logs;
    HCawdorSeries updater;
    updater.setFirmwarePath(f.folder.path());
    QSignalSpy results(&updater, &HBaseDevice::sig_fwUpdateRequest);
    Platform::clearRecordedSleeps();
    int pid = DeviceIds::kYarrin;
    updater.startUpdate(&pid, QString());

    QVERIFY(!watchdog.fired());
    QCOMPARE(results.count(), 1);
    QCOMPARE(results.at(0).at(0).toInt(), 2);
    QCOMPARE(results.at(0).at(1).toString(), QStringLiteral("CawdorSeries refresh error!"));
    if (!log.isEmpty())
        QVERIFY2(logs.contains(log), qPrintable(log));
    QCOMPARE(f.mouse.enterReports(), 0);
    QVERIFY(!f.mouse.inBootloader());
    QCOMPARE(f.mouse.packetNumbers(), QList<quint32>());
    QCOMPARE(Platform::recordedSleeps(), QList<int>());
}

void TestCawdorSeries::transferFaults_data()
{
    QTest::addColumn<Faults>("faults");
    QTest::addColumn<bool>("success");
    QTest::addColumn<QStringList>("logs");
    Faults checksum;
    checksum.badChecksumAt = 3;
    QTest::newRow("bad checksum once: resent") << checksum << true
                                               << QStringList{"Checksum error!!", "resend this packet"};
    Faults number;
    number.wrongNumberAt = 2;
    QTest::newRow("wrong packet number") << number << false << QStringList{"curPacketNo != lcksum", "readData fail"};
    Faults shortReply;
    shortReply.shortReplies = true;
    QTest::newRow("short reply") << shortReply << false << QStringList{"error size", "send sync packno cmd fail"};
    Faults silence;
    silence.silenceAt = 5;
    QTest::newRow("silence") << silence << false << QStringList{"readData error!", "readData fail"};
}

void TestCawdorSeries::transferFaults()
{
    QFETCH(Faults, faults);
    QFETCH(bool, success);
    QFETCH(QStringList, logs);
    CawdorFixture f;
    const QByteArray image = imageOf(1000);
    f.writeImage(image);
    f.mouse.setFaults(faults);
    f.mouse.plugApplication();

    LogCapture log;
    HCawdorSeries updater;
    updater.setFirmwarePath(f.folder.path());
    QSignalSpy results(&updater, &HBaseDevice::sig_fwUpdateRequest);
    int pid = DeviceIds::kYarrin;
    updater.startUpdate(&pid, QString());

    QCOMPARE(results.count(), 1);
    QCOMPARE(results.at(0).at(0).toInt(), success ? 0 : 2);
    for (const QString& line : logs)
        QVERIFY2(log.contains(line), qPrintable(line));
    // Whatever the transfer did, the bootloader was told to run the application: the mouse is back.
    QVERIFY(f.mouse.ranApplication());
    QVERIFY(!f.mouse.inBootloader());
    if (success) {
        QCOMPARE(f.mouse.image(), image);
        QCOMPARE(f.mouse.resends(), 1);
    }
}

void TestCawdorSeries::deviceAlreadyInBootloader()
{
    CawdorFixture f;
    f.writeImage(imageOf(100));
    f.mouse.plugBootloader();
    LogCapture logs;
    HCawdorSeries updater;
    updater.setFirmwarePath(f.folder.path());
    QSignalSpy results(&updater, &HBaseDevice::sig_fwUpdateRequest);
    Platform::clearRecordedSleeps();
    int pid = DeviceIds::kYarrin;
    QVERIFY(updater.startUpdate(&pid, QString()));
    QCOMPARE(results.count(), 1);
    QCOMPARE(results.at(0).at(0).toInt(), 0);
    QCOMPARE(f.mouse.enterReports(), 0);
    QVERIFY(logs.contains("enterUpdateMode"));
    QCOMPARE(Platform::recordedSleeps(), QList<int>{2000});
}

void TestCawdorSeries::noDevice()
{
    CawdorFixture f;
    f.writeImage(imageOf(100));
    LogCapture logs;
    HCawdorSeries updater;
    updater.setFirmwarePath(f.folder.path());
    QSignalSpy results(&updater, &HBaseDevice::sig_fwUpdateRequest);
    Platform::clearRecordedSleeps();
    int pid = DeviceIds::kKelham;
    QVERIFY(updater.startUpdate(&pid, QString()));
    QCOMPARE(results.count(), 1);
    QCOMPARE(results.at(0).at(1).toString(), QStringLiteral("CawdorSeries refresh error!"));
    QVERIFY(logs.contains("enterBootLoad error!"));
    QCOMPARE(Platform::recordedSleeps(), (QList<int>{100, 100}));
}

void TestCawdorSeries::wirelessIdIsRefused()
{
    CawdorFixture f;
    f.mouse.plugApplication();
    Mirelle mirelle;
    QSignalSpy results(&mirelle, &Mirelle::qt_updateFinished);
    QVERIFY(!mirelle.initFwDevice("YARRIN_WIRELESS", QString(), "en", f.folder.path()));
    QCOMPARE(results.count(), 1);
    QCOMPARE(results.at(0).at(0).toInt(), 2);
    QCOMPARE(results.at(0).at(1).toString(), QStringLiteral("wireless cannot perform firmware upgrade!!!"));
    QCOMPARE(f.mouse.enterReports(), 0);
}

void TestCawdorSeries::firmwareFolder()
{
    CawdorFixture f;
    f.writeImage(imageOf(300));
    f.mouse.plugBootloader();
    {
        LogCapture logs;
        Mirelle mirelle;
        QSignalSpy results(&mirelle, &Mirelle::qt_updateFinished);
        QSignalSpy progress(&mirelle, &Mirelle::qt_updateProgress);
        QVERIFY(mirelle.initFwDevice("YARRIN", QString(), "en", f.folder.path()));
        QCOMPARE(results.count(), 1);
        QCOMPARE(results.at(0).at(0).toInt(), 0);
        QCOMPARE(progress.last().at(0).toInt(), 300);
        QCOMPARE(progress.last().at(1).toInt(), 300);
        QVERIFY(logs.contains(f.folder.path() + "/Nuc123.bin"));
    }
    // Without a folder the image is looked for below the program folder.
    f.mouse.plugBootloader();
    LogCapture logs;
    Mirelle mirelle;
    QSignalSpy results(&mirelle, &Mirelle::qt_updateFinished);
    QVERIFY(mirelle.initFwDevice("YARRIN", QString(), "en", QString()));
    QVERIFY(logs.contains(QCoreApplication::applicationDirPath() + "/Update/Local/YARRIN/Nuc123.bin"));
    QVERIFY(logs.contains("file not exists!!!"));
    QCOMPARE(results.count(), 1);
    QCOMPARE(results.at(0).at(0).toInt(), 2);
}

void TestCawdorSeries::languageOfTheWindow_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QLocale::Language>("system");
    QTest::addColumn<QString>("text");
    const QString zh = QStringLiteral("固件升级中请稍候...请不要拔插设备");
    const QString en = QStringLiteral("Firmware upgrade please wait...Do not unplug the device");
    QTest::newRow("zh") << "zh" << QLocale::English << zh;
    QTest::newRow("en") << "en" << QLocale::Chinese << en;
    QTest::newRow("system Chinese") << "" << QLocale::Chinese << zh;
    QTest::newRow("system English") << "" << QLocale::English << en;
}

void TestCawdorSeries::languageOfTheWindow()
{
    QFETCH(QString, language);
    QFETCH(QLocale::Language, system);
    QFETCH(QString, text);
    CawdorFixture f;
    f.writeImage(imageOf(60));
    f.mouse.plugBootloader();
    const QLocale previous;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QLocale::setDefault(QLocale(system));
    Mirelle mirelle;
    QVERIFY(mirelle.initFwDevice("YARRIN", QString(), language, f.folder.path()));
    QLocale::setDefault(previous);
    const QList<HProcessBar*> bars = windows();
    QCOMPARE(bars.size(), 1);
    QCOMPARE(bars.first()->textLabel()->text(), text);
    QCOMPARE(QCoreApplication::translate("HCawdorSeries", "series flash firmware"),
             text == QStringLiteral("固件升级中请稍候...请不要拔插设备") ? QStringLiteral("设备固件升级")
                                                                       : QStringLiteral("series flash firmware"));
}

void TestCawdorSeries::replacedUpdaterIsReleased()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(windows().size(), 0);
    CawdorFixture f;
    f.writeImage(imageOf(60));
    f.mouse.plugBootloader();
    Mirelle mirelle;
    QVERIFY(mirelle.initFwDevice("YARRIN", QString(), "zh", f.folder.path()));
    f.mouse.plugBootloader();
    QVERIFY(mirelle.initFwDevice("YARRIN", QString(), "en", f.folder.path()));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(windows().size(), 1);
    QCOMPARE(QCoreApplication::translate("HProcessBar", "series flash firmware"),
             QStringLiteral("series flash firmware"));
}

QTEST_MAIN(TestCawdorSeries)
#include "tst_cawdorseries.moc"
