#include "CoreTestDevice.h"
#include "hid/HDeviceManager.h"
#include "hid/HWork.h"
#include "TestWait.h"

#include <QPointer>
#include <QSemaphore>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include <csignal>

// The task executor together with the registry: where results arrive, which completion gets which result,
// what a refused request reports, and that unplugged devices live exactly as long as a task can reach them.
class TestHWork : public QObject
{
    Q_OBJECT

private:
    HDeviceManager* registry() { return HDeviceManager::instance(); }

    // Marks every registered device removed and lets the registry delete them.
    void unplugAll()
    {
        WAIT_COMPARE(HWork::pendingCount(), 0);
        for (int pid = 0; pid < 8; ++pid) {
            if (KBaseDevice* device = registry()->getDevice(pid))
                device->setRemoved(true);
        }
        registry()->slot_destoryDevice();
        WAIT_COMPARE(CoreTestDevice::liveCount(), 0);
    }

private slots:
    void initTestCase()
    {
        registry()->setFactory([](int pid) { return new CoreTestDevice(pid); });
    }

    void cleanup() { unplugAll(); }

    void completionRunsOnGuiThread()
    {
        QVERIFY(registry()->createDevice(1));
        HWork work;
        QThread* workThread = nullptr;
        QThread* doneThread = nullptr;
        bool crashStack = false;
        int result = 0;
        QVERIFY(work.run(
            [&] {
                workThread = QThread::currentThread();
                // The pool thread can still report a crash when its own stack has run out.
                stack_t stack = {};
                crashStack = sigaltstack(nullptr, &stack) == 0 && !(stack.ss_flags & SS_DISABLE);
                return 42;
            },
            [&](int value) {
                doneThread = QThread::currentThread();
                result = value;
            }));
        QCOMPARE(HWork::pendingCount(), 1);
        WAIT_COMPARE(result, 42);
        QCOMPARE(doneThread, qApp->thread());
        QVERIFY(workThread != qApp->thread());
        QVERIFY(crashStack);
        QCOMPARE(HWork::pendingCount(), 0);
    }

    // Results cross threads in queued signals; each type must arrive intact.
    void resultTypesArrive()
    {
        QVERIFY(registry()->createDevice(1));
        auto* device = static_cast<CoreTestDevice*>(registry()->getDevice(-1));
        HWork work;
        bool lightSet = false;
        QJsonObject json;
        H_KEYLIGHT lights;
        QMap<KKey, KKeyModelItem> keys;
        QMap<QString, int> rgb;
        QVector<int> dpi;

        QVERIFY(work.run(&KBaseDevice::setLightModel, device, 3, 0, [&](bool ok) { lightSet = ok; }));
        work.run([] { return QJsonObject{{"value", 7}}; }, [&](QJsonObject o) { json = o; });
        work.run(
            [] {
                H_KEYLIGHT map;
                map.insert(KKey(20), FKeyLightModelItem(20, 3, QStringLiteral("ff8000")));
                return map;
            },
            [&](H_KEYLIGHT map) { lights = map; });
        work.run(
            [] {
                QMap<KKey, KKeyModelItem> map;
                map.insert(KKey(15), KKeyModelItem(15, 29, 1, 2, 3, 4, QStringLiteral("M1")));
                return map;
            },
            [&](QMap<KKey, KKeyModelItem> map) { keys = map; });
        work.run([] { return QMap<QString, int>{{"r", 1}, {"g", 2}, {"b", 3}}; },
                 [&](QMap<QString, int> map) { rgb = map; });
        work.run([] { return QVector<int>{400, 800}; }, [&](QVector<int> v) { dpi = v; });

        WAIT_COMPARE(HWork::pendingCount(), 0);
        QVERIFY(lightSet);
        QCOMPARE(json.value("value").toInt(), 7);
        QCOMPARE(lights.value(KKey(20)).color(), QStringLiteral("ff8000"));
        QCOMPARE(lights.value(KKey(20)).brightness(), 3);
        QCOMPARE(keys.value(KKey(15)).getTxt(), QStringLiteral("M1"));
        QCOMPARE(keys.value(KKey(15)).getValue4(), 4);
        QCOMPARE(rgb.value("b"), 3);
        QCOMPARE(dpi, (QVector<int>{400, 800}));
    }

