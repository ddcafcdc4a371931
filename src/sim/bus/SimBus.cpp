#include "sim/bus/SimBus.h"

#include "platform/hid/HidPath.h"
#include "platform/sys/PlatformTime.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QSharedPointer>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstring>

using KHID::HANDLE;
using KHID::HidAccess;
using KHID::INVALID_HANDLE_VALUE;

namespace {

// No HID report is longer (report lengths are 16-bit); anything more is a caller's length gone wrong and
// must not reach the byte copies below.
constexpr quint32 kMaxReportLength = 0xFFFF;

qint64 monotonicNs()
{
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer.nsecsElapsed();
}

QByteArray padded(const QByteArray& bytes, int length)
{
    QByteArray out = bytes.left(length);
    if (out.size() < length)
        out.append(QByteArray(length - out.size(), '\0'));
    return out;
}

} // namespace

struct SimBus::Device {
    int id = 0;
    SimDevice desc;
    QList<SimResponder*> responders;
    QStringList paths;
    int latencyMs = 0;
    bool neverAnswer = false;
    int openError = EIO;          // the system's reason a failed open gives
    QHash<quint32, int> faults;   // (fault, collection + 1) -> remaining count

    static quint32 faultKey(Fault fault, int collection) { return (quint32(fault) << 16) | quint32(collection + 1); }
};

struct SimBus::Handle {
    HANDLE id = INVALID_HANDLE_VALUE;
    int deviceId = -1;
    int collection = -1;
    HidAccess access = HidAccess::None;
    bool closed = false;
    bool gone = false;                // the device was unplugged
    quint64 cancelGeneration = 0;
    QList<QByteArray> queue;
};

SimBus* SimBus::instance()
{
    // Never destroyed: reader threads of devices may still be stopping while the process exits.
    static SimBus* bus = [] {
        auto* b = new SimBus;
        if (QCoreApplication* app = QCoreApplication::instance())
            b->moveToThread(app->thread());
        return b;
    }();
    return bus;
}

SimBus::SimBus(QObject* parent)
    : QObject(parent)
{
    connect(this, &SimBus::deviceArrived, &m_hotplugEvents, &KHID::HidHotplugEvents::deviceArrived);
    connect(this, &SimBus::deviceRemoved, &m_hotplugEvents, &KHID::HidHotplugEvents::deviceRemoved);
}

SimBus::~SimBus()
{
    qDeleteAll(m_devices);
}

void SimBus::install()
{
    KHID::setHidBackend(this);
    Platform::setSerialPortBackend(this);
}

int SimBus::plug(const SimDevice& desc, const QList<SimResponder*>& responders)
{
    QStringList paths;
    int id = 0;
    {
        QMutexLocker fw(&m_firmwareMutex);
        QMutexLocker lock(&m_mutex);
        auto* device = new Device;
        id = device->id = m_nextDeviceId++;
        device->desc = desc;
        const QString node = QStringLiteral("sim%1").arg(m_nextNode++);
        const int count = desc.collections.size();
        for (int i = 0; i < count; ++i) {
            device->paths.append(KHID::formatHidPath(desc.vendorId, desc.productId, desc.interfaceNumber,
                                                     count > 1 ? i + 1 : 0, node));
            SimResponder* responder = responders.value(i);
            device->responders.append(responder);
            if (responder) {
                responder->m_collection = i;
                responder->m_deviceId = id;
            }
        }
        m_devices.insert(id, device);
        paths = device->paths;
    }
    for (const QString& p : paths)
        QMetaObject::invokeMethod(this, [this, p] { emit deviceArrived(p); }, Qt::QueuedConnection);
    return id;
}

