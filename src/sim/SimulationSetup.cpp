#include "sim/SimulationSetup.h"

#include "hid/KPidTables.h"
#include "sim/bus/SimBus.h"
#include "sim/keyboard/SimQuenbyKeyboard.h"

#include <QDebug>
#include <QHash>
#include <QMutex>
#include <QRegularExpression>

namespace {

const char* const kEnvironmentVariable = "CORVANE_SIMULATE";

// The keyboards the program simulates live as long as the process, as the bus does: device threads may
// still be talking to them while the program shuts down.
QHash<quint16, SimQuenbyKeyboard*>& simulatedKeyboards()
{
    static QHash<quint16, SimQuenbyKeyboard*> keyboards;
    return keyboards;
}

int productIdOf(const QString& deviceType)
{
    for (auto it = kPidNameTable.cbegin(); it != kPidNameTable.cend(); ++it) {
        if (it.value().compare(deviceType, Qt::CaseInsensitive) == 0)
            return it.key();
    }
    return 0;
}

} // namespace

bool setupSimulation(const QString& deviceTypes)
{
    static QMutex mutex;
    QMutexLocker lock(&mutex);

    const QStringList names = deviceTypes.split(QRegularExpression(QStringLiteral("[,;\\s]+")),
                                                Qt::SkipEmptyParts);
    QList<quint16> productIds;
    for (const QString& name : names) {
        const int pid = productIdOf(name);
        if (pid == 0) {
            qWarning() << "[Warning] CORVANE_SIMULATE: no simulated device of type" << name;
            continue;
        }
        if (!productIds.contains(quint16(pid)))
            productIds.append(quint16(pid));
    }
    if (productIds.isEmpty())
        return false;

    SimBus* bus = SimBus::instance();
    for (quint16 pid : productIds) {
        SimQuenbyKeyboard*& keyboard = simulatedKeyboards()[pid];
        if (!keyboard)
            keyboard = new SimQuenbyKeyboard(pid);
        if (!keyboard->isPlugged())
            keyboard->plug(bus);
        qInfo().noquote() << "[Info] simulated device on the bus:" << kPidNameTable.value(pid)
                          << keyboard->commandPath();
    }
    bus->install();
    return true;
}

bool setupSimulationFromEnvironment()
{
    if (!qEnvironmentVariableIsSet(kEnvironmentVariable))
        return false;
    return setupSimulation(qEnvironmentVariable(kEnvironmentVariable));
}
