#include "platform/hid/HidrawBackend.h"

#include "platform/hid/HidPath.h"
#include "platform/hid/ReportDescriptor.h"

#include <QDebug>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>
#include <QRegularExpression>

#include <algorithm>
#include <climits>
#include <functional>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace KHID {
namespace {

constexpr quint16 kBusUsb = 0x0003;
// Largest transfer we pass to the kernel: a report of the largest size we accept, plus its id byte.
constexpr quint32 kMaxTransfer = ReportDescriptor::kMaxReportBytes + 1;
constexpr qint64 kMaxAttributeBytes = 4096;
// While another reader on the same handle still holds a cancellation that is not ours, we wait on the
// device alone in slices this long, so that we neither spin nor miss our own cancellation for long.
constexpr int kStaleWakeSliceMs = 10;

const QRegularExpression& nodePattern()
{
    static const QRegularExpression re(QStringLiteral("^hidraw(\\d{1,6})$"));
    return re;
}

int nodeNumber(const QString& node)
{
    return nodePattern().match(node).captured(1).toInt();
}

QByteArray readAttribute(const QString& file, qint64 limit = kMaxAttributeBytes)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.read(limit);
}

// Sysfs numbers are written in hex, sometimes padded with blanks ("0102", " 2").
bool readNumber(const QString& file, int base, uint* value)
{
    bool ok = false;
    const uint v = QString::fromLatin1(readAttribute(file, 64)).trimmed().toUInt(&ok, base);
    if (ok)
        *value = v;
    return ok;
}

int retryOnInterrupt(const std::function<int()>& call)
{
    int r;
    do {
        r = call();
    } while (r < 0 && errno == EINTR);
    return r;
}

} // namespace

struct HidrawBackend::NodeReport {
    QList<HidInterfaceInfo> interfaces;
    ReportDescriptor descriptor;
};

struct HidrawBackend::Handle {
    int fd = -1;
    int wakeFd = -1;
    bool readable = false;
    bool usesReportIds = false;
    QList<quint8> inputReportIds;
    quint16 inputLength = 0;

    // Cancellation: cancel() bumps the generation and signals wakeFd; a read returns when the generation
    // differs from the one it started with. wakeFd is drained only while no read is waiting on it.
    QMutex mutex;
    quint64 generation = 0;
    int readers = 0;
    bool closed = false;

    ~Handle()
    {
        if (fd >= 0)
            ::close(fd);
        if (wakeFd >= 0)
            ::close(wakeFd);
    }

    void wake()
    {
        QMutexLocker lock(&mutex);
        ++generation;
        const quint64 one = 1;
        [[maybe_unused]] const ssize_t n = ::write(wakeFd, &one, sizeof one);
    }
};

HidrawBackend::HidrawBackend()
    : m_classRoot(QStringLiteral("/sys/class/hidraw"))
    , m_deviceRoot(QStringLiteral("/dev"))
{
}

HidrawBackend::~HidrawBackend()
{
    QMutexLocker lock(&m_mutex);
    for (const std::shared_ptr<Handle>& h : qAsConst(m_handles)) {
        {
            QMutexLocker handleLock(&h->mutex);
            h->closed = true;
        }
        h->wake();
    }
    m_handles.clear();
}

void HidrawBackend::setRoots(const QString& classRoot, const QString& deviceRoot)
{
    QMutexLocker lock(&m_mutex);
    m_classRoot = classRoot;
    m_deviceRoot = deviceRoot;
}

QString HidrawBackend::classRoot() const
{
    QMutexLocker lock(&m_mutex);
    return m_classRoot;
}

QString HidrawBackend::nodeOfPath(const QString& path)
{
    const QString node = path.section(QLatin1Char('#'), -1).toLower();
    return nodePattern().match(node).hasMatch() ? node : QString();
}