    // The earlier task finishes last; each result must still reach the completion of its own request.
    void sameResultTypeKeepsItsCompletion()
    {
        QVERIFY(registry()->createDevice(1));
        HWork work;
        QSemaphore firstGate;
        QList<QString> received;
        work.run(
            [&] {
                firstGate.acquire();
                return true;
            },
            [&](bool ok) { received << QStringLiteral("dpi:%1").arg(ok); });
        work.run([] { return false; }, [&](bool ok) { received << QStringLiteral("light:%1").arg(ok); });

        WAIT_COMPARE(received, QList<QString>{QStringLiteral("light:0")});
        firstGate.release();
        WAIT_COMPARE(received, (QList<QString>{QStringLiteral("light:0"), QStringLiteral("dpi:1")}));
    }

    void refusedRequestReportsFailure_data()
    {
        QTest::addColumn<bool>("withDevice");
        QTest::newRow("no device") << false;
        QTest::newRow("device unplugged") << true;
    }

    void refusedRequestReportsFailure()
    {
        QFETCH(bool, withDevice);
        QPointer<KBaseDevice> device;
        if (withDevice) {
            QVERIFY(registry()->createDevice(1));
            device = registry()->getDevice(-1);
            device->setRemoved(true);
        }
        HWork work;
        bool ran = false;
        int intCalls = 0, boolCalls = 0;
        int intResult = 0;
        bool boolResult = true;
        QThread* doneThread = nullptr;

        QVERIFY(!work.run(
            [&] {
                ran = true;
                return 5;
            },
            [&](int value) {
                ++intCalls;
                intResult = value;
                doneThread = QThread::currentThread();
            }));
        QVERIFY(!work.run(
            [&](int, int) {
                ran = true;
                return true;
            },
            1, 2,
            [&](bool ok) {
                ++boolCalls;
                boolResult = ok;
            }));
        QVERIFY(!work.run([&] { ran = true; }));
        // Never from inside run(): callers finish setting up (a busy indicator) before it arrives.
        QCOMPARE(intCalls, 0);
        QCOMPARE(HWork::pendingCount(), 0);

        WAIT_COMPARE(intCalls, 1);
        WAIT_COMPARE(boolCalls, 1);
        QCOMPARE(intResult, -1);
        QCOMPARE(boolResult, false);
        QCOMPARE(doneThread, qApp->thread());
        QTest::qWait(20);
        QVERIFY(!ran);
        QCOMPARE(intCalls, 1);
    }

    void unpluggedDeviceLivesUntilItsTaskIsDelivered()
    {
        QVERIFY(registry()->createDevice(1));
        QPointer<KBaseDevice> device = registry()->getDevice(1);
        HWork work;
        QSignalSpy finished(&work, &HWork::taskFinished);
        QSemaphore gate;
        bool deviceAliveAtDelivery = false;
        KBaseDevice* raw = device.data();
        work.run(
            [&gate, raw] {
                gate.acquire();
                return raw->getFwVersion();
            },
            [&](int) { deviceAliveAtDelivery = !device.isNull(); });

        device->setRemoved(true);
        registry()->removeDevice(1);
        QTest::qWait(30);
        QVERIFY(device);
        QCOMPARE(registry()->getDevice(1), device.data());

        gate.release();
        WAIT_VERIFY(device.isNull());
        QVERIFY(deviceAliveAtDelivery);
        QCOMPARE(finished.count(), 1);
        QVERIFY(!registry()->getDevice(1));
        QVERIFY(!registry()->getDevice(-1));
    }

    // The removed device is no longer the current one when its task ends; it must go all the same.
    void oldDeviceGoesWhenAnotherBecameCurrent()
    {
        QVERIFY(registry()->createDevice(1));
        QPointer<KBaseDevice> first = registry()->getDevice(1);
        HWork work;
        QSemaphore gate;
        bool delivered = false;
        work.run(
            [&gate] {
                gate.acquire();
                return true;
            },
            [&](bool) { delivered = true; });
        first->setRemoved(true);
        registry()->removeDevice(1);

        QVERIFY(registry()->createDevice(2));
        QPointer<KBaseDevice> second = registry()->getDevice(-1);
        QVERIFY(second && second != first);

        gate.release();
        WAIT_VERIFY(delivered);
        WAIT_VERIFY(first.isNull());
        QTest::qWait(20);
        QVERIFY(second);
        QCOMPARE(registry()->getDevice(-1), second.data());
    }

    // The same product id comes back while the unplugged object still has a task: both objects must be
    // accounted for, the old one deleted after the task, the new one kept.
    void samePidReopenedWhileOldObjectPending()
    {
        QVERIFY(registry()->createDevice(1));
        QPointer<KBaseDevice> old = registry()->getDevice(1);
        HWork work;
        QSemaphore gate;
        work.run(
            [&gate] {
                gate.acquire();
                return 1;
            },
            [](int) {});
        old->setRemoved(true);
        registry()->removeDevice(1);

        QVERIFY(registry()->createDevice(1));
        QPointer<KBaseDevice> fresh = registry()->getDevice(1);
        QVERIFY(fresh && fresh != old);
        QCOMPARE(CoreTestDevice::liveCount(), 2);
        QTest::qWait(20);
        QVERIFY(old);

        gate.release();
        WAIT_VERIFY(old.isNull());
        QTest::qWait(20);
        QVERIFY(fresh);
        QCOMPARE(CoreTestDevice::liveCount(), 1);
    }

