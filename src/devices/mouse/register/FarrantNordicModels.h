#pragma once

#include "common/DeviceIds.h"
#include "devices/mouse/register/FarrantNordicKeyCodec.h"
#include "devices/mouse/register/FarrantNordicProtocol.h"

#include <QtGlobal>

// The models of the register mouse family, one row per class: what each model class sets (product id,
// address byte, write pacing, layout document) and which of the family's variants it takes (key line,
// opening, DPI block, power-saving sense). The class tree of the models only names them; everything a model
// does differently is read from its row here.
namespace FarrantNordic {

// How a model opens its interface.
enum class Opening : quint8 {
    Shared,            // the shared channel; game mode through a device task, then the reader starts
    Own,               // a channel of its own; game mode at once; no reader
    OwnWithReader,     // a channel of its own; game mode at once (warning 0 on failure); reader in receiver range
    OwnOnly,           // a channel of its own, nothing more
};

// Seven stages as words in units of 50 DPI, or five stages of one code byte each ((code + 2) * 100 DPI).
enum class DpiBlock : quint8 { SevenStages, FiveStages };

// Power saving in byte 3 of the word at 0x8AC: 1 is on, or on the inverted models 0 is on.
enum class PowerSense : quint8 { OneIsOn, ZeroIsOn };

constexpr int kPaceShortMs = 200;
constexpr int kPaceLongMs = 500;

struct ModelRow {
    const char* className;
    quint16 pid;
    quint8 address;
    int delayMs;            // after a macro upload and the defined press macro, between key-table reads
    const char* layoutPath;
    KeyLine keys;
    Opening opening;
    DpiBlock dpi;
    PowerSense power;
};

namespace rows {
constexpr quint8 W = kAddressWired;
constexpr quint8 R = kAddressReceiver;
constexpr int S = kPaceShortMs;
constexpr int L = kPaceLongMs;
using K = KeyLine;
using O = Opening;
constexpr DpiBlock D7 = DpiBlock::SevenStages;
constexpr DpiBlock D5 = DpiBlock::FiveStages;
constexpr PowerSense P1 = PowerSense::OneIsOn;
constexpr PowerSense P0 = PowerSense::ZeroIsOn;
namespace Ids = DeviceIds;

constexpr ModelRow kModels[] = {
    {"KDeviceFarrant_Nordic", Ids::kJarrowNordic, W, S, ":/common/newUI/Jarrow/JarrowLayout.json", K::Root, O::Shared, D7, P1},
    {"KDeviceFarrant_Nordic_Wireless", Ids::kJarrowNordicWireless, R, L, ":/common/newUI/Jarrow/Jarrow_WirelessLayout.json", K::Root, O::Shared, D7, P1},
    {"FDeviceHebden", Ids::kHebden, W, S, ":/common/newUI/Hebden/HebdenLayout.json", K::Root, O::Shared, D7, P1},
    {"FDeviceHebden_Wireless", Ids::kHebdenWireless, R, L, ":/common/newUI/Hebden/Hebden_WirelessLayout.json", K::Root, O::Shared, D7, P1},
    {"FDeviceKelham_Nordic_Wireless", Ids::kKelhamNordicWireless, R, L, ":/common/newUI/Maldon/Maldon_WirelessLayout.json", K::KelhamNordic, O::Shared, D7, P1},
    {"FDeviceKelham_Nordic", Ids::kKelhamNordic, W, S, ":/common/newUI/Maldon/MaldonLayout.json", K::KelhamNordic, O::Shared, D7, P1},
    {"FDeviceLydford", Ids::kLydford, W, S, ":/common/newUI/Lydford/LydfordLayout.json", K::KelhamNordic, O::Shared, D7, P1},
    {"FDeviceLydford_Wireless", Ids::kLydfordWireless, R, L, ":/common/newUI/Lydford/Lydford_WirelessLayout.json", K::KelhamNordic, O::Shared, D7, P1},
    {"FDeviceCorlis", Ids::kCorlis, W, S, ":/common/newUI/Corlis/CorlisLayout.json", K::KelhamNordic, O::Shared, D7, P1},
    {"FDeviceCorlis_Wireless", Ids::kCorlisWireless, R, L, ":/common/newUI/Corlis/Corlis_WirelessLayout.json", K::KelhamNordic, O::Shared, D7, P1},
    {"FDeviceBalsom", Ids::kBalsom, W, S, ":/common/newUI/Balsom/BalsomLayout.json", K::KelhamNordic, O::Shared, D7, P1},
    {"FDeviceBalsom_Wireless", Ids::kBalsomWireless, R, L, ":/common/newUI/Balsom/Balsom_WirelessLayout.json", K::KelhamNordic, O::Shared, D7, P1},
    {"FDeviceElwin", Ids::kElwin, W, S, ":/common/newUI/Elwin/ElwinLayout.json", K::KelhamNordic, O::Shared, D7, P1},
    {"FDeviceElwin_Wireless", Ids::kElwinWireless, R, L, ":/common/newUI/Elwin/Elwin_WirelessLayout.json", K::KelhamNordic, O::Shared, D7, P1},
    {"FDeviceJessam", Ids::kJessam, W, L, ":/common/newUI/Jessam/JessamLayout.json", K::KelhamNordic, O::Shared, D7, P1},
    {"FDeviceJessam_Wireless", Ids::kJessamWireless, R, L, ":/common/newUI/Jessam/Jessam_WirelessLayout.json", K::KelhamNordic, O::Shared, D7, P1},
    {"FDeviceNesbit", Ids::kNesbit, W, S, ":/common/newUI/Nesbit/NesbitLayout.json", K::KelhamNordic, O::Shared, D7, P1},
    {"FDeviceNesbit_Wireless", Ids::kNesbitWireless, R, L, ":/common/newUI/Nesbit/Nesbit_WirelessLayout.json", K::KelhamNordic, O::Shared, D7, P1},
    {"FDeviceBrackly", Ids::kBrackly, W, S, ":/common/newUI/Brackly/BracklyLayout.json", K::KelhamNordic, O::Shared, D7, P1},
    {"FDeviceBrackly_Wireless", Ids::kBracklyWireless, R, L, ":/common/newUI/Brackly/Brackly_WirelessLayout.json", K::KelhamNordic, O::Shared, D7, P1},
    {"FDeviceDallow", Ids::kDallow, W, L, ":/common/newUI/Dallow/DallowLayout.json", K::KelhamNordic, O::Shared, D7, P1},
    {"FDeviceDallow_Wireless", Ids::kDallowWireless, R, L, ":/common/newUI/Dallow/Dallow_WirelessLayout.json", K::KelhamNordic, O::Shared, D7, P1},
    {"HDeviceKelham", Ids::kKelham, W, L, ":/common/newUI/Kelham/KelhamLayout.json", K::Kelham, O::OwnOnly, D7, P1},
    {"HDeviceKelham_Wireless", Ids::kKelhamWireless, R, L, ":/common/Kelham/Kelham_WirelessLayout.json", K::Kelham, O::OwnWithReader, D7, P0},
    {"KDeviceFarrant", Ids::kFarrant, W, S, ":/common/Farrant/FarrantLayout.json", K::Farrant, O::Own, D7, P1},
    {"KDeviceFarrant_WireLess", Ids::kFarrantWireless, R, S, ":/common/Farrant/Farrant_WirelessLayout.json", K::Root, O::OwnWithReader, D7, P1},
    {"HDeviceYarrin", Ids::kYarrin, W, S, ":/common/Yarrin/YarrinLayout.json", K::Yarrin, O::Own, D5, P1},
    {"HDeviceYarrin_Wireless", Ids::kYarrinWireless, R, S, ":/common/Yarrin/Yarrin_WirelessLayout.json", K::Yarrin, O::Own, D5, P1},
    {"HDeviceZennor", Ids::kZennor, W, S, ":/common/Zennor/ZennorLayout.json", K::Yarrin, O::Own, D5, P1},
    {"HDeviceZennor_Wireless", Ids::kZennorWireless, R, S, ":/common/Zennor/Zennor_WirelessLayout.json", K::Yarrin, O::Own, D5, P1},
    {"HDeviceAbberly", Ids::kAbberly, W, S, ":/common/Abberly/AbberlyLayout.json", K::Yarrin, O::Own, D5, P1},
    {"HDeviceAbberly_Wireless", Ids::kAbberlyWireless, R, S, ":/common/Abberly/Abberly_WirelessLayout.json", K::Yarrin, O::Own, D5, P1},
    {"HDeviceGadsby", Ids::kGadsby, W, S, ":/common/Gadsby/GadsbyLayout.json", K::Farrant, O::Own, D5, P1},
    {"HDeviceGadsby_Wireless", Ids::kGadsbyWireless, R, S, ":/common/Gadsby/Gadsby_WirelessLayout.json", K::Farrant, O::Own, D5, P1},
    {"HDeviceIckwor", Ids::kIckwor, W, S, ":/common/Ickwor/IckworLayout.json", K::Farrant, O::Own, D7, P1},
    {"HDeviceIckwor_Wireless", Ids::kIckworWireless, R, S, ":/common/Ickwor/Ickwor_WirelessLayout.json", K::Root, O::OwnWithReader, D7, P1},
};
} // namespace rows

using rows::kModels;
constexpr int kModelCount = int(sizeof(kModels) / sizeof(kModels[0]));

// The row of a product id; null for an id no class of the family serves.
constexpr const ModelRow* modelRow(int pid)
{
    for (const ModelRow& row : kModels) {
        if (row.pid == pid)
            return &row;
    }
    return nullptr;
}

namespace detail {
constexpr bool modelRowsAreSound()
{
    for (const ModelRow& row : kModels) {
        const DeviceIds::Model* catalogue = DeviceIds::find(row.pid);
        if (!catalogue || catalogue->family != DeviceIds::Family::RegisterMouse)
            return false;
        // A model reached through the receiver addresses it; a wired one the mouse itself.
        const bool wireless = catalogue->link == DeviceIds::Link::Wireless;
        if (row.address != (wireless ? kAddressReceiver : kAddressWired))
            return false;
        if (row.delayMs != kPaceShortMs && row.delayMs != kPaceLongMs)
            return false;
        int same = 0;
        for (const ModelRow& other : kModels)
            same += other.pid == row.pid ? 1 : 0;
        if (same != 1)
            return false;
    }
    return true;
}
} // namespace detail
static_assert(kModelCount == 36, "the family's root and its 35 models");
static_assert(kModels[0].pid == DeviceIds::kJarrowNordic, "the root's row comes first");
static_assert(detail::modelRowsAreSound(), "one row per product id of the register family, address byte by link");

} // namespace FarrantNordic
