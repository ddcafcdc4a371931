// The register mouse's key codes and macro records as pure data: every function's code, how the mouse's codes
// read back on each key line, the defaults "Null" restores, the macro slots and pages, and macro records
// checked by the emulator's own decoder.

#include "devices/mouse/register/FarrantNordicKeyCodec.h"
#include "devices/mouse/register/FarrantNordicMacroRecord.h"
#include "models/keys/MacroPlayType.h"
#include "sim/keyboard/SimMacroRecord.h"

#include <QtTest>

using namespace FarrantNordic;
using Event = SimMacroEvent;

Q_DECLARE_METATYPE(FarrantNordic::KeyLine)
Q_DECLARE_METATYPE(FarrantNordic::DecodeRules)
Q_DECLARE_METATYPE(SimMacroEvent)

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

QByteArray codeBytes(const KKeyCode& code)
{
    const auto b = code.bytes();
    return QByteArray(reinterpret_cast<const char*>(b.data()), 4);
}

KKeyCode codeOf(const QByteArray& bytes)
{
    return KKeyCode::fromBytes(reinterpret_cast<const quint8*>(bytes.constData()));
}

KMacroItem key(int usage, bool up) { return KMacroItem(KMacroItem::KeyboardKey, usage, 0, up, QStringLiteral("K%1").arg(usage)); }
KMacroItem button(int b, bool up) { return KMacroItem(KMacroItem::MouseButton, b, 0, up, QStringLiteral("B%1").arg(b)); }
KMacroItem delay(int ms) { return KMacroItem(KMacroItem::Delay, ms, 0, false, QString()); }
KMacroItem move(int x, int y) { return KMacroItem(KMacroItem::Pointer, x, y, false, QString()); }

SimMacroRecord decodeRecord(const QByteArray& record)
{
    return SimMacroRecord::decode(record, FarrantNordicMacroRecord::kRecordSize);
}

constexpr int kRefused = -99;

} // namespace

class TestFarrantNordicKeyCodec : public QObject
{
    Q_OBJECT

private slots:
    void encodeEveryFunction_data();
    void encodeEveryFunction();
    void decodeByEntry_data();
    void decodeByEntry();
    void defaults_data();
    void defaults();
    void keyOrders();
    void macroSlots();

    void recordGolden_data();
    void recordGolden();
    void recordDelays_data();
    void recordDelays();
    void recordClamps();
    void recordRefused_data();
    void recordRefused();
};

// Every function -1..57: its code (or refusal), and what that code reads back as at a plain entry on each line.
void TestFarrantNordicKeyCodec::encodeEveryFunction_data()
{
    QTest::addColumn<int>("function");
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<int>("readsAs");  // at entry 0 (0x600) under every line's rules

    struct Row { int f; int a; int b; const char* code; int back; };
    const Row rows[] = {
        {-1, 0, 0, "07000000", -1},  {0, 0, 0, "00000000", 42},   {1, 0, 0, "0200043D", 1},
        {2, 0, 0, "0200080F", 2},    {3, 0, 0, "02000815", 3},    {4, 0, 0, "02000807", 4},
        {5, 0, 0, "", kRefused},     {6, 0, 0, "0200042B", 6},    {7, 0, 0, "02000857", 7},
        {8, 0, 0, "02000856", 8},    {9, 0, 0, "03000100", 9},    {10, 0, 0, "03000400", 10},
        {11, 0, 0, "03000200", 11},  {12, 0, 0, "03001000", 12},  {13, 0, 0, "03000800", 13},
        {14, 0, 0, "03001000", 12},  {15, 0, 0, "03000800", 13},  {16, 0, 0, "03001000", 12},
        {17, 0, 0, "03000800", 13},  {18, 0, 0, "04000183", 18},  {19, 0, 0, "040000CD", 19},
        {20, 0, 0, "040000B7", 20},  {21, 0, 0, "040000B6", 21},  {22, 0, 0, "040000B5", 22},
        {23, 0, 0, "040000EA", 23},  {24, 0, 0, "040000E9", 24},  {25, 0, 0, "040000E2", 25},
        {26, 0, 0, "09000100", 26},  {27, 7, 0, "03000101", 27},  {28, 0, 0, "04000021", 28},
        {29, 3, 0, "05000300", 29},  {30, 3, 4, "02000304", 47},  {31, 0, 0, "", kRefused},
        {32, 1, 6, "02000106", 32},  {33, 2, 6, "02000206", 33},  {34, 4, 6, "02000406", 34},
        {35, 8, 6, "02000806", 35},  {36, 0, 0, "08000300", 36},  {37, 0, 0, "FFFFFFFF", 0},
        {38, 0, 0, "FFFFFFFF", 0},   {39, 0, 0, "08000500", 39},  {40, 0, 0, "08000600", 40},
        {41, 0, 0, "09000300", 41},  {42, 0, 0x2C, "00002C00", 42}, {43, 0, 0, "", kRefused},
        {44, 0, 0, "", kRefused},    {45, 0, 0, "", kRefused},    {46, 0, 0, "", kRefused},
        {47, 3, 4, "02000304", 47},  {48, 5, 4, "02000504", 48},  {49, 9, 4, "02000904", 49},
        {50, 6, 4, "02000604", 50},  {51, 10, 4, "02000A04", 51}, {52, 12, 4, "02000C04", 52},
        {53, 7, 4, "02000704", 53},  {54, 11, 4, "02000B04", 54}, {55, 13, 4, "02000D04", 55},
        {56, 14, 4, "02000E04", 56}, {57, 15, 4, "02000F04", 57},
        // Functions past the mouse's vocabulary and values that do not fit.
        {58, 0, 0, "", kRefused},    {182, 0, 0, "", kRefused},   {29, 11, 0, "", kRefused},
        {29, -1, 0, "", kRefused},   {30, 3, 256, "", kRefused},  {42, 0, -1, "", kRefused},
    };
    for (const Row& r : rows) {
        QTest::addRow("f%d a%d b%d", r.f, r.a, r.b) << r.f << r.a << r.b << hex(r.code) << r.back;
    }
}

