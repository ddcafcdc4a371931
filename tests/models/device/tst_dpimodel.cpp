#include "QuenbyKeyboardFixture.h"
#include "RecordingServices.h"
#include "SettingsMouseFixture.h"

#include "hid/HWork.h"
#include "models/device/KDpiModel.h"
#include "models/device/KImageModel.h"
#include "platform/sys/PlatformTime.h"
#include "sim/bus/SimBus.h"
#include "TestWait.h"

#include <QElapsedTimer>
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

QJsonObject dpiLayout(int number, int type, int min, int max, int step, const QVector<int>& optional = {})
{
    QJsonArray list;
    for (int value : optional)
        list.append(value);
    return QJsonObject{{"dpi", QJsonObject{{"number", number},
                                           {"type", type},
                                           {"minValue", min},
                                           {"maxValue", max},
                                           {"stepValue", step},
                                           {"optionalValue", list}}}};
}

// The usual mouse: seven stages, 100 to 19000 in steps of 50.
QJsonObject mouseLayout()
{
    return dpiLayout(7, 1, 100, 19000, 50);
}

QVector<bool> switches(const char* pattern)
{
    QVector<bool> on;
    for (const char* c = pattern; *c; ++c)
        on << (*c == '1');
    return on;
}

// The DPI model as the UI manager makes it, the device view model it asks whether the device reports its
// current stage, and the recording services that both reach.
struct DpiBench {
    RecordingServices services;
    KImageModel image;
    KDpiModel dpi;

    explicit DpiBench(bool hasCurrentDpi = true)
    {
        image.setHasCurrentDpi(hasCurrentDpi);
        services.setImageModel(&image);
        services.setDpiModel(&dpi);
    }

    // Reads the current device's layout, then starts the recordings afresh.
    void readLayout()
    {
        dpi.deviceDataChange();
        settle();
        services.clear();
    }
};

} // namespace

class TestDpiModel : public QObject
{
    Q_OBJECT

private slots:
    void newModelDefaults()
    {
        KDpiModel dpi;
        QCOMPARE(dpi.number(), 7);
        QCOMPARE(dpi.values(), QVector<int>({500, 1000, 1500, 2000, 3000, 8000, 19000}));
        QCOMPARE(dpi.enable(), QVector<bool>(7, true));
        QCOMPARE(dpi.currentIndex(), -1);
        QCOMPARE(QList<int>({dpi.minValue(), dpi.maxValue(), dpi.stepValue(), dpi.type()}),
                 QList<int>({100, 19000, 50, 0}));
        QVERIFY(dpi.optionalValue().isEmpty());
    }

    // --- the layout --------------------------------------------------------------------------------------------

    void layoutDocuments_data()
    {
        QTest::addColumn<QJsonObject>("layout");
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("allowedCount");
        QTest::addColumn<QList<int>>("allowedEnds"); // first and last allowed value
        QTest::addColumn<QVector<int>>("values");
        QTest::addColumn<QVector<bool>>("enable");

        const QVector<int> seven{500, 1000, 1500, 2000, 3000, 8000, 19000};
        QTest::newRow("steps of 50 up to 16000") << dpiLayout(7, 1, 50, 16000, 50) << 7 << 320 << QList<int>{50, 16000}
                                                 << seven << QVector<bool>(7, true);
        // The list ends at the largest step not above the maximum.
        QTest::newRow("uneven range") << dpiLayout(7, 1, 100, 1020, 100) << 7 << 10 << QList<int>{100, 1000}
                                      << seven << QVector<bool>(7, true);
        QTest::newRow("step 0") << dpiLayout(7, 1, 100, 1000, 0) << 7 << 0 << QList<int>() << seven
                                << QVector<bool>(7, true);
        // The layout's own list, put in order for the searches.
        QTest::newRow("own list") << dpiLayout(7, 0, 400, 3200, 0, {1600, 400, 800, 3200, 800}) << 7 << 4
                                  << QList<int>{400, 3200} << seven << QVector<bool>(7, true);
        // Stages the layout adds start switched off at the smallest value; stages it drops go.
        QTest::newRow("eight stages") << dpiLayout(8, 1, 100, 26000, 50) << 8 << 519 << QList<int>{100, 26000}
                                      << (QVector<int>(seven) << 100) << switches("11111110");
        QTest::newRow("one stage") << dpiLayout(1, 1, 100, 19000, 50) << 1 << 379 << QList<int>{100, 19000}
                                   << QVector<int>{500} << QVector<bool>{true};
        // A number no mouse has keeps the stages as they are.
        QTest::newRow("no stages") << dpiLayout(0, 1, 100, 19000, 50) << 7 << 379 << QList<int>{100, 19000}
                                   << seven << QVector<bool>(7, true);
        QTest::newRow("absurd stages") << dpiLayout(100000, 1, 100, 19000, 50) << 7 << 379
                                       << QList<int>{100, 19000} << seven << QVector<bool>(7, true);
    }