bool SimBus::unplug(int deviceId)
{
    QStringList paths;
    {
        // Waits for a responder call in progress; none starts afterwards.
        QMutexLocker fw(&m_firmwareMutex);
        QMutexLocker lock(&m_mutex);
        Device* device = m_devices.take(deviceId);
        if (!device)
            return false;
        for (SimResponder* responder : qAsConst(device->responders)) {
            if (responder) {
                responder->m_deviceId = -1;
                responder->m_collection = -1;
            }
        }
        for (const QSharedPointer<Handle>& h : qAsConst(m_handles)) {
            if (h->deviceId == deviceId) {
                h->gone = true;
                h->queue.clear();
            }
        }
        paths = device->paths;
        delete device;
        m_inputArrived.wakeAll();
    }
    for (const QString& p : paths)
        QMetaObject::invokeMethod(this, [this, p] { emit deviceRemoved(p); }, Qt::QueuedConnection);
    return true;
}

void SimBus::forgetResponder(SimResponder* responder)
{
    QMutexLocker fw(&m_firmwareMutex);
    QMutexLocker lock(&m_mutex);
    for (Device* device : qAsConst(m_devices)) {
        for (SimResponder*& r : device->responders) {
            if (r == responder)
                r = nullptr;
        }
    }
}

void SimBus::reset()
{
    for (int id : deviceIds())
        unplug(id);
    QMutexLocker lock(&m_mutex);
    m_transcript.clear();
    m_serialPorts.clear();
    m_serialListings = 0;
}

int SimBus::plugSerialPort(const QString& portName, quint16 vendorId, quint16 productId, int hiddenListings)
{
    QMutexLocker lock(&m_mutex);
    SerialPort port;
    port.info.portName = portName;
    port.info.vendorId = vendorId;
    port.info.productId = productId;
    port.info.hasIds = true;
    port.hiddenListings = hiddenListings;
    const int id = m_nextSerialPort++;
    m_serialPorts.insert(id, port);
    return id;
}

bool SimBus::unplugSerialPort(int portId)
{
    QMutexLocker lock(&m_mutex);
    return m_serialPorts.remove(portId) > 0;
}

int SimBus::serialListings() const
{
    QMutexLocker lock(&m_mutex);
    return m_serialListings;
}

QList<Platform::SerialPortInfo> SimBus::availablePorts()
{
    QMutexLocker lock(&m_mutex);
    ++m_serialListings;
    QList<Platform::SerialPortInfo> ports;
    for (SerialPort& port : m_serialPorts) {
        if (port.hiddenListings > 0) {
            --port.hiddenListings;
            continue;
        }
        ports.append(port.info);
    }
    return ports;
}

QStringList SimBus::paths(int deviceId) const
{
    QMutexLocker lock(&m_mutex);
    const Device* device = m_devices.value(deviceId);
    return device ? device->paths : QStringList();
}

QString SimBus::path(int deviceId, int collection) const
{
    return paths(deviceId).value(collection);
}

QList<int> SimBus::deviceIds() const
{
    QMutexLocker lock(&m_mutex);
    QList<int> ids = m_devices.keys();
    std::sort(ids.begin(), ids.end());
    return ids;
}

bool SimBus::isPlugged(int deviceId) const
{
    QMutexLocker lock(&m_mutex);
    return m_devices.contains(deviceId);
}

int SimBus::openHandleCount(int deviceId) const
{
    QMutexLocker lock(&m_mutex);
    int count = 0;
    for (const QSharedPointer<Handle>& h : m_handles)
        count += h->deviceId == deviceId ? 1 : 0;
    return count;
}

int SimBus::blockedReads() const
{
    QMutexLocker lock(&m_mutex);
    return m_blockedReads;
}

void SimBus::failNext(int deviceId, Fault fault, int count, int collection)
{
    QMutexLocker lock(&m_mutex);
    if (Device* device = m_devices.value(deviceId))
        device->faults[Device::faultKey(fault, collection)] = qMax(0, count);
}

void SimBus::setLatency(int deviceId, int ms)
{
    QMutexLocker lock(&m_mutex);
    if (Device* device = m_devices.value(deviceId))
        device->latencyMs = qMax(0, ms);
}

