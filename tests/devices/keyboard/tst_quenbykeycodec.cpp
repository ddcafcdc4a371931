#include "devices/keyboard/FDeviceQuenby_8a.h"
#include "devices/keyboard/Quenby8aConfigImage.h"
#include "devices/keyboard/Quenby8aKeyCodec.h"
#include "devices/keyboard/Quenby8aKeyTable.h"
#include "models/keys/KKey.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QtTest>

Q_DECLARE_METATYPE(KKeyCode)

namespace {

KKeyCode code(int b0, int b1, int b2, int b3)
{
    const quint8 bytes[4] = {quint8(b0), quint8(b1), quint8(b2), quint8(b3)};
    return KKeyCode::fromBytes(bytes);
}

// Functions the keyboard has no code for.
QSet<int> refusedFunctions()
{
    // Functions without a code on this keyboard, and values that are no function.
    QSet<int> refused = {KFuncTraditionalDesktop,
                         KFuncSniper,
                         KFuncFire,
                         KFuncCommonButton,
                         KFuncK42Key,
                         KFuncKeysLowLast,
                         KFuncKeysLowLast + 1,
                         KFuncPauseKey + 1,
                         KFuncWinRKey,
                         KFuncMuteKey,
                         KFuncWinLock,
                         KFuncWorkMode,
                         KFuncLast + 1,
                         500,
                         KFuncDisable - 1};
    for (int f = KFuncMouseForward; f <= KFuncMouseLast; ++f)
        refused.insert(f);
    for (int f = KFuncDpiCycle; f <= KFuncMacroSwitch; ++f)
        refused.insert(f);
    for (int f = KFuncModeSwitch; f <= KFuncSideRollerDown; ++f)
        refused.insert(f);
    for (int f = KFuncUpKey + 1; f < KFuncCtrlLKey; ++f)
        refused.insert(f);
    return refused;
}

// The modifier mask that names each modifier function.
int maskOf(int function)
{
    static const QMap<int, int> masks = {{KFuncCtrl, 1},        {KFuncShift, 2},        {KFuncAlt, 4},
                                         {KFuncWin, 8},         {KFuncCtrlShift, 3},    {KFuncCtrlAlt, 5},
                                         {KFuncCtrlWin, 9},     {KFuncShiftAlt, 6},     {KFuncShiftWin, 10},
                                         {KFuncAltWin, 12},     {KFuncCtrlShiftAlt, 7}, {KFuncCtrlShiftWin, 11},
                                         {KFuncCtrlAltWin, 13}, {KFuncShiftAltWin, 14}, {KFuncCtrlShiftAltWin, 15}};
    return masks.value(function, 0);
}

QJsonObject loadLayout()
{
    QFile file(QStringLiteral(":/common/newUI/Quenby_8a/Quenby_8ALayout.json"));
    if (!file.open(QIODevice::ReadOnly))
        return QJsonObject();
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError)
        qWarning() << error.errorString() << error.offset;
    return doc.object();
}

} // namespace

class TestQuenbyKeyCodec : public QObject
{
    Q_OBJECT
private slots:
    void everyFunctionRoundTrips_data()
    {
        QTest::addColumn<int>("function");
        for (int f = -2; f <= 183; ++f)
            QTest::addRow("function %d", f) << f;
        QTest::addRow("function 500") << 500;
    }

    void everyFunctionRoundTrips()
    {
        QFETCH(int, function);
        const bool isRefused = refusedFunctions().contains(function);

        int a = 0, b = 0;
        int expected = function;
        if (isModifierFunction(function)) {
            a = maskOf(function);
            b = 0x04;
        } else if (function == KFuncMacro) {
            a = 7;
        } else if (function == KFuncKeyCombination) {
            a = 0x05, b = 0x04;
            expected = KFuncCtrlAlt; // a combination reads back as the modifier function of its mask
        } else if (function == KFuncKeyboardKey) {
            b = 0x32;
        } else if (function == KFuncNull) {
            expected = KFuncKeyboardKey; // four zero bytes read as "Keyboard keys", usage 0
        }

        const KKeyCode sentinel = code(0x11, 0x22, 0x33, 0x44);
        KKeyCode out = sentinel;
        const bool encoded = Quenby8aKeyCodec::encode(function, a, b, &out);
        QCOMPARE(encoded, !isRefused);
        if (isRefused) {
            QCOMPARE(out, sentinel);
            return;
        }
        QCOMPARE(Quenby8aKeyCodec::decode(out), expected);
    }

