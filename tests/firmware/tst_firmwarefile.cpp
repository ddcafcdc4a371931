#include "BrokenFirmware.h"

#include "firmware/FirmwareFile.h"
#include "firmware/IspProtocol.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using FirmwareFile::Format;
using FirmwareFile::Verdict;

Q_DECLARE_METATYPE(FirmwareFile::Verdict)

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

// The one check every firmware file passes before it is flashed or saved over the one that lies there.
class TestFirmwareFile : public QObject
{
    Q_OBJECT
private slots:
    void contents_data();
    void contents();
    void brokenFiles_data();
    void brokenFiles();
    void readsAFileWhole();
    void saveReplacesOnlyWithFirmware_data();
    void saveReplacesOnlyWithFirmware();
    void savedProgramIsTheOwnersAlone();
};

void TestFirmwareFile::contents_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Verdict>("verdict");
    const QByteArray elf = QByteArray("\x7F"
                                      "ELF\x02\x01\x01",
                                      7)
        + BrokenFirmware::image(200);
    const QByteArray zip = QByteArray("PK\x03\x04\x14\x00", 6) + BrokenFirmware::image(200);
    QTest::newRow("image") << "Nuc123.bin" << BrokenFirmware::image(1000) << Verdict::Accepted;
    QTest::newRow("image of 128 KiB") << "Nuc123.bin" << BrokenFirmware::image(Isp::kImageCapacity)
                                      << Verdict::Accepted;
    QTest::newRow("one byte over 128 KiB")
        << "Nuc123.bin" << BrokenFirmware::image(Isp::kImageCapacity + 1) << Verdict::TooLarge;
    QTest::newRow("empty") << "Nuc123.bin" << QByteArray() << Verdict::Empty;
    QTest::newRow("html page") << "Nuc123.bin" << BrokenFirmware::htmlPage() << Verdict::Text;
    // A page in another encoding than UTF-8 is text as well: its opening says what it is.
    QTest::newRow("latin-1 page") << "boot.bin"
                                  << QByteArray("<html><body>Fehler: Datei nicht gefunden \xE4\xF6\xFC</body></html>")
                                  << Verdict::Text;
    QTest::newRow("json answer") << "Ashdown.mtp" << BrokenFirmware::jsonAnswer() << Verdict::Text;
    QTest::newRow("chinese text") << "newFirmware.MTP" << QString("服务器错误，请稍后再试\n").repeated(10).toUtf8()
                                  << Verdict::Text;
    // One byte that no text holds makes it binary.
    QTest::newRow("text with a NUL") << "boot.bin" << QByteArray("firmware\0version", 16).repeated(10)
                                     << Verdict::Accepted;
    QTest::newRow("image over 1 MiB") << "boot.bin" << BrokenFirmware::image(1024 * 1024 + 1) << Verdict::TooLarge;
    QTest::newRow("package") << "NESBIT_Update.zip" << zip << Verdict::Accepted;
    QTest::newRow("package that is a page") << "NESBIT_Update.zip" << BrokenFirmware::htmlPage() << Verdict::Text;
    QTest::newRow("package that is no zip")
        << "NESBIT_Update.zip" << BrokenFirmware::image(300) << Verdict::WrongFormat;
    QTest::newRow("program") << "QUENBY-8A_Update.exe" << elf << Verdict::Accepted;
    QTest::newRow("script") << "ParrowDown.exe" << QByteArray("#!/bin/sh\nexit 0\n") << Verdict::Accepted;
    QTest::newRow("program that is an answer") << "ParrowDown.exe" << BrokenFirmware::jsonAnswer() << Verdict::Text;
    QTest::newRow("program of another system")
        << "ParrowDown.exe" << QByteArray("MZ\x90\x00", 4) + BrokenFirmware::image(300) << Verdict::WrongFormat;
}

void TestFirmwareFile::contents()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(Verdict, verdict);
    QCOMPARE(FirmwareFile::checkContents(bytes, FirmwareFile::ruleFor("/somewhere/" + name)), verdict);
}

void TestFirmwareFile::brokenFiles_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<Verdict>("verdict");
    const QList<Verdict> verdicts = {Verdict::Missing, Verdict::Empty, Verdict::TooLarge,   Verdict::Text,
                                     Verdict::Text,    Verdict::Text,  Verdict::NotRegular, Verdict::NotRegular};
    const QStringList cases = BrokenFirmware::cases();
    QCOMPARE(cases.size(), verdicts.size());
    for (int i = 0; i < cases.size(); ++i)
        QTest::newRow(qPrintable(cases.at(i))) << cases.at(i) << verdicts.at(i);
    QTest::newRow("device node") << "/dev/zero" << Verdict::NotRegular;
}

