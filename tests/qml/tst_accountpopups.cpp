#include "app/KAppCommon.h"
#include "app/KAppManager.h"
#include "app/KAppModel.h"
#include "app/UIManager.h"
#include "common/DeviceIds.h"
#include "common/ProgramFolders.h"
#include "online/KNetBase.h"
#include "online/KNetCommon.h"

#include "ArchiveFixtures.h"
#include "JsonFiles.h"
#include "KeyboardWindowFixture.h"
#include "LocalHttpServer.h"
#include "TipRecorder.h"
#include "WindowTestSupport.h"
#include "TestWait.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQmlApplicationEngine>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

using namespace WindowTestSupport;

namespace {

const QByteArray kLogin = "/v1/user/login";
const QByteArray kRegister = "/v1/user/register";
const QByteArray kUpload = "/v1/file/upload";
const QByteArray kProfileSave = "/v1/driver/config2/save";
const QByteArray kMacroSave = "/v1/driver/macro/config/save";
const QByteArray kMacroQuery = "/v1/driver/macro/config/get";
const QByteArray kProfileQuery = "/v1/driver/config2/get";
const QString kFactory = QStringLiteral(":/common/newUI/Quenby_8a/Quenby_8ADefaultConfig.json");

const QString kEmpty = QStringLiteral("The input field cannot be empty");
const QString kBadMailbox = QStringLiteral("The mailbox format is incorrect, please re-enter");
const QString kShort = QStringLiteral("The password you entered is too short. The password must be at least 6 digits long");
const QString kMismatch = QStringLiteral("The passwords entered twice are inconsistent");

QObject* contextObject(const QString& name)
{
    return KAppManager::instance()->getUIManager()->getEngine()->rootContext()->contextProperty(name)
        .value<QObject*>();
}

QString storedToken()
{
    QString token;
    QMetaObject::invokeMethod(contextObject("g_configCommon"), "getToken", Q_RETURN_ARG(QString, token));
    return token;
}

QString profiles() { return ProgramFolders::profileRoot() + "/ZEPHRA"; }

LocalHttpServer::Reply file(const QByteArray& body)
{
    LocalHttpServer::Reply reply;
    reply.body = body;
    return reply;
}

} // namespace

// The account and cloud dialogs in the real window on the simulated keyboard, against a local web server: the
// input rules the dialogs share, logging in and out, registering, and uploading and downloading the settings.
class TestAccountPopups : public QObject
{
    Q_OBJECT

private:
    KeyboardWindowFixture m_fixture;
    std::unique_ptr<LocalHttpServer> m_server;
    QQuickWindow* m_window = nullptr;

    QObject* popup(const QString& type) const { return findOfType(m_window, type); }
    QQuickItem* in(const QString& type, const QString& name) const
    {
        return findItem(popup(type)->property("contentItem").value<QQuickItem*>(), name);
    }
    void click(QQuickItem* item)
    {
        QVERIFY(item);
        clickItem(m_window, item);
    }
    bool busy() const { return isShown(m_window, "HLoadDialog_new"); }

    // Opens the window's popup n and waits until it shows.
    void open(int n, const QString& type)
    {
        QVERIFY(QMetaObject::invokeMethod(m_window, "mGeter", Q_ARG(QVariant, n)));
        WAIT_VERIFY(popup(type)->property("visible").toBool());
    }

    int requestsTo(const QByteArray& path) const
    {
        int n = 0;
        for (const LocalHttpServer::Request& request : m_server->requests())
            n += request.path == path;
        return n;
    }

    void closePopups()
    {
        for (const QVariant& entry : m_window->property("mPopups").toList()) {
            if (QObject* object = entry.value<QObject*>())
                QMetaObject::invokeMethod(object, "close");
        }
    }

    void loggedIn()
    {
        m_server->scriptJson(kLogin, R"({"code":0,"data":{"nickname":"Nick"}})",
                             {qMakePair(QByteArray("Authorization"), QByteArray("tok-7"))});
        open(1, "HLogin_new");
        in("HLogin_new", "account")->setProperty("text", "first.last@mail.example.com");
        in("HLogin_new", "password")->setProperty("text", "secret1");
        click(in("HLogin_new", "loginButton"));
        WAIT_COMPARE(KAppModel::instance()->getNickname(), QString("Nick"));
        WAIT_VERIFY(!busy());
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_server = std::make_unique<LocalHttpServer>();
        // Profiles of an earlier run would not match the fresh keyboard (the program would ask which to keep).
        // The folders are the program's once the application has its name, which the program gives it at start.
        QCoreApplication::setApplicationName(KAppCommon::instance()->getAppName());
        QDir(ProgramFolders::profileRoot()).removeRecursively();
        m_server->scriptJson("/v1/driver/version", R"({"code":1,"msg":"failed"})");
        KNetBase::setApiBase(m_server->baseUrl());
        KNetCommon::setCheckHost(QStringLiteral("localhost"));
        m_window = m_fixture.start(DeviceIds::kKeyboardWired);
        QVERIFY(m_window);
    }

