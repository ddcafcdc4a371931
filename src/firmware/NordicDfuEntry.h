#pragma once

#include <QtGlobal>

// Asks a Nordic mouse to restart into its DFU bootloader: output report 0xBA whose data begins 0xFF 0xA8, on
// the application interface (usage and usage page of the device list). Up to three opens and three writes,
// 100 ms apart; false when the mouse has no application interface (it may already be in its bootloader) or
// took no report.
namespace NordicDfuEntry {

bool enterDfu(quint16 vendorId, quint16 productId, quint16 usage, quint16 usagePage);

} // namespace NordicDfuEntry
