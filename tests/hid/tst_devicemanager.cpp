#include "CoreTestDevice.h"
#include "SimBusFixture.h"
#include "SimRecordingResponder.h"
#include "common/DeviceIds.h"
#include "hid/HCommunicateManager.h"
#include "hid/HDeviceManager.h"
#include "hid/khid/KUSBDevice.h"
#include "devices/keyboard/FDeviceQuenby_8a.h"
#include "TestWait.h"

#include <QPointer>
#include <QtConcurrent>
#include <QtTest>

// The registry with the product factory, and the channel manager: channels live as long as their owners,
// and one transaction mutex keeps exchanges of several pool threads apart on the bus.
class TestDeviceManager : public QObject
{
    Q_OBJECT

private slots:
    // Must run first in this program: nothing has been created yet.
    void currentDeviceBeforeAnyIsNull()
    {
        QVERIFY(!HDeviceManager::instance()->getDevice(-1));
        QVERIFY(!HDeviceManager::instance()->getDevice(DeviceIds::kKeyboardWired));
        QVERIFY(!HDeviceManager::instance()->isBusy());
    }

    void wiredKeyboardGetsItsClass()
    {
        HDeviceManager* registry = HDeviceManager::instance();
        QVERIFY(registry->createDevice(DeviceIds::kKeyboardWired));
        QPointer<KBaseDevice> device = registry->getDevice(-1);
        QVERIFY(qobject_cast<FDeviceQuenby_8a*>(device.data()));
        QCOMPARE(registry->currentPid(), int(DeviceIds::kKeyboardWired));

        device->setRemoved(true);
        registry->removeDevice(DeviceIds::kKeyboardWired);
        WAIT_VERIFY(device.isNull());
        QVERIFY(!registry->getDevice(-1));
    }

    // A device class that overrides nothing optional answers neutrally and never touches the device.
    void optionalOperationsAnswerNeutrally()
    {
        SimBusFixture bus;
        bus->clearTranscript();
        CoreTestDevice device;
        KBaseDevice& base = device;
        const KKey key = KKey(20);
        QCOMPARE(base.readConfigByte(), -1);
        QCOMPARE(base.setOperatingMode(1, 0), true);
        QCOMPARE(base.getMouseConfig(QJsonObject {{"fwVersion", 1}}), int(KBaseDevice::ProfileNotHandled));
        QCOMPARE(base.getConfigByte() + base.getCurrentPicIndex() + base.getOLEDLightIntensity()
                     + base.getBatteryValue() + base.getPressMacroCode() + base.getDefinedPressMacro()
                     + base.getLogoLightMode(0),
                 0);
        QVERIFY(!base.getPowerSaving() && !base.getLightDirection() && !base.getLightMonochromatic());
        QVERIFY(base.getKeyBrightness().isEmpty() && base.getKeyColor().isEmpty());
        QVERIFY(!base.writeReportRate(1) && !base.setOLEDLightIntensity(1) && !base.setCurrentPicIndex(1)
                && !base.writeImageToMouse() && !base.setPicNumber(1) && !base.setPressMacroCode(1)
                && !base.setDefinedPressMacro(1) && !base.setDefaultFlash() && !base.setPowerSaving(true)
                && !base.setLogoLightMode(1, 0) && !base.setKeyBrightness(key, 1)
                && !base.setKeyRGB(key, {{"r", 1}, {"g", 2}, {"b", 3}}, 0, 0) && !base.setLightDirection(true)
                && !base.setMonochromaticMode(true) && !base.enterGameMode());
        QVERIFY(bus->transcript().isEmpty());
    }

    void productIdsWithoutDeviceClassAreRefused_data()
    {
        QTest::addColumn<int>("pid");
        QTest::newRow("keyboard wireless") << int(DeviceIds::kKeyboardWireless);
        QTest::newRow("rgb keyboard") << int(DeviceIds::kRgbKeyboard);
        QTest::newRow("receiver") << int(DeviceIds::kReceiver);
        QTest::newRow("mouse") << int(DeviceIds::mousePid("FARRANT"));
        QTest::newRow("unknown") << 0x1234;
    }

