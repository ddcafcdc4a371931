#include "CoreTestDevice.h"
#include "LogCapture.h"
#include "RecordingServices.h"
#include "ScreenDeviceFixture.h"
#include "ScreenTestDevice.h"

#include "hid/HDeviceManager.h"
#include "hid/HWork.h"
#include "models/device/FBattreyModel.h"
#include "models/device/KLightModel.h"
#include "models/device/KLightModelItem.h"
#include "TestWait.h"

#include <QJsonObject>
#include <QSignalSpy>
#include <QtTest>

#include <thread>

using namespace ScreenTestProtocol;

namespace {

void settle()
{
    WAIT_COMPARE(HWork::pendingCount(), 0);
    QCoreApplication::processEvents();
}

QJsonObject layout(bool declared, bool offered)
{
    QJsonObject document{{"deviceName", "Edris"}, {"deviceType", 1}};
    if (declared)
        document.insert(QStringLiteral("hasPowerSaving"), offered);
    return document;
}

struct BatteryBench {
    RecordingServices services;
    KLightModel lights;
    KLightModelItem* logo;
    FBattreyModel battery;

    BatteryBench()
        : logo(new KLightModelItem(&lights))
    {
        logo->setShortCutStrList({"preset 1", "preset 2", "preset 3", "none"});
        lights.setLogo(logo);
        lights.setWheel(new KLightModelItem(&lights));
        services.setLightModel(&lights);
        services.setBattreyModel(&battery);
    }
};

} // namespace

// The battery model against a small device with power saving on the simulated bus.
class TestBattreyModel : public QObject
{
    Q_OBJECT

private slots:
    void levelsReportedByTheDevice()
    {
        ScreenDeviceFixture screen;
        QVERIFY(screen.device());
        FBattreyModel battery;
        QCOMPARE(battery.battreyData(), -1);
        connect(screen.device(), &KBaseDevice::sigBattrey, &battery, &FBattreyModel::battreyChange);
        QSignalSpy spy(&battery, &FBattreyModel::battreyDataChanged);

        // Reports come from the device's own threads; a negative one is no report.
        ScreenTestDevice* device = screen.device();
        std::thread reader([device] {
            for (int level : {85, -1, 0, -7, 100})
                emit device->sigBattrey(level);
        });
        reader.join();
        WAIT_COMPARE(spy.count(), 3);
        QCOMPARE(battery.battreyData(), 100);

        battery.battreyChange(0);
        QCOMPARE(battery.battreyData(), 0);
        battery.battreyChange(-1);
        QCOMPARE(battery.battreyData(), 0);
    }

    void powerSavingSupportAndState_data()
    {
        QTest::addColumn<QJsonObject>("document");
        QTest::addColumn<bool>("deviceState");
        QTest::addColumn<bool>("flag");
        QTest::addColumn<bool>("power");
        QTest::addColumn<int>("stateReads");
        QTest::newRow("offered, on") << layout(true, true) << true << true << true << 1;
        QTest::newRow("offered, off") << layout(true, true) << false << true << false << 1;
        QTest::newRow("not offered") << layout(true, false) << true << false << false << 0;
        QTest::newRow("not declared") << layout(false, false) << true << false << false << 0;
    }

    void powerSavingSupportAndState()
    {
        QFETCH(QJsonObject, document);
        QFETCH(bool, deviceState);
        QFETCH(bool, flag);
        QFETCH(bool, power);
        QFETCH(int, stateReads);
        ScreenDeviceFixture screen(document);
        QVERIFY(screen.device());
        QVERIFY(screen.device()->setPowerSaving(deviceState));
        BatteryBench bench;
        QSignalSpy flagSpy(&bench.battery, &FBattreyModel::powerFlagChanged);

        bench.battery.slot_powerChange();
        settle();
        QCOMPARE(bench.battery.powerFlag(), flag);
        QCOMPARE(flagSpy.count(), 1);
        QCOMPARE(bench.battery.power(), power);
        QCOMPARE(screen.firmware().count(ReadPowerSaving), stateReads);
    }