    void layoutDocuments()
    {
        QFETCH(QJsonObject, layout);
        KDpiModel dpi;
        QSignalSpy values(&dpi, &KDpiModel::valuesChanged);
        dpi.slot_uiModelChange(layout);

        QTEST(dpi.number(), "number");
        QTEST(int(dpi.optionalValue().size()), "allowedCount");
        QFETCH(QList<int>, allowedEnds);
        if (!allowedEnds.isEmpty())
            QCOMPARE(QList<int>({dpi.optionalValue().first(), dpi.optionalValue().last()}), allowedEnds);
        QTEST(dpi.values(), "values");
        QTEST(dpi.enable(), "enable");
        QCOMPARE(values.count(), 1);
        QCOMPARE(dpi.currentIndex(), -1);

        // Every stage the layout names can be set and switched without reaching past the lists.
        for (int stage = 0; stage < dpi.number(); ++stage) {
            QVERIFY(dpi.setDpi(stage, dpi.minValue(), false));
            QVERIFY(dpi.selectDpi(stage + 1, false));
        }
        QVERIFY(!dpi.setDpi(dpi.number(), dpi.minValue(), false));
        QVERIFY(!dpi.selectDpi(dpi.number() + 1, false));
    }

    void layoutWithoutDpiChangesNothing()
    {
        KDpiModel dpi;
        dpi.slot_uiModelChange(dpiLayout(3, 1, 100, 900, 100));
        QSignalSpy number(&dpi, &KDpiModel::numberChanged);
        QTest::ignoreMessage(QtDebugMsg, "The configuration file does not include DPI ");
        dpi.slot_uiModelChange(QJsonObject{{"report", QJsonObject()}});
        QCOMPARE(number.count(), 0);
        QCOMPARE(dpi.number(), 3);
        QCOMPARE(dpi.optionalValue().size(), 9);
    }

    // A shrinking layout leaves no current stage behind the last one.
    void fewerStagesDropTheCurrentStage()
    {
        KDpiModel dpi;
        dpi.getCurrentDPIChange(5);
        QCOMPARE(dpi.currentIndex(), 5);
        dpi.slot_uiModelChange(dpiLayout(2, 1, 100, 900, 100));
        QCOMPARE(dpi.currentIndex(), -1);
    }

    void layoutFromTheDevice()
    {
        SettingsMouseFixture mouse(dpiLayout(5, 1, 200, 6400, 100));
        QVERIFY(mouse.device());
        DpiBench bench;
        bench.readLayout();
        QCOMPARE(bench.dpi.number(), 5);
        QCOMPARE(bench.dpi.optionalValue().size(), 63);
    }

    // --- stages and device indexes -------------------------------------------------------------------------------

