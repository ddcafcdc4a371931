#include "BrokenFirmware.h"
#include "FakeProgram.h"
#include "LocalHttpServer.h"
#include "RecordingServices.h"

#include "common/ProgramFolders.h"
#include "models/device/KImageModel.h"
#include "online/KNetBase.h"
#include "online/KNetCommon.h"
#include "update/HHttpDownload.h"
#include "update/KUpdater.h"
#include "TestWait.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray kVersionPath = "/v1/driver/version";

QByteArray versionReply(const QString& url, const QString& version = "1.2.2")
{
    return QJsonDocument(QJsonObject{{"code", 0}, {"msg", "ok"},
                                     {"data", QJsonObject{{"downloadUrl", url}, {"version", version}}}})
        .toJson(QJsonDocument::Compact);
}

QString versionTypeOf(const LocalHttpServer::Request& request)
{
    return QJsonDocument::fromJson(request.body).object().value("versionType").toString();
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

// The version query with its program-wide download address, the firmware download into the program folder,
// and the program's self-update against the local server.
class TestVersionAndDownload : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void versionTypes_data();
    void versionTypes();
    void versionReplies_data();
    void versionReplies();
    void versionTimeOut();
    void overlappingSoftwareChecks();
    void kinds_data();
    void kinds();
    void firmwareDownloads_data();
    void firmwareDownloads();
    void noAddressFinishesAtOnce();
    void selfUpdateVersion();
    void selfUpdateChecksAtOnce();
    void selfUpdateSucceeds();
    void selfUpdateFailures_data();
    void selfUpdateFailures();
    void selfUpdateCancelAndSecondStart();
    void installerNameMustBeBare();

private:
    // Has the server answer the version query with url, and asks it through updater.
    bool giveAddress(KUpdater& updater, const QString& url);
    QString installerFolder() const
    {
        return ProgramFolders::updateRoot() + "/" + m_image->deviceName() + "/sort_version";
    }

    QScopedPointer<LocalHttpServer> m_server;
    QScopedPointer<QTemporaryDir> m_folder;
    QScopedPointer<KImageModel> m_image;
    RecordingServices* m_services = nullptr;
    int m_exits = 0;
};

void TestVersionAndDownload::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    KNetCommon::setCheckHost(QStringLiteral("localhost"));
    HHttpDownload::setExitHook([this] { ++m_exits; });
}

void TestVersionAndDownload::init()
{
    m_server.reset(new LocalHttpServer);
    KNetBase::setApiBase(m_server->baseUrl());
    m_folder.reset(new QTemporaryDir);
    ProgramFolders::setProgramFolder(m_folder->path());
    m_image.reset(new KImageModel);
    m_image->setDeviceName("YARRIN");
    m_services = new RecordingServices;
    m_services->setImageModel(m_image.data());
    m_exits = 0;
}

void TestVersionAndDownload::cleanup()
{
    delete m_services;
    m_image.reset();
    ProgramFolders::setProgramFolder(QString());
    QDir(ProgramFolders::updateRoot()).removeRecursively();
    m_folder.reset();
    m_server.reset();
}

bool TestVersionAndDownload::giveAddress(KUpdater& updater, const QString& url)
{
    m_server->scriptJson(kVersionPath, versionReply(url));
    QSignalSpy answered(&updater, &KUpdater::sigReturnVersion);
    updater.getFirmVersion("YARRIN");
    return answered.wait(TestWait::kBoundMs) && updater.getDownLoadUrl() == url;
}

void TestVersionAndDownload::versionTypes_data()
{
    QTest::addColumn<bool>("firmware");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("versionType");
    QTest::newRow("keyboard firmware") << true << "QUENBY-8A" << "QUENBY-8A-test-firmware";
    QTest::newRow("firmware") << true << "ZEPHRA" << "ZEPHRA-firmware";
    QTest::newRow("software") << false << "ZephraLUMEN" << "ZephraLUMEN-test-software";
}