    void emptyLayoutChangesNothing()
    {
        ScreenDeviceFixture screen(layout(true, true));
        QVERIFY(screen.device());
        BatteryBench bench;
        bench.battery.slot_powerChange();
        settle();
        QVERIFY(bench.battery.powerFlag());

        // A device without a layout document leaves the support as it was and reads nothing.
        screen.device()->setLayout(QJsonObject());
        QSignalSpy flagSpy(&bench.battery, &FBattreyModel::powerFlagChanged);
        bench.battery.slot_powerChange();
        settle();
        QVERIFY(bench.battery.powerFlag());
        QCOMPARE(flagSpy.count(), 0);
        QCOMPARE(screen.firmware().count(ReadPowerSaving), 1);
    }

    void switchingPowerSaving()
    {
        ScreenDeviceFixture screen(layout(true, true));
        QVERIFY(screen.device());
        BatteryBench bench;
        LogCapture logs;

        // The current state needs no device write and keeps the window free.
        bench.battery.setPowerSaving(false);
        settle();
        QCOMPARE(screen.firmware().count(WritePowerSaving), 0);
        QCOMPARE(bench.services.loadingStarts, 0);
        QCOMPARE(bench.services.open(), 0);

        bench.services.clear();
        bench.battery.setPowerSaving(true);
        settle();
        QVERIFY(screen.firmware().powerSaving());
        QVERIFY(bench.battery.power());
        QCOMPARE(bench.services.events.filter("device_saving/"), QStringList{"device_saving/power_saving/success"});
        QCOMPARE(bench.logo->shortCutModel(), 3);
        QCOMPARE(bench.services.open(), 0);

        bench.services.clear();
        screen.firmware().refuse(WritePowerSaving);
        QSignalSpy spy(&bench.battery, &FBattreyModel::powerChanged);
        bench.battery.setPowerSaving(false);
        settle();
        QVERIFY(bench.battery.power());
        QVERIFY(screen.firmware().powerSaving());
        QCOMPARE(spy.count(), 0);
        QCOMPARE(bench.services.warnings, QList<int>{1});
        QCOMPARE(bench.services.events, QStringList{"device_saving/power_saving/fail"});
        QVERIFY(logs.contains(QStringLiteral("setPowerSaving error")));
        QCOMPARE(bench.services.open(), 0);
    }

    // A device that offers power saving in its layout but keeps the base class's operations.
    void deviceWithoutPowerSavingOperations()
    {
        HDeviceManager* registry = HDeviceManager::instance();
        registry->setFactory([](int pid) { return new CoreTestDevice(pid); });
        QVERIFY(registry->createDevice(0x6D10));
        qobject_cast<CoreTestDevice*>(registry->getDevice(0x6D10))->setLayout(layout(true, true));
        BatteryBench bench;
        bench.battery.slot_powerChange();
        settle();
        QVERIFY(bench.battery.powerFlag());
        QVERIFY(!bench.battery.power());
        bench.battery.setPowerSaving(true);
        settle();
        QVERIFY(!bench.battery.power());
        QCOMPARE(bench.services.events, QStringList{"device_saving/power_saving/fail"});

        registry->getDevice(0x6D10)->setRemoved(true);
        registry->removeDevice(0x6D10);
        WAIT_COMPARE(CoreTestDevice::liveCount(), 0);
        registry->setFactory({});
    }

    void withoutDeviceTheSwitchFails()
    {
        BatteryBench bench;
        bench.battery.setPowerSaving(true);
        settle();
        QVERIFY(!bench.battery.power());
        QCOMPARE(bench.services.warnings, QList<int>{1});
        QCOMPARE(bench.services.open(), 0);
    }
};

QTEST_MAIN(TestBattreyModel)
#include "tst_battreymodel.moc"
