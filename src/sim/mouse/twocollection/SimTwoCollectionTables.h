#pragma once

// The two-collection mouse's own view of itself: its two vendor collections, its 1024-byte image with the
// two checksums, its factory state per model, and the key codes and macro items it understands. The simulated
// mouse answers from these; nothing here is shared with the program's driver, so the emulator stays an
// independent check of it.

#include "common/DeviceIds.h"

#include <QtGlobal>

namespace SimTwoCollection {

// Collections: both usage 1 on the vendor page, told apart by their feature report length (id byte counted).
constexpr quint16 kVendorUsagePage = 0xFF00;
constexpr quint16 kVendorUsage = 1;
constexpr quint8 kCommandId = 5;
constexpr quint8 kDataId = 6;
constexpr int kCommandLength = 6;
constexpr int kDataLength = 1032;
constexpr int kHeaderSize = 8;   // id, command, address or sub-code, length (2), three more
constexpr int kBlockSize = 1024;

// Commands on the command collection, block commands on the data collection.
constexpr quint8 kStatusQuery = 0x82;
constexpr quint8 kReadImage = 0x83;
constexpr quint8 kReadPicture = 0x85;
constexpr quint8 kPictureSub = 0x80;
constexpr quint8 kWriteImage = 3;
constexpr quint8 kWriteMacro = 4;
constexpr quint8 kWritePicture = 5;
constexpr int kImageWriteLength = 0x200;
constexpr int kBusyByte = 7;
constexpr int kStatusFirstByte = 2;

// The image.
constexpr int kImageSize = 1024;
constexpr int kProfileEnd = 476;       // the second checksum covers 242..475
constexpr int kFirstHalfEnd = 242;     // the first covers 1..241
constexpr int kProbe13 = 13;
constexpr int kProbe19 = 19;
constexpr int kSignByte = 476;
constexpr int kAdjustByte = 477;
constexpr int kSumLowByte = 479;
constexpr int kSumHighByte = 480;
constexpr int kCarriedBegin = 481;
constexpr int kCarriedEnd = 504;
// Filler bytes of the first half through which the factory image reaches the model's checksum.
constexpr int kTuneBegin = 20;
constexpr int kTuneEnd = 98;
constexpr int kFirstHalfKeys = 98;

constexpr int kReportRateByte = 242;
constexpr int kDeviceByte = 247;
constexpr int kPressFlagByte = 250;
constexpr int kPressCountByte = 251;
constexpr int kPictureCodeByte = 253;
constexpr int kOledIntensityByte = 254;
constexpr int kMainEffectByte = 256;
constexpr int kMainBrightnessByte = 257;
constexpr int kWheelEffectByte = 259;
constexpr int kWheelBrightnessByte = 260;
constexpr int kMainColourByte = 262;
constexpr int kWheelColourByte = 281;
constexpr int kSpeedAfterColour = 6;    // 268 and 287
constexpr int kDpiXLow = 300;
constexpr int kDpiXHigh = 308;
constexpr int kDpiYLow = 316;
constexpr int kDpiYHigh = 324;
constexpr int kStages = 7;
constexpr int kKeyTable = 332;
constexpr int kKeyEntries = 16;

// The factory record's key table: the first half's copy, and the second half's entries that no button of the
// models uses (the buttons' own entries come from each model's factory functions below).
constexpr quint8 kFirstHalfKeyCodes[kKeyEntries][4] = {
    {0x01, 0x00, 0xF0, 0x00}, {0x01, 0x00, 0xF1, 0x00}, {0x01, 0x00, 0xF2, 0x00}, {0x01, 0x00, 0xF3, 0x00},
    {0x01, 0x00, 0xF4, 0x00}, {0x07, 0x00, 0x01, 0x00}, {0x07, 0x00, 0x02, 0x00}, {0x0A, 0xF0, 0x10, 0x02},
    {0x0F, 0x00, 0x03, 0x00}, {0x08, 0x00, 0x03, 0x00}, {0x05, 0x00, 0x03, 0x00}, {0x00, 0x00, 0x00, 0x00},
    {0x00, 0x00, 0x00, 0x00}, {0x00, 0x00, 0x00, 0x00}, {0x04, 0x00, 0x01, 0x00}, {0x04, 0x00, 0x02, 0x00},
};
constexpr quint8 kSecondHalfKeyCodes[kKeyEntries][4] = {
    {0x01, 0x00, 0xF0, 0x00}, {0x01, 0x00, 0xF1, 0x00}, {0x01, 0x00, 0xF2, 0x00}, {0x0D, 0x00, 0x03, 0x00},
    {0x0E, 0x00, 0x03, 0x00}, {0x07, 0x00, 0x01, 0x00}, {0x07, 0x00, 0x02, 0x00}, {0x0A, 0x10, 0xF0, 0x02},
    {0x0F, 0x00, 0x03, 0x00}, {0x08, 0x00, 0x03, 0x00}, {0x05, 0x00, 0x03, 0x00}, {0x00, 0x00, 0x00, 0x00},
    {0x00, 0x00, 0x00, 0x00}, {0x00, 0x00, 0x00, 0x00}, {0x04, 0x00, 0x01, 0x00}, {0x04, 0x00, 0x02, 0x00},
};

// Factory settings every model shares.
constexpr int kFactoryReportRate = 3;
constexpr quint8 kFactoryMainEffect = 0x83;      // always on
constexpr quint8 kFactoryWheelEffect = 0x81;     // colour cycle
constexpr int kFactoryBrightness = 8;
constexpr int kFactorySpeed = 5;                 // stored as 9 - speed
constexpr quint8 kFactoryMainColour[3] = {0xFF, 0x00, 0x00};
constexpr quint8 kFactoryWheelColour[3] = {0x00, 0x00, 0xFF};
constexpr int kFactoryPictureCode = 1;
constexpr int kFactoryOledIntensity = 5;
constexpr quint8 kFactoryDeviceByte = 0x5A;
constexpr quint8 kFactoryProbe13 = 0x31;
constexpr quint8 kFactoryProbe19 = 0x17;

// A button's factory code at its place.
struct FactoryKey {
    int offset;
    quint8 code[4];
};

// One model as the firmware knows it.
struct Model {
    quint16 pid;
    bool checksummed;     // false: the model takes images without checking them
    bool withProbe19;
    quint8 low;
    quint8 high;
    int stages;           // DPI stages the model uses
    quint16 factoryCodes[kStages];
    const FactoryKey* keys;
    int keyCount;
};

// Factory buttons: left, right, middle, forward, back, DPI+ (DPI cycle on the side-swap models), DPI-,
// custom buttons 1-3, wheel forward and back.
constexpr FactoryKey kRootKeys[] = {
    {332, {0x01, 0x00, 0xF0, 0x00}}, {336, {0x01, 0x00, 0xF1, 0x00}}, {340, {0x01, 0x00, 0xF2, 0x00}},
    {348, {0x01, 0x00, 0xF4, 0x00}}, {344, {0x01, 0x00, 0xF3, 0x00}}, {352, {0x07, 0x00, 0x01, 0x00}},
    {356, {0x07, 0x00, 0x02, 0x00}}, {360, {0x11, 0x00, 0x00, 0x00}}, {364, {0x00, 0x00, 0x21, 0x00}},
    {368, {0x08, 0x00, 0x03, 0x00}}, {388, {0x04, 0x00, 0x01, 0x00}}, {392, {0x04, 0x00, 0x02, 0x00}},
};
constexpr FactoryKey kSideSwapKeys[] = {
    {332, {0x01, 0x00, 0xF0, 0x00}}, {336, {0x01, 0x00, 0xF1, 0x00}}, {340, {0x01, 0x00, 0xF2, 0x00}},
    {348, {0x01, 0x00, 0xF4, 0x00}}, {344, {0x01, 0x00, 0xF3, 0x00}}, {352, {0x07, 0x00, 0x03, 0x00}},
    {356, {0x07, 0x00, 0x02, 0x00}}, {364, {0x11, 0x00, 0x00, 0x00}}, {360, {0x00, 0x00, 0x21, 0x00}},
    {368, {0x08, 0x00, 0x03, 0x00}}, {388, {0x04, 0x00, 0x01, 0x00}}, {392, {0x04, 0x00, 0x02, 0x00}},
};
// Orlan: no DPI- button; buttons 7 and 8 one place down; 9 and 10 the side wheel; 364 holds 08 03 00 00.
constexpr FactoryKey kOrlanKeys[] = {
    {332, {0x01, 0x00, 0xF0, 0x00}}, {336, {0x01, 0x00, 0xF1, 0x00}}, {340, {0x01, 0x00, 0xF2, 0x00}},
    {348, {0x01, 0x00, 0xF4, 0x00}}, {344, {0x01, 0x00, 0xF3, 0x00}}, {352, {0x07, 0x00, 0x01, 0x00}},
    {356, {0x11, 0x00, 0x00, 0x00}}, {360, {0x00, 0x00, 0x5C, 0x00}}, {384, {0x03, 0x00, 0xEA, 0x00}},
    {380, {0x03, 0x00, 0xE9, 0x00}}, {364, {0x08, 0x03, 0x00, 0x00}}, {388, {0x04, 0x00, 0x01, 0x00}},
    {392, {0x04, 0x00, 0x02, 0x00}},
};

constexpr Model kModels[] = {
    {DeviceIds::kEdris, true, true, 0x02, 0x7C, 7, {16, 20, 30, 40, 60, 160, 320}, kRootKeys, 12},
    {DeviceIds::kPembry, false, true, 0x02, 0x7C, 7, {9, 18, 27, 36, 46, 55, 69}, kRootKeys, 12},
    {DeviceIds::kOrlan, false, true, 0x02, 0x7C, 7, {9, 18, 27, 36, 46, 55, 69}, kOrlanKeys, 13},
    {DeviceIds::kSelwin, true, false, 0xD6, 0x79, 7, {16, 24, 36, 60, 124, 60, 124}, kSideSwapKeys, 12},
    {DeviceIds::kTamsin, true, false, 0x4A, 0x79, 7, {16, 20, 30, 40, 60, 160, 320}, kSideSwapKeys, 12},
    {DeviceIds::kVarlo, true, false, 0xE7, 0x7A, 5, {18, 27, 40, 67, 140, 0, 0}, kRootKeys, 12},
    {DeviceIds::kWendal, true, false, 0xB7, 0x77, 5, {12, 20, 24, 32, 40, 0, 0}, kRootKeys, 12},
};

constexpr const Model* modelOf(quint16 pid)
{
    for (const Model& m : kModels) {
        if (m.pid == pid)
            return &m;
    }
    return nullptr;
}

// Macro items: (delay + up flag, code), or an escape (0, kind) followed by its data item, or the end (0, 0).
constexpr quint8 kUp = 0x80;
constexpr quint8 kEscLongDelay = 0x01;
constexpr quint8 kEscMove = 0x02;
constexpr quint8 kEscMoveTime = 0x03;
constexpr quint8 kButtonLeft = 0xF0;
constexpr quint8 kButtonRight = 0xF1;
constexpr quint8 kButtonMiddle = 0xF2;
constexpr int kLongDelayUnit = 100;

} // namespace SimTwoCollection
