#include "sim/SimulationSetup.h"

#include "sim/bus/SimBus.h"

#include <QDebug>
#include <QMutex>
#include <QRegularExpression>

namespace {

const char* const kEnvironmentVariable = "CORVANE_SIMULATE";

QMutex& setupMutex()
{
    static QMutex mutex;
    return mutex;
}

QList<quint16>& pluggedIds()
{
    static QList<quint16> ids;
    return ids;
}

bool emulatorOf(const DeviceIds::Model& model, SimEmulatorFamily* out)
{
    for (const SimEmulatorFamily& family : simEmulatorFamilies()) {
        if (family.family == model.family) {
            *out = family;
            return true;
        }
    }
    return false;
}

// The catalogue row of a device-type name whose family has an emulator.
const DeviceIds::Model* simulatedModel(const QString& deviceType)
{
    SimEmulatorFamily family;
    for (const DeviceIds::Model& model : DeviceIds::kModels) {
        if (*model.typeName && deviceType.compare(QLatin1String(model.typeName), Qt::CaseInsensitive) == 0)
            return emulatorOf(model, &family) ? &model : nullptr;
    }
    return nullptr;
}

} // namespace

bool setupSimulation(const QString& deviceTypes)
{
    QMutexLocker lock(&setupMutex());

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
        SimEmulatorFamily family;
        emulatorOf(*model, &family);
        const QString path = family.plug(model->pid, bus);
        if (!pluggedIds().contains(model->pid))
            pluggedIds().append(model->pid);
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

QList<quint16> simulatedProductIds()
{
    QMutexLocker lock(&setupMutex());
    return pluggedIds();
}
