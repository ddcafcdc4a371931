#pragma once

// The catalogue of models: one row per product id of our vendor id, with everything the program asks about a
// model. The factory, the device-type predicates, the hot-plug watch, the firmware library's device list, the
// udev rule and the emulators all read it. A model is named in code by its product-id constant, so a misspelt
// model does not compile.
//
// Ids are invented for this program: four hex digits without a leading zero, each used once, so that no id's
// hex text occurs inside another's or inside the fixed text of a device path. The checks at the end of this
// file hold the table to these rules and to the pairing of wired and wireless ids.
//
// Adding a model: its product-id constant and its row here, its family's registration line and its resources.

#include <QString>
#include <QtGlobal>

namespace DeviceIds {

constexpr quint16 kVendorId = 0x3A7E;

// Keyboards.
constexpr quint16 kKeyboardWired = 0x5C21;     // "ZEPHRA" (firmware model "QUENBY_8A")
constexpr quint16 kKeyboardWireless = 0x5C22;  // "ZEPHRA_WIRELESS": recognised, asks for the cable
constexpr quint16 kRgbKeyboard = 0x5C31;       // "QUENBYRGB"

// Wireless receivers (pairing).
constexpr quint16 kReceiver = 0x7E01;
constexpr quint16 kReceiverNordic = 0x7E02;

// Bootloaders.
constexpr quint16 kHidBootloader = 0x8B01;
constexpr quint16 kNordicDfuWired = 0x8B02;     // the wired "JARROW_NORDIC" DFU bootloader
constexpr quint16 kNordicDfuWireless = 0x8B03;  // shared by every wireless Nordic model
// The DFU bootloaders of the other wired Nordic models, one each.
constexpr quint16 kNordicDfuMaldon = 0x8B10;
constexpr quint16 kNordicDfuNesbit = 0x8B11;
constexpr quint16 kNordicDfuTolland = 0x8B12;
constexpr quint16 kNordicDfuJessam = 0x8B13;
constexpr quint16 kNordicDfuDallow = 0x8B14;
constexpr quint16 kNordicDfuHebden = 0x8B15;
constexpr quint16 kNordicDfuLydford = 0x8B16;
constexpr quint16 kNordicDfuBrackly = 0x8B17;
constexpr quint16 kNordicDfuBalsom = 0x8B18;
constexpr quint16 kNordicDfuCorlis = 0x8B19;

// A mouse id that no model table names, but which stores packed values.
constexpr quint16 kPackedValueExtraMouse = 0x6D4B;

// Mouse product ids, by model.
constexpr quint16 kAbberly = 0x6D10;
constexpr quint16 kAbberlyWireless = 0x6E10;
constexpr quint16 kBalsom = 0x6D12;
constexpr quint16 kBalsomWireless = 0x6E11;
constexpr quint16 kBrackly = 0x6D14;
constexpr quint16 kBracklyWireless = 0x6E12;
constexpr quint16 kCorlis = 0x6D16;
constexpr quint16 kCorlisWireless = 0x6E13;
constexpr quint16 kDallow = 0x6D18;
constexpr quint16 kDallowWireless = 0x6E14;
constexpr quint16 kDunmor = 0x6D1A;
constexpr quint16 kEdris = 0x6D1B;
constexpr quint16 kElwin = 0x6D1C;
constexpr quint16 kElwinWireless = 0x6E15;
constexpr quint16 kFarrant = 0x6D1E;
constexpr quint16 kFarrantWireless = 0x6E16;
constexpr quint16 kGadsby = 0x6D20;
constexpr quint16 kGadsbyWireless = 0x6E17;
constexpr quint16 kGarrick = 0x6D22;
constexpr quint16 kHarlo = 0x6D23;
constexpr quint16 kHebden = 0x6D24;
constexpr quint16 kHebdenWireless = 0x6E18;
constexpr quint16 kIckwor = 0x6D26;
constexpr quint16 kIckworWireless = 0x6E19;
constexpr quint16 kIvell = 0x6D28;
constexpr quint16 kJarrow = 0x6D29;
constexpr quint16 kJarrowWireless = 0x6E1A;
constexpr quint16 kJarrowNordic = 0x6D2B;
constexpr quint16 kJarrowNordicWireless = 0x6E1B;
constexpr quint16 kJessam = 0x6D2D;
constexpr quint16 kJessamWireless = 0x6E1C;
constexpr quint16 kKelham = 0x6D2F;
constexpr quint16 kKelhamWireless = 0x6E1D;
// The Maldon-layout models; the firmware path calls them "KELHAM_NORDIC" (and the device list "MALDON").
constexpr quint16 kKelhamNordic = 0x6D31;
constexpr quint16 kKelhamNordicWireless = 0x6E1E;
constexpr quint16 kKinloch = 0x6D33;
constexpr quint16 kLorrim = 0x6D34;
constexpr quint16 kLydford = 0x6D35;
constexpr quint16 kLydfordWireless = 0x6E1F;
constexpr quint16 kMarwen = 0x6D39;
constexpr quint16 kMarwenWireless = 0x6E20;
constexpr quint16 kNesbit = 0x6D3B;
constexpr quint16 kNesbitWireless = 0x6E21;
constexpr quint16 kOrlan = 0x6D3D;
constexpr quint16 kPembry = 0x6D3E;
constexpr quint16 kSelwin = 0x6D3F;
constexpr quint16 kTamsin = 0x6D40;
constexpr quint16 kUlverd = 0x6D41;
constexpr quint16 kUlverdLow = 0x6D42;
constexpr quint16 kVarlo = 0x6D43;
constexpr quint16 kWendal = 0x6D44;
constexpr quint16 kYarrin = 0x6D45;
constexpr quint16 kYarrinWireless = 0x6D46;
constexpr quint16 kZennor = 0x6D47;
constexpr quint16 kZennorWireless = 0x6E22;
constexpr quint16 kHarloHollis = 0x6D49;
constexpr quint16 kDunmorHollis = 0x6D4A;
constexpr quint16 kKinlochHollis = 0x6D4C;
// A Nordic mouse that only the firmware library's device list knows.
constexpr quint16 kTolland = 0x6D60;
constexpr quint16 kTollandWireless = 0x6D61;

// The receiver range: the product ids under which a register mouse answers through the wireless receiver.
// Only models reached through the receiver lie inside (the Yarrin's wireless id, sent with the receiver's
// address byte, lies outside, so the receiver-only steps skip it).
constexpr quint16 kReceiverRangeFirst = 0x6E10;
constexpr quint16 kReceiverRangeLast = 0x6E3F;

constexpr bool inReceiverRange(int pid)
{
    return pid >= kReceiverRangeFirst && pid <= kReceiverRangeLast;
}

// The protocol family whose classes serve a product id. Mice whose family has no classes yet are filed under
// the family their model belongs to.
enum class Family : quint8 {
    Unassigned,          // an id the program knows only by its model flags
    Keyboard,
    RgbKeyboard,
    Receiver,
    Bootloader,
    ProfileImageMouse,   // command and data collections, whole profile images
    TwoPageMouse,        // one configuration image moved as two pages
    RegisterMouse,       // registers behind an address byte, wired or through the receiver
    FeatureReportMouse,  // feature reports per setting
};

enum class Link : quint8 { Wired, Wireless };

// What the code asks about a model.
namespace Flag {
enum : quint16 {
    None = 0,
    Recognised = 1 << 0,              // in the product-id table of the hot-plug watch and the device picker
    Layout = 1 << 1,                  // the resources hold its layout document
    FactoryProfile = 1 << 2,          // it has a factory profile path (the resources may not hold the file yet)
    PackedValues = 1 << 3,            // profiles store packed DPI enable flags and composite-key values
    SwappedModifiers = 1 << 4,        // composite keys store their modifier codes swapped (packs values too)
    BatteryPoll = 1 << 5,             // the battery is polled instead of read from reports
    ReportsThroughReceiver = 1 << 6,  // its reports come through the receiver's vendor interface
    // Key-assignment families: which rules the key model applies to a function assigned to a button.
    SniperKeys = 1 << 7,              // DPI buttons refuse sniper and fire; the mouse may offer both
    SideButtonKeys = 1 << 8,          // side buttons (custom buttons 1-3)
    DpiKeys = 1 << 9,                 // DPI keys
    DpiFunctions = 1 << 10,           // DpiKeys models that offer DPI Cycle, DPI+ and DPI- as extra functions
    BasicKeys = 1 << 11,              // basic buttons, the wheel and a DPI-cycle button
};
} // namespace Flag

struct Model {
    quint16 pid;
    const char* model;     // shared by the wired and wireless ids of one model
    const char* typeName;  // device-type name by which layouts, profiles and the user interface know it
    Family family;
    Link link;
    quint16 partner;       // the id of the other link of the same model; 0 when it has none
    const char* folder;    // resource folder, nullptr when the model has no resources
    const char* stem;      // file-name stem of its layout document and factory profile in that folder
    quint16 flags;