void SimBus::setOpenError(int deviceId, int error)
{
    QMutexLocker lock(&m_mutex);
    if (Device* device = m_devices.value(deviceId))
        device->openError = error;
}

void SimBus::setNeverAnswer(int deviceId, bool on)
{
    QMutexLocker lock(&m_mutex);
    if (Device* device = m_devices.value(deviceId))
        device->neverAnswer = on;
}

SimTranscript SimBus::transcript() const
{
    QMutexLocker lock(&m_mutex);
    return m_transcript;
}

void SimBus::clearTranscript()
{
    QMutexLocker lock(&m_mutex);
    m_transcript.clear();
}

void SimBus::beginTransaction()
{
    QMutexLocker lock(&m_mutex);
    record(SimTransfer::TransactionBegin, true, -1, -1, INVALID_HANDLE_VALUE, QByteArray());
}

void SimBus::endTransaction()
{
    QMutexLocker lock(&m_mutex);
    record(SimTransfer::TransactionEnd, true, -1, -1, INVALID_HANDLE_VALUE, QByteArray());
}

void SimBus::record(SimTransfer::Op op, bool ok, int deviceId, int collection, HANDLE handle,
                    const QByteArray& bytes)
{
    SimTransfer t;
    t.sequence = m_sequence++;
    t.op = op;
    t.ok = ok;
    t.deviceId = deviceId;
    t.collection = collection;
    t.handle = handle;
    t.bytes = bytes;
    t.thread = QThread::currentThreadId();
    t.timeNs = monotonicNs();
    if (m_transcript.size() >= kTranscriptLimit)
        m_transcript.removeFirst();
    m_transcript.append(t);
}

bool SimBus::takeFault(Device& device, int collection, Fault fault)
{
    for (int c : {collection, -1}) {
        auto it = device.faults.find(Device::faultKey(fault, c));
        if (it != device.faults.end() && it.value() > 0) {
            --it.value();
            return true;
        }
    }
    return false;
}

void SimBus::waitLatency(HANDLE handle) const
{
    int latency = 0;
    {
        QMutexLocker lock(&m_mutex);
        const QSharedPointer<Handle> h = m_handles.value(handle);
        const Device* device = h ? m_devices.value(h->deviceId) : nullptr;
        latency = device ? device->latencyMs : 0;
    }
    if (latency > 0)
        Platform::sleepMs(latency);
}

QStringList SimBus::enumerate()
{
    QStringList all;
    for (int id : deviceIds())
        all += paths(id);
    return all;
}

bool SimBus::queryInterface(const QString& path, KHID::HidInterfaceInfo& info)
{
    QMutexLocker lock(&m_mutex);
    for (Device* device : qAsConst(m_devices)) {
        const int collection = device->paths.indexOf(path.toLower());
        if (collection < 0)
            continue;
        if (takeFault(*device, collection, Fault::Query)) {
            record(SimTransfer::Query, false, device->id, collection, INVALID_HANDLE_VALUE, QByteArray());
            return false;
        }
        record(SimTransfer::Query, true, device->id, collection, INVALID_HANDLE_VALUE, QByteArray());
        const SimCollection& c = device->desc.collections.at(collection);
        info.path = device->paths.at(collection);
        info.vendorId = device->desc.vendorId;
        info.productId = device->desc.productId;
        info.versionNumber = device->desc.versionNumber;
        info.productName = device->desc.productName;
        info.caps = KHID::HidCaps();
        info.caps.usagePage = c.usagePage;
        info.caps.usage = c.usage;
        info.caps.inputReportByteLength = c.inputReportByteLength;
        info.caps.outputReportByteLength = c.outputReportByteLength;
        info.caps.featureReportByteLength = c.featureReportByteLength;
        info.caps.numberLinkCollectionNodes = 1;
        info.caps.numberFeatureValueCaps = quint16(c.featureValueCaps.size());
        info.featureValueCaps = c.featureValueCaps;
        return true;
    }
    return false;
}

