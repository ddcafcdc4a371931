#include "SimBusFixture.h"
#include "SimRecordingResponder.h"

#include "common/DeviceIds.h"
#include "platform/sys/PlatformTime.h"
#include "TestWait.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <memory>

using KHID::HANDLE;
using KHID::HidAccess;
using KHID::INVALID_HANDLE_VALUE;

namespace {

constexpr quint16 kVid = DeviceIds::kVendorId;
constexpr quint16 kPid = DeviceIds::kKeyboardWired;

// Waits (really) until the bus has n reads blocked; false after two seconds.
bool waitForBlockedReads(SimBus* bus, int n)
{
    QElapsedTimer timer;
    timer.start();
    while (bus->blockedReads() < n) {
        if (timer.elapsed() > 2000)
            return false;
        QThread::msleep(1);
    }
    return true;
}

// Builds a transcript from tokens "<thread><op>": thread A..Z, op + begin, - end, w write, s set feature,
// g get input report, f get feature, r read; an optional digit names the device (default 1).
SimTranscript transcriptOf(const QString& tokens)
{
    SimTranscript out;
    quint64 sequence = 0;
    for (const QString& token : tokens.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        SimTransfer t;
        t.sequence = sequence++;
        t.thread = reinterpret_cast<Qt::HANDLE>(quintptr(token.at(0).unicode()));
        t.ok = true;
        t.deviceId = token.size() > 2 ? token.mid(2).toInt() : 1;
        switch (token.at(1).toLatin1()) {
        case '+': t.op = SimTransfer::TransactionBegin; t.deviceId = -1; break;
        case '-': t.op = SimTransfer::TransactionEnd; t.deviceId = -1; break;
        case 'w': t.op = SimTransfer::Write; break;
        case 's': t.op = SimTransfer::SetFeature; break;
        case 'g': t.op = SimTransfer::GetInputReport; break;
        case 'f': t.op = SimTransfer::GetFeature; break;
        case 'r': t.op = SimTransfer::Read; break;
        }
        out.append(t);
    }
    return out;
}

} // namespace

class TestSimBus : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<SimBusFixture> m_fixture;
    std::unique_ptr<SimRecordingResponder> m_command;   // collection 1: output 65, input 65, feature 9 id 5
    std::unique_ptr<SimRecordingResponder> m_events;    // collection 2: input 9 only
    int m_device = -1;

    SimBus* bus() const { return m_fixture->bus(); }