    void cleanupTestCase()
    {
        m_window = nullptr;
        const QStringList faults = m_fixture.stop();
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    void cleanup()
    {
        closePopups();
        WAIT_VERIFY(!busy());
        QVERIFY2(m_fixture.faults().isEmpty(), qPrintable(m_fixture.faults().join('\n')));
    }

    // The address rule: dots in the local part and sub-domains pass; no "@", no dot in the domain, a one-letter
    // top-level domain and stray dots do not.
    void emailRule_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("valid");
        QTest::newRow("plain") << "me@example.com" << true;
        QTest::newRow("dots in the local part") << "first.last@example.com" << true;
        QTest::newRow("sub-domain") << "me@mail.example.co.uk" << true;
        QTest::newRow("digits and hyphen") << "a-1_b@163-mail.com" << true;
        QTest::newRow("plus tag") << "me+tag@example.com" << true;
        QTest::newRow("long top-level domain") << "me@example.museum" << true;
        QTest::newRow("no at") << "me.example.com" << false;
        QTest::newRow("no dot in the domain") << "me@example" << false;
        QTest::newRow("one-letter top-level domain") << "me@example.c" << false;
        QTest::newRow("two ats") << "me@you@example.com" << false;
        QTest::newRow("two dots in a row") << "first..last@example.com" << false;
        QTest::newRow("dot before the at") << "me.@example.com" << false;
        QTest::newRow("leading dot") << ".me@example.com" << false;
        QTest::newRow("empty label") << "me@example..com" << false;
        QTest::newRow("hyphen first in the domain") << "me@-example.com" << false;
        QTest::newRow("blank") << "me @example.com" << false;
        QTest::newRow("empty") << "" << false;
    }

    void emailRule()
    {
        QFETCH(QString, address);
        QFETCH(bool, valid);
        QQmlEngine engine;
        QQmlComponent component(&engine);
        component.setData("import QtQml 2.12\nimport \"qrc:/common/accountRules.js\" as Rules\n"
                          "QtObject { function check(t) { return Rules.emailMessage(t) } }",
                          QUrl("qrc:/probe.qml"));
        std::unique_ptr<QObject> probe(component.create());
        QVERIFY2(probe, qPrintable(component.errorString()));
        QVariant message;
        QVERIFY(QMetaObject::invokeMethod(probe.get(), "check", Q_RETURN_ARG(QVariant, message), Q_ARG(QVariant, address)));
        QCOMPARE(message.toString(), valid ? QString() : kBadMailbox);
    }

    // The log-in form checks its entries before anything is sent: the first rule broken is shown in it.
    void loginRefusedBeforeSending_data()
    {
        QTest::addColumn<QString>("account");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("message");
        QTest::newRow("no account") << "" << "secret1" << kEmpty;
        QTest::newRow("no password") << "me@example.com" << "" << kEmpty;
        QTest::newRow("bad address") << "me@example" << "secret1" << kBadMailbox;
        QTest::newRow("five characters") << "me@example.com" << "12345" << kShort;
        QTest::newRow("user name, five characters") << "nick" << "12345" << kShort;
    }

    void loginRefusedBeforeSending()
    {
        QFETCH(QString, account);
        QFETCH(QString, password);
        QFETCH(QString, message);
        open(1, "HLogin_new");
        in("HLogin_new", "account")->setProperty("text", account);
        in("HLogin_new", "password")->setProperty("text", password);
        const int before = m_server->requests().size();
        click(in("HLogin_new", "loginButton"));
        WAIT_COMPARE(in("HLogin_new", "message")->property("text").toString(), message);
        QTest::qWait(100);
        QCOMPARE(m_server->requests().size(), before);
        QVERIFY(!busy());
        QVERIFY(popup("HLogin_new")->property("visible").toBool());
    }