HANDLE SimBus::open(const QString& path, HidAccess access)
{
    QMutexLocker lock(&m_mutex);
    for (Device* device : qAsConst(m_devices)) {
        const int collection = device->paths.indexOf(path.toLower());
        if (collection < 0)
            continue;
        const Fault fault = access == HidAccess::Read ? Fault::OpenRead : Fault::OpenWrite;
        if (access != HidAccess::None && takeFault(*device, collection, fault)) {
            record(SimTransfer::Open, false, device->id, collection, INVALID_HANDLE_VALUE, QByteArray());
            KHID::noteOpenFailure(device->paths.at(collection), device->openError);
            return INVALID_HANDLE_VALUE;
        }
        auto h = QSharedPointer<Handle>::create();
        h->id = m_nextHandle++;
        h->deviceId = device->id;
        h->collection = collection;
        h->access = access;
        m_handles.insert(h->id, h);
        record(SimTransfer::Open, true, device->id, collection, h->id, QByteArray());
        return h->id;
    }
    return INVALID_HANDLE_VALUE;
}

void SimBus::close(HANDLE handle)
{
    QMutexLocker lock(&m_mutex);
    const QSharedPointer<Handle> h = m_handles.take(handle);
    if (!h)
        return;
    h->closed = true;
    h->queue.clear();
    record(SimTransfer::Close, true, h->deviceId, h->collection, handle, QByteArray());
    m_inputArrived.wakeAll();
}

void SimBus::cancel(HANDLE handle)
{
    QMutexLocker lock(&m_mutex);
    const QSharedPointer<Handle> h = m_handles.value(handle);
    if (!h)
        return;
    ++h->cancelGeneration;
    record(SimTransfer::Cancel, true, h->deviceId, h->collection, handle, QByteArray());
    m_inputArrived.wakeAll();
}

bool SimBus::control(HANDLE handle, Control kind, quint8* buffer, quint32 length)
{
    if (!buffer || length == 0 || length > kMaxReportLength)
        return false;
    waitLatency(handle);

    QMutexLocker fw(&m_firmwareMutex);
    SimResponder* responder = nullptr;
    int deviceId = -1;
    int collection = -1;
    int reportLength = 0;
    const SimTransfer::Op op = kind == Control::SetFeature ? SimTransfer::SetFeature
        : kind == Control::GetFeature                     ? SimTransfer::GetFeature
                                                          : SimTransfer::GetInputReport;
    const QByteArray sent = kind == Control::SetFeature ? QByteArray(reinterpret_cast<const char*>(buffer), int(length))
                                                        : QByteArray(1, char(buffer[0]));
    {
        QMutexLocker lock(&m_mutex);
        const QSharedPointer<Handle> h = m_handles.value(handle);
        Device* device = h && !h->gone ? m_devices.value(h->deviceId) : nullptr;
        if (!device || h->access == HidAccess::None) {
            if (h)
                record(op, false, h->deviceId, h->collection, handle, QByteArray());
            return false;
        }
        deviceId = h->deviceId;
        collection = h->collection;
        const SimCollection& c = device->desc.collections.at(collection);
        const Fault fault = kind == Control::SetFeature ? Fault::SetFeature
            : kind == Control::GetFeature             ? Fault::GetFeature
                                                      : Fault::GetInputReport;
        reportLength = kind == Control::GetInputReport ? c.inputReportByteLength : c.featureReportByteLength;
        // A buffer smaller than the report is refused, as is a set longer than it.
        const bool sizeOk = reportLength > 0
            && (kind == Control::SetFeature ? length <= quint32(reportLength) : length >= quint32(reportLength));
        const bool unanswered = device->neverAnswer && kind != Control::SetFeature;
        if (!sizeOk || unanswered || takeFault(*device, collection, fault)) {
            record(op, false, deviceId, collection, handle, kind == Control::SetFeature ? sent : QByteArray());
            return false;
        }
        responder = device->responders.value(collection);
        if (device->neverAnswer)
            responder = nullptr;
    }

    bool ok = true;
    QByteArray report;
    if (kind == Control::SetFeature) {
        if (responder)
            ok = responder->onSetFeature(padded(sent, reportLength));
    } else {
        report = QByteArray(reportLength, '\0');
        report[0] = char(buffer[0]);
        ok = responder && (kind == Control::GetFeature ? responder->onGetFeature(buffer[0], report)
                                                       : responder->onGetInputReport(buffer[0], report));
        if (ok) {
            report = padded(report, reportLength);
            std::memset(buffer, 0, length);
            std::memcpy(buffer, report.constData(), size_t(report.size()));
        }
    }
    QMutexLocker lock(&m_mutex);
    record(op, ok, deviceId, collection, handle,
           kind == Control::SetFeature ? sent : (ok ? report : QByteArray()));
    return ok;
}

