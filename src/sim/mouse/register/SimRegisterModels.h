#pragma once

// What the register mice differ in, as each mouse knows itself: the address byte its packets carry, which
// button each entry of its key table (0x600, 11 entries of 4 bytes) belongs to and the codes it leaves the
// factory with, how it stores its DPI stages and which way round its power-saving byte reads.
// Written from the mice's side, apart from the program's driver tables, so the emulator stays a check of them.

#include "common/DeviceIds.h"

#include <QtGlobal>

namespace SimRegister {

constexpr int kKeyEntries = 11;
constexpr int kKeyCodeSize = 4;
constexpr int kKeyTableSize = kKeyEntries * kKeyCodeSize;
constexpr quint32 kRegKeyTable = 0x600;
// Macro pages of 4 KB: the buttons' slots 0-10 from 0x1000, the press macros 1000-1003 from 0x10000.
constexpr quint32 kMacroPageSize = 0x1000;
constexpr quint32 kRegMacroPages = 0x1000;
constexpr quint32 kRegPressMacroPages = 0x10000;
constexpr int kPressMacroFirst = 1000;
constexpr int kPressMacros = 4;

// Button ids of the program's key numbering (0 left, 1 right, 2 middle, 3 forward, 4 back, 5 DPI+, 6 DPI-,
// 7-10 custom buttons 1-4, 11 roller forward, 12 roller back).
struct KeySet {
    int buttons[kKeyEntries];                   // the button of each entry
    quint8 factoryCodes[kKeyTableSize];         // entry by entry: type, parameter, code, parameter
};

constexpr KeySet kKeysStandard = {
    {0, 2, 1, 5, 6, 7, 8, 9, 10, 11, 12},
    {0x03, 0, 0x01, 0, 0x03, 0, 0x04, 0, 0x03, 0, 0x02, 0, 0x08, 0, 0x05, 0, 0x08, 0, 0x06, 0, 0x03, 0, 0x10, 0,
     0x03, 0, 0x08, 0, 0x03, 0, 0x10, 0, 0x03, 0, 0x08, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
};
// The Maldon-layout mice: a fire button where custom button 3 was; no DPI- and no custom button 4.
constexpr KeySet kKeysMaldon = {
    {0, 2, 1, 5, 6, 7, 8, 9, 10, 11, 12},
    {0x03, 0, 0x01, 0, 0x03, 0, 0x04, 0, 0x03, 0, 0x02, 0, 0x08, 0, 0x05, 0, 0, 0, 0, 0, 0x03, 0, 0x10, 0,
     0x03, 0, 0x08, 0, 0x03, 0, 0x01, 0x01, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
};
// The Kelham mice: DPI cycle on the first DPI button, fire on the second; no custom buttons 3 and 4.
constexpr KeySet kKeysKelham = {
    {0, 2, 1, 5, 6, 7, 8, 9, 10, 11, 12},
    {0x03, 0, 0x01, 0, 0x03, 0, 0x04, 0, 0x03, 0, 0x02, 0, 0x08, 0, 0x03, 0, 0x03, 0, 0x01, 0x01, 0x03, 0, 0x10, 0,
     0x03, 0, 0x08, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
};
// The Yarrin mice: their own entry order, with forward and back buttons.
constexpr KeySet kKeysYarrin = {
    {3, 6, 5, 7, 0, 8, 4, 2, 1, 11, 12},
    {0x03, 0, 0x10, 0, 0x08, 0, 0x06, 0, 0x08, 0, 0x05, 0, 0x03, 0, 0x10, 0, 0x03, 0, 0x01, 0, 0x03, 0, 0x08, 0,
     0x03, 0, 0x08, 0, 0x03, 0, 0x04, 0, 0x03, 0, 0x02, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
};

// Seven stages as 16-bit words in units of 50 DPI, or five stages of one code byte each ((code + 2) * 100 DPI,
// codes 0-48) in every second byte.
enum class DpiBlock : quint8 { SevenWords, FiveCodes };
// Power saving at byte 0x8AF: 1 means on, or (inverted) 0 means on.
enum class PowerSense : quint8 { OneIsOn, ZeroIsOn };

struct ModelTraits {
    quint16 productId;
    quint8 addressByte;
    const KeySet* keys;
    DpiBlock dpi;
    PowerSense power;
};

namespace models {
constexpr quint8 W = 0xFF;  // wired
constexpr quint8 R = 0xA5;  // through the receiver
constexpr DpiBlock FiveCodes = DpiBlock::FiveCodes;
constexpr DpiBlock SevenWords = DpiBlock::SevenWords;
constexpr PowerSense OneIsOn = PowerSense::OneIsOn;
constexpr PowerSense ZeroIsOn = PowerSense::ZeroIsOn;
namespace Ids = DeviceIds;

constexpr ModelTraits kModels[] = {
    {Ids::kJarrowNordic, W, &kKeysStandard, SevenWords, OneIsOn},
    {Ids::kJarrowNordicWireless, R, &kKeysStandard, SevenWords, OneIsOn},
    {Ids::kHebden, W, &kKeysStandard, SevenWords, OneIsOn},
    {Ids::kHebdenWireless, R, &kKeysStandard, SevenWords, OneIsOn},
    {Ids::kKelhamNordicWireless, R, &kKeysMaldon, SevenWords, OneIsOn},
    {Ids::kKelhamNordic, W, &kKeysMaldon, SevenWords, OneIsOn},
    {Ids::kLydford, W, &kKeysMaldon, SevenWords, OneIsOn},
    {Ids::kLydfordWireless, R, &kKeysMaldon, SevenWords, OneIsOn},
    {Ids::kCorlis, W, &kKeysMaldon, SevenWords, OneIsOn},
    {Ids::kCorlisWireless, R, &kKeysMaldon, SevenWords, OneIsOn},
    {Ids::kBalsom, W, &kKeysMaldon, SevenWords, OneIsOn},
    {Ids::kBalsomWireless, R, &kKeysMaldon, SevenWords, OneIsOn},
    {Ids::kElwin, W, &kKeysMaldon, SevenWords, OneIsOn},
    {Ids::kElwinWireless, R, &kKeysMaldon, SevenWords, OneIsOn},
    {Ids::kJessam, W, &kKeysMaldon, SevenWords, OneIsOn},
    {Ids::kJessamWireless, R, &kKeysMaldon, SevenWords, OneIsOn},
    {Ids::kNesbit, W, &kKeysMaldon, SevenWords, OneIsOn},
    {Ids::kNesbitWireless, R, &kKeysMaldon, SevenWords, OneIsOn},
    {Ids::kBrackly, W, &kKeysMaldon, SevenWords, OneIsOn},
    {Ids::kBracklyWireless, R, &kKeysMaldon, SevenWords, OneIsOn},
    {Ids::kDallow, W, &kKeysMaldon, SevenWords, OneIsOn},
    {Ids::kDallowWireless, R, &kKeysMaldon, SevenWords, OneIsOn},
    {Ids::kKelham, W, &kKeysKelham, SevenWords, OneIsOn},
    {Ids::kKelhamWireless, R, &kKeysKelham, SevenWords, ZeroIsOn},
    {Ids::kFarrant, W, &kKeysStandard, SevenWords, OneIsOn},
    {Ids::kFarrantWireless, R, &kKeysStandard, SevenWords, OneIsOn},
    {Ids::kYarrin, W, &kKeysYarrin, FiveCodes, OneIsOn},
    {Ids::kYarrinWireless, R, &kKeysYarrin, FiveCodes, OneIsOn},
    {Ids::kZennor, W, &kKeysYarrin, FiveCodes, OneIsOn},
    {Ids::kZennorWireless, R, &kKeysYarrin, FiveCodes, OneIsOn},
    {Ids::kAbberly, W, &kKeysYarrin, FiveCodes, OneIsOn},
    {Ids::kAbberlyWireless, R, &kKeysYarrin, FiveCodes, OneIsOn},
    {Ids::kGadsby, W, &kKeysStandard, FiveCodes, OneIsOn},
    {Ids::kGadsbyWireless, R, &kKeysStandard, FiveCodes, OneIsOn},
    {Ids::kIckwor, W, &kKeysStandard, SevenWords, OneIsOn},
    {Ids::kIckworWireless, R, &kKeysStandard, SevenWords, OneIsOn},
};
} // namespace models
using models::kModels;

// The traits of a product id; a mouse the table does not name behaves as the family's first model.
constexpr const ModelTraits& traitsOf(quint16 productId)
{
    for (const ModelTraits& m : kModels) {
        if (m.productId == productId)
            return m;
    }
    return kModels[0];
}

// Five-code stages: code -> DPI, and the factory codes.
constexpr int kFiveStages = 5;
constexpr int kMaxStageCode = 48;
constexpr int stageCodeToDpi(int code) { return code >= 0 && code <= kMaxStageCode ? (code + 2) * 100 : 0; }
constexpr quint8 kFactoryStageCodes[kFiveStages] = {2, 6, 14, 22, 30};  // 400, 800, 1600, 2400, 3200

} // namespace SimRegister
