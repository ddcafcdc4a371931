#include <QtTest>

#include "models/keys/KKey.h"

// Function of a HID keyboard usage, by the documented offsets; -1 when the usage has no key function.
static int functionOfUsage(int usage)
{
    if (usage >= 0x04 && usage <= 0x47)
        return usage + kFuncUsageOffsetLow;
    if (usage >= 0x48 && usage <= 0x65)
        return usage + kFuncUsageOffsetHigh;
    if (usage >= 0xE0 && usage <= 0xE7)
        return usage - kFuncUsageOffsetModifier;
    return -1;
}

class tst_KeyValues : public QObject
{
    Q_OBJECT

private slots:
    void tableSizes();
    void specialNames_data();
    void specialNames();
    void keyNameMatchesFunctionName_data();
    void keyNameMatchesFunctionName();
    void usageOffsets();
    void qtKeyToHidUsage_data();
    void qtKeyToHidUsage();
    void everyUsageHasAFunction();
    void qtKeyToText_data();
    void qtKeyToText();
};

void tst_KeyValues::tableSizes()
{
    QList<int> emptyKeys;
    int namedKeys = 0;
    for (int k = -5; k <= 150; ++k) {
        if (getKeyStr(KKey(k)).isEmpty()) {
            if (k >= 0 && k <= 140)
                emptyKeys << k;
        } else {
            QVERIFY2(k >= 0 && k <= 140, qPrintable(QString::number(k)));
            ++namedKeys;
        }
    }
    QCOMPARE(namedKeys, 124);
    QCOMPARE(emptyKeys, (QList<int>{ 21, 29, 37, 43, 45, 51, 53, 61, 67, 69, 75, 77, 83, 85, 93, 114, 133 }));

    QList<int> emptyFunctions;
    int namedFunctions = 0;
    for (int f = -5; f <= 200; ++f) {
        if (getFuncStr(KKeyFunction(f)).isEmpty()) {
            if (f >= -1 && f <= 182)
                emptyFunctions << f;
        } else {
            QVERIFY2(f >= -1 && f <= 182, qPrintable(QString::number(f)));
            ++namedFunctions;
        }
    }
    QCOMPARE(namedFunctions, 168);
    QList<int> expectedEmpty{ 126 };
    for (int f = 157; f <= 170; ++f)
        expectedEmpty << f;
    expectedEmpty << 180;
    QCOMPARE(emptyFunctions, expectedEmpty);
}

void tst_KeyValues::specialNames_data()
{
    QTest::addColumn<bool>("isKey");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("name");

    QTest::newRow("key grave") << true << 15 << QStringLiteral("`~ Key");
    QTest::newRow("key quote") << true << 105 << QStringLiteral("'\" Key");
    QTest::newRow("key backslash") << true << 120 << QStringLiteral("\\| Key");
    QTest::newRow("main enter") << true << 121 << QStringLiteral("Enter Key");
    QTest::newRow("keypad enter") << true << 140 << QStringLiteral("Enter Key");
    // The two keys whose names differ from their functions' names.
    QTest::newRow("num lock key") << true << 20 << QStringLiteral("Num Key");
    QTest::newRow("num lock function") << false << 138 << QStringLiteral("NumLock Key");
    QTest::newRow("mute key") << true << 109 << QStringLiteral("Mute Key");
    QTest::newRow("mute function") << false << 25 << QStringLiteral("Mute");
    QTest::newRow("first mouse button") << true << 0 << QStringLiteral("Left");
    QTest::newRow("last mouse control") << true << 13 << QStringLiteral("DPI Cycle");
    QTest::newRow("disable") << false << -1 << QStringLiteral("Disable");
    QTest::newRow("null") << false << 0 << QStringLiteral("Null");
    QTest::newRow("keyboard keys keeps its blank") << false << 42 << QStringLiteral("Keyboard keys ");
    QTest::newRow("func quote") << false << 106 << QStringLiteral("'\" Key");
    QTest::newRow("func grave") << false << 107 << QStringLiteral("`~ Key");
    QTest::newRow("func backslash") << false << 103 << QStringLiteral("\\| Key");
    QTest::newRow("play pause") << false << 19 << QStringLiteral("Play/Pause");
    QTest::newRow("all modifiers") << false << 57 << QStringLiteral("Ctrl+Shift+Alt+Win");
    QTest::newRow("fn") << false << 179 << QStringLiteral("Fn Key");
    QTest::newRow("work mode") << false << 182 << QStringLiteral("WorkMode Key");
}

