#include "ArchiveFixtures.h"
#include "LocalHttpServer.h"
#include "RecordingServices.h"

#include "common/ProgramFolders.h"
#include "models/device/KImageModel.h"
#include "online/CloudArchive.h"
#include "online/FUpLoadFile.h"
#include "online/KNetCommon.h"
#include "online/KNetUploadConfig.h"
#include "TestWait.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace ArchiveFixtures;

namespace {

const QByteArray kUpload = "/v1/file/upload";
const QByteArray kProfileSave = "/v1/driver/config2/save";
const QByteArray kMacroSave = "/v1/driver/macro/config/save";
constexpr int kTimeoutMs = 300;

const LocalHttpServer::Reply kUploaded = LocalHttpServer::jsonReply(R"({"code":0,"msg":"ok","data":{"filePath":"/files/up.zip"}})");
const LocalHttpServer::Reply kSaved = LocalHttpServer::jsonReply(R"({"code":0,"msg":"ok"})");

// The files of an uploaded archive.
QMap<QString, QByteArray> unpacked(const QByteArray& archive)
{
    QTemporaryDir dir;
    QString why;
    if (!CloudArchive::unpack(archive, dir.path() + "/x", CloudArchive::Limits(), &why))
        return {{"<refused>", why.toUtf8()}};
    return snapshot(dir.path() + "/x");
}

} // namespace

