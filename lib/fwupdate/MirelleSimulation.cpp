#include "MirelleSimulation.h"

#include "HCawdorSeries.h"
#include "ModelPidMap.h"

#include "sim/bus/SimBus.h"
#include "sim/firmware/SimCawdorMouse.h"

#include <QDebug>
#include <QRegularExpression>

namespace {

void setup()
{
    const QStringList names = qEnvironmentVariable("CORVANE_SIMULATE")
                                  .split(QRegularExpression(QStringLiteral("[,;\\s]+")), Qt::SkipEmptyParts);
    SimBus* bus = nullptr;
    for (const QString& name : names) {
        const int pid = ModelPidMap::productId(name);
        if (ModelPidMap::updaterFor(pid) != ModelPidMap::Updater::Cawdor) {
            qWarning().noquote() << "[Warning] CORVANE_SIMULATE: no simulated firmware for" << name;
            continue;
        }
        if (!bus)
            bus = SimBus::instance();
        // The emulators live as long as the process, as the bus does.
        auto* mouse = new SimCawdorMouse(bus, quint16(pid), HCawdorSeries::kBootloaderUsagePage);
        mouse->plugApplication();
        qInfo().noquote() << "[Info] simulated firmware on the bus:" << name;
    }
    if (bus)
        bus->install();
}

} // namespace

void setupFirmwareSimulationFromEnvironment()
{
    static const bool done = [] {
        if (qEnvironmentVariableIsSet("CORVANE_SIMULATE"))
            setup();
        return true;
    }();
    Q_UNUSED(done)
}
