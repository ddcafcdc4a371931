#include "ArchiveFixtures.h"
#include "JsonFiles.h"
#include "LocalHttpServer.h"
#include "LogCapture.h"
#include "QuenbyKeyboardFixture.h"
#include "RecordingServices.h"

#include "common/ProgramFolders.h"
#include "devices/keyboard/FDeviceQuenby_8a.h"
#include "hid/HDeviceManager.h"
#include "hid/HWork.h"
#include "models/device/KImageModel.h"
#include "models/device/KLightModel.h"
#include "models/device/KLightModelItem.h"
#include "models/keys/HMacroName.h"
#include "models/keys/HMacroType.h"
#include "online/FDownLoadFile.h"
#include "online/KNetBase.h"
#include "online/KNetCommon.h"
#include "profiles/HConfigView.h"
#include "profiles/KConfigFileController.h"
#include "sim/keyboard/SimQuenbyKeyboard.h"
#include "sim/keyboard/SimQuenbyTables.h"
#include "TestWait.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QThread>
#include <QtTest>

#include <memory>

using namespace ArchiveFixtures;

namespace {

const QByteArray kMacroQuery = "/v1/driver/macro/config/get";
const QByteArray kProfileQuery = "/v1/driver/config2/get";
const QString kFactory = QStringLiteral(":/common/newUI/Quenby_8a/Quenby_8ADefaultConfig.json");
constexpr int kTimeoutMs = 300;

LocalHttpServer::Reply file(const QByteArray& body, int status = 200)
{
    LocalHttpServer::Reply reply;
    reply.status = status;
    reply.body = body;
    return reply;
}

// The factory profile with another light effect: what the device shows once the profile is applied.
QByteArray restoredProfile()
{
    QJsonObject profile = readJsonObject(kFactory);
    profile.insert("lightModel", QJsonObject{{"index", 2}});
    return QJsonDocument(profile).toJson();
}

QByteArray oldFormatMacro()
{
    const QJsonArray events{QJsonObject{{"ValueType", 3}, {"KeyValue", 0x41}, {"State", 0}, {"TimeLapse", 10}},
                            QJsonObject{{"ValueType", 3}, {"KeyValue", 0x41}, {"State", 1}, {"TimeLapse", 0}}};
    return QJsonDocument(QJsonObject{{"IgnoreDelayTime", 1}, {"MacroType", 0}, {"RepeatTimes", 3},
                                     {"Name", "Combo"}, {"Macro", events}})
        .toJson(QJsonDocument::Compact);
}

} // namespace

