#include "CoreTestDevice.h"
#include "hid/DeviceResultWait.h"
#include "hid/HDeviceManager.h"
#include "hid/HWork.h"
#include "TestWait.h"

#include <QElapsedTimer>
#include <QSemaphore>
#include <QTimer>
#include <QtTest>

// The bounded wait of the GUI thread for a device result: it ends with the result, after its time-out, or as
// soon as the device is unplugged or deleted, and a completion that comes later does no harm.
class TestDeviceResultWait : public QObject
{
    Q_OBJECT

private:
    HDeviceManager* registry() { return HDeviceManager::instance(); }

    CoreTestDevice* plug()
    {
        registry()->createDevice(1);
        return static_cast<CoreTestDevice*>(registry()->getDevice(1));
    }

private slots:
    void initTestCase()
    {
        registry()->setFactory([](int pid) { return new CoreTestDevice(pid); });
    }

    void cleanup()
    {
        WAIT_COMPARE(HWork::pendingCount(), 0);
        if (KBaseDevice* device = registry()->getDevice(1))
            device->setRemoved(true);
        registry()->slot_destoryDevice();
        WAIT_COMPARE(CoreTestDevice::liveCount(), 0);
    }

    void endsWithTheResult()
    {
        CoreTestDevice* device = plug();
        HWork work;
        int result = 0;
        DeviceResultWait wait(device);
        work.run([] { return 7; }, [&, done = wait.finisher()](int value) {
            result = value;
            done();
        });
        QVERIFY(wait.wait());
        QCOMPARE(result, 7);
    }

    void endsWithoutADeviceAtAll()
    {
        DeviceResultWait wait(nullptr);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!wait.wait());
        QVERIFY(clock.elapsed() < 100);
    }

    // Unplugged or silent: the wait gives up, and the late result reaches a finisher that is gone.
    void endsWhenTheDeviceCannotAnswer_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("unplugged") << "removed";
        QTest::newRow("time-out") << "silent";
    }

    void endsWhenTheDeviceCannotAnswer()
    {
        QFETCH(QString, how);
        CoreTestDevice* device = plug();
        QSemaphore release;
        HWork work;
        int late = 0;
        bool ended = true;
        QElapsedTimer clock;
        {
            DeviceResultWait wait(device, how == QLatin1String("silent") ? 150 : 10000);
            work.run([&release] {
                release.acquire();
                return 1;
            }, [&late, done = wait.finisher()](int value) {
                late = value;
                done();
            });
            if (how == QLatin1String("removed"))
                QTimer::singleShot(30, device, [device] { device->setRemoved(true); });
            clock.start();
            ended = wait.wait();
        }
        QVERIFY(!ended);
        QVERIFY2(clock.elapsed() < 2000, "the wait outlasted the device");
        release.release();
        WAIT_COMPARE(late, 1);
    }
};

QTEST_MAIN(TestDeviceResultWait)
#include "tst_deviceresultwait.moc"
