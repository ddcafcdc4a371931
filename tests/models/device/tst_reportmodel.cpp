#include "QuenbyKeyboardFixture.h"
#include "RecordingServices.h"
#include "SettingsMouseFixture.h"

#include "hid/HWork.h"
#include "models/device/KReportModel.h"
#include "sim/bus/SimBus.h"
#include "TestWait.h"

#include <QJsonArray>
#include <QSignalSpy>
#include <QtTest>

using namespace SettingsMouse;

namespace {

void settle()
{
    WAIT_COMPARE(HWork::pendingCount(), 0);
    QCoreApplication::processEvents();
}

QJsonObject reportLayout(const QVector<int>& rates)
{
    QJsonArray list;
    for (int rate : rates)
        list.append(rate);
    return QJsonObject{{"report", QJsonObject{{"number", rates.size()}, {"value", list}}}};
}

// The settings mouse offering four rates, the report-rate model with them read in, and the recording services.
struct ReportBench {
    SettingsMouseFixture mouse{reportLayout({125, 250, 500, 1000})};
    RecordingServices services;
    KReportModel report;

    ReportBench()
    {
        report.deviceDataChange();
        settle();
    }
};

} // namespace

class TestReportModel : public QObject
{
    Q_OBJECT

private slots:
    void newModelDefaults()
    {
        KReportModel report;
        QCOMPARE(report.values(), QVector<int>({125, 250, 500, 1000}));
        QCOMPARE(report.number(), 4);
        QCOMPARE(report.currentReport(), 0);
    }

    void ratesFromTheLayout_data()
    {
        QTest::addColumn<QJsonObject>("layout");
        QTest::addColumn<int>("number");
        QTest::addColumn<QVector<int>>("values");

        QTest::newRow("four rates") << reportLayout({125, 250, 500, 1000}) << 4 << QVector<int>{125, 250, 500, 1000};
        QTest::newRow("eight rates") << reportLayout({125, 250, 500, 1000, 2000, 4000, 8000, 16000}) << 8
                                     << QVector<int>{125, 250, 500, 1000, 2000, 4000, 8000, 16000};
        QTest::newRow("no report") << QJsonObject{{"dpi", QJsonObject()}} << 0 << QVector<int>();
    }

    void ratesFromTheLayout()
    {
        QFETCH(QJsonObject, layout);
        SettingsMouseFixture mouse(layout);
        QVERIFY(mouse.device());
        KReportModel report;
        report.setCurrentReport(2);
        QSignalSpy values(&report, &KReportModel::valuesChanged);
        report.deviceDataChange();
        settle();
        QTEST(report.number(), "number");
        QTEST(report.values(), "values");
        QCOMPARE(values.count(), 1);
        QCOMPARE(report.currentReport(), 2);
        // Nothing beyond the rates offered can be chosen.
        QVERIFY(!report.selectReport(report.values().size(), false));
        QVERIFY(!report.selectReport(-1, false));
    }

    // Every rate the mouse offers, by its index; the device receives the index, not the rate.
    void everyRate_data()
    {
        QTest::addColumn<int>("index");
        for (int index = 0; index < 4; ++index)
            QTest::addRow("rate %d", index) << index;
    }

    void everyRate()
    {
        QFETCH(int, index);
        ReportBench bench;
        SettingsMouseFixture& mouse = bench.mouse;
        RecordingServices& services = bench.services;
        KReportModel& report = bench.report;
        QVERIFY(mouse.device());
        report.setCurrentReport(index == 0 ? 3 : 0);

        QVERIFY(report.selectReport(index));
        settle();
        QCOMPARE(report.currentReport(), index);
        QCOMPARE(mouse.mouse()->reportRate(), index);
        QCOMPARE(mouse.mouse()->writtenRegisters(), QList<int>{kRegReportRate});
        QCOMPARE(services.events, QStringList{QStringLiteral("device_report/report/%1").arg(index)});
        QCOMPARE(services.profileSaves, QStringList{"6:-1"});
        QCOMPARE(services.warnings, QList<int>());
        QCOMPARE(services.loadingStarts, 1);
        QCOMPARE(services.open(), 0);
    }