void TestVersionAndDownload::versionTypes()
{
    QFETCH(bool, firmware);
    QFETCH(QString, argument);
    KUpdater updater;
    m_server->scriptJson(kVersionPath, versionReply("http://127.0.0.1:1/f.bin"));
    QSignalSpy answered(&updater, &KUpdater::sigReturnVersion);
    firmware ? updater.getFirmVersion(argument) : updater.getSoftwareVersion(argument);
    QVERIFY(answered.wait(TestWait::kBoundMs));
    QCOMPARE(m_server->requests().size(), 1);
    QCOMPARE(m_server->requests().first().path, kVersionPath);
    QTEST(versionTypeOf(m_server->requests().first()), "versionType");
}

void TestVersionAndDownload::versionReplies_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("url");
    QTest::newRow("answer") << versionReply("http://h/fw.bin", "2.0") << 0 << "2.0" << "http://h/fw.bin";
    QTest::newRow("not json") << QByteArray("<html>") << -1 << "" << "";
    QTest::newRow("server code") << QByteArray("{\"code\":5,\"msg\":\"x\"}") << 5 << "" << "";
    // A refusal that names an address anyway: it is never handed on.
    QTest::newRow("refused with an address")
        << QByteArray("{\"code\":10003,\"data\":{\"downloadUrl\":\"http://h/x.bin\",\"version\":\"9\"}}") << 10003
        << "" << "";
}

// Every answer replaces the program-wide address, also with none.
void TestVersionAndDownload::versionReplies()
{
    QFETCH(QByteArray, body);
    KUpdater updater;
    QVERIFY(giveAddress(updater, "http://127.0.0.1:1/old.bin"));
    m_server->script(kVersionPath, LocalHttpServer::Reply{200, {}, body});
    QSignalSpy answered(&updater, &KUpdater::sigReturnVersion);
    updater.getFirmVersion("YARRIN");
    QVERIFY(answered.wait(TestWait::kBoundMs));
    QFETCH(int, code);
    QCOMPARE(answered.first().at(0).toInt(), code);
    QCOMPARE(answered.first().at(1).toString(), KNetBase::codeMessage(code));
    QTEST(answered.first().at(2).toString(), "version");
    QTEST(answered.first().at(3).toString(), "url");
    QTEST(KUpdater().getDownLoadUrl(), "url");
}

void TestVersionAndDownload::versionTimeOut()
{
    KUpdater updater;
    updater.setTimeouts(100, 100);
    LocalHttpServer::Reply silent;
    silent.silent = true;
    m_server->script(kVersionPath, silent);
    QSignalSpy answered(&updater, &KUpdater::sigReturnVersion);
    updater.getSoftwareVersion("ZephraLUMEN");
    QVERIFY(answered.wait(TestWait::kBoundMs));
    QCOMPARE(answered.first(), (QList<QVariant>{-1, "Network connection error, please try later", "", ""}));
}

// The silent check at start still under way when the support page asks: each answer says which check it answers,
// also when the start's comes last.
void TestVersionAndDownload::overlappingSoftwareChecks()
{
    LocalHttpServer::Reply slow = LocalHttpServer::jsonReply(versionReply("http://127.0.0.1:1/start.run", "1.0"));
    slow.delayMs = 1000;
    m_server->scriptSequence(kVersionPath,
                             {slow, LocalHttpServer::jsonReply(versionReply("http://127.0.0.1:1/page.run", "2.0"))});
    HHttpDownload download;
    QSignalSpy answered(&download, &HHttpDownload::sigReturnVersion);
    download.getSoftwareVersion("ZephraLUMEN-Start", true);
    QVERIFY(m_server->waitForRequests(1));
    download.getSoftwareVersion("ZephraLUMEN", false);
    WAIT_COMPARE(answered.count(), 2);
    QMap<QString, bool> closeIndexOf; // by the version answered
    for (const QList<QVariant>& answer : answered)
        closeIndexOf.insert(answer.at(2).toString(), answer.at(4).toBool());
    QCOMPARE(closeIndexOf, (QMap<QString, bool>{{"1.0", true}, {"2.0", false}}));
}

