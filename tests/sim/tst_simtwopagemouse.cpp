// The simulated two-page mouse is the oracle of the two-page family's driver tests, so it is checked here on
// its own, through the real HID layer on the simulated bus, with packets built by hand.

#include "SimBusFixture.h"

#include "common/DeviceIds.h"
#include "hid/khid/KUSBDevice.h"
#include "sim/mouse/twopage/SimTwoPageMouse.h"
#include "sim/mouse/twopage/SimTwoPageTables.h"

#include <QtTest>

#include <memory>

using Mouse = SimTwoPageMouse;

namespace {

QByteArray report(std::initializer_list<int> head)
{
    QByteArray out(SimTwoPage::kReportSize, '\0');
    int i = 0;
    for (int v : head)
        out[i++] = char(v);
    return out;
}

// The host end of the vendor collection.
class Link
{
public:
    bool open(quint16 pid, Mouse::Dialect dialect)
    {
        if (dialect == Mouse::Dialect::Locked)
            return m_device.initDevice(DeviceIds::kVendorId, pid, 0, 0xFF00, QStringLiteral("col04"));
        return m_device.initDevice(DeviceIds::kVendorId, pid, 0, 0xFF00, quint16(0));
    }
    bool write(const QByteArray& bytes)
    {
        KHID::DWORD written = 0;
        return m_device.writeData(reinterpret_cast<const quint8*>(bytes.constData()), quint32(bytes.size()),
                                  &written);
    }
    // One report; empty when none came within the time-out.
    QByteArray read(int timeoutMs = 200)
    {
        QByteArray out(SimTwoPage::kReportSize, '\0');
        KHID::DWORD got = 0;
        if (!m_device.readData(reinterpret_cast<quint8*>(out.data()), quint32(out.size()), &got, timeoutMs))
            return QByteArray();
        return out;
    }
    KHID::KUSBDevice& device() { return m_device; }

private:
    KHID::KUSBDevice m_device;
};

} // namespace

class TestSimTwoPageMouse : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_bus = std::make_unique<SimBusFixture>(); }
    void cleanup()
    {
        m_link.reset();
        m_mouse.reset();
        m_bus.reset();
    }

    void readAndWritePages_data();
    void readAndWritePages();
    void rootMacro();
    void lockedMacro();
    void faults();
    void stageReports();

private:
    void plug(quint16 pid)
    {
        m_mouse = std::make_unique<Mouse>(pid, Mouse::dialectOf(pid));
        QVERIFY(m_mouse->plug(m_bus->bus()));
        m_link = std::make_unique<Link>();
        QVERIFY(m_link->open(pid, m_mouse->dialect()));
        QCOMPARE(m_link->device().deviceDetail().devicePath, m_mouse->commandPath());
    }

    std::unique_ptr<SimBusFixture> m_bus;
    std::unique_ptr<Mouse> m_mouse;
    std::unique_ptr<Link> m_link;
};

void TestSimTwoPageMouse::readAndWritePages_data()
{
    QTest::addColumn<quint16>("pid");
    QTest::addColumn<QList<int>>("dpi");
    QTest::newRow("root") << DeviceIds::kUlverd << QList<int>{400, 800, 1600, 2400, 3200, 4800, 6200};
    QTest::newRow("locked") << DeviceIds::kHarloHollis << QList<int>{400, 800, 1600, 2400, 3200, 4800, 6200};
}

void TestSimTwoPageMouse::readAndWritePages()
{
    QFETCH(quint16, pid);
    QFETCH(QList<int>, dpi);
    plug(pid);
    QCOMPARE(m_mouse->dpiValues(), dpi);
    QCOMPARE(m_mouse->keyEntry(0).function, 9);
    QCOMPARE(m_mouse->keyEntry(3).function, 12);
    QCOMPARE(m_mouse->keyEntry(8).function, -2);  // no entry

    QVERIFY(m_link->write(report({4, 0xA0, 1, 1})));
    const QByteArray page1 = m_link->read();
    const QByteArray page2 = m_link->read();
    QCOMPARE(page1 + page2, m_mouse->image());
    QCOMPARE(m_mouse->readRequests(), 1);

    // A page written back is stored and acknowledged with its number.
    QByteArray changed = page1;
    changed[SimTwoPage::kReportRateByte] = 1;
    changed[SimTwoPage::kDirection1Byte] = 2;
    QVERIFY(m_link->write(changed));
    QCOMPARE(m_link->read().left(4), report({4, 0xA1, 1, 1}).left(4));
    QCOMPARE(m_mouse->reportRate(), 1);
    QCOMPARE(m_mouse->writtenPages(), QList<QByteArray>{changed});

    QByteArray keys = page2;
    keys[SimTwoPage::kFirstKeyByte - 64] = char(0xFC);
    keys[SimTwoPage::kFirstKeyByte - 64 + 1] = 3;
    keys[SimTwoPage::kFirstKeyByte - 64 + 2] = 4;
    keys[SimTwoPage::kFirstKeyByte - 64 + 3] = 0;
    QVERIFY(m_link->write(keys));
    QCOMPARE(m_link->read().left(4), report({4, 0xA1, 2, 1}).left(4));
    const Mouse::KeyEntry left = m_mouse->keyEntry(0);
    QCOMPARE(left.function, 30);
    QCOMPARE(left.mask, 3);
    QCOMPARE(left.usage, 4);
}

