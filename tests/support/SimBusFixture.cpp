#include "SimBusFixture.h"

#include "platform/sys/PlatformTime.h"

SimBusFixture::SimBusFixture()
    : m_bus(SimBus::instance())
    , m_previous(KHID::hidBackend())
    , m_previousPorts(Platform::serialPortBackend())
{
    Platform::setSleepScale(0.0);
    m_bus->reset();
    m_bus->install();
}

SimBusFixture::~SimBusFixture()
{
    m_bus->reset();
    KHID::setHidBackend(m_previous);
    Platform::setSerialPortBackend(m_previousPorts);
}

int SimBusFixture::plug(const QList<SimCollection>& collections, const QList<SimResponder*>& responders,
                        quint16 vendorId, quint16 productId, int interfaceNumber)
{
    SimDevice device;
    device.vendorId = vendorId;
    device.productId = productId;
    device.versionNumber = 0x0100;
    device.productName = QStringLiteral("Simulated device");
    device.interfaceNumber = interfaceNumber;
    device.collections = collections;
    return m_bus->plug(device, responders);
}
