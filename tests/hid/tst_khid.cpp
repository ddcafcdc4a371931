#include "SimBusFixture.h"
#include "SimRecordingResponder.h"

#include "common/DeviceIds.h"
#include "hid/khid/KBLETools.h"
#include "hid/khid/KByteBuffer.h"
#include "hid/khid/KHidFunctions.h"
#include "hid/khid/KUSBDevice.h"
#include "TestWait.h"

#include <QLoggingCategory>
#include <QtTest>

#include <atomic>
#include <memory>

using namespace KHID;

namespace {

constexpr quint16 kVid = DeviceIds::kVendorId;
constexpr quint16 kPid = DeviceIds::kKeyboardWired;

QStringList g_log;
QtMessageHandler g_previousHandler = nullptr;

void captureLog(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    g_log.append(message);
    Q_UNUSED(type);
    Q_UNUSED(context);
}

// Collects the debug log while it lives.
struct LogCapture {
    LogCapture()
    {
        g_log.clear();
        g_previousHandler = qInstallMessageHandler(captureLog);
    }
    ~LogCapture() { qInstallMessageHandler(g_previousHandler); }
    QStringList lines() const { return g_log; }
};

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

int countOps(const SimTranscript& transcript, SimTransfer::Op op)
{
    return int(std::count_if(transcript.begin(), transcript.end(), [op](const SimTransfer& t) { return t.op == op; }));
}

} // namespace

class TestKhid : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<SimBusFixture> m_bus;
    // Interface 1: collection 1 page ff00 usage 1 (feature 9, id 5), collection 2 the same on page ff01
    // (id 6), collection 3 page ff00 usage 2 without feature reports. Interface 2: page ff00 usage 1
    // (feature 33, id 7).
    std::unique_ptr<SimRecordingResponder> m_vendorPtr, m_vendorAlt, m_small, m_second;
    int m_first = -1;
    int m_other = -1;

    SimBus* bus() const { return m_bus->bus(); }
    SimRecordingResponder& vendor() const { return *m_vendorPtr; }

    // Opens the vendor collection (feature 9, input 65, output 65, report id 5).
    void openVendor(KUSBDevice& device)
    {
        QVERIFY(device.initDevice(kVid, kPid, 0x01, 0xFF00, quint16(9)));
        QCOMPARE(device.deviceDetail().reportId(), quint8(5));
    }