// A FIFO is refused without waiting for a writer, a device without being read.
void TestFirmwareFile::brokenFiles()
{
    QFETCH(QString, which);
    QFETCH(Verdict, verdict);
    QTemporaryDir dir;
    QString path = dir.filePath("Nuc123.bin");
    if (which.startsWith('/'))
        QVERIFY(QFile::link(which, path));
    else
        QVERIFY(BrokenFirmware::make(path, which, Isp::kImageCapacity));
    BrokenFirmware::FifoWatchdog watchdog(path);
    QByteArray contents("left over");
    QCOMPARE(FirmwareFile::read(path, FirmwareFile::ruleFor(path), &contents), verdict);
    QVERIFY(!watchdog.fired());
    QVERIFY(contents.isEmpty());
}

void TestFirmwareFile::readsAFileWhole()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Nuc123.bin");
    const QByteArray image = BrokenFirmware::image(Isp::kImageCapacity);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(image);
    file.close();
    QByteArray contents;
    QCOMPARE(FirmwareFile::read(path, FirmwareFile::ruleFor(path), &contents), Verdict::Accepted);
    QCOMPARE(contents, image);
    // Through a link to it as well: what counts is the file it leads to.
    QVERIFY(QFile::link(path, dir.filePath("linked.bin")));
    QCOMPARE(FirmwareFile::read(dir.filePath("linked.bin"), {Format::Image, Isp::kImageCapacity}, &contents),
             Verdict::Accepted);
    QCOMPARE(contents, image);
}

void TestFirmwareFile::saveReplacesOnlyWithFirmware_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Verdict>("verdict");
    QTest::newRow("firmware") << BrokenFirmware::image(500) << Verdict::Accepted;
    QTest::newRow("html page") << BrokenFirmware::htmlPage() << Verdict::Text;
    QTest::newRow("json answer") << BrokenFirmware::jsonAnswer() << Verdict::Text;
    QTest::newRow("empty") << QByteArray() << Verdict::Empty;
    QTest::newRow("oversize") << BrokenFirmware::image(Isp::kImageCapacity + 1) << Verdict::TooLarge;
}

void TestFirmwareFile::saveReplacesOnlyWithFirmware()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Verdict, verdict);
    QTemporaryDir dir;
    const QString target = dir.filePath("Update/Local/YARRIN/Nuc123.bin");
    const QByteArray good = BrokenFirmware::image(300);
    QVERIFY(QDir().mkpath(QFileInfo(target).absolutePath()));
    QFile old(target);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(good);
    old.close();

    QCOMPARE(FirmwareFile::save(target, bytes), verdict);
    QCOMPARE(readAll(target), verdict == Verdict::Accepted ? bytes : good);
    // Nothing is left beside it.
    QCOMPARE(QDir(QFileInfo(target).absolutePath()).entryList(QDir::Files | QDir::Hidden), QStringList {"Nuc123.bin"});

    // A folder where the file belongs is not written over.
    const QString blocked = dir.filePath("blocked/Nuc123.bin");
    QVERIFY(QDir().mkpath(blocked));
    QString error;
    QCOMPARE(FirmwareFile::save(blocked, bytes, &error), verdict == Verdict::Accepted ? Verdict::WriteFailed : verdict);
    QVERIFY(QFileInfo(blocked).isDir());
}

void TestFirmwareFile::savedProgramIsTheOwnersAlone()
{
    QTemporaryDir dir;
    const QString target = dir.filePath("Update/Clouds/QUENBY_8A/QUENBY-8A_Update.exe");
    const QByteArray program = QByteArray("\x7F"
                                          "ELF\x02\x01\x01",
                                          7)
        + BrokenFirmware::image(300);
    QCOMPARE(FirmwareFile::save(target, program), Verdict::Accepted);
    QCOMPARE(readAll(target), program);
    struct stat info = {};
    QCOMPARE(::stat(QFile::encodeName(target).constData(), &info), 0);
    QCOMPARE(info.st_mode & 07777, mode_t(0700));
}

QTEST_GUILESS_MAIN(TestFirmwareFile)
#include "tst_firmwarefile.moc"