void TestVersionAndDownload::kinds_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("relative");
    QTest::newRow("oakham") << "HARLO" << 1 << "/Update/Local/HARLO/new_version/newFirmware.MTP";
    QTest::newRow("cawdor") << "YARRIN" << 2 << "/Update/Local/YARRIN/Nuc123.bin";
    QTest::newRow("rushton") << "EDRIS" << 3 << "/Update/Local/EDRIS/Ashdown.mtp";
    QTest::newRow("ulverd") << "ULVERD_LOW" << 4 << "/Update/Local/ULVERD_LOW/new_version/boot.bin";
    QTest::newRow("nordic") << "NESBIT" << 5 << "/Update/Local/NESBIT_DEVICE/NESBIT_Update.zip";
    QTest::newRow("keyboard") << "QUENBY-8A" << 6 << "/Update/Local/NESBIT_DEVICE/ParrowDown.exe";
    QTest::newRow("none") << "ZEPHRA" << -1 << "";
    QTest::newRow("lower case") << "yarrin" << -1 << "";
}

void TestVersionAndDownload::kinds()
{
    QFETCH(QString, model);
    QFETCH(int, kind);
    QFETCH(QString, relative);
    QCOMPARE(KUpdater::modelKind(model), kind);
    QCOMPARE(KUpdater::targetPath(kind, model, "NESBIT_DEVICE"),
             relative.isEmpty() ? QString() : m_folder->path() + relative);
}

void TestVersionAndDownload::firmwareDownloads_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("blocked");
    QTest::addColumn<bool>("finished");
    QTest::newRow("100 bytes") << "YARRIN" << 200 << BrokenFirmware::image(100) << false << true;
    QTest::newRow("99 bytes") << "YARRIN" << 200 << BrokenFirmware::image(99) << false << false;
    QTest::newRow("error page") << "YARRIN" << 404 << BrokenFirmware::image(400) << false << false;
    QTest::newRow("redirect") << "YARRIN" << 302 << BrokenFirmware::image(400) << false << false;
    // What a server answers with success is no firmware for being long enough.
    QTest::newRow("html page with 200") << "YARRIN" << 200 << BrokenFirmware::htmlPage() << false << false;
    QTest::newRow("json answer with 200") << "YARRIN" << 200 << BrokenFirmware::jsonAnswer() << false << false;
    QTest::newRow("larger than the mouse takes")
        << "YARRIN" << 200 << BrokenFirmware::image(128 * 1024 + 1) << false << false;
    QTest::newRow("unwritable target") << "YARRIN" << 200 << BrokenFirmware::image(400) << true << false;
    QTest::newRow("model without kind") << "ZEPHRA" << 200 << BrokenFirmware::image(400) << false << true;
}

void TestVersionAndDownload::firmwareDownloads()
{
    QFETCH(QString, model);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(bool, blocked);
    QFETCH(bool, finished);
    m_image->setDeviceName(model);
    const QString target = m_folder->path() + "/Update/Local/YARRIN/Nuc123.bin";
    const QByteArray good = BrokenFirmware::image(3000);
    if (blocked) {
        // A folder where the file should go: nothing can be written there, whoever runs the test.
        QVERIFY(QDir().mkpath(target));
    } else {
        QVERIFY(QDir().mkpath(m_folder->path() + "/Update/Local/YARRIN"));
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(good);
    }

    KUpdater updater;
    LocalHttpServer::Reply reply;
    reply.status = status;
    reply.body = body;
    m_server->script("/fw.bin", reply);
    QVERIFY(giveAddress(updater, m_server->url("/fw.bin")));
    QSignalSpy done(&updater, &KUpdater::sig_DownLoadFinish);
    updater.slot_StartUpdateFirmWare();
    QVERIFY(done.wait(TestWait::kBoundMs));
    QCOMPARE(done.count(), 1);
    QCOMPARE(done.first().at(0).toBool(), finished);
    if (blocked)
        QVERIFY(QFileInfo(target).isDir());
    else
        QCOMPARE(readFile(target), finished && model == "YARRIN" ? reply.body : good);
    QCOMPARE(m_services->tips, finished ? QStringList() : QStringList{"1:Failed to download configuration file"});
}