    // The server's refusal or a broken answer is shown in the form; nothing is stored.
    void loginErrorsShown_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("message");
        QTest::newRow("wrong password") << QByteArray(R"({"code":10003,"msg":"x"})") << "Mailbox or password error";
        QTest::newRow("not JSON") << QByteArray("<html>") << "Network connection error, please try later";
    }

    void loginErrorsShown()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QString, message);
        m_server->script(kLogin, file(reply));
        open(1, "HLogin_new");
        in("HLogin_new", "account")->setProperty("text", "me@example.com");
        in("HLogin_new", "password")->setProperty("text", "secret1");
        click(in("HLogin_new", "loginButton"));
        WAIT_COMPARE(in("HLogin_new", "message")->property("text").toString(), message);
        WAIT_VERIFY(!busy());
        QVERIFY(popup("HLogin_new")->property("visible").toBool());
        QCOMPARE(storedToken(), QString());
        QCOMPARE(KAppModel::instance()->getNickname(), QString());
    }

    // A login stores the token and the name and opens the personal centre; the log-out confirmed from there
    // removes them again (cancelling it keeps them).
    void logsInAndOut()
    {
        TipRecorder tips;
        loggedIn();
        QVERIFY(tips.waitFor("Login succeeded"));
        QVERIFY(!popup("HLogin_new")->property("visible").toBool());
        QCOMPARE(storedToken(), QString("tok-7"));
        WAIT_VERIFY(findItem(m_window, "page9")->isVisible());
        const QJsonObject body = QJsonDocument::fromJson(m_server->requests().constLast().body).object();
        QCOMPARE(body.value("email").toString(), QString("first.last@mail.example.com"));
        QCOMPARE(body.value("password").toString(), QString("secret1"));

        click(findItem(findItem(m_window, "page9"), "logout"));
        WAIT_VERIFY(popup("FLogout_new")->property("visible").toBool());
        click(in("FLogout_new", "cancel"));
        WAIT_VERIFY(!popup("FLogout_new")->property("visible").toBool());
        QCOMPARE(storedToken(), QString("tok-7"));

        click(findItem(findItem(m_window, "page9"), "logout"));
        WAIT_VERIFY(popup("FLogout_new")->property("visible").toBool());
        click(in("FLogout_new", "ok"));
        QVERIFY(tips.waitFor("Exit successful"));
        QCOMPARE(storedToken(), QString());
        QCOMPARE(KAppModel::instance()->getNickname(), QString());
        WAIT_COMPARE(findItem(m_window, "userName")->property("mText").toString(), QString("Not logged in"));
    }

    // The register form checks its entries first; the server's refusal is shown, its success opens the notice.
    void registers_data()
    {
        QTest::addColumn<QStringList>("entries"); // nickname, mailbox, password, repeated
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty field") << QStringList{"Nick", "", "secret1", "secret1"} << QByteArray() << kEmpty;
        QTest::newRow("bad address") << QStringList{"Nick", "me@", "secret1", "secret1"} << QByteArray() << kBadMailbox;
        QTest::newRow("short") << QStringList{"Nick", "me@example.com", "12345", "12345"} << QByteArray() << kShort;
        QTest::newRow("mismatch") << QStringList{"Nick", "me@example.com", "secret1", "secret2"} << QByteArray()
                                  << kMismatch;
        QTest::newRow("taken") << QStringList{"Nick", "me@example.com", "secret1", "secret1"}
                               << QByteArray(R"({"code":10006})")
                               << "This mailbox has already been registered. Please register again with another mailbox";
        QTest::newRow("success") << QStringList{"Nick", "first.last@mail.example.com", "secret1", "secret1"}
                                 << QByteArray(R"({"code":0})") << "";
    }

    void registers()
    {
        QFETCH(QStringList, entries);
        QFETCH(QByteArray, reply);
        QFETCH(QString, message);
        if (!reply.isEmpty())
            m_server->script(kRegister, file(reply));
        open(2, "FRegister_new");
        const char* fields[] = {"nickname", "email", "password", "repeat"};
        for (int i = 0; i < 4; ++i)
            in("FRegister_new", fields[i])->setProperty("text", entries.at(i));
        const int before = requestsTo(kRegister);
        click(in("FRegister_new", "registerButton"));
        if (message.isEmpty()) {
            WAIT_VERIFY(popup("FRegisterSuccess_new")->property("visible").toBool());
            QVERIFY(!popup("FRegister_new")->property("visible").toBool());
        } else {
            WAIT_COMPARE(in("FRegister_new", "message")->property("text").toString(), message);
        }
        WAIT_VERIFY(!busy());
        QCOMPARE(requestsTo(kRegister), before + (reply.isEmpty() ? 0 : 1));
    }

    // Upload: cancelling sends nothing; Send backs the profiles and the macros up and closes when done.
    void uploads()
    {
        m_server->script(kUpload, LocalHttpServer::jsonReply(R"({"code":0,"data":{"filePath":"/files/up.zip"}})"));
        m_server->scriptJson(kProfileSave, R"({"code":0})");
        m_server->scriptJson(kMacroSave, R"({"code":0})");
        ArchiveFixtures::writeFile(ProgramFolders::macroRoot() + "/Up.json", R"({"macroName":"Up","list":[]})");
        loggedIn();
        const int before = m_server->requests().size();

        open(11, "FUploadConfig_new");
        click(in("FUploadConfig_new", "cancel"));
        WAIT_VERIFY(!popup("FUploadConfig_new")->property("visible").toBool());
        QTest::qWait(100);
        QCOMPARE(m_server->requests().size(), before);

        TipRecorder tips;
        open(11, "FUploadConfig_new");
        click(in("FUploadConfig_new", "send"));
        QVERIFY(tips.waitFor("Successfully uploaded cloud configuration"));
        WAIT_VERIFY(!popup("FUploadConfig_new")->property("visible").toBool());
        WAIT_VERIFY(!busy());
        QCOMPARE(requestsTo(kUpload), 2);
        QCOMPARE(requestsTo(kProfileSave), 1);
        QCOMPARE(requestsTo(kMacroSave), 1);
    }

    // Download: the cloud's profiles and macros land, the profile page lists them; a refused download, a broken
    // archive or Cancel change nothing.
    void downloads_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("cancel") << "cancel";
        QTest::newRow("refused") << "refused";
        QTest::newRow("hostile archive") << "hostile";
        QTest::newRow("success") << "success";
    }

    void downloads()
    {
        QFETCH(QString, mode);
        const QByteArray base = m_server->baseUrl().toUtf8();
        const QByteArray factory = readFileBytes(kFactory);
        const auto located = [](const QByteArray& path) {
            return LocalHttpServer::jsonReply("{\"code\":0,\"data\":{\"filePath\":\"" + path + "\"}}");
        };
        // Refused: the server turns the first question away (the login ran out).
        m_server->script(kMacroQuery, mode == "refused" ? LocalHttpServer::jsonReply(R"({"code":10011})")
                                                       : located(base + "/m.zip"));
        m_server->script(kProfileQuery, located(base + "/p.zip"));
        m_server->script("/m.zip", file(ArchiveFixtures::zip({{"Cloud macro.json", R"({"macroName":"Cloud macro","list":[]})"}})));
        // (The profile page lists a profile with its picture.)
        m_server->script("/p.zip", file(mode == "hostile"
                                            ? ArchiveFixtures::zip({{"Cloud.json", factory}, {"../x.json", factory}})
                                            : ArchiveFixtures::zip({{"Default configuration.json", factory},
                                                                    {"Cloud.json", factory},
                                                                    {"Cloud.png", readFileBytes(":/common/newUI/configPic1.png")}})));
        if (KAppModel::instance()->getNickname().isEmpty())
            loggedIn();
        WAIT_VERIFY(!busy());
        const QMap<QString, QByteArray> before = ArchiveFixtures::snapshot(profiles());
        const QMap<QString, QByteArray> macrosBefore = ArchiveFixtures::snapshot(ProgramFolders::macroRoot());
        const int queries = requestsTo(kMacroQuery);

        TipRecorder tips;
        open(12, "FDownloadConfig_new");
        click(in("FDownloadConfig_new", mode == "cancel" ? "cancel" : "send"));
        WAIT_VERIFY(!popup("FDownloadConfig_new")->property("visible").toBool());
        WAIT_VERIFY(!busy());
        if (mode == "success") {
            QVERIFY(tips.waitFor("Successfully downloaded cloud configuration"));
            QVERIFY(QFile::exists(profiles() + "/Cloud.json"));
            QVERIFY(QFile::exists(ProgramFolders::macroRoot() + "/Cloud macro.json"));
            QVERIFY(QMetaObject::invokeMethod(m_window, "updatewindow", Q_ARG(QVariant, 1)));
            WAIT_VERIFY(findItem(m_window, "card_Cloud"));
            return;
        }
        if (mode == "refused")
            QVERIFY(tips.waitFor("Login timeout"));
        if (mode == "hostile")
            QVERIFY(tips.waitFor("Failed to download device configuration file"));
        QCOMPARE(ArchiveFixtures::snapshot(profiles()), before);
        QVERIFY(!QFile::exists(profiles() + "/Cloud.json"));
        // A hostile profile archive comes after the macros, which are sound and stay.
        if (mode != "hostile")
            QCOMPARE(ArchiveFixtures::snapshot(ProgramFolders::macroRoot()), macrosBefore);
        QCOMPARE(requestsTo(kMacroQuery), queries + (mode == "cancel" ? 0 : 1));
    }
};

QTEST_MAIN(TestAccountPopups)
#include "tst_accountpopups.moc"
