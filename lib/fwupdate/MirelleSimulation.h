#pragma once

// Trying firmware updates without hardware: when CORVANE_SIMULATE names models (comma or blank separated, the
// library's model names, e.g. "YARRIN"), the library plugs the firmware side of each onto its own simulated
// bus, which becomes its HID backend. The library carries its own copy of the HID layer, so the program that
// uses it cannot plug devices for it. Models whose updater has no emulator are named in a warning and left out.
//
// Threads: the first Mirelle object's thread; runs once per process.
void setupFirmwareSimulationFromEnvironment();