private slots:
    void init()
    {
        m_bus = std::make_unique<SimBusFixture>();
        m_vendorPtr = std::make_unique<SimRecordingResponder>();
        m_vendorAlt = std::make_unique<SimRecordingResponder>();
        m_small = std::make_unique<SimRecordingResponder>();
        m_second = std::make_unique<SimRecordingResponder>();
        m_first = m_bus->plug({SimCollection::make(0xFF00, 0x01, 65, 65, 9, 5),
                               SimCollection::make(0xFF01, 0x01, 65, 65, 9, 6),
                               SimCollection::make(0xFF00, 0x02, 9, 0, 0)},
                              {m_vendorPtr.get(), m_vendorAlt.get(), m_small.get()}, kVid, kPid, 1);
        m_other = m_bus->plug({SimCollection::make(0xFF00, 0x01, 65, 65, 33, 7)}, {m_second.get()}, kVid, kPid, 2);
        bus()->clearTranscript();
    }

    void cleanup() { m_bus.reset(); }   // unplugs before the responders go

    void initDeviceByFeatureLength_data()
    {
        QTest::addColumn<int>("usage");
        QTest::addColumn<int>("usagePage");
        QTest::addColumn<int>("featureLength");
        QTest::addColumn<int>("productId");
        QTest::addColumn<QString>("expectedPath");   // empty: nothing matches

        QTest::newRow("any length, first match wins") << 1 << 0xFF00 << 0 << int(kPid) << "&mi_01&col01#";
        QTest::newRow("exact length") << 1 << 0xFF00 << 33 << int(kPid) << "&mi_02#";
        QTest::newRow("exact length of the first") << 1 << 0xFF00 << 9 << int(kPid) << "&mi_01&col01#";
        QTest::newRow("no such length") << 1 << 0xFF00 << 65 << int(kPid) << "";
        QTest::newRow("other usage page") << 1 << 0xFF01 << 0 << int(kPid) << "&mi_01&col02#";
        QTest::newRow("other usage, no feature") << 2 << 0xFF00 << 0 << int(kPid) << "&mi_01&col03#";
        QTest::newRow("other product") << 1 << 0xFF00 << 0 << int(DeviceIds::kKeyboardWireless) << "";
    }

    void initDeviceByFeatureLength()
    {
        QFETCH(int, usage);
        QFETCH(int, usagePage);
        QFETCH(int, featureLength);
        QFETCH(int, productId);
        QFETCH(QString, expectedPath);

        KUSBDevice device;
        const bool ok = device.initDevice(kVid, quint16(productId), quint16(usage), quint16(usagePage),
                                          quint16(featureLength));
        QCOMPARE(ok, !expectedPath.isEmpty());
        QCOMPARE(device.isOpened(), ok);
        if (ok) {
            QVERIFY2(device.deviceDetail().devicePath.contains(expectedPath), qPrintable(device.deviceDetail().devicePath));
            QCOMPARE(device.deviceDetail().capabilities.usagePage, quint16(usagePage));
        } else {
            QCOMPARE(countOps(bus()->transcript(), SimTransfer::Open), 0);
        }
    }

    void initDeviceByPathPart_data()
    {
        QTest::addColumn<int>("usagePage");
        QTest::addColumn<QString>("pathPart");
        QTest::addColumn<QString>("expectedPath");

        QTest::newRow("collection") << 0xFF01 << "col02" << "&mi_01&col02#";
        QTest::newRow("interface") << 0xFF00 << "mi_02" << "&mi_02#";
        QTest::newRow("path of another usage page") << 0xFF00 << "col02" << "";
        QTest::newRow("case-sensitive") << 0xFF00 << "MI_02" << "";
    }

    void initDeviceByPathPart()
    {
        QFETCH(int, usagePage);
        QFETCH(QString, pathPart);
        QFETCH(QString, expectedPath);

        KUSBDevice device;
        const bool ok = device.initDevice(kVid, kPid, 0x01, quint16(usagePage), pathPart);
        QCOMPARE(ok, !expectedPath.isEmpty());
        if (ok)
            QVERIFY(device.deviceDetail().devicePath.contains(expectedPath));
    }

    void initDeviceRefusedWhileOpened()
    {
        KUSBDevice device;
        openVendor(device);
        const QString path = device.deviceDetail().devicePath;
        bus()->clearTranscript();

        LogCapture log;
        QVERIFY(!device.initDevice(kVid, kPid, 0x01, 0xFF01, quint16(0)));
        QVERIFY(!device.initDevice(kVid, kPid, 0x01, 0xFF01, QStringLiteral("col02")));
        QVERIFY(!device.setDeviceDetail(KHidDetail()));
        QVERIFY(!device.open());
        QCOMPARE(log.lines().count(QStringLiteral("initDevice : Device正在运行，请先停止Device!")), 2);
        QVERIFY(log.lines().contains(QStringLiteral("setDeviceDetail : Device正在运行，请先停止Device")));
        QVERIFY(bus()->transcript().isEmpty());   // neither enumerated nor opened
        QCOMPARE(device.deviceDetail().devicePath, path);

        // Closed, the same object can be pointed at another interface.
        QVERIFY(device.close());
        QCOMPARE(device.writeHandle(), INVALID_HANDLE_VALUE);
        QVERIFY(device.initDevice(kVid, kPid, 0x01, 0xFF01, quint16(0)));
        QCOMPARE(device.deviceDetail().reportId(), quint8(6));
    }

    void interfaceWithoutValueCapsHasReportIdZero()
    {
        KUSBDevice device;
        QVERIFY(device.initDevice(kVid, kPid, 0x02, 0xFF00, quint16(0)));
        QCOMPARE(device.deviceDetail().reportId(), quint8(0));
        QVERIFY(device.deviceDetail().featureValueCaps.isEmpty());
    }

    void sendFeaturePayloadLengths_data()
    {
        QTest::addColumn<bool>("explicitId");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("expectOk");

        for (bool explicitId : {false, true}) {
            const char* form = explicitId ? "explicit id" : "interface id";
            QTest::addRow("%s, empty", form) << explicitId << 0 << false;
            QTest::addRow("%s, one byte", form) << explicitId << 1 << true;
            QTest::addRow("%s, R-1", form) << explicitId << 8 << true;
            QTest::addRow("%s, R", form) << explicitId << 9 << false;
        }
    }

    void sendFeaturePayloadLengths()
    {
        QFETCH(bool, explicitId);
        QFETCH(int, length);
        QFETCH(bool, expectOk);

        KUSBDevice device;
        openVendor(device);
        bus()->clearTranscript();
        const QByteArray payload = bytes({0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19}).left(length);
        const BYTE id = 0x2A;
        const auto* data = reinterpret_cast<const BYTE*>(payload.constData());
        const bool ok = explicitId ? device.sendFeature(id, data, quint32(length)) : device.sendFeature(data, quint32(length));
        QCOMPARE(ok, expectOk);
        if (!expectOk) {
            QVERIFY(bus()->transcript().isEmpty());
            QVERIFY(vendor().features().isEmpty());
            return;
        }
        // Always a whole report: id, payload, zero tail.
        QByteArray expected = QByteArray(1, char(explicitId ? id : 5)) + payload;
        expected.append(QByteArray(9 - expected.size(), '\0'));
        QCOMPARE(vendor().features(), QList<QByteArray>{expected});
        QCOMPARE(bus()->transcript().constLast().bytes, expected);
    }

    void readFeatureLengths_data()
    {
        QTest::addColumn<bool>("explicitId");
        QTest::addColumn<int>("outSize");
        QTest::addColumn<QByteArray>("expected");   // empty: refused

        const QByteArray report = bytes({0x05, 1, 2, 3, 4, 5, 6, 7, 8});
        QTest::newRow("id stripped") << false << 8 << report.mid(1);
        QTest::newRow("id stripped, larger buffer") << false << 32 << report.mid(1);
        QTest::newRow("id stripped, buffer too small") << false << 7 << QByteArray();
        QTest::newRow("id kept") << true << 9 << report;
        QTest::newRow("id kept, buffer too small") << true << 8 << QByteArray();
    }

    void readFeatureLengths()
    {
        QFETCH(bool, explicitId);
        QFETCH(int, outSize);
        QFETCH(QByteArray, expected);

        vendor().setFeatureReply(5, bytes({0x05, 1, 2, 3, 4, 5, 6, 7, 8}));
        KUSBDevice device;
        openVendor(device);

        QByteArray out(64, char(0xEE));
        auto* data = reinterpret_cast<BYTE*>(out.data());
        const bool ok = explicitId ? device.readFeature(BYTE(5), data, quint32(outSize))
                                   : device.readFeature(data, quint32(outSize));
        QCOMPARE(ok, !expected.isEmpty());
        if (ok)
            QCOMPARE(out.left(expected.size()), expected);
        // Nothing beyond the report is touched, and a refused read touches nothing.
        QCOMPARE(out.mid(expected.size()), QByteArray(64 - expected.size(), char(0xEE)));
    }

    void readFeatureFailureCopiesNothing()
    {
        KUSBDevice device;
        openVendor(device);
        QByteArray out(16, char(0xEE));
        // The responder knows no feature report 9: the request fails.
        QVERIFY(!device.readFeature(BYTE(9), reinterpret_cast<BYTE*>(out.data()), 16));
        QCOMPARE(out, QByteArray(16, char(0xEE)));
    }

    void readInputReportClampedToCallerLength_data()
    {
        QTest::addColumn<int>("length");
        QTest::newRow("shorter than the report") << 10;
        QTest::newRow("exactly the report") << 65;
        QTest::newRow("longer than the report") << 100;
    }

    void readInputReportClampedToCallerLength()
    {
        QFETCH(int, length);
        QByteArray report(65, '\0');
        for (int i = 0; i < report.size(); ++i)
            report[i] = char(i + 1);
        report[0] = 0x04;   // the status byte sits where the id is
        vendor().setInputReply(4, report);

        KUSBDevice device;
        openVendor(device);
        QByteArray out(128, char(0xEE));
        QVERIFY(device.readInputReport(BYTE(4), reinterpret_cast<BYTE*>(out.data()), quint32(length)));
        const int copied = qMin(length, 65);
        QCOMPARE(out.left(copied), report.left(copied));
        QCOMPARE(out.mid(copied), QByteArray(128 - copied, char(0xEE)));
    }

    void sendOutputReport_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("expectOk");
        QTest::newRow("empty") << 0 << true;
        QTest::newRow("short, zero tail") << 3 << true;
        QTest::newRow("R-1") << 64 << true;
        QTest::newRow("R: oversize") << 65 << false;
        QTest::newRow("beyond the buffer") << 4000 << false;
    }

    void sendOutputReport()
    {
        QFETCH(int, length);
        QFETCH(bool, expectOk);

        KUSBDevice device;
        openVendor(device);
        bus()->clearTranscript();
        QByteArray payload(length, '\0');
        for (int i = 0; i < length; ++i)
            payload[i] = char(0xA0 + (i % 16));
        QCOMPARE(device.sendOutputReport(BYTE(4), reinterpret_cast<const BYTE*>(payload.constData()), quint32(length)),
                 expectOk);
        if (!expectOk) {
            QVERIFY(bus()->transcript().isEmpty());
            return;
        }
        QByteArray expected = QByteArray(1, char(4)) + payload;
        expected.append(QByteArray(65 - expected.size(), '\0'));
        QCOMPARE(bus()->transcript().constLast().bytes, expected);   // all R bytes go out
        QCOMPARE(vendor().outputs(), QList<QByteArray>{expected});
    }

    void everyOperationFailsWhenNotOpened()
    {
        KUSBDevice device;
        QVERIFY(device.setDeviceDetail([] {
            KHidDetail d;
            d.capabilities.featureReportByteLength = 9;
            d.capabilities.inputReportByteLength = 65;
            d.capabilities.outputReportByteLength = 65;
            return d;
        }()));
        BYTE buffer[128] = {1, 2, 3};
        DWORD count = 77;
        QVERIFY(!device.isOpened());
        QCOMPARE(device.readHandle(), INVALID_HANDLE_VALUE);
        QVERIFY(!device.sendFeature(buffer, 4));
        QVERIFY(!device.sendFeature(BYTE(1), buffer, 4));
        QVERIFY(!device.readFeature(buffer, sizeof buffer));
        QVERIFY(!device.readFeature(BYTE(1), buffer, sizeof buffer));
        QVERIFY(!device.sendOutputReport(BYTE(1), buffer, 4));
        QVERIFY(!device.readInputReport(BYTE(1), buffer, 65));
        QVERIFY(!device.writeData(buffer, 65, &count));
        QVERIFY(!device.readData(buffer, 65, &count));
        QVERIFY(!device.writeReportWithId(buffer, 8, &count));
        QVERIFY(!device.readReportWithId(buffer, 8, &count));
        QVERIFY(!device.writeReportChunks(buffer, 16, 8));
        QVERIFY(!device.readReportChunks(buffer, 8, 2));
        QVERIFY(bus()->transcript().isEmpty());
    }

    void writeHandleClosedWhenReadHandleFails()
    {
        bus()->failNext(m_first, SimBus::Fault::OpenRead);
        LogCapture log;
        KUSBDevice device;
        QVERIFY(!device.initDevice(kVid, kPid, 0x01, 0xFF00, quint16(9)));
        QVERIFY(log.lines().contains(QStringLiteral("打开读取句柄失败")));
        QVERIFY(!device.isOpened());
        QCOMPARE(device.writeHandle(), INVALID_HANDLE_VALUE);
        QCOMPARE(bus()->openHandleCount(m_first), 0);

        // The fault is spent: the next attempt opens both handles.
        QVERIFY(device.open());
        QCOMPARE(bus()->openHandleCount(m_first), 2);
        QVERIFY(device.close());
        QCOMPARE(bus()->openHandleCount(m_first), 0);
    }

    void writeHandleFailureLogged()
    {
        bus()->failNext(m_first, SimBus::Fault::OpenWrite);
        LogCapture log;
        KUSBDevice device;
        QVERIFY(!device.initDevice(kVid, kPid, 0x01, 0xFF00, quint16(9)));
        QVERIFY(log.lines().contains(QStringLiteral("打开写入句柄失败")));
        QCOMPARE(bus()->openHandleCount(m_first), 0);
    }

    void reportLengthsBeyondTheBuffersAreRefused_data()
    {
        QTest::addColumn<int>("input");
        QTest::addColumn<int>("output");
        QTest::addColumn<int>("feature");
        QTest::newRow("input") << 4096 << 65 << 9;
        QTest::newRow("output") << 65 << 2049 << 9;
        QTest::newRow("feature") << 65 << 65 << 65535;
    }

    void reportLengthsBeyondTheBuffersAreRefused()
    {
        QFETCH(int, input);
        QFETCH(int, output);
        QFETCH(int, feature);
        bus()->reset();
        const int id = m_bus->plug({SimCollection::make(0xFF00, 0x01, quint16(input), quint16(output), quint16(feature), 5)},
                                   {nullptr}, kVid, kPid);
        KUSBDevice device;
        QVERIFY(!device.initDevice(kVid, kPid, 0x01, 0xFF00, quint16(0)));
        QCOMPARE(bus()->openHandleCount(id), 0);
    }

    void destructorClosesHandles()
    {
        {
            KUSBDevice device;
            openVendor(device);
            QCOMPARE(bus()->openHandleCount(m_first), 2);
        }
        QCOMPARE(bus()->openHandleCount(m_first), 0);
    }

    void reportWithIdRoundTrip()
    {
        KUSBDevice device;
        openVendor(device);
        vendor().setEchoInput(bytes({0x05, 0xC1, 0xC2}));
        const QByteArray payload(64, char(0x33));
        DWORD count = 0;
        QVERIFY(device.writeReportWithId(reinterpret_cast<const BYTE*>(payload.constData()), 64, &count));
        QCOMPARE(count, DWORD(65));
        QCOMPARE(vendor().outputs().constLast(), QByteArray(1, char(5)) + payload);

        BYTE out[64] = {};
        QVERIFY(device.readReportWithId(out, 64, &count));
        QCOMPARE(out[0], BYTE(0xC1));
        QCOMPARE(out[1], BYTE(0xC2));
        QCOMPARE(out[2], BYTE(0));

        // A length no opened interface can carry is refused, not allocated and copied.
        const int before = vendor().outputs().size();
        QVERIFY(!device.writeReportWithId(reinterpret_cast<const BYTE*>(payload.constData()), 0xFFFFFFFFu, &count));
        QVERIFY(!device.writeReportWithId(reinterpret_cast<const BYTE*>(payload.constData()), 2048, &count));
        QVERIFY(!device.readReportWithId(out, 0xFFFFFFFFu, &count));
        QCOMPARE(vendor().outputs().size(), before);
    }

    void writeReportChunks_data()
    {
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("chunk");
        QTest::addColumn<int>("reports");   // -1: refused
        QTest::newRow("nothing") << 0 << 32 << 0;
        QTest::newRow("exact pieces") << 96 << 32 << 3;
        QTest::newRow("short last piece") << 100 << 32 << 4;
        QTest::newRow("run fills the buffer") << 2016 << 63 << 32;   // 32 * 64 = 2048
        QTest::newRow("run beyond the buffer") << 2048 << 63 << -1;  // 33 * 64 = 2112
        QTest::newRow("zero chunk") << 10 << 0 << -1;
    }

    void writeReportChunks()
    {
        QFETCH(int, total);
        QFETCH(int, chunk);
        QFETCH(int, reports);
        bus()->reset();
        SimRecordingResponder responder;
        m_bus->plug({SimCollection::make(0xFF00, 0x01, quint16(chunk + 1), quint16(chunk + 1), 0, 3)}, {&responder},
                    kVid, kPid);
        KUSBDevice device;
        QVERIFY(device.initDevice(kVid, kPid, 0x01, 0xFF00, quint16(0)));

        QByteArray payload(total, '\0');
        for (int i = 0; i < total; ++i)
            payload[i] = char(i % 251 + 1);
        const bool ok = device.writeReportChunks(reinterpret_cast<const BYTE*>(payload.constData()), quint32(total),
                                                 quint32(chunk));
        QCOMPARE(ok, reports >= 0);
        if (!ok) {
            QVERIFY(responder.outputs().isEmpty());
            return;
        }
        const QList<QByteArray> outputs = responder.outputs();
        QCOMPARE(outputs.size(), reports);
        QByteArray joined;
        for (const QByteArray& report : outputs) {
            QCOMPARE(report.size(), chunk + 1);
            QCOMPARE(report.at(0), char(3));
            joined += report.mid(1);
        }
        QCOMPARE(joined.left(total), payload);
        QCOMPARE(joined.mid(total), QByteArray(joined.size() - total, '\0'));
    }

    void readReportChunks()
    {
        KUSBDevice device;
        openVendor(device);
        vendor().pushInputReport(QByteArray(1, char(5)) + QByteArray(64, 'a'));
        vendor().pushInputReport(QByteArray(1, char(5)) + QByteArray(64, 'b'));
        QByteArray out(128, '\0');
        QVERIFY(device.readReportChunks(reinterpret_cast<BYTE*>(out.data()), 64, 2));
        QCOMPARE(out, QByteArray(64, 'a') + QByteArray(64, 'b'));
        // More than the receive buffer holds is refused before any read.
        QVERIFY(!device.readReportChunks(reinterpret_cast<BYTE*>(out.data()), 64, 40));
    }

    // How a reader thread is stopped: its blocking read returns false on a cancel, and on close.
    void readerThreadStops_data()
    {
        QTest::addColumn<bool>("byClose");
        QTest::newRow("cancel") << false;
        QTest::newRow("close") << true;
    }

    void readerThreadStops()
    {
        QFETCH(bool, byClose);
        KUSBDevice device;
        openVendor(device);
        std::atomic<int> result{-1};
        QScopedPointer<QThread> reader(QThread::create([&] {
            BYTE buffer[65];
            DWORD count = 0;
            result = device.readData(buffer, sizeof buffer, &count) ? 1 : 0;
        }));
        reader->start();
        WAIT_COMPARE(bus()->blockedReads(), 1);
        if (byClose)
            closeHandle(device.readHandle());
        else
            cancelHandleIo(device.readHandle());
        QVERIFY(reader->wait(2000));
        QCOMPARE(result.load(), 0);
        if (byClose)
            return;
        // The handle stays usable after a cancel.
        vendor().pushInputReport(QByteArray(1, char(5)) + QByteArray("\x42", 1));
        BYTE buffer[65];
        DWORD count = 0;
        QVERIFY(device.readData(buffer, sizeof buffer, &count, 0));
        QCOMPARE(count, DWORD(65));
        QCOMPARE(buffer[1], BYTE(0x42));
    }

    void enumerationSkipsUnreadableInterfacesAndStops()
    {
        bus()->failNext(m_first, SimBus::Fault::Query, 1, 0);
        QStringList seen;
        enumHidDevices([&](KHidDetail detail, bool&) { seen.append(detail.devicePath); });
        QCOMPARE(seen.size(), 3);
        QVERIFY(!seen.first().contains("col01"));

        seen.clear();
        enumHidDevices([&](KHidDetail detail, bool& keepGoing) {
            seen.append(detail.devicePath);
            keepGoing = false;
        });
        QCOMPARE(seen.size(), 1);
        QVERIFY(seen.first().contains("&mi_01&col01#"));
    }

    void hidDetailFields()
    {
        KHidDetail detail;
        QVERIFY(getHidDetail(bus()->path(m_other), detail));
        QCOMPARE(detail.vendorId, kVid);
        QCOMPARE(detail.productId, kPid);
        QCOMPARE(detail.versionNumber, quint16(0x0100));
        QCOMPARE(detail.productName, QStringLiteral("Simulated device"));
        QCOMPARE(detail.capabilities.featureReportByteLength, quint16(33));
        QCOMPARE(detail.capabilities.numberFeatureValueCaps, quint16(1));
        QCOMPARE(detail.reportId(), quint8(7));
        QVERIFY(!getHidDetail(QStringLiteral("\\\\?\\hid#vid_3a7e&pid_5c21#nothing"), detail));
    }

    void featureValueCapsKeepTheFirstTen()
    {
        SimCollection many = SimCollection::make(0xFF00, 0x03, 0, 0, 9, 11);
        for (int id = 12; id < 23; ++id) {
            KHID::HidValueCaps value;
            value.reportId = quint8(id);
            many.featureValueCaps.append(value);
        }
        SimRecordingResponder responder;
        const int id = m_bus->plug({many}, {&responder}, kVid, kPid, 3);
        KHidDetail detail;
        QVERIFY(getHidDetail(bus()->path(id), detail));
        QCOMPARE(detail.featureValueCaps.size(), 10);
        QCOMPARE(detail.reportId(), quint8(11));
        bus()->unplug(id);
    }

    void printBufferLines_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("perLine");
        QTest::addColumn<QList<int>>("entriesPerLine");
        QTest::newRow("20 by 8") << 20 << 8 << QList<int>{8, 8, 4};
        QTest::newRow("16 by 8") << 16 << 8 << QList<int>{8, 8};
        QTest::newRow("one byte") << 1 << 8 << QList<int>{1};
        QTest::newRow("empty") << 0 << 8 << QList<int>{};
        QTest::newRow("5 by 2") << 5 << 2 << QList<int>{2, 2, 1};
    }

    void printBufferLines()
    {
        QFETCH(int, length);
        QFETCH(int, perLine);
        QFETCH(QList<int>, entriesPerLine);
        QByteArray data(length, '\0');
        for (int i = 0; i < length; ++i)
            data[i] = char(i * 17);

        LogCapture log;
        printBuffer(reinterpret_cast<const BYTE*>(data.constData()), length, perLine);
        const QStringList lines = log.lines();
        QCOMPARE(lines.size(), 2 + entriesPerLine.size());
        QCOMPARE(lines.at(0), QStringLiteral("----- print buffer -----"));
        QCOMPARE(lines.at(1), QStringLiteral("bufferSize: %1").arg(length));
        for (int i = 0; i < entriesPerLine.size(); ++i)
            QCOMPARE(lines.at(2 + i).count(QLatin1Char('[')), entriesPerLine.at(i));
        if (length >= 2)
            QVERIFY(lines.at(2).startsWith(QStringLiteral("[ 0:0x 0] [ 1:0x11] ")));
    }

    void printHidDetailFormat()
    {
        KHidDetail detail;
        QVERIFY(getHidDetail(bus()->path(m_first, 0), detail));
        LogCapture log;
        printHidDetail(detail);
        const QStringList lines = log.lines();
        QCOMPARE(lines.value(0), QStringLiteral("----- base info -----"));
        QCOMPARE(lines.value(2), QStringLiteral("VendorID: 0x3a7e"));
        QCOMPARE(lines.value(3), QStringLiteral("ProductID: 0x5c21"));
        QCOMPARE(lines.value(7), QStringLiteral("Usage: 0x1"));
        QCOMPARE(lines.value(8), QStringLiteral("UsagePage: 0xff00"));
        QVERIFY(lines.contains(QStringLiteral("FeatureReportByteLength: 9")));
        QVERIFY(lines.contains(QStringLiteral("ReportID: 5")));
    }

    // The whole dump, character for character: two-digit indexes, lower-case hex, the blank after each entry.
    void printBufferText()
    {
        QByteArray data(12, '\0');
        for (int i = 0; i < data.size(); ++i)
            data[i] = char(i * 17);
        data[1] = char(0xFF);
        LogCapture log;
        printBuffer(reinterpret_cast<const BYTE*>(data.constData()), data.size(), 8);
        QCOMPARE(log.lines(), (QStringList{
                                  QStringLiteral("----- print buffer -----"),
                                  QStringLiteral("bufferSize: 12"),
                                  QStringLiteral("[ 0:0x 0] [ 1:0xff] [ 2:0x22] [ 3:0x33] [ 4:0x44] [ 5:0x55] [ 6:0x66] [ 7:0x77] "),
                                  QStringLiteral("[ 8:0x88] [ 9:0x99] [10:0xaa] [11:0xbb] "),
                              }));
    }

    // With debug output switched off the dump is not even formatted; switched on again, it is back.
    void printBufferOnlyWhenDebugIsOn()
    {
        const QByteArray data(64, char(0x5A));
        LogCapture log;
        // Switched on the category itself: the environment's rules would win over rules set here.
        QLoggingCategory* category = QLoggingCategory::defaultCategory();
        const bool wasOn = category->isDebugEnabled();
        category->setEnabled(QtDebugMsg, false);
        printBuffer(reinterpret_cast<const BYTE*>(data.constData()), data.size(), 8);
        category->setEnabled(QtDebugMsg, true);
        QCOMPARE(log.lines(), QStringList());
        printBuffer(reinterpret_cast<const BYTE*>(data.constData()), data.size(), 8);
        category->setEnabled(QtDebugMsg, wasOn);
        QCOMPARE(log.lines().size(), 10);
    }

    void printHidDetailText_data()
    {
        QTest::addColumn<QList<int>>("reportIds");
        QTest::addColumn<QStringList>("valueLines");
        QTest::newRow("two value capabilities")
            << QList<int>{5, 6}
            << QStringList{QStringLiteral("----- capAbilities Value ----- capAbilitiesValue count: 2"),
                           QStringLiteral("ReportID: 5"), QStringLiteral("ReportID: 6"), QStringLiteral("\n")};
        QTest::newRow("none")
            << QList<int>{}
            << QStringList{QStringLiteral("----- capAbilities Value ----- capAbilitiesValue count: 0"),
                           QStringLiteral("\n")};
    }

    void printHidDetailText()
    {
        QFETCH(QList<int>, reportIds);
        QFETCH(QStringList, valueLines);
        KHidDetail detail;
        detail.devicePath = QStringLiteral("\\\\?\\hid#vid_3a7e&pid_5c21&mi_01&col02#sim0");
        detail.vendorId = 0x3A7E;
        detail.productId = 0x5C21;
        detail.versionNumber = 0x0105;
        detail.productName = QStringLiteral("键盘 K1");
        detail.capabilities.usage = 0x01;
        detail.capabilities.usagePage = 0xFF00;
        detail.capabilities.featureReportByteLength = 9;
        detail.capabilities.numberFeatureValueCaps = quint16(reportIds.size());
        detail.capabilities.inputReportByteLength = 65;
        detail.capabilities.numberInputValueCaps = 3;
        detail.capabilities.outputReportByteLength = 33;
        detail.capabilities.numberOutputValueCaps = 4;
        for (int id : reportIds) {
            HidValueCaps value;
            value.reportId = quint8(id);
            detail.featureValueCaps.append(value);
        }
        const QString count = QString::number(reportIds.size());

        LogCapture log;
        printHidDetail(detail);
        const QStringList expected = QStringList{
            QStringLiteral("----- base info -----"),
            QStringLiteral("DevicePath: \\\\?\\hid#vid_3a7e&pid_5c21&mi_01&col02#sim0"),
            QStringLiteral("VendorID: 0x3a7e"),
            QStringLiteral("ProductID: 0x5c21"),
            QStringLiteral("VersionNumber: 261"),
            QStringLiteral("DeviceName: 键盘 K1"),
            QStringLiteral("----- capAbilities -----"),
            QStringLiteral("Usage: 0x1"),
            QStringLiteral("UsagePage: 0xff00"),
            QStringLiteral("Feature report: ") + count,
            QStringLiteral("NumberFeatureValueCaps: ") + count,
            QStringLiteral("FeatureReportByteLength: 9"),
            QStringLiteral("NumberInputValueCaps: 3"),
            QStringLiteral("InputReportByteLength: 65"),
            QStringLiteral("NumberOutputValueCaps: 4"),
            QStringLiteral("OutputReportByteLength: 33"),
        } + valueLines;
        QCOMPARE(log.lines(), expected);

        // The value part on its own, as a device object prints it.
        LogCapture valuesOnly;
        printValueCaps(detail);
        QCOMPARE(valuesOnly.lines(), valueLines);
    }

    // Nothing to assert about the machine's adapters; the walk must end and honour keepGoing.
    void bluetoothEnumerationStopsWhenAsked()
    {
        int calls = 0;
        KBLETools::enumDevices([&](KBleDeviceInfo info, bool& keepGoing) {
            ++calls;
            QVERIFY(!info.instanceId.isEmpty());
            keepGoing = false;
        });
        QVERIFY(calls <= 1);
    }

    void byteBufferGrowth()
    {
        KByteBuffer buffer(4);
        QCOMPARE(buffer.capacity(), std::size_t(4));
        buffer.appendUInt32(0x04030201);
        QCOMPARE(buffer.capacity(), std::size_t(4));   // fits exactly
        buffer.appendByte(0x05);
        QCOMPARE(buffer.capacity(), std::size_t(4 + 2 + 1));
        buffer.appendUInt32(0x09080706);
        QCOMPARE(buffer.capacity(), std::size_t(7 + 3 + 4));
        buffer.appendUInt16(0x0B0A);
        QCOMPARE(buffer.size(), std::size_t(11));

        QByteArray all(11, '\0');
        QVERIFY(buffer.copyTo(0, all.data(), 11));
        QCOMPARE(all, bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
        quint16 v16 = 0;
        quint32 v32 = 0;
        QVERIFY(buffer.readUInt16(9, v16));
        QCOMPARE(v16, quint16(0x0B0A));
        QVERIFY(buffer.readUInt32(5, v32));
        QCOMPARE(v32, quint32(0x09080706));

        KByteBuffer empty;
        QCOMPARE(empty.capacity(), std::size_t(0));
        QVERIFY(!empty.pointerAt(0));
        empty.append("abc", 3);
        QCOMPARE(empty.capacity(), std::size_t(3));

        buffer.removeFront(4);
        quint8 b = 0;
        QVERIFY(buffer.readByte(0, b));
        QCOMPARE(b, quint8(5));
        buffer.removeFront(100);   // more than held: nothing happens
        QCOMPARE(buffer.size(), std::size_t(7));
        buffer.reserve(64);
        QCOMPARE(buffer.capacity(), std::size_t(64));
        QVERIFY(buffer.readByte(6, b));
        QCOMPARE(b, quint8(11));
    }

    void byteBufferBounds_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("expectOk");
        QTest::newRow("whole") << 0 << 6 << true;
        QTest::newRow("tail") << 4 << 2 << true;
        QTest::newRow("nothing at the end") << 6 << 0 << true;
        QTest::newRow("one past the end") << 5 << 2 << false;
        QTest::newRow("offset past the end") << 7 << 0 << false;
        QTest::newRow("wrapping count") << 2 << -1 << false;
    }

    void byteBufferBounds()
    {
        QFETCH(int, offset);
        QFETCH(int, count);
        QFETCH(bool, expectOk);
        KByteBuffer buffer(8);
        buffer.append("abcdef", 6);
        QByteArray out(16, char(0xEE));
        QCOMPARE(buffer.copyTo(std::size_t(offset), out.data(), std::size_t(count)), expectOk);
        if (!expectOk)
            QCOMPARE(out, QByteArray(16, char(0xEE)));

        quint32 v32 = 0xDEADBEEF;
        QCOMPARE(buffer.readUInt32(std::size_t(offset), v32), offset + 4 <= 6);
        quint16 v16 = 0;
        QCOMPARE(buffer.readUInt16(5, v16), false);
        QVERIFY(!buffer.advance(3));    // 6 + 3 > 8
        QVERIFY(buffer.advance(2));
        QVERIFY(!buffer.pointerAt(8));
        QVERIFY(buffer.pointerAt(7));
    }
};

QTEST_GUILESS_MAIN(TestKhid)
#include "tst_khid.moc"
