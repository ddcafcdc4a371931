#include "models/keys/KeyAssignmentRules.h"

#include "common/DeviceIds.h"
#include "models/keys/KKey.h"

#include <QString>

namespace KeyAssignmentRules {

namespace {

// Factory function of the keyboard cells 14..141, in key order: each cell's keyboard-key function, the
// keypad functions for the keypad cells, 0 for the cells without a key.
constexpr int kFirstDefaultKey = 14;
// clang-format off
constexpr int kDefaultKeyMap[] = {
    KFuncEscKey,          KFuncGraveKey,        KFuncTabKey,          KFuncCapsKey,          // 14-17
    KFuncShiftLKey,       KFuncCtrlLKey,        KFuncNumLockKey,      KFuncNull,             // 18-21
    KFuncF1Key,           KFunc1Key,            KFuncQKey,            KFuncAKey,             // 22-25
    KFuncK45Key,          KFuncWinLKey,         KFuncNumSlashKey,     KFuncNull,             // 26-29
    KFuncF2Key,           KFunc2Key,            KFuncWKey,            KFuncSKey,             // 30-33
    KFuncZKey,            KFuncAltLKey,         KFuncNumStarKey,      KFuncNull,             // 34-37
    KFuncF3Key,           KFunc3Key,            KFuncEKey,            KFuncDKey,             // 38-41
    KFuncXKey,            KFuncNull,            KFuncNumMinusKey,     KFuncNull,             // 42-45
    KFuncF4Key,           KFunc4Key,            KFuncRKey,            KFuncFKey,             // 46-49
    KFuncCKey,            KFuncNull,            KFuncNum7Key,         KFuncNull,             // 50-53
    KFuncF5Key,           KFunc5Key,            KFuncTKey,            KFuncGKey,             // 54-57
    KFuncVKey,            KFuncSpaceKey,        KFuncNum8Key,         KFuncNull,             // 58-61
    KFuncF6Key,           KFunc6Key,            KFuncYKey,            KFuncHKey,             // 62-65
    KFuncBKey,            KFuncNull,            KFuncNum9Key,         KFuncNull,             // 66-69
    KFuncF7Key,           KFunc7Key,            KFuncUKey,            KFuncJKey,             // 70-73
    KFuncNKey,            KFuncNull,            KFuncNum4Key,         KFuncNull,             // 74-77
    KFuncF8Key,           KFunc8Key,            KFuncIKey,            KFuncKKey,             // 78-81
    KFuncMKey,            KFuncNull,            KFuncNum5Key,         KFuncNull,             // 82-85
    KFuncF9Key,           KFunc9Key,            KFuncOKey,            KFuncLKey,             // 86-89
    KFuncCommaKey,        KFuncAltRKey,         KFuncNum6Key,         KFuncNull,             // 90-93
    KFuncF10Key,          KFunc0Key,            KFuncPKey,            KFuncSemicolonKey,     // 94-97
    KFuncPeriodKey,       KFuncWinRKey,         KFuncNumPlusKey,      KFuncFn,               // 98-101
    KFuncF11Key,          KFuncMinusKey,        KFuncLeftBracketKey,  KFuncQuoteKey,         // 102-105
    KFuncSlashKey,        KFuncAppKey,          KFuncNum2Key,         KFuncMute,             // 106-109
    KFuncF12Key,          KFuncEqualKey,        KFuncRightBracketKey, KFuncK42Key,           // 110-113
    KFuncNull,            KFuncCtrlRKey,        KFuncNum3Key,         KFuncWinLock,          // 114-117
    KFuncPrtScKey,        KFuncBackspaceKey,    KFuncBackslashKey,    KFuncEnterKey,         // 118-121
    KFuncShiftRKey,       KFuncLeftKey,         KFuncNum0Key,         KFuncWorkMode,         // 122-125
    KFuncScrLkKey,        KFuncInsKey,          KFuncDeleteKey,       KFuncPgUpKey,          // 126-129
    KFuncUpKey,           KFuncDownKey,         KFuncNumPeriodKey,    KFuncNull,             // 130-133
    KFuncPauseKey,        KFuncHomeKey,         KFuncEndKey,          KFuncPgDnKey,          // 134-137
    KFuncNum1Key,         KFuncRightKey,        KFuncNumEnterKey,     KFuncNull,             // 138-141
};
// clang-format on
constexpr int kDefaultKeyCount = int(sizeof(kDefaultKeyMap) / sizeof(kDefaultKeyMap[0]));
static_assert(kDefaultKeyCount == 128, "keys 14 to 141");

// One "key -> function" default of a button; a list ends at the first row with key -1.
struct ButtonDefault {
    int key;
    int function;
};

// "Null" on a mouse button gives back the button's own function.
constexpr ButtonDefault kSniperDefaults[] = {
    {0, KFuncMouseLeft},      {1, KFuncMouseRight},     {2, KFuncMouseMiddle},   {5, KFuncDpiUp},
    {6, KFuncDpiDown},        {7, KFuncCustomButton1},  {8, KFuncCustomButton2}, {9, KFuncCustomButton3},
    {10, KFuncCustomButton4}, {11, KFuncRollerForward}, {12, KFuncRollerBack},   {-1, KFuncNull}};
constexpr ButtonDefault kM1Defaults[] = {{5, KFuncDpiCycle},  {6, KFuncDpiDown}, {7, KFuncMouseForward},
                                         {8, KFuncMouseBack}, {9, KFuncFire},    {-1, KFuncNull}};
constexpr ButtonDefault kM2Defaults[] = {
    {5, KFuncDpiCycle}, {6, KFuncFire}, {7, KFuncMouseForward}, {8, KFuncMouseBack}, {-1, KFuncNull}};
constexpr ButtonDefault kM3Defaults[] = {{7, KFuncMouseForward}, {8, KFuncMouseBack}, {9, KFuncFire}, {-1, KFuncNull}};
constexpr ButtonDefault kM4M5Defaults[] = {{7, KFuncMouseForward}, {8, KFuncMouseBack}, {-1, KFuncNull}};
constexpr ButtonDefault kSideButtonDefaults[] = {
    {0, KFuncMouseLeft},     {1, KFuncMouseRight},    {2, KFuncMouseMiddle},    {5, KFuncDpiUp},
    {6, KFuncDpiDown},       {4, KFuncMouseBack},     {3, KFuncMouseForward},   {7, KFuncCustomButton1},
    {8, KFuncCustomButton2}, {9, KFuncCustomButton3}, {11, KFuncRollerForward}, {12, KFuncRollerBack},
    {-1, KFuncNull}};
constexpr ButtonDefault kM7M8Defaults[] = {{5, KFuncDpiCycle}, {-1, KFuncNull}};
constexpr ButtonDefault kDpiKeyDefaults[] = {{0, KFuncMouseLeft},      {1, KFuncMouseRight},   {2, KFuncMouseMiddle},
                                             {5, KFuncDpiUp},          {6, KFuncDpiDown},      {13, KFuncDpiCycle},
                                             {7, KFuncCustomButton1},  {3, KFuncMouseForward}, {4, KFuncMouseBack},
                                             {11, KFuncRollerForward}, {12, KFuncRollerBack},  {-1, KFuncNull}};
constexpr ButtonDefault kBasicDefaults[] = {{0, KFuncMouseLeft},      {1, KFuncMouseRight},  {2, KFuncMouseMiddle},
                                            {13, KFuncDpiCycle},      {4, KFuncMouseBack},   {3, KFuncMouseForward},
                                            {11, KFuncRollerForward}, {12, KFuncRollerBack}, {-1, KFuncNull}};

// Finds key in a default list; false when the list has no row for it.
bool lookUp(const ButtonDefault* list, int key, int& function)
{
    for (; list && list->key >= 0; ++list) {
        if (list->key == key) {
            function = list->function;
            return true;
        }
    }
    return false;
}

// A model's own defaults first, then its family's.
int buttonDefault(const ButtonDefault* family, const ButtonDefault* model, int key)
{
    int function = 0;
    if (lookUp(model, key, function) || lookUp(family, key, function))
        return function;
    return 0;
}

// What the usage of a modifier combination turns the function into; a usage without a row keeps it.
struct UsageAction {
    int usage;
    int function;
};
constexpr int kUsageNone = 0;
constexpr UsageAction kAltCloseWindow[] = {{kUsageNone, KFuncKeyCombination}, {61, KFuncCloseWindow}, {-1, KFuncNull}};
constexpr UsageAction kAltFull[] = {
    {kUsageNone, KFuncKeyCombination}, {43, KFuncSwitchProgram}, {61, KFuncCloseWindow}, {-1, KFuncNull}};
constexpr UsageAction kWinMouse[] = {{kUsageNone, KFuncKeyCombination},
                                     {7, KFuncShowDesktop},
                                     {15, KFuncLockComputer},
                                     {21, KFuncRun},
                                     {45, KFuncZoomIn},
                                     {46, KFuncZoomOut},
                                     {-1, KFuncNull}};
constexpr UsageAction kWinDpiKey[] = {{kUsageNone, KFuncKeyCombination},
                                      {7, KFuncShowDesktop},
                                      {15, KFuncLockComputer},
                                      {21, KFuncRun},
                                      {86, KFuncZoomOut},
                                      {87, KFuncZoomIn},
                                      {-1, KFuncNull}};
constexpr UsageAction kWinFull[] = {{kUsageNone, KFuncKeyCombination},
                                    {7, KFuncShowDesktop},
                                    {15, KFuncLockComputer},
                                    {16, KFuncTraditionalDesktop},
                                    {20, KFuncFind},
                                    {21, KFuncRun},
                                    {86, KFuncZoomOut},
                                    {87, KFuncZoomIn},
                                    {-1, KFuncNull}};

void applyUsage(const UsageAction* actions, int usage, int& func)
{
    for (; actions && actions->usage >= 0; ++actions) {
        if (actions->usage == usage) {
            func = actions->function;
            return;
        }
    }
}

// The combination rules of one family: no modifier makes a keyboard key (or nothing); Alt and Win with
// certain keys make system actions. alt or win null: that modifier has no rule in the family.
void combinationRules(int& func, int mask, int usage, const UsageAction* alt, const UsageAction* win)
{
    if (mask == 0 && func == KFuncKeyCombination)
        func = usage != 0 ? KFuncKeyboardKey : KFuncNull;
    else if (mask == KMaskAlt && func != KFuncMacro && alt)
        applyUsage(alt, usage, func);
    else if (mask == KMaskWin && func != KFuncMacro && win)
        applyUsage(win, usage, func);
}

// Devices outside the sniper, swapped-modifier, keyboard and DPI-key families.
void generalRules(int& func, int mask, int usage)
{
    combinationRules(func, mask, usage, kAltFull, kWinFull);
}

const ButtonDefault* modelDefaults(DeviceIds::KeyRuleModel model)
{
    switch (model) {
    case DeviceIds::KeyRuleModel::M1:
        return kM1Defaults;
    case DeviceIds::KeyRuleModel::M2:
        return kM2Defaults;
    case DeviceIds::KeyRuleModel::M3:
        return kM3Defaults;
    case DeviceIds::KeyRuleModel::M4:
    case DeviceIds::KeyRuleModel::M5:
        return kM4M5Defaults;
    case DeviceIds::KeyRuleModel::M7:
    case DeviceIds::KeyRuleModel::M8:
        return kM7M8Defaults;
    default:
        return nullptr;
    }
}

} // namespace

bool isKeyboardPid(int pid)
{
    const DeviceIds::Model* m = DeviceIds::find(pid);
    return m && m->link == DeviceIds::Link::Wired
        && (m->family == DeviceIds::Family::Keyboard || m->family == DeviceIds::Family::RgbKeyboard);
}
bool isSniperMousePid(int pid) { return DeviceIds::has(pid, DeviceIds::Flag::SniperKeys); }
bool isSwapModifierMousePid(int pid) { return DeviceIds::has(pid, DeviceIds::Flag::SwappedModifiers); }
bool isSideButtonMousePid(int pid) { return DeviceIds::has(pid, DeviceIds::Flag::SideButtonKeys); }
bool isDpiKeyMousePid(int pid) { return DeviceIds::has(pid, DeviceIds::Flag::DpiKeys); }
bool isDpiFunctionPairPid(int pid) { return DeviceIds::has(pid, DeviceIds::Flag::DpiFunctions); }
bool isBasicMousePid(int pid) { return DeviceIds::has(pid, DeviceIds::Flag::BasicKeys); }

Translation checkAndTranslate(int pid, int key, int func, int mask, int usage)
{
    Translation result;
    const bool wasNull = func == KFuncNull;
    const DeviceIds::KeyRuleModel model = DeviceIds::keyRuleModel(pid);
    bool general = false;

    if (isSniperMousePid(pid) || isSwapModifierMousePid(pid)) {
        const bool dpiButton = key == 5 || key == 6;
        if (dpiButton && func == KFuncSniper) {
            result.refusal = Refusal::SniperOnDpiButton;
            return result;
        }
        if (dpiButton && func == KFuncFire) {
            result.refusal = Refusal::FireOnDpiButton;
            return result;
        }
        if (wasNull)
            func = buttonDefault(kSniperDefaults, modelDefaults(model), key);
        combinationRules(func, mask, usage, kAltCloseWindow, kWinMouse);
    } else if (isSideButtonMousePid(pid)) {
        if (wasNull && model != DeviceIds::KeyRuleModel::M6)
            func = buttonDefault(kSideButtonDefaults, modelDefaults(model), key);
        else if (mask == KMaskWin && func != KFuncMacro)
            applyUsage(kWinFull, usage, func);
        general = true;
    } else if (isDpiKeyMousePid(pid)) {
        if (wasNull)
            func = buttonDefault(kDpiKeyDefaults, nullptr, key);
        combinationRules(func, mask, usage, kAltCloseWindow, kWinDpiKey);
    } else if (isBasicMousePid(pid)) {
        if (wasNull)
            func = buttonDefault(kBasicDefaults, nullptr, key);
        general = true;
    } else if (isKeyboardPid(pid)) {
        if (wasNull)
            func = defaultKeyFunction(key);
        combinationRules(func, mask, usage, kAltCloseWindow, nullptr);
    } else {
        general = true;
    }
    if (general)
        generalRules(func, mask, usage);

    if (func == KFuncKeyCombination) {
        if (isSwapModifierMousePid(pid))
            mask = swapCtrlShift(mask);
        func = modifierMaskToFunction(mask);
    }
    result.function = func;
    result.mask = mask;
    return result;
}

int swapCtrlShift(int mask)
{
    switch (mask) {
    case 1: return 2;
    case 2: return 1;
    case 5: return 6;
    case 6: return 5;
    case 9: return 10;
    case 10: return 9;
    case 13: return 14;
    case 14: return 13;
    default: return mask;
    }
}

int modifierMaskToFunction(int mask)
{
    return ::modifierMaskToFunction(mask);
}

bool hidUsageToKeyFunction(int deviceType, int& func, int usage)
{
    constexpr int kKeyboardDevice = 2;
    if (deviceType != kKeyboardDevice || func != KFuncKeyboardKey)
        return false;
    int mapped = 0;
    if (usage == 0x01)
        mapped = KFuncFn;
    else if (usage >= 0x04 && usage <= 0x46)       // A .. PrtSc
        mapped = usage + kFuncUsageOffsetLow;
    else if (usage == 0x48 || (usage >= 0x4A && usage <= 0x52) || usage == 0x64) // Pause, Home .. Up, K45
        mapped = usage + kFuncUsageOffsetHigh;
    else if (usage >= 0xE0 && usage <= 0xE6)       // left Ctrl .. right Alt
        mapped = usage - kFuncUsageOffsetModifier;
    if (mapped == 0)
        return false;
    func = mapped;
    return true;
}

QVariantMap defaultKeyMap()
{
    QVariantMap map;
    for (int i = 0; i < kDefaultKeyCount; ++i)
        map.insert(QString::number(kFirstDefaultKey + i), kDefaultKeyMap[i]);
    return map;
}

int defaultKeyFunction(int key)
{
    const int index = key - kFirstDefaultKey;
    return index >= 0 && index < kDefaultKeyCount ? kDefaultKeyMap[index] : 0;
}

} // namespace KeyAssignmentRules
