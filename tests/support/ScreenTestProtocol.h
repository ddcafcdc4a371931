#pragma once

#include <QtGlobal>

// The small protocol between ScreenTestDevice and SimScreenFirmware: a screen, a display mode and power
// saving behind one feature report. The host sets a command (op, argument, data) and reads the reply
// (op, status, value) back as the same feature report.
namespace ScreenTestProtocol {

constexpr quint16 kUsagePage = 0xFF60;
constexpr quint16 kUsage = 0x0061;
constexpr quint8 kReportId = 0x07;
constexpr int kPayload = 32;
// Feature report length as the HID layer reports it: the id byte and the payload.
constexpr quint16 kReportLength = kPayload + 1;

enum Op : quint8 {
    ReadBrightness = 0x01,
    WriteBrightness = 0x02,
    ReadMode = 0x03,
    WriteMode = 0x04,
    PictureChunk = 0x05, // argument: chunk index; data: kChunkBytes bytes of the picture
    PictureEnd = 0x06,   // the picture is shown once every chunk has arrived
    ReadPowerSaving = 0x07,
    WritePowerSaving = 0x08,
};

enum Status : quint8 { Refused = 0, Done = 1 };

// Command: op, argument, data. Reply: op, status, value.
constexpr int kOpByte = 0;
constexpr int kArgumentByte = 1;
constexpr int kDataByte = 2;
constexpr int kStatusByte = 1;
constexpr int kValueByte = 2;

// The picture: 64 x 48 pixels, one bit each (1 = lit), rows top to bottom, most significant bit leftmost.
constexpr int kWidth = 64;
constexpr int kHeight = 48;
constexpr int kRowBytes = kWidth / 8;
constexpr int kPictureBytes = kRowBytes * kHeight;
constexpr int kChunkBytes = 24;
constexpr int kChunks = kPictureBytes / kChunkBytes;
static_assert(kPictureBytes % kChunkBytes == 0, "the picture is whole chunks");
static_assert(kDataByte + kChunkBytes <= kPayload, "a chunk fits one command");

} // namespace ScreenTestProtocol