    void refusedOrImpossibleWrites_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("write");
        QTest::addColumn<bool>("result");
        QTest::addColumn<int>("after");
        QTest::addColumn<QList<int>>("shown"); // every value the selection showed, in order
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<bool>("warned");
        QTest::addColumn<bool>("sent");

        const QStringList fail{"device_report/report/fail"};
        QTest::newRow("refused by the device")
            << "refuse" << 3 << true << true << 1 << QList<int>{-1, 1} << fail << true << true;
        QTest::newRow("lost on the way") << "io" << 3 << true << true << 1 << QList<int>{-1, 1} << fail << true << true;
        QTest::newRow("without a device") << "nodevice" << 3 << true << false << 1 << QList<int>{1} << QStringList()
                                          << false << false;
        QTest::newRow("out of range") << "" << 4 << true << false << 1 << QList<int>() << QStringList() << false
                                      << false;
        QTest::newRow("only in the model") << "" << 2 << false << true << 2 << QList<int>{2} << QStringList()
                                           << false << false;
    }

    void refusedOrImpossibleWrites()
    {
        QFETCH(QString, fault);
        QFETCH(int, index);
        QFETCH(bool, write);
        ReportBench bench;
        SettingsMouseFixture& mouse = bench.mouse;
        RecordingServices& services = bench.services;
        KReportModel& report = bench.report;
        QVERIFY(mouse.device());
        report.setCurrentReport(1);
        if (fault == QLatin1String("refuse"))
            mouse.mouse()->refuseWrites(kRegReportRate, kRegReportRate);
        else if (fault == QLatin1String("io"))
            mouse.bus()->failNext(mouse.busId(), SimBus::Fault::SetFeature, 100);
        else if (fault == QLatin1String("nodevice"))
            mouse.device()->setRemoved(true);
        QList<int> shown;
        connect(&report, &KReportModel::currentReportChanged, this, [&] { shown << report.currentReport(); });

        const bool result = report.selectReport(index, write);
        settle();
        QTEST(result, "result");
        QTEST(report.currentReport(), "after");
        QTEST(shown, "shown");
        QTEST(services.events, "events");
        QFETCH(bool, warned);
        QCOMPARE(services.warnings, warned ? QList<int>{1} : QList<int>());
        QFETCH(bool, sent);
        QCOMPARE(services.loadingStarts, sent ? 1 : 0);
        QCOMPARE(services.open(), 0);
        QCOMPARE(services.profileSaves, QStringList());
        QCOMPARE(mouse.mouse()->reportRate(), 0);
    }

    // Quick selections reach the mouse in the order they were made: it ends with the last one, as shown.
    void quickSelectionsLandInOrder()
    {
        ReportBench bench;
        SettingsMouseFixture& mouse = bench.mouse;
        RecordingServices& services = bench.services;
        KReportModel& report = bench.report;
        QVERIFY(mouse.device());
        for (int index : {3, 1, 2})
            QVERIFY(report.selectReport(index));
        settle();
        QCOMPARE(mouse.mouse()->reportRate(), 2);
        QCOMPARE(report.currentReport(), 2);
        QCOMPARE(services.profileSaves.size(), 3);
        QCOMPARE(services.open(), 0);
    }

    // The keyboard offers no rates: nothing can be selected, and its device refuses any rate.
    void keyboardOffersNoRates()
    {
        QuenbyKeyboardFixture keyboard;
        QVERIFY(keyboard.openDevice());
        RecordingServices services;
        KReportModel report;
        report.deviceDataChange();
        settle();
        QCOMPARE(report.number(), 0);
        QVERIFY(report.values().isEmpty());
        QVERIFY(!report.selectReport(0));
        QCOMPARE(services.loadingStarts, 0);
    }
};

QTEST_MAIN(TestReportModel)
#include "tst_reportmodel.moc"
