#include "profiles/KeyCodeTables.h"

namespace {

struct VirtualKeyRow {
    int virtualKey;
    int usage;
    int scanValue;
};

// Keys whose scan value is 0 need it only where the usage alone does not tell main block from keypad
// or left from right.
constexpr VirtualKeyRow kVirtualKeys[] = {
    {0x08, 42, 0},   {0x09, 43, 0},   {0x0D, 40, 0},   {0x13, 72, 0},   {0x14, 57, 0},   {0x1B, 41, 0},
    {0x20, 44, 0},   {0x21, 75, 0},   {0x22, 78, 0},   {0x23, 77, 0},   {0x24, 74, 0},   {0x25, 80, 0},
    {0x26, 82, 0},   {0x27, 79, 0},   {0x28, 81, 0},   {0x2C, 70, 0},   {0x2D, 73, 0},   {0x2E, 76, 0},
    {0x30, 39, 11},  {0x5B, 227, 347}, {0x5C, 231, 348}, {0x60, 98, 82},  {0x61, 89, 79},  {0x62, 90, 80},
    {0x63, 91, 81},  {0x64, 92, 75},  {0x65, 93, 76},  {0x66, 94, 77},  {0x67, 95, 71},  {0x68, 96, 72},
    {0x69, 97, 73},  {0x6A, 85, 55},  {0x6B, 87, 78},  {0x6D, 86, 74},  {0x6E, 99, 83},  {0x6F, 84, 309},
    // Num Lock is an extended key: 0x45 with the extended flag.
    {0x90, 83, 0x100 + 0x45},
    {0x91, 71, 0},   {0xA0, 225, 42}, {0xA1, 229, 54}, {0xA2, 224, 29}, {0xA3, 228, 285}, {0xA4, 226, 56},
    {0xA5, 230, 312}, {0xBA, 51, 0},  {0xBB, 46, 0},   {0xBC, 54, 0},   {0xBD, 45, 12},  {0xBE, 55, 52},
    {0xBF, 56, 53},  {0xC0, 53, 0},   {0xDB, 47, 0},   {0xDC, 49, 0},   {0xDD, 48, 0},   {0xDE, 52, 0},
};

struct UsageName {
    int usage;
    const char* name;
};

constexpr UsageName kUsageNames[] = {
    {39, "0"},         {40, "Return"},    {41, "Esc"},      {42, "<-"},     {43, "Tab"},      {44, "Space"},
    {45, "-"},         {46, "+"},         {47, "["},        {48, "]"},      {49, "\\"},       {51, ";"},
    {52, "'"},         {53, "`"},         {54, ","},        {55, "."},      {56, "/"},        {57, "CapsLock"},
    {71, "ScrollLock"}, {72, "Pause"},    {73, "Insert"},   {74, "Home"},   {75, "PageUp"},   {76, "Delete"},
    {77, "End"},       {78, "PageDown"},  {79, "Right"},    {80, "Left"},   {81, "Down"},     {82, "Up"},
    {83, "Num"},       {84, "/"},         {85, "*"},        {86, "-"},      {87, "+"},        {88, "Enter"},
    {98, "0"},         {99, "."},         {224, "Control"}, {225, "Shift"}, {226, "Alt"},     {227, "Meta"},
    {228, "Control"},  {229, "Shift"},    {230, "Alt"},     {231, "Meta"},
};

} // namespace

bool virtualKeyToHidUsage(int virtualKey, int& usage, int& scanValue)
{
    usage = 0;
    scanValue = 0;
    if (virtualKey >= 0x31 && virtualKey <= 0x39) { // digits 1..9
        usage = 30 + (virtualKey - 0x31);
        scanValue = 2 + (virtualKey - 0x31);
    } else if (virtualKey >= 0x41 && virtualKey <= 0x5A) { // letters
        usage = 4 + (virtualKey - 0x41);
    } else if (virtualKey >= 0x70 && virtualKey <= 0x7B) { // F1..F12
        usage = 58 + (virtualKey - 0x70);
    } else {
        for (const VirtualKeyRow& row : kVirtualKeys) {
            if (row.virtualKey == virtualKey) {
                usage = row.usage;
                scanValue = row.scanValue;
                break;
            }
        }
    }
    return true;
}

QString hidUsageToKeyName(const int& usage)
{
    if (usage >= 4 && usage <= 29)
        return QString(QLatin1Char(char('A' + usage - 4)));
    if (usage >= 30 && usage <= 38)
        return QString::number(usage - 29);
    if (usage >= 58 && usage <= 69)
        return QStringLiteral("F%1").arg(usage - 57);
    if (usage >= 89 && usage <= 97)
        return QString::number(usage - 88);
    for (const UsageName& entry : kUsageNames) {
        if (entry.usage == usage)
            return QString::fromLatin1(entry.name);
    }
    return QString();
}
