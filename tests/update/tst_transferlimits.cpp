#include "ArchiveFixtures.h"
#include "BrokenFirmware.h"
#include "JsonFiles.h"
#include "LocalHttpServer.h"
#include "RecordingServices.h"

#include "common/ProgramFolders.h"
#include "models/device/KImageModel.h"
#include "online/FDownLoadFile.h"
#include "online/FfileDownloader.h"
#include "online/KNetBase.h"
#include "online/KNetCommon.h"
#include "online/KNetLogin.h"
#include "online/ReplyGuard.h"
#include "online/analytics/GAnalytics.h"
#include "platform/process/ProcessControl.h"
#include "update/FUpdateGFirmWare.h"
#include "update/HHttpDownload.h"
#include "update/KUpdater.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

namespace {

enum class Client { Login, VersionQuery, Downloader, FirmwareDownload, SelfUpdate, CloudRestore, Analytics, Tessaly };
enum class Misbehaviour { Malformed, WrongShape, ErrorBody, Redirect, Endless, Trickle, Cut, Silence, Html };

const QList<QPair<Client, const char*>> kClients = {
    {Client::Login, "log-in"},           {Client::VersionQuery, "version query"},
    {Client::Downloader, "downloader"},  {Client::FirmwareDownload, "firmware download"},
    {Client::SelfUpdate, "self-update"}, {Client::CloudRestore, "cloud restore"},
    {Client::Analytics, "analytics"},    {Client::Tessaly, "Tessaly's download"},
};

const QList<QPair<Misbehaviour, const char*>> kMisbehaviours = {
    {Misbehaviour::Malformed, "malformed JSON"},
    {Misbehaviour::WrongShape, "wrong-shape JSON"},
    {Misbehaviour::ErrorBody, "error body with 200"},
    {Misbehaviour::Redirect, "302 saying success"},
    {Misbehaviour::Endless, "endless body"},
    {Misbehaviour::Trickle, "trickling body"},
    {Misbehaviour::Cut, "cut connection"},
    {Misbehaviour::Silence, "silence"},
    {Misbehaviour::Html, "HTML page"},
};

// The short limits of this test: every client must end well within the test's patience.
constexpr int kDeadlineMs = 3000;
constexpr int kWindowMs = 500;
constexpr int kRestTimeoutMs = 1500;
constexpr qint64 kCap = 256 * 1024;
// What may lie in Qt's buffer and the socket beyond what a guard holds.
constexpr qint64 kSlack = 2 * ReplyGuard::kReadBuffer;

const QByteArray kPath = "/files/Setup.run";

// An answer of the web API that says success and carries every address a client looks for.
QByteArray successAnswer(const QString& address)
{
    return QStringLiteral("{\"code\":0,\"msg\":\"ok\",\"data\":{\"filePath\":\"%1\",\"downloadUrl\":\"%1\","
                          "\"version\":\"9.9\",\"nickname\":\"n\"}}")
        .arg(address)
        .toUtf8();
}

LocalHttpServer::Reply misbehave(Misbehaviour how, const QString& address)
{
    LocalHttpServer::Reply reply;
    switch (how) {
    case Misbehaviour::Malformed: reply.body = "{\"code\":0,\"data\":{\"filePath\":"; break;
    case Misbehaviour::WrongShape: reply.body = "[{\"code\":0},\"data\"]"; break;
    case Misbehaviour::ErrorBody: reply.body = "{\"code\":1,\"msg\":\"failed\"}"; break;
    case Misbehaviour::Redirect:
        reply.status = 302;
        reply.headers = {{"Location", "/elsewhere"}};
        reply.body = successAnswer(address);
        break;
    case Misbehaviour::Endless: reply.endless = true; break;
    case Misbehaviour::Trickle:
        reply.trickleMs = 300;
        reply.body = successAnswer(address) + QByteArray(4000, ' ');
        break;
    case Misbehaviour::Cut:
        reply.body = BrokenFirmware::image(5000);
        reply.closeAfterBytes = 100;
        break;
    case Misbehaviour::Silence: reply.silent = true; break;
    case Misbehaviour::Html: reply.body = BrokenFirmware::htmlPage(); break;
    }
    return reply;
}

// A whole answer of 200 that a plain downloader takes as the file it was asked for; every other client refuses it.
bool deliversWholeBody(Misbehaviour how)
{
    return how == Misbehaviour::Malformed || how == Misbehaviour::WrongShape || how == Misbehaviour::ErrorBody
        || how == Misbehaviour::Html;
}

} // namespace

