// The simulated two-collection mouse is the oracle the driver's tests run against, so it is checked here on its
// own: through the real HID layer on the simulated bus where the USB side matters, directly where only its
// decoding does.

#include "SimBusFixture.h"

#include "common/DeviceIds.h"
#include "hid/khid/KUSBDevice.h"
#include "sim/mouse/twocollection/SimTwoCollectionMouse.h"
#include "sim/mouse/twocollection/SimTwoCollectionTables.h"

#include <QtTest>

#include <memory>

using Sim = SimTwoCollectionMouse;

namespace {

// The host ends of the two collections, as a driver holds them.
struct Link {
    KHID::KUSBDevice command;
    KHID::KUSBDevice data;

    bool open(quint16 pid)
    {
        return command.initDevice(DeviceIds::kVendorId, pid, 1, 0xFF00, quint16(6))
            && data.initDevice(DeviceIds::kVendorId, pid, 1, 0xFF00, quint16(0x408));
    }
    bool send(quint8 cmd, quint8 sub = 0)
    {
        const quint8 payload[2] = {cmd, sub};
        return command.sendFeature(quint8(5), payload, 2);
    }
    QByteArray answer()
    {
        QByteArray buffer(0x408, '\0');
        if (!data.readFeature(quint8(6), reinterpret_cast<quint8*>(buffer.data()), quint32(buffer.size())))
            return QByteArray();
        return buffer;
    }
    bool block(quint8 cmd, quint8 address, int length, const QByteArray& bytes)
    {
        QByteArray payload(0x407, '\0');
        payload[0] = char(cmd);
        payload[1] = char(address);
        payload[2] = char(length & 0xFF);
        payload[3] = char(length >> 8);
        payload.replace(7, bytes.size(), bytes);
        return data.sendFeature(quint8(6), reinterpret_cast<const quint8*>(payload.constData()),
                                quint32(payload.size()));
    }
};

QByteArray items(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

} // namespace

Q_DECLARE_METATYPE(QList<SimTwoCollectionMouse::Event>)

class TestSimTwoCollectionMouse : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_bus = std::make_unique<SimBusFixture>(); }
    void cleanup() { m_bus.reset(); }

    void factoryImagesPassTheirModelsTest_data();
    void factoryImagesPassTheirModelsTest();
    void collectionsAndAnswers();
    void imageWritesAreChecked();
    void macroRecordsDecode_data();
    void macroRecordsDecode();
    void keyCodesDecode_data();
    void keyCodesDecode();
    void pictureAndFaults();

private:
    std::unique_ptr<SimBusFixture> m_bus;
};

void TestSimTwoCollectionMouse::factoryImagesPassTheirModelsTest_data()
{
    QTest::addColumn<int>("pid");
    QTest::addColumn<int>("sign");
    for (const SimTwoCollection::Model& model : SimTwoCollection::kModels) {
        const QByteArray name = DeviceIds::find(model.pid)->typeName;
        QTest::newRow((name + " adds").constData()) << int(model.pid) << 0;
        QTest::newRow((name + " subtracts").constData()) << int(model.pid) << 1;
    }
}

void TestSimTwoCollectionMouse::factoryImagesPassTheirModelsTest()
{
    QFETCH(int, pid);
    QFETCH(int, sign);
    const QByteArray image = Sim::factoryImage(quint16(pid), sign);
    QCOMPARE(image.size(), 1024);
    QCOMPARE(int(quint8(image.at(476))), sign);
    QVERIFY(Sim::firstHalfPasses(image, quint16(pid)));
    QVERIFY(Sim::secondChecksumHolds(image));
    // A changed first-half byte breaks the test; a changed second-half byte breaks the second checksum.
    QByteArray broken = image;
    broken[40] = char(broken.at(40) + 1);
    QVERIFY(!Sim::firstHalfPasses(broken, quint16(pid)));
    broken = image;
    broken[300] = char(broken.at(300) + 1);
    QVERIFY(!Sim::secondChecksumHolds(broken));
    // Another model's constants do not accept it (the unchecked models share the root's).
    if (pid != DeviceIds::kSelwin)
        QVERIFY(!Sim::firstHalfPasses(image, DeviceIds::kSelwin));
}

