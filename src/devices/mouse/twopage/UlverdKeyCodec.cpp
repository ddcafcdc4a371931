#include "devices/mouse/twopage/UlverdKeyCodec.h"

#include "devices/mouse/twopage/UlverdProtocol.h"
#include "models/keys/KKey.h"

#include <QDebug>

using namespace Ulverd;

namespace UlverdKeyCodec {

namespace {

constexpr int kLeftKey = 0;
constexpr int kMaxUsage = 0xFF;

template <std::size_t N>
const KeyCodeRow* rowOfFunction(const KeyCodeRow (&rows)[N], int function)
{
    for (const KeyCodeRow& row : rows) {
        if (row.function == function)
            return &row;
    }
    return nullptr;
}

template <std::size_t N>
const KeyCodeRow* rowOfCode(const KeyCodeRow (&rows)[N], quint8 byte0)
{
    for (const KeyCodeRow& row : rows) {
        if (row.code[0] == byte0 && byte0 != 0 && byte0 != kCodeCombination)
            return &row;
    }
    return nullptr;
}

// The named row of a function: the dialect's own rows first, then the shared ones.
const KeyCodeRow* namedRow(Dialect dialect, int function)
{
    const KeyCodeRow* own =
        dialect == Dialect::Locked ? rowOfFunction(kLockedCodes, function) : rowOfFunction(kRootCodes, function);
    return own ? own : rowOfFunction(kSharedCodes, function);
}

const KeyCodeRow* namedRowOfCode(Dialect dialect, quint8 byte0)
{
    const KeyCodeRow* own =
        dialect == Dialect::Locked ? rowOfCode(kLockedCodes, byte0) : rowOfCode(kRootCodes, byte0);
    return own ? own : rowOfCode(kSharedCodes, byte0);
}

bool isCombination(int function)
{
    return function == KFuncKeyCombination || isModifierFunction(function);
}

} // namespace

bool hasCode(Dialect dialect, int function)
{
    return function == KFuncMacro || isCombination(function) || function == KFuncKeyboardKey
        || namedRow(dialect, function) != nullptr;
}

bool encode(Dialect dialect, int function, int key, const Parameters& p, Code* out)
{
    Code code;
    if (function == KFuncMouseLeft && key == kLeftKey && dialect == Dialect::Root) {
        for (int i = 0; i < 4; ++i)
            code.bytes[i] = kLeftOnLeftKey[i];
    } else if (function == KFuncMacro) {
        if (p.slot < 0 || p.slot > 0xFF)
            return false;
        const int repeat = qBound(0, p.repeat, 0xFFFF);
        code.bytes[0] = p.playCode == kPlayCodeWhilePressed ? kMacroCodeWhilePressed
            : p.playCode == kPlayCodeToggle                 ? kMacroCodeToggle
                                                            : kMacroCodeCycles;
        code.bytes[1] = quint8(p.slot);
        if (code.bytes[0] == kMacroCodeCycles) {
            code.bytes[2] = quint8(repeat >> 8);
            code.bytes[3] = quint8(repeat);
        }
    } else if (isCombination(function)) {
        if (p.mask < 0 || p.mask > KMaskAll || p.usage < 0 || p.usage > kMaxUsage)
            return false;
        code.bytes[0] = kCodeCombination;
        code.bytes[1] = quint8(p.mask);
        code.bytes[2] = quint8(p.usage);
    } else if (function == KFuncKeyboardKey) {
        if (dialect == Dialect::Locked) {
            if (p.usage <= 0 || p.usage > kMaxUsage)
                return false;
            code.bytes[0] = kCodeCombination;
            code.bytes[2] = quint8(p.usage);
        } else {
            // The root stores the usage alone, below the named codes.
            if (p.usage <= 0 || p.usage >= kFirstNamedCode)
                return false;
            code.bytes[0] = quint8(p.usage);
        }
    } else if (const KeyCodeRow* row = namedRow(dialect, function)) {
        for (int i = 0; i < 4; ++i)
            code.bytes[i] = row->code[i];
    } else {
        qDebug() << "[ERROR] transToByte: There is no such function";
        return false;
    }
    *out = code;
    return true;
}

int decode(Dialect dialect, const quint8* code, int key, bool* named)
{
    int function = KFuncNull;
    if (code[0] == 0 && code[1] == 0 && code[2] == 0 && code[3] == 0)
        function = ownFunction(key);
    bool known = true;
    const quint8 b0 = code[0];
    if (b0 == kCodeCombination) {
        const int mask = code[1];
        if (dialect == Dialect::Locked && mask == 0) {
            function = KFuncKeyboardKey;
        } else if (mask >= 1 && mask <= KMaskAll) {
            function = modifierMaskToFunction(mask);
            // The system functions that are combinations themselves.
            for (const KeyCodeRow& row : kSharedCodes) {
                if (row.code[0] == kCodeCombination && row.code[1] == mask && row.code[2] == code[2])
                    function = row.function;
            }
        }
    } else if (b0 >= kMacroCodeWhilePressed && b0 <= kMacroCodeCycles) {
        function = KFuncMacro;
    } else if (b0 == kCodeLeftOnLeftKey) {
        function = KFuncMouseLeft;
    } else if (const KeyCodeRow* row = namedRowOfCode(dialect, b0)) {
        function = row->function;
    } else {
        known = false;
        qDebug() << (dialect == Dialect::Locked ? "[Warning] fenrow transToItem warning"
                                                : "[Warning] ulverd transToItem warning");
    }
    if (named)
        *named = known;
    return function;
}

Parameters parametersFor(Dialect dialect, int function, int value, int value2)
{
    Q_UNUSED(dialect);
    Parameters p;
    if (function == KFuncMacro) {
        p.slot = value;
    } else if (function == KFuncKeyboardKey) {
        p.usage = value2;
    } else if (isCombination(function)) {
        p.mask = value;
        p.usage = value2;
    }
    return p;
}

} // namespace UlverdKeyCodec