// The restore against the local server and the simulated keyboard: the whole job, each way it ends early,
// and archives that must change nothing.
class tst_CloudRestore : public QObject
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
        m_keyboard = std::make_unique<QuenbyKeyboardFixture>();
        QVERIFY(m_keyboard->openDevice());
        m_services = std::make_unique<RecordingServices>();
        m_services->token = QStringLiteral("tok-1");
        m_services->configPath = QStringLiteral("Default configuration.json");
        m_controller = std::make_unique<KConfigFileController>();
        m_view = std::make_unique<HConfigView>();
        m_names = std::make_unique<HMacroName>();
        m_type = std::make_unique<HMacroType>();
        m_lights = std::make_unique<KLightModel>();
        m_lights->setLogo(new KLightModelItem(m_lights.get()));
        m_lights->setWheel(new KLightModelItem(m_lights.get()));
        m_image = std::make_unique<KImageModel>();
        m_image->setDeviceName(QStringLiteral("ZEPHRA"));
        m_image->setVersion("300");
        m_services->setConfigFileController(m_controller.get());
        m_services->setConfigView(m_view.get());
        m_services->setMacroName(m_names.get());
        m_services->setMacroType(m_type.get());
        m_services->setLightModel(m_lights.get());
        m_services->setImageModel(m_image.get());
        m_restore = std::make_unique<FDownLoadFile>();
        // A request gets the short time-out only where a row is about one: on a loaded machine an answered
        // request can take longer than that.
        m_restore->setTimeouts(TestWait::kBoundMs, TestWait::kBoundMs);
        m_finished = std::make_unique<QSignalSpy>(m_restore.get(), &FDownLoadFile::sig_finish);
        m_changed = std::make_unique<QSignalSpy>(m_restore.get(), &FDownLoadFile::sigchangeUi);

        // What the user has before the restore.
        writeFile(profiles() + "/Default configuration.json", readFileBytes(kFactory));
        writeFile(profiles() + "/Local only.json", "{\"mine\":1}");
        writeFile(profiles() + "/Local only.png", "picture");
        writeFile(macros() + "/Combo.json", "{\"macroName\":\"local\",\"list\":[]}");
        writeFile(macros() + "/Local macro.json", "{\"macroName\":\"kept\",\"list\":[]}");
    }

    void cleanup()
    {
        QVERIFY(QTest::qWaitFor([this] { return HWork::pendingCount() == 0; }, TestWait::kBoundMs));
        m_changed.reset();
        m_finished.reset();
        m_restore.reset();
        m_image.reset();
        m_lights.reset();
        m_type.reset();
        m_names.reset();
        m_view.reset();
        m_controller.reset();
        m_services.reset();
        m_keyboard.reset();
        m_server.reset();
        HDeviceManager::instance()->setFactory({});
    }

    void fullRestore()
    {
        scriptBackups(zip({{"Combo.json", oldFormatMacro()}, {"folder/", QByteArray(), kFolder},
                           {"folder/New.json", "{\"macroName\":\"new\",\"list\":[]}"}}),
                      zip({{"Default configuration.json", restoredProfile()},
                           {"Cloud.json", "{\"cloud\":1}"},
                           {"Cloud.png", "picture"}}));
        QSignalSpy reselect(m_view.get(), &HConfigView::getItemIndexAgain);
        QCOMPARE(m_keyboard->keyboard()->registerValue(SimQuenby::kRegLightMode), 1u);
        LogCapture logs;
        QList<QThread*> resultThreads;
        connect(m_restore.get(), &FDownLoadFile::sigchangeUi, this,
                [&resultThreads] { resultThreads.append(QThread::currentThread()); });

        m_restore->downloadCloud();
        QVERIFY(m_restore->isRunning());
        WAIT_COMPARE(m_changed->count(), 1);
        QVERIFY(!m_restore->isRunning());
        QCOMPARE(m_finished->count(), 0);
        // Both archives were unpacked off the GUI thread, which heard the one result.
        const QList<const void*> unpackers = logs.threadsOf("[Info] unpacking the archive over");
        QCOMPARE(unpackers.size(), 2);
        QVERIFY(!unpackers.contains(QThread::currentThread()));
        QCOMPARE(resultThreads, QList<QThread*> {QThread::currentThread()});

        // Four requests in order: where the macros are, the macros, where the profiles are, the profiles.
        const QList<LocalHttpServer::Request>& requests = m_server->requests();
        QCOMPARE(requests.size(), 4);
        QCOMPARE(requests[0].path, kMacroQuery);
        QCOMPARE(requests[0].body, QByteArray("{\"configType\":\"\"}"));
        QCOMPARE(requests[0].header("Authorization"), QByteArray("tok-1"));
        QCOMPARE(requests[1].path, QByteArray("/m.zip"));
        QVERIFY(!requests[1].hasHeader("Authorization"));
        QCOMPARE(requests[2].path, kProfileQuery);
        QCOMPARE(requests[2].body, QByteArray("{\"configType\":\"ZEPHRA\"}"));
        QCOMPARE(requests[3].path, QByteArray("/p.zip"));

        // Macros: the old format converted, new ones added, local-only ones kept.
        const QJsonObject converted = readJsonObject(macros() + "/Combo.json");
        QVERIFY(converted.value("list").isArray());
        QVERIFY(!converted.contains("IgnoreDelayTime"));
        QCOMPARE(readJsonObject(macros() + "/folder/New.json").value("macroName").toString(), QString("new"));
        QCOMPARE(readJsonObject(macros() + "/Local macro.json").value("macroName").toString(), QString("kept"));
        QStringList tree;
        for (int i = 0; i < m_names->getItemValue(); ++i)
            tree << m_names->getItemText(i);
        QVERIFY2(tree.contains("folder") && tree.contains("Combo") && tree.contains("Local macro"), qPrintable(tree.join(',')));

        // Profiles: replaced and added, the local one kept; the current one applied to the device and the models.
        QCOMPARE(readFileBytes(profiles() + "/Default configuration.json"), restoredProfile());
        QCOMPARE(readFileBytes(profiles() + "/Cloud.json"), QByteArray("{\"cloud\":1}"));
        QCOMPARE(readFileBytes(profiles() + "/Local only.json"), QByteArray("{\"mine\":1}"));
        QCOMPARE(m_keyboard->keyboard()->registerValue(SimQuenby::kRegLightMode), 3u);
        QCOMPARE(m_lights->logo()->model(), 2);
        QStringList list;
        for (int i = 0; i < m_view->getItemValue(); ++i)
            list << m_view->getItemText(i);
        QVERIFY2(list.contains("Cloud") && list.contains("Local only"), qPrintable(list.join(',')));
        QCOMPARE(reselect.count(), 1);

        QCOMPARE(m_services->tips, QStringList{"0:Successfully downloaded cloud configuration"});
        QCOMPARE(m_services->events,
                 (QStringList{"driver_cloud/download/success", "driver_cloud/download/success"}));
        QCOMPARE(m_services->open(), 0);
        QCOMPARE(m_services->loadingStarts, 1);
    }

    // No macro backup on the server: straight to the profiles, the macro folder untouched.
    void noMacroBackup()
    {
        scriptBackups(QByteArray(), zip({{"Default configuration.json", restoredProfile()}}));
        const QMap<QString, QByteArray> macroFiles = snapshot(macros());
        m_restore->downloadCloud();
        WAIT_COMPARE(m_changed->count(), 1);
        QCOMPARE(m_server->requests().size(), 3);
        QCOMPARE(snapshot(macros()), macroFiles);
        QCOMPARE(m_keyboard->keyboard()->registerValue(SimQuenby::kRegLightMode), 3u);
    }

    // Every early end: one error tip, sig_finish, nothing changed in either folder.
    void endsEarly_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("tip");
        QTest::addColumn<QStringList>("events");
        const auto row = [](const char* name, const char* mode, const char* tip, const QStringList& events) {
            QTest::newRow(name) << QString(mode) << QString(tip) << events;
        };
        const QStringList fail{"driver_cloud/download/fail"};
        const QStringList unpackedThenFail{"driver_cloud/download/success", "driver_cloud/download/fail"};
        const char* network = "1:Network connection error, please try later";
        row("macro query refused", "macro refused", "1:Login timeout", fail);
        row("macro query timed out", "macro silent", network, fail);
        row("profile query refused", "profile refused", "1:Login timeout", fail);
        row("profile query timed out", "profile silent", network, fail);
        row("no profile backup", "profile no path", "1:Please upload the file before downloading", fail);
        row("macro archive not on the web", "macro file url", "1:Failed to download macro file", {});
        row("macro download stalled", "macro stalled", "1:Failed to download macro file", {});
        row("profile download stalled", "profile stalled", "1:Failed to download device configuration file", fail);
        row("no profile in the archive", "no json", "1:No upload profile", unpackedThenFail);
        row("current profile not a bare name", "current path", "1:Error in file path", unpackedThenFail);
        row("another device came meanwhile", "device changed", "1:Failed to synchronize profile",
            {"driver_cloud/download/success"});
    }
    void endsEarly()
    {
        QFETCH(QString, mode);
        QFETCH(QString, tip);
        QFETCH(QStringList, events);
        QByteArray macroArchive = zip({{"Combo.json", "{\"macroName\":\"cloud\",\"list\":[]}"}});
        QByteArray profileArchive = zip({{"Default configuration.json", restoredProfile()}});
        if (mode == "no json" || mode == "current path") {
            QVERIFY(QDir(profiles()).removeRecursively());
            profileArchive = zip({{"picture.png", "png"}});
        }
        if (mode == "current path") {
            profileArchive = zip({{"Default configuration.json", restoredProfile()}});
            m_services->configPath = "../ZEPHRA/Default configuration.json";
        }
        scriptBackups(mode.startsWith("profile") ? QByteArray() : macroArchive, profileArchive);
        LocalHttpServer::Reply silent;
        silent.silent = true;
        if (mode == "macro refused")
            m_server->script(kMacroQuery, LocalHttpServer::jsonReply("{\"code\":10011}"));
        if (mode == "macro silent")
            m_server->script(kMacroQuery, silent);
        if (mode == "profile refused")
            m_server->script(kProfileQuery, LocalHttpServer::jsonReply("{\"code\":10011}"));
        if (mode == "profile silent")
            m_server->script(kProfileQuery, silent);
        if (mode == "profile no path")
            m_server->script(kProfileQuery, LocalHttpServer::jsonReply("{\"code\":0,\"data\":{\"filePath\":\"\"}}"));
        if (mode == "macro file url")
            m_server->script(kMacroQuery, LocalHttpServer::jsonReply("{\"code\":0,\"data\":{\"filePath\":\"file:///etc/passwd\"}}"));
        if (mode == "macro stalled")
            m_server->script("/m.zip", silent);
        if (mode == "profile stalled")
            m_server->script("/p.zip", silent);
        if (mode.endsWith("silent") || mode.endsWith("stalled"))
            m_restore->setTimeouts(kTimeoutMs, kTimeoutMs);
        if (mode == "device changed") {
            connect(m_server.get(), &LocalHttpServer::requestRecorded, this, [this] {
                if (m_server->requests().size() == 4)
                    m_image->setDeviceName(QStringLiteral("OTHER"));
            });
        }
        const QMap<QString, QByteArray> before = snapshot(ProgramFolders::configLocation());
        const quint32 lightMode = m_keyboard->keyboard()->registerValue(SimQuenby::kRegLightMode);

        m_restore->downloadCloud();
        WAIT_COMPARE(m_finished->count(), 1);
        QVERIFY(!m_restore->isRunning());
        QCOMPARE(m_services->tips, QStringList{tip});
        QCOMPARE(m_services->events, events);
        QCOMPARE(m_changed->count(), 0);
        QCOMPARE(m_services->open(), 0);
        QCOMPARE(m_keyboard->keyboard()->registerValue(SimQuenby::kRegLightMode), lightMode);
        if (mode != "no json" && mode != "current path" && mode != "device changed")
            QCOMPARE(snapshot(ProgramFolders::configLocation()), before);
        // Nothing more arrives after the time-outs.
        QTest::qWait(2 * kTimeoutMs);
        QCOMPARE(m_finished->count(), 1);
        QCOMPARE(m_services->tips.size(), 1);
    }

    void hostileArchives_data()
    {
        QTest::addColumn<bool>("macro");
        QTest::addColumn<QByteArray>("archive");
        QTest::addColumn<int>("status");
        const QByteArray good = "{\"macroName\":\"evil\",\"list\":[]}";
        const QList<QPair<QByteArray, QByteArray>> rows {
            {"../x", zip({{"Combo.json", good}, {"../x.json", good}})},
            {"absolute name", zip({{ProgramFolders::configLocation() + "/x.json", good}})},
            {"link then a file through it", zip({{"out", "../..", kLink}, {"out/x.json", good}})},
            {"too many entries", manyEntries()},
            {"oversize", zip({{"big.json", QByteArray(64 * 1024 * 1024 + 1, ' ')}})},
            {"not a zip", "PK but not really"},
            {"name not UTF-8", zip({{"Combo.json", good}, {{}, good, kRegular, "\xC4\xE4nderung.json"}})},
            {"NUL in a name", zip({{{}, good, kRegular, QByteArray("Combo.json\0../x.json", 19)}})},
            // Two of each are there already: 29 more would make 31.
            {"31 in one folder", thirtyOneInOneFolder()},
        };
        for (bool macro : {true, false}) {
            const char* which = macro ? "macro archive" : "profile archive";
            for (const auto& row : rows)
                QTest::addRow("%s: %s", which, row.first.constData()) << macro << row.second << 200;
            QTest::addRow("%s: an HTML 404 page", which) << macro << QByteArray("<html>Not Found</html>") << 404;
            QTest::addRow("%s: a 302 page", which) << macro << zip({{"Combo.json", good}}) << 302;
        }
    }
    void hostileArchives()
    {
        QFETCH(bool, macro);
        QFETCH(QByteArray, archive);
        QFETCH(int, status);
        const QByteArray sound = zip({{"Default configuration.json", restoredProfile()}});
        scriptBackups(macro ? archive : QByteArray(), macro ? sound : archive);
        if (macro)
            m_server->script("/m.zip", file(archive, status));
        else
            m_server->script("/p.zip", file(archive, status));
        const QMap<QString, QByteArray> before = snapshot(ProgramFolders::configLocation());

        m_restore->downloadCloud();
        WAIT_COMPARE(m_finished->count(), 1);
        QCOMPARE(m_services->tips, QStringList{macro ? "1:Failed to download macro file"
                                                      : "1:Failed to download device configuration file"});
        QCOMPARE(m_changed->count(), 0);
        // Both folders byte for byte as before, and nothing beside them.
        QCOMPARE(snapshot(ProgramFolders::configLocation()), before);
        QVERIFY(!QFileInfo::exists(QFileInfo(ProgramFolders::configLocation()).absolutePath() + "/x.json"));
    }

    // The apply step fails on the device: the job ends, the busy indicator goes down.
    void applyFails()
    {
        scriptBackups(QByteArray(), zip({{"Default configuration.json", restoredProfile()}}));
        m_keyboard->bus()->bus()->failNext(m_keyboard->keyboard()->busDeviceId(), SimBus::Fault::Write, 1000);
        m_restore->downloadCloud();
        WAIT_COMPARE(m_finished->count(), 1);
        QCOMPARE(m_changed->count(), 0);
        QCOMPARE(m_services->tips, QStringList{"1:Failed to synchronize profile"});
        QCOMPARE(m_services->events, QStringList{"driver_cloud/download/success"});
        QCOMPARE(m_services->loadingStarts, 1);
        QCOMPARE(m_services->open(), 0);
        QVERIFY(!m_restore->isRunning());
    }

    void secondCallIgnored()
    {
        scriptBackups(QByteArray(), zip({{"Default configuration.json", restoredProfile()}}));
        m_restore->downloadCloud();
        m_restore->downloadCloud();
        WAIT_COMPARE(m_changed->count(), 1);
        QTest::qWait(100);
        QCOMPARE(m_server->requests().size(), 3);
        QCOMPARE(m_services->tips.size(), 1);
        QCOMPARE(m_services->loadingStarts, 1);
    }

    // Without a device nothing is asked and nothing touched.
    void noDevice()
    {
        m_image->setDeviceName(QString());
        scriptBackups(zip({{"x.json", "{}"}}), zip({{"y.json", "{}"}}));
        const QMap<QString, QByteArray> before = snapshot(ProgramFolders::configLocation());
        m_restore->downloadCloud();
        QCOMPARE(m_finished->count(), 1);
        QCOMPARE(m_services->tips, QStringList{"1:Error in file path"});
        QCOMPARE(m_services->events, QStringList{"driver_cloud/download/fail"});
        QTest::qWait(50);
        QCOMPARE(m_server->requests().size(), 0);
        QCOMPARE(snapshot(ProgramFolders::configLocation()), before);
    }