bool SimBus::setFeature(HANDLE handle, const quint8* buffer, quint32 length)
{
    return control(handle, Control::SetFeature, const_cast<quint8*>(buffer), length);
}

bool SimBus::getFeature(HANDLE handle, quint8* buffer, quint32 length)
{
    return control(handle, Control::GetFeature, buffer, length);
}

bool SimBus::getInputReport(HANDLE handle, quint8* buffer, quint32 length)
{
    return control(handle, Control::GetInputReport, buffer, length);
}

bool SimBus::write(HANDLE handle, const quint8* buffer, quint32 length, quint32* written)
{
    if (written)
        *written = 0;
    if (!buffer || length == 0 || length > kMaxReportLength)
        return false;
    waitLatency(handle);

    QMutexLocker fw(&m_firmwareMutex);
    const QByteArray sent(reinterpret_cast<const char*>(buffer), int(length));
    SimResponder* responder = nullptr;
    int deviceId = -1;
    int collection = -1;
    int reportLength = 0;
    {
        QMutexLocker lock(&m_mutex);
        const QSharedPointer<Handle> h = m_handles.value(handle);
        Device* device = h && !h->gone ? m_devices.value(h->deviceId) : nullptr;
        if (!device || h->access != HidAccess::ReadWrite) {
            if (h)
                record(SimTransfer::Write, false, h->deviceId, h->collection, handle, sent);
            return false;
        }
        deviceId = h->deviceId;
        collection = h->collection;
        reportLength = device->desc.collections.at(collection).outputReportByteLength;
        if (length > quint32(reportLength) || takeFault(*device, collection, Fault::Write)) {
            record(SimTransfer::Write, false, deviceId, collection, handle, sent);
            return false;
        }
        responder = device->neverAnswer ? nullptr : device->responders.value(collection);
    }
    const bool ok = !responder || responder->onOutput(padded(sent, reportLength));
    if (ok && written)
        *written = length;
    QMutexLocker lock(&m_mutex);
    record(SimTransfer::Write, ok, deviceId, collection, handle, sent);
    return ok;
}

bool SimBus::read(HANDLE handle, quint8* buffer, quint32 length, quint32* read, int timeoutMs)
{
    if (read)
        *read = 0;
    QMutexLocker lock(&m_mutex);
    const QSharedPointer<Handle> h = m_handles.value(handle);
    if (!h)
        return false;
    Device* device = m_devices.value(h->deviceId);
    // As on Windows, the caller's buffer must hold a whole input report of the collection.
    const quint32 inputLength = device ? device->desc.collections.at(h->collection).inputReportByteLength : 0;
    if (!buffer || inputLength == 0 || length < inputLength || h->access == HidAccess::None || h->gone
        || takeFault(*device, h->collection, Fault::Read)) {
        record(SimTransfer::Read, false, h->deviceId, h->collection, handle, QByteArray());
        return false;
    }
    const quint64 generation = h->cancelGeneration;
    QDeadlineTimer deadline(timeoutMs < 0 ? QDeadlineTimer::Forever : QDeadlineTimer(timeoutMs));
    while (h->queue.isEmpty()) {
        if (h->closed || h->gone || h->cancelGeneration != generation || deadline.hasExpired()) {
            record(SimTransfer::Read, false, h->deviceId, h->collection, handle, QByteArray());
            return false;
        }
        ++m_blockedReads;
        m_inputArrived.wait(&m_mutex, deadline);
        --m_blockedReads;
    }
    const QByteArray report = h->queue.takeFirst();
    const quint32 count = quint32(report.size());
    std::memcpy(buffer, report.constData(), count);
    if (read)
        *read = count;
    record(SimTransfer::Read, true, h->deviceId, h->collection, handle, report);
    return true;
}

