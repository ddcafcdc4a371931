#include "common/DeviceIds.h"
#include "models/keys/KeyAssignmentRules.h"

#include <QtTest>

using namespace DeviceIds;
using KeyAssignmentRules::Refusal;

Q_DECLARE_METATYPE(Refusal)

// The checks and translations an assignment passes before it is written, per family: mice by their product id
// alone, no driver needed.
class TestKeyAssignmentRules : public QObject
{
    Q_OBJECT

private slots:
    void translate_data()
    {
        QTest::addColumn<int>("pid");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("func");
        QTest::addColumn<int>("mask");
        QTest::addColumn<int>("usage");
        QTest::addColumn<Refusal>("refusal");
        QTest::addColumn<int>("function");
        QTest::addColumn<int>("maskOut");

        const Refusal ok = Refusal::None;
        auto row = [&](const char* name, int pid, int key, int func, int mask, int usage, Refusal refusal,
                       int function, int maskOut) {
            QTest::newRow(name) << pid << key << func << mask << usage << refusal << function << maskOut;
        };

        // Sniper family: DPI buttons refuse sniper and fire; other buttons take them.
        row("sniper: DPI+ refuses sniper", kHebden, 5, 26, 0, 0, Refusal::SniperOnDpiButton, 0, 0);
        row("sniper: DPI- refuses fire", kHebden, 6, 27, 0, 0, Refusal::FireOnDpiButton, 0, 0);
        row("swapped: DPI- refuses sniper", kZennor, 6, 26, 0, 0, Refusal::SniperOnDpiButton, 0, 0);
        row("sniper: side button takes sniper", kHebden, 4, 26, 0, 0, ok, 26, 0);
        row("sniper: Null on left", kHebden, 0, 0, 0, 0, ok, 9, 0);
        row("sniper: Null on DPI+", kHebden, 5, 0, 0, 0, ok, 39, 0);
        row("sniper: Null on button 10", kHebden, 10, 0, 0, 0, ok, 17, 0);
        row("sniper: Null without default", kHebden, 13, 0, 0, 0, ok, 0, 0);
        row("M1: Null on DPI+", kBalsom, 5, 0, 0, 0, ok, 36, 0);
        row("M1 wireless: Null on button 9", kBalsomWireless, 9, 0, 0, 0, ok, 27, 0);
        row("M1: family default kept", kBalsom, 10, 0, 0, 0, ok, 17, 0);
        row("M2: Null on DPI-", kBrackly, 6, 0, 0, 0, ok, 27, 0);
        row("M3: Null on button 9", kCorlis, 9, 0, 0, 0, ok, 27, 0);
        row("M3: Null on DPI+", kCorlis, 5, 0, 0, 0, ok, 39, 0);
        row("M4: Null on button 7", kFarrant, 7, 0, 0, 0, ok, 12, 0);
        row("M5: Null on button 8", kGadsbyWireless, 8, 0, 0, 0, ok, 13, 0);
        row("sniper: plain key", kHebden, 3, 30, 0, 4, ok, 42, 0);
        row("sniper: nothing pressed", kHebden, 3, 30, 0, 0, ok, 0, 0);
        row("sniper: Alt+F4", kHebden, 3, 30, 4, 61, ok, 1, 4);
        row("sniper: Alt alone", kHebden, 3, 30, 4, 0, ok, 34, 4);
        row("sniper: Alt+Tab is Alt", kHebden, 3, 30, 4, 43, ok, 34, 4);
        row("sniper: Win+D", kHebden, 3, 30, 8, 7, ok, 4, 8);
        row("sniper: Win+L", kHebden, 3, 30, 8, 15, ok, 2, 8);
        row("sniper: Win+R", kHebden, 3, 30, 8, 21, ok, 3, 8);
        row("sniper: Win+usage 45", kHebden, 3, 30, 8, 45, ok, 7, 8);
        row("sniper: Win+usage 46", kHebden, 3, 30, 8, 46, ok, 8, 8);
        row("sniper: Win+M is Win", kHebden, 3, 30, 8, 16, ok, 35, 8);
        row("sniper: Ctrl+A", kHebden, 3, 30, 1, 4, ok, 32, 1);
        row("sniper: macro keeps Win rules away", kHebden, 3, 29, 8, 7, ok, 29, 8);
        // Swapped-modifier family: Ctrl and Shift exchange places.
        row("swapped: Ctrl", kZennor, 3, 30, 1, 4, ok, 33, 2);
        row("swapped: Shift", kZennor, 3, 30, 2, 4, ok, 32, 1);
        row("swapped: Ctrl+Shift", kZennor, 3, 30, 3, 0, ok, 47, 3);
        row("swapped: Ctrl+Alt", kZennor, 3, 30, 5, 0, ok, 50, 6);
        row("swapped: Ctrl+Win", kZennorWireless, 3, 30, 9, 0, ok, 51, 10);
        row("swapped: Shift+Alt+Win", kZennor, 3, 30, 14, 0, ok, 55, 13);
        // Side-button family.
        row("side: Null on button 4", kHarlo, 4, 0, 0, 0, ok, 13, 0);
        row("side: Null on DPI+", kHarlo, 5, 0, 0, 0, ok, 39, 0);
        row("side: Null without default", kHarlo, 13, 0, 0, 0, ok, 0, 0);
        row("M7: Null on DPI+", kEdris, 5, 0, 0, 0, ok, 36, 0);
        row("M8: Null on DPI+", kGarrick, 5, 0, 0, 0, ok, 36, 0);
        row("M6: Null stays Null", kDunmor, 0, 0, 0, 0, ok, 0, 0);
        row("side: DPI+ takes sniper", kHarlo, 5, 26, 0, 0, ok, 26, 0);
        row("side: Win+M", kHarlo, 3, 30, 8, 16, ok, 5, 8);
        row("side: Win+Q", kHarlo, 3, 30, 8, 20, ok, 28, 8);
        row("side: Win+keypad minus", kDunmor, 3, 30, 8, 86, ok, 8, 8);
        row("side: Win+keypad plus", kHarlo, 3, 30, 8, 87, ok, 7, 8);
        row("side: Alt+Tab", kHarlo, 3, 30, 4, 43, ok, 6, 4);
        row("side: Alt+F4", kHarlo, 3, 30, 4, 61, ok, 1, 4);
        row("side: plain key", kHarlo, 3, 30, 0, 4, ok, 42, 0);
        // DPI-key family.
        row("dpi: Null on button 13", kSelwin, 13, 0, 0, 0, ok, 36, 0);
        row("dpi: Null on button 4", kOrlan, 4, 0, 0, 0, ok, 13, 0);
        row("dpi: Win+keypad minus", kSelwin, 3, 30, 8, 86, ok, 8, 8);
        row("dpi: Win+M is Win", kSelwin, 3, 30, 8, 16, ok, 35, 8);
        row("dpi: Alt+Tab is Alt", kSelwin, 3, 30, 4, 43, ok, 34, 4);
        row("dpi: Alt+F4", kTamsin, 3, 30, 4, 61, ok, 1, 4);
        row("dpi: nothing pressed", kSelwin, 3, 30, 0, 0, ok, 0, 0);
        // Basic family.
        row("basic: Null on button 13", kVarlo, 13, 0, 0, 0, ok, 36, 0);
        row("basic: Null on DPI+ has no default", kVarlo, 5, 0, 0, 0, ok, 0, 0);
        row("basic: Alt+Tab", kVarlo, 3, 30, 4, 43, ok, 6, 4);
        row("basic: Win+Q", kUlverd, 3, 30, 8, 20, ok, 28, 8);
        // Keyboards: Null is the key's factory function.
        row("keyboard: Null on Esc", kKeyboardWired, 14, 0, 0, 0, ok, 95, 0);
        row("keyboard: Null on Mute", kKeyboardWired, 109, 0, 0, 0, ok, 25, 0);
        row("keyboard: Null on Num", kKeyboardWired, 20, 0, 0, 0, ok, 138, 0);
        row("keyboard: Null on an empty cell", kKeyboardWired, 21, 0, 0, 0, ok, 0, 0);
        row("RGB keyboard: Null on Esc", kRgbKeyboard, 14, 0, 0, 0, ok, 95, 0);
        row("keyboard: Alt+F4", kKeyboardWired, 14, 30, 4, 61, ok, 1, 4);
        row("keyboard: Alt alone", kKeyboardWired, 14, 30, 4, 0, ok, 34, 4);
        row("keyboard: Alt+Tab is Alt", kKeyboardWired, 14, 30, 4, 43, ok, 34, 4);
        row("keyboard: Win+D is Win", kKeyboardWired, 14, 30, 8, 7, ok, 35, 8);
        row("keyboard: plain key", kKeyboardWired, 14, 30, 0, 4, ok, 42, 0);
        row("keyboard: a function is kept", kKeyboardWired, 14, 24, 0, 0, ok, 24, 0);
        // Everything else: the general rules.
        row("wireless keyboard: Alt+Tab", kKeyboardWireless, 14, 30, 4, 43, ok, 6, 4);
        row("unknown: Win+M", 0, 3, 30, 8, 16, ok, 5, 8);
        row("unknown: Null stays Null", 0, 0, 0, 0, 0, ok, 0, 0);
        row("unknown: mask above 15", 0, 3, 30, 16, 4, ok, 0, 16);
    }

