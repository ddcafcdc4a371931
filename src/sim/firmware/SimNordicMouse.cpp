#include "sim/firmware/SimNordicMouse.h"

#include "common/DeviceIds.h"
#include "sim/bus/SimBus.h"

namespace {

constexpr quint16 kUsagePage = 0xFF00;
constexpr quint16 kUsage = 14;
constexpr quint16 kOutputLength = 33;

} // namespace

SimNordicMouse::SimNordicMouse(SimBus* bus, quint16 productId, quint16 dfuProductId, const QString& portName)
    : SimEmulator(bus)
    , m_pid(productId)
    , m_dfuPid(dfuProductId)
    , m_portName(portName)
{
}

SimNordicMouse::~SimNordicMouse()
{
    unplug();
}

void SimNordicMouse::setPortDelay(int listings) { setLocked(m_portDelay, listings); }

void SimNordicMouse::plugApplication()
{
    unplug();
    replugInterfaces({{describe(m_pid, 0x0100, QStringLiteral("Nordic mouse"),
                                {SimCollection::make(kUsagePage, kUsage, 0, kOutputLength, 0)}),
                       {this}}});
}

void SimNordicMouse::plugPort()
{
    const int delay = locked(m_portDelay);
    if (delay < 0)
        return;
    const int port = bus()->plugSerialPort(m_portName, DeviceIds::kVendorId, m_dfuPid, delay);
    QMutexLocker lock(&m_mutex);
    m_portId = port;
}

void SimNordicMouse::unplug()
{
    int port;
    {
        QMutexLocker lock(&m_mutex);
        port = m_portId;
        m_portId = -1;
    }
    SimEmulator::unplug();
    if (port >= 0)
        bus()->unplugSerialPort(port);
}

bool SimNordicMouse::onOutput(const QByteArray& report)
{
    if (report.size() < 3 || quint8(report.at(0)) != kEnterDfuId || quint8(report.at(1)) != 0xFF
        || quint8(report.at(2)) != 0xA8)
        return true;
    {
        QMutexLocker lock(&m_mutex);
        ++m_enterReports;
    }
    // The mouse restarts into its DFU bootloader, which is a serial port.
    SimEmulator::unplug();
    plugPort();
    return true;
}

int SimNordicMouse::enterReports() const { return locked(m_enterReports); }
bool SimNordicMouse::portPlugged() const { return locked(m_portId) >= 0; }