void tst_KeyValues::specialNames()
{
    QFETCH(bool, isKey);
    QFETCH(int, value);
    QFETCH(QString, name);
    QCOMPARE(isKey ? getKeyStr(KKey(value)) : getFuncStr(KKeyFunction(value)), name);
}

// The function that restores a key is the one bearing the key's own name. Each row is derived from the
// keyboard's position table and factory usages, so the key names, the function names and the usage offsets
// are checked against one another.
void tst_KeyValues::keyNameMatchesFunctionName_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("function");
    QTest::addColumn<QString>("prefix");

    // Factory usages by matrix position, rows of eight; 0xA0 marks the Fn key, 0 an empty position.
    static const int usages[128] = {
        0x29, 0x35, 0x2B, 0x39, 0xE1, 0xE0, 0, 0,     0x3A, 0x1E, 0x14, 0x04, 0x64, 0xE3, 0, 0,
        0x3B, 0x1F, 0x1A, 0x16, 0x1D, 0xE2, 0, 0,     0x3C, 0x20, 0x08, 0x07, 0x1B, 0, 0, 0,
        0x3D, 0x21, 0x15, 0x09, 0x06, 0, 0, 0,        0x3E, 0x22, 0x17, 0x0A, 0x19, 0x2C, 0, 0,
        0x3F, 0x23, 0x1C, 0x0B, 0x05, 0, 0, 0,        0x40, 0x24, 0x18, 0x0D, 0x11, 0, 0, 0,
        0x41, 0x25, 0x0C, 0x0E, 0x10, 0, 0, 0,        0x42, 0x26, 0x12, 0x0F, 0x36, 0xE6, 0, 0,
        0x43, 0x27, 0x13, 0x33, 0x37, 0xA0, 0, 0,     0x44, 0x2D, 0x2F, 0x34, 0x38, 0xE4, 0, 0,
        0x45, 0x2E, 0x30, 0x32, 0xE5, 0x50, 0, 0,     0x46, 0x2A, 0x31, 0x28, 0x52, 0x51, 0, 0,
        0x48, 0x4A, 0x4B, 0x4E, 0x4D, 0x4F, 0, 0,     0x4C, 0, 0, 0, 0, 0, 0, 0,
    };
    // Positions whose key is not position + 14.
    static const QMap<int, int> movedKeys{ { 85, 101 }, { 93, 115 }, { 100, 122 }, { 101, 123 }, { 108, 130 },
                                           { 109, 131 }, { 112, 134 }, { 113, 135 }, { 114, 129 },
                                           { 115, 137 }, { 116, 136 }, { 117, 139 }, { 120, 128 } };
    for (int position = 0; position < 128; ++position) {
        const int usage = usages[position];
        if (usage == 0)
            continue;
        const int key = movedKeys.value(position, position + 14);
        const int function = usage == 0xA0 ? int(KFuncFn) : functionOfUsage(usage);
        QTest::addRow("position %d key %d", position, key) << key << function << QString();
    }

    // Keys that are not on the keyboard matrix above.
    const QVector<QPair<int, int>> keypad{ { 28, 0x54 }, { 36, 0x55 }, { 44, 0x56 }, { 100, 0x57 }, { 140, 0x58 },
                                           { 138, 0x59 }, { 108, 0x5A }, { 116, 0x5B }, { 76, 0x5C },
                                           { 84, 0x5D }, { 92, 0x5E }, { 52, 0x5F }, { 60, 0x60 },
                                           { 68, 0x61 }, { 124, 0x62 }, { 132, 0x63 } };
    for (const auto& row : keypad) // keypad keys carry their bare legend
        QTest::addRow("keypad key %d", row.first) << row.first << functionOfUsage(row.second) << QStringLiteral("Num ");
    QTest::newRow("WinLock") << 117 << int(KFuncWinLock) << QString();
    QTest::newRow("WorkMode") << 125 << int(KFuncWorkMode) << QString();
    // Keys that the position table leaves out, by their usages.
    QTest::newRow("Win_R") << 99 << functionOfUsage(0xE7) << QString();
    QTest::newRow("App") << 107 << functionOfUsage(0x65) << QString();
    QTest::newRow("ScrLk") << 126 << functionOfUsage(0x47) << QString();
    QTest::newRow("Ins") << 127 << functionOfUsage(0x49) << QString();

    const QVector<QPair<int, int>> mouse{ { 0, 9 }, { 1, 11 }, { 2, 10 }, { 3, 12 }, { 4, 13 }, { 5, 39 },
                                          { 6, 40 }, { 7, 14 }, { 8, 15 }, { 9, 16 }, { 10, 17 }, { 11, 37 },
                                          { 12, 38 }, { 13, 36 } };
    for (const auto& row : mouse)
        QTest::addRow("mouse key %d", row.first) << row.first << row.second << QString();
}

