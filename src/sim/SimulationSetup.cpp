#include "sim/SimulationSetup.h"

#include "common/DeviceIds.h"
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
QString plugKeyboard(quint16 pid, SimBus* bus)
{
    static QHash<quint16, SimQuenbyKeyboard*> keyboards;
    SimQuenbyKeyboard*& keyboard = keyboards[pid];
    if (!keyboard)
        keyboard = new SimQuenbyKeyboard(pid);
    if (!keyboard->isPlugged())
        keyboard->plug(bus);
    return keyboard->commandPath();
}

// The families this build can simulate, and how a model of one is put on the bus (returns its command path).
struct Emulator {
    DeviceIds::Family family;
    QString (*plug)(quint16 pid, SimBus* bus);
};

constexpr Emulator kEmulators[] = {
    {DeviceIds::Family::Keyboard, &plugKeyboard},
};

const Emulator* emulatorOf(const DeviceIds::Model& model)
{
    for (const Emulator& emulator : kEmulators) {
        if (emulator.family == model.family)
            return &emulator;
    }
    return nullptr;
}

// The catalogue row of a device-type name whose family has an emulator.
const DeviceIds::Model* simulatedModel(const QString& deviceType)
{
    for (const DeviceIds::Model& model : DeviceIds::kModels) {
        if (*model.typeName && deviceType.compare(QLatin1String(model.typeName), Qt::CaseInsensitive) == 0)
            return emulatorOf(model) ? &model : nullptr;
    }
    return nullptr;
}

} // namespace

bool setupSimulation(const QString& deviceTypes)
{
    static QMutex mutex;
    QMutexLocker lock(&mutex);

    const QStringList names = deviceTypes.split(QRegularExpression(QStringLiteral("[,;\\s]+")),
                                                Qt::SkipEmptyParts);
    QList<const DeviceIds::Model*> models;
    for (const QString& name : names) {
        const DeviceIds::Model* model = simulatedModel(name);
        if (!model) {
            qWarning() << "[Warning] CORVANE_SIMULATE: no simulated device of type" << name;
            continue;
        }
        if (!models.contains(model))
            models.append(model);
    }
    if (models.isEmpty())
        return false;

    SimBus* bus = SimBus::instance();
    for (const DeviceIds::Model* model : models) {
        const QString path = emulatorOf(*model)->plug(model->pid, bus);
        qInfo().noquote() << "[Info] simulated device on the bus:" << model->typeName << path;
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
