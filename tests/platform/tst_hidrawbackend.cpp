#include "common/DeviceIds.h"
#include "DescriptorFixture.h"
#include "hid/khid/KHidFunctions.h"
#include "platform/hid/DeviceNotification.h"
#include "platform/hid/HidrawBackend.h"
#include "TestWait.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <thread>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

using KHID::HANDLE;
using KHID::HidAccess;
using KHID::INVALID_HANDLE_VALUE;

namespace {

// Whether the thread tid of this process waits in poll() now (a read blocked on its device and its wake-up).
bool blockedInPoll(pid_t tid)
{
    QFile file(QStringLiteral("/proc/self/task/%1/syscall").arg(tid));
    if (tid <= 0 || !file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray number = file.readAll().split(' ').value(0).trimmed();
#ifdef SYS_poll
    if (number == QByteArray::number(SYS_poll))
        return true;
#endif
    return number == QByteArray::number(SYS_ppoll);
}

void writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
}

// A tree shaped like sysfs: USB devices with their interfaces and HID devices under /sys/devices, and the
// hidraw class folder whose "device" links point at the HID devices.
class SysfsTree
{
public:
    SysfsTree() { QDir(m_dir.path()).mkpath(QStringLiteral("sys/class/hidraw")); }

    QString classRoot() const { return m_dir.path() + QStringLiteral("/sys/class/hidraw"); }
    QString deviceRoot() const { return m_dir.path() + QStringLiteral("/dev"); }

    void addUsbDevice(const QString& port, int interfaces, const QByteArray& bcd, const QByteArray& product)
    {
        const QString dir = usbDir(port);
        writeFile(dir + QStringLiteral("/bNumInterfaces"), QByteArray::number(interfaces).rightJustified(2) + '\n');
        writeFile(dir + QStringLiteral("/bcdDevice"), bcd + '\n');
        writeFile(dir + QStringLiteral("/product"), product + '\n');
    }

    // A hidraw node below interface `interface` of the USB device at `port`.
    void addUsbHidraw(const QString& node, const QString& port, int interface, quint16 vid, quint16 pid,
                      const QByteArray& descriptor)
    {
        const QString ifDir = usbDir(port) + QStringLiteral("/%1:1.%2").arg(port).arg(interface);
        writeFile(ifDir + QStringLiteral("/bInterfaceNumber"), QByteArray::number(interface, 16).rightJustified(2, '0') + '\n');
        const QString hidDir = ifDir + QStringLiteral("/0003:%1:%2.%3").arg(hex(vid), hex(pid)).arg(++m_serial, 4, 10, QLatin1Char('0'));
        writeHid(hidDir, 0x0003, vid, pid, QByteArrayLiteral("Corvane test device"),
                 QStringLiteral("usb-0000:00:14.0-%1/input%2").arg(port).arg(interface).toUtf8(), descriptor);
        QDir().mkpath(classRoot() + QLatin1Char('/') + node);
        QFile::link(hidDir, classRoot() + QLatin1Char('/') + node + QStringLiteral("/device"));
    }

    // A node whose "device" is a plain folder with no USB device above it: a device on another bus, or a
    // USB device known only by its uevent.
    void addPlainHidraw(const QString& node, quint16 bus, quint16 vid, quint16 pid, const QByteArray& name,
                        const QByteArray& phys, const QByteArray& descriptor)
    {
        writeHid(classRoot() + QLatin1Char('/') + node + QStringLiteral("/device"), bus, vid, pid, name, phys,
                 descriptor);
    }

private:
    static QString hex(quint16 v) { return QStringLiteral("%1").arg(v, 4, 16, QLatin1Char('0')).toUpper(); }
    QString usbDir(const QString& port) const { return m_dir.path() + QStringLiteral("/sys/devices/usb1/") + port; }

    static void writeHid(const QString& dir, quint16 bus, quint16 vid, quint16 pid, const QByteArray& name,
                         const QByteArray& phys, const QByteArray& descriptor)
    {
        const QByteArray id = QStringLiteral("%1:%2:%3")
                                  .arg(bus, 4, 16, QLatin1Char('0'))
                                  .arg(vid, 8, 16, QLatin1Char('0'))
                                  .arg(pid, 8, 16, QLatin1Char('0'))
                                  .toUpper()
                                  .toLatin1();
        writeFile(dir + QStringLiteral("/uevent"),
                  "DRIVER=hid-generic\nHID_ID=" + id + "\nHID_NAME=" + name + "\nHID_PHYS=" + phys + "\n");
        writeFile(dir + QStringLiteral("/report_descriptor"), descriptor);
    }