Q_DECLARE_METATYPE(Client)
Q_DECLARE_METATYPE(Misbehaviour)

// Every network client of the program and of Tessaly against a local server that misbehaves: each ends with
// exactly one result within its deadline, holds no more than its cap in memory, and changes no file.
class TestTransferLimits : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void misbehavingServer_data();
    void misbehavingServer();

private:
    // Runs the client against the server; the results it reported and whether they said failure.
    struct Outcome {
        int results = 0;
        bool failed = false;
    };
    Outcome run(Client client, const QString& address);
    Outcome runTessaly(const QString& address);
    QString firmwareTarget() const { return m_folder->path() + "/Update/Local/YARRIN/Nuc123.bin"; }
    QString installerTarget() const { return ProgramFolders::updateRoot() + "/YARRIN/sort_version/Setup.run"; }
    QString tessalyTarget() const { return m_folder->path() + "/Update/Clouds/YARRIN/Nuc123.bin"; }
    QMap<QString, QByteArray> files() const;

    QScopedPointer<LocalHttpServer> m_server;
    QScopedPointer<QTemporaryDir> m_folder;
    QScopedPointer<QTemporaryDir> m_data;
    QScopedPointer<KImageModel> m_image;
    RecordingServices* m_services = nullptr;
    int m_exits = 0;
};

void TestTransferLimits::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    KNetCommon::setCheckHost(QStringLiteral("localhost"));
    HHttpDownload::setExitHook([this] { ++m_exits; });
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
    qputenv("CORVANE_UPDATE_PORT", QByteArray::number(probe.serverPort()));
    // Tessaly is a program of its own: its limits come through the environment of test runs.
    qputenv("CORVANE_TEST", "1");
    qputenv("CORVANE_TRANSFER_LIMITS", QByteArray::number(kDeadlineMs) + ',' + QByteArray::number(kWindowMs));
    for (ReplyGuard::Kind kind : {ReplyGuard::Kind::Archive, ReplyGuard::Kind::Firmware, ReplyGuard::Kind::Installer})
        ReplyGuard::overrideLimits(kind, {kCap, kDeadlineMs, kWindowMs, 64});
    ReplyGuard::overrideLimits(ReplyGuard::Kind::Analytics, {64 * 1024, kDeadlineMs, 0, 1});
    ReplyGuard::overrideLimits(ReplyGuard::Kind::Api, {kCap, 0, 0, 1});
}