void TestFarrantNordicKeyCodec::encodeEveryFunction()
{
    QFETCH(int, function);
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(QByteArray, code);
    QFETCH(int, readsAs);

    const KKeyCode untouched(0x5A, 0x5A, 0x5A, 0x5A);
    KKeyCode out = untouched;
    const bool ok = FarrantNordicKeyCodec::encode(function, a, b, &out);
    QCOMPARE(ok, !code.isEmpty());
    if (!ok) {
        QCOMPARE(codeBytes(out), codeBytes(untouched));
        return;
    }
    QCOMPARE(codeBytes(out).toHex(' '), code.toHex(' '));
    for (DecodeRules rules : {DecodeRules::Root, DecodeRules::KelhamNordic, DecodeRules::Yarrin})
        QCOMPARE(FarrantNordicKeyCodec::decode(out, 0, rules), readsAs);
}

// Codes shared by several functions read back by the entry they sit at.
void TestFarrantNordicKeyCodec::decodeByEntry_data()
{
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<DecodeRules>("rules");
    QTest::addColumn<int>("entry");
    QTest::addColumn<int>("function");

    const QByteArray back = hex("03000800"), forward = hex("03001000"), roller = hex("FFFFFFFF");
    const DecodeRules root = DecodeRules::Root, kn = DecodeRules::KelhamNordic, yarrin = DecodeRules::Yarrin;
    struct Row { const char* name; QByteArray code; DecodeRules rules; int entry; int function; };
    const Row rows[] = {
        {"root back at 0x618", back, root, 6, 15},      {"root back at 0x620", back, root, 8, 17},
        {"root back elsewhere", back, root, 3, 13},     {"root forward at 0x614", forward, root, 5, 14},
        {"root forward at 0x61C", forward, root, 7, 16}, {"root forward elsewhere", forward, root, 0, 12},
        {"kn back at 0x618", back, kn, 6, 13},          {"kn back at 0x620", back, kn, 8, 17},
        {"kn forward at 0x614", forward, kn, 5, 12},    {"kn forward at 0x61C", forward, kn, 7, 16},
        {"yarrin back at 0x614", back, yarrin, 5, 15},  {"yarrin back at 0x618", back, yarrin, 6, 13},
        {"yarrin forward at 0x60C", forward, yarrin, 3, 14}, {"yarrin forward at 0x61C", forward, yarrin, 7, 12},
        {"roller at 0x624", roller, root, 9, 37},       {"roller at 0x628", roller, yarrin, 10, 38},
        {"roller elsewhere", roller, kn, 4, 0},
        {"three FF bytes", hex("FFFFFF00"), root, 9, 0},
        {"left with parameter 2", hex("03000102"), root, 0, 0},
        {"right whatever parameter", hex("030002AA"), root, 0, 11},
        {"consumer by its usage only", hex("04007783"), root, 0, 18},
        {"fire as a special key", hex("09000200"), root, 0, 27},
        {"unknown DPI code", hex("08000700"), root, 0, 0},
        {"combination without a mask", hex("02000004"), root, 0, 0},
        {"mask over 15", hex("02001104"), root, 0, 0},
        {"Alt with another key", hex("02000405"), root, 0, 34},
        {"Win with another key", hex("02000805"), root, 0, 35},
        {"unknown type", hex("0A000100"), root, 0, 0},
    };
    for (const Row& r : rows)
        QTest::newRow(r.name) << r.code << r.rules << r.entry << r.function;
}

