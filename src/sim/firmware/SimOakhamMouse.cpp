#include "sim/firmware/SimOakhamMouse.h"

#include "sim/bus/SimBus.h"

namespace {

constexpr quint16 kUsagePage = 0xFF01;
constexpr quint16 kUsage = 1;
constexpr quint16 kFeatureLength = 9;
constexpr quint16 kOutputLength = 33;

} // namespace

SimOakhamMouse::SimOakhamMouse(SimBus* bus)
    : SimEmulator(bus)
{
}

SimOakhamMouse::~SimOakhamMouse()
{
    unplug();
}

void SimOakhamMouse::plug(quint16 productId)
{
    replugInterfaces({{describe(productId, 0x0100, QStringLiteral("Oakham mouse"),
                                {SimCollection::make(kUsagePage, kUsage, 0, kOutputLength, kFeatureLength, 0)}),
                       {this}}});
    QMutexLocker lock(&m_mutex);
    m_pid = productId;
    m_armed = false;
}

void SimOakhamMouse::unplug()
{
    setLocked(m_pid, quint16(0));
    SimEmulator::unplug();
}

bool SimOakhamMouse::onSetFeature(const QByteArray& report)
{
    QMutexLocker lock(&m_mutex);
    m_armed = report.size() >= 3 && quint8(report.at(1)) == 0x14 && quint8(report.at(2)) == 0x01;
    return true;
}

bool SimOakhamMouse::onOutput(const QByteArray& report)
{
    quint16 pid = 0;
    {
        QMutexLocker lock(&m_mutex);
        if (!m_armed || report.size() < 3)
            return true;
        pid = quint16(quint8(report.at(1)) | (quint8(report.at(2)) << 8));
        m_written = pid;
    }
    // The mouse restarts under the id it was given.
    plug(pid);
    return true;
}

quint16 SimOakhamMouse::productId() const { return locked(m_pid); }
bool SimOakhamMouse::armed() const { return locked(m_armed); }
int SimOakhamMouse::writtenId() const { return locked(m_written); }