bool HidrawBackend::describe(const QString& node, NodeReport* report) const
{
    if (!nodePattern().match(node).hasMatch())
        return false;
    const QString deviceDir = classRoot() + QLatin1Char('/') + node + QStringLiteral("/device");

    quint16 bus = 0, vendorId = 0, productId = 0;
    QString hidName, hidPhys;
    bool haveId = false;
    const QList<QByteArray> lines = readAttribute(deviceDir + QStringLiteral("/uevent")).split('\n');
    for (const QByteArray& line : lines) {
        if (line.startsWith("HID_ID=")) {
            const QList<QByteArray> parts = line.mid(7).split(':');
            if (parts.size() != 3)
                continue;
            bool okBus = false, okVid = false, okPid = false;
            const uint b = parts[0].toUInt(&okBus, 16);
            const uint v = parts[1].toUInt(&okVid, 16);
            const uint p = parts[2].toUInt(&okPid, 16);
            if (okBus && okVid && okPid && v <= 0xFFFF && p <= 0xFFFF) {
                bus = quint16(b);
                vendorId = quint16(v);
                productId = quint16(p);
                haveId = true;
            }
        } else if (line.startsWith("HID_NAME=")) {
            hidName = QString::fromUtf8(line.mid(9)).trimmed();
        } else if (line.startsWith("HID_PHYS=")) {
            hidPhys = QString::fromUtf8(line.mid(9)).trimmed();
        }
    }
    if (!haveId)
        return false;

    const QByteArray raw = readAttribute(deviceDir + QStringLiteral("/report_descriptor"),
                                         ReportDescriptor::kMaxDescriptorBytes + 1);
    report->descriptor = ReportDescriptor::parse(raw);
    if (!report->descriptor.isValid()) {
        qDebug().noquote() << "[Error] hidraw:" << node << "report descriptor rejected:"
                           << report->descriptor.errorString();
        return false;
    }

    // The HID device sits below its USB interface, which sits below the USB device.
    const QString hidDir = QFileInfo(deviceDir).canonicalFilePath();
    const QString usbInterfaceDir = QFileInfo(hidDir).path();
    const QString usbDeviceDir = QFileInfo(usbInterfaceDir).path();

    int interfaceNumber = -1;
    bool composite = false;
    uint version = 0;
    QString product;
    // A node that vanished while we looked has no canonical path; its parents would then be resolved
    // against the working folder.
    if (bus == kBusUsb && !hidDir.isEmpty()) {
        uint number = 0;
        if (readNumber(usbInterfaceDir + QStringLiteral("/bInterfaceNumber"), 16, &number)) {
            interfaceNumber = int(number);
        } else {
            static const QRegularExpression inputRe(QStringLiteral("/input(\\d+)$"));
            const QRegularExpressionMatch m = inputRe.match(hidPhys);
            if (m.hasMatch())
                interfaceNumber = m.captured(1).toInt();
        }
        uint interfaces = 0;
        composite = readNumber(usbDeviceDir + QStringLiteral("/bNumInterfaces"), 10, &interfaces)
                        ? interfaces > 1
                        : interfaceNumber > 0;
        readNumber(usbDeviceDir + QStringLiteral("/bcdDevice"), 16, &version);
        product = QString::fromUtf8(readAttribute(usbDeviceDir + QStringLiteral("/product"), 256)).trimmed();
    }
    if (product.isEmpty())
        product = hidName;

    const QList<HidTopLevelCollection>& collections = report->descriptor.collections();
    for (int i = 0; i < collections.size(); ++i) {
        HidInterfaceInfo info;
        info.path = formatHidPath(vendorId, productId, composite ? interfaceNumber : -1,
                                  collections.size() > 1 ? i + 1 : 0, node);
        info.vendorId = vendorId;
        info.productId = productId;
        info.versionNumber = quint16(version);
        info.productName = product;
        info.caps = collections[i].caps;
        info.featureValueCaps = collections[i].featureValueCaps;
        report->interfaces.append(info);
    }
    return true;
}

QList<HidInterfaceInfo> HidrawBackend::describeNode(const QString& node) const
{
    NodeReport report;
    describe(node, &report);
    return report.interfaces;
}

QStringList HidrawBackend::enumerate()
{
    QStringList nodes = QDir(classRoot()).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System);
    nodes.erase(std::remove_if(nodes.begin(), nodes.end(),
                               [](const QString& n) { return !nodePattern().match(n).hasMatch(); }),
                nodes.end());
    std::sort(nodes.begin(), nodes.end(),
              [](const QString& a, const QString& b) { return nodeNumber(a) < nodeNumber(b); });

    QStringList paths;
    for (const QString& node : qAsConst(nodes)) {
        for (const HidInterfaceInfo& info : describeNode(node))
            paths << info.path;
    }
    return paths;
}

