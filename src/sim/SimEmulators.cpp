#include "sim/SimulationSetup.h"

#include "sim/keyboard/SimQuenbyKeyboard.h"
#include "sim/mouse/featurereport/SimFeatureReportMouse.h"
#include "sim/mouse/featurereport/SimSupplierImageMouse.h"
#include "sim/mouse/register/SimRegisterMouse.h"
#include "sim/mouse/twocollection/SimTwoCollectionMouse.h"
#include "sim/mouse/twopage/SimTwoPageMouse.h"

#include <QHash>

// The emulator families of this build, one line each.

namespace {

constexpr quint32 kSimulatedBatteryReading = 0x2D5;

// Emulators of a simulated run live as long as the process, as the bus does: the table is never destroyed, so
// they stay reachable to the end (no emulator is torn down under a device thread at exit).
template <typename Emulator, typename Make>
Emulator* processEmulator(quint16 pid, Make make)
{
    static auto* const emulators = new QHash<quint16, Emulator*>;
    Emulator*& emulator = (*emulators)[pid];
    if (!emulator)
        emulator = make();
    return emulator;
}

QString plugKeyboard(quint16 pid, SimBus* bus)
{
    SimQuenbyKeyboard* keyboard = processEmulator<SimQuenbyKeyboard>(pid, [pid] { return new SimQuenbyKeyboard(pid); });
    if (!keyboard->isPlugged())
        keyboard->plug(bus);
    return keyboard->commandPath();
}

// A wireless model answers with the receiver's address byte.
QString plugRegisterMouse(quint16 pid, SimBus* bus)
{
    const DeviceIds::Model* model = DeviceIds::find(pid);
    const quint8 address = model && model->link == DeviceIds::Link::Wireless ? SimRegister::kAddressReceiver
                                                                            : SimRegister::kAddressWired;
    SimRegisterMouse* mouse = processEmulator<SimRegisterMouse>(pid, [pid, address] {
        auto* made = new SimRegisterMouse(pid, address);
        // A charged battery (the reading just under full), so a simulated wireless mouse shows one.
        if (address == SimRegister::kAddressReceiver)
            made->setBatteryReading(kSimulatedBatteryReading);
        return made;
    });
    if (!mouse->isPlugged())
        mouse->plug(bus);
    return mouse->commandPath();
}

QString plugTwoPageMouse(quint16 pid, SimBus* bus)
{
    SimTwoPageMouse* mouse = processEmulator<SimTwoPageMouse>(
        pid, [pid] { return new SimTwoPageMouse(pid, SimTwoPageMouse::dialectOf(pid)); });
    if (!mouse->isPlugged())
        mouse->plug(bus);
    return mouse->commandPath();
}

QString plugTwoCollectionMouse(quint16 pid, SimBus* bus)
{
    SimTwoCollectionMouse* mouse = processEmulator<SimTwoCollectionMouse>(
        pid, [pid] { return new SimTwoCollectionMouse(pid); });
    if (!mouse->isPlugged())
        mouse->plug(bus);
    return mouse->commandPath();
}

// The supplier image mouse is filed with the feature-report family but speaks its own protocol.
QString plugFeatureReportMouse(quint16 pid, SimBus* bus)
{
    if (pid == DeviceIds::kKinlochHollis) {
        SimSupplierImageMouse* mouse =
            processEmulator<SimSupplierImageMouse>(pid, [pid] { return new SimSupplierImageMouse(pid); });
        if (!mouse->isPlugged())
            mouse->plug(bus);
        return mouse->commandPath();
    }
    SimFeatureReportMouse* mouse =
        processEmulator<SimFeatureReportMouse>(pid, [pid] { return new SimFeatureReportMouse(pid); });
    if (!mouse->isPlugged())
        mouse->plug(bus);
    return mouse->commandPath();
}

} // namespace

QList<SimEmulatorFamily> simEmulatorFamilies()
{
    return {
        {DeviceIds::Family::Keyboard, &plugKeyboard},
        {DeviceIds::Family::RgbKeyboard, &plugKeyboard},
        {DeviceIds::Family::RegisterMouse, &plugRegisterMouse},
        {DeviceIds::Family::TwoPageMouse, &plugTwoPageMouse},
        {DeviceIds::Family::ProfileImageMouse, &plugTwoCollectionMouse},
        {DeviceIds::Family::FeatureReportMouse, &plugFeatureReportMouse},
    };
}