void TestFarrantNordicKeyCodec::decodeByEntry()
{
    QFETCH(QByteArray, code);
    QFETCH(DecodeRules, rules);
    QFETCH(int, entry);
    QFETCH(int, function);
    QCOMPARE(FarrantNordicKeyCodec::decode(codeOf(code), entry, rules), function);
}

// What "Null" gives back to a key on each line; key 6 (DPI-) differs most between the lines.
void TestFarrantNordicKeyCodec::defaults_data()
{
    QTest::addColumn<KeyLine>("line");
    QTest::addColumn<int>("key");
    QTest::addColumn<QByteArray>("code");

    QTest::newRow("root key 6") << KeyLine::Root << 6 << hex("08000600");
    QTest::newRow("farrant key 6") << KeyLine::Farrant << 6 << hex("08000600");
    QTest::newRow("kelham nordic key 6") << KeyLine::KelhamNordic << 6 << hex("00000000");
    QTest::newRow("kelham key 6") << KeyLine::Kelham << 6 << hex("03000101");
    QTest::newRow("yarrin key 6") << KeyLine::Yarrin << 6 << hex("08000600");
    QTest::newRow("kelham nordic key 9 fires") << KeyLine::KelhamNordic << 9 << hex("03000101");
    QTest::newRow("kelham key 5 cycles") << KeyLine::Kelham << 5 << hex("08000300");
    QTest::newRow("yarrin key 3 forward") << KeyLine::Yarrin << 3 << hex("03001000");
    QTest::newRow("yarrin key 9 none") << KeyLine::Yarrin << 9 << hex("00000000");
    QTest::newRow("root key 3 none") << KeyLine::Root << 3 << hex("00000000");
    QTest::newRow("key outside the buttons") << KeyLine::Root << 40 << hex("00000000");
}

void TestFarrantNordicKeyCodec::defaults()
{
    QFETCH(KeyLine, line);
    QFETCH(int, key);
    QFETCH(QByteArray, code);
    QCOMPARE(codeBytes(FarrantNordicKeyCodec::defaultCode(line, key)).toHex(' '), code.toHex(' '));
}

void TestFarrantNordicKeyCodec::keyOrders()
{
    // The root's table of defaults is the configuration image's first 44 bytes.
    QCOMPARE(FarrantNordicKeyCodec::defaultTable(KeyLine::Root).toHex(' '),
             hex("03000100 03000400 03000200 08000500 08000600 03001000 03000800 03001000 03000800 "
                 "FFFFFFFF FFFFFFFF").toHex(' '));
    QCOMPARE(FarrantNordicKeyCodec::entryOfKey(KeyLine::Root, 0), 0);
    QCOMPARE(FarrantNordicKeyCodec::entryOfKey(KeyLine::Root, 1), 2);
    QCOMPARE(FarrantNordicKeyCodec::entryOfKey(KeyLine::Root, 3), -1);
    QCOMPARE(FarrantNordicKeyCodec::entryOfKey(KeyLine::Root, 13), -1);
    QCOMPARE(FarrantNordicKeyCodec::entryOfKey(KeyLine::Yarrin, 3), 0);
    QCOMPARE(FarrantNordicKeyCodec::entryOfKey(KeyLine::Yarrin, 0), 4);
    QCOMPARE(FarrantNordicKeyCodec::entryOfKey(KeyLine::Yarrin, 9), -1);
    QCOMPARE(FarrantNordicKeyCodec::entryAddress(10), quint32(0x628));

    // On the root and Yarrin lines every default reads back as itself at its own entry.
    for (KeyLine line : {KeyLine::Root, KeyLine::Yarrin}) {
        const KeyLineRules& rules = FarrantNordicKeyCodec::rules(line);
        const QByteArray table = FarrantNordicKeyCodec::defaultTable(line);
        for (int entry = 0; entry < kKeyTableEntries; ++entry) {
            const int key = rules.keyOrder[entry];
            QCOMPARE(FarrantNordicKeyCodec::decode(codeOf(table.mid(4 * entry, 4)), entry, rules.decode),
                     FarrantNordicKeyCodec::defaultFunction(line, key));
        }
    }
}

