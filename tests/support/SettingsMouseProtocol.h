#pragma once

// The wire format of the settings mouse, a small test device of our own that holds just what the DPI,
// report-rate and per-key light models write: a register space read and written through one vendor
// collection's feature report.
//
//   host -> device (set feature): Request  {id, op, address (LE), length, data[length]}
//   host <- device (get feature): Reply    {id, status, address (LE), length, data[length]} of the last read
//
// A write applies at once; a read request stages the reply that the next get-feature returns.

#include <QtGlobal>

namespace SettingsMouse {

constexpr quint16 kUsagePage = 0xFF31;
constexpr quint16 kUsage = 0x0001;
constexpr quint8 kReportId = 0x07;
constexpr int kReportLength = 65; // id byte included

enum Op : quint8 { OpWrite = 0x01, OpRead = 0x02 };
enum Status : quint8 { StatusOk = 0x00, StatusRefused = 0xE1 };

#pragma pack(push, 1)
struct Request {
    quint8 reportId;
    quint8 op;
    quint16 address; // little-endian on the wire (the test hosts are little-endian)
    quint8 length;
    quint8 data[kReportLength - 5];
};
struct Reply {
    quint8 reportId;
    quint8 status;
    quint16 address;
    quint8 length;
    quint8 data[kReportLength - 5];
};
#pragma pack(pop)
static_assert(sizeof(Request) == kReportLength, "a request fills one feature report");
static_assert(sizeof(Reply) == kReportLength, "a reply fills one feature report");

constexpr int kMaxData = kReportLength - 5;

// Register map.
constexpr int kRegDpiIndex = 0x000;      // the current stage, counted among the switched-on stages
constexpr int kRegReportRate = 0x001;    // index into the layout's rate list
constexpr int kRegStageCount = 0x002;    // stages in the last list written
constexpr int kRegStages = 0x010;        // stage values, two bytes each (LE)
constexpr int kMaxStages = 32;
constexpr int kRegKeyColor = 0x100;      // three bytes (r, g, b) per key id
constexpr int kRegKeyBrightness = 0x300; // one byte per key id
constexpr int kKeyCount = 141;           // key ids 0..140
constexpr int kRegisterSpace = 0x400;

static_assert(kRegStages + 2 * kMaxStages <= kRegKeyColor, "stage values fit below the key colours");
static_assert(kRegKeyColor + 3 * kKeyCount <= kRegKeyBrightness, "key colours fit below the brightness table");
static_assert(kRegKeyBrightness + kKeyCount <= kRegisterSpace, "the brightness table fits the register space");

} // namespace SettingsMouse