    QTemporaryDir m_dir;
    int m_serial = 0;
};

// The standard fixture: a composite keyboard (boot keyboard on interface 0, vendor and consumer collections on
// interface 1), a node with a broken descriptor, a mouse on another bus, a USB mouse whose interface number
// is known only from its uevent, and a plain USB mouse on hidraw10 so that the order must be numeric.
void buildStandardTree(SysfsTree& tree)
{
    tree.addUsbDevice(QStringLiteral("1-2"), 2, "0105", "ZEPHRA Keyboard");
    tree.addUsbHidraw(QStringLiteral("hidraw0"), QStringLiteral("1-2"), 0, 0x3A7E, 0x5C21, fixture("boot-keyboard.bin"));
    tree.addUsbHidraw(QStringLiteral("hidraw1"), QStringLiteral("1-2"), 1, 0x3A7E, 0x5C21,
                      fixture("vendor-two-collections.bin"));
    const QByteArray broken = fixture("boot-mouse.bin").left(20);
    tree.addUsbDevice(QStringLiteral("1-4"), 1, "0001", "Broken");
    tree.addUsbHidraw(QStringLiteral("hidraw2"), QStringLiteral("1-4"), 0, 0x3A7E, 0x6D12, broken);
    tree.addPlainHidraw(QStringLiteral("hidraw3"), 0x0005, 0x3A7E, 0x6D11, "ABBERLY Wireless", "11:22:33:44:55:66",
                        fixture("boot-mouse.bin"));
    tree.addPlainHidraw(QStringLiteral("hidraw5"), 0x0003, 0x3A7E, 0x6D14, "BRACKLY Mouse",
                        "usb-0000:00:14.0-6/input2", fixture("boot-mouse.bin"));
    tree.addUsbDevice(QStringLiteral("1-3"), 1, "0200", "ABBERLY Mouse");
    tree.addUsbHidraw(QStringLiteral("hidraw10"), QStringLiteral("1-3"), 0, 0x3A7E, 0x6D10, fixture("boot-mouse.bin"));
    QDir().mkpath(tree.classRoot() + QStringLiteral("/notanode"));
}

const QString kKeyboardBoot = QStringLiteral("\\\\?\\hid#vid_3a7e&pid_5c21&mi_00#hidraw0");
const QString kKeyboardVendor = QStringLiteral("\\\\?\\hid#vid_3a7e&pid_5c21&mi_01&col01#hidraw1");
const QString kKeyboardConsumer = QStringLiteral("\\\\?\\hid#vid_3a7e&pid_5c21&mi_01&col02#hidraw1");
const QString kWirelessMouse = QStringLiteral("\\\\?\\hid#vid_3a7e&pid_6d11#hidraw3");
const QString kPhysMouse = QStringLiteral("\\\\?\\hid#vid_3a7e&pid_6d14&mi_02#hidraw5");
const QString kUsbMouse = QStringLiteral("\\\\?\\hid#vid_3a7e&pid_6d10#hidraw10");

// Makes a backend the process's HID backend for one test; a failing check must not leave the layer
// pointing at a backend that is gone.
class BackendInUse
{
public:
    explicit BackendInUse(KHID::HidBackend* backend) { KHID::setHidBackend(backend); }
    ~BackendInUse() { KHID::setHidBackend(nullptr); }
    BackendInUse(const BackendInUse&) = delete;
    BackendInUse& operator=(const BackendInUse&) = delete;
};

// Hands out one end of a message socket pair in place of a hidraw node, so that report boundaries, poll and
// hang-up behave as on the device; the test plays the device on the other end.
class SocketHidraw : public KHID::HidrawBackend
{
public:
    ~SocketHidraw() override
    {
        for (int fd : qAsConst(peers))
            ::close(fd);
    }