void TestSimTwoPageMouse::rootMacro()
{
    plug(DeviceIds::kUlverd);
    // Key A down, 300 ms, key A up, a move left by one: 2 + 3 + 2 + 5 = 12 bytes in one packet.
    const QByteArray events = QByteArray::fromHex("0204" "01012c" "0304" "06ff ff00 00");
    QVERIFY(m_link->write(report({4, 0xAA, 5})));
    QVERIFY(!m_link->read().isEmpty());
    QVERIFY(m_link->write(report({4, 0xA7, 5, 0, events.size() + 36})));
    QCOMPARE(int(m_link->read().at(3)), 1);
    QByteArray data = report({4, 0xA8, 5, 0, 1, 1, events.size() + 31, 1});
    data.replace(38, events.size(), events);
    QVERIFY(m_link->write(data));
    QCOMPARE(int(m_link->read().at(3)), 1);

    const Mouse::Macro macro = m_mouse->macro(5);
    QVERIFY(macro.valid);
    QCOMPARE(macro.events, events);
    QCOMPARE(macro.decoded.size(), 4);
    QCOMPARE(macro.decoded.at(1).kind, Mouse::Event::Delay);
    QCOMPARE(macro.decoded.at(1).value1, 300);
    QCOMPARE(macro.decoded.at(2).up, true);
    QCOMPARE(macro.decoded.at(3).value1, -1);
}

void TestSimTwoPageMouse::lockedMacro()
{
    plug(DeviceIds::kDunmorHollis);
    // Button 1 down with a 500 ms delay after it, button 1 up: two records of five bytes.
    const QByteArray events = QByteArray::fromHex("01f401 0401" "000000 0501");
    QVERIFY(m_link->write(report({4, 0xAA, 3})));
    QVERIFY(!m_link->read().isEmpty());
    QVERIFY(!m_link->read().isEmpty());
    QVERIFY(m_link->write(report({4, 0xA6, 1, 1})));
    QVERIFY(!m_link->read().isEmpty());
    QByteArray data = report({4, 0xA8, 3, 2, 1, 1, events.size() + 31, 1});
    data.replace(38, events.size(), events);
    QVERIFY(m_link->write(data));
    QVERIFY(!m_link->read().isEmpty());
    QCOMPARE(int(m_link->read().at(3)), 1);

    const Mouse::Macro macro = m_mouse->macro(3);
    QVERIFY(macro.valid);
    QCOMPARE(macro.decoded.size(), 2);
    QCOMPARE(macro.decoded.at(0).delay, 500);
    QCOMPARE(macro.decoded.at(0).kind, Mouse::Event::Button);
    QCOMPARE(macro.decoded.at(1).delay, -1);
}

void TestSimTwoPageMouse::faults()
{
    plug(DeviceIds::kUlverd);
    m_mouse->failReport(0);
    QVERIFY(!m_link->write(report({4, 0xA0, 1, 1})));
    m_mouse->dropReplyTo(0);
    QVERIFY(m_link->write(report({4, 0xA0, 1, 1})));
    QVERIFY(m_link->read(50).isEmpty());
    m_mouse->refuseReport(0);
    QVERIFY(m_link->write(report({4, 0xAA, 4})));
    QCOMPARE(int(m_link->read().at(3)), 0);

    // Silent: writes go nowhere, reads time out.
    m_bus->bus()->setNeverAnswer(m_mouse->busDeviceId(), true);
    QVERIFY(m_link->write(report({4, 0xA0, 1, 1})));
    QVERIFY(m_link->read(50).isEmpty());
}

void TestSimTwoPageMouse::stageReports()
{
    plug(DeviceIds::kHarloHollis);
    KHID::KUSBDevice reader;
    QVERIFY(reader.initDevice(DeviceIds::kVendorId, DeviceIds::kHarloHollis, 1, 0xFF00, QStringLiteral("col05")));
    QCOMPARE(reader.deviceDetail().devicePath, m_mouse->interruptPath());
    m_mouse->pushStageReport(800, 2);
    quint8 buffer[64] = {};
    KHID::DWORD got = 0;
    QVERIFY(reader.readData(buffer, sizeof buffer, &got, 1000));
    QCOMPARE(int(buffer[0]), 5);
    QCOMPARE(int(buffer[4]), 0x20);
    QCOMPARE(int(buffer[5]), 0x03);
    QCOMPARE(int(buffer[6]), 2);
    QCOMPARE(m_mouse->dpiStage(), 2);
}

QTEST_GUILESS_MAIN(TestSimTwoPageMouse)
#include "tst_simtwopagemouse.moc"