    void knownCodes_data()
    {
        QTest::addColumn<int>("function");
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<KKeyCode>("expected");
        QTest::newRow("disable") << int(KFuncDisable) << 0 << 0 << code(7, 0, 0, 0);
        QTest::newRow("null") << int(KFuncNull) << 9 << 9 << code(0, 0, 0, 0);
        QTest::newRow("close window") << int(KFuncCloseWindow) << 0 << 0 << code(2, 0, 0x04, 0x3D);
        QTest::newRow("lock") << int(KFuncLockComputer) << 0 << 0 << code(2, 0, 0x08, 0x0F);
        QTest::newRow("zoom in") << int(KFuncZoomIn) << 0 << 0 << code(2, 0, 0x08, 0x57);
        QTest::newRow("middle button") << int(KFuncMouseMiddle) << 0 << 0 << code(3, 0, 4, 0);
        QTest::newRow("right button") << int(KFuncMouseRight) << 0 << 0 << code(3, 0, 2, 0);
        QTest::newRow("player") << int(KFuncPlayer) << 0 << 0 << code(4, 0, 0x01, 0x83);
        QTest::newRow("mute") << int(KFuncMute) << 0 << 0 << code(4, 0, 0, 0xE2);
        QTest::newRow("macro slot 5") << int(KFuncMacro) << 5 << 0 << code(5, 0, 5, 0);
        QTest::newRow("ctrl+alt+A") << int(KFuncKeyCombination) << 0x05 << 0x04 << code(2, 0, 5, 4);
        QTest::newRow("keyboard key") << int(KFuncKeyboardKey) << 0 << 0x64 << code(0, 0, 0x64, 0);
        QTest::newRow("A key") << int(KFuncKeysFirst) << 0 << 0 << code(0, 0, 0x04, 0);
        QTest::newRow("PrtSc") << int(KFuncPrtScKey) << 0 << 0 << code(0, 0, 0x46, 0);
        QTest::newRow("Pause") << int(KFuncPauseKey) << 0 << 0 << code(0, 0, 0x48, 0);
        QTest::newRow("Up") << int(KFuncUpKey) << 0 << 0 << code(0, 0, 0x52, 0);
        QTest::newRow("Ctrl_L") << int(KFuncCtrlLKey) << 0 << 0 << code(0, 0, 0xE0, 0);
        QTest::newRow("Alt_R") << int(KFuncAltRKey) << 0 << 0 << code(0, 0, 0xE6, 0);
        QTest::newRow("Fn") << int(KFuncFn) << 0 << 0 << code(0xA0, 0, 1, 0);
    }

    void knownCodes()
    {
        QFETCH(int, function);
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(KKeyCode, expected);
        KKeyCode out;
        QVERIFY(Quenby8aKeyCodec::encode(function, a, b, &out));
        QCOMPARE(out, expected);
    }

    void parametersMustFitTheirByte_data()
    {
        QTest::addColumn<int>("function");
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::newRow("macro slot 256") << int(KFuncMacro) << 256 << 0;
        QTest::newRow("negative mask") << int(KFuncKeyCombination) << -1 << 4;
        QTest::newRow("usage 0x104") << int(KFuncShift) << 2 << 0x104;
        QTest::newRow("keyboard key 300") << int(KFuncKeyboardKey) << 0 << 300;
    }