void TestSimTwoCollectionMouse::collectionsAndAnswers()
{
    Sim mouse(DeviceIds::kEdris);
    QVERIFY(mouse.plug(m_bus->bus()));
    Link link;
    QVERIFY(link.open(DeviceIds::kEdris));
    QCOMPARE(int(link.command.deviceDetail().capabilities.featureReportByteLength), 6);
    QCOMPARE(int(link.data.deviceDetail().capabilities.featureReportByteLength), 0x408);

    // Profile read: the whole image from byte 8, the command echoed.
    QVERIFY(link.send(0x83));
    QByteArray answer = link.answer();
    QCOMPARE(answer.size(), 0x408);
    QCOMPARE(int(quint8(answer.at(0))), 6);
    QCOMPARE(int(quint8(answer.at(1))), 0x83);
    QCOMPARE(answer.mid(8, 1024), mouse.image());

    // Status: byte 7 is the busy flag, the status bytes from byte 2.
    mouse.setStatus(items({0, 3}));
    mouse.setBusy(true);
    QVERIFY(link.send(0x82));
    answer = link.answer();
    QCOMPARE(int(quint8(answer.at(1))), 0x82);
    QCOMPARE(int(quint8(answer.at(3))), 3);
    QCOMPARE(int(quint8(answer.at(7))), 1);

    // A corrupted echo and a failing transfer.
    mouse.corruptAnswer(0x83, 1, 0x84);
    QVERIFY(link.send(0x83));
    QCOMPARE(int(quint8(link.answer().at(1))), 0x84);
    mouse.clearFaults();
    mouse.failTransfer(1);
    QVERIFY(link.send(0x83));
    QVERIFY(link.answer().isEmpty());
    QCOMPARE(mouse.commands().size(), 4);

    // A mouse without its data collection enumerates the command collection only.
    mouse.unplug();
    QVERIFY(mouse.plug(m_bus->bus(), false));
    Link partial;
    QVERIFY(partial.command.initDevice(DeviceIds::kVendorId, DeviceIds::kEdris, 1, 0xFF00, quint16(6)));
    QVERIFY(!partial.data.initDevice(DeviceIds::kVendorId, DeviceIds::kEdris, 1, 0xFF00, quint16(0x408)));
}

void TestSimTwoCollectionMouse::imageWritesAreChecked()
{
    Sim mouse(DeviceIds::kVarlo);
    QVERIFY(mouse.plug(m_bus->bus()));
    Link link;
    QVERIFY(link.open(DeviceIds::kVarlo));

    // A sound write: the second half changed, the second checksum recomputed.
    QByteArray image = mouse.image();
    image[242] = 1;
    Sim::seal(image, DeviceIds::kVarlo, 0);
    QVERIFY(link.block(3, 0, 0x200, image.left(504)));
    QCOMPARE(mouse.reportRate(), 1);
    QCOMPARE(mouse.imageWrites(), 1);

    // A stale second checksum is refused and changes nothing.
    QByteArray stale = mouse.image();
    stale[242] = 2;
    QVERIFY(!link.block(3, 0, 0x200, stale.left(504)));
    QCOMPARE(mouse.reportRate(), 1);
    QCOMPARE(mouse.refusedWrites(), 1);

    // A model without checksums takes it.
    Sim pembry(DeviceIds::kPembry);
    QVERIFY(pembry.plug(m_bus->bus()));
    Link other;
    QVERIFY(other.open(DeviceIds::kPembry));
    QByteArray unchecked = pembry.image();
    unchecked[242] = 2;
    QVERIFY(other.block(3, 0, 0x200, unchecked.left(504)));
    QCOMPARE(pembry.reportRate(), 2);
}

void TestSimTwoCollectionMouse::macroRecordsDecode_data()
{
    using E = Sim::Event;
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QList<Sim::Event>>("events");
    QTest::addColumn<bool>("terminated");
    auto key = [](int code, bool up, int delay) {
        E e;
        e.kind = E::Key;
        e.code = code;
        e.up = up;
        e.delayMs = delay;
        return e;
    };
    E move;
    move.kind = E::Move;
    move.dx = 5;
    move.dy = 3;
    move.delayMs = 300;
    E button = key(0xF0, false, 1);
    button.kind = E::Button;
    QTest::newRow("press and release") << items({0, 1, 30, 4, 0x81, 4, 0, 0})
                                       << QList<E>{key(4, false, 30), key(4, true, 1)} << true;
    QTest::newRow("long delay") << items({0, 1, 0, 1, 0, 2, 50, 4, 0, 0}) << QList<E>{key(4, false, 250)} << true;
    QTest::newRow("move with time") << items({0, 1, 0, 2, 5, 0xFD, 0, 3, 1, 0x2C, 1, 0xF0, 0, 0})
                                    << QList<E>{move, button} << true;
    QTest::newRow("no end item") << items({0, 1, 30, 4}) << QList<E>{key(4, false, 30)} << false;
}

