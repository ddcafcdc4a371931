#pragma once

// The two-page mouse's own view of itself: its collections, its 128-byte configuration image and factory
// state, the commands it takes, its DPI codes and the key codes it understands. The simulated mouse answers
// from these; nothing here is shared with the program's driver, so the emulator stays an independent check
// of it.

#include <QtGlobal>

namespace SimTwoPage {

// Collections. The root models have a mouse collection and the vendor collection; the locked variant has five:
// mouse, keyboard, consumer, the vendor command collection ("col04") and the vendor interrupt source ("col05").
constexpr quint16 kVendorUsagePage = 0xFF00;
constexpr quint16 kCommandUsage = 0;
constexpr quint16 kInterruptUsage = 1;
constexpr int kReportSize = 64;
constexpr int kInterruptReportSize = 16;
constexpr quint8 kInterruptReportId = 5;
constexpr int kInterruptDpiByte = 4;
constexpr int kInterruptStageByte = 6;

// Image.
constexpr int kPageSize = 64;
constexpr int kImageSize = 128;
constexpr int kStageByte = 7;
constexpr int kMaskByte = 8;
constexpr int kFirstCodeByte = 10;
constexpr int kCodeStride = 3;
constexpr int kStages = 7;
constexpr int kReportRateByte = 33;
constexpr int kLightModeByte = 37;
constexpr int kSpeedByte = 38;
constexpr int kBrightnessByte = 39;
constexpr int kFlagByte = 40;
constexpr int kAttributeByte = 41;
constexpr int kColourByte = 42;
constexpr int kDirection1Byte = 3;
constexpr int kDirection2Byte = 67;
constexpr int kFirstKeyByte = 71;
constexpr int kKeyStride = 5;
constexpr int kKeyEntries = 10;

// Our page header: bytes 1 and 2 of each page are kPageMarker and the page number. A page written back with
// this header is taken as that page; the acknowledgement is [id, kPageMarker, page, 1].
constexpr quint8 kPageMarker = 0xA1;

// Commands (byte 1 of a report, report id 4 in byte 0).
constexpr quint8 kReportId = 4;
constexpr quint8 kCmdRead = 0xA0;
constexpr quint8 kCmdMacroBegin = 0xA6;
constexpr quint8 kCmdMacroLength = 0xA7;
constexpr quint8 kCmdMacroData = 0xA8;
constexpr quint8 kCmdMacroSelect = 0xAA;
constexpr int kReplyAcceptByte = 3;

// Macro data packets: header of seven bytes, then the body; packet 1's events start at byte 38.
constexpr int kMacroHeaderSize = 7;
constexpr int kMacroFirstEventByte = 38;
constexpr int kMacroLengthExtra = 36;

// Buttons by key entry.
constexpr int kRootKeys[kKeyEntries] = {0, 1, 2, 4, 3, 11, 12, 6, 5, 7};
constexpr int kLockedKeys[kKeyEntries] = {0, 2, 1, 3, 4, 13, 11, 12, 5, 7};

// DPI codes for 200..6200 (steps of 100); the extended models add 6400..12400 (steps of 200).
constexpr int kDpiCount = 61;
constexpr quint8 kTableA[kDpiCount] = {4,  6,  9,  11, 14, 16, 18, 21, 23, 25, 27, 29, 32, 34, 36, 39, 41, 43, 46, 48, 50,
                                       52, 55, 57, 59, 62, 64, 66, 69, 72, 74, 77, 78, 81, 84, 85, 88, 91, 93, 95, 98, 100,
                                       102, 105, 107, 109, 112, 114, 116, 119, 121, 123, 126, 128, 130, 133, 135, 137, 140,
                                       142, 145};
constexpr quint8 kTableB[kDpiCount] = {4,  6,  8,  11, 13, 15, 18, 20, 22, 25, 27, 29, 32, 34, 36, 39, 41, 43, 45, 48, 50,
                                       52, 55, 56, 59, 62, 64, 66, 67, 71, 73, 76, 78, 80, 83, 85, 87, 90, 92, 94, 97, 99,
                                       101, 104, 106, 108, 111, 113, 115, 119, 121, 123, 126, 128, 130, 133, 135, 137, 140,
                                       142, 145};
constexpr int kExtendedCount = 31;
constexpr quint8 kExtended[kExtendedCount] = {148, 151, 152, 155, 158, 159, 162, 165, 167, 169, 172, 174, 176, 179, 181, 183,
                                              186, 188, 190, 193, 195, 197, 200, 202, 204, 206, 209, 211, 214, 216, 219};

// Factory state.
constexpr int kFactoryDpi[kStages] = {400, 800, 1600, 2400, 3200, 4800, 6200};
constexpr int kFactoryStage = 1;
constexpr int kFactoryReportRate = 3;
constexpr int kFactoryLightMode = 0;
constexpr int kFactorySpeed = 1;        // the locked variant stores 4 minus its speed
constexpr int kFactoryBrightness = 3;
constexpr quint8 kFactoryColour[3] = {0xFF, 0x00, 0x00};
constexpr quint8 kFactoryFlag = 1;

} // namespace SimTwoPage