    void translate()
    {
        QFETCH(int, pid);
        QFETCH(int, key);
        QFETCH(int, func);
        QFETCH(int, mask);
        QFETCH(int, usage);
        QFETCH(Refusal, refusal);
        QFETCH(int, function);
        QFETCH(int, maskOut);

        const KeyAssignmentRules::Translation result =
            KeyAssignmentRules::checkAndTranslate(pid, key, func, mask, usage);
        QCOMPARE(result.refusal, refusal);
        if (result.accepted()) {
            QCOMPARE(result.function, function);
            QCOMPARE(result.mask, maskOut);
        }
    }

    void modifierMasks()
    {
        const int expected[] = {0, 32, 33, 47, 34, 48, 50, 53, 35, 49, 51, 54, 52, 55, 56, 57};
        for (int mask = 0; mask < 16; ++mask)
            QCOMPARE(KeyAssignmentRules::modifierMaskToFunction(mask), expected[mask]);
        QCOMPARE(KeyAssignmentRules::modifierMaskToFunction(16), 0);
        QCOMPARE(KeyAssignmentRules::modifierMaskToFunction(-1), 0);
    }

    void keyboardUsages_data()
    {
        QTest::addColumn<int>("deviceType");
        QTest::addColumn<int>("func");
        QTest::addColumn<int>("usage");
        QTest::addColumn<int>("expected"); // -1: unchanged

        QTest::newRow("Fn") << 2 << 42 << 0x01 << 179;
        QTest::newRow("A") << 2 << 42 << 0x04 << 58;
        QTest::newRow("Z") << 2 << 42 << 0x1D << 83;
        QTest::newRow("0") << 2 << 42 << 0x27 << 93;
        QTest::newRow("Enter") << 2 << 42 << 0x28 << 94;
        QTest::newRow("K42") << 2 << 42 << 0x32 << 104;
        QTest::newRow("Caps") << 2 << 42 << 0x39 << 111;
        QTest::newRow("F12") << 2 << 42 << 0x45 << 123;
        QTest::newRow("PrtSc") << 2 << 42 << 0x46 << 124;
        QTest::newRow("Scroll Lock") << 2 << 42 << 0x47 << -1;
        QTest::newRow("Pause") << 2 << 42 << 0x48 << 127;
        QTest::newRow("Insert") << 2 << 42 << 0x49 << -1;
        QTest::newRow("Home") << 2 << 42 << 0x4A << 129;
        QTest::newRow("Up") << 2 << 42 << 0x52 << 137;
        QTest::newRow("keypad NumLock") << 2 << 42 << 0x53 << -1;
        QTest::newRow("keypad dot") << 2 << 42 << 0x63 << -1;
        QTest::newRow("K45") << 2 << 42 << 0x64 << 155;
        QTest::newRow("Application") << 2 << 42 << 0x65 << -1;
        QTest::newRow("left Ctrl") << 2 << 42 << 0xE0 << 171;
        QTest::newRow("right Alt") << 2 << 42 << 0xE6 << 177;
        QTest::newRow("right Win") << 2 << 42 << 0xE7 << -1;
        QTest::newRow("mouse") << 1 << 42 << 0x04 << -1;
        QTest::newRow("combination") << 2 << 30 << 0x04 << -1;
    }

