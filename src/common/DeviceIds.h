#pragma once

// The one list of USB identifiers of the program. The factory, the device-type predicates, the hot-plug watch,
// the firmware library's device list, the udev rule and the emulators all read these values.
// Every id is four hex digits without a leading zero, and no id's hex text occurs inside another's.

#include <QtGlobal>

namespace DeviceIds {

constexpr quint16 kVendorId = 0x3A7E;

// A model known by its device-type name, with its wired and (0 when it has none) wireless product id.
struct ModelIds {
    const char* name;
    quint16 wired;
    quint16 wireless;
};

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

// A mouse id that no model table names, but which stores packed values.
constexpr quint16 kPackedValueExtraMouse = 0x6D4B;

// Mouse families, by model.
constexpr ModelIds kMice[] = {
    {"ABBERLY", 0x6D10, 0x6D11},
    {"BALSOM", 0x6D12, 0x6D13},
    {"BRACKLY", 0x6D14, 0x6D15},
    {"CORLIS", 0x6D16, 0x6D17},
    {"DALLOW", 0x6D18, 0x6D19},
    {"DUNMOR", 0x6D1A, 0},
    {"EDRIS", 0x6D1B, 0},
    {"ELWIN", 0x6D1C, 0x6D1D},
    {"FARRANT", 0x6D1E, 0x6D1F},
    {"GADSBY", 0x6D20, 0x6D21},
    {"GARRICK", 0x6D22, 0},
    {"HARLO", 0x6D23, 0},
    {"HEBDEN", 0x6D24, 0x6D25},
    {"ICKWOR", 0x6D26, 0x6D27},
    {"IVELL", 0x6D28, 0},
    {"JARROW", 0x6D29, 0x6D2A},
    {"JARROW_NORDIC", 0x6D2B, 0x6D2C},
    {"JESSAM", 0x6D2D, 0x6D2E},
    {"KELHAM", 0x6D2F, 0x6D30},
    {"KELHAM_NORDIC", 0x6D31, 0x6D32},
    {"KINLOCH", 0x6D33, 0},
    {"LORRIM", 0x6D34, 0},
    {"LYDFORD", 0x6D35, 0x6D36},
    {"MALDON", 0x6D37, 0x6D38},
    {"MARWEN", 0x6D39, 0x6D3A},
    {"NESBIT", 0x6D3B, 0x6D3C},
    {"ORLAN", 0x6D3D, 0},
    {"PEMBRY", 0x6D3E, 0},
    {"SELWIN", 0x6D3F, 0},
    {"TAMSIN", 0x6D40, 0},
    {"ULVERD", 0x6D41, 0},
    {"ULVERD_LOW", 0x6D42, 0},
    {"VARLO", 0x6D43, 0},
    {"WENDAL", 0x6D44, 0},
    {"YARRIN", 0x6D45, 0x6D46},
    {"ZENNOR", 0x6D47, 0x6D48},
    {"HARLO_Hollis", 0x6D49, 0},
    {"DUNMOR_Hollis", 0x6D4A, 0},
};

// The wired (wireless == false) or wireless product id of a mouse model; 0 when unknown.
constexpr quint16 mousePid(const char* name, bool wireless = false)
{
    for (const ModelIds& m : kMice) {
        const char* a = m.name;
        const char* b = name;
        while (*a && *a == *b) {
            ++a;
            ++b;
        }
        if (*a == 0 && *b == 0)
            return wireless ? m.wireless : m.wired;
    }
    return 0;
}

} // namespace DeviceIds
