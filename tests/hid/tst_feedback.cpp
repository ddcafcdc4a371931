#include "CoreTestDevice.h"
#include "app/KAppManager.h"
#include "app/UIManager.h"
#include "app/HLoadDialog.h"
#include "app/HSuspension.h"
#include "app/HWarningDialog.h"
#include "common/DeviceIds.h"
#include "hid/HDeviceManager.h"
#include "models/device/KImageModel.h"
#include "RecordingServices.h"
#include "TestWait.h"

#include <QSignalSpy>
#include <QtTest>

// The busy indicator, the tip queue and the device warning: what the main window is told to show.
class TestFeedback : public QObject
{
    Q_OBJECT

private:
    // Plays the end of a tip's time without waiting for it.
    static void expire(QObject* object) { QMetaObject::invokeMethod(object, "TimerTimeOut"); }

    static QStringList shown(const QSignalSpy& spy)
    {
        QStringList list;
        for (const QList<QVariant>& args : spy)
            list << QStringLiteral("%1:%2").arg(args.at(0).toInt()).arg(args.at(1).toString());
        return list;
    }

    void unplugAll()
    {
        HDeviceManager* registry = HDeviceManager::instance();
        for (int pid : {1, int(DeviceIds::kKeyboardWired), int(DeviceIds::kReceiver)}) {
            if (KBaseDevice* device = registry->getDevice(pid))
                device->setRemoved(true);
        }
        registry->slot_destoryDevice();
        WAIT_COMPARE(CoreTestDevice::liveCount(), 0);
    }

private slots:
    // The program this test started goes before the application object does (its engine needs it).
    void cleanupTestCase() { KAppManager::instance()->shutdown(); }

    void initTestCase()
    {
        HDeviceManager::instance()->setFactory([](int pid) { return new CoreTestDevice(pid); });
    }

    void cleanup() { unplugAll(); }

    // Program code reaches these services only through the managers: after the start-up step none is
    // missing, and a second start-up step hands out the same objects.
    void servicesReachableAfterStartUp()
    {
        KAppManager* app = KAppManager::instance();
        QVERIFY(app->init());
        UIManager* ui = app->getUIManager();
        QVERIFY(ui);
        QVERIFY(app->getConfigFileController());
        QVERIFY(ui->getLoadDialog() && ui->getSuspension() && ui->getWarningDialog() && ui->getAnalytics());
        HLoadDialog* loading = ui->getLoadDialog();
        QVERIFY(app->init());
        QCOMPARE(app->getUIManager(), ui);
        QCOMPARE(ui->getLoadDialog(), loading);
    }

    void overlappingLoadsCloseWithTheLast()
    {
        HLoadDialog dialog;
        QSignalSpy stopped(&dialog, &HLoadDialog::sigStopLoading);
        const int before = HLoadDialog::openRequests();
        dialog.startLoading(2000);
        dialog.startLoading(2000);
        dialog.stopLoading();
        QCOMPARE(stopped.count(), 0);
        dialog.stopLoading();
        QCOMPARE(stopped.count(), 1);
        QCOMPARE(HLoadDialog::openRequests(), before);
    }

    // A start without its stop closes by the timer and leaves the count one higher; a later pair then
    // closes by its timer too.
    // A request whose stop never comes is closed by its timer and no longer counts: the next pair of start
    // and stop closes its overlay at once, and stops without a start never take the count below 0.
    void forgottenStopClosesByTimer()
    {
        HLoadDialog dialog;
        QSignalSpy started(&dialog, &HLoadDialog::sigStartLoading);
        QSignalSpy stopped(&dialog, &HLoadDialog::sigStopLoading);
        dialog.startLoading(20);
        WAIT_COMPARE(stopped.count(), 1);
        QCOMPARE(HLoadDialog::openRequests(), 0);

        dialog.startLoading(2000);
        dialog.stopLoading();
        QCOMPARE(stopped.count(), 2);
        QCOMPARE(started.count(), 2);

        dialog.stopLoading();
        dialog.stopLoading();
        QCOMPARE(HLoadDialog::openRequests(), 0);
        QCOMPARE(stopped.count(), 2);
        dialog.startLoading(2000);
        QCOMPARE(HLoadDialog::openRequests(), 1);
        dialog.stopLoading();
        QCOMPARE(stopped.count(), 3);
    }

    void tipsQueue_data()
    {
        QTest::addColumn<QStringList>("raised");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("copies behind the shown tip are dropped")
            << QStringList{"1:A", "1:A", "1:A", "0:B"} << QStringList{"1:A", "0:B"};
        QTest::newRow("only copies directly behind")
            << QStringList{"1:A", "0:B", "1:A"} << QStringList{"1:A", "0:B", "1:A"};
        QTest::newRow("same text, other style") << QStringList{"1:A", "0:A"} << QStringList{"1:A", "0:A"};
    }

