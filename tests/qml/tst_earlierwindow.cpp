#include "app/KAppManager.h"
#include "app/UIManager.h"
#include "online/KNetBase.h"

#include "LocalHttpServer.h"
#include "LogCapture.h"
#include "WindowTestSupport.h"
#include "TestWait.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQmlApplicationEngine>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

using namespace WindowTestSupport;

// The earlier main window, made once with the program's own context properties: its whole tree resolves
// without a QML fault, every popup number opens its own popup, the account forms check their input before
// anything is sent, the password recovery carries the mailbox and the code from step to step against a local
// server, and the firmware restoration writes nothing before a model was chosen and confirmed.
class TestEarlierWindow : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<LogCapture> m_log;
    std::unique_ptr<LocalHttpServer> m_server;
    std::unique_ptr<QObject> m_root;
    QQuickWindow* m_window = nullptr;
    QString m_apiBase;

    QObject* context(const char* name) const
    {
        return KAppManager::instance()->getUIManager()->getEngine()->rootContext()->contextProperty(name)
            .value<QObject*>();
    }

    QObject* popup(const QString& type) const { return findOfType(m_window, type); }
    bool shown(const QString& type) const { return isShown(m_window, type); }

    void openPopup(int number)
    {
        QVERIFY(QMetaObject::invokeMethod(m_window, "mGeter", Q_ARG(QVariant, number)));
    }

    void click(const QString& type, const QString& name)
    {
        QQuickItem* item = findItem(popup(type), name);
        QVERIFY2(item, qPrintable(type + ": no " + name));
        WAIT_VERIFY(item->isVisible() && item->isEnabled());
        clickItem(m_window, item);
    }

    void type(const QString& popupType, const QString& field, const QString& text)
    {
        QQuickItem* item = findItem(popup(popupType), field);
        QVERIFY2(item, qPrintable(popupType + ": no field " + field));
        item->setProperty("text", text);
    }

    QString error(const QString& type) const
    {
        QQuickItem* item = findItem(popup(type), "error");
        return item ? item->property("text").toString() : QStringLiteral("<no error text>");
    }

    QString apiPath(KNetBase::ApiType id) const { return QUrl(KNetBase::apiUrl(id)).path(); }

    static QJsonObject body(const LocalHttpServer::Request& request)
    {
        return QJsonDocument::fromJson(request.body).object();
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_server = std::make_unique<LocalHttpServer>();
        m_apiBase = KNetBase::apiBase();
        KNetBase::setApiBase(m_server->baseUrl());
        m_log = std::make_unique<LogCapture>();
        QVERIFY(KAppManager::instance()->init());
        QQmlApplicationEngine* engine = KAppManager::instance()->getUIManager()->getEngine();
        QQmlComponent component(engine, QUrl("qrc:/windows/KWindowMain.qml"));
        QVERIFY2(component.isReady(), qPrintable(component.errorString()));
        m_root.reset(component.create(engine->rootContext()));
        QVERIFY2(m_root, qPrintable(component.errorString()));
        m_window = qobject_cast<QQuickWindow*>(m_root.get());
        QVERIFY(m_window);
        QVERIFY(QTest::qWaitForWindowExposed(m_window, TestWait::kBoundMs));
        QCoreApplication::processEvents();
        QVERIFY2(qmlFaults(*m_log).isEmpty(), qPrintable(qmlFaults(*m_log).join('\n')));
    }

    void cleanupTestCase()
    {
        m_root.reset();
        // The window's items hand some of their parts (a canvas's drawing surface and painter) to deleteLater;
        // no event loop runs after the last test, so they are deleted here.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        KAppManager::instance()->shutdown();
        KNetBase::setApiBase(m_apiBase);
        const QStringList faults = qmlFaults(*m_log);
        // The capture hands the log back to the test's handler while the test still logs.
        m_log.reset();
        m_server.reset();
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    void cleanup()
    {
        for (int number = 1; number <= 28; ++number) {
            QVariant popupObject = m_window->property("mPopups").toList().value(number);
            if (QObject* object = popupObject.value<QObject*>())
                QMetaObject::invokeMethod(object, "close");
        }
    }

    // Every part the window is made of is there, made from its own document.
    void treeResolves_data()
    {
        QTest::addColumn<QString>("part");
        QTest::addColumn<QString>("path");
        QTest::newRow("top bar") << "KWidgetTop" << ":/common/KWidgetTop.qml";
        QTest::newRow("navigation bar") << "KNavigationBar" << ":/common/KNavigationBar.qml";
        QTest::newRow("bottom bar") << "KWidgetBottom" << ":/common/KWidgetBottom.qml";
        QTest::newRow("floating tip") << "Hsuspension" << ":/control/Hsuspension.qml";
        QTest::newRow("start page") << "KPageIndex" << ":/page/KPageIndex.qml";
        QTest::newRow("lighting page") << "KPageLight" << ":/page/KPageLight.qml";
        QTest::newRow("macro page") << "KPageMacro" << ":/page/KPageMacro.qml";
        QTest::newRow("personal page") << "KPageMine" << ":/page/KPageMine.qml";
        QTest::newRow("support page") << "KPageSupport" << ":/page/KPageSupport.qml";
    }

    void treeResolves()
    {
        QFETCH(QString, part);
        QFETCH(QString, path);
        QVERIFY2(QFile::exists(path), qPrintable(path));
        QVERIFY2(findOfType(m_window, part), qPrintable(part + " was not made"));
    }

    void popupNumbers_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("type");
        const QStringList types = {"HLogin", "HRegister", "HForgetPassword", "HChecking", "HResetPassword",
                                   "HResetSuccess", "HRegisterSuccess", "HNotReceived", "HPleaseLogin", "HLogout",
                                   "HUploadConfig", "HDownloadConfig", "HCheckSoftware", "HCheckFirmware",
                                   "HRestoreSetting", "HModifyPassword", "HVersionUpdate", "HFirmwareUpdate",
                                   "HFirmwareRestore", "HWarningTips", "HWarningDialog", "FPairingInterface",
                                   "FPairingSuccess", "FPairingInterface2", "FPairingError", "HSelectMouseConfig",
                                   "FFirmwareConfiration", "HProgressBar"};
        for (int i = 0; i < types.size(); ++i)
            QTest::newRow(qPrintable(types.at(i))) << i + 1 << types.at(i);
    }

    // Popup n opens alone: the one open before it closes.
    void popupNumbers()
    {
        QFETCH(int, number);
        QFETCH(QString, type);
        const QString before = number == 1 ? "HRegister" : "HLogin";
        openPopup(number == 1 ? 2 : 1);
        WAIT_VERIFY(shown(before));
        openPopup(number);
        WAIT_VERIFY(shown(type));
        WAIT_VERIFY(!shown(before));
    }

    void accountFormsRefuseBadInput_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QVariantMap>("fields");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("message");
        const QString empty = "The input field cannot be empty";
        const QString mailbox = "The mailbox format is incorrect, please re-enter";
        const QString tooShort = "The password you entered is too short. The password must be at least 6 digits long";
        const QString twice = "The passwords entered twice are inconsistent";
        QTest::newRow("log-in without password")
            << 1 << "HLogin" << QVariantMap{{"email", "a.b@example.com"}, {"password", ""}} << "login" << empty;
        QTest::newRow("log-in, one-letter top-level domain")
            << 1 << "HLogin" << QVariantMap{{"email", "ab@example.c"}, {"password", "secret1"}} << "login"
            << mailbox;
        QTest::newRow("log-in, no dot in the domain")
            << 1 << "HLogin" << QVariantMap{{"email", "ab@example"}, {"password", "secret1"}} << "login" << mailbox;
        QTest::newRow("log-in, five-character password")
            << 1 << "HLogin" << QVariantMap{{"email", "a.b@mail.example.com"}, {"password", "12345"}} << "login"
            << tooShort;
        QTest::newRow("register, name of eight bytes")
            << 2 << "HRegister"
            << QVariantMap{{"name", "abcdefgh"}, {"email", "a@example.com"}, {"password", "secret1"},
                           {"repeat", "secret1"}}
            << "register" << "Name (maximum length 7 bytes)";
        QTest::newRow("register, three characters of nine bytes")
            << 2 << "HRegister"
            << QVariantMap{{"name", QString::fromUtf8("名字长")}, {"email", "a@example.com"},
                           {"password", "secret1"}, {"repeat", "secret1"}}
            << "register" << "Name (maximum length 7 bytes)";
        QTest::newRow("register, passwords differ")
            << 2 << "HRegister"
            << QVariantMap{{"name", "abc"}, {"email", "a@example.com"}, {"password", "secret1"},
                           {"repeat", "secret2"}}
            << "register" << twice;
        QTest::newRow("forgotten password, no mailbox")
            << 3 << "HForgetPassword" << QVariantMap{{"email", ""}} << "send" << empty;
        QTest::newRow("forgotten password, no @")
            << 3 << "HForgetPassword" << QVariantMap{{"email", "example.com"}} << "send" << mailbox;
        QTest::newRow("code entry, no code") << 4 << "HChecking" << QVariantMap{{"code", ""}} << "verify" << empty;
        QTest::newRow("new password, too short")
            << 5 << "HResetPassword" << QVariantMap{{"password", "abc"}, {"repeat", "abc"}} << "finish" << tooShort;
    }

    // A form with a broken rule says which and sends nothing.
    void accountFormsRefuseBadInput()
    {
        QFETCH(int, number);
        QFETCH(QString, type);
        QFETCH(QVariantMap, fields);
        QFETCH(QString, button);
        QFETCH(QString, message);
        const int requests = m_server->requests().size();
        openPopup(number);
        WAIT_VERIFY(shown(type));
        for (auto it = fields.cbegin(); it != fields.cend(); ++it)
            this->type(type, it.key(), it.value().toString());
        click(type, button);
        WAIT_COMPARE(error(type), message);
        QTest::qWait(50);
        QCOMPARE(m_server->requests().size(), requests);
        QVERIFY(shown(type));
    }

    // The log-in stores the session, says so, and shows the personal page.
    void loginSucceeds()
    {
        m_server->scriptJson(apiPath(KNetBase::Login).toUtf8(), R"({"code":0,"data":{"nickname":"Nell"}})",
                             {qMakePair(QByteArray("Authorization"), QByteArray("tok-1"))});
        QSignalSpy tips(context("h_suspension"), SIGNAL(sigShowTips(int, QString)));
        openPopup(1);
        WAIT_VERIFY(shown("HLogin"));
        type("HLogin", "email", "nell.b@mail.example.com");
        type("HLogin", "password", "secret1");
        click("HLogin", "login");
        WAIT_VERIFY(!shown("HLogin"));
        QCOMPARE(body(m_server->requests().constLast()).value("email").toString(), "nell.b@mail.example.com");
        QCOMPARE(context("g_appModel")->property("nickname").toString(), "Nell");
        WAIT_COMPARE(tips.count(), 1);
        QCOMPARE(tips.first().at(1).toString(), "Login succeeded");
        QCOMPARE(m_window->property("mRecord").toInt(), QFile::exists(":/page/KPageMine.qml") ? 5 : 1);
    }

    // Three requests, one dialog each: the mailbox of the first step and the code of the second reach the last,
    // whose success ends the stored session and leads to the log-in.
    void passwordRecoveryCarriesMailboxAndCode()
    {
        m_server->scriptJson(apiPath(KNetBase::FindPassword).toUtf8(), R"({"code":0})");
        m_server->scriptJson(apiPath(KNetBase::ValidatePassword).toUtf8(), R"({"code":0})");
        m_server->scriptJson(apiPath(KNetBase::NewPassword).toUtf8(), R"({"code":0})");
        const int before = m_server->requests().size();

        openPopup(3);
        WAIT_VERIFY(shown("HForgetPassword"));
        type("HForgetPassword", "email", "nell@example.com");
        click("HForgetPassword", "send");
        WAIT_VERIFY(shown("HChecking"));
        QVERIFY(!shown("HForgetPassword"));
        QCOMPARE(popup("HChecking")->property("mEmail").toString(), "nell@example.com");

        type("HChecking", "code", "4711");
        click("HChecking", "verify");
        WAIT_VERIFY(shown("HResetPassword"));
        type("HResetPassword", "password", "secret2");
        type("HResetPassword", "repeat", "secret2");
        click("HResetPassword", "finish");
        WAIT_VERIFY(shown("HResetSuccess"));

        const QList<LocalHttpServer::Request> requests = m_server->requests().mid(before);
        QCOMPARE(requests.size(), 3);
        QCOMPARE(QString(requests.at(0).path), apiPath(KNetBase::FindPassword));
        QCOMPARE(QString(requests.at(2).path), apiPath(KNetBase::NewPassword));
        const QByteArray all = requests.at(1).body + requests.at(2).body;
        QVERIFY2(all.contains("nell@example.com") && all.contains("4711"), all.constData());
        QVERIFY(requests.at(2).body.contains("secret2"));

        click("HResetSuccess", "ok");
        WAIT_VERIFY(shown("HLogin"));
        QCOMPARE(context("g_appModel")->property("token").toString(), QString());
    }

    // The bars ask the window: the top bar's log-in while signed out, the bottom bar's factory reset.
    void barsOpenTheirPopups()
    {
        QVERIFY(context("g_appModel")->property("token").toString().isEmpty());
        QQuickItem* user = findItem(findOfType(m_window, "KWidgetTop"), "user");
        QVERIFY(user);
        clickItem(m_window, user);
        WAIT_VERIFY(shown("HLogin"));

        // Without a device the equipment notice lies over the bottom bar: its signal stands for the click.
        QObject* bottom = findOfType(m_window, "KWidgetBottom");
        QVERIFY(bottom);
        QVERIFY(QMetaObject::invokeMethod(bottom, "restoreClicked"));
        WAIT_VERIFY(shown("HRestoreSetting"));
        QVERIFY(!shown("HLogin"));
    }

    // "Upgrade" without a model only asks for one; with one it asks for the confirmation, and a wrong choice
    // leads back to the model choice with the model kept. Nothing is started meanwhile.
    void firmwareRestoreNeedsConfirmedModel()
    {
        QSignalSpy tips(context("h_suspension"), SIGNAL(sigShowTips(int, QString)));
        openPopup(19);
        WAIT_VERIFY(shown("HFirmwareRestore"));
        click("HFirmwareRestore", "upgrade");
        WAIT_COMPARE(tips.count(), 1);
        QCOMPARE(tips.first().at(1).toString(), "Please select the mouse model before clicking upgrade");
        QVERIFY(shown("HFirmwareRestore"));
        QVERIFY(!shown("FFirmwareConfiration"));

        click("HFirmwareRestore", "model_Edris");
        QCOMPARE(popup("HFirmwareRestore")->property("mModel").toString(), "Edris");
        click("HFirmwareRestore", "upgrade");
        WAIT_VERIFY(shown("FFirmwareConfiration"));
        QVERIFY(!shown("HFirmwareRestore"));
        click("FFirmwareConfiration", "wrongChoice");
        WAIT_VERIFY(shown("HFirmwareRestore"));
        QCOMPARE(popup("HFirmwareRestore")->property("mModel").toString(), "Edris");
        QVERIFY(!popup("HFirmwareRestore")->property("mUpdating").toBool());
    }

    // The program's busy indicator and device warning reach this window's own popups.
    void feedbackObjectsReachTheWindow()
    {
        QVERIFY(QMetaObject::invokeMethod(context("h_loaddialog"), "startLoading"));
        WAIT_VERIFY(shown("HLoadDialog"));
        QVERIFY(QMetaObject::invokeMethod(context("h_loaddialog"), "stopLoading"));
        WAIT_VERIFY(!shown("HLoadDialog"));

        QVERIFY(QMetaObject::invokeMethod(context("h_warningdialog"), "sig_startWarning"));
        WAIT_VERIFY(shown("HWarningDialog"));
        click("HWarningDialog", "awakenFailed");
        WAIT_VERIFY(shown("HWarningTips"));
        QVERIFY(!shown("HWarningDialog"));
    }
};

QTEST_MAIN(TestEarlierWindow)
#include "tst_earlierwindow.moc"
