#include "devices/mouse/featurereport/DunmorKeyCodec.h"

using namespace Dunmor;

namespace DunmorKeyCodec {

namespace {

bool fixedCode(int function, Code* out)
{
    for (const KeyCodeRow& row : kFixedCodes) {
        if (row.function == function) {
            std::copy(row.code, row.code + kSlotSize, out->begin());
            return true;
        }
    }
    return false;
}

bool isModifierFunction(int function)
{
    return (function >= KFuncCtrl && function <= KFuncWin)
        || (function >= KFuncModifierComboFirst && function <= KFuncModifierComboLast);
}

} // namespace

bool keyFunctionToCode(int function, int x, int y, Code* out)
{
    if (function == KFuncMacro) {
        if (x < 1 || x > kMacroSlots)
            return false;
        *out = {kKindMacro, 0, quint8(x), 0};
        return true;
    }
    if (function == KFuncKeyCombination || isModifierFunction(function)) {
        if (x < 0 || x > kMaxMask || y < 0 || y > 0xFF)
            return false;
        *out = {kKindKeyboard, quint8(x), quint8(y), 0};
        return true;
    }
    if (function == KFuncKeyboardKey) {
        if (y < 0 || y > 0xFF)
            return false;
        *out = {kKindKeyboard, 0, quint8(y), 0};
        return true;
    }
    return fixedCode(function, out);
}

int modifierFunction(int mask)
{
    for (int i = 0; i < int(sizeof(kComboMask) / sizeof(kComboMask[0])); ++i) {
        if (kComboMask[i] == mask)
            return KFuncModifierComboFirst + i;
    }
    return KFuncNull;
}

int decode(const Code& code)
{
    const quint8 a = code[1];
    const quint8 b = code[2];
    switch (code[0]) {
    case kKindFire:
        return KFuncFire;
    case kKindMacro:
        return KFuncMacro;
    case kKindSpecial:
        switch (b) {
        case 0: return KFuncDisable;
        case 1: return KFuncRollerForward;
        case 2: return KFuncRollerBack;
        case 3: return KFuncDpiCycle;
        case 4: return KFuncSniper;
        default: return KFuncNull;
        }
    case kKindWheel:
        return b == 1 ? KFuncRollerForward : b == 2 ? KFuncRollerBack : KFuncNull;
    case kKindConsumer:
    case kKindMouse:
        for (const KeyCodeRow& row : kFixedCodes) {
            if (row.code[0] == code[0] && row.code[2] == b)
                return row.function;
        }
        return KFuncNull;
    case kKindKeyboard:
        switch (a) {
        case 0: return KFuncKeyboardKey;
        case kMaskCtrl: return KFuncCtrl;
        case kMaskShift: return KFuncShift;
        case kMaskAlt: return b == 0x3D ? KFuncCloseWindow : b == 0x2B ? KFuncSwitchProgram : KFuncAlt;
        case kMaskWin:
            for (const KeyCodeRow& row : kFixedCodes) {
                if (row.code[0] == kKindKeyboard && row.code[1] == kMaskWin && row.code[2] == b)
                    return row.function;
            }
            return KFuncWin;
        default:
            return modifierFunction(a);
        }
    default:
        return KFuncNull;
    }
}

KKeyModelItem keyCodeToItem(const Code& code, int key)
{
    KKeyModelItem item;
    item.setKey(key);
    item.setValue1(code[0]);
    item.setValue2(code[1]);
    item.setValue3(code[2]);
    item.setValue4(code[3]);
    item.setType(decode(code), false, QString());
    item.setTxt(QString());
    return item;
}

} // namespace DunmorKeyCodec