void tst_KeyValues::keyNameMatchesFunctionName()
{
    QFETCH(int, key);
    QFETCH(int, function);
    QFETCH(QString, prefix);
    QVERIFY(!getKeyStr(KKey(key)).isEmpty());
    QCOMPARE(getFuncStr(KKeyFunction(function)), prefix + getKeyStr(KKey(key)));
}

void tst_KeyValues::usageOffsets()
{
    // Every usage of the three ranges has a named function, and the ranges meet where documented.
    for (int usage = 0x04; usage <= 0x65; ++usage)
        QVERIFY2(!getFuncStr(KKeyFunction(functionOfUsage(usage))).isEmpty(), qPrintable(QString::number(usage)));
    for (int usage = 0xE0; usage <= 0xE7; ++usage)
        QVERIFY2(!getFuncStr(KKeyFunction(functionOfUsage(usage))).isEmpty(), qPrintable(QString::number(usage)));

    QCOMPARE(functionOfUsage(0x04), int(KFuncKeysFirst));
    QCOMPARE(functionOfUsage(0x47), int(KFuncKeysLowLast));
    QCOMPARE(functionOfUsage(0x48), int(KFuncKeysHighFirst));
    QCOMPARE(functionOfUsage(0x65), int(KFuncKeysLast));
    QCOMPARE(functionOfUsage(0xE0), int(KFuncModifierKeyFirst));
    QCOMPARE(functionOfUsage(0xE7), int(KFuncModifierKeyLast));
    QCOMPARE(getFuncStr(KKeyFunction(KFuncKeysLowLast + 1)), QString()); // the free slot between the ranges

    QCOMPARE(getFuncStr(KKeyFunction(functionOfUsage(0x39))), QStringLiteral("Caps Key"));
    QCOMPARE(getFuncStr(KKeyFunction(functionOfUsage(0x45))), QStringLiteral("F12 Key"));
    QCOMPARE(getFuncStr(KKeyFunction(functionOfUsage(0x53))), QStringLiteral("NumLock Key"));
    QCOMPARE(getFuncStr(KKeyFunction(functionOfUsage(0x64))), QStringLiteral("K45 Key"));
}

