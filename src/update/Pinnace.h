#pragma once

#include "hid/khid/KHidDetail.h"

#include <QString>

// The two entry points of the HID helper that the program's own bootloader updater uses, over the HID access
// layer and for our vendor id only: find an interface by usage page and usage, open it by path.
namespace Pinnace {

// Nonzero when an interface of our vendor with this usage page and usage is present; its path goes to path.
int FindHidDevice(quint16 usagePage, quint16 usage, QString* path);
// A handle open for reading and writing; INVALID_HANDLE_VALUE when it cannot be opened.
KHID::HANDLE OpenHidDevice(const QString& path);

} // namespace Pinnace
