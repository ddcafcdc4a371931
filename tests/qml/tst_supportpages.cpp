#include "app/HWarningDialog.h"
#include "app/KAppManager.h"
#include "app/KAppModel.h"
#include "app/UIManager.h"
#include "common/DeviceIds.h"
#include "devices/SimulatedModels.h"
#include "online/KNetBase.h"
#include "sim/SimulationSetup.h"

#include "LocalHttpServer.h"
#include "LogCapture.h"
#include "WindowTestSupport.h"
#include "TestWait.h"

#include <QJsonDocument>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QJsonObject>
#include <QQuickItem>
#include <QQuickWindow>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

using namespace WindowTestSupport;

namespace {

const QByteArray kVersionPath = "/v1/driver/version";

QByteArray versionReply(int code, const QString& version)
{
    return QJsonDocument(QJsonObject{{"code", code}, {"msg", code == 0 ? "ok" : "failed"},
                                     {"data", QJsonObject{{"downloadUrl", "http://127.0.0.1:1/x.bin"},
                                                          {"version", version}}}})
        .toJson(QJsonDocument::Compact);
}

bool busy(QObject* window)
{
    return isShown(window, "HLoadDialog_new");
}

bool click(QQuickWindow* window, QQuickItem* item)
{
    if (!item)
        return false;
    clickItem(window, item);
    return true;
}

// The types of the numbered popups open now.
QStringList openPopups(QObject* window)
{
    QStringList open;
    for (const QVariant& popup : window->property("mPopups").toList()) {
        QObject* object = popup.value<QObject*>();
        if (object && object->property("visible").toBool())
            open << typeOf(object);
    }
    return open;
}

void closePopups(QObject* window)
{
    for (const QVariant& popup : window->property("mPopups").toList()) {
        if (QObject* object = popup.value<QObject*>())
            QMetaObject::invokeMethod(object, "close");
    }
}

} // namespace