void tst_KeyValues::qtKeyToHidUsage_data()
{
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<int>("scanCode");
    QTest::addColumn<int>("usage");
    QTest::addColumn<QString>("functionName"); // name of the function lying at that usage

    QTest::newRow("A") << int(Qt::Key_A) << 30 << 4 << "A Key";
    QTest::newRow("Z") << int(Qt::Key_Z) << 0 << 29 << "Z Key";
    QTest::newRow("space") << int(Qt::Key_Space) << 57 << 44 << "Space Key";
    QTest::newRow("!") << int(Qt::Key_Exclam) << 2 << 30 << "1! Key";
    QTest::newRow("^") << int(Qt::Key_AsciiCircum) << 7 << 35 << "6^ Key";
    QTest::newRow(")") << int(Qt::Key_ParenRight) << 0 << 39 << "0) Key";
    QTest::newRow("1 main") << int(Qt::Key_1) << 2 << 30 << "1! Key";
    QTest::newRow("0 main") << int(Qt::Key_0) << 11 << 39 << "0) Key";
    QTest::newRow("1 keypad") << int(Qt::Key_1) << 79 << 89 << "Num 1 Key";
    QTest::newRow("7 keypad") << int(Qt::Key_7) << 71 << 95 << "Num 7 Key";
    QTest::newRow("0 keypad") << int(Qt::Key_0) << 82 << 98 << "Num 0 Key";
    QTest::newRow("5 unknown scan") << int(Qt::Key_5) << 0 << 0 << "";
    QTest::newRow("* main") << int(Qt::Key_Asterisk) << 9 << 37 << "8* Key";
    QTest::newRow("* keypad") << int(Qt::Key_Asterisk) << 55 << 85 << "Num * Key";
    QTest::newRow("* unknown scan") << int(Qt::Key_Asterisk) << 0 << 0 << "";
    QTest::newRow("+ main") << int(Qt::Key_Plus) << 13 << 46 << "=+ Key";
    QTest::newRow("+ keypad") << int(Qt::Key_Plus) << 78 << 87 << "Num + Key";
    QTest::newRow("- main") << int(Qt::Key_Minus) << 12 << 45 << "-_ Key";
    QTest::newRow("- keypad") << int(Qt::Key_Minus) << 74 << 86 << "Num - Key";
    QTest::newRow(". main") << int(Qt::Key_Period) << 52 << 55 << ".> Key";
    QTest::newRow(". keypad") << int(Qt::Key_Period) << 83 << 99 << "Num . Key";
    QTest::newRow("/ main") << int(Qt::Key_Slash) << 53 << 56 << "/? Key";
    QTest::newRow("/ keypad") << int(Qt::Key_Slash) << 309 << 84 << "Num / Key";
    QTest::newRow("/ unknown scan") << int(Qt::Key_Slash) << 0 << 0 << "";
    QTest::newRow("_ shifted minus") << int(Qt::Key_Underscore) << 12 << 45 << "-_ Key";
    QTest::newRow("=") << int(Qt::Key_Equal) << 13 << 46 << "=+ Key";
    QTest::newRow("<") << int(Qt::Key_Less) << 51 << 54 << ",< Key";
    QTest::newRow(">") << int(Qt::Key_Greater) << 52 << 55 << ".> Key";
    QTest::newRow("?") << int(Qt::Key_Question) << 53 << 56 << "/? Key";
    QTest::newRow(":") << int(Qt::Key_Colon) << 39 << 51 << ";: Key";
    QTest::newRow("double quote") << int(Qt::Key_QuoteDbl) << 40 << 52 << "'\" Key";
    QTest::newRow("{") << int(Qt::Key_BraceLeft) << 26 << 47 << "[{ Key";
    QTest::newRow("]") << int(Qt::Key_BracketRight) << 27 << 48 << "]} Key";
    QTest::newRow("|") << int(Qt::Key_Bar) << 43 << 49 << "\\| Key";
    QTest::newRow("~") << int(Qt::Key_AsciiTilde) << 41 << 53 << "`~ Key";
    QTest::newRow("Escape") << int(Qt::Key_Escape) << 1 << 41 << "Esc Key";
    QTest::newRow("Backtab") << int(Qt::Key_Backtab) << 15 << 43 << "Tab Key";
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << 14 << 42 << "Backspace Key";
    QTest::newRow("Return") << int(Qt::Key_Return) << 28 << 40 << "Enter Key";
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << 284 << 88 << "Num Enter Key";
    QTest::newRow("Insert") << int(Qt::Key_Insert) << 338 << 73 << "Ins Key";
    QTest::newRow("Pause") << int(Qt::Key_Pause) << 69 << 72 << "Pause Key";
    QTest::newRow("PageDown") << int(Qt::Key_PageDown) << 337 << 78 << "Pgdn Key";
    QTest::newRow("Left") << int(Qt::Key_Left) << 331 << 80 << "Left Key";
    QTest::newRow("Up") << int(Qt::Key_Up) << 328 << 82 << "Up Key";
    QTest::newRow("CapsLock") << int(Qt::Key_CapsLock) << 58 << 57 << "Caps Key";
    QTest::newRow("NumLock") << int(Qt::Key_NumLock) << 325 << 83 << "NumLock Key";
    QTest::newRow("ScrollLock") << int(Qt::Key_ScrollLock) << 70 << 71 << "ScrLk Key";
    QTest::newRow("F1") << int(Qt::Key_F1) << 59 << 58 << "F1 Key";
    QTest::newRow("F12") << int(Qt::Key_F12) << 88 << 69 << "F12 Key";
    QTest::newRow("Shift left") << int(Qt::Key_Shift) << 42 << 225 << "Shift_L Key";
    QTest::newRow("Shift right") << int(Qt::Key_Shift) << 54 << 229 << "Shift_R Key";
    QTest::newRow("Shift other scan") << int(Qt::Key_Shift) << 0 << 0 << "";
    QTest::newRow("Control left") << int(Qt::Key_Control) << 29 << 224 << "Ctrl_L Key";
    QTest::newRow("Control right") << int(Qt::Key_Control) << 285 << 228 << "Ctrl_R Key";
    QTest::newRow("Meta left") << int(Qt::Key_Meta) << 347 << 227 << "Win_L Key";
    QTest::newRow("Meta right") << int(Qt::Key_Meta) << 348 << 231 << "Win_R Key";
    QTest::newRow("Alt left") << int(Qt::Key_Alt) << 56 << 226 << "Alt_L Key";
    QTest::newRow("Alt right") << int(Qt::Key_Alt) << 312 << 230 << "Alt_R Key";
    QTest::newRow("Alt other scan") << int(Qt::Key_Alt) << 29 << 0 << "";
    QTest::newRow("F13") << int(Qt::Key_F13) << 100 << 0 << "";
    // Print Screen and Menu by their own scan codes, and the Win keys and AltGr as X11 delivers them.
    QTest::newRow("Print") << int(Qt::Key_Print) << 311 << 70 << "PrtSc Key";
    QTest::newRow("Print other scan") << int(Qt::Key_Print) << 0 << 0 << "";
    QTest::newRow("Menu") << int(Qt::Key_Menu) << 349 << 101 << "App Key";
    QTest::newRow("Super left") << int(Qt::Key_Super_L) << 347 << 227 << "Win_L Key";
    QTest::newRow("Super right") << int(Qt::Key_Super_R) << 348 << 231 << "Win_R Key";
    QTest::newRow("AltGr") << int(Qt::Key_AltGr) << 312 << 230 << "Alt_R Key";
    QTest::newRow("media") << int(Qt::Key_MediaTogglePlayPause) << 0 << 0 << "";
    QTest::newRow("lower-case a") << 0x61 << 30 << 0 << "";
    QTest::newRow("Latin-1") << int(Qt::Key_Adiaeresis) << 40 << 0 << "";
    QTest::newRow("dead key") << int(Qt::Key_Dead_Grave) << 41 << 0 << "";
}

