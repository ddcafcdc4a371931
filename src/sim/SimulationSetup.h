#pragma once

#include "common/DeviceIds.h"

#include <QList>
#include <QString>

class SimBus;

// Trying the program without hardware: CORVANE_SIMULATE names device types (for example
// "CORVANE_SIMULATE=ZEPHRA", several separated by commas or blanks; a wireless model by its "_WIRELESS" name).
// Each named device is plugged onto the simulated bus and the bus becomes the HID backend, so the program
// finds it as it finds a real one.
//
// Each family that has an emulator registers it in SimEmulators.cpp; the setup itself names no family.
//
// Threads: call it on the GUI thread, before the device watch starts.

// How an emulator family puts a model on the bus: plugs it (once per process; the emulator lives as long as
// the process, since device threads may still talk to it during shutdown) and returns its command path.
struct SimEmulatorFamily {
    DeviceIds::Family family;
    QString (*plug)(quint16 pid, SimBus* bus);
};

// The registered emulator families (SimEmulators.cpp).
QList<SimEmulatorFamily> simEmulatorFamilies();

// Reads CORVANE_SIMULATE. True when the simulated bus was selected; false when the variable is unset or names
// no device type this build can simulate (the real HID backend stays).
bool setupSimulationFromEnvironment();

// The same for a given list of names.
bool setupSimulation(const QString& deviceTypes);

// The product ids plugged by the setup so far, in the order they were named.
QList<quint16> simulatedProductIds();
