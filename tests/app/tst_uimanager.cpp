#include "app/KAppManager.h"
#include "app/KResolution.h"
#include "app/KSystemTrayIcon.h"
#include "app/Trans.h"
#include "app/UIManager.h"
#include "app/KAppModel.h"
#include "online/KNetCommon.h"
#include "online/analytics/GAnalytics.h"
#include "online/analytics/HAnalytics.h"
#include "TestWait.h"

#include <QAction>
#include <QQmlApplicationEngine>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

// Plays the platform icon's activations.
class TrayIconTest
{
public:
    static void activate(KSystemTrayIcon& icon, QSystemTrayIcon::ActivationReason reason) { icon.activated(reason); }
};

// The UI manager: what it publishes to the documents, the main window, the tray and the language, and the
// scale and text metrics of the documents.
class TestUIManager : public QObject
{
    Q_OBJECT

private:
    UIManager* ui() const { return KAppManager::instance()->getUIManager(); }

    static QStringList actionTexts(KSystemTrayIcon& tray)
    {
        QStringList texts;
        for (QAction* action : tray.actions())
            texts << action->text();
        return texts;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        // The manager's construction starts the online check: keep its lookup on this machine.
        KNetCommon::setCheckHost(QStringLiteral("localhost"));
        // Usage reports, should any go, stay on this machine (a port nothing listens on).
        GAnalytics::setCollectUrl(QUrl(QStringLiteral("http://127.0.0.1:9/collect")));
        const int lookups = KNetCommon::instance()->lookupsStarted();
        QVERIFY(KAppManager::instance()->init());
        QCOMPARE(KNetCommon::instance()->lookupsStarted(), lookups + 1);
        QVERIFY(ui()->getEngine());
    }

    void cleanupTestCase() { KAppManager::instance()->shutdown(); }

    void beforeTheEngine()
    {
        UIManager manager;
        QVERIFY(!manager.getEngine());
        QVERIFY(!manager.load());
        QVERIFY(manager.initEngine());
        QVERIFY(manager.initEngine());
        QVERIFY(manager.getEngine());
    }