    void keyboardUsages()
    {
        QFETCH(int, deviceType);
        QFETCH(int, func);
        QFETCH(int, usage);
        QFETCH(int, expected);
        int function = func;
        QCOMPARE(KeyAssignmentRules::hidUsageToKeyFunction(deviceType, function, usage), expected != -1);
        QCOMPARE(function, expected == -1 ? func : expected);
    }

    void keyboardUsageCount()
    {
        int mapped = 0;
        for (int usage = 0; usage < 0x100; ++usage) {
            int function = 42;
            mapped += KeyAssignmentRules::hidUsageToKeyFunction(2, function, usage) ? 1 : 0;
        }
        QCOMPARE(mapped, 86);
    }

    void defaultKeyMap()
    {
        const QVariantMap map = KeyAssignmentRules::defaultKeyMap();
        QCOMPARE(map.size(), 128);
        QCOMPARE(map.firstKey(), QStringLiteral("100")); // text order
        int empty = 0;
        for (int key = 14; key <= 141; ++key) {
            QVERIFY2(map.contains(QString::number(key)), qPrintable(QString::number(key)));
            empty += map.value(QString::number(key)).toInt() == 0 ? 1 : 0;
        }
        QCOMPARE(empty, 18);
        QCOMPARE(KeyAssignmentRules::defaultKeyFunction(13), 0);
        QCOMPARE(KeyAssignmentRules::defaultKeyFunction(142), 0);
    }
};

QTEST_GUILESS_MAIN(TestKeyAssignmentRules)
#include "tst_keyassignmentrules.moc"
