#include "devices/keyboard/Quenby8aMacroRecord.h"
#include "models/keys/MacroPlayType.h"

#include <QtTest>

#include <limits>

namespace {

KMacroItem key(int usage, bool up) { return KMacroItem(KMacroItem::KeyboardKey, usage, 0, up, QString()); }
KMacroItem button(int which, bool up) { return KMacroItem(KMacroItem::MouseButton, which, 0, up, QString()); }
KMacroItem delay(int ms) { return KMacroItem(KMacroItem::Delay, ms, 0, false, QString()); }
KMacroItem move(int x, int y) { return KMacroItem(KMacroItem::Pointer, x, y, false, QString()); }

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

} // namespace

class TestQuenbyMacroRecord : public QObject
{
    Q_OBJECT
private slots:
    void encode_data()
    {
        QTest::addColumn<bool>("ignoreDelay");
        QTest::addColumn<int>("playType");
        QTest::addColumn<int>("repeat");
        QTest::addColumn<QVector<KMacroItem>>("events");
        QTest::addColumn<QByteArray>("expected");

        const QVector<KMacroItem> pressA = {key(0x04, false), delay(10), key(0x04, true), delay(40)};
        QTest::newRow("press and release, short delay raised")
            << false << 1 << 3 << pressA << bytes({0x0A, 0, 0x03, 0, 0x33, 0, 0x04, 0x50, 0, 0x04});
        QTest::newRow("ignore delays") << true << 1 << 3 << pressA
                                       << bytes({0x0A, 0, 0x03, 0, 0x33, 0, 0x04, 0x32, 0, 0x04});
        QTest::newRow("toggle") << false << 2 << 3 << QVector<KMacroItem>{key(0x05, false)}
                                << bytes({0x07, 0, 0xFE, 0xFF, 0x01, 0, 0x05});
        QTest::newRow("while held") << false << 3 << 3 << QVector<KMacroItem>{key(0x05, true)}
                                    << bytes({0x07, 0, 0xFF, 0xFF, 0x00, 0, 0x05});
        QTest::newRow("mouse buttons")
            << false << 1 << 1 << QVector<KMacroItem>{button(1, false), button(2, false), button(3, true), button(9, false)}
            << bytes({0x10, 0, 1, 0, 1, 0, 0xF0, 1, 0, 0xF2, 0, 0, 0xF1, 1, 0, 0});
        QTest::newRow("ends on a move")
            << false << 1 << 1 << QVector<KMacroItem>{key(0x04, false), move(5, 3)}
            << bytes({0x0D, 0, 1, 0, 1, 0, 0x04, 0x03, 0, 0xF7, 0x0F, 0x05, 0xFD});
        // Each event goes right after the one before it, whatever came earlier.
        QTest::newRow("key, move, key, key")
            << false << 1 << 1
            << QVector<KMacroItem>{key(0x04, false), move(-1, 0), delay(30), key(0x04, true), key(0x05, false)}
            << bytes({0x13, 0, 1, 0, 1, 0, 0x04, 61, 0, 0xF7, 0xF0, 0xFF, 0x00, 0, 0, 0x04, 1, 0, 0x05});
        QTest::newRow("null move skipped")
            << false << 1 << 1 << QVector<KMacroItem>{key(0x04, false), move(0, 0)}
            << bytes({0x07, 0, 1, 0, 1, 0, 0x04});
        // A pause before the first event has nowhere to go and must not touch the header.
        QTest::newRow("leading delay dropped")
            << false << 1 << 2 << QVector<KMacroItem>{delay(500), key(0x04, false)}
            << bytes({0x07, 0, 2, 0, 1, 0, 0x04});
        QTest::newRow("long delay clamped")
            << false << 1 << 1 << QVector<KMacroItem>{key(0x04, true), delay(40000)}
            << bytes({0x07, 0, 1, 0, 0xFE, 0xFF, 0x04});
        QTest::newRow("repeat below the endless codes")
            << false << 1 << 0xFFFF << QVector<KMacroItem>{key(0x04, true)}
            << bytes({0x07, 0, 0xFD, 0xFF, 0, 0, 0x04});
        QTest::newRow("negative repeat") << false << 1 << -1 << QVector<KMacroItem>{key(0x04, true)}
                                         << bytes({0x07, 0, 0, 0, 0, 0, 0x04});
        QTest::newRow("move clamped to 12 bits")
            << false << 1 << 1 << QVector<KMacroItem>{key(0x04, true), move(3000, 3000)}
            << bytes({0x0D, 0, 1, 0, 0, 0, 0x04, 0x03, 0, 0xF7, 0x78, 0xFF, 0x00});
        // The extremes of a stored value: -INT_MIN does not exist, the move still comes out clamped.
        QTest::newRow("move at the int limits")
            << false << 1 << 1
            << QVector<KMacroItem>{key(0x04, true), move(std::numeric_limits<int>::min(), std::numeric_limits<int>::min())}
            << bytes({0x0D, 0, 1, 0, 0, 0, 0x04, 0x03, 0, 0xF7, 0x87, 0x00, 0xFF});
        QTest::newRow("move below the range")
            << false << 1 << 1 << QVector<KMacroItem>{key(0x04, true), move(-3000, 3000)}
            << bytes({0x0D, 0, 1, 0, 0, 0, 0x04, 0x03, 0, 0xF7, 0x88, 0x00, 0x00});
    }