    // Every object the documents reach, under its name, before the main window loads.
    void contextProperties_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* name :
             {"g_uiManager", "g_resolution", "g_appModel", "g_dpiModel", "g_reportModel", "g_lightModel",
              "g_macroList", "h_configView", "h_macroName", "g_image", "g_keyModel", "g_keyList", "h_suspension", "h_macroType",
              "h_loaddialog", "f_oledModel", "h_warningdialog", "f_battreyModel", "h_analytics", "f_keyLightModel",
              "h_equipmentList", "f_trans", "g_common", "g_configFileController", "g_deviceCtl", "g_configCommon", "g_sysparameter",
              "g_updater", "h_httpDownload"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void contextProperties()
    {
        QFETCH(QString, name);
        QObject* object = ui()->getEngine()->rootContext()->contextProperty(name).value<QObject*>();
        QVERIFY2(object, qPrintable(name));
    }

    void contextPropertiesInOrder()
    {
        const QStringList names = UIManager::contextPropertyNames();
        QCOMPARE(names.first(), QStringLiteral("g_uiManager"));
        QCOMPARE(names.last(), QStringLiteral("h_equipmentList"));
        QCOMPARE(names.size(), names.toSet().size());
        QCOMPARE(KAppManager::contextPropertyNames(),
                 (QStringList{"g_common", "g_configFileController", "g_deviceCtl", "g_configCommon",
                              "g_sysparameter", "g_updater", "h_httpDownload"}));
    }

    void registeredTypes_data()
    {
        QTest::addColumn<QString>("module");
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("creatable");
        QTest::newRow("KLightModelItem") << "Model" << "KLightModelItem" << true;
        QTest::newRow("KMacroModel") << "Model" << "KMacroModel" << true;
        QTest::newRow("KMacroList") << "Model" << "KMacroList" << false;
        QTest::newRow("HConfigModel") << "Model" << "HConfigModel" << true;
        QTest::newRow("HConfigview") << "Model" << "HConfigview" << false;
        QTest::newRow("HMacroModel") << "Model" << "HMacroModel" << true;
        QTest::newRow("HMacroName") << "Model" << "HMacroName" << false;
        QTest::newRow("FPaintView") << "Model" << "FPaintView" << true;
        QTest::newRow("PaintLine") << "PaintLine" << "PaintLine" << true;
        QTest::newRow("HKeyModel") << "Model" << "HKeyModel" << true;
        QTest::newRow("HEquipmentModel") << "EquipmentModel" << "HEquipmentModel" << true;
        QTest::newRow("HEquipmentList") << "EquipmentModel" << "HEquipmentList" << false;
    }

    void registeredTypes()
    {
        QFETCH(QString, module);
        QFETCH(QString, type);
        QFETCH(bool, creatable);
        QQmlComponent component(ui()->getEngine());
        if (!creatable)
            QTest::ignoreMessage(QtWarningMsg, "QQmlComponent: Component is not ready");
        component.setData(QStringLiteral("import QtQuick 2.15\nimport %1 1.0\nItem { property var probe: %2 {} }")
                              .arg(module, type)
                              .toUtf8(),
                          QUrl(QStringLiteral("qrc:/probe.qml")));
        std::unique_ptr<QObject> object(component.create());
        QCOMPARE(bool(object), creatable);
        // Uncreatable, yet known to the module.
        if (!creatable)
            QVERIFY2(!component.errorString().contains(QStringLiteral("is not a type")), qPrintable(component.errorString()));
    }

    // The main window loads without a warning, shows itself on request and the program keeps running.
    void mainWindowLoads()
    {
        QQmlApplicationEngine* engine = ui()->getEngine();
        QStringList warnings;
        connect(engine, &QQmlEngine::warnings, this, [&warnings](const QList<QQmlError>& list) {
            for (const QQmlError& error : list)
                warnings << error.toString();
        });
        QVERIFY(KAppManager::instance()->start());
        WAIT_COMPARE(engine->rootObjects().size(), 1);
        auto* window = qobject_cast<QQuickWindow*>(engine->rootObjects().first());
        QVERIFY(window);
        QVERIFY(window->title().contains(QStringLiteral("Corvane")));
        ui()->hide();
        QVERIFY(!window->isVisible());
        KAppManager::instance()->messageReceived(QStringLiteral("Corvane_1.2.1"));
        QVERIFY(window->isVisible());
        QSignalSpy status(ui(), &UIManager::setWindowStatus);
        ui()->show();
        ui()->show();
        QCOMPARE(status.count(), 2);
        QVERIFY(window->isVisible());
        QTest::qWait(50);
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join('\n')));
    }

    void pictureMap()
    {
        const QVariantMap map = ui()->mouseMap();
        QCOMPARE(map.size(), 16);
        QCOMPARE(map.value("ZEPHRA").toString(), QStringLiteral("qrc:/common/newUI/Firm/sj_zephra.png"));
        QCOMPARE(ui()->mouseMap(), map);
    }

    void trayFollowsTheLanguage()
    {
        KSystemTrayIcon& tray = ui()->trayIcon();
        QCOMPARE(tray.actions().size(), 2);
        QAction* first = tray.actions().first();
        ui()->changeLanguage(QStringLiteral("zh"));
        QCOMPARE(tray.toolTip(), QStringLiteral("Corvane 正在运行..."));
        QCOMPARE(actionTexts(tray), (QStringList{"显示主窗口", "退出程序"}));
        QCOMPARE(tray.actions().first(), first);
        ui()->changeLanguage(QStringLiteral("en"));
        QCOMPARE(tray.toolTip(), QStringLiteral("Corvane Running..."));
        QCOMPARE(actionTexts(tray), (QStringList{"Display main window", "Exit procedure"}));
    }

    void trayClicks_data()
    {
        QTest::addColumn<int>("reason");
        QTest::addColumn<int>("shown");
        QTest::newRow("single click") << int(QSystemTrayIcon::Trigger) << 1;
        QTest::newRow("double click") << int(QSystemTrayIcon::DoubleClick) << 0;
        QTest::newRow("context") << int(QSystemTrayIcon::Context) << 0;
        QTest::newRow("middle") << int(QSystemTrayIcon::MiddleClick) << 0;
    }

    void trayClicks()
    {
        QFETCH(int, reason);
        QSignalSpy status(ui(), &UIManager::setWindowStatus);
        TrayIconTest::activate(ui()->trayIcon(), QSystemTrayIcon::ActivationReason(reason));
        QTEST(int(status.count()), "shown");
    }

    void trayEntriesRunTheirFunctions()
    {
        KSystemTrayIcon tray;
        QStringList ran;
        tray.addAction("One", [&ran](QString text) { ran << "1:" + text; }, QIcon());
        tray.addAction("Two", [&ran](QString text) { ran << "2:" + text; }, QIcon());
        tray.addAction("Three", [&ran](QString text) { ran << "3:" + text; }, QIcon());
        tray.retranslate({"Uno"});
        QCOMPARE(actionTexts(tray), (QStringList{"Uno", "Two", "Three"}));
        tray.retranslate({"A", "B", "C", "D"});
        QCOMPARE(actionTexts(tray), (QStringList{"A", "B", "C"}));
        tray.actions().at(1)->trigger();
        QCOMPARE(ran, QStringList{"2:B"});

        tray.startFlicker(1000);
        QVERIFY(tray.isFlickering());
        tray.hide();
        QVERIFY(!tray.isFlickering());
    }

    void exitEntryHidesTheIconAndEndsWithZero()
    {
        KSystemTrayIcon& tray = ui()->trayIcon();
        tray.show();
        // The event loop that the entry ends: its exit code is the program's.
        QTimer::singleShot(0, &tray, [&tray] { tray.actions().at(1)->trigger(); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(!tray.isVisible());
    }

    void scaleLengths_data()
    {
        QTest::addColumn<float>("factor");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("result");
        QTest::newRow("1.0") << 1.0f << 37 << 37;
        QTest::newRow("1.0 negative") << 1.0f << -37 << -37;
        QTest::newRow("0.6 x 15") << 0.6f << 15 << 9;
        QTest::newRow("0.7 x 7 truncates") << 0.7f << 7 << 4;
        QTest::newRow("0.65 x 10") << 0.65f << 10 << 6;
        QTest::newRow("0.65 x -10 toward zero") << 0.65f << -10 << -6;
        QTest::newRow("1.5 x 3") << 1.5f << 3 << 4;
    }

    void scaleLengths()
    {
        QFETCH(float, factor);
        QFETCH(int, length);
        KResolution resolution;
        resolution.setScale(factor);
        QTEST(resolution.getScaleLength(length), "result");
    }

    void textMetrics()
    {
        KResolution resolution;
        const int whole = resolution.getLabelWidth(QStringLiteral("abcd"), 1);
        QVERIFY(whole > 0);
        QCOMPARE(resolution.getLabelWidth(QStringLiteral("abcd"), 2), whole / 2);
        // No rows is measured as one row, never a division by zero.
        QCOMPARE(resolution.getLabelWidth(QStringLiteral("abcd"), 0), whole);
        QCOMPARE(resolution.getLabelHeight(QStringLiteral("abcd"), 3), 3 * resolution.getLabelHeight("abcd", 1));
        QCOMPARE(resolution.getLabelHeight(QStringLiteral("abcd"), 1, QStringLiteral("pixelSize"), 40),
                 resolution.getStringHeight_Pixel(QStringLiteral("abcd"), 40));
        QCOMPARE(resolution.getLabelWidth(QStringLiteral("abcd"), 1, QStringLiteral("pointSize"), 14),
                 resolution.getStringWidth(QStringLiteral("abcd"), 14));
        QVERIFY(resolution.getStringWidth_Pixel(QStringLiteral("abcd"), 40)
                > resolution.getStringWidth_Pixel(QStringLiteral("abcd"), 10));
    }

    // The manager's analytics follow the user's switch: off, nothing is set up or queued; switched on, the
    // tracker starts, a connected device names itself in the User-Agent and events are queued; off again,
    // events are dropped.
    void analyticsFollowTheSwitch()
    {
        KAppModel* model = KAppModel::instance();
        GAnalytics* tracker = analyticsInstance();
        model->setGAEnable(false, true);
        ui()->startAnalytics(QStringLiteral("ZEPHRA"));
        ui()->sendEvent(QStringLiteral("device_dpi"), QStringLiteral("dpivalue"), QStringLiteral("800"));
        QCOMPARE(tracker->trackingID(), QString());
        QCOMPARE(tracker->queuedHits(), 0);

        model->setGAEnable(true, true);
        QCOMPARE(tracker->trackingID(), QString(HAnalytics::kTrackingId));
        QCOMPARE(tracker->sendInterval(), GAnalytics::kStartedInterval);
        ui()->startAnalytics(QStringLiteral("ZEPHRA"));
        QVERIFY2(tracker->userAgent().contains(QLatin1String("_ZEPHRA/")), qPrintable(tracker->userAgent()));
        ui()->sendEvent(QStringLiteral("device_dpi"), QStringLiteral("dpivalue"), QStringLiteral("800"));
        QCOMPARE(tracker->queuedHits(), 1);

        model->setGAEnable(false, true);
        ui()->sendEvent(QStringLiteral("device_dpi"), QStringLiteral("dpivalue"), QStringLiteral("900"));
        QCOMPARE(tracker->queuedHits(), 1);
    }
};

QTEST_MAIN(TestUIManager)
#include "tst_uimanager.moc"