    void send(const QByteArray& report, int peer = -1)
    {
        const int fd = peers.value(peer < 0 ? peers.size() - 1 : peer, -1);
        QCOMPARE(::write(fd, report.constData(), size_t(report.size())), ssize_t(report.size()));
    }

    QList<int> peers;
    QStringList opened;

protected:
    int openNode(const QString& devicePath, int flags) override
    {
        opened << devicePath;
        int sv[2];
        if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, sv) != 0)
            return -1;
        if (flags & O_NONBLOCK)
            ::fcntl(sv[0], F_SETFL, ::fcntl(sv[0], F_GETFL) | O_NONBLOCK);
        peers << sv[1];
        return sv[0];
    }
};

} // namespace

class TestHidrawBackend : public QObject
{
    Q_OBJECT
private slots:
    void enumerationFollowsNodeThenCollection()
    {
        SysfsTree tree;
        buildStandardTree(tree);
        KHID::HidrawBackend backend;
        backend.setRoots(tree.classRoot(), tree.deviceRoot());
        QCOMPARE(backend.enumerate(),
                 (QStringList{kKeyboardBoot, kKeyboardVendor, kKeyboardConsumer, kWirelessMouse, kPhysMouse, kUsbMouse}));
    }

    void interfaceRecords_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");  // pid version "product" page/usage in/out/feature reportId
        QTest::newRow("boot keyboard") << kKeyboardBoot << "5c21 0105 \"ZEPHRA Keyboard\" 0001/0006 9/2/0 0";
        QTest::newRow("vendor") << kKeyboardVendor << "5c21 0105 \"ZEPHRA Keyboard\" ff00/0001 65/65/8 4";
        QTest::newRow("consumer") << kKeyboardConsumer << "5c21 0105 \"ZEPHRA Keyboard\" 000c/0001 3/0/0 0";
        QTest::newRow("other bus") << kWirelessMouse << "6d11 0000 \"ABBERLY Wireless\" 0001/0002 4/0/0 0";
        QTest::newRow("interface from uevent") << kPhysMouse << "6d14 0000 \"BRACKLY Mouse\" 0001/0002 4/0/0 0";
        QTest::newRow("upper case path") << kUsbMouse.toUpper() << "6d10 0200 \"ABBERLY Mouse\" 0001/0002 4/0/0 0";
    }

    void interfaceRecords()
    {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        SysfsTree tree;
        buildStandardTree(tree);
        KHID::HidrawBackend backend;
        backend.setRoots(tree.classRoot(), tree.deviceRoot());
        BackendInUse inUse(&backend);

        // Through the layer the device code uses.
        KHID::KHidDetail d;
        QVERIFY(KHID::getHidDetail(path, d));
        QCOMPARE(d.vendorId, DeviceIds::kVendorId);
        const QString got = QStringLiteral("%1 %2 \"%3\" %4/%5 %6/%7/%8 %9")
                                .arg(d.productId, 4, 16, QLatin1Char('0'))
                                .arg(d.versionNumber, 4, 16, QLatin1Char('0'))
                                .arg(d.productName)
                                .arg(d.capabilities.usagePage, 4, 16, QLatin1Char('0'))
                                .arg(d.capabilities.usage, 4, 16, QLatin1Char('0'))
                                .arg(d.capabilities.inputReportByteLength)
                                .arg(d.capabilities.outputReportByteLength)
                                .arg(d.capabilities.featureReportByteLength)
                                .arg(d.reportId());
        QCOMPARE(got, expected);
    }

    void unknownPathsOpenNothing_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("no such collection") << QStringLiteral("\\\\?\\hid#vid_3a7e&pid_5c21&mi_01&col03#hidraw1");
        QTest::newRow("wrong product") << QStringLiteral("\\\\?\\hid#vid_3a7e&pid_5c22&mi_00#hidraw0");
        QTest::newRow("malformed descriptor") << QStringLiteral("\\\\?\\hid#vid_3a7e&pid_6d12#hidraw2");
        QTest::newRow("no node") << QStringLiteral("\\\\?\\hid#vid_3a7e&pid_5c21&mi_00#hidraw99");
        QTest::newRow("escaping node") << QStringLiteral("\\\\?\\hid#vid_3a7e&pid_5c21#../../hidraw0");
        QTest::newRow("empty") << QString();
    }

    void unknownPathsOpenNothing()
    {
        QFETCH(QString, path);
        SysfsTree tree;
        buildStandardTree(tree);
        SocketHidraw backend;
        backend.setRoots(tree.classRoot(), tree.deviceRoot());
        KHID::HidInterfaceInfo info;
        QVERIFY(!backend.queryInterface(path, info));
        QCOMPARE(backend.open(path, HidAccess::ReadWrite), INVALID_HANDLE_VALUE);
        QVERIFY(backend.opened.isEmpty());
    }

    void readDeliversOwnReportsPadded_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArrayList>("sent");
        QTest::addColumn<QByteArray>("expected");

        const QByteArray vendorReport = QByteArray(1, 4) + QByteArray(64, 'v');
        QTest::newRow("other collection's report skipped")
            << kKeyboardConsumer << QByteArrayList{vendorReport, QByteArray::fromHex("021000")}
            << QByteArray::fromHex("021000");
        QTest::newRow("short report padded")
            << kKeyboardVendor << QByteArrayList{QByteArray::fromHex("040102")}
            << QByteArray::fromHex("040102") + QByteArray(62, 0);
        QTest::newRow("long report cut to the collection's length")
            << kKeyboardConsumer << QByteArrayList{QByteArray::fromHex("0201020304")} << QByteArray::fromHex("020102");
        // Unnumbered devices send no id byte: the reader sees 0 in front, as on Windows.
        QTest::newRow("unnumbered device")
            << kKeyboardBoot << QByteArrayList{QByteArray::fromHex("0200040000000000")}
            << QByteArray::fromHex("000200040000000000");
    }

    void readDeliversOwnReportsPadded()
    {
        QFETCH(QString, path);
        QFETCH(QByteArrayList, sent);
        QFETCH(QByteArray, expected);
        SysfsTree tree;
        buildStandardTree(tree);
        SocketHidraw backend;
        backend.setRoots(tree.classRoot(), tree.deviceRoot());
        const HANDLE h = backend.open(path, HidAccess::Read);
        QVERIFY(h != INVALID_HANDLE_VALUE);
        QCOMPARE(backend.opened, QStringList{tree.deviceRoot() + QLatin1Char('/') + KHID::HidrawBackend::nodeOfPath(path)});
        for (const QByteArray& report : sent)
            backend.send(report);

        QByteArray buffer(2048, char(0x55));
        quint32 got = 0;
        QVERIFY(backend.read(h, reinterpret_cast<quint8*>(buffer.data()), quint32(buffer.size()), &got, 1000));
        QCOMPARE(got, quint32(expected.size()));
        QCOMPARE(buffer.left(int(got)), expected);
        backend.close(h);
    }

    void readFailures()
    {
        SysfsTree tree;
        buildStandardTree(tree);
        SocketHidraw backend;
        backend.setRoots(tree.classRoot(), tree.deviceRoot());
        quint8 buffer[65];
        quint32 got = 1;

        // Time-out with nothing sent, and a buffer smaller than the collection's reports.
        const HANDLE vendor = backend.open(kKeyboardVendor, HidAccess::Read);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!backend.read(vendor, buffer, sizeof buffer, &got, 30));
        QVERIFY(timer.elapsed() >= 25);
        QCOMPARE(got, 0u);
        backend.send(QByteArray::fromHex("0401"));
        QVERIFY(!backend.read(vendor, buffer, 64, &got, 0));

        // The device going away ends the read at once.
        ::close(backend.peers.takeFirst());
        timer.restart();
        QVERIFY(!backend.read(vendor, buffer, sizeof buffer, &got, 5000));
        QVERIFY(timer.elapsed() < 2000);
        backend.close(vendor);
    }

    void cancelAndCloseWakeBlockedReads_data()
    {
        QTest::addColumn<bool>("closeHandle");
        QTest::newRow("cancel") << false;
        QTest::newRow("close") << true;
    }

    void cancelAndCloseWakeBlockedReads()
    {
        QFETCH(bool, closeHandle);
        SysfsTree tree;
        buildStandardTree(tree);
        SocketHidraw backend;
        backend.setRoots(tree.classRoot(), tree.deviceRoot());
        const HANDLE h = backend.open(kKeyboardVendor, HidAccess::Read);

        std::atomic<int> result{-1};
        std::atomic<pid_t> readerThread{0};
        std::thread reader([&] {
            readerThread = ::gettid();
            quint8 buffer[65];
            quint32 got = 0;
            result = backend.read(h, buffer, sizeof buffer, &got) ? 1 : 0;  // no time-out
        });
        // Woken only once it waits: a cancel before the read begins is not meant to reach it.
        WAIT_VERIFY(blockedInPoll(readerThread.load()));
        QCOMPARE(result.load(), -1);
        if (closeHandle)
            backend.close(h);
        else
            backend.cancel(h);
        WAIT_COMPARE(result.load(), 0);
        reader.join();

        quint8 buffer[65];
        quint32 got = 0;
        if (closeHandle) {
            QVERIFY(!backend.read(h, buffer, sizeof buffer, &got, 0));
            return;
        }
        // The cancellation is not sticky: the next read waits for and gets the next report.
        QVERIFY(!backend.read(h, buffer, sizeof buffer, &got, 20));
        backend.send(QByteArray::fromHex("04aa"));
        QVERIFY(backend.read(h, buffer, sizeof buffer, &got, 1000));
        QCOMPARE(buffer[1], quint8(0xAA));
        backend.close(h);
    }

    void writesAndControlTransfers()
    {
        SysfsTree tree;
        buildStandardTree(tree);
        SocketHidraw backend;
        backend.setRoots(tree.classRoot(), tree.deviceRoot());

        const HANDLE h = backend.open(kKeyboardVendor, HidAccess::ReadWrite);
        QByteArray report(65, 0);
        report[0] = 4;
        report[1] = char(0x81);
        quint32 written = 0;
        QVERIFY(backend.write(h, reinterpret_cast<const quint8*>(report.constData()), 65, &written));
        QCOMPARE(written, 65u);
        QByteArray received(128, 0);
        QCOMPARE(::read(backend.peers.first(), received.data(), size_t(received.size())), ssize_t(65));
        QCOMPARE(received.left(65), report);
        // A socket is no hidraw node: the feature request fails and says so.
        quint8 feature[8] = {4};
        QVERIFY(!backend.setFeature(h, feature, sizeof feature));
        QVERIFY(!backend.getFeature(h, feature, sizeof feature));
        backend.close(h);

        // An attributes-only handle touches no node and transfers nothing.
        const HANDLE attributes = backend.open(kKeyboardVendor, HidAccess::None);
        QVERIFY(attributes != INVALID_HANDLE_VALUE);
        QCOMPARE(backend.opened.size(), 1);
        QVERIFY(!backend.write(attributes, feature, sizeof feature, &written));
        QVERIFY(!backend.read(attributes, reinterpret_cast<quint8*>(report.data()), 65, &written, 0));
        backend.close(attributes);
    }

    // Arrivals name every collection of the new node; a removal repeats the paths announced for the node,
    // also for one present before watching started, although sysfs no longer describes it.
    void nodeEventsAnnounceCollectionPaths()
    {
        SysfsTree tree;
        buildStandardTree(tree);
        KHID::HidrawBackend backend;
        backend.setRoots(tree.classRoot(), tree.deviceRoot());
        BackendInUse inUse(&backend);
        KHID::DeviceNotification notification;
        notification.start();  // the kernel's event socket may be unavailable here; the bookkeeping is not
        QSignalSpy arrived(&notification, &KHID::DeviceNotification::deviceArrived);
        QSignalSpy removed(&notification, &KHID::DeviceNotification::deviceRemoved);
        const auto texts = [](QSignalSpy& spy) {
            QStringList out;
            for (const QList<QVariant>& args : spy)
                out << args.at(0).toString();
            spy.clear();
            return out;
        };

        QVERIFY(QDir(tree.classRoot() + QStringLiteral("/hidraw1")).removeRecursively());
        notification.handleNodeEvent(QStringLiteral("remove"), QStringLiteral("hidraw1"));
        QCOMPARE(texts(removed), (QStringList{kKeyboardVendor, kKeyboardConsumer}));

        tree.addUsbDevice(QStringLiteral("1-5"), 2, "0105", "ZEPHRA Keyboard");
        tree.addUsbHidraw(QStringLiteral("hidraw4"), QStringLiteral("1-5"), 1, 0x3A7E, 0x5C21,
                          fixture("vendor-two-collections.bin"));
        notification.handleNodeEvent(QStringLiteral("add"), QStringLiteral("hidraw4"));
        const QStringList added = texts(arrived);
        QCOMPARE(added, (QStringList{QString(kKeyboardVendor).replace(QStringLiteral("hidraw1"), QStringLiteral("hidraw4")),
                                     QString(kKeyboardConsumer).replace(QStringLiteral("hidraw1"), QStringLiteral("hidraw4"))}));

        // Events that name nothing we can describe or remember are dropped.
        notification.handleNodeEvent(QStringLiteral("add"), QStringLiteral("hidraw2"));      // malformed
        notification.handleNodeEvent(QStringLiteral("change"), QStringLiteral("hidraw0"));
        notification.handleNodeEvent(QStringLiteral("remove"), QStringLiteral("hidraw77"));
        notification.handleNodeEvent(QStringLiteral("remove"), QStringLiteral("hidraw2"));
        QVERIFY(arrived.isEmpty());
        QVERIFY(removed.isEmpty());

        QVERIFY(QDir(tree.classRoot() + QStringLiteral("/hidraw4")).removeRecursively());
        notification.handleNodeEvent(QStringLiteral("remove"), QStringLiteral("hidraw4"));
        QCOMPARE(texts(removed), added);
        notification.handleNodeEvent(QStringLiteral("remove"), QStringLiteral("hidraw4"));
        QVERIFY(removed.isEmpty());

        // An add for a node we still hold means its removal was missed: the old device is retracted before
        // the node's new device is announced.
        tree.addUsbDevice(QStringLiteral("1-7"), 1, "0300", "Other");
        QVERIFY(QDir(tree.classRoot() + QStringLiteral("/hidraw0")).removeRecursively());
        tree.addUsbHidraw(QStringLiteral("hidraw0"), QStringLiteral("1-7"), 0, 0x3A7E, 0x5C22,
                          fixture("boot-keyboard.bin"));
        notification.handleNodeEvent(QStringLiteral("add"), QStringLiteral("hidraw0"));
        QCOMPARE(texts(removed), QStringList{kKeyboardBoot});
        QCOMPARE(texts(arrived), QStringList{QStringLiteral("\\\\?\\hid#vid_3a7e&pid_5c22#hidraw0")});
        notification.stop();
    }

    // The shipped udev rule must let the seat's user open hidraw nodes (and the DFU bootloaders' serial ports)
    // of our vendor id, and nothing wider.
    void udevRuleNamesOurVendor()
    {
        QFile rules(QStringLiteral(CORVANE_SOURCE_DIR "/packaging/udev/70-corvane.rules"));
        QVERIFY(rules.open(QIODevice::ReadOnly | QIODevice::Text));
        const QString vendor = QStringLiteral("%1").arg(DeviceIds::kVendorId, 4, 16, QLatin1Char('0'));
        QStringList ruleLines;
        for (const QString& line : QString::fromUtf8(rules.readAll()).split(QLatin1Char('\n'))) {
            if (!line.trimmed().isEmpty() && !line.trimmed().startsWith(QLatin1Char('#')))
                ruleLines << line;
        }
        QVERIFY(!ruleLines.isEmpty());
        for (const QString& line : qAsConst(ruleLines)) {
            QVERIFY2(line.contains(QStringLiteral("SUBSYSTEM==\"hidraw\""))
                         || line.contains(QStringLiteral("SUBSYSTEM==\"tty\"")),
                     qPrintable(line));
            QVERIFY2(line.contains(QStringLiteral("ATTRS{idVendor}==\"%1\"").arg(vendor)), qPrintable(line));
            QVERIFY2(line.contains(QStringLiteral("TAG+=\"uaccess\"")), qPrintable(line));
            QVERIFY2(!line.contains(QRegularExpression(QStringLiteral("MODE\\s*=\\s*\"?0?66"))), qPrintable(line));
        }
    }
};

QTEST_GUILESS_MAIN(TestHidrawBackend)
#include "tst_hidrawbackend.moc"