    void parametersMustFitTheirByte()
    {
        QFETCH(int, function);
        QFETCH(int, a);
        QFETCH(int, b);
        KKeyCode out = code(1, 2, 3, 4);
        QVERIFY(!Quenby8aKeyCodec::encode(function, a, b, &out));
        QCOMPARE(out, code(1, 2, 3, 4));
    }

    void decodeStoredCodes_data()
    {
        QTest::addColumn<KKeyCode>("stored");
        QTest::addColumn<int>("function");
        QTest::newRow("alt+F4") << code(2, 0, 4, 0x3D) << 1;
        QTest::newRow("alt+F3 is plain Alt") << code(2, 0, 4, 0x3C) << 34;
        QTest::newRow("win+D") << code(2, 0, 8, 0x07) << 4;
        QTest::newRow("win+A is plain Win") << code(2, 0, 8, 0x04) << 35;
        QTest::newRow("mask 0") << code(2, 0, 0, 0x04) << 0;
        QTest::newRow("mask 16") << code(2, 0, 16, 0x04) << 0;
        QTest::newRow("find ignores byte 2") << code(4, 0, 0x02, 0x21) << 28;
        QTest::newRow("unknown consumer") << code(4, 0, 0, 0x99) << 0;
        QTest::newRow("left button, param 1") << code(3, 0, 1, 1) << 9;
        QTest::newRow("left button, param 2") << code(3, 0, 1, 2) << 0;
        QTest::newRow("button mask 3") << code(3, 0, 3, 0) << 0;
        QTest::newRow("ISO usage 0x32") << code(0, 0, 0x32, 0) << 42;
        QTest::newRow("ScrLk usage") << code(0, 0, 0x47, 0) << 42;
        QTest::newRow("Insert usage") << code(0, 0, 0x49, 0) << 42;
        QTest::newRow("right Win usage") << code(0, 0, 0xE7, 0) << 42;
        QTest::newRow("macro") << code(5, 0, 19, 0) << 29;
        QTest::newRow("disabled") << code(7, 0, 0, 0) << -1;
        QTest::newRow("Fn") << code(0xA0, 0, 1, 0) << 179;
        QTest::newRow("Fn with code 2") << code(0xA0, 0, 2, 0) << 0;
        QTest::newRow("unknown type") << code(9, 0, 1, 0) << 0;
    }

    void decodeStoredCodes()
    {
        QFETCH(KKeyCode, stored);
        QFETCH(int, function);
        QCOMPARE(Quenby8aKeyCodec::decode(stored), function);
    }

    // The device's own entry points: a decoded item carries the four stored bytes and no text, whatever the
    // item held before.
    void transToItemFillsTheItem_data()
    {
        QTest::addColumn<KKeyCode>("stored");
        QTest::addColumn<int>("function");
        QTest::newRow("zeros read as a keyboard key without usage") << code(0, 0, 0, 0) << 42;
        QTest::newRow("ctrl+alt+A") << code(2, 0, 5, 4) << 48;
        QTest::newRow("alt+F4") << code(2, 0, 4, 0x3D) << 1;
        QTest::newRow("alt+F3") << code(2, 0, 4, 0x3C) << 34;
        QTest::newRow("find") << code(4, 0, 0x02, 0x21) << 28;
        QTest::newRow("macro slot 19") << code(5, 0, 19, 0) << 29;
        QTest::newRow("parameter 1 kept") << code(0, 7, 0x29, 0) << 95;
    }

    void transToItemFillsTheItem()
    {
        QFETCH(KKeyCode, stored);
        QFETCH(int, function);
        KKeyModelItem item(99, 3, 1, 2, 3, 4, QStringLiteral("old"));
        FDeviceQuenby_8a::transToItem(item, stored.type, stored.param1, stored.code, stored.param2);
        QCOMPARE(item.getType(), function);
        QCOMPARE(item.getValue1(), int(stored.type));
        QCOMPARE(item.getValue2(), int(stored.param1));
        QCOMPARE(item.getValue3(), int(stored.code));
        QCOMPARE(item.getValue4(), int(stored.param2));
        QVERIFY(item.getTxt().isEmpty());
        QCOMPARE(item.getKey(), 99);
    }

