#pragma once

// What the two-collection models change of the root's behaviour: constants only. Each model class hands its
// row to the root's constructor.

#include "common/DeviceIds.h"
#include "devices/mouse/twocollection/EdrisKeyCodec.h"
#include "devices/mouse/twocollection/EdrisProtocol.h"
#include "devices/mouse/twopage/TwoPageImage.h"

namespace Edris {

// How a model turns DPI values into codes.
enum class DpiCodes : quint8 {
    Unit50,   // code = value / 50
    TableA,   // the shared table A, code 0 = 0
    Varlo,    // its own table, code 0 = 0
};

// Varlo's codes for 200..6200 in steps of 100; 4200 has none (0).
constexpr quint8 kVarloDpiCodes[TwoPage::kDpiTableSize] = {
    4,  6,  9,  11, 13, 15, 18, 20, 22, 24, 27, 29, 31, 33, 36,  38,  40,  43,  45,  47,  49,
    52, 54, 56, 58, 61, 63, 65, 67, 70, 72, 74, 77, 79, 81, 83,  86,  88,  90,  92,  0,   97,
    99, 102, 104, 106, 108, 111, 113, 115, 117, 120, 122, 124, 127, 129, 131, 133, 135, 138, 140,
};
constexpr int kVarloMissingValue = 4200;

struct Model {
    quint16 pid;
    ChecksumTest checksum;
    int stages;                     // DPI stages read and written
    int stageDefaults[kDpiStages];  // what an enabled stage without a value takes
    DpiCodes dpi;
    const int* keys;                // the buttons read back, in order
    int keyCount;
    const PlaceOverride* places;    // places that differ from the root's
    int placeCount;
    EdrisKeyCodec::Dialect dialect;
    bool dpiCycleOnKey5;            // "restore default" on key 5 gives DPI Cycle instead of DPI+
    bool fixedCode364;              // every profile write sets 364..367 to kOrlanFixedCode
};

template <typename T, int N>
constexpr int countOf(const T (&)[N])
{
    return N;
}

constexpr Model kEdrisModel = {DeviceIds::kEdris, kRootChecksum, 7, {800, 1000, 1500, 2000, 3000, 8000, 16000},
                               DpiCodes::Unit50, kRootKeys, countOf(kRootKeys), nullptr, 0,
                               EdrisKeyCodec::Dialect::Root, false, false};
constexpr Model kPembryModel = {DeviceIds::kPembry, kNoChecksum, 7, {400, 800, 1200, 1600, 2000, 2400, 3000},
                                DpiCodes::TableA, kRootKeys, countOf(kRootKeys), nullptr, 0,
                                EdrisKeyCodec::Dialect::Root, false, false};
constexpr Model kOrlanModel = {DeviceIds::kOrlan, kNoChecksum, 7, {400, 800, 1200, 1600, 2000, 2400, 3000},
                               DpiCodes::TableA, kOrlanKeys, countOf(kOrlanKeys), kOrlanPlaces,
                               countOf(kOrlanPlaces), EdrisKeyCodec::Dialect::Orlan, false, true};
constexpr Model kSelwinModel = {DeviceIds::kSelwin, kSelwinChecksum, 7, {800, 1200, 1800, 3000, 6200, 3000, 6200},
                                DpiCodes::Unit50, kSelwinKeys, countOf(kSelwinKeys), kSideSwapPlaces,
                                countOf(kSideSwapPlaces), EdrisKeyCodec::Dialect::Root, true, false};
constexpr Model kTamsinModel = {DeviceIds::kTamsin, kTamsinChecksum, 7, {800, 1000, 1500, 2000, 3000, 8000, 16000},
                                DpiCodes::Unit50, kRootKeys, countOf(kRootKeys), kSideSwapPlaces,
                                countOf(kSideSwapPlaces), EdrisKeyCodec::Dialect::Root, true, false};
constexpr Model kVarloModel = {DeviceIds::kVarlo, kVarloChecksum, 5, {800, 1200, 1800, 3000, 6200, 0, 0},
                               DpiCodes::Varlo, kFiveStageKeys, countOf(kFiveStageKeys), nullptr, 0,
                               EdrisKeyCodec::Dialect::Root, false, false};
constexpr Model kWendalModel = {DeviceIds::kWendal, kWendalChecksum, 5, {600, 1000, 1200, 1600, 2000, 0, 0},
                                DpiCodes::Unit50, kFiveStageKeys, countOf(kFiveStageKeys), nullptr, 0,
                                EdrisKeyCodec::Dialect::Root, false, false};

} // namespace Edris
