#include "devices/mouse/register/FarrantNordicKeyCodec.h"

#include "devices/KeyCodeTables.h"

#include <QDebug>

namespace FarrantNordic {

namespace {

// Type byte values the mouse adds to the shared ones of KKeyCode.
constexpr quint8 kTypeDpi = 0x08;      // code 3 cycle, 5 up, 6 down
constexpr quint8 kTypeSpecial = 0x09;  // code 1 sniper, 2 fire, 3 macro switch
constexpr quint8 kTypeRoller = 0xFF;   // all four bytes 0xFF

constexpr quint8 kButtonLeft = 0x01;
constexpr quint8 kButtonRight = 0x02;
constexpr quint8 kButtonMiddle = 0x04;
constexpr quint8 kButtonBack = 0x08;
constexpr quint8 kButtonForward = 0x10;

constexpr KKeyCode kRollerCode(kTypeRoller, 0xFF, 0xFF, 0xFF);

// Functions with one fixed code. Encoding reads the whole table; decoding reads it where the mouse reads a
// code the same way (see readsAs), the buttons that share a code are told apart by their entry.
constexpr FixedKeyCode kFixedCodes[] = {
    {KFuncDisable, KKeyCode(KKeyCode::kDisabled, 0)},
    {KFuncNull, KKeyCode()},
    {KFuncCloseWindow, KKeyCode(KKeyCode::kCombination, KMaskAlt, 0, 0x3D)},
    {KFuncLockComputer, KKeyCode(KKeyCode::kCombination, KMaskWin, 0, 0x0F)},
    {KFuncRun, KKeyCode(KKeyCode::kCombination, KMaskWin, 0, 0x15)},
    {KFuncShowDesktop, KKeyCode(KKeyCode::kCombination, KMaskWin, 0, 0x07)},
    {KFuncSwitchProgram, KKeyCode(KKeyCode::kCombination, KMaskAlt, 0, 0x2B)},
    {KFuncZoomIn, KKeyCode(KKeyCode::kCombination, KMaskWin, 0, 0x57)},
    {KFuncZoomOut, KKeyCode(KKeyCode::kCombination, KMaskWin, 0, 0x56)},
    {KFuncMouseLeft, KKeyCode(KKeyCode::kMouse, kButtonLeft)},
    {KFuncMouseMiddle, KKeyCode(KKeyCode::kMouse, kButtonMiddle)},
    {KFuncMouseRight, KKeyCode(KKeyCode::kMouse, kButtonRight)},
    {KFuncMouseForward, KKeyCode(KKeyCode::kMouse, kButtonForward)},
    {KFuncMouseBack, KKeyCode(KKeyCode::kMouse, kButtonBack)},
    {KFuncCustomButton1, KKeyCode(KKeyCode::kMouse, kButtonForward)},
    {KFuncCustomButton2, KKeyCode(KKeyCode::kMouse, kButtonBack)},
    {KFuncCustomButton3, KKeyCode(KKeyCode::kMouse, kButtonForward)},
    {KFuncCustomButton4, KKeyCode(KKeyCode::kMouse, kButtonBack)},
    {KFuncPlayer, KKeyCode(KKeyCode::kConsumer, 0x01, 0, 0x83)},
    {KFuncPlayPause, KKeyCode(KKeyCode::kConsumer, 0x00, 0, 0xCD)},
    {KFuncStop, KKeyCode(KKeyCode::kConsumer, 0x00, 0, 0xB7)},
    {KFuncPreviousSong, KKeyCode(KKeyCode::kConsumer, 0x00, 0, 0xB6)},
    {KFuncNextSong, KKeyCode(KKeyCode::kConsumer, 0x00, 0, 0xB5)},
    {KFuncVolumeDown, KKeyCode(KKeyCode::kConsumer, 0x00, 0, 0xEA)},
    {KFuncVolumeUp, KKeyCode(KKeyCode::kConsumer, 0x00, 0, 0xE9)},
    {KFuncMute, KKeyCode(KKeyCode::kConsumer, 0x00, 0, 0xE2)},
    {KFuncSniper, KKeyCode(kTypeSpecial, 0x01)},
    {KFuncFire, KKeyCode(KKeyCode::kMouse, kButtonLeft, 0, 0x01)},
    {KFuncFind, KKeyCode(KKeyCode::kConsumer, 0x00, 0, 0x21)},
    {KFuncDpiCycle, KKeyCode(kTypeDpi, 0x03)},
    {KFuncRollerForward, kRollerCode},
    {KFuncRollerBack, kRollerCode},
    {KFuncDpiUp, KKeyCode(kTypeDpi, 0x05)},
    {KFuncDpiDown, KKeyCode(kTypeDpi, 0x06)},
    {KFuncMacroSwitch, KKeyCode(kTypeSpecial, 0x03)},
};

// Codes the mouse also reads as a function, though nothing writes them.
constexpr FixedKeyCode kReadOnlyCodes[] = {
    {KFuncFire, KKeyCode(kTypeSpecial, 0x02)},
};

// Whether a stored code reads as a fixed code: a shortcut by its mask and usage, a left button by its second
// parameter (0 left, 1 fire), the other buttons by their mask, a consumer key by its usage, the DPI and
// special keys by their code.
constexpr bool readsAs(const KKeyCode& stored, const KKeyCode& fixed)
{
    if (stored.type != fixed.type)
        return false;
    switch (stored.type) {
    case KKeyCode::kCombination: return stored.code == fixed.code && stored.param2 == fixed.param2;
    case KKeyCode::kMouse:
        return stored.code == fixed.code && (stored.code != kButtonLeft || stored.param2 == fixed.param2);
    case KKeyCode::kConsumer: return stored.param2 == fixed.param2;
    case KKeyCode::kDisabled: return true;
    case kTypeDpi:
    case kTypeSpecial: return stored.code == fixed.code;
    default: return false;
    }
}

// Forward and Back share their codes with the custom buttons; the entry they sit at decides.
struct SharedButtonRule {
    int entryA;
    int functionA;
    int entryB;  // -1: no second entry
    int functionB;
    int otherwise;
};

struct CustomButtonRules {
    SharedButtonRule back;     // button mask 8
    SharedButtonRule forward;  // button mask 16
};

constexpr CustomButtonRules customButtonRules(DecodeRules rules)
{
    switch (rules) {
    case DecodeRules::KelhamNordic:
        return {{8, KFuncCustomButton4, -1, 0, KFuncMouseBack}, {7, KFuncCustomButton3, -1, 0, KFuncMouseForward}};
    case DecodeRules::Yarrin:
        return {{5, KFuncCustomButton2, -1, 0, KFuncMouseBack}, {3, KFuncCustomButton1, -1, 0, KFuncMouseForward}};
    case DecodeRules::Root:
    default:
        return {{6, KFuncCustomButton2, 8, KFuncCustomButton4, KFuncMouseBack},
                {5, KFuncCustomButton1, 7, KFuncCustomButton3, KFuncMouseForward}};
    }
}

constexpr int sharedButton(const SharedButtonRule& rule, int entry)
{
    return entry == rule.entryA ? rule.functionA : entry == rule.entryB ? rule.functionB : rule.otherwise;
}

// Roller entries: FF FF FF FF is the roller at these two entries and nothing anywhere else.
constexpr int kRollerForwardEntry = 9;
constexpr int kRollerBackEntry = 10;

constexpr int X = kNoDefault;

// The lines, by KeyLine value.
const KeyLineRules kLines[] = {
    // Root
    {{0, 2, 1, 5, 6, 7, 8, 9, 10, 11, 12},
     DecodeRules::Root,
     {9, 11, 10, X, X, 39, 40, 14, 15, 16, 17, 37, 38, X},
     true, true, true, true},
    // Farrant
    {{0, 2, 1, 5, 6, 7, 8, 9, 10, 11, 12},
     DecodeRules::Root,
     {9, 11, 10, X, X, 39, 40, 14, 15, 16, 17, 37, 38, X},
     false, false, true, true},
    // KelhamNordic
    {{0, 2, 1, 5, 6, 7, 8, 9, 10, 11, 12},
     DecodeRules::KelhamNordic,
     {9, 11, 10, X, X, 39, X, 14, 15, 27, X, 37, 38, X},
     true, false, false, false},
    // Kelham
    {{0, 2, 1, 5, 6, 7, 8, 9, 10, 11, 12},
     DecodeRules::KelhamNordic,
     {9, 11, 10, X, X, 36, 27, 14, 15, X, X, 37, 38, X},
     false, false, false, false},
    // Yarrin
    {{3, 6, 5, 7, 0, 8, 4, 2, 1, 11, 12},
     DecodeRules::Yarrin,
     {9, 11, 10, 12, 13, 39, 40, 14, 15, X, X, 37, 38, X},
     false, false, false, false},
};
static_assert(sizeof(kLines) / sizeof(kLines[0]) == int(KeyLine::Yarrin) + 1, "one rule set per key line");

} // namespace

const KeyLineRules& FarrantNordicKeyCodec::rules(KeyLine line)
{
    return kLines[int(line)];
}

int FarrantNordicKeyCodec::entryOfKey(KeyLine line, int key)
{
    const KeyLineRules& r = rules(line);
    for (int entry = 0; entry < kKeyTableEntries; ++entry) {
        if (r.keyOrder[entry] == key)
            return entry;
    }
    return -1;
}

bool FarrantNordicKeyCodec::encode(int function, int a, int b, KKeyCode* code)
{
    KKeyCode out;
    if (const KKeyCode* fixed = fixedCodeOf(kFixedCodes, function)) {
        out = *fixed;
    } else {
        // Only the buttons' slots have a code; the press macros play through their own register.
        switch (encodeParameterized(function, a, b, kMacroSlots, &out)) {
        case KeyParameters::Encoded: break;
        case KeyParameters::OutOfRange: return false;
        case KeyParameters::NotParameterized:
            qDebug() << "[ERROR] transToByte: There is no such function";
            return false;
        }
    }
    if (code)
        *code = out;
    return true;
}

int FarrantNordicKeyCodec::decode(const KKeyCode& code, int entry, DecodeRules rules)
{
    if (code.type == KKeyCode::kKeyboard)
        return KFuncKeyboardKey;
    if (code == kRollerCode)
        return entry == kRollerForwardEntry ? KFuncRollerForward
             : entry == kRollerBackEntry    ? KFuncRollerBack
                                            : KFuncNull;
    if (code.type == KKeyCode::kMouse && (code.code == kButtonBack || code.code == kButtonForward)) {
        const CustomButtonRules custom = customButtonRules(rules);
        return sharedButton(code.code == kButtonBack ? custom.back : custom.forward, entry);
    }
    for (const FixedKeyCode& fixed : kFixedCodes) {
        if (readsAs(code, fixed.code))
            return fixed.function;
    }
    for (const FixedKeyCode& fixed : kReadOnlyCodes) {
        if (readsAs(code, fixed.code))
            return fixed.function;
    }
    switch (code.type) {
    case KKeyCode::kCombination: return modifierMaskToFunction(code.code);
    case KKeyCode::kMacro: return KFuncMacro;
    default: return KFuncNull;
    }
}

int FarrantNordicKeyCodec::defaultFunction(KeyLine line, int key)
{
    if (key < 0 || key > KKeyMouseLast)
        return kNoDefault;
    return rules(line).defaults[key];
}

KKeyCode FarrantNordicKeyCodec::defaultCode(KeyLine line, int key)
{
    KKeyCode code;
    const int function = defaultFunction(line, key);
    if (function != kNoDefault)
        encode(function, 0, 0, &code);
    return code;
}

QByteArray FarrantNordicKeyCodec::defaultTable(KeyLine line)
{
    QByteArray table;
    for (int key : rules(line).keyOrder) {
        const auto bytes = defaultCode(line, key).bytes();
        table.append(reinterpret_cast<const char*>(bytes.data()), kKeyCodeSize);
    }
    return table;
}

} // namespace FarrantNordic