// The backup against the local server: the four requests of a job, byte for byte, and every way a step can
// end it (one tip, one "fail", one sig_finish, no archive left, no second result).
class tst_CloudBackup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        KNetCommon::setCheckHost(QStringLiteral("localhost"));
    }

    void init()
    {
        QDir(ProgramFolders::configLocation()).removeRecursively();
        m_server = std::make_unique<LocalHttpServer>();
        KNetBase::setApiBase(m_server->baseUrl());
        m_services = std::make_unique<RecordingServices>();
        m_services->token = QStringLiteral("tok-1");
        m_image = std::make_unique<KImageModel>();
        m_image->setDeviceName(QStringLiteral("ZEPHRA"));
        m_services->setImageModel(m_image.get());
        m_upload = std::make_unique<FUpLoadFile>();
        // A request gets the short time-out only where a row is about one: on a loaded machine an answered
        // request can take longer than that.
        m_upload->setTimeouts(TestWait::kBoundMs, TestWait::kBoundMs);
        m_finished = std::make_unique<QSignalSpy>(m_upload.get(), &FUpLoadFile::sig_finish);
        writeFile(profiles() + "/Default configuration.json", "{\"dpi\":1}");
        writeFile(profiles() + "/Game.json", "{\"dpi\":2}");
        writeFile(macros() + "/Combo.json", "{\"list\":[]}");
        writeFile(macros() + "/folder/Other.json", "{\"list\":[1]}");
    }

    void cleanup()
    {
        m_finished.reset();
        m_upload.reset();
        m_image.reset();
        m_services.reset();
        m_server.reset();
    }

    void fullChain_data()
    {
        QTest::addColumn<QString>("token");
        QTest::newRow("logged in") << QString("tok-1");
        QTest::newRow("no token") << QString();
    }
    void fullChain()
    {
        QFETCH(QString, token);
        m_services->token = token;
        scriptAll();
        const QMap<QString, QByteArray> profileFiles = snapshot(profiles());
        const QMap<QString, QByteArray> macroFiles = snapshot(macros());

        m_upload->uploadCloud();
        QVERIFY(m_upload->isRunning());
        WAIT_COMPARE(m_finished->count(), 1);
        QVERIFY(!m_upload->isRunning());

        const QList<LocalHttpServer::Request>& requests = m_server->requests();
        QCOMPARE(requests.size(), 4);
        QCOMPARE(requests[0].path, kUpload);
        QCOMPARE(requests[1].path, kProfileSave);
        QCOMPARE(requests[2].path, kUpload);
        QCOMPARE(requests[3].path, kMacroSave);

        // The uploads: a request that carries only the URL and one part with exactly these headers.
        const QByteArray authorization = "Authorization: " + token.toUtf8() + "\r\n";
        for (int i : {0, 2}) {
            const LocalHttpServer::Request& upload = requests[i];
            QCOMPARE(upload.method, QByteArray("POST"));
            QVERIFY(!upload.hasHeader("lang"));
            QVERIFY(!upload.hasHeader("Authorization"));
            QVERIFY(upload.header("Content-Type").startsWith("multipart/form-data; boundary="));
            QCOMPARE(upload.parts.size(), 1);
            const QByteArray name = i == 0 ? "LocalFile.zip" : "MacroFile.zip";
            QCOMPARE(upload.parts[0].head,
                     authorization + "Content-Disposition: form-data; name=\"file\"; filename=\"" + name + "\"");
            QCOMPARE(unpacked(upload.parts[0].body), i == 0 ? profileFiles : macroFiles);
        }
        // The save-info requests: compact JSON with the uploaded path, the device name (empty for macros).
        QCOMPARE(requests[1].body, QByteArray(R"({"configContent":"","configType":"ZEPHRA","filePath":"/files/up.zip"})"));
        QCOMPARE(requests[3].body, QByteArray(R"({"configContent":"","configType":"","filePath":"/files/up.zip"})"));
        for (int i : {1, 3}) {
            QCOMPARE(requests[i].header("lang"), QByteArray("zh"));
            QCOMPARE(requests[i].hasHeader("Authorization"), !token.isEmpty());
            QCOMPARE(requests[i].header("Authorization"), token.toUtf8());
        }

        QCOMPARE(m_services->tips, QStringList{"0:Successfully uploaded cloud configuration"});
        QCOMPARE(m_services->events, (QStringList{"driver_cloud/upload/success", "driver_cloud/upload/success"}));
        QCOMPARE(archivesLeft(), QStringList());
        QCOMPARE(snapshot(profiles()), profileFiles);
        QCOMPARE(snapshot(macros()), macroFiles);
    }

    // No macro to back up: the job ends after the profiles.
    void emptyMacroFolder()
    {
        QVERIFY(QDir(macros()).removeRecursively());
        QVERIFY(QDir().mkpath(macros() + "/empty folder"));
        scriptAll();
        m_upload->uploadCloud();
        WAIT_COMPARE(m_finished->count(), 1);
        QCOMPARE(m_server->requests().size(), 2);
        QCOMPARE(m_services->tips, QStringList{"0:Uploading cloud configuration succeeded (no macro file uploaded)"});
        QCOMPARE(m_services->events, QStringList{"driver_cloud/upload/success"});
        QCOMPARE(archivesLeft(), QStringList());
    }

    void stepFails_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("tip");

        const QString network = "1:Network connection error, please try later";
        const QStringList names{"profile upload", "profile save", "macro upload", "macro save"};
        for (int step = 0; step < 4; ++step) {
            const QByteArray name = names[step].toUtf8();
            QTest::addRow("%s, refused", name.constData()) << step << QString("refused") << QString("1:Login timeout");
            QTest::addRow("%s, timed out", name.constData()) << step << QString("silent") << network;
            QTest::addRow("%s, HTTP error", name.constData()) << step << QString("http500") << network;
            QTest::addRow("%s, not JSON", name.constData()) << step << QString("html") << network;
        }
        QTest::newRow("profile upload, no path")
            << 0 << QString("no path") << QString("1:Failed to upload configuration information");
        QTest::newRow("macro upload, no path")
            << 2 << QString("no path") << QString("1:Failed to upload macro configuration");
    }
    void stepFails()
    {
        QFETCH(int, step);
        QFETCH(QString, mode);
        QFETCH(QString, tip);
        LocalHttpServer::Reply failing;
        if (mode == "refused") {
            failing = LocalHttpServer::jsonReply(R"({"code":10011,"msg":"server text is never shown"})");
        } else if (mode == "silent") {
            failing.silent = true;
            m_upload->setTimeouts(kTimeoutMs, kTimeoutMs);
        } else if (mode == "http500") {
            failing = LocalHttpServer::jsonReply(R"({"code":0,"data":{"filePath":"/x"}})");
            failing.status = 500;
        } else if (mode == "html") {
            failing.body = "<html>busy</html>";
        } else {
            failing = LocalHttpServer::jsonReply(R"({"code":0,"data":{}})");
        }
        QList<LocalHttpServer::Reply> uploads{kUploaded, kUploaded};
        QList<LocalHttpServer::Reply> profileSaves{kSaved};
        QList<LocalHttpServer::Reply> macroSaves{kSaved};
        switch (step) {
        case 0: uploads[0] = failing; break;
        case 1: profileSaves[0] = failing; break;
        case 2: uploads[1] = failing; break;
        default: macroSaves[0] = failing; break;
        }
        m_server->scriptSequence(kUpload, uploads);
        m_server->scriptSequence(kProfileSave, profileSaves);
        m_server->scriptSequence(kMacroSave, macroSaves);

        m_upload->uploadCloud();
        WAIT_COMPARE(m_finished->count(), 1);
        QCOMPARE(m_server->requests().size(), step + 1);
        QCOMPARE(m_services->tips, QStringList{tip});
        QStringList events{"driver_cloud/upload/fail"};
        if (step == 3) // the macro upload has been counted a success already
            events.prepend("driver_cloud/upload/success");
        QCOMPARE(m_services->events, events);
        QCOMPARE(archivesLeft(), QStringList());
        // No second result, not even after the time-outs.
        QTest::qWait(2 * kTimeoutMs);
        QCOMPARE(m_finished->count(), 1);
        QCOMPARE(m_services->tips.size(), 1);
        QCOMPARE(m_server->requests().size(), step + 1);
    }

    // The limit lies between 1048575 and 1048576 bytes; what cannot be read whole is not sent at all.
    void uploadLimit_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("open");
        QTest::addColumn<bool>("sent");
        QTest::newRow("1048575 bytes") << 1048575 << true << true;
        QTest::newRow("1048576 bytes") << 1048576 << true << false;
        QTest::newRow("empty") << 0 << true << false;
        QTest::newRow("not open") << 100 << false << false;
    }
    void uploadLimit()
    {
        QFETCH(int, size);
        QFETCH(bool, open);
        QFETCH(bool, sent);
        m_server->script(kUpload, kUploaded);
        QTemporaryDir dir;
        QFile file(dir.filePath("archive.zip"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(size, 'z'));
        file.close();
        if (open)
            QVERIFY(file.open(QIODevice::ReadOnly));

        KNetUploadConfig upload;
        QSignalSpy results(&upload, &KNetUploadConfig::sigUploadFileRet);
        QCOMPARE(upload.uploadCurrentConfig(&file, true), sent);
        if (sent) {
            WAIT_COMPARE(results.count(), 1);
            QCOMPARE(results[0][0].toInt(), 0);
            QCOMPARE(results[0][2].toString(), QString("/files/up.zip"));
            QCOMPARE(m_server->requests().value(0).parts.value(0).body.size(), size);
        } else {
            QTest::qWait(50);
            QCOMPARE(results.count(), 0);
            QCOMPARE(m_server->requests().size(), 0);
        }
    }

    // A profile folder whose archive is too large ends the job before anything is sent.
    void archiveTooLarge()
    {
        QByteArray noise(1100 * 1024, Qt::Uninitialized);
        QRandomGenerator generator(7);
        generator.fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
        writeFile(profiles() + "/picture.png", noise);
        scriptAll();
        m_upload->uploadCloud();
        WAIT_COMPARE(m_finished->count(), 1);
        QCOMPARE(m_server->requests().size(), 0);
        QCOMPARE(m_services->tips, QStringList{"1:The uploaded configuration file cannot be greater than 1m"});
        QCOMPARE(m_services->events, QStringList{"driver_cloud/upload/fail"});
        QCOMPARE(archivesLeft(), QStringList());
    }

    // A second call while a job runs starts nothing.
    void secondCallIgnored()
    {
        scriptAll();
        m_upload->uploadCloud();
        m_upload->uploadCloud();
        WAIT_COMPARE(m_finished->count(), 1);
        m_upload->uploadCloud(); // after the end a new job may start
        WAIT_COMPARE(m_finished->count(), 2);
        QTest::qWait(100);
        QCOMPARE(m_finished->count(), 2);
        QCOMPARE(m_server->requests().size(), 8);
        QCOMPARE(m_services->tips.size(), 2);
        QCOMPARE(archivesLeft(), QStringList());
    }

    // Without a device there is no device folder: the job fails at once and nothing is packed or sent.
    void noDevice()
    {
        m_image->setDeviceName(QString());
        scriptAll();
        const QMap<QString, QByteArray> before = snapshot(ProgramFolders::configLocation());
        m_upload->uploadCloud();
        QCOMPARE(m_finished->count(), 1);
        QCOMPARE(m_services->tips, QStringList{"1:Failed to compress configuration file"});
        QCOMPARE(m_services->events, QStringList{"driver_cloud/upload/fail"});
        QTest::qWait(50);
        QCOMPARE(m_server->requests().size(), 0);
        QCOMPARE(snapshot(ProgramFolders::configLocation()), before);
    }

    // The device's folder is missing: nothing to pack.
    void noProfileFolder()
    {
        QVERIFY(QDir(profiles()).removeRecursively());
        scriptAll();
        m_upload->uploadCloud();
        QCOMPARE(m_finished->count(), 1);
        QCOMPARE(m_services->tips, QStringList{"1:Failed to compress configuration file"});
        QCOMPARE(archivesLeft(), QStringList());
    }

private:
    static QString profiles() { return ProgramFolders::profileRoot() + "/ZEPHRA"; }
    static QString macros() { return ProgramFolders::macroRoot(); }

    void scriptAll()
    {
        m_server->script(kUpload, kUploaded);
        m_server->script(kProfileSave, kSaved);
        m_server->script(kMacroSave, kSaved);
    }

    // Archives anywhere in the program's folders.
    static QStringList archivesLeft()
    {
        QStringList left;
        QDirIterator it(ProgramFolders::configLocation(), {"*.zip"}, QDir::Files | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            left << it.next();
        return left;
    }

    std::unique_ptr<LocalHttpServer> m_server;
    std::unique_ptr<RecordingServices> m_services;
    std::unique_ptr<KImageModel> m_image;
    std::unique_ptr<FUpLoadFile> m_upload;
    std::unique_ptr<QSignalSpy> m_finished;
};

QTEST_MAIN(tst_CloudBackup)
#include "tst_cloudbackup.moc"
