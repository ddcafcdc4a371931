#include "devices/mouse/twocollection/EdrisKeyCodec.h"

#include "devices/mouse/twocollection/EdrisProtocol.h"

using namespace Edris;

namespace EdrisKeyCodec {

namespace {

bool orlanHasNoCode(int function)
{
    return (function >= KFuncCtrl && function <= KFuncWin)
        || (function >= KFuncModifierComboFirst && function <= KFuncModifierComboLast);
}

const CodeRow* rowOf(int function)
{
    for (const CodeRow& row : kRootCodes) {
        if (row.function == function)
            return &row;
    }
    return nullptr;
}

// Keyboard-type codes (type 0) by their modifier mask in byte 1.
constexpr int kByMask[16] = {
    KFuncKeyboardKey, KFuncCtrl,    KFuncShift,        KFuncCtrlShift,    KFuncAlt,          KFuncCtrlAlt,
    KFuncShiftAlt,    KFuncCtrlShiftAlt, KFuncWin,     KFuncCtrlWin,      KFuncShiftWin,     KFuncCtrlShiftWin,
    KFuncAltWin,      KFuncCtrlAltWin,   KFuncShiftAltWin, KFuncCtrlShiftAltWin,
};

} // namespace

bool encode(Dialect dialect, int function, quint8 parameter1, quint8 parameter2, KKeyCode* out)
{
    if (dialect == Dialect::Orlan && orlanHasNoCode(function))
        return false;
    const CodeRow* row = rowOf(function);
    if (!row || !out)
        return false;
    quint8 b[4] = {row->bytes[0], row->bytes[1], row->bytes[2], row->bytes[3]};
    switch (row->fill) {
    case Fill::Fixed:
        break;
    case Fill::Macro:
        b[1] = parameter1;
        b[3] = parameter2;
        break;
    case Fill::Combination:
        b[1] = parameter1;
        b[2] = parameter2;
        break;
    }
    if (dialect == Dialect::Orlan && function == KFuncCustomButton2)
        b[2] = kOrlanCustomButton2Code;
    *out = KKeyCode::fromBytes(b);
    return true;
}

int decode(Dialect dialect, const KKeyCode& code, int key)
{
    const bool orlan = dialect == Dialect::Orlan;
    const quint8 b1 = code.param1, b2 = code.code, b3 = code.param2;
    switch (code.type) {
    case 0:
        if (b1 == 0 && b2 == 0 && b3 == 0)
            return KFuncNull;
        if (b1 == 0)
            return key == 8 && b2 == (orlan ? kOrlanCustomButton2Code : kRootCustomButton2Code) ? KFuncCustomButton2
                                                                                              : KFuncKeyboardKey;
        if (b1 == 1) {
            switch (b2) {
            case 9: return KFuncFind;
            case 26: return KFuncCloseWindow;
            case 45: return KFuncZoomOut;
            case 46: return KFuncZoomIn;
            default: return KFuncCtrl;
            }
        }
        if (b1 == 8) {
            switch (b2) {
            case 7: return KFuncShowDesktop;
            case 15: return KFuncLockComputer;
            case 21: return KFuncRun;
            default: return KFuncWin;
            }
        }
        return b1 < 16 ? kByMask[b1] : KFuncNull;
    case 1:
        switch (b2) {
        case kButtonLeft: return KFuncMouseLeft;
        case kButtonRight: return KFuncMouseRight;
        case kButtonMiddle: return KFuncMouseMiddle;
        case 0xF3: return KFuncMouseBack;
        case 0xF4: return KFuncMouseForward;
        default: return KFuncNull;
        }
    case 3:
        if (b2 == 131 && b3 == 1)
            return KFuncPlayer;
        if (b2 == 226)
            return KFuncMute;
        if (b2 == 233)
            return orlan && key == 10 ? KFuncSideRollerDown : KFuncVolumeUp;
        if (b2 == 234)
            return orlan && key == 9 ? KFuncSideRollerUp : KFuncVolumeDown;
        return KFuncNull;
    case 4:
        return b2 == 1 ? KFuncRollerForward : b2 == 2 ? KFuncRollerBack : KFuncNull;
    case 7:
        switch (b2) {
        case 1: return KFuncDpiUp;
        case 2: return KFuncDpiDown;
        case 3: return KFuncDpiCycle;
        case 4: return KFuncSniper;
        default: return KFuncNull;
        }
    case 8:
        if (b2 != 3)
            return KFuncNull;
        return key == 9 && !orlan ? KFuncCustomButton3 : KFuncModeSwitch;
    case kTypeMacro:
        return KFuncMacro;
    case 10:
        return b1 == 0xF0 && b2 == 16 && b3 == 2 ? KFuncFire : KFuncNull;
    case 16:
        return b2 == 3 ? KFuncMacroSwitch : KFuncNull;
    case kTypePressMacros:
        if (b2 != 0)
            return KFuncNull;
        return key == 7 ? KFuncCustomButton1 : KFuncMouseLeft;
    default:
        return KFuncNull;
    }
}

int settleCombination(int function, int mask, int usage)
{
    if (function == KFuncMacro)
        return function;
    for (const CombinationRow& row : kCombinationFunctions) {
        if (row.mask == mask && row.usage == usage)
            return row.function;
    }
    return function;
}

} // namespace EdrisKeyCodec