void TestFarrantNordicKeyCodec::macroSlots()
{
    const int expected[][2] = {{0, 0}, {2, 1}, {1, 2}, {7, 3}, {8, 4}, {9, 5}, {10, 6}, {11, 7}, {12, 8},
                               {5, 9}, {6, 10}, {3, -1}, {4, -1}, {13, -1}, {-1, -1}, {40, -1}};
    for (const auto& e : expected)
        QCOMPARE(macroSlotOfKey(e[0]), e[1]);

    QCOMPARE(macroPageAddress(0), quint32(0x1000));
    QCOMPARE(macroPageAddress(3), quint32(0x4000));
    QCOMPARE(macroPageAddress(10), quint32(0xB000));
    QCOMPARE(macroPageAddress(1000), quint32(0x10000));
    QCOMPARE(macroPageAddress(1003), quint32(0x13000));
    for (int slot : {-1, 11, 500, 999, 1004, 2000}) {
        QVERIFY2(!isMacroSlot(slot), qPrintable(QString::number(slot)));
        QCOMPARE(macroPageAddress(slot), quint32(0));
    }
}

void TestFarrantNordicKeyCodec::recordGolden_data()
{
    QTest::addColumn<int>("playType");
    QTest::addColumn<int>("repeat");
    QTest::addColumn<QVector<KMacroItem>>("list");
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QList<SimMacroEvent>>("events");

    QTest::newRow("press, 50 ms, release while held")
        << 3 << 0 << QVector<KMacroItem>{key(0x04, false), delay(50), key(0x04, true)}
        << hex("0A00FFFF 650004 000004")
        << QList<SimMacroEvent>{Event::key(0x04, true, 50), Event::key(0x04, false)};
    QTest::newRow("keys, buttons and moves, 3 times")
        << 1 << 3
        << QVector<KMacroItem>{button(1, false), delay(10), move(5, -3), delay(20), key(0x2C, false),
                               key(0x2C, true), button(1, true), button(3, false), button(3, true),
                               button(2, false), button(2, true)}
        << hex("22000300 1500F0 2900F7000503 01002C 00002C 0000F0 0100F1 0000F1 0100F2 0000F2")
        << QList<SimMacroEvent>{Event::mouseButton(1, true, 10), Event::move(5, -3, 20), Event::key(0x2C, true),
                                Event::key(0x2C, false), Event::mouseButton(1, false),
                                Event::mouseButton(3, true), Event::mouseButton(3, false),
                                Event::mouseButton(2, true), Event::mouseButton(2, false)};
    QTest::newRow("ends on a move, until pressed again")
        << 2 << 0 << QVector<KMacroItem>{key(0x05, false), move(-1, 2), move(0, 0)}
        << hex("0D00FEFF 010005 0300F7FFFFFE")
        << QList<SimMacroEvent>{Event::key(0x05, true), Event::move(-1, 2, 1)};
    QTest::newRow("empty list") << 1 << 1 << QVector<KMacroItem>{} << hex("04000100") << QList<SimMacroEvent>{};
}

void TestFarrantNordicKeyCodec::recordGolden()
{
    QFETCH(int, playType);
    QFETCH(int, repeat);
    QFETCH(QVector<KMacroItem>, list);
    QFETCH(QList<SimMacroEvent>, events);

    const QByteArray record = FarrantNordicMacroRecord::encode(false, playType, list, repeat);
    QCOMPARE(record.size(), FarrantNordicMacroRecord::encodedSize(list));
    const SimMacroRecord decoded = decodeRecord(record);
    QVERIFY2(decoded.valid, qPrintable(decoded.toString()));
    QCOMPARE(decoded.endOffset, record.size());
    QCOMPARE(decoded.playType, playType);
    if (playType == MacroPlayCycles)
        QCOMPARE(decoded.repeatCount, repeat);
    QCOMPARE(decoded.events, events);
    QTEST(record, "record");
}