// The support page, the personal centre and the device popups in the real window on the simulated keyboard,
// against a local web server.
class TestSupportPages : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<LogCapture> m_log;
    std::unique_ptr<LocalHttpServer> m_server;
    QQuickWindow* m_window = nullptr;

    QObject* popup(const QString& name) const { return findObject(m_window, name); }
    QQuickItem* item(const QString& name) const { return findItem(m_window, name); }
    QQuickItem* itemIn(const QString& page, const QString& name) const
    {
        return findItem(findItem(m_window, page), name);
    }
    QString appVersion() const
    {
        QString version;
        QMetaObject::invokeMethod(contextObject("g_common"), "getAppVersion", Q_RETURN_ARG(QString, version));
        return version;
    }
    void showPage(const QString& name, int number)
    {
        QVERIFY(QMetaObject::invokeMethod(m_window, "updatewindow", Q_ARG(QVariant, number)));
        WAIT_VERIFY(item(name)->isVisible());
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_server = std::make_unique<LocalHttpServer>();
        // The silent check at start gets a failure: it must show nothing.
        m_server->scriptJson(kVersionPath, versionReply(1, QString()));
        KNetBase::setApiBase(m_server->baseUrl());
        qputenv("CORVANE_SIMULATE", "ZEPHRA");
        QVERIFY(setupSimulationFromEnvironment());
        useSimulatedModels(simulatedProductIds());
        m_log = std::make_unique<LogCapture>();
        m_window = startMainWindow();
        QVERIFY(m_window);
        WAIT_VERIFY(item("pageArea")->isVisible());
        WAIT_VERIFY(m_server->requests().size() >= 1);
        WAIT_VERIFY(!busy(m_window));
        QVERIFY2(openPopups(m_window).isEmpty(), qPrintable(openPopups(m_window).join(' ')));
    }

    void cleanupTestCase()
    {
        m_window = nullptr;
        const QStringList faults = stopProgram(*m_log);
        m_log.reset();
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    void cleanup()
    {
        if (m_window)
            closePopups(m_window);
        QVERIFY2(qmlFaults(*m_log).isEmpty(), qPrintable(qmlFaults(*m_log).join('\n')));
    }

    // "Check for updates" asks the server; the answer opens the popup it calls for, or a failure tip.
    void programVersionAnswers_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("current");
        QTest::addColumn<QString>("popup");
        QTest::newRow("current") << 0 << true << "HCheckSoftware_new";
        QTest::newRow("newer") << 0 << false << "HVersionUpdate_new";
        QTest::newRow("server error") << 1 << false << QString();
    }

    void programVersionAnswers()
    {
        QFETCH(int, code);
        QFETCH(bool, current);
        QFETCH(QString, popup);
        showPage("page8", 8);
        m_server->scriptJson(kVersionPath, versionReply(code, current ? appVersion() : QString("99.0.0")));
        const int before = m_server->requests().size();
        QVERIFY(click(m_window, itemIn("page8", "checkSoftware")));
        WAIT_COMPARE(m_server->requests().size(), before + 1);
        if (popup.isEmpty()) {
            // The tip may still hold "Failed" from an earlier answer, or show another tip first: wait for this
            // answer's tip to be the one shown.
            QQuickItem* tip = item("suspension");
            WAIT_VERIFY(tip->isVisible() && tip->property("mText").toString() == QString("Failed"));
            QCOMPARE(tip->property("mStyle").toInt(), 1);
            QTest::qWait(100);
            QCOMPARE(openPopups(m_window), QStringList());
        } else {
            WAIT_COMPARE(openPopups(m_window), QStringList{popup});
        }
        WAIT_VERIFY(!busy(m_window));
    }

    // The firmware check asks the server for the device's firmware and compares the answer with the device's
    // own version; it is offered only for a wireless device, and the simulated keyboard is wired. An answer
    // the page did not ask for opens nothing.
    void firmwareVersionAnswers()
    {
        showPage("page8", 8);
        QQuickItem* page = item("page8");
        QVERIFY(!itemIn("page8", "checkFirmware")->isVisible());
        const QString deviceVersion = contextObject("g_image")->property("deviceVersion").toString();
        QVERIFY(QMetaObject::invokeMethod(contextObject("g_updater"), "sigReturnVersion", Q_ARG(int, 0),
                                          Q_ARG(QString, "ok"), Q_ARG(QString, "9.9.9"), Q_ARG(QString, QString())));
        QTest::qWait(100);
        QCOMPARE(openPopups(m_window), QStringList());

        m_server->scriptJson(kVersionPath, versionReply(0, deviceVersion));
        QVERIFY(QMetaObject::invokeMethod(page, "checkFirmware"));
        WAIT_COMPARE(openPopups(m_window), QStringList{"HCheckFirmware_new"});
        WAIT_VERIFY(!busy(m_window));
        closePopups(m_window);
        m_server->scriptJson(kVersionPath, versionReply(0, deviceVersion + "1"));
        QVERIFY(QMetaObject::invokeMethod(page, "checkFirmware"));
        WAIT_COMPARE(openPopups(m_window), QStringList{"HFirmwareUpdate_new"});
        WAIT_VERIFY(!busy(m_window));
    }

    // The language switch retranslates the pages and the tray at once, and moves itself.
    void languageSwitch()
    {
        showPage("page8", 8);
        QQuickItem* languageSwitch = itemIn("page8", "languageSwitch");
        UIManager* ui = KAppManager::instance()->getUIManager();
        QVERIFY(click(m_window, findItem(languageSwitch, "language_zh")));
        WAIT_COMPARE(KAppModel::instance()->getLanguage(), QString("zh"));
        QVERIFY(languageSwitch->property("mChinese").toBool());
        QCOMPARE(itemIn("page8", "restoreFactory")->property("mTextName").toString(), QString("恢复出厂设置"));
        QCOMPARE(ui->trayIcon().toolTip(), QString("Corvane 正在运行..."));
        QVERIFY(click(m_window, findItem(languageSwitch, "language_en")));
        WAIT_COMPARE(KAppModel::instance()->getLanguage(), QString("en"));
        QVERIFY(!languageSwitch->property("mChinese").toBool());
        QCOMPARE(itemIn("page8", "restoreFactory")->property("mTextName").toString(),
                 QString("Restore factory settings"));
        QCOMPARE(ui->trayIcon().toolTip(), QString("Corvane Running..."));
    }

    // The password change checks in order and sends nothing on the first failure; a valid change is sent.
    void passwordChangeOrder_data()
    {
        QTest::addColumn<QString>("oldPassword");
        QTest::addColumn<QString>("newPassword");
        QTest::addColumn<QString>("repeated");
        QTest::addColumn<QString>("tip");
        QTest::newRow("mismatch before short") << "old" << "abc" << "abd"
                                               << "The passwords entered twice are inconsistent";
        QTest::newRow("five characters") << "oldpass" << "abcde" << "abcde"
                                         << "The password you entered is too short. The password must be at "
                                            "least 6 digits long";
        QTest::newRow("same as old") << "secret1" << "secret1" << "secret1"
                                     << "Old and new passwords cannot be the same";
        QTest::newRow("empty old") << "" << "secret2" << "secret2" << "The input field cannot be empty";
    }

    void passwordChangeOrder()
    {
        QFETCH(QString, oldPassword);
        QFETCH(QString, newPassword);
        QFETCH(QString, repeated);
        QFETCH(QString, tip);
        KAppModel::instance()->setToken("token");
        showPage("page9", 9);
        itemIn("page9", "oldPassword")->setProperty("text", oldPassword);
        itemIn("page9", "newPassword")->setProperty("text", newPassword);
        itemIn("page9", "repeatPassword")->setProperty("text", repeated);
        const int before = m_server->requests().size();
        QVERIFY(click(m_window, itemIn("page9", "savePassword")));
        QQuickItem* label = itemIn("page9", "passwordTip");
        WAIT_VERIFY(label->isVisible());
        QCOMPARE(label->property("text").toString(), tip);
        QTest::qWait(200);
        QCOMPARE(m_server->requests().size(), before);
        QVERIFY(!busy(m_window));
    }

    // A blank cannot be typed into a password; a refused change shows the server's message and empties all.
    void passwordSentAndRefused()
    {
        showPage("page9", 9);
        QVERIFY(click(m_window, itemIn("page9", "cancelPassword")));
        QQuickItem* oldField = itemIn("page9", "oldPassword");
        QCOMPARE(oldField->property("text").toString(), QString());
        oldField->forceActiveFocus();
        for (char c : QByteArray("a b"))
            QTest::keyClick(m_window, c);
        QCOMPARE(oldField->property("text").toString(), QString("ab"));
        itemIn("page9", "newPassword")->setProperty("text", "secret2");
        itemIn("page9", "repeatPassword")->setProperty("text", "secret2");
        m_server->scriptJson("/v1/user/updatePassword", QByteArray(R"({"code":10007,"msg":"same"})"));
        const int before = m_server->requests().size();
        QVERIFY(click(m_window, itemIn("page9", "savePassword")));
        WAIT_COMPARE(m_server->requests().size(), before + 1);
        WAIT_VERIFY(!busy(m_window));
        WAIT_COMPARE(itemIn("page9", "passwordTip")->property("text").toString(),
                     QString("The old and new passwords are the same."));
        QCOMPARE(oldField->property("text").toString(), QString());
        QCOMPARE(itemIn("page9", "newPassword")->property("text").toString(), QString());
    }

    // The device controller's signals open their popups; the wireless keyboard's id asks for the cable.
    void deviceControllerOpensPopups()
    {
        QObject* controller = contextObject("g_deviceCtl");
        QVERIFY(QMetaObject::invokeMethod(controller, "needUpdateFirmware"));
        WAIT_COMPARE(openPopups(m_window), QStringList{"HFirmwareUpdate_new"});
        closePopups(m_window);

        QObject* notice = popup("systemNotice");
        QVERIFY(QMetaObject::invokeMethod(controller, "sig_showSystemNotice"));
        WAIT_VERIFY(notice->property("visible").toBool());
        QMetaObject::invokeMethod(notice, "close");

        QObject* choice = popup("selectEquipment");
        QVERIFY(QMetaObject::invokeMethod(controller, "sig_showSelectEquipment", Q_ARG(bool, true)));
        WAIT_VERIFY(choice->property("visible").toBool());
        QVERIFY(QMetaObject::invokeMethod(controller, "sig_showSelectEquipment", Q_ARG(bool, false)));
        WAIT_VERIFY(!choice->property("visible").toBool());

        QVERIFY(QMetaObject::invokeMethod(controller, "sig_selectEquipment",
                                          Q_ARG(int, int(DeviceIds::kKeyboardWireless)), Q_ARG(bool, true)));
        QQuickItem* cable = item("cableTip");
        WAIT_COMPARE(cable->property("mText").toString(),
                     QString("Please insert the USB cable to use the driver normally"));
        // The device in use stays.
        QCOMPARE(controller->property("online").toBool(), true);
    }

    // A device that could not be opened: the warning says which and why instead of the wake-up advice, and
    // "OK" closes it; the next warning is the wake-up one again.
    void openFailureIsShown()
    {
        auto* warnings = qobject_cast<HWarningDialog*>(contextObject("h_warningdialog"));
        QVERIFY(warnings);
        const QString message = "ZEPHRA could not be opened: Permission denied. Unplug the device and plug it in again.";
        warnings->showOpenFailure(message);
        QTRY_COMPARE(openPopups(m_window), QStringList{"FAwakenMosue"});
        QQuickItem* text = item("warningText");
        QVERIFY(text && text->isVisible());
        QCOMPARE(text->property("text").toString(), message);
        QVERIFY(!item("awakened")->isVisible());
        QVERIFY(!item("awakenFailed")->isVisible());
        QVERIFY(click(m_window, item("openFailureOk")));
        QTRY_COMPARE(openPopups(m_window), QStringList());
        QCOMPARE(warnings->openFailure(), QString());
        QVERIFY(text->property("text").toString() != message);
    }

    // A sleeping mouse: the warning, its failure advice and the pairing dialog, one after the other.
    void wakingLeadsToPairing()
    {
        QObject* warnings = contextObject("h_warningdialog");
        QVERIFY(QMetaObject::invokeMethod(warnings, "sig_startWarning"));
        WAIT_COMPARE(openPopups(m_window), QStringList{"FAwakenMosue"});
        QVERIFY(click(m_window, item("awakenFailed")));
        WAIT_COMPARE(openPopups(m_window), QStringList{"FAwakenFail"});
        QVERIFY(click(m_window, item("pair")));
        QQuickItem* pairing = nullptr;
        for (QQuickItem* candidate : findItems(m_window, "pairStart"))
            pairing = candidate;
        WAIT_VERIFY(pairing && pairing->isVisible());
        WAIT_COMPARE(openPopups(m_window), QStringList());

        // The receiver's answer: a failure asks to repeat the steps, a success opens its notice.
        QObject* receiver = findOfType(m_window, "FPairing");
        QVERIFY(receiver);
        QVERIFY(QMetaObject::invokeMethod(receiver, "sigFinishState", Q_ARG(bool, false)));
        WAIT_VERIFY(item("pairingFailed")->isVisible());
        QVERIFY(pairing->isVisible());
        QVERIFY(QMetaObject::invokeMethod(receiver, "sigFinishState", Q_ARG(bool, true)));
        WAIT_COMPARE(openPopups(m_window), QStringList{"FPairngSuccess_new"});
        QVERIFY(!pairing->isVisible());
        closePopups(m_window);

        // Closing the dialog hides it.
        QVERIFY(QMetaObject::invokeMethod(m_window, "showRectangle", Q_ARG(QVariant, 3)));
        WAIT_VERIFY(pairing->isVisible());
        QVERIFY(!item("pairingFailed")->isVisible());
        QVERIFY(click(m_window, item("pairClose")));
        WAIT_VERIFY(!pairing->isVisible());
    }

    // A firmware update that fails at the device is told as such, not as a network fault.
    void firmwareFailureIsNotANetworkError_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("flash failed") << 2 << "Firmware upgrade failed, please re-plug the device and try again";
        QTest::newRow("download failed") << 3 << "Network connection error, please try later";
    }

    void firmwareFailureIsNotANetworkError()
    {
        QFETCH(int, code);
        QFETCH(QString, text);
        QObject* restore = popup("firmwareRestore");
        QMetaObject::invokeMethod(restore, "open");
        WAIT_VERIFY(restore->property("visible").toBool());
        QObject* update = nullptr;
        for (QObject* child : restore->findChildren<QObject*>()) {
            if (typeOf(child) == "FUpdateGFirmWare")
                update = child;
        }
        QVERIFY(update);
        restore->setProperty("mUpdating", true);
        QVERIFY(QMetaObject::invokeMethod(update, "sigUpdateRequest", Q_ARG(int, code)));
        WAIT_COMPARE(restore->property("mFailure").toString(), text);
        QVERIFY(!restore->property("mUpdating").toBool());
        QVERIFY(restore->property("visible").toBool());
        QVERIFY(QMetaObject::invokeMethod(update, "sigUpdateRequest", Q_ARG(int, 0)));
        WAIT_VERIFY(!restore->property("visible").toBool());
        WAIT_VERIFY(popup("firmwareSuccess")->property("visible").toBool());
    }
};

QTEST_MAIN(TestSupportPages)
#include "tst_supportpages.moc"