private slots:
    void init()
    {
        m_fixture = std::make_unique<SimBusFixture>();
        m_command = std::make_unique<SimRecordingResponder>();
        m_events = std::make_unique<SimRecordingResponder>();
        m_device = m_fixture->plug({SimCollection::make(0xFF00, 0x01, 65, 65, 9, 5),
                                    SimCollection::make(0xFF00, 0x02, 9, 0, 0)},
                                   {m_command.get(), m_events.get()}, kVid, kPid, 1);
    }

    void cleanup()
    {
        m_fixture.reset();
        Platform::setSleepScale(0.0);
    }

    void pathsAndEvents()
    {
        SimBusFixture& fixture = *m_fixture;
        fixture->reset();
        QCoreApplication::processEvents();   // only the events of this test from here on
        QSignalSpy arrived(fixture.bus(), &SimBus::deviceArrived);
        QSignalSpy removed(fixture.bus(), &SimBus::deviceRemoved);
        const int composite = fixture.plug({SimCollection::make(0xFF00, 1, 9, 9, 0), SimCollection::make(1, 6, 9, 0, 0)},
                                           {nullptr, nullptr}, kVid, kPid, 0);
        const int single = fixture.plug({SimCollection::make(0xFF00, 1, 9, 9, 0)}, {nullptr}, kVid,
                                        DeviceIds::kKeyboardWireless);
        const QStringList paths = fixture->paths(composite);
        QCOMPARE(paths.size(), 2);
        QVERIFY(paths.at(0).startsWith(QStringLiteral("\\\\?\\hid#vid_3a7e&pid_5c21&mi_00&col01#sim")));
        QVERIFY(paths.at(1).contains(QStringLiteral("&mi_00&col02#sim")));
        QVERIFY(fixture->path(single).startsWith(QStringLiteral("\\\\?\\hid#vid_3a7e&pid_5c22#sim")));
        QCOMPARE(fixture->enumerate(), paths + fixture->paths(single));

        // Events are posted, one per collection path, and delivered by the bus's thread.
        QCOMPARE(arrived.count(), 0);
        WAIT_COMPARE(arrived.count(), 3);
        QCOMPARE(arrived.at(0).at(0).toString(), paths.at(0));
        QCOMPARE(arrived.at(1).at(0).toString(), paths.at(1));

        QVERIFY(fixture->unplug(composite));
        QVERIFY(!fixture->unplug(composite));
        WAIT_COMPARE(removed.count(), 2);
        QCOMPARE(removed.at(0).at(0).toString(), paths.at(0));
        QCOMPARE(fixture->enumerate(), QStringList{fixture->path(single)});
    }

    void blockedReadWakes_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("unplug") << "unplug";
        QTest::newRow("close") << "close";
        QTest::newRow("cancel") << "cancel";
    }

    void blockedReadWakes()
    {
        QFETCH(QString, how);
        const HANDLE handle = bus()->open(bus()->path(m_device, 1), HidAccess::Read);
        QVERIFY(handle != INVALID_HANDLE_VALUE);

        std::atomic<int> result{-1};
        QScopedPointer<QThread> reader(QThread::create([&] {
            quint8 buffer[64];
            quint32 count = 0;
            result = bus()->read(handle, buffer, sizeof buffer, &count, -1) ? 1 : 0;
        }));
        reader->start();
        QVERIFY(waitForBlockedReads(bus(), 1));

        QElapsedTimer timer;
        timer.start();
        if (how == "unplug")
            bus()->unplug(m_device);
        else if (how == "close")
            bus()->close(handle);
        else
            bus()->cancel(handle);
        QVERIFY(reader->wait(2000));
        QVERIFY(timer.elapsed() < 1000);
        QCOMPARE(result.load(), 0);

        quint8 buffer[64];
        quint32 count = 0;
        if (how == "cancel") {
            // A cancel ends the reads waiting at that moment only.
            m_events->pushInputReport(QByteArray("\x07\x01", 2));
            QVERIFY(bus()->read(handle, buffer, sizeof buffer, &count, 0));
            QCOMPARE(count, 9u);
            QCOMPARE(buffer[1], quint8(1));
        } else {
            QVERIFY(!bus()->read(handle, buffer, sizeof buffer, &count, 0));
        }
        if (how == "unplug") {
            // Every later transfer on a handle of the vanished device fails.
            const HANDLE stale = handle;
            QVERIFY(!bus()->write(stale, buffer, 9, &count));
            QVERIFY(!bus()->getFeature(stale, buffer, 9));
            QCOMPARE(bus()->open(bus()->path(m_device, 1), HidAccess::Read), INVALID_HANDLE_VALUE);
        }
        bus()->close(handle);
    }

    void readTimesOut()
    {
        const HANDLE handle = bus()->open(bus()->path(m_device, 1), HidAccess::Read);
        quint8 buffer[16];
        quint32 count = 0;
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!bus()->read(handle, buffer, sizeof buffer, &count, 30));
        QVERIFY(timer.elapsed() >= 25);
        bus()->close(handle);
    }

    void inputReportsReachEveryReaderOfTheirCollection()
    {
        const HANDLE a = bus()->open(bus()->path(m_device, 1), HidAccess::Read);
        const HANDLE b = bus()->open(bus()->path(m_device, 1), HidAccess::ReadWrite);
        const HANDLE other = bus()->open(bus()->path(m_device, 0), HidAccess::Read);
        m_events->pushInputReport(QByteArray("\x03\xAA\xBB", 3));

        for (HANDLE h : {a, b}) {
            QByteArray buffer(32, char(0xEE));
            quint32 count = 0;
            QVERIFY(bus()->read(h, reinterpret_cast<quint8*>(buffer.data()), 32, &count, 0));
            QCOMPARE(count, 9u);   // padded to the collection's input length
            QCOMPARE(buffer.left(9), QByteArray("\x03\xAA\xBB\0\0\0\0\0\0", 9));
        }
        quint8 buffer[65];
        quint32 count = 0;
        QVERIFY(!bus()->read(other, buffer, sizeof buffer, &count, 0));

        // A reader that falls behind keeps the newest reports.
        for (int i = 0; i < SimBus::kInputQueueLimit + 8; ++i)
            m_events->pushInputReport(QByteArray(1, char(i)));
        QVERIFY(bus()->read(a, buffer, sizeof buffer, &count, 0));
        QCOMPARE(buffer[0], quint8(8));
        for (HANDLE h : {a, b, other})
            bus()->close(h);
    }

    void transferSizes()
    {
        const HANDLE rw = bus()->open(bus()->path(m_device, 0), HidAccess::ReadWrite);
        const HANDLE ro = bus()->open(bus()->path(m_device, 0), HidAccess::Read);
        const HANDLE none = bus()->open(bus()->path(m_device, 0), HidAccess::None);
        m_command->setFeatureReply(5, QByteArray("\x05\x01\x02", 3));
        quint8 buffer[128] = {5};
        quint32 count = 0;

        QVERIFY(bus()->getFeature(rw, buffer, 9));
        QCOMPARE(buffer[2], quint8(2));
        buffer[0] = 5;
        QVERIFY(!bus()->getFeature(rw, buffer, 8));    // smaller than the report
        QVERIFY(bus()->write(rw, buffer, 65, &count));
        QCOMPARE(count, 65u);
        QVERIFY(!bus()->write(rw, buffer, 66, &count));   // longer than the output report
        // A length no report can have is refused before any byte is touched.
        QVERIFY(!bus()->write(rw, buffer, 0x80000000u, &count));
        QVERIFY(!bus()->setFeature(rw, buffer, 0xFFFFFFFFu));
        QVERIFY(m_command->features().isEmpty());
        QVERIFY(!bus()->write(ro, buffer, 65, &count));   // opened for reading only
        QVERIFY(!bus()->setFeature(none, buffer, 9));     // attributes only
        QVERIFY(!bus()->read(none, buffer, 65, &count, 0));
        m_command->pushInputReport(QByteArray(1, char(4)));
        QVERIFY(!bus()->read(rw, buffer, 64, &count, 0));   // smaller than an input report
        QVERIFY(bus()->read(rw, buffer, 65, &count, 0));
        QVERIFY(!bus()->setFeature(rw, buffer, 10));
        QVERIFY(bus()->setFeature(rw, buffer, 3));
        QCOMPARE(m_command->features().constLast().size(), 9);   // the firmware sees whole reports
        for (HANDLE h : {rw, ro, none})
            bus()->close(h);
        QVERIFY(!bus()->write(rw, buffer, 65, &count));   // closed
    }

    void faults_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("collection");   // where the fault is set; -1 every collection
        QTest::addColumn<bool>("hits");        // whether it hits the command collection

        for (auto [name, fault] : {std::pair{"write", SimBus::Fault::Write}, std::pair{"set feature", SimBus::Fault::SetFeature},
                                   std::pair{"get feature", SimBus::Fault::GetFeature},
                                   std::pair{"get input report", SimBus::Fault::GetInputReport},
                                   std::pair{"read", SimBus::Fault::Read}, std::pair{"open", SimBus::Fault::OpenWrite}}) {
            QTest::addRow("%s, whole device", name) << int(fault) << -1 << true;
            QTest::addRow("%s, this collection", name) << int(fault) << 0 << true;
            QTest::addRow("%s, another collection", name) << int(fault) << 1 << false;
        }
    }

    void faults()
    {
        QFETCH(int, fault);
        QFETCH(int, collection);
        QFETCH(bool, hits);
        m_command->setFeatureReply(5, QByteArray(1, char(5)));
        m_command->setInputReply(4, QByteArray(1, char(4)));
        const QString path = bus()->path(m_device, 0);
        const HANDLE handle = bus()->open(path, HidAccess::ReadWrite);
        bus()->failNext(m_device, SimBus::Fault(fault), 2, collection);

        auto attempt = [&] {
            quint8 buffer[65] = {5};
            quint32 count = 0;
            switch (SimBus::Fault(fault)) {
            case SimBus::Fault::Write: return bus()->write(handle, buffer, 65, &count);
            case SimBus::Fault::SetFeature: return bus()->setFeature(handle, buffer, 9);
            case SimBus::Fault::GetFeature: return bus()->getFeature(handle, buffer, 9);
            case SimBus::Fault::GetInputReport: buffer[0] = 4; return bus()->getInputReport(handle, buffer, 65);
            case SimBus::Fault::Read:
                m_command->pushInputReport(QByteArray(1, char(4)));
                return bus()->read(handle, buffer, 65, &count, 0);
            default: {
                const HANDLE h = bus()->open(path, HidAccess::ReadWrite);
                bus()->close(h);
                return h != INVALID_HANDLE_VALUE;
            }
            }
        };
        QCOMPARE(attempt(), !hits);
        QCOMPARE(attempt(), !hits);
        QVERIFY(attempt());
        bus()->close(handle);
    }

    void neverAnswer()
    {
        m_command->setFeatureReply(5, QByteArray(1, char(5)));
        const HANDLE handle = bus()->open(bus()->path(m_device, 0), HidAccess::ReadWrite);
        bus()->setNeverAnswer(m_device, true);
        quint8 buffer[65] = {5};
        quint32 count = 0;
        QVERIFY(!bus()->getFeature(handle, buffer, 9));
        QVERIFY(bus()->write(handle, buffer, 65, &count));
        QVERIFY(m_command->outputs().isEmpty());
        m_command->pushInputReport(QByteArray(1, char(4)));
        QVERIFY(!bus()->read(handle, buffer, 65, &count, 0));

        bus()->setNeverAnswer(m_device, false);
        buffer[0] = 5;
        QVERIFY(bus()->getFeature(handle, buffer, 9));
        bus()->close(handle);
    }

    void latencyGoesThroughTheSleepHook()
    {
        const HANDLE handle = bus()->open(bus()->path(m_device, 0), HidAccess::ReadWrite);
        bus()->setLatency(m_device, 30);
        Platform::clearRecordedSleeps();
        quint8 buffer[65] = {5};
        quint32 count = 0;
        QVERIFY(bus()->write(handle, buffer, 65, &count));
        QVERIFY(bus()->setFeature(handle, buffer, 9));
        QCOMPARE(Platform::recordedSleeps(), (QList<int>{30, 30}));
        bus()->close(handle);
    }

    void responderDestroyedWhilePluggedIsDetached()
    {
        const HANDLE handle = bus()->open(bus()->path(m_device, 0), HidAccess::ReadWrite);
        m_command.reset();
        quint8 buffer[65] = {5};
        quint32 count = 0;
        QVERIFY(bus()->write(handle, buffer, 65, &count));   // accepted, answered by nobody
        QVERIFY(!bus()->getFeature(handle, buffer, 9));
        bus()->close(handle);
    }

    void transactionsUnderALockDoNotInterleave()
    {
        // The command collection answers each output with an input report, as the keyboard does.
        m_command->setInputReply(4, QByteArray(1, char(4)));
        const QString path = bus()->path(m_device, 0);
        QMutex transactionLock;
        bus()->clearTranscript();

        auto worker = [&] {
            const HANDLE handle = bus()->open(path, HidAccess::ReadWrite);
            for (int i = 0; i < 200; ++i) {
                QMutexLocker lock(&transactionLock);
                bus()->beginTransaction();
                quint8 buffer[65] = {4};
                quint32 count = 0;
                bus()->write(handle, buffer, 65, &count);
                QThread::yieldCurrentThread();
                bus()->getInputReport(handle, buffer, 65);
                bus()->endTransaction();
            }
            bus()->close(handle);
        };
        QScopedPointer<QThread> a(QThread::create(worker));
        QScopedPointer<QThread> b(QThread::create(worker));
        a->start();
        b->start();
        QVERIFY(a->wait(TestWait::kBoundMs));
        QVERIFY(b->wait(TestWait::kBoundMs));

        const SimTranscript marked = bus()->transcript();
        QCOMPARE(int(std::count_if(marked.begin(), marked.end(), [](const SimTransfer& t) { return t.op == SimTransfer::Write; })),
                 400);
        QString why;
        QVERIFY2(SimBus::checkNoInterleaving(marked, &why), qPrintable(why));

        // Without the marks the send/reply pairs tell the same.
        SimTranscript unmarked;
        std::copy_if(marked.begin(), marked.end(), std::back_inserter(unmarked),
                     [](const SimTransfer& t) { return t.isTransfer(); });
        QVERIFY2(SimBus::checkNoInterleaving(unmarked, &why), qPrintable(why));
    }

    void interleavingCheck_data()
    {
        QTest::addColumn<QString>("tokens");
        QTest::addColumn<bool>("clean");
        QTest::newRow("marked, one after the other") << "A+ Aw Ag A- B+ Bw Bg B-" << true;
        QTest::newRow("marked, other thread inside") << "A+ Aw Bw Ag A-" << false;
        QTest::newRow("marked, both open, other's transfer first") << "A+ B+ Bw Bg B- Aw Ag A-" << false;
        QTest::newRow("marked, interrupt read inside") << "A+ Aw Br Ag A-" << true;
        QTest::newRow("unmarked, pairs in turn") << "Aw Ag Bs Bf Aw Ag" << true;
        QTest::newRow("unmarked, send inside a pair") << "Aw Bw Ag Bg" << false;
        QTest::newRow("unmarked, reply inside a pair") << "Aw Bf Ag" << false;
        QTest::newRow("unmarked, other device counts too") << "Aw1 Bw2 Ag1" << false;
        QTest::newRow("unmarked, write without reply") << "Aw Bw Bg Aw Ag" << true;
    }

    void interleavingCheck()
    {
        QFETCH(QString, tokens);
        QFETCH(bool, clean);
        QString why;
        QCOMPARE(SimBus::checkNoInterleaving(transcriptOf(tokens), &why), clean);
        QCOMPARE(why.isEmpty(), clean);
    }
};

QTEST_GUILESS_MAIN(TestSimBus)
#include "tst_simbus.moc"