// Delays before the first event have nothing to wait after; delays in a row add up; ignored delays wait 2 ms.
void TestFarrantNordicKeyCodec::recordDelays_data()
{
    QTest::addColumn<bool>("ignoreDelay");
    QTest::addColumn<QVector<KMacroItem>>("list");
    QTest::addColumn<QList<SimMacroEvent>>("events");

    QTest::newRow("leading delays dropped")
        << false << QVector<KMacroItem>{delay(300), delay(40), key(0x04, false), key(0x04, true)}
        << QList<SimMacroEvent>{Event::key(0x04, true), Event::key(0x04, false)};
    QTest::newRow("delays in a row add up")
        << false << QVector<KMacroItem>{key(0x04, false), delay(30), delay(45), key(0x04, true), delay(5)}
        << QList<SimMacroEvent>{Event::key(0x04, true, 75), Event::key(0x04, false, 5)};
    QTest::newRow("the sum stops at the longest wait")
        << false << QVector<KMacroItem>{key(0x04, true), delay(30000), delay(30000)}
        << QList<SimMacroEvent>{Event::key(0x04, false, 32767)};
    QTest::newRow("one long delay") << false << QVector<KMacroItem>{key(0x04, false), delay(99999)}
                                    << QList<SimMacroEvent>{Event::key(0x04, true, 32767)};
    QTest::newRow("negative delay") << false << QVector<KMacroItem>{key(0x04, false), delay(-20)}
                                    << QList<SimMacroEvent>{Event::key(0x04, true, 0)};
    QTest::newRow("ignored delays") << true << QVector<KMacroItem>{key(0x04, false), delay(500), key(0x04, true)}
                                    << QList<SimMacroEvent>{Event::key(0x04, true, 2), Event::key(0x04, false)};
}

void TestFarrantNordicKeyCodec::recordDelays()
{
    QFETCH(bool, ignoreDelay);
    QFETCH(QVector<KMacroItem>, list);
    QFETCH(QList<SimMacroEvent>, events);

    const QByteArray record = FarrantNordicMacroRecord::encode(ignoreDelay, MacroPlayCycles, list, 1);
    const SimMacroRecord decoded = decodeRecord(record);
    QVERIFY2(decoded.valid, qPrintable(decoded.toString()));
    QCOMPARE(decoded.repeatCount, 1);  // the header is never touched by a delay
    QCOMPARE(decoded.events, events);
}

void TestFarrantNordicKeyCodec::recordClamps()
{
    // Repeat counts stop short of the two play-type marks.
    for (int count : {0xFFFE, 0xFFFF, 70000}) {
        const SimMacroRecord r = decodeRecord(FarrantNordicMacroRecord::encode(false, MacroPlayCycles, {}, count));
        QCOMPARE(r.playType, int(SimMacroRecord::RepeatCount));
        QCOMPARE(r.repeatCount, 0xFFFD);
    }
    QCOMPARE(decodeRecord(FarrantNordicMacroRecord::encode(false, MacroPlayCycles, {}, -5)).repeatCount, 0);

    // Moves beyond 12 bits stop at the edge instead of wrapping to the other side.
    const SimMacroRecord r = decodeRecord(FarrantNordicMacroRecord::encode(
        false, MacroPlayCycles, {move(5000, -5000), move(-3000, 4000), move(2047, -2048)}, 1));
    QVERIFY2(r.valid, qPrintable(r.toString()));
    QCOMPARE(r.events, (QList<SimMacroEvent>{Event::move(2047, -2047), Event::move(-2048, 2048),
                                              Event::move(2047, -2047, 1)}));
}

void TestFarrantNordicKeyCodec::recordRefused_data()
{
    QTest::addColumn<int>("playType");
    QTest::addColumn<QVector<KMacroItem>>("list");
    QTest::addColumn<bool>("fits");

    QVector<KMacroItem> full;  // 1364 key events: exactly one page
    for (int i = 0; i < 682; ++i)
        full << key(0x04, false) << key(0x04, true);
    QTest::newRow("a full page") << 1 << full << true;
    QVector<KMacroItem> over = full;
    over << key(0x05, false);
    QTest::newRow("one event over") << 1 << over << false;
    QVector<KMacroItem> moves(683, move(1, 1));  // 4 + 683 * 6 > 4096
    QTest::newRow("moves over") << 1 << moves << false;
    QTest::newRow("play type 0") << 0 << QVector<KMacroItem>{key(4, false)} << false;
    QTest::newRow("play type 4") << 4 << QVector<KMacroItem>{key(4, false)} << false;
    QTest::newRow("usage over a byte") << 1 << QVector<KMacroItem>{key(0x104, false)} << false;
    QTest::newRow("event type 7") << 1 << QVector<KMacroItem>{KMacroItem(7, 1, 0, false, QString())} << false;
}

void TestFarrantNordicKeyCodec::recordRefused()
{
    QFETCH(int, playType);
    QFETCH(QVector<KMacroItem>, list);
    QFETCH(bool, fits);
    const QByteArray record = FarrantNordicMacroRecord::encode(false, playType, list, 1);
    QCOMPARE(!record.isEmpty(), fits);
    if (fits)
        QCOMPARE(record.size(), FarrantNordicMacroRecord::kRecordSize);
}

QTEST_GUILESS_MAIN(TestFarrantNordicKeyCodec)
#include "tst_farrantnordickeycodec.moc"