    void transToByteRefusesWithItsLog_data()
    {
        QTest::addColumn<int>("function");
        QTest::newRow("right Win") << 178;
        QTest::newRow("K42") << 104;
        QTest::newRow("above the set") << 183;
    }

    void transToByteRefusesWithItsLog()
    {
        QFETCH(int, function);
        quint8 out[4] = {1, 2, 3, 4};
        QTest::ignoreMessage(QtDebugMsg, "[ERROR] transToByte: There is no such function");
        QVERIFY(!FDeviceQuenby_8a::transToByte(function, out, QVariant(), QVariant()));
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(out), 4), QByteArray::fromHex("01020304"));

        // Empty parameters count as 0.
        QVERIFY(FDeviceQuenby_8a::transToByte(30, out, QVariant(5), QVariant(4)));
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(out), 4), QByteArray::fromHex("02000504"));
        QVERIFY(FDeviceQuenby_8a::transToByte(42, out, QVariant(), QVariant()));
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(out), 4), QByteArray::fromHex("00000000"));
    }

    // The gap helpers walk a profile's key list in table order: they must agree with the position table.
    void gapHelpersMatchThePositionTable()
    {
        for (int pos = 0; pos < Quenby8a::kPositionCount; ++pos) {
            const int key = Quenby8a::keyAtPosition(pos);
            if (key == Quenby8a::kEmptyPosition || Quenby8a::isIsoKey(key))
                continue;
            QCOMPARE(Quenby8a::positionOfKey(key), pos);
            int empty = 0;
            while (pos + 1 + empty < Quenby8a::kPositionCount
                   && Quenby8a::keyAtPosition(pos + 1 + empty) == Quenby8a::kEmptyPosition)
                ++empty;
            int count = -1;
            QCOMPARE(Quenby8a::keyGapAfter(key, &count), empty > 0);
            if (empty > 0)
                QCOMPARE(count, empty);
            QCOMPARE(Quenby8a::hasHiddenKeyAfter(key), Quenby8a::isIsoKey(Quenby8a::keyAtPosition(pos + 1)));
        }
        QCOMPARE(Quenby8a::positionOfKey(99), -1);
        QCOMPARE(Quenby8a::positionOfKey(-1), -1);
        QCOMPARE(Quenby8a::keyAtPosition(128), Quenby8a::kEmptyPosition);
    }

    // The layout document names the keys the user sees; every one of them must sit in the key table, carry
    // the function of its own name as its factory function, and decode from the factory table to it.
    void layoutDocumentMatchesTheKeyTable()
    {
        const QJsonObject layout = loadLayout();
        QCOMPARE(layout.value(QStringLiteral("deviceName")).toString(), QStringLiteral("ZEPHRA"));
        QCOMPARE(layout.value(QStringLiteral("MaxMacroLenth")).toInt(), 256);
        const QJsonArray keys = layout.value(QStringLiteral("key")).toObject().value(QStringLiteral("keyBtn")).toArray();
        const QJsonArray lights =
            layout.value(QStringLiteral("light")).toObject().value(QStringLiteral("keyLightBtn")).toArray();
        QCOMPARE(keys.size(), 84);
        QCOMPARE(lights.size(), 84);

        QSet<int> seen;
        for (int i = 0; i < keys.size(); ++i) {
            const QJsonObject entry = keys.at(i).toObject();
            const int key = entry.value(QStringLiteral("key")).toInt();
            QCOMPARE(lights.at(i).toObject().value(QStringLiteral("key")).toInt(), key);
            QVERIFY2(!seen.contains(key), qPrintable(QString::number(key)));
            seen.insert(key);
            const int pos = Quenby8a::positionOfKey(key);
            QVERIFY2(pos >= 0 && !Quenby8a::isIsoKey(key), qPrintable(QString::number(key)));
            QCOMPARE(entry.value(QStringLiteral("name")).toString(), getKeyStr(KKey(key)));

            int function = 0;
            QVERIFY(Quenby8a::defaultFunction(key, &function));
            QCOMPARE(getFuncStr(KKeyFunction(function)), getKeyStr(KKey(key)));
            QCOMPARE(entry.value(QStringLiteral("defaultFunc")).toInt(), function);
            KKeyCode encoded;
            QVERIFY(Quenby8aKeyCodec::encode(function, 0, 0, &encoded));
            QCOMPARE(encoded, Quenby8a::defaultKeyCode(pos));
        }
        // The ISO keys have no function of their own.
        QVERIFY(!Quenby8a::defaultFunction(Quenby8a::kIsoKeyK45, nullptr));
        QVERIFY(!Quenby8a::defaultFunction(Quenby8a::kIsoKeyK42, nullptr));
        // The quote key's name is stored with an escaped single quote and must read as the quote itself.
        const QString quoteName = QStringLiteral("'\" Key");
        bool found = false;
        for (const QJsonValue& v : keys)
            found = found || v.toObject().value(QStringLiteral("name")).toString() == quoteName;
        QVERIFY(found);
    }

    // What the device view, the key and the light models read from the keyboard's document.
    void layoutDocumentValues_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QJsonValue>("expected");
        const auto row = [](const char* path, const QJsonValue& value) { QTest::newRow(path) << QString::fromLatin1(path) << value; };
        row("deviceName", QStringLiteral("ZEPHRA"));
        row("deviceType", 2);
        row("hasOled", false);
        row("isWireLess", false);
        row("leftKeyMacro", 0);
        row("hasPowerSaving", false);
        row("hasRGB", false);
        row("hasReport", false);
        row("hasOperatingMode", false);
        row("hasLight", true);
        row("hasCurrentDpi", false);
        row("hasShortCut", false);
        row("MaxMacroLenth", 256);
        row("win7Update", true);
        row("dpi", QJsonValue(QJsonValue::Undefined));
        row("report", QJsonValue(QJsonValue::Undefined));
        row("hasWheel", QJsonValue(QJsonValue::Undefined));
        row("light/number", 1);
        row("light/brightnessMin", 0);
        row("light/brightnessMax", 3);
        row("light/speedMin", 0);
        row("light/speedMax", 4);
        row("light/keyLightMin", 0);
        row("light/keyLightMax", 10);
        row("light/brightnessBaseImge", QStringLiteral("qrc:/common/newUI/Quenby_8a/lightBrightness_background.png"));
        row("light/speedBaseImge", QStringLiteral("qrc:/common/newUI/Quenby_8a/lightSpeed_background.png"));
        row("light/keyBtn", QJsonArray{QJsonObject{{"index", 0}, {"name", "lights"},
                                                   {"image", "qrc:/common/newUI/Quenby_8a/ms_light_logo_1.png"},
                                                   {"x", 218}, {"y", 116}, {"width", 669}, {"height", 261},
                                                   {"isLeft", true}}});
        row("key/number", 84);
        row("key/keyBaseImge", QStringLiteral("qrc:/common/newUI/Quenby_8a/ms_logo_1.png"));
        row("key/x", 120);
        row("key/y", 211);
        row("key/width", 864);
        row("key/height", 337);
    }

    void layoutDocumentValues()
    {
        QFETCH(QString, path);
        QFETCH(QJsonValue, expected);
        QJsonValue value = loadLayout();
        for (const QString& part : path.split(QLatin1Char('/')))
            value = value.toObject().value(part);
        QCOMPARE(value, expected);
    }

    // The lists of the document: the offered functions and the light modes, in order.
    void layoutDocumentLists()
    {
        const QJsonObject layout = loadLayout();
        const QList<QPair<int, QString>> functions = {
            {1, "Close window"}, {2, "Lock the computer"}, {3, "Running"}, {4, "Show desktop"}, {7, "Zoom in"},
            {8, "Zoom out"},     {28, "Find"},             {9, "Left"},    {11, "Right"},       {10, "Middle"},
            {18, "Player"},      {23, "Volume down"},      {24, "Volume up"}, {25, "Mute"}};
        const QJsonArray base = layout.value(QStringLiteral("baseFunctions")).toArray();
        QCOMPARE(base.size(), functions.size());
        for (int i = 0; i < base.size(); ++i) {
            const QJsonObject entry = base.at(i).toObject();
            QCOMPARE(entry.value(QStringLiteral("index")).toInt(), functions.at(i).first);
            QCOMPARE(entry.value(QStringLiteral("name")).toString(), functions.at(i).second);
            QCOMPARE(getFuncStr(KKeyFunction(functions.at(i).first)), functions.at(i).second);
        }

        struct Mode { const char* text; bool speed; };
        const Mode modes[] = {{"The light is always on", false}, {"Single light mode", true}, {"Breathing mode", true},
                              {"Star dot mode", true},          {"Curve mode", true},        {"Ripple mode", false},
                              {"Custom mode", false}};
        const QJsonArray lightModes =
            layout.value(QStringLiteral("light")).toObject().value(QStringLiteral("lightMode")).toArray();
        QCOMPARE(lightModes.size(), 7);
        for (int i = 0; i < lightModes.size(); ++i) {
            const QJsonObject mode = lightModes.at(i).toObject();
            QCOMPARE(mode.value(QStringLiteral("index")).toInt(), i + 1);
            QCOMPARE(mode.value(QStringLiteral("text")).toString(), QString::fromLatin1(modes[i].text));
            QCOMPARE(mode.value(QStringLiteral("hasSpeed")).toBool(), modes[i].speed);
            QCOMPARE(mode.value(QStringLiteral("hasbrightness")).toBool(), true);
            QVERIFY(mode.value(QStringLiteral("x")).isDouble() && mode.value(QStringLiteral("y")).isDouble());
        }

        // The extended-key flag marks the keys whose scan code comes with the extended prefix.
        const QSet<int> extended = {27, 91, 115, 122, 123, 130, 131, 139, 118, 135, 129, 137, 136, 128};
        for (const QJsonValue& v : layout.value(QStringLiteral("key")).toObject().value(QStringLiteral("keyBtn")).toArray()) {
            const QJsonObject entry = v.toObject();
            const int key = entry.value(QStringLiteral("key")).toInt();
            QCOMPARE(entry.value(QStringLiteral("extended")).toBool(), extended.contains(key));
            QVERIFY(entry.contains(QStringLiteral("vkCode")) && entry.contains(QStringLiteral("scanCode")));
        }
    }

    void configImageStartsFromTheFactoryTable()
    {
        Quenby8aConfigImage image;
        QCOMPARE(image.keyCode(0), code(0, 0, 0x29, 0));
        QCOMPARE(image.keyCode(85), code(0xA0, 0, 1, 0));
        QCOMPARE(image.keyCode(12), code(0, 0, 0x64, 0));
        QCOMPARE(image.keyCode(6), code(0, 0, 0, 0));
        QCOMPARE(image.keyCode(120), code(0, 0, 0x4C, 0));
        const quint8 header[] = {1, 3, 2, 0, 0, 0, 0, 0, 0, 0, 0};
        for (int i = 0; i < Quenby8aConfigImage::kHeaderSize; ++i)
            QCOMPARE(image.header(i), header[i]);
        image.setKeyBrightness(6, 4);
        image.setKeyBrightness(5, 4);
        image.initLightSettings();
        QCOMPARE(image.keyBrightness(6), quint8(0));
        QCOMPARE(image.keyBrightness(5), quint8(4));
        QCOMPARE(int(image.bytes().size()), 654);
    }
};

QTEST_GUILESS_MAIN(TestQuenbyKeyCodec)
#include "tst_quenbykeycodec.moc"