    void productIdsWithoutDeviceClassAreRefused()
    {
        QFETCH(int, pid);
        HDeviceManager* registry = HDeviceManager::instance();
        registry->setFactory([](int pid) { return pid == 7 ? new CoreTestDevice(pid) : nullptr; });
        QVERIFY(registry->createDevice(7));
        registry->setFactory({});

        QVERIFY(!registry->createDevice(pid));
        QVERIFY(!registry->getDevice(pid));
        QCOMPARE(registry->getDevice(-1), registry->getDevice(7));

        registry->getDevice(7)->setRemoved(true);
        registry->slot_destoryDevice();
        WAIT_COMPARE(CoreTestDevice::liveCount(), 0);
    }

    void channelLivesAsLongAsItsOwner()
    {
        HCommunicateManager* channels = HCommunicateManager::instance();
        QMutex* mutex = channels->getMutex();
        QVERIFY(mutex);

        auto* first = new QObject;
        auto* second = new QObject;
        QPointer<KHID::KUSBDevice> firstChannel = channels->getDevice(first);
        QPointer<KHID::KUSBDevice> secondChannel = channels->getDevice(second);
        QVERIFY(firstChannel && secondChannel);
        QVERIFY(firstChannel != secondChannel);
        QCOMPARE(channels->getDevice(first), firstChannel.data());
        QCOMPARE(channels->getMutex(), mutex);

        delete first;
        QVERIFY(firstChannel.isNull());
        QVERIFY(secondChannel);
        QCOMPARE(channels->getMutex(), mutex);

        delete second;
        QVERIFY(secondChannel.isNull());
        // Devices that open a channel later still find the same, usable mutex.
        QCOMPARE(channels->getMutex(), mutex);
        QVERIFY(mutex->tryLock());
        mutex->unlock();
    }

    void transactionsOfTwoThreadsDoNotInterleave()
    {
        SimBusFixture bus;
        SimRecordingResponder firmware;
        firmware.setInputReply(4, QByteArray(65, '\x04'));
        const int id = bus.plug({SimCollection::make(0xFF1C, 0x92, 65, 65, 0)}, {&firmware}, DeviceIds::kVendorId,
                                DeviceIds::kKeyboardWired);
        QVERIFY(id > 0);

        HCommunicateManager* channels = HCommunicateManager::instance();
        QObject ownerA, ownerB;
        KHID::KUSBDevice* a = channels->getDevice(&ownerA);
        KHID::KUSBDevice* b = channels->getDevice(&ownerB);
        for (KHID::KUSBDevice* channel : {a, b})
            QVERIFY(channel->initDevice(DeviceIds::kVendorId, DeviceIds::kKeyboardWired, 0x92, 0xFF1C, quint16(0)));
        bus->clearTranscript();

        auto exchange = [&bus, channels](KHID::KUSBDevice* channel, quint8 marker) {
            int good = 0;
            for (int i = 0; i < 40; ++i) {
                QMutexLocker lock(channels->getMutex());
                bus->beginTransaction();
                const KHID::BYTE payload[4] = {marker, quint8(i), 0, 0};
                KHID::BYTE reply[65] = {};
                if (channel->sendOutputReport(4, payload, sizeof payload)
                    && channel->readInputReport(4, reply, sizeof reply))
                    ++good;
                bus->endTransaction();
            }
            return good;
        };
        QFuture<int> first = QtConcurrent::run(exchange, a, quint8(0xA1));
        QFuture<int> second = QtConcurrent::run(exchange, b, quint8(0xB2));
        QCOMPARE(first.result(), 40);
        QCOMPARE(second.result(), 40);

        QString why;
        QVERIFY2(SimBus::checkNoInterleaving(bus->transcript(), &why), qPrintable(why));
        QCOMPARE(firmware.outputs().size(), 80);
    }
};

QTEST_MAIN(TestDeviceManager)
#include "tst_devicemanager.moc"
