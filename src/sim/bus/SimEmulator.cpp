#include "sim/bus/SimEmulator.h"

#include "common/DeviceIds.h"

#include <QMutexLocker>

#include <algorithm>

SimEmulator::SimEmulator(SimBus* bus)
    : m_bus(bus)
{
}

SimEmulator::~SimEmulator()
{
    unplugAll();
}

SimBus* SimEmulator::bus() const
{
    QMutexLocker lock(&m_mutex);
    return m_bus ? m_bus : SimBus::instance();
}

bool SimEmulator::plugInterfaces(SimBus* bus, const QList<Interface>& interfaces)
{
    if (isPlugged())
        return false;
    // What a bus reset or a test's own unplug left behind goes first.
    unplugAll();
    if (bus) {
        QMutexLocker lock(&m_mutex);
        m_bus = bus;
    }
    plugAll(this->bus(), interfaces);
    return true;
}

void SimEmulator::replugInterfaces(const QList<Interface>& interfaces)
{
    unplugAll();
    plugAll(bus(), interfaces);
}

void SimEmulator::unplug()
{
    unplugAll();
}

void SimEmulator::unplugAll()
{
    SimBus* bus = nullptr;
    QList<int> ids;
    {
        QMutexLocker lock(&m_mutex);
        bus = m_bus;
        ids.swap(m_deviceIds);
    }
    std::reverse(ids.begin(), ids.end());
    // The bus calls back into the emulator, so our lock is not held here; an id a reset removed is refused.
    for (int id : qAsConst(ids))
        bus->unplug(id);
}

void SimEmulator::plugAll(SimBus* bus, const QList<Interface>& interfaces)
{
    QList<int> ids;
    for (const Interface& interface : interfaces)
        ids.append(bus->plug(interface.device, interface.responders));
    QMutexLocker lock(&m_mutex);
    m_deviceIds = ids;
}

int SimEmulator::busDeviceId() const
{
    SimBus* bus = nullptr;
    int id = -1;
    {
        QMutexLocker lock(&m_mutex);
        bus = m_bus;
        id = m_deviceIds.isEmpty() ? -1 : m_deviceIds.last();
    }
    return id >= 0 && bus->isPlugged(id) ? id : -1;
}

bool SimEmulator::isPlugged() const
{
    return busDeviceId() >= 0;
}

QString SimEmulator::collectionPath(int collection) const
{
    const int id = busDeviceId();
    return id >= 0 ? bus()->path(id, collection) : QString();
}

void SimEmulator::failOnBus(SimBus::Fault fault, int collection, int count) const
{
    const int id = busDeviceId();
    if (id >= 0)
        bus()->failNext(id, fault, count, collection);
}

SimDevice SimEmulator::describe(quint16 productId, quint16 versionNumber, const QString& productName,
                                const QList<SimCollection>& collections)
{
    SimDevice device;
    device.vendorId = DeviceIds::kVendorId;
    device.productId = productId;
    device.versionNumber = versionNumber;
    device.productName = productName;
    device.collections = collections;
    return device;
}

quint8 SimEmulator::lockedByte(const QByteArray& memory, int index) const
{
    QMutexLocker lock(&m_mutex);
    return index >= 0 && index < memory.size() ? quint8(memory.at(index)) : 0;
}

void SimEmulator::setLockedByte(QByteArray& memory, int index, quint8 value)
{
    QMutexLocker lock(&m_mutex);
    if (index >= 0 && index < memory.size())
        memory[index] = char(value);
}

void SimEmulator::setLockedMemory(QByteArray& memory, const QByteArray& bytes, int size)
{
    QMutexLocker lock(&m_mutex);
    memory = bytes.left(size);
    memory.append(QByteArray(size - memory.size(), '\0'));
}

// --- Collection ---------------------------------------------------------------------------------------------

bool SimEmulator::Collection::onOutput(const QByteArray& report)
{
    return output ? output(report) : SimResponder::onOutput(report);
}

bool SimEmulator::Collection::onSetFeature(const QByteArray& report)
{
    return setFeature ? setFeature(report) : SimResponder::onSetFeature(report);
}

bool SimEmulator::Collection::onGetFeature(quint8 reportId, QByteArray& report)
{
    return getFeature ? getFeature(reportId, report) : SimResponder::onGetFeature(reportId, report);
}

bool SimEmulator::Collection::onGetInputReport(quint8 reportId, QByteArray& report)
{
    return getInputReport ? getInputReport(reportId, report) : SimResponder::onGetInputReport(reportId, report);
}
