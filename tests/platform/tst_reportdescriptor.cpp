#include "DescriptorFixture.h"
#include "platform/hid/ReportDescriptor.h"

#include <QFile>
#include <QRandomGenerator>
#include <QtTest>

using KHID::HidTopLevelCollection;
using KHID::ReportDescriptor;

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text));
}

// "page/usage in/out/feature in[input ids] fv[id:bits*count ...]" of one collection.
QString summary(const HidTopLevelCollection& c)
{
    QStringList ids;
    for (quint8 id : c.inputReportIds)
        ids << QString::number(id);
    QStringList caps;
    for (const KHID::HidValueCaps& v : c.featureValueCaps)
        caps << QStringLiteral("%1:%2*%3").arg(v.reportId).arg(v.bitSize).arg(v.reportCount);
    return QStringLiteral("%1/%2 %3/%4/%5 in[%6] fv[%7]")
        .arg(c.caps.usagePage, 4, 16, QLatin1Char('0'))
        .arg(c.caps.usage, 4, 16, QLatin1Char('0'))
        .arg(c.caps.inputReportByteLength)
        .arg(c.caps.outputReportByteLength)
        .arg(c.caps.featureReportByteLength)
        .arg(ids.join(QLatin1Char(',')))
        .arg(caps.join(QLatin1Char(' ')));
}

QByteArray nested(int depth)
{
    QByteArray d = hex("06 00 FF 09 01");
    for (int i = 0; i < depth; ++i)
        d += hex("A1 02");
    d += hex("75 08 95 01 81 02");
    for (int i = 0; i < depth; ++i)
        d += hex("C0");
    return d;
}

} // namespace

class TestReportDescriptor : public QObject
{
    Q_OBJECT
private slots:
    void collections_data()
    {
        QTest::addColumn<QByteArray>("descriptor");
        QTest::addColumn<bool>("usesIds");
        QTest::addColumn<QStringList>("expected");

        // Vendor collection, report id 4, 64-byte reports both ways: the +1 for the id byte gives 65.
        QTest::newRow("vendor id 4")
            << hex("06 00 FF 09 01 A1 01 85 04 15 00 26 FF 00 75 08 95 40 09 02 81 02 09 03 91 02 C0") << true
            << QStringList{"ff00/0001 65/65/0 in[4] fv[]"};
        QTest::newRow("two application collections")
            << fixture("vendor-two-collections.bin") << true
            << QStringList{"ff00/0001 65/65/8 in[4] fv[4:8*7]", "000c/0001 3/0/0 in[2] fv[]"};
        // No report ids: lengths still count the id byte, and the ids are 0.
        QTest::newRow("boot keyboard") << fixture("boot-keyboard.bin") << false
                                       << QStringList{"0001/0006 9/2/0 in[0] fv[]"};
        // The nested physical collection stays inside the mouse collection.
        QTest::newRow("boot mouse") << fixture("boot-mouse.bin") << false
                                    << QStringList{"0001/0002 4/0/0 in[0] fv[]"};
        // One-bit feature fields are no value capabilities, so the interface's report id stays 0.
        QTest::newRow("one-bit features")
            << hex("06 00 FF 09 01 A1 01 15 00 25 01 75 01 95 08 09 02 B1 02 95 05 B1 01 C0") << false
            << QStringList{"ff00/0001 0/0/3 in[] fv[]"};
        // A logical collection inside an application collection is part of it, not a second interface.
        QTest::newRow("nested logical")
            << hex("06 00 FF 09 01 A1 01 85 07 09 02 A1 02 75 08 95 10 09 03 B1 02 C0 95 03 09 04 81 02 C0")
            << true << QStringList{"ff00/0001 4/0/17 in[7] fv[7:8*16]"};
        // 32-bit usages carry their own page; the global page does not apply to them.
        QTest::newRow("extended usages")
            << hex("05 01 0B 01 00 00 FF A1 01 85 03 0B 02 00 0C 00 75 10 95 02 B1 02 C0") << true
            << QStringList{"ff00/0001 0/0/5 in[] fv[3:16*2]"};
        // The page declared after the collection's usage still qualifies it; a usage that already has the
        // page in force ends the look back, and a usage with its own page keeps it.
        QTest::newRow("usage page after usage")
            << hex("09 01 06 00 FF A1 01 85 05 09 02 05 0C 09 03 0B 04 00 01 00 75 08 95 03 B1 02 C0") << true
            << QStringList{"ff00/0001 0/0/4 in[] fv[5:8*3]"};
        // Push/pop restores the report id and sizes; padding (constant) counts toward the length.
        QTest::newRow("push pop and padding")
            << hex("06 00 FF 09 01 A1 01 85 01 75 08 95 02 A4 85 02 95 06 09 02 81 02 B4 09 03 81 02 75 04 95 01 81 01 C0")
            << true << QStringList{"ff00/0001 7/0/0 in[1,2] fv[]"};
        QTest::newRow("items outside collections ignored")
            << hex("75 08 95 04 81 02 06 00 FF 09 01 A1 01 75 08 95 02 09 01 91 02 C0") << false
            << QStringList{"ff00/0001 0/3/0 in[] fv[]"};
    }

    void collections()
    {
        QFETCH(QByteArray, descriptor);
        QFETCH(bool, usesIds);
        QFETCH(QStringList, expected);

        const ReportDescriptor parsed = ReportDescriptor::parse(descriptor);
        QVERIFY2(parsed.isValid(), qPrintable(parsed.errorString()));
        QCOMPARE(parsed.usesReportIds(), usesIds);
        QStringList got;
        for (const HidTopLevelCollection& c : parsed.collections())
            got << summary(c);
        QCOMPARE(got, expected);
    }