bool HidrawBackend::queryInterface(const QString& path, HidInterfaceInfo& info)
{
    const QString wanted = path.toLower();
    for (const HidInterfaceInfo& candidate : describeNode(nodeOfPath(path))) {
        if (candidate.path == wanted) {
            info = candidate;
            return true;
        }
    }
    return false;
}

int HidrawBackend::openNode(const QString& devicePath, int flags)
{
    const QByteArray name = QFile::encodeName(devicePath);
    return retryOnInterrupt([&] { return ::open(name.constData(), flags); });
}

HANDLE HidrawBackend::open(const QString& path, HidAccess access)
{
    const QString node = nodeOfPath(path);
    NodeReport report;
    if (!describe(node, &report)) {
        noteOpenFailure(path, ENODEV);
        return INVALID_HANDLE_VALUE;
    }
    const QString wanted = path.toLower();
    int index = -1;
    for (int i = 0; i < report.interfaces.size(); ++i) {
        if (report.interfaces[i].path == wanted)
            index = i;
    }
    if (index < 0)
        return INVALID_HANDLE_VALUE;

    auto handle = std::make_shared<Handle>();
    const HidTopLevelCollection& tlc = report.descriptor.collections().at(index);
    handle->usesReportIds = report.descriptor.usesReportIds();
    handle->inputReportIds = tlc.inputReportIds;
    handle->inputLength = tlc.caps.inputReportByteLength;

    handle->wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (handle->wakeFd < 0)
        return INVALID_HANDLE_VALUE;
    // An attributes-only handle, like a Windows handle opened without access rights, touches no node.
    if (access != HidAccess::None) {
        QString deviceRoot;
        {
            QMutexLocker lock(&m_mutex);
            deviceRoot = m_deviceRoot;
        }
        const int mode = access == HidAccess::ReadWrite ? O_RDWR : O_RDONLY;
        handle->fd = openNode(deviceRoot + QLatin1Char('/') + node, mode | O_CLOEXEC | O_NONBLOCK);
        if (handle->fd < 0) {
            const int error = errno;
            qDebug().noquote() << "[Error] hidraw: cannot open" << node << ':' << systemErrorText(error);
            noteOpenFailure(path, error);
            return INVALID_HANDLE_VALUE;
        }
        handle->readable = true;
    }

    QMutexLocker lock(&m_mutex);
    const HANDLE id = m_nextHandle++;
    m_handles.insert(id, handle);
    return id;
}

void HidrawBackend::close(HANDLE handle)
{
    std::shared_ptr<Handle> h;
    {
        QMutexLocker lock(&m_mutex);
        h = m_handles.take(handle);
    }
    if (!h)
        return;
    {
        QMutexLocker lock(&h->mutex);
        h->closed = true;
    }
    // Reads still blocked on it return; the descriptors close when the last of them lets go.
    h->wake();
}

std::shared_ptr<HidrawBackend::Handle> HidrawBackend::find(HANDLE handle) const
{
    QMutexLocker lock(&m_mutex);
    return m_handles.value(handle);
}

bool HidrawBackend::control(HANDLE handle, unsigned long request, quint8* buffer, quint32 length)
{
    const std::shared_ptr<Handle> h = find(handle);
    if (!h || h->fd < 0 || !buffer || length == 0 || length > kMaxTransfer)
        return false;
    return retryOnInterrupt([&] { return ::ioctl(h->fd, request, buffer); }) >= 0;
}

bool HidrawBackend::setFeature(HANDLE handle, const quint8* buffer, quint32 length)
{
    if (!buffer || length == 0 || length > kMaxTransfer)
        return false;
    // The kernel takes the report in a writable buffer; never hand it the caller's const one.
    QByteArray copy(reinterpret_cast<const char*>(buffer), int(length));
    return control(handle, HIDIOCSFEATURE(length), reinterpret_cast<quint8*>(copy.data()), length);
}