void TestTransferLimits::init()
{
    m_server.reset(new LocalHttpServer);
    KNetBase::setApiBase(m_server->baseUrl());
    GAnalytics::setCollectUrl(QUrl(m_server->url(QString::fromLatin1(kPath))));
    m_folder.reset(new QTemporaryDir);
    m_data.reset(new QTemporaryDir);
    qputenv("XDG_DATA_HOME", m_data->path().toUtf8());
    ProgramFolders::setProgramFolder(m_folder->path());
    QDir(ProgramFolders::configLocation()).removeRecursively();
    m_image.reset(new KImageModel);
    m_image->setDeviceName("YARRIN");
    m_services = new RecordingServices;
    m_services->setImageModel(m_image.data());
    m_services->language = "en";
    m_exits = 0;
    // What the user has before: a good firmware in each place, an installer, profiles and macros.
    QVERIFY(writeFileBytes(firmwareTarget(), BrokenFirmware::image(3000)));
    QVERIFY(writeFileBytes(tessalyTarget(), BrokenFirmware::image(3000)));
    QVERIFY(writeFileBytes(installerTarget(), "#!/bin/sh\necho the installer of before\n"));
    QVERIFY(writeFileBytes(ProgramFolders::profileRoot() + "/YARRIN/Mine.json", "{\"mine\":1}"));
    QVERIFY(writeFileBytes(ProgramFolders::macroRoot() + "/Combo.json", "{\"macroName\":\"m\",\"list\":[]}"));
    const QString tessaly = m_folder->path() + "/Tessaly";
    QVERIFY(QFile::copy(CORVANE_TESSALY, tessaly));
    QFile::setPermissions(tessaly, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ReplyGuard::resetHighestHeld();
}

void TestTransferLimits::cleanup()
{
    Platform::killProcess(Platform::findProcessId(FUpdateGFirmWare::kProgramName));
    delete m_services;
    m_services = nullptr;
    m_image.reset();
    ProgramFolders::setProgramFolder(QString());
    QDir(ProgramFolders::configLocation()).removeRecursively();
    m_folder.reset();
    m_server.reset();
}

QMap<QString, QByteArray> TestTransferLimits::files() const
{
    QMap<QString, QByteArray> all = ArchiveFixtures::snapshot(m_folder->path());
    all.remove("Tessaly");
    const QMap<QString, QByteArray> config = ArchiveFixtures::snapshot(ProgramFolders::configLocation());
    for (auto it = config.begin(); it != config.end(); ++it) {
        // The tracker's id file (and its folder) is its own business, not the user's data.
        if (!it.key().startsWith("system"))
            all.insert("config/" + it.key(), it.value());
    }
    return all;
}

void TestTransferLimits::misbehavingServer_data()
{
    QTest::addColumn<Client>("client");
    QTest::addColumn<Misbehaviour>("misbehaviour");
    for (const auto& client : kClients) {
        for (const auto& how : kMisbehaviours)
            QTest::addRow("%s: %s", client.second, how.second) << client.first << how.first;
    }
}

void TestTransferLimits::misbehavingServer()
{
    QFETCH(Client, client);
    QFETCH(Misbehaviour, misbehaviour);
    const QString served = m_server->url(QString::fromLatin1(kPath));
    // The client's own transfer misbehaves; what leads to it answers well.
    const QByteArray located = successAnswer(served);
    m_server->script("/v1/driver/version", LocalHttpServer::jsonReply(located));
    m_server->script("/v1/driver/macro/config/get", LocalHttpServer::jsonReply(located));
    m_server->script("/v1/driver/config2/get", LocalHttpServer::jsonReply(located));
    const QByteArray misbehavingPath = client == Client::Login ? QByteArray("/v1/user/login")
        : client == Client::VersionQuery                       ? QByteArray("/v1/driver/version")
                                                               : kPath;
    m_server->script(misbehavingPath, misbehave(misbehaviour, served));

    const QMap<QString, QByteArray> before = files();
    const Outcome outcome = client == Client::Tessaly ? runTessaly(served) : run(client, served);
    QCOMPARE(outcome.results, 1);
    const bool whole = deliversWholeBody(misbehaviour);
    if (client == Client::Downloader)
        QCOMPARE(outcome.failed, !whole);
    else if (client != Client::Analytics)
        QVERIFY(outcome.failed);
    QVERIFY2(ReplyGuard::highestHeld() <= kCap + kSlack, qPrintable(QString::number(ReplyGuard::highestHeld())));
    const QMap<QString, QByteArray> after = files();
    QCOMPARE(after.keys(), before.keys());
    QCOMPARE(after, before);
    QCOMPARE(m_exits, 0);
}

TestTransferLimits::Outcome TestTransferLimits::run(Client client, const QString& address)
{
    // Every client ends within its deadline; this test waits far longer before it calls one hung.
    constexpr int kPatienceMs = 30000;
    Outcome outcome;
    switch (client) {
    case Client::Login: {
        KNetLogin login;
        login.setTimeouts(kRestTimeoutMs, kRestTimeoutMs);
        QSignalSpy results(&login, &KNetBase::sigRequestFinished);
        login.login("user@example.com", "secret");
        results.wait(kPatienceMs);
        QTest::qWait(kWindowMs);
        outcome.results = results.count();
        outcome.failed = !results.isEmpty() && results.first().at(0).toInt() != 0;
        // Nothing of a failed log-in is kept.
        if (outcome.failed && !m_services->logins.isEmpty())
            outcome.failed = false;
        break;
    }
    case Client::VersionQuery: {
        KUpdater updater;
        updater.setTimeouts(kRestTimeoutMs, kRestTimeoutMs);
        QSignalSpy results(&updater, &KUpdater::sigReturnVersion);
        updater.getFirmVersion("YARRIN");
        results.wait(kPatienceMs);
        QTest::qWait(kWindowMs);
        outcome.results = results.count();
        outcome.failed = !results.isEmpty() && results.first().at(0).toInt() != 0 && updater.getDownLoadUrl().isEmpty();
        break;
    }
    case Client::Downloader: {
        QObject owner;
        FfileDownloader downloader(&owner);
        QSignalSpy results(&downloader, &FfileDownloader::downloaded);
        downloader.startDownload(address);
        results.wait(kPatienceMs);
        QTest::qWait(kWindowMs);
        outcome.results = results.count();
        outcome.failed = !downloader.succeeded();
        break;
    }
    case Client::FirmwareDownload: {
        KUpdater updater;
        QSignalSpy answered(&updater, &KUpdater::sigReturnVersion);
        updater.getFirmVersion("YARRIN");
        if (!answered.wait(kPatienceMs) || updater.getDownLoadUrl() != address)
            return outcome;
        QSignalSpy results(&updater, &KUpdater::sig_DownLoadFinish);
        updater.slot_StartUpdateFirmWare();
        results.wait(kPatienceMs);
        QTest::qWait(kWindowMs);
        outcome.results = results.count();
        outcome.failed = !results.isEmpty() && !results.first().at(0).toBool();
        break;
    }
    case Client::SelfUpdate: {
        HHttpDownload download;
        download.setDownloadUrl(address);
        QSignalSpy results(&download, &HHttpDownload::sig_SortFinished);
        download.downloadFile();
        results.wait(kPatienceMs);
        QTest::qWait(kWindowMs);
        outcome.results = results.count();
        outcome.failed =
            !download.isDownloading() && m_services->events == QStringList {"driver_software/software_udpate/fail"};
        break;
    }
    case Client::CloudRestore: {
        FDownLoadFile restore;
        restore.setTimeouts(kRestTimeoutMs, kWindowMs);
        QSignalSpy finished(&restore, &FDownLoadFile::sig_finish);
        QSignalSpy changed(&restore, &FDownLoadFile::sigchangeUi);
        restore.downloadCloud();
        finished.wait(kPatienceMs);
        QTest::qWait(kWindowMs);
        outcome.results = finished.count() + changed.count();
        outcome.failed = finished.count() == 1 && !restore.isRunning() && m_services->tips.size() == 1;
        // Its running state is cleared: the next restore starts (and asks the server again).
        const int asked = m_server->requests().size();
        restore.downloadCloud();
        if (!m_server->waitForRequests(asked + 1, kPatienceMs))
            outcome.failed = false;
        break;
    }
    case Client::Analytics: {
        GAnalytics tracker(QStringLiteral("UA-1-2"));
        tracker.start();
        tracker.sendEvent(QStringLiteral("c"), QStringLiteral("first"));
        tracker.sendEvent(QStringLiteral("c"), QStringLiteral("second"));
        tracker.sendNow();
        if (!m_server->waitForRequests(1, kPatienceMs))
            return outcome;
        // The post has ended when the tracker sends again: the next hit, or the first once more.
        QElapsedTimer clock;
        clock.start();
        while (m_server->requests().size() < 2 && clock.elapsed() < kPatienceMs) {
            tracker.sendNow();
            QTest::qWait(100);
        }
        outcome.results = m_server->requests().size() >= 2 ? 1 : 0;
        break;
    }
    case Client::Tessaly: break;
    }
    return outcome;
}

// The firmware popup's update with a download address: Tessaly downloads, and Corvane hears one result.
TestTransferLimits::Outcome TestTransferLimits::runTessaly(const QString& address)
{
    Outcome outcome;
    FUpdateGFirmWare driver;
    QSignalSpy results(&driver, &FUpdateGFirmWare::sigUpdateRequest);
    driver.setDownloadUrl(address);
    driver.stateUpdateFirm("YARRIN");
    results.wait(60000);
    QTest::qWait(300);
    outcome.results = results.count();
    outcome.failed = !results.isEmpty() && results.first().at(0).toInt() == 3;
    return outcome;
}

QTEST_MAIN(TestTransferLimits)
#include "tst_transferlimits.moc"