    void indexMapping_data()
    {
        QTest::addColumn<QVector<bool>>("enable");
        QTest::addColumn<QList<int>>("deviceIndexOfStage"); // per stage
        QTest::addColumn<QList<int>>("stageOfDeviceIndex"); // per device index 0..number-1

        QTest::newRow("all on") << switches("1111111") << QList<int>{0, 1, 2, 3, 4, 5, 6}
                                << QList<int>{0, 1, 2, 3, 4, 5, 6};
        QTest::newRow("on off on") << switches("1011111") << QList<int>{0, 1, 1, 2, 3, 4, 5}
                                   << QList<int>{0, 2, 3, 4, 5, 6, -1};
        QTest::newRow("only the last") << switches("0000001") << QList<int>{0, 0, 0, 0, 0, 0, 0}
                                       << QList<int>{6, -1, -1, -1, -1, -1, -1};
    }

    void indexMapping()
    {
        QFETCH(QVector<bool>, enable);
        KDpiModel dpi;
        dpi.setEnable(enable);
        QList<int> toDevice, toStage;
        for (int i = 0; i < dpi.number(); ++i) {
            toDevice << dpi.deviceIndexOfStage(i);
            toStage << dpi.stageOfDeviceIndex(i);
        }
        QTEST(toDevice, "deviceIndexOfStage");
        QTEST(toStage, "stageOfDeviceIndex");
        QCOMPARE(dpi.deviceIndexOfStage(-1), -1);
        QCOMPARE(dpi.stageOfDeviceIndex(-1), -1);
    }

    void deviceReportsItsStage_data()
    {
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("reported");
        QTest::addColumn<int>("after");
        QTest::addColumn<int>("signals");

        // Stages on, off, on, ...: device index 1 is stage 2.
        QTest::newRow("moves") << -1 << 1 << 2 << 1;
        QTest::newRow("already there") << 2 << 1 << 2 << 0;
        QTest::newRow("not enough stages") << 3 << 6 << 0 << 1;
        QTest::newRow("not enough, already 0") << 0 << 6 << 0 << 0;
        QTest::newRow("negative") << 3 << -1 << 3 << 0;
        QTest::newRow("above the number") << 3 << 8 << 3 << 0;
    }

    void deviceReportsItsStage()
    {
        QFETCH(int, current);
        QFETCH(int, reported);
        KDpiModel dpi;
        dpi.setEnable(switches("1011111"));
        dpi.setCurrentIndex(current);
        QSignalSpy changed(&dpi, &KDpiModel::currentIndexChanged);
        dpi.getCurrentDPIChange(reported);
        QTEST(dpi.currentIndex(), "after");
        QTEST(int(changed.count()), "signals");
    }

    // --- allowed values ------------------------------------------------------------------------------------------

    void snapping_data()
    {
        QTest::addColumn<QJsonObject>("layout");
        QTest::addColumn<QString>("call");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("present");
        QTest::addColumn<int>("expected");

        const QJsonObject list = dpiLayout(7, 0, 800, 1600, 0, {800, 1200, 1600});
        const QJsonObject steps = dpiLayout(7, 1, 50, 16000, 50);
        const QJsonObject offset = dpiLayout(7, 1, 75, 1075, 50);
        const QJsonObject empty = dpiLayout(7, 1, 50, 16000, 0);

        QTest::newRow("contrast found") << list << "contrast" << 1200 << 0 << 1200;
        QTest::newRow("contrast nearer below") << list << "contrast" << 1240 << 0 << 1200;
        QTest::newRow("contrast tie to the lower") << list << "contrast" << 1400 << 0 << 1200;
        QTest::newRow("contrast nearer above") << list << "contrast" << 1500 << 0 << 1600;
        QTest::newRow("contrast above all") << list << "contrast" << 5000 << 0 << 1600;
        QTest::newRow("contrast below all") << list << "contrast" << 100 << 0 << 800;
        QTest::newRow("contrast empty list") << empty << "contrast" << 1234 << 0 << 1234;

        QTest::newRow("step up from the last") << list << "button" << 1700 << 1600 << 1600;
        QTest::newRow("step up") << list << "button" << 1300 << 1200 << 1600;
        QTest::newRow("step down") << list << "button" << 1100 << 1200 << 800;
        QTest::newRow("step down from the first") << list << "button" << 700 << 800 << 800;
        // A present value between allowed ones steps to its neighbour, not to an end of the list.
        QTest::newRow("step up from between") << list << "button" << 1001 << 1000 << 1200;
        QTest::newRow("step down from between") << list << "button" << 999 << 1000 << 800;
        QTest::newRow("step on an empty list") << empty << "button" << 1001 << 1000 << 1000;

        QTest::newRow("typed, allowed") << steps << "text" << 1250 << 0 << 1250;
        QTest::newRow("typed, cut to the step") << steps << "text" << 1234 << 0 << 1200;
        QTest::newRow("typed, own list") << list << "text" << 1450 << 0 << 1600;
        // Where cutting to the step gives no allowed value, the nearest allowed one.
        QTest::newRow("typed, off the step grid") << offset << "text" << 1010 << 0 << 1025;
        QTest::newRow("typed, above the range") << steps << "text" << 99999 << 0 << 16000;
        QTest::newRow("typed, step 0") << empty << "text" << 1234 << 0 << 1234;
    }