    void valueCapsDescribeTheField()
    {
        const ReportDescriptor parsed = ReportDescriptor::parse(fixture("vendor-two-collections.bin"));
        QVERIFY(parsed.isValid());
        const HidTopLevelCollection& vendor = parsed.collections().first();
        QCOMPARE(vendor.caps.numberFeatureValueCaps, quint16(1));
        QCOMPARE(vendor.caps.numberInputValueCaps, quint16(1));
        const KHID::HidValueCaps cap = vendor.featureValueCaps.first();
        QCOMPARE(cap.usagePage, quint16(0xFF00));
        QCOMPARE(cap.usageMin, quint16(4));
        QCOMPARE(cap.logicalMin, 0);
        QCOMPARE(cap.logicalMax, 255);
        QCOMPARE(parsed.collections().at(1).caps.numberInputButtonCaps, quint16(1));
    }

    // Generic desktop X and Y, then a page change for a throttle in the same item: X and Y keep their page,
    // the throttle takes the one declared after it.
    void usagePagePerUsage()
    {
        const ReportDescriptor parsed = ReportDescriptor::parse(
            hex("05 01 09 04 A1 01 85 02 09 30 09 31 05 02 09 BB 15 00 26 FF 00 75 08 95 03 B1 02 C0"));
        QVERIFY2(parsed.isValid(), qPrintable(parsed.errorString()));
        const KHID::HidValueCaps cap = parsed.collections().first().featureValueCaps.first();
        QCOMPARE(cap.usagePage, quint16(0x0001));
        QCOMPARE(cap.usageMin, quint16(0x30));
        QCOMPARE(cap.usageMax, quint16(0xBB));
    }

    void malformedIsRejected_data()
    {
        QTest::addColumn<QByteArray>("descriptor");

        const QByteArray keyboard = fixture("boot-keyboard.bin");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("truncated item") << keyboard.left(keyboard.size() - 2);
        QTest::newRow("truncated data") << hex("06 00 FF 09 01 A1 01 26 FF");
        QTest::newRow("truncated long item") << hex("06 00 FF 09 01 A1 01 FE 20 01 00 C0");
        QTest::newRow("collection not closed") << hex("05 01 09 06 A1 01 75 08 95 01 81 02");
        QTest::newRow("unbalanced end") << hex("05 01 09 06 A1 01 C0 C0");
        QTest::newRow("too deep") << nested(ReportDescriptor::kMaxCollectionDepth + 1);
        QByteArray oversized = keyboard;
        while (oversized.size() <= ReportDescriptor::kMaxDescriptorBytes)
            oversized.prepend(hex("05 01"));
        QTest::newRow("oversized") << oversized;
        QTest::newRow("report too large") << hex("06 00 FF 09 01 A1 01 76 00 01 96 00 10 81 02 C0");
        QTest::newRow("report size out of range") << hex("06 00 FF 09 01 A1 01 76 01 01 95 01 81 02 C0");
        QTest::newRow("report id 0") << hex("06 00 FF 09 01 A1 01 85 00 75 08 95 01 81 02 C0");
        QTest::newRow("pop without push") << hex("06 00 FF 09 01 A1 01 B4 C0");
        QByteArray pushes = hex("06 00 FF 09 01 A1 01");
        for (int i = 0; i <= ReportDescriptor::kMaxGlobalStackDepth; ++i)
            pushes += hex("A4");
        QTest::newRow("global stack overflow") << pushes + hex("C0");
        QTest::newRow("reserved item type") << hex("06 00 FF 09 01 A1 01 0D C0");
        QTest::newRow("no collection") << hex("05 01 09 06");
    }

    void malformedIsRejected()
    {
        QFETCH(QByteArray, descriptor);
        const ReportDescriptor parsed = ReportDescriptor::parse(descriptor);
        QVERIFY(!parsed.isValid());
        QVERIFY(parsed.collections().isEmpty());
        QVERIFY(!parsed.errorString().isEmpty());
    }

    void depthAtTheLimitIsAccepted()
    {
        QVERIFY(ReportDescriptor::parse(nested(ReportDescriptor::kMaxCollectionDepth)).isValid());
    }

    // Random bytes must never crash the parser or yield impossible lengths.
    void arbitraryBytesAreSafe()
    {
        QRandomGenerator rng(20240611);
        const QByteArray keyboard = fixture("boot-keyboard.bin");
        for (int round = 0; round < 3000; ++round) {
            QByteArray bytes = keyboard;
            const int flips = 1 + rng.bounded(6);
            for (int i = 0; i < flips; ++i)
                bytes[rng.bounded(bytes.size())] = char(rng.bounded(256));
            if (round % 3 == 0) {
                bytes.resize(rng.bounded(200));
                for (char& b : bytes)
                    b = char(rng.bounded(256));
            }
            const ReportDescriptor parsed = ReportDescriptor::parse(bytes);
            for (const HidTopLevelCollection& c : parsed.collections()) {
                QVERIFY(c.caps.inputReportByteLength <= ReportDescriptor::kMaxReportBytes + 1);
                QVERIFY(c.caps.featureReportByteLength <= ReportDescriptor::kMaxReportBytes + 1);
            }
        }
    }
};

QTEST_APPLESS_MAIN(TestReportDescriptor)
#include "tst_reportdescriptor.moc"
