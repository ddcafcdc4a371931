#pragma once

#include <QString>

// Trying the program without hardware: CORVANE_SIMULATE names device types (for example
// "CORVANE_SIMULATE=ZEPHRA", several separated by commas or blanks). Each named device is plugged onto the
// simulated bus and the bus becomes the HID backend, so the program finds it as it finds a real one.

// Reads CORVANE_SIMULATE. True when the simulated bus was selected; false when the variable is unset or names
// no device type this build can simulate (the real HID backend stays).
bool setupSimulationFromEnvironment();

// The same for a given list of names.
bool setupSimulation(const QString& deviceTypes);