void TestVersionAndDownload::noAddressFinishesAtOnce()
{
    KUpdater updater;
    m_server->script(kVersionPath, LocalHttpServer::Reply{200, {}, "{\"code\":0,\"data\":{}}"});
    QSignalSpy answered(&updater, &KUpdater::sigReturnVersion);
    updater.getFirmVersion("YARRIN");
    QVERIFY(answered.wait(TestWait::kBoundMs));
    QSignalSpy done(&updater, &KUpdater::sig_DownLoadFinish);
    updater.slot_StartUpdateFirmWare();
    QCOMPARE(done.count(), 1);
    QCOMPARE(done.first().at(0).toBool(), true);
    QVERIFY(!updater.slot_StartUpdateSortWare());
    QCOMPARE(m_server->requests().size(), 1);
}

void TestVersionAndDownload::selfUpdateVersion()
{
    HHttpDownload download;
    QCOMPARE(download.getProgressValue(), 100);
    QCOMPARE(download.getProgressMaxValue(), 0);
    m_server->scriptJson(kVersionPath, versionReply("http://127.0.0.1:1/Setup.run", "1.3.0"));
    QSignalSpy answered(&download, &HHttpDownload::sigReturnVersion);
    download.getSoftwareVersion("ZephraLUMEN");
    QVERIFY(answered.wait(TestWait::kBoundMs));
    download.getSoftwareVersion("ZephraLUMEN", true);
    QVERIFY(answered.wait(TestWait::kBoundMs));
    QCOMPARE(versionTypeOf(m_server->requests().at(0)), QString("ZephraLUMEN-software"));
    QCOMPARE(answered.at(0), (QList<QVariant>{0, KNetBase::codeMessage(0), "1.3.0", "http://127.0.0.1:1/Setup.run", false}));
    QCOMPARE(answered.at(1).at(4).toBool(), true);
}

// The silent check at start and a page's check on their way at once: each answer carries its own mark,
// whichever comes first.
void TestVersionAndDownload::selfUpdateChecksAtOnce()
{
    LocalHttpServer::Reply slow = LocalHttpServer::jsonReply(versionReply("http://127.0.0.1:1/Setup.run", "1.0.0"));
    slow.delayMs = 500;
    const LocalHttpServer::Reply quick =
        LocalHttpServer::jsonReply(versionReply("http://127.0.0.1:1/Setup.run", "2.0.0"));
    m_server->scriptSequence(kVersionPath, {slow, quick});
    HHttpDownload download;
    QSignalSpy answered(&download, &HHttpDownload::sigReturnVersion);
    download.getSoftwareVersion("ZephraLUMEN", true);
    QVERIFY(m_server->waitForRequests(1));
    download.getSoftwareVersion("ZephraLUMEN", false);
    QTRY_COMPARE_WITH_TIMEOUT(answered.count(), 2, 10000);
    QCOMPARE(answered.at(0).at(2).toString(), QString("2.0.0"));
    QCOMPARE(answered.at(0).at(4).toBool(), false);
    QCOMPARE(answered.at(1).at(2).toString(), QString("1.0.0"));
    QCOMPARE(answered.at(1).at(4).toBool(), true);
}

// The version query hands the address to the self-updater, which downloads the installer, starts it, opens
// Sorrel and ends the program.
void TestVersionAndDownload::selfUpdateSucceeds()
{
    const QString staged = m_folder->path() + "/staged/Setup.run";
    QVERIFY(FakeProgram::install(staged, {}));
    const QByteArray installer = readFile(staged);
    QVERIFY(FakeProgram::install(m_folder->path() + "/Sorrel", {}));
    const QString target = installerFolder() + "/Setup.run";
    QVERIFY(QDir().mkpath(installerFolder()));
    QFile::copy(staged + ".script", target + ".script");

    LocalHttpServer::Reply reply;
    reply.body = installer;
    m_server->script("/Setup.run", reply);
    KUpdater updater;
    HHttpDownload download;
    updater.setSelfUpdater(&download);
    QVERIFY(giveAddress(updater, m_server->url("/Setup.run")));
    QSignalSpy finished(&download, &HHttpDownload::sig_SortFinished);
    QVERIFY(updater.slot_StartUpdateSortWare());
    QVERIFY(finished.wait(TestWait::kBoundMs));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(readFile(target), installer);
    QCOMPARE(QFileInfo(target).permissions() & (QFileDevice::ExeGroup | QFileDevice::ExeOther | QFileDevice::WriteOther),
             QFileDevice::Permissions());
    QCOMPARE(download.getProgressValue(), installer.size());
    QCOMPARE(download.getProgressMaxValue(), installer.size());
    WAIT_VERIFY(FakeProgram::hasRun(target));
    WAIT_VERIFY(FakeProgram::hasRun(m_folder->path() + "/Sorrel"));
    QCOMPARE(m_exits, 1);
    QVERIFY(m_services->events.contains("driver_software/software_update/success"));
}