void tst_KeyValues::qtKeyToHidUsage()
{
    QFETCH(int, qtKey);
    QFETCH(int, scanCode);
    QFETCH(int, usage);
    QFETCH(QString, functionName);
    QCOMPARE(::qtKeyToHidUsage(qtKey, scanCode), usage);
    if (usage != 0)
        QCOMPARE(getFuncStr(KKeyFunction(functionOfUsage(usage))), functionName);
}

// A recorded key is played back through its key function, so whatever usage a key yields must name one.
void tst_KeyValues::everyUsageHasAFunction()
{
    const QMetaEnum keys = QMetaEnum::fromType<Qt::Key>();
    QVector<int> codes;
    for (int code = 0; code < 0x100; ++code)
        codes << code;
    for (int i = 0; i < keys.keyCount(); ++i)
        codes << keys.value(i);
    for (int code : qAsConst(codes)) {
        for (int scanCode = -1; scanCode < 0x200; ++scanCode) {
            const int usage = ::qtKeyToHidUsage(code, scanCode);
            if (usage == 0)
                continue;
            const int function = functionOfUsage(usage);
            QVERIFY2(function >= 0 && !getFuncStr(KKeyFunction(function)).isEmpty(),
                     qPrintable(QStringLiteral("key %1 scan %2 usage %3").arg(code, 0, 16).arg(scanCode).arg(usage)));
        }
    }
}

