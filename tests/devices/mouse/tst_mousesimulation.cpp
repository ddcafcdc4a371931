// CORVANE_SIMULATE with mice: every mouse model whose family has an emulator can be named (a wireless model
// by its "_WIRELESS" name), is plugged with the address byte of its link, and is reached as a real mouse is.

#include "common/DeviceIds.h"
#include "devices/SimulatedModels.h"
#include "devices/mouse/register/KDeviceFarrant_Nordic.h"
#include "hid/DeviceFactory.h"
#include "hid/HDeviceManager.h"
#include "hid/KPidTables.h"
#include "devices/mouse/register/FarrantNordicProtocol.h"
#include "devices/mouse/register/FarrantNordicTransport.h"
#include "hid/khid/KUSBDevice.h"
#include "platform/hid/HidBackend.h"
#include "platform/sys/PlatformTime.h"
#include "sim/SimulationSetup.h"
#include "sim/bus/SimBus.h"
#include "TestWait.h"

#include <QMutex>
#include <QtTest>

using namespace FarrantNordic;

class TestMouseSimulation : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void registerMice_data();
    void registerMice();
    void everyRegisterMouseNameIsTaken();
    void simulatedRunOpensTheMouseClass();

private:
    KHID::HidBackend* m_previous = nullptr;
};

void TestMouseSimulation::init()
{
    m_previous = KHID::hidBackend();
    SimBus::instance()->reset();
    Platform::setSleepScale(0);
}

void TestMouseSimulation::cleanup()
{
    SimBus::instance()->reset();
    KHID::setHidBackend(m_previous);
}

void TestMouseSimulation::registerMice_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("pid");
    QTest::addColumn<int>("address");
    QTest::newRow("wired") << "JARROW_NORDIC" << int(DeviceIds::kJarrowNordic) << int(kAddressWired);
    QTest::newRow("through the receiver") << "jarrow_nordic_wireless" << int(DeviceIds::kJarrowNordicWireless)
                                          << int(kAddressReceiver);
    QTest::newRow("wireless outside the receiver range") << "YARRIN_WIRELESS" << int(DeviceIds::kYarrinWireless)
                                                         << int(kAddressReceiver);
}

void TestMouseSimulation::registerMice()
{
    QFETCH(QString, name);
    QFETCH(int, pid);
    QFETCH(int, address);

    QVERIFY(setupSimulation(name));
    QVERIFY(simulatedProductIds().contains(quint16(pid)));
    QCOMPARE(KHID::hidBackend(), static_cast<KHID::HidBackend*>(SimBus::instance()));

    KHID::KUSBDevice channel;
    QVERIFY(channel.initDevice(DeviceIds::kVendorId, quint16(pid), kCommandUsage, kCommandUsagePage, 0));
    QMutex mutex;
    FarrantNordicTransport transport;
    transport.setChannel(&channel);
    transport.setMutex(&mutex);
    // The mouse answers the address byte of its link only.
    transport.setAddressByte(quint8(address));
    QVERIFY(transport.readVersion() > 0);
    // A mouse behind the receiver has a charged battery to report.
    const QByteArray battery = transport.readBatteryReply();
    QCOMPARE(battery.isEmpty() || quint8(battery.at(0)) == 0, address == kAddressWired);
    transport.setAddressByte(quint8(address == kAddressWired ? kAddressReceiver : kAddressWired));
    QCOMPARE(transport.readVersion(), -1);
}

void TestMouseSimulation::everyRegisterMouseNameIsTaken()
{
    QStringList names;
    for (const DeviceIds::Model& m : DeviceIds::kModels) {
        if (m.family == DeviceIds::Family::RegisterMouse)
            names << QString::fromLatin1(m.typeName);
    }
    QVERIFY(setupSimulation(names.join(QLatin1Char(','))));
    QCOMPARE(simulatedProductIds().size() >= names.size(), true);
    for (const DeviceIds::Model& m : DeviceIds::kModels) {
        if (m.family == DeviceIds::Family::RegisterMouse)
            QVERIFY2(simulatedProductIds().contains(m.pid), m.typeName);
    }
}

void TestMouseSimulation::simulatedRunOpensTheMouseClass()
{
    // The product factory creates no mouse; a simulated run creates the simulated mouse's class, and the
    // watch recognises its id.
    QVERIFY(!DeviceFactory::create(DeviceIds::kJarrowNordic));
    QVERIFY(setupSimulation(QStringLiteral("JARROW_NORDIC")));
    useSimulatedModels(simulatedProductIds());
    QCOMPARE(kPidNameTable.value(DeviceIds::kJarrowNordic), QStringLiteral("JARROW_NORDIC"));
    HDeviceManager* registry = HDeviceManager::instance();
    QVERIFY(registry->createDevice(DeviceIds::kJarrowNordic));
    auto* mouse = qobject_cast<KDeviceFarrant_Nordic*>(registry->getDevice(DeviceIds::kJarrowNordic));
    QVERIFY(mouse);
    QVERIFY(mouse->initDevice());
    QCOMPARE(mouse->getLayout()->value("deviceName").toString(), QStringLiteral("JARROW"));
    // Ids that no emulated family serves stay as the product factory leaves them.
    QVERIFY(!registry->createDevice(DeviceIds::kKeyboardWireless));

    mouse->setRemoved(true);
    registry->removeDevice(DeviceIds::kJarrowNordic);
    WAIT_VERIFY(!registry->getDevice(DeviceIds::kJarrowNordic));
    registry->setFactory({});
}

QTEST_GUILESS_MAIN(TestMouseSimulation)
#include "tst_mousesimulation.moc"