void SimBus::deliverInput(int deviceId, int collection, const QByteArray& report)
{
    QMutexLocker lock(&m_mutex);
    const Device* device = m_devices.value(deviceId);
    if (!device || device->neverAnswer || collection < 0 || collection >= device->desc.collections.size())
        return;
    const int inputLength = device->desc.collections.at(collection).inputReportByteLength;
    if (inputLength == 0 || report.isEmpty())
        return;
    const QByteArray full = padded(report, inputLength);
    bool delivered = false;
    for (const QSharedPointer<Handle>& h : qAsConst(m_handles)) {
        if (h->deviceId != deviceId || h->collection != collection || h->access == HidAccess::None || h->gone)
            continue;
        if (h->queue.size() >= kInputQueueLimit)
            h->queue.removeFirst();
        h->queue.append(full);
        delivered = true;
    }
    if (delivered)
        m_inputArrived.wakeAll();
}

bool SimBus::checkNoInterleaving(const SimTranscript& transcript, QString* why, bool ignoreReads)
{
    auto counts = [ignoreReads](const SimTransfer& t) {
        return t.isTransfer() && !(ignoreReads && t.op == SimTransfer::Read);
    };
    auto fail = [why](const SimTransfer& inside, Qt::HANDLE owner) {
        if (why) {
            *why = QStringLiteral("%1 #%2 of thread %3 inside a transaction of thread %4")
                       .arg(SimTransfer::opName(inside.op))
                       .arg(inside.sequence)
                       .arg(quintptr(inside.thread), 0, 16)
                       .arg(quintptr(owner), 0, 16);
        }
        return false;
    };

    const bool marked = std::any_of(transcript.begin(), transcript.end(), [](const SimTransfer& t) {
        return t.op == SimTransfer::TransactionBegin;
    });
    if (marked) {
        QHash<Qt::HANDLE, int> open;   // thread -> nesting depth of its marks
        for (const SimTransfer& t : transcript) {
            if (t.op == SimTransfer::TransactionBegin) {
                ++open[t.thread];
                continue;
            }
            if (t.op == SimTransfer::TransactionEnd) {
                if (open.value(t.thread) > 0)
                    --open[t.thread];
                continue;
            }
            if (!counts(t))
                continue;
            for (auto it = open.cbegin(); it != open.cend(); ++it) {
                if (it.key() != t.thread && it.value() > 0)
                    return fail(t, it.key());
            }
        }
        return true;
    }

    // No marks: a send and the same thread's next reply from the same device form one exchange.
    for (int i = 0; i < transcript.size(); ++i) {
        const SimTransfer& send = transcript.at(i);
        if (!send.isSend() || !send.ok)
            continue;
        int reply = -1;
        for (int j = i + 1; j < transcript.size(); ++j) {
            const SimTransfer& t = transcript.at(j);
            if (t.thread != send.thread || t.deviceId != send.deviceId)
                continue;
            if (t.isSend())
                break;
            if (t.isReply() && (!ignoreReads || t.op != SimTransfer::Read)) {
                reply = j;
                break;
            }
        }
        for (int j = i + 1; j < reply; ++j) {
            const SimTransfer& t = transcript.at(j);
            if (t.thread != send.thread && counts(t))
                return fail(t, send.thread);
        }
    }
    return true;
}