    void tipsQueue()
    {
        QFETCH(QStringList, raised);
        QFETCH(QStringList, expected);
        HSuspension tips;
        QSignalSpy show(&tips, &HSuspension::sigShowTips);
        QSignalSpy close(&tips, &HSuspension::sigCloseTips);
        for (const QString& tip : raised)
            tips.showTips(tip.section(':', 0, 0).toInt(), tip.section(':', 1));
        QCOMPARE(show.count(), 1);
        for (int i = 0; i < raised.size(); ++i)
            expire(&tips);
        QCOMPARE(shown(show), expected);
        QCOMPARE(close.count(), expected.size());
    }

    void cpiTipShowsThePlainValue()
    {
        HSuspension tips;
        QSignalSpy cpi(&tips, &HSuspension::sigShowSetCpiTips);
        tips.showSetCpiTips(1600);
        QCOMPARE(cpi.count(), 1);
        QCOMPARE(cpi.first().first().toString(), QStringLiteral("1600"));
    }

    void nothingIsShownForAnUnpluggedDevice()
    {
        QVERIFY(HDeviceManager::instance()->createDevice(int(DeviceIds::kReceiver)));
        HDeviceManager::instance()->getDevice(-1)->setRemoved(true);
        HSuspension tips;
        HWarningDialog warning;
        QSignalSpy show(&tips, &HSuspension::sigShowTips);
        QSignalSpy warn(&warning, &HWarningDialog::sig_startWarning);
        tips.showTips(HSuspension::Fail, QStringLiteral("Failed"));
        warning.startWarning(HWarningDialog::OperationFailed);
        QCOMPARE(show.count(), 0);
        QCOMPARE(warn.count(), 0);
        QCOMPARE(warning.warningType(), int(HWarningDialog::DeviceConnect));
    }

    // After a failed operation a wireless device is taken to be asleep (the wake-up popup); a wired one gets
    // the failure tip instead of nothing at all.
    void failedOperationWarning_data()
    {
        QTest::addColumn<bool>("wireless");
        QTest::addColumn<int>("popups");
        QTest::addColumn<QStringList>("tips");
        QTest::newRow("wired") << false << 0
                               << QStringList{QStringLiteral("1:Setting failed. The device did not accept the change")};
        QTest::newRow("wireless") << true << 1 << QStringList();
    }

    void failedOperationWarning()
    {
        QFETCH(bool, wireless);
        RecordingServices services;
        KImageModel image;
        image.setIsWireLess(wireless);
        services.setImageModel(&image);
        QVERIFY(HDeviceManager::instance()->createDevice(int(DeviceIds::kKeyboardWired)));
        HWarningDialog warning;
        QSignalSpy warn(&warning, &HWarningDialog::sig_startWarning);
        if (wireless)
            QTest::ignoreMessage(QtDebugMsg, "鼠标已休眠");
        warning.startWarning(HWarningDialog::OperationFailed);
        QTEST(warn.count(), "popups");
        QTEST(services.tips, "tips");
        QCOMPARE(warning.warningType(), int(HWarningDialog::OperationFailed));
    }

    // The popup's retry asks the device behind the busy indicator: an answer closes the popup; without a
    // device nothing is asked and the indicator closes by its timer.
    void retryAfterAFailedOperation()
    {
        RecordingServices services;
        KImageModel image;
        image.setIsWireLess(true);
        services.setImageModel(&image);
        HWarningDialog warning;
        QSignalSpy stop(&warning, &HWarningDialog::sig_stopWarning);
        QTest::ignoreMessage(QtDebugMsg, "鼠标已休眠");
        warning.startWarning(HWarningDialog::OperationFailed);

        QVERIFY(warning.getMouseType());
        QCOMPARE(services.open(), 1);
        QTest::qWait(20);
        QCOMPARE(stop.count(), 0);
        services.stopLoading();

        QVERIFY(HDeviceManager::instance()->createDevice(int(DeviceIds::kKeyboardWired)));
        QVERIFY(warning.getMouseType());
        WAIT_COMPARE(stop.count(), 1);
        QCOMPARE(services.open(), 0);
    }

    void connectWarningOnlyForReceivers_data()
    {
        QTest::addColumn<int>("pid");
        QTest::addColumn<int>("warnings");
        QTest::newRow("keyboard") << int(DeviceIds::kKeyboardWired) << 0;
        QTest::newRow("receiver") << int(DeviceIds::kReceiver) << 1;
    }

    void connectWarningOnlyForReceivers()
    {
        QFETCH(int, pid);
        QFETCH(int, warnings);
        QVERIFY(HDeviceManager::instance()->createDevice(pid));
        HWarningDialog warning;
        QSignalSpy warn(&warning, &HWarningDialog::sig_startWarning);
        warning.startWarning(HWarningDialog::DeviceConnect);
        QCOMPARE(warn.count(), warnings);
    }
};

QTEST_MAIN(TestFeedback)
#include "tst_feedback.moc"