void TestSimTwoCollectionMouse::macroRecordsDecode()
{
    QFETCH(QByteArray, record);
    QFETCH(QList<Sim::Event>, events);
    QFETCH(bool, terminated);
    const Sim::MacroRecord decoded = Sim::decodeRecord(record, 0x8C);
    QCOMPARE(decoded.repeat, 1);
    QCOMPARE(decoded.terminated, terminated);
    QCOMPARE(decoded.events.size(), events.size());
    for (int i = 0; i < events.size(); ++i)
        QVERIFY2(decoded.events.at(i) == events.at(i), qPrintable(QString::number(i)));
}

void TestSimTwoCollectionMouse::keyCodesDecode_data()
{
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("pid");
    QTest::addColumn<int>("function");
    const int edris = DeviceIds::kEdris, orlan = DeviceIds::kOrlan;
    QTest::newRow("left") << items({1, 0, 0xF0, 0}) << 0 << edris << 9;
    QTest::newRow("wheel forward") << items({4, 0, 1, 0}) << 11 << edris << 37;
    QTest::newRow("custom 2 on key 8") << items({0, 0, 33, 0}) << 8 << edris << 15;
    QTest::newRow("key 4 elsewhere") << items({0, 0, 33, 0}) << 3 << edris << 42;
    QTest::newRow("orlan custom 2") << items({0, 0, 0x5C, 0}) << 8 << orlan << 15;
    QTest::newRow("orlan side wheel") << items({3, 0, 0xEA, 0}) << 9 << orlan << 45;
    QTest::newRow("custom 3 on key 9") << items({8, 0, 3, 0}) << 9 << edris << 16;
    QTest::newRow("orlan mode switch") << items({8, 0, 3, 0}) << 9 << orlan << 43;
    QTest::newRow("macro") << items({9, 2, 0, 0x8C}) << 0 << edris << 29;
    QTest::newRow("ctrl+shift") << items({0, 3, 4, 0}) << 1 << edris << 47;
    QTest::newRow("unknown") << items({0x0D, 0, 3, 0}) << 4 << edris << -2;
}

void TestSimTwoCollectionMouse::keyCodesDecode()
{
    QFETCH(QByteArray, code);
    QFETCH(int, key);
    QFETCH(int, pid);
    QFETCH(int, function);
    QCOMPARE(Sim::decodeKey(code, key, quint16(pid)).function, function);
}

void TestSimTwoCollectionMouse::pictureAndFaults()
{
    Sim mouse(DeviceIds::kEdris);
    QVERIFY(mouse.plug(m_bus->bus()));
    Link link;
    QVERIFY(link.open(DeviceIds::kEdris));
    QByteArray block(1024, '\0');
    block[0] = char(0x80);    // pixel 0,0
    block[511] = 0x01;        // pixel 127,31
    QVERIFY(link.block(5, 0x80, 0x400, block));
    QVERIFY(mouse.pixel(0, 0) && mouse.pixel(127, 31) && !mouse.pixel(1, 0) && !mouse.pixel(0, 1));

    QVERIFY(link.send(0x85, 0x80));
    QByteArray answer = link.answer();
    QCOMPARE(int(quint8(answer.at(2))), 0x80);
    QCOMPARE(answer.mid(8, 1024), block);
    mouse.setPictureReadBackFault(true);
    QVERIFY(link.send(0x85, 0x80));
    QVERIFY(link.answer().mid(8, 1024) != block);

    // A macro block lands at its address, decoded.
    QVERIFY(link.block(4, 0xA4, 0x400, items({0, 2, 10, 4, 0x81, 4, 0, 0})));
    const Sim::MacroRecord record = mouse.macro(0xA4);
    QCOMPARE(record.repeat, 2);
    QCOMPARE(record.events.size(), 2);
    QCOMPARE(record.declaredLength, 0x400);

    // Every transfer from now on fails.
    mouse.clearFaults();
    mouse.failFrom(0);
    QVERIFY(!link.send(0x83));
    QVERIFY(!link.block(5, 0x80, 0x400, block));
}

QTEST_GUILESS_MAIN(TestSimTwoCollectionMouse)
#include "tst_simtwocollectionmouse.moc"