private:
    static QString profiles() { return ProgramFolders::profileRoot() + "/ZEPHRA"; }
    static QString macros() { return ProgramFolders::macroRoot(); }

    static QByteArray thirtyOneInOneFolder()
    {
        QList<Entry> entries;
        for (int i = 0; i < 29; ++i)
            entries.append({QString("n%1.json").arg(i), "{\"macroName\":\"n\",\"list\":[]}"});
        return zip(entries);
    }

    static QByteArray manyEntries()
    {
        QList<Entry> entries;
        for (int i = 0; i <= 4096; ++i)
            entries.append({QString("m%1.json").arg(i), "{}"});
        return zip(entries);
    }

    // The two queries and the two archives; an empty macro archive stands for no macro backup.
    void scriptBackups(const QByteArray& macroArchive, const QByteArray& profileArchive)
    {
        const QByteArray base = m_server->baseUrl().toUtf8();
        const auto located = [&base](const QByteArray& path) {
            return LocalHttpServer::jsonReply("{\"code\":0,\"data\":{\"filePath\":\"" + path + "\"}}");
        };
        m_server->script(kMacroQuery, located(macroArchive.isEmpty() ? QByteArray() : base + "/m.zip"));
        m_server->script(kProfileQuery, located(base + "/p.zip"));
        m_server->script("/m.zip", file(macroArchive));
        m_server->script("/p.zip", file(profileArchive));
    }

    std::unique_ptr<LocalHttpServer> m_server;
    std::unique_ptr<QuenbyKeyboardFixture> m_keyboard;
    std::unique_ptr<RecordingServices> m_services;
    std::unique_ptr<KConfigFileController> m_controller;
    std::unique_ptr<HConfigView> m_view;
    std::unique_ptr<HMacroName> m_names;
    std::unique_ptr<HMacroType> m_type;
    std::unique_ptr<KLightModel> m_lights;
    std::unique_ptr<KImageModel> m_image;
    std::unique_ptr<FDownLoadFile> m_restore;
    std::unique_ptr<QSignalSpy> m_finished;
    std::unique_ptr<QSignalSpy> m_changed;
};

QTEST_MAIN(tst_CloudRestore)
#include "tst_cloudrestore.moc"