bool HidrawBackend::getFeature(HANDLE handle, quint8* buffer, quint32 length)
{
    return control(handle, HIDIOCGFEATURE(length), buffer, length);
}

bool HidrawBackend::getInputReport(HANDLE handle, quint8* buffer, quint32 length)
{
    return control(handle, HIDIOCGINPUT(length), buffer, length);
}

bool HidrawBackend::write(HANDLE handle, const quint8* buffer, quint32 length, quint32* written)
{
    if (written)
        *written = 0;
    const std::shared_ptr<Handle> h = find(handle);
    if (!h || h->fd < 0 || !buffer || length == 0 || length > kMaxTransfer)
        return false;
    const ssize_t n = retryOnInterrupt([&] { return int(::write(h->fd, buffer, length)); });
    if (n < 0)
        return false;
    if (written)
        *written = quint32(n);
    return true;
}

bool HidrawBackend::read(HANDLE handle, quint8* buffer, quint32 length, quint32* read, int timeoutMs)
{
    if (read)
        *read = 0;
    const std::shared_ptr<Handle> h = find(handle);
    if (!h || !h->readable || !buffer || h->inputLength == 0 || length < h->inputLength)
        return false;

    quint64 generation;
    {
        QMutexLocker lock(&h->mutex);
        if (h->closed)
            return false;
        if (h->readers == 0) {
            quint64 stale;
            while (::read(h->wakeFd, &stale, sizeof stale) > 0) {
            }
        }
        ++h->readers;
        generation = h->generation;
    }
    struct ReaderGuard {
        Handle* h;
        ~ReaderGuard()
        {
            QMutexLocker lock(&h->mutex);
            --h->readers;
        }
    } guard{h.get()};

    const QDeadlineTimer deadline = timeoutMs < 0 ? QDeadlineTimer(QDeadlineTimer::Forever)
                                                  : QDeadlineTimer(timeoutMs);
    bool watchWake = true;
    quint8 raw[kMaxTransfer + 1];
    for (;;) {
        int wait = deadline.isForever() ? -1 : int(qMin<qint64>(deadline.remainingTime(), INT_MAX));
        if (!watchWake)
            wait = wait < 0 ? kStaleWakeSliceMs : qMin(wait, kStaleWakeSliceMs);
        pollfd fds[2] = {{h->fd, POLLIN, 0}, {h->wakeFd, POLLIN, 0}};
        const int r = ::poll(fds, watchWake ? 2 : 1, wait);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        {
            QMutexLocker lock(&h->mutex);
            if (h->closed || h->generation != generation)
                return false;
        }
        if (r == 0) {
            if (deadline.hasExpired())
                return false;
            watchWake = true;
            continue;
        }
        if (watchWake && (fds[1].revents & POLLIN)) {
            // A wake-up that is not ours: an earlier cancellation. Alone on the handle we may clear it;
            // otherwise another reader may still be about to collect it, so leave it and wait on the
            // device alone for a slice.
            QMutexLocker lock(&h->mutex);
            if (h->readers == 1) {
                quint64 stale;
                while (::read(h->wakeFd, &stale, sizeof stale) > 0) {
                }
            } else {
                watchWake = false;
            }
        } else {
            watchWake = true;
        }
        if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL))
            return false;  // the device went away
        if (!(fds[0].revents & POLLIN))
            continue;

        // Unnumbered devices send no id byte; the layer above always sees one.
        const int offset = h->usesReportIds ? 0 : 1;
        raw[0] = 0;
        const ssize_t n = ::read(h->fd, raw + offset, kMaxTransfer + 1 - offset);
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR)
                continue;  // another reader of this handle took the report
            return false;
        }
        if (n == 0)
            return false;
        if (!h->inputReportIds.contains(raw[0]))
            continue;  // a report of another collection of the same interface
        const quint32 got = qMin<quint32>(quint32(n + offset), h->inputLength);
        std::memcpy(buffer, raw, got);
        std::memset(buffer + got, 0, h->inputLength - got);
        if (read)
            *read = h->inputLength;
        return true;
    }
}

void HidrawBackend::cancel(HANDLE handle)
{
    if (const std::shared_ptr<Handle> h = find(handle))
        h->wake();
}

} // namespace KHID