    // Shutdown runs after the event loop: devices whose deferred deletion never ran must go all the same.
    void shutdownDeletesDevicesAwaitingDeletion()
    {
        QVERIFY(registry()->createDevice(1));
        QVERIFY(registry()->createDevice(2));
        QPointer<KBaseDevice> unplugged = registry()->getDevice(1);
        QPointer<KBaseDevice> current = registry()->getDevice(2);
        unplugged->setRemoved(true);
        registry()->removeDevice(1); // handed to deleteLater; no event loop runs before the shutdown
        QVERIFY(!registry()->getDevice(1));
        QVERIFY(unplugged);

        registry()->deleteAllDevices();
        QVERIFY(unplugged.isNull());
        QVERIFY(current.isNull());
        QCOMPARE(CoreTestDevice::liveCount(), 0);
        QVERIFY(!registry()->getDevice(-1));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // nothing deleted twice
    }

    void workWithoutResultLowersTheCount()
    {
        QVERIFY(registry()->createDevice(1));
        HWork work;
        QSignalSpy ret(&work, &HWork::sigRet);
        std::atomic<bool> ran{false};
        QVERIFY(work.run([&ran](int value) { ran = value == 9; }, 9));
        WAIT_COMPARE(ret.count(), 1);
        WAIT_COMPARE(HWork::pendingCount(), 0);
        QVERIFY(ran);
    }

    // An executor that goes away while its task runs: no crash, the count comes back, and an unplugged
    // device waiting for that task is still deleted.
    void executorDeletedWhileItsTaskRuns()
    {
        QVERIFY(registry()->createDevice(1));
        QPointer<KBaseDevice> device = registry()->getDevice(1);
        auto* work = new HWork;
        QSemaphore gate;
        bool delivered = false;
        work->run(
            [&gate] {
                gate.acquire();
                return true;
            },
            [&](bool) { delivered = true; });
        device->setRemoved(true);
        delete work;
        QVERIFY(device);
        gate.release();
        WAIT_COMPARE(HWork::pendingCount(), 0);
        WAIT_VERIFY(device.isNull());
        QVERIFY(!delivered);
    }

    // A device's own executor inside the device that is being deleted: the delivery that triggers the
    // deletion comes from that executor.
    void deviceOwnExecutorDeliversItsLastTask()
    {
        QVERIFY(registry()->createDevice(1));
        QPointer<CoreTestDevice> device = static_cast<CoreTestDevice*>(registry()->getDevice(1));
        QSemaphore gate;
        int version = 0;
        CoreTestDevice* raw = device.data();
        device->executor().run(
            [&gate, raw] {
                gate.acquire();
                return raw->getFwVersion();
            },
            [&](int v) { version = v; });
        device->setRemoved(true);
        registry()->removeDevice(1);
        gate.release();
        WAIT_VERIFY(device.isNull());
        QCOMPARE(version, 0x80);
    }

    void outValueKinds()
    {
        QVERIFY(registry()->createDevice(1));
        HWork work;
        int pic = 0;
        bool picFlag = false;
        bool idOk = false;
        int macroId = 0;
        QVector<KMacroItem> items;
        work.runPicIndex(
            [](bool& flag) {
                flag = true;
                return 3;
            },
            false, [&](int index, bool flag) {
                pic = index;
                picFlag = flag;
            });
        work.runMacroId(
            [](int key, int* slot) {
                *slot = key + 1;
                return true;
            },
            4, [&](bool ok, int slot) {
                idOk = ok;
                macroId = slot;
            });
        work.runMacroItem(
            [](QVector<KMacroItem>& list, int key) {
                list.append(KMacroItem(KMacroItem::Delay, key, 0, false, QString()));
                return true;
            },
            QVector<KMacroItem>(), 50, [&](bool, QVector<KMacroItem> list) { items = list; });
        WAIT_COMPARE(HWork::pendingCount(), 0);
        QCOMPARE(pic, 3);
        QVERIFY(picFlag);
        QVERIFY(idOk);
        QCOMPARE(macroId, 5);
        QCOMPARE(items.size(), 1);
        QCOMPARE(items.first().value1, 50);
    }
};

QTEST_MAIN(TestHWork)
#include "tst_hwork.moc"