    constexpr bool has(quint16 flag) const { return (flags & flag) == flag; }
};

constexpr Model kModels[] = {
    {kKeyboardWired, "ZEPHRA", "ZEPHRA", Family::Keyboard, Link::Wired, kKeyboardWireless,
     ":/common/newUI/Quenby_8a/", "Quenby_8A",
     Flag::Recognised | Flag::Layout | Flag::FactoryProfile | Flag::PackedValues},
    {kKeyboardWireless, "ZEPHRA", "ZEPHRA_WIRELESS", Family::Keyboard, Link::Wireless, kKeyboardWired, nullptr,
     nullptr, Flag::Recognised},
    {kRgbKeyboard, "QUENBYRGB", "QUENBYRGB", Family::RgbKeyboard, Link::Wired, 0, ":/common/newUI/Quenby_RGB/",
     "Quenby_RGB", Flag::Layout | Flag::FactoryProfile},
    {kReceiver, "RECEIVER", "RECEIVER", Family::Receiver, Link::Wireless, 0, nullptr, nullptr, Flag::None},
    {kReceiverNordic, "RECEIVER_NORDIC", "RECEIVER_NORDIC", Family::Receiver, Link::Wireless, 0, nullptr, nullptr,
     Flag::None},
    {kHidBootloader, "HID_BOOTLOADER", "HID_BOOTLOADER", Family::Bootloader, Link::Wired, 0, nullptr, nullptr,
     Flag::None},
    {kNordicDfuWired, "NORDIC_DFU", "NORDIC_DFU", Family::Bootloader, Link::Wired, 0, nullptr, nullptr, Flag::None},
    {kNordicDfuWireless, "NORDIC_DFU_WIRELESS", "NORDIC_DFU_WIRELESS", Family::Bootloader, Link::Wireless, 0,
     nullptr, nullptr, Flag::None},
    {kNordicDfuMaldon, "NORDIC_DFU_MALDON", "NORDIC_DFU_MALDON", Family::Bootloader, Link::Wired, 0, nullptr, nullptr, Flag::None},
    {kNordicDfuNesbit, "NORDIC_DFU_NESBIT", "NORDIC_DFU_NESBIT", Family::Bootloader, Link::Wired, 0, nullptr, nullptr, Flag::None},
    {kNordicDfuTolland, "NORDIC_DFU_TOLLAND", "NORDIC_DFU_TOLLAND", Family::Bootloader, Link::Wired, 0, nullptr, nullptr, Flag::None},
    {kNordicDfuJessam, "NORDIC_DFU_JESSAM", "NORDIC_DFU_JESSAM", Family::Bootloader, Link::Wired, 0, nullptr, nullptr, Flag::None},
    {kNordicDfuDallow, "NORDIC_DFU_DALLOW", "NORDIC_DFU_DALLOW", Family::Bootloader, Link::Wired, 0, nullptr, nullptr, Flag::None},
    {kNordicDfuHebden, "NORDIC_DFU_HEBDEN", "NORDIC_DFU_HEBDEN", Family::Bootloader, Link::Wired, 0, nullptr, nullptr, Flag::None},
    {kNordicDfuLydford, "NORDIC_DFU_LYDFORD", "NORDIC_DFU_LYDFORD", Family::Bootloader, Link::Wired, 0, nullptr, nullptr, Flag::None},
    {kNordicDfuBrackly, "NORDIC_DFU_BRACKLY", "NORDIC_DFU_BRACKLY", Family::Bootloader, Link::Wired, 0, nullptr, nullptr, Flag::None},
    {kNordicDfuBalsom, "NORDIC_DFU_BALSOM", "NORDIC_DFU_BALSOM", Family::Bootloader, Link::Wired, 0, nullptr, nullptr, Flag::None},
    {kNordicDfuCorlis, "NORDIC_DFU_CORLIS", "NORDIC_DFU_CORLIS", Family::Bootloader, Link::Wired, 0, nullptr, nullptr, Flag::None},
    {kTolland, "TOLLAND", "TOLLAND", Family::Unassigned, Link::Wired, kTollandWireless, nullptr, nullptr, Flag::None},
    {kTollandWireless, "TOLLAND", "TOLLAND_WIRELESS", Family::Unassigned, Link::Wireless, kTolland, nullptr, nullptr, Flag::None},
    {kPackedValueExtraMouse, "", "", Family::Unassigned, Link::Wired, 0, nullptr, nullptr, Flag::PackedValues},
    {kAbberly, "ABBERLY", "ABBERLY", Family::RegisterMouse, Link::Wired, kAbberlyWireless, ":/common/Abberly/", "Abberly", Flag::SwappedModifiers | Flag::PackedValues | Flag::FactoryProfile},
    {kAbberlyWireless, "ABBERLY", "ABBERLY_WIRELESS", Family::RegisterMouse, Link::Wireless, kAbberly, ":/common/Abberly/", "Abberly_Wireless", Flag::SwappedModifiers | Flag::PackedValues | Flag::FactoryProfile},
    {kBalsom, "BALSOM", "BALSOM", Family::RegisterMouse, Link::Wired, kBalsomWireless, nullptr, nullptr, Flag::SniperKeys},
    {kBalsomWireless, "BALSOM", "BALSOM_WIRELESS", Family::RegisterMouse, Link::Wireless, kBalsom, nullptr, nullptr, Flag::SniperKeys},
    {kBrackly, "BRACKLY", "BRACKLY", Family::RegisterMouse, Link::Wired, kBracklyWireless, nullptr, nullptr, Flag::SniperKeys},
    {kBracklyWireless, "BRACKLY", "BRACKLY_WIRELESS", Family::RegisterMouse, Link::Wireless, kBrackly, nullptr, nullptr, Flag::SniperKeys},
    {kCorlis, "CORLIS", "CORLIS", Family::RegisterMouse, Link::Wired, kCorlisWireless, nullptr, nullptr, Flag::SniperKeys},
    {kCorlisWireless, "CORLIS", "CORLIS_WIRELESS", Family::RegisterMouse, Link::Wireless, kCorlis, nullptr, nullptr, Flag::SniperKeys},
    {kDallow, "DALLOW", "DALLOW", Family::RegisterMouse, Link::Wired, kDallowWireless, nullptr, nullptr, Flag::PackedValues},
    {kDallowWireless, "DALLOW", "DALLOW_WIRELESS", Family::RegisterMouse, Link::Wireless, kDallow, nullptr, nullptr, Flag::PackedValues},
    {kDunmor, "DUNMOR", "DUNMOR", Family::FeatureReportMouse, Link::Wired, 0, ":/common/Dunmor/", "Dunmor", Flag::Layout | Flag::FactoryProfile | Flag::SideButtonKeys},
    {kEdris, "EDRIS", "EDRIS", Family::ProfileImageMouse, Link::Wired, 0, ":/common/Edris/", "Edris", Flag::Layout | Flag::FactoryProfile | Flag::SideButtonKeys},
    {kElwin, "ELWIN", "ELWIN", Family::RegisterMouse, Link::Wired, kElwinWireless, nullptr, nullptr, Flag::None},
    {kElwinWireless, "ELWIN", "ELWIN_WIRELESS", Family::RegisterMouse, Link::Wireless, kElwin, nullptr, nullptr, Flag::None},
    {kFarrant, "FARRANT", "FARRANT", Family::RegisterMouse, Link::Wired, kFarrantWireless, ":/common/Farrant/", "Farrant", Flag::SwappedModifiers | Flag::PackedValues | Flag::FactoryProfile},
    {kFarrantWireless, "FARRANT", "FARRANT_WIRELESS", Family::RegisterMouse, Link::Wireless, kFarrant, ":/common/Farrant/", "Farrant_Wireless", Flag::SwappedModifiers | Flag::PackedValues | Flag::BatteryPoll | Flag::FactoryProfile},
    {kGadsby, "GADSBY", "GADSBY", Family::RegisterMouse, Link::Wired, kGadsbyWireless, ":/common/Gadsby/", "Gadsby", Flag::SwappedModifiers | Flag::PackedValues | Flag::FactoryProfile},
    {kGadsbyWireless, "GADSBY", "GADSBY_WIRELESS", Family::RegisterMouse, Link::Wireless, kGadsby, ":/common/Gadsby/", "Gadsby_Wireless", Flag::SwappedModifiers | Flag::PackedValues | Flag::FactoryProfile},
    {kGarrick, "GARRICK", "GARRICK", Family::FeatureReportMouse, Link::Wired, 0, ":/common/Garrick/", "Garrick", Flag::Layout | Flag::FactoryProfile | Flag::SideButtonKeys},
    {kHarlo, "HARLO", "HARLO", Family::FeatureReportMouse, Link::Wired, 0, ":/common/Harlo/", "Harlo", Flag::Layout | Flag::FactoryProfile | Flag::SideButtonKeys},
    {kHebden, "HEBDEN", "HEBDEN", Family::RegisterMouse, Link::Wired, kHebdenWireless, nullptr, nullptr, Flag::SniperKeys},
    {kHebdenWireless, "HEBDEN", "HEBDEN_WIRELESS", Family::RegisterMouse, Link::Wireless, kHebden, nullptr, nullptr, Flag::SniperKeys},
    {kIckwor, "ICKWOR", "ICKWOR", Family::RegisterMouse, Link::Wired, kIckworWireless, ":/common/Ickwor/", "Ickwor", Flag::SwappedModifiers | Flag::PackedValues | Flag::FactoryProfile},
    {kIckworWireless, "ICKWOR", "ICKWOR_WIRELESS", Family::RegisterMouse, Link::Wireless, kIckwor, ":/common/Ickwor/", "Ickwor_Wireless", Flag::SwappedModifiers | Flag::PackedValues | Flag::FactoryProfile},
    {kIvell, "IVELL", "IVELL", Family::FeatureReportMouse, Link::Wired, 0, ":/common/Ivell/", "Ivell", Flag::Layout | Flag::FactoryProfile | Flag::SideButtonKeys},
    {kJarrow, "JARROW", "JARROW", Family::RegisterMouse, Link::Wired, kJarrowWireless, nullptr, nullptr, Flag::None},
    {kJarrowWireless, "JARROW", "JARROW_WIRELESS", Family::RegisterMouse, Link::Wireless, kJarrow, nullptr, nullptr, Flag::None},
    {kJarrowNordic, "JARROW_NORDIC", "JARROW_NORDIC", Family::RegisterMouse, Link::Wired, kJarrowNordicWireless, ":/common/newUI/Jarrow/", "Jarrow", Flag::Layout},
    {kJarrowNordicWireless, "JARROW_NORDIC", "JARROW_NORDIC_WIRELESS", Family::RegisterMouse, Link::Wireless, kJarrowNordic, nullptr, nullptr, Flag::PackedValues | Flag::ReportsThroughReceiver},
    {kJessam, "JESSAM", "JESSAM", Family::RegisterMouse, Link::Wired, kJessamWireless, nullptr, nullptr, Flag::PackedValues},
    {kJessamWireless, "JESSAM", "JESSAM_WIRELESS", Family::RegisterMouse, Link::Wireless, kJessam, nullptr, nullptr, Flag::PackedValues},
    {kKelham, "KELHAM", "KELHAM", Family::RegisterMouse, Link::Wired, kKelhamWireless, ":/common/Kelham/", "Kelham", Flag::SwappedModifiers | Flag::PackedValues | Flag::FactoryProfile},
    {kKelhamWireless, "KELHAM", "KELHAM_WIRELESS", Family::RegisterMouse, Link::Wireless, kKelham, ":/common/Kelham/", "Kelham_Wireless", Flag::SwappedModifiers | Flag::PackedValues | Flag::FactoryProfile},
    {kKelhamNordic, "KELHAM_NORDIC", "KELHAM_NORDIC", Family::RegisterMouse, Link::Wired, kKelhamNordicWireless, ":/common/newUI/Maldon/", "Maldon", Flag::PackedValues | Flag::FactoryProfile},
    {kKelhamNordicWireless, "KELHAM_NORDIC", "KELHAM_NORDIC_WIRELESS", Family::RegisterMouse, Link::Wireless, kKelhamNordic, ":/common/Maldon/", "Maldon_Wireless", Flag::PackedValues | Flag::BatteryPoll | Flag::FactoryProfile},
    {kKinloch, "KINLOCH", "KINLOCH", Family::FeatureReportMouse, Link::Wired, 0, ":/common/Kinloch/", "Kinloch", Flag::Layout | Flag::FactoryProfile | Flag::SideButtonKeys},
    {kLorrim, "LORRIM", "LORRIM", Family::FeatureReportMouse, Link::Wired, 0, ":/common/Lorrim/", "Lorrim", Flag::Layout | Flag::FactoryProfile | Flag::SideButtonKeys},
    {kLydford, "LYDFORD", "LYDFORD", Family::RegisterMouse, Link::Wired, kLydfordWireless, nullptr, nullptr, Flag::SniperKeys},
    {kLydfordWireless, "LYDFORD", "LYDFORD_WIRELESS", Family::RegisterMouse, Link::Wireless, kLydford, nullptr, nullptr, Flag::SniperKeys},
    {kMarwen, "MARWEN", "MARWEN", Family::RegisterMouse, Link::Wired, kMarwenWireless, nullptr, nullptr, Flag::None},
    {kMarwenWireless, "MARWEN", "MARWEN_WIRELESS", Family::RegisterMouse, Link::Wireless, kMarwen, nullptr, nullptr, Flag::None},
    {kNesbit, "NESBIT", "NESBIT", Family::RegisterMouse, Link::Wired, kNesbitWireless, nullptr, nullptr, Flag::PackedValues},
    {kNesbitWireless, "NESBIT", "NESBIT_WIRELESS", Family::RegisterMouse, Link::Wireless, kNesbit, nullptr, nullptr, Flag::PackedValues},
    {kOrlan, "ORLAN", "ORLAN", Family::ProfileImageMouse, Link::Wired, 0, ":/common/Orlan/", "Orlan", Flag::Layout | Flag::FactoryProfile | Flag::DpiKeys | Flag::DpiFunctions},
    {kPembry, "PEMBRY", "PEMBRY", Family::ProfileImageMouse, Link::Wired, 0, ":/common/Pembry/", "Pembry", Flag::Layout | Flag::FactoryProfile | Flag::DpiKeys | Flag::DpiFunctions},
    {kSelwin, "SELWIN", "SELWIN", Family::ProfileImageMouse, Link::Wired, 0, ":/common/Selwin/", "Selwin", Flag::Layout | Flag::DpiKeys},
    {kTamsin, "TAMSIN", "TAMSIN", Family::ProfileImageMouse, Link::Wired, 0, ":/common/Tamsin/", "Tamsin", Flag::Layout | Flag::DpiKeys},
    {kUlverd, "ULVERD", "ULVERD", Family::TwoPageMouse, Link::Wired, 0, ":/common/Ulverd/", "Ulverd", Flag::PackedValues | Flag::Layout | Flag::FactoryProfile | Flag::BasicKeys},
    {kUlverdLow, "ULVERD_LOW", "ULVERD_LOW", Family::TwoPageMouse, Link::Wired, 0, ":/common/Ulverd_LOW/", "Ulverd_LOW", Flag::PackedValues | Flag::Layout | Flag::FactoryProfile | Flag::BasicKeys},
    {kVarlo, "VARLO", "VARLO", Family::ProfileImageMouse, Link::Wired, 0, ":/common/Varlo/", "Varlo", Flag::Layout | Flag::FactoryProfile | Flag::BasicKeys},
    {kWendal, "WENDAL", "WENDAL", Family::ProfileImageMouse, Link::Wired, 0, ":/common/Wendal/", "Wendal", Flag::Layout | Flag::FactoryProfile | Flag::BasicKeys},
    {kYarrin, "YARRIN", "YARRIN", Family::RegisterMouse, Link::Wired, kYarrinWireless, ":/common/Yarrin/", "Yarrin", Flag::SwappedModifiers | Flag::PackedValues | Flag::FactoryProfile},
    {kYarrinWireless, "YARRIN", "YARRIN_WIRELESS", Family::RegisterMouse, Link::Wireless, kYarrin, ":/common/Yarrin/", "Yarrin_Wireless", Flag::SwappedModifiers | Flag::PackedValues | Flag::ReportsThroughReceiver | Flag::FactoryProfile},
    {kZennor, "ZENNOR", "ZENNOR", Family::RegisterMouse, Link::Wired, kZennorWireless, ":/common/Zennor/", "Zennor", Flag::SwappedModifiers | Flag::PackedValues | Flag::FactoryProfile},
    {kZennorWireless, "ZENNOR", "ZENNOR_WIRELESS", Family::RegisterMouse, Link::Wireless, kZennor, ":/common/Zennor/", "Zennor_Wireless", Flag::SwappedModifiers | Flag::PackedValues | Flag::ReportsThroughReceiver | Flag::FactoryProfile},
    {kHarloHollis, "HARLO_Hollis", "HARLO_Hollis", Family::TwoPageMouse, Link::Wired, 0, ":/common/newUI/Harlo_Hollis/", "Harlo_Hollis", Flag::Layout | Flag::BasicKeys},
    {kDunmorHollis, "DUNMOR_Hollis", "DUNMOR_Hollis", Family::TwoPageMouse, Link::Wired, 0, ":/common/newUI/Dunmor_Hollis/", "Dunmor_Hollis", Flag::Layout | Flag::BasicKeys},
    {kKinlochHollis, "KINLOCH_Hollis", "KINLOCH_Hollis", Family::FeatureReportMouse, Link::Wired, 0, nullptr, nullptr, Flag::None},
};

// The row of a product id; null for an id that is not ours.
constexpr const Model* find(int pid)
{
    for (const Model& m : kModels) {
        if (m.pid == pid)
            return &m;
    }
    return nullptr;
}

constexpr bool has(int pid, quint16 flag)
{
    const Model* m = find(pid);
    return m && m->has(flag);
}

// Where a profile's combination keys come from in the device's key code: the packed-value models, the keyboards
// (the RGB one too) and the register mice keep the modifier mask in the code's third byte and the usage in its
// fourth; the two-page mice (packed values or not: their code is 0xFC, mask, usage) and the other models in its
// second and third.
constexpr bool combinationInCodeBytes(int pid)
{
    const Model* m = find(pid);
    return m && m->family != Family::TwoPageMouse
           && (m->has(Flag::PackedValues) || m->family == Family::RegisterMouse || m->family == Family::RgbKeyboard);
}

namespace detail {
constexpr bool sameText(const char* a, const char* b)
{
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}
// Not constexpr: reaching it while the compiler evaluates a constant stops the build.
inline quint16 unknownModel() { return 0; }
} // namespace detail

// The wired or wireless product id of a model by its name, for callers that hold the name as text. Used in a
// constant, a name the catalogue does not hold is a compile error; at run time it gives 0.
constexpr quint16 mousePid(const char* model, bool wireless = false)
{
    const Link link = wireless ? Link::Wireless : Link::Wired;
    for (const Model& m : kModels) {
        if (m.link == link && detail::sameText(m.model, model))
            return m.pid;
    }
    return detail::unknownModel();
}

inline QString resourcePath(const Model* m, const char* suffix)
{
    if (!m || !m->folder)
        return QString();
    return QLatin1String(m->folder) + QLatin1String(m->stem) + QLatin1String(suffix);
}

// The layout document of a model; empty when it has none.
inline QString layoutPath(int pid)
{
    const Model* m = find(pid);
    return m && m->has(Flag::Layout) ? resourcePath(m, "Layout.json") : QString();
}

// The factory profile of a model; empty when it has none.
inline QString factoryProfilePath(int pid)
{
    const Model* m = find(pid);
    return m && m->has(Flag::FactoryProfile) ? resourcePath(m, "DefaultConfig.json") : QString();
}

// Models of the key-assignment families whose buttons have defaults of their own (M1-M5: sniper and
// swapped-modifier families, M6-M8: side-button family); None for every other id.
enum class KeyRuleModel { None, M1, M2, M3, M4, M5, M6, M7, M8 };

constexpr KeyRuleModel keyRuleModel(int pid)
{
    const Model* m = find(pid);
    if (!m)
        return KeyRuleModel::None;
    const quint16 wired = m->link == Link::Wired ? m->pid : m->partner;
    switch (wired) {
    case kBalsom: return KeyRuleModel::M1;
    case kBrackly: return KeyRuleModel::M2;
    case kCorlis: return KeyRuleModel::M3;
    case kFarrant: return KeyRuleModel::M4;
    case kGadsby: return KeyRuleModel::M5;
    case kDunmor: return KeyRuleModel::M6;
    case kEdris: return KeyRuleModel::M7;
    case kGarrick: return KeyRuleModel::M8;
    default: return KeyRuleModel::None;
    }
}

// Checks of the table, at compile time.
namespace detail {
constexpr bool rowsAreSound()
{
    for (const Model& m : kModels) {
        if (m.pid < 0x1000 || m.pid == kVendorId || m.model == nullptr || m.typeName == nullptr)
            return false;
        if (m.has(Flag::SwappedModifiers) && !m.has(Flag::PackedValues))
            return false;
        if (m.has(Flag::DpiFunctions) && !m.has(Flag::DpiKeys))
            return false;
        if ((m.has(Flag::Layout) || m.has(Flag::FactoryProfile)) && (m.folder == nullptr || m.stem == nullptr))
            return false;
        int same = 0;
        for (const Model& other : kModels) {
            if (other.pid == m.pid)
                ++same;
            if (&other != &m && other.link == m.link && *m.model && sameText(other.model, m.model))
                return false;  // one row per model and link
        }
        if (same != 1)
            return false;
        if (m.partner != 0) {
            const Model* p = find(m.partner);
            if (!p || p->partner != m.pid || p->link == m.link || !sameText(p->model, m.model))
                return false;
        }
    }
    return true;
}
} // namespace detail
namespace detail {
constexpr int countWith(quint16 flag)
{
    int n = 0;
    for (const Model& m : kModels)
        n += m.has(flag) ? 1 : 0;
    return n;
}
constexpr bool keyFamiliesAreDisjoint()
{
    for (const Model& m : kModels) {
        const int families = (m.has(Flag::SniperKeys) ? 1 : 0) + (m.has(Flag::SwappedModifiers) ? 1 : 0)
            + (m.has(Flag::SideButtonKeys) ? 1 : 0) + (m.has(Flag::DpiKeys) ? 1 : 0) + (m.has(Flag::BasicKeys) ? 1 : 0);
        if (families > 1)
            return false;
    }
    return true;
}
} // namespace detail
static_assert(detail::keyFamiliesAreDisjoint(), "a product id belongs to one key-assignment family at most");
static_assert(detail::countWith(Flag::SniperKeys) == 10 && detail::countWith(Flag::SwappedModifiers) == 14
                  && detail::countWith(Flag::SideButtonKeys) == 7 && detail::countWith(Flag::DpiKeys) == 4
                  && detail::countWith(Flag::DpiFunctions) == 2 && detail::countWith(Flag::BasicKeys) == 6,
              "key-assignment families: 10 sniper, 14 swapped-modifier, 7 side-button, 4 DPI-key (2 with DPI "
              "functions), 6 basic ids");
namespace detail {
// Inside the receiver range: every wireless register mouse but the Yarrin's, and nothing else.
constexpr bool receiverRangeIsSound()
{
    for (const Model& m : kModels) {
        const bool receiverModel = m.family == Family::RegisterMouse && m.link == Link::Wireless
            && m.pid != kYarrinWireless;
        if (inReceiverRange(m.pid) != receiverModel)
            return false;
    }
    return true;
}
} // namespace detail
static_assert(detail::receiverRangeIsSound(), "the receiver range holds the receiver models only");
static_assert(detail::rowsAreSound(), "catalogue rows: unique ids of four hex digits, paired both ways, "
                                      "one row per model and link, resources where flagged");

// Firmware updates of the Nordic models: the product ids under which the firmware library's device list knows
// each model ("MALDON" answers under "KELHAM_NORDIC"'s ids) and the DFU bootloader of its wired version; every
// wireless version restarts as the receiver's bootloader, kNordicDfuWireless.
struct NordicDfuIds {
    const char* name;
    quint16 wired;
    quint16 wireless;
    quint16 dfu;
};
constexpr NordicDfuIds kNordicDfu[] = {
    {"JARROW", kJarrowNordic, kJarrowNordicWireless, kNordicDfuWired},
    {"MALDON", kKelhamNordic, kKelhamNordicWireless, kNordicDfuMaldon},
    {"NESBIT", kNesbit, kNesbitWireless, kNordicDfuNesbit},
    {"TOLLAND", kTolland, kTollandWireless, kNordicDfuTolland},
    {"JESSAM", kJessam, kJessamWireless, kNordicDfuJessam},
    {"DALLOW", kDallow, kDallowWireless, kNordicDfuDallow},
    {"HEBDEN", kHebden, kHebdenWireless, kNordicDfuHebden},
    {"LYDFORD", kLydford, kLydfordWireless, kNordicDfuLydford},
    {"BRACKLY", kBrackly, kBracklyWireless, kNordicDfuBrackly},
    {"BALSOM", kBalsom, kBalsomWireless, kNordicDfuBalsom},
    {"CORLIS", kCorlis, kCorlisWireless, kNordicDfuCorlis},
};

} // namespace DeviceIds