void TestVersionAndDownload::selfUpdateFailures_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("event");
    QTest::addColumn<QStringList>("tips");
    QTest::newRow("network error") << "cut" << "driver_software/software_udpate/fail" << QStringList();
    QTest::newRow("redirect") << "redirect" << "driver_software/software_udpate/fail" << QStringList();
    // A page answered with success is no installer: it never takes an installer's place.
    QTest::newRow("html page") << "html" << "driver_software/software_udpate/fail" << QStringList();
    QTest::newRow("installer cannot start") << "not a program" << "driver_software/software_update/success"
                                            << QStringList{"1:The update installer could not be started"};
}

void TestVersionAndDownload::selfUpdateFailures()
{
    QFETCH(QString, kind);
    QVERIFY(FakeProgram::install(m_folder->path() + "/Sorrel", {}));
    LocalHttpServer::Reply reply;
    reply.body = QByteArray("#!/nonexistent/interpreter\n") + QByteArray(5000, 'x');
    if (kind == "cut")
        reply.closeAfterBytes = 100;
    if (kind == "html")
        reply.body = BrokenFirmware::htmlPage();
    if (kind == "redirect") {
        reply.status = 302;
        reply.headers = {{"Location", "/elsewhere"}};
    }
    m_server->script("/Setup.run", reply);
    HHttpDownload download;
    download.setDownloadUrl(m_server->url("/Setup.run"));
    QSignalSpy finished(&download, &HHttpDownload::sig_SortFinished);
    download.downloadFile();
    QVERIFY(finished.wait(TestWait::kBoundMs));
    QTest::qWait(100);
    QCOMPARE(m_exits, 0);
    QVERIFY(!FakeProgram::hasRun(m_folder->path() + "/Sorrel"));
    QFETCH(QString, event);
    QCOMPARE(m_services->events, QStringList{event});
    QTEST(m_services->tips, "tips");
    // A failed download leaves nothing behind; an installer that did not start stays for another try.
    QCOMPARE(QFile::exists(installerFolder() + "/Setup.run"), kind == "not a program");
}

void TestVersionAndDownload::selfUpdateCancelAndSecondStart()
{
    LocalHttpServer::Reply reply;
    reply.body = QByteArray(1000, 'x');
    reply.delayMs = 3000;
    m_server->script("/Setup.run", reply);
    HHttpDownload download;
    download.setDownloadUrl(m_server->url("/Setup.run"));
    QSignalSpy finished(&download, &HHttpDownload::sig_SortFinished);
    download.downloadFile();
    QVERIFY(m_server->waitForRequests(1));
    download.downloadFile();
    // Nothing takes the installer's place before it is whole.
    QVERIFY(!QFile::exists(installerFolder() + "/Setup.run"));
    emit download.sig_CancelSortDownLoad();
    QVERIFY(finished.count() == 1 || finished.wait(TestWait::kBoundMs));
    QTest::qWait(200);
    QCOMPARE(m_server->requests().size(), 1);
    QCOMPARE(finished.count(), 1);
    QVERIFY(!QFile::exists(installerFolder() + "/Setup.run"));
    QVERIFY(m_services->events.isEmpty());
    QCOMPARE(m_exits, 0);
}

// An address that names no installer file ends as one failure, and nothing is asked.
void TestVersionAndDownload::installerNameMustBeBare()
{
    HHttpDownload download;
    QSignalSpy finished(&download, &HHttpDownload::sig_SortFinished);
    download.setDownloadUrl(m_server->url("/"));
    download.downloadFile();
    QVERIFY(!download.isDownloading());
    QVERIFY(finished.wait(5000));
    QTest::qWait(100);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(m_services->events, QStringList{"driver_software/software_udpate/fail"});
    QVERIFY(m_server->requests().isEmpty());
}

QTEST_MAIN(TestVersionAndDownload)
#include "tst_versionanddownload.moc"