void tst_KeyValues::qtKeyToText_data()
{
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<QString>("text");

    QTest::newRow("Return") << int(Qt::Key_Return) << "Enter";
    QTest::newRow("Enter") << int(Qt::Key_Enter) << "Enter";
    QTest::newRow("Escape") << int(Qt::Key_Escape) << "Esc";
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << "<-";
    QTest::newRow("NumLock") << int(Qt::Key_NumLock) << "Num";
    QTest::newRow("Space") << int(Qt::Key_Space) << "Space";
    QTest::newRow("!") << int(Qt::Key_Exclam) << "!";
    QTest::newRow("A") << int(Qt::Key_A) << "A";
    QTest::newRow("7") << int(Qt::Key_7) << "7";
    QTest::newRow("[") << int(Qt::Key_BracketLeft) << "[";
    QTest::newRow("grave") << int(Qt::Key_QuoteLeft) << "`";
    QTest::newRow("~") << int(Qt::Key_AsciiTilde) << "~";
    QTest::newRow("lower-case a") << 0x61 << "";
    QTest::newRow("lower-case z") << 0x7A << "";
    QTest::newRow("0x7F") << 0x7F << "";
    QTest::newRow("0x9F") << 0x9F << "";
    QTest::newRow("Latin-1 small a umlaut") << 0xE4 << "";
    QTest::newRow("Tab") << int(Qt::Key_Tab) << "Tab";
    QTest::newRow("Shift") << int(Qt::Key_Shift) << "Shift";
    QTest::newRow("F1") << int(Qt::Key_F1) << "F1";
    QTest::newRow("Print") << int(Qt::Key_Print) << "Print";
    QTest::newRow("Menu") << int(Qt::Key_Menu) << "Menu";
    QTest::newRow("media") << int(Qt::Key_MediaTogglePlayPause) << "MediaTogglePlayPause";
    QTest::newRow("AltGr") << int(Qt::Key_AltGr) << "AltGr";
    QTest::newRow("dead grave") << int(Qt::Key_Dead_Grave) << "Dead_Grave";
    QTest::newRow("MediaLast") << int(Qt::Key_MediaLast) << "MediaLast";
    QTest::newRow("Context1") << int(Qt::Key_Context1) << "Context1";
    QTest::newRow("unknown") << int(Qt::Key_unknown) << "unknown";
    QTest::newRow("nobreakspace") << int(Qt::Key_nobreakspace) << "nobreakspace";
    QTest::newRow("sterling") << int(Qt::Key_sterling) << "sterling";
    QTest::newRow("Adiaeresis") << int(Qt::Key_Adiaeresis) << "Adiaeresis";
    QTest::newRow("ssharp") << int(Qt::Key_ssharp) << "ssharp";
    QTest::newRow("division") << int(Qt::Key_division) << "division";
    QTest::newRow("ydiaeresis") << int(Qt::Key_ydiaeresis) << "ydiaeresis";
    QTest::newRow("gap between enumerators") << 0x01000018 << "";
}

void tst_KeyValues::qtKeyToText()
{
    QFETCH(int, qtKey);
    QFETCH(QString, text);
    QCOMPARE(::qtKeyToText(qtKey), text);
}

QTEST_GUILESS_MAIN(tst_KeyValues)
#include "tst_keyvalues.moc"