    void snapping()
    {
        QFETCH(QJsonObject, layout);
        QFETCH(QString, call);
        QFETCH(int, value);
        QFETCH(int, present);
        KDpiModel dpi;
        dpi.slot_uiModelChange(layout);
        int result = 0;
        if (call == QLatin1String("contrast"))
            result = dpi.contrastDpi(value);
        else if (call == QLatin1String("button"))
            result = dpi.buttonChangeDpi(value, present);
        else
            result = dpi.textChangeDpi(value, 12345);
        QTEST(result, "expected");
    }

    // --- stage values --------------------------------------------------------------------------------------------

    void stageValueWrites_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("write");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("result");
        QTest::addColumn<int>("after");          // the stage's value afterwards
        QTest::addColumn<QVector<int>>("shown"); // every value the stage showed, in order
        QTest::addColumn<QVector<int>>("device");
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QStringList>("tips");
        QTest::addColumn<QStringList>("saves");
        QTest::addColumn<bool>("sent"); // a device write was started

        const QVector<int> untouched;
        const QStringList none;
        QTest::newRow("clamped to the minimum")
            << 0 << 50 << true << "" << true << 100 << QVector<int>{-1, 100}
            << QVector<int>{100, 1000, 1500, 2000, 3000, 8000, 19000} << QStringList{"device_dpi/dpivalue/100"}
            << QStringList{"dpi:100"} << QStringList{"0:-1"} << true;
        QTest::newRow("clamped to the maximum")
            << 6 << 30000 << true << "" << true << 19000 << QVector<int>{-1, 19000} << untouched << none << none
            << none << false;
        QTest::newRow("written") << 2 << 1600 << true << "" << true << 1600 << QVector<int>{-1, 1600}
                                 << QVector<int>{500, 1000, 1600, 2000, 3000, 8000, 19000}
                                 << QStringList{"device_dpi/dpivalue/1600"} << QStringList{"dpi:1600"}
                                 << QStringList{"0:-1"} << true;
        QTest::newRow("only in the model") << 2 << 1600 << false << "" << true << 1600 << QVector<int>{-1, 1600}
                                           << untouched << QStringList{"device_dpi/dpivalue/1600"} << none << none << false;
        QTest::newRow("refused by the device")
            << 2 << 1600 << true << "refuse" << true << 1500 << QVector<int>{-1, 1500} << untouched
            << QStringList{"device_dpi/dpivalue/fail"} << none << none << true;
        QTest::newRow("lost on the way") << 2 << 1600 << true << "io" << true << 1500 << QVector<int>{-1, 1500}
                                         << untouched << QStringList{"device_dpi/dpivalue/fail"} << none << none << true;
        QTest::newRow("without a device") << 2 << 1600 << true << "nodevice" << false << 1500
                                          << QVector<int>{-1, 1500} << untouched << none << none << none << false;
        QTest::newRow("index below") << -1 << 1600 << true << "" << false << 500 << QVector<int>() << untouched
                                     << none << none << none << false;
        QTest::newRow("index above") << 7 << 1600 << true << "" << false << 19000 << QVector<int>() << untouched
                                     << none << none << none << false;
    }

    void stageValueWrites()
    {
        QFETCH(int, index);
        QFETCH(int, value);
        QFETCH(bool, write);
        QFETCH(QString, fault);
        QFETCH(QVector<int>, shown);

        SettingsMouseFixture mouse(mouseLayout());
        QVERIFY(mouse.device());
        DpiBench bench;
        bench.readLayout();
        if (fault == QLatin1String("refuse"))
            mouse.mouse()->refuseWrites(kRegStages, kRegStages + 2 * kMaxStages);
        else if (fault == QLatin1String("io"))
            mouse.bus()->failNext(mouse.busId(), SimBus::Fault::SetFeature, 100);
        else if (fault == QLatin1String("nodevice"))
            mouse.device()->setRemoved(true);

        // What the stage shows, each time the list announces itself.
        const int watched = qBound(0, index, 6);
        QVector<int> seen;
        connect(&bench.dpi, &KDpiModel::valuesChanged, this,
                [&] { seen << bench.dpi.values().value(watched); });
        const bool result = bench.dpi.setDpi(index, value, write);
        settle();

        QTEST(result, "result");
        QTEST(bench.dpi.values().value(watched), "after");
        QCOMPARE(seen, shown);
        QTEST(mouse.mouse()->stages(), "device");
        QTEST(bench.services.events, "events");
        QTEST(bench.services.tips, "tips");
        QTEST(bench.services.profileSaves, "saves");
        const bool failed = fault == QLatin1String("refuse") || fault == QLatin1String("io");
        QCOMPARE(bench.services.warnings, failed ? QList<int>{1} : QList<int>());
        QFETCH(bool, sent);
        QCOMPARE(bench.services.loadingStarts, sent ? 1 : 0);
        QCOMPARE(bench.services.open(), 0);
    }

    // Edits in quick succession reach the mouse in the order they were made, each on the ones before, so the
    // mouse ends with what the model shows.
    void quickEditsLandInOrder()
    {
        SettingsMouseFixture mouse(mouseLayout());
        QVERIFY(mouse.device());
        DpiBench bench;
        bench.readLayout();
        QVERIFY(bench.dpi.setDpi(1, 1200));
        QVERIFY(bench.dpi.selectDpi(4));
        QVERIFY(bench.dpi.setDpi(2, 1600));
        QVERIFY(bench.dpi.setDpi(1, 1250));
        settle();
        const QVector<int> expected{500, 1250, 1600, 2000, 3000, 8000, 19000};
        QCOMPARE(mouse.mouse()->stages(), expected);
        QCOMPARE(bench.dpi.values(), expected);
        QCOMPARE(bench.dpi.enable(), switches("1110111"));
        QCOMPARE(bench.services.profileSaves.size(), 4);
        QCOMPARE(bench.services.open(), 0);
    }

    // Writes still waiting their turn when the mouse goes fail one by one, without reaching the device.
    void writesQueuedWhenTheMouseGoes()
    {
        SettingsMouseFixture mouse(mouseLayout());
        QVERIFY(mouse.device());
        DpiBench bench;
        bench.readLayout();
        QVERIFY(bench.dpi.setDpi(1, 1200));
        QVERIFY(bench.dpi.setDpi(2, 1600));
        QVERIFY(bench.dpi.selectDpi(4));
        mouse.device()->setRemoved(true);
        settle();
        QCOMPARE(bench.dpi.values().mid(1, 2), QVector<int>({1200, 1500}));
        QCOMPARE(bench.dpi.enable(), QVector<bool>(7, true));
        QCOMPARE(bench.services.warnings, QList<int>({1, 1}));
        QCOMPARE(bench.services.open(), 0);
    }

    // --- switching stages ------------------------------------------------------------------------------------------

    void stageSwitches_data()
    {
        QTest::addColumn<QVector<bool>>("before");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("deviceIndex"); // what the mouse reports as its stage afterwards
        QTest::addColumn<int>("stage");       // counted from 1
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QVector<bool>>("after");
        QTest::addColumn<int>("currentAfter");
        QTest::addColumn<QList<int>>("registers"); // written, in order
        QTest::addColumn<QStringList>("saves");
        QTest::addColumn<QStringList>("tips");

        const QVector<bool> all(7, true);
        const QList<int> list{kRegStages, kRegStageCount};
        const QStringList none;
        // At or after the current stage: the list goes out, then the mouse's stage is read back.
        QTest::newRow("after the current") << all << 1 << 1 << 4 << "" << true << switches("1110111") << 1 << list
                                           << QStringList{"0:-1"} << none;
        QTest::newRow("no current stage") << all << -1 << 0 << 7 << "" << true << switches("1111110") << 0 << list
                                          << QStringList{"0:-1"} << none;
        // Before it: the current stage's device index moves first (stage 4 is now the device's third).
        QTest::newRow("before the current")
            << all << 3 << 2 << 2 << "" << true << switches("1011111") << 3
            << (QList<int>{kRegDpiIndex} << list) << QStringList{"0:-1"} << none;
        QTest::newRow("switched back on") << switches("1011111") << 3 << 3 << 2 << "" << true << all << 3
                                          << (QList<int>{kRegDpiIndex} << list) << QStringList{"0:-1"} << none;
        QTest::newRow("list refused") << all << 1 << 1 << 4 << "list" << true << all << 1 << QList<int>() << none
                                      << none;
        QTest::newRow("index refused") << all << 3 << 3 << 2 << "index" << true << all << 3 << QList<int>() << none
                                       << none;
        QTest::newRow("list refused after the index")
            << all << 3 << 3 << 2 << "list" << true << all << 3 << QList<int>{kRegDpiIndex} << none << none;
        QTest::newRow("the last one on") << switches("0100000") << 1 << 0 << 2 << "" << false
                                         << switches("0100000") << 1 << QList<int>() << none
                                         << QStringList{"1:Please retain at least one DPI"};
        QTest::newRow("without a device") << all << 1 << 0 << 4 << "nodevice" << false << all << 1 << QList<int>()
                                          << none << none;
    }

    void stageSwitches()
    {
        QFETCH(QVector<bool>, before);
        QFETCH(int, current);
        QFETCH(int, stage);
        QFETCH(QString, fault);
        QFETCH(int, deviceIndex);

        SettingsMouseFixture mouse(mouseLayout());
        QVERIFY(mouse.device());
        DpiBench bench;
        bench.readLayout();
        bench.dpi.setEnable(before);
        bench.dpi.setCurrentIndex(current);
        mouse.mouse()->setDpiIndex(deviceIndex);
        if (fault == QLatin1String("list"))
            mouse.mouse()->refuseWrites(kRegStageCount, kRegStages + 2 * kMaxStages - 1);
        else if (fault == QLatin1String("index"))
            mouse.mouse()->refuseWrites(kRegDpiIndex, kRegDpiIndex);
        else if (fault == QLatin1String("nodevice"))
            mouse.device()->setRemoved(true);
        QSignalSpy enableChanged(&bench.dpi, &KDpiModel::enableChanged);

        const bool result = bench.dpi.selectDpi(stage);
        settle();

        QTEST(result, "result");
        QTEST(bench.dpi.enable(), "after");
        QTEST(bench.dpi.currentIndex(), "currentAfter");
        QTEST(mouse.mouse()->writtenRegisters(), "registers");
        QTEST(bench.services.profileSaves, "saves");
        QTEST(bench.services.tips, "tips");
        QVERIFY(enableChanged.count() >= 1); // the switch always re-reads the kept or new state
        const bool failed = !fault.isEmpty() && fault != QLatin1String("nodevice");
        QCOMPARE(bench.services.warnings, failed ? QList<int>{1} : QList<int>());
        QCOMPARE(bench.services.open(), 0);
        if (result && !failed)
            QCOMPARE(mouse.mouse()->stages(), bench.dpi.values());
    }

    void stageSwitchRangeAndModelOnly()
    {
        KDpiModel dpi;
        QSignalSpy enableChanged(&dpi, &KDpiModel::enableChanged);
        QVERIFY(!dpi.selectDpi(0));
        QVERIFY(!dpi.selectDpi(8));
        QVERIFY(dpi.selectDpi(3, false));
        QCOMPARE(dpi.enable(), QVector<bool>(7, true));
        QCOMPARE(enableChanged.count(), 0);
    }

    // A profile may bring fewer switches than the layout has stages: the stages without one count as off and
    // nothing reaches past the list.
    void profileWithFewerSwitches()
    {
        RecordingServices services;
        KImageModel image;
        image.setHasCurrentDpi(true);
        services.setImageModel(&image);
        KDpiModel dpi;
        dpi.setEnable(switches("10111"));
        QCOMPARE(dpi.enable().size(), 5);
        QVERIFY(!dpi.selectDpi(6));
        QVERIFY(!dpi.writeCurrentDpi(6));
        QCOMPARE(dpi.deviceIndexOfStage(6), -1);
        QCOMPARE(dpi.stageOfDeviceIndex(3), 4);
        QCOMPARE(dpi.stageOfDeviceIndex(4), -1);
        dpi.getCurrentDPIChange(6);
        QCOMPARE(dpi.currentIndex(), 0);
        QCOMPARE(services.loadingStarts, 0);
    }

    // --- the current stage -----------------------------------------------------------------------------------------

    void currentStageWrites_data()
    {
        QTest::addColumn<bool>("hasCurrentDpi");
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("write");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("result");
        QTest::addColumn<int>("currentAfter");
        QTest::addColumn<int>("deviceIndex"); // the mouse's register afterwards (starts at 0)
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QStringList>("tips");
        QTest::addColumn<QStringList>("saves");

        const QStringList none;
        // Stages on, off, on, ... with stage 0 current: stage 3 is the device's index 2.
        QTest::newRow("written") << true << 3 << true << "" << true << 3 << 2
                                 << QStringList{"device_dpi/currentDpiIndex/3"} << QStringList{"dpi:2000"}
                                 << QStringList{"0:-1"};
        QTest::newRow("only in the model") << true << 3 << false << "" << true << 3 << 0
                                           << QStringList{"device_dpi/dpivalue/2000"} << none << none;
        QTest::newRow("refused by the device") << true << 3 << true << "refuse" << true << 0 << 0
                                               << QStringList{"device_dpi/currentDpiIndex/fail"} << none << none;
        QTest::newRow("already current") << true << 0 << true << "" << true << 0 << 0 << none << none << none;
        QTest::newRow("out of range") << true << 7 << true << "" << false << 0 << 0 << none << none << none;
        QTest::newRow("switched off") << true << 1 << true << "" << false << 0 << 0 << none << none << none;
        QTest::newRow("without a device") << true << 3 << true << "nodevice" << false << 0 << 0 << none << none
                                          << none;
        QTest::newRow("no current stage on this device")
            << false << 3 << true << "" << true << 0 << 0 << none << none << none;
    }

    void currentStageWrites()
    {
        QFETCH(bool, hasCurrentDpi);
        QFETCH(int, index);
        QFETCH(bool, write);
        QFETCH(QString, fault);

        SettingsMouseFixture mouse(mouseLayout());
        QVERIFY(mouse.device());
        DpiBench bench(hasCurrentDpi);
        bench.readLayout();
        bench.dpi.setEnable(switches("1011111"));
        bench.dpi.setCurrentIndex(0);
        if (fault == QLatin1String("refuse"))
            mouse.mouse()->refuseWrites(kRegDpiIndex, kRegDpiIndex);
        else if (fault == QLatin1String("nodevice"))
            mouse.device()->setRemoved(true);

        const bool result = bench.dpi.writeCurrentDpi(index, write);
        settle();

        QTEST(result, "result");
        QTEST(bench.dpi.currentIndex(), "currentAfter");
        QTEST(mouse.mouse()->dpiIndex(), "deviceIndex");
        QTEST(bench.services.events, "events");
        QTEST(bench.services.tips, "tips");
        QTEST(bench.services.profileSaves, "saves");
        QCOMPARE(bench.services.warnings, fault == QLatin1String("refuse") ? QList<int>{1} : QList<int>());
        QCOMPARE(bench.services.open(), 0);
    }

    void currentStageFromTheDevice_data()
    {
        QTest::addColumn<bool>("hasCurrentDpi");
        QTest::addColumn<int>("deviceIndex");
        QTest::addColumn<int>("expected");

        QTest::newRow("mapped to the stage") << true << 1 << 2;
        QTest::newRow("not enough stages") << true << 6 << 0;
        QTest::newRow("device cannot say") << false << 1 << -1;
    }

    void currentStageFromTheDevice()
    {
        QFETCH(bool, hasCurrentDpi);
        QFETCH(int, deviceIndex);
        SettingsMouseFixture mouse(mouseLayout());
        QVERIFY(mouse.device());
        DpiBench bench(hasCurrentDpi);
        bench.dpi.setEnable(switches("1011111"));
        bench.dpi.setCurrentIndex(4);
        mouse.mouse()->setDpiIndex(deviceIndex);
        QSignalSpy changed(&bench.dpi, &KDpiModel::currentIndexChanged);

        // The answer is there when the call returns: the model waited for it.
        bench.dpi.currentIndexChange();
        QTEST(bench.dpi.currentIndex(), "expected");
        QCOMPARE(changed.count(), 1);
        settle();
    }

    // A device that goes away while the model waits for its stage does not hold the user interface.
    void removalEndsTheWaitForTheStage()
    {
        SettingsMouseFixture mouse(mouseLayout());
        QVERIFY(mouse.device());
        DpiBench bench;
        bench.dpi.setCurrentIndex(4);
        mouse.bus()->setLatency(mouse.busId(), 600);
        Platform::setSleepScale(1.0);
        SettingsMouseDevice* device = mouse.device();
        QTimer::singleShot(50, [device] { device->setRemoved(true); });

        QElapsedTimer clock;
        clock.start();
        bench.dpi.currentIndexChange();
        QVERIFY2(clock.elapsed() < 500, "the wait outlasted the device");
        QCOMPARE(bench.dpi.currentIndex(), 4);
        Platform::setSleepScale(0.0);
        settle();
        // The answer that still came is not taken: the device it describes is gone.
        QCOMPARE(bench.dpi.currentIndex(), 4);
        QCOMPARE(bench.services.open(), 0);
    }

    // The live keyboard has no stages: its layout says nothing about DPI and every write fails.
    void keyboardHasNoStages()
    {
        QuenbyKeyboardFixture keyboard;
        QVERIFY(keyboard.openDevice());
        DpiBench bench(false);
        QTest::ignoreMessage(QtDebugMsg, "The configuration file does not include DPI ");
        bench.readLayout();
        QCOMPARE(bench.dpi.number(), 7);
        bench.dpi.currentIndexChange();
        QCOMPARE(bench.dpi.currentIndex(), -1);
        QVERIFY(bench.dpi.writeCurrentDpi(2));

        QVERIFY(bench.dpi.setDpi(2, 1600));
        QVERIFY(bench.dpi.selectDpi(4));
        settle();
        QCOMPARE(bench.dpi.values().at(2), 1500);
        QCOMPARE(bench.dpi.enable(), QVector<bool>(7, true));
        QCOMPARE(bench.services.warnings, QList<int>({1, 1}));
        QCOMPARE(bench.services.profileSaves, QStringList());
        QCOMPARE(bench.services.open(), 0);
        QCOMPARE(keyboard.writtenRegisters(), QList<quint32>());
    }
};

QTEST_MAIN(TestDpiModel)
#include "tst_dpimodel.moc"