    void encode()
    {
        QFETCH(bool, ignoreDelay);
        QFETCH(int, playType);
        QFETCH(int, repeat);
        QFETCH(QVector<KMacroItem>, events);
        QFETCH(QByteArray, expected);
        const QByteArray record = Quenby8aMacroRecord::encode(ignoreDelay, playType, events, repeat);
        QCOMPARE(record.toHex(' '), expected.toHex(' '));
    }

    // The RGB model lays events out the same way and packs byte 3 of a move differently: bit 0 set, the
    // vertical high bits folded into bits 1-3, the horizontal high nibble in bits 4-7.
    void encodeFullSizeMoves_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("byte3");
        QTest::newRow("small, sent y negative") << 5 << 3 << 0x0F;
        QTest::newRow("x negative, sent y positive") << -1 << -2 << 0xF1;
        QTest::newRow("both above one byte") << 0x123 << -0x100 << 0x13;
        QTest::newRow("sent y 0x200 folds onto the same bits as 0x100") << 0 << -0x200 << 0x03;
        QTest::newRow("clamped to 12 bits") << 3000 << -3000 << 0x77;
    }
    void encodeFullSizeMoves()
    {
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(int, byte3);
        // Two moves in a row: the second starts where the first ends.
        const QByteArray record = Quenby8aMacroRecord::encode(false, 1, {move(x, y), move(x, y)}, 1,
                                                              Quenby8aKeyCodec::FullSize);
        QCOMPARE(record.size(), 4 + 6 + 6);
        for (int at : {4, 10}) {
            QCOMPARE(quint8(record.at(at + 2)), quint8(0xF7));
            QCOMPARE(int(quint8(record.at(at + 3))), byte3);
        }
        QCOMPARE(record.mid(4, 2), bytes({0, 0}));
        QCOMPARE(record.mid(10, 2), bytes({3, 0}));
        // Apart from byte 3 the wired keyboard's record is the same.
        QByteArray wired = Quenby8aMacroRecord::encode(false, 1, {move(x, y), move(x, y)}, 1);
        wired[7] = record.at(7);
        wired[13] = record.at(13);
        QCOMPARE(wired, record);
    }

    void refused_data()
    {
        QTest::addColumn<int>("playType");
        QTest::addColumn<QVector<KMacroItem>>("events");

        QVector<KMacroItem> longest;  // 169 key events fill 511 bytes
        for (int i = 0; i < 169; ++i)
            longest << key(0x04, i % 2);
        QVector<KMacroItem> tooLong = longest;
        tooLong << key(0x04, true);
        QVector<KMacroItem> maxEvents;  // the layout allows 256 events: as key events they need 772 bytes
        for (int i = 0; i < 256; ++i)
            maxEvents << key(0x04, i % 2) ;
        QVector<KMacroItem> moves;
        for (int i = 0; i < 85; ++i)
            moves << move(1, 1);

        QTest::newRow("170 key events") << 1 << tooLong;
        QTest::newRow("256 key events") << 1 << maxEvents;
        QTest::newRow("85 moves") << 1 << moves;
        QTest::newRow("play type 0") << 0 << QVector<KMacroItem>{key(0x04, false)};
        QTest::newRow("play type 4") << 4 << QVector<KMacroItem>{key(0x04, false)};
        QTest::newRow("usage 256") << 1 << QVector<KMacroItem>{key(0x100, false)};
        QTest::newRow("unknown event type") << 1 << QVector<KMacroItem>{KMacroItem(7, 1, 1, false, QString())};
    }

    void refused()
    {
        QFETCH(int, playType);
        QFETCH(QVector<KMacroItem>, events);
        QVERIFY(Quenby8aMacroRecord::encode(false, playType, events, 1).isEmpty());
    }

    void longestMacroFits()
    {
        QVector<KMacroItem> events;
        for (int i = 0; i < 169; ++i)
            events << key(0x04, i % 2) << delay(100);
        const QByteArray record = Quenby8aMacroRecord::encode(false, 1, events, 1);
        QCOMPARE(record.size(), 511);
        QCOMPARE(quint8(record.at(0)) | quint8(record.at(1)) << 8, 511);
        QCOMPARE(Quenby8aMacroRecord::encodedSize(events), 511);
    }
};

QTEST_GUILESS_MAIN(TestQuenbyMacroRecord)
#include "tst_quenbymacrorecord.moc"
