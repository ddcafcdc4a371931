#include "devices/mouse/featurereport/HDeviceKinloch_Hollis.h"

#include "common/DeviceIds.h"
#include "devices/mouse/featurereport/DunmorProtocol.h"
#include "devices/mouse/twopage/TwoPageImage.h"
#include "hid/HCommunicateManager.h"
#include "hid/khid/KUSBDevice.h"
#include "platform/sys/PlatformTime.h"

#include "common/LoopDeadline.h"

#include <QDebug>
#include <QEventLoop>
#include <QMutexLocker>
#include <QPointer>
#include <QTimer>

#include <memory>

using namespace KinlochHollis;
using namespace TwoPage;

namespace {

// How long opening waits for its first read and write before giving up on them.
constexpr int kStartupTimeoutMs = 10000;

} // namespace

HDeviceKinloch_Hollis::HDeviceKinloch_Hollis(QObject* parent)
    : KBaseDevice(parent)
    , m_pid(DeviceIds::kKinlochHollis)
    , m_image(kImageSize, '\0')
{
}

HDeviceKinloch_Hollis::~HDeviceKinloch_Hollis() = default;

QJsonObject* HDeviceKinloch_Hollis::getLayout()
{
    return &m_layout;
}

QByteArray HDeviceKinloch_Hollis::image() const
{
    QMutexLocker lock(&m_stateLock);
    return m_image;
}

// --- opening --------------------------------------------------------------------------------------------------

bool HDeviceKinloch_Hollis::initDevice()
{
    {
        MouseOperation op(m_session);
        if (!op.isHeld()) {
            if (m_channel && m_channel->isOpened())
                return opened = true;
            qWarning() << "[ERROR] init device: the device is busy, try again";
            return false;
        }
        opened = openChannel();
    }
    qDebug() << "[INFO] Kinloch_Hollis -> init device" << opened;
    if (opened)
        runStartup();
    return opened;
}

bool HDeviceKinloch_Hollis::openChannel()
{
    if (m_channel)
        m_channel->deleteLater();
    m_channel = new KHID::KUSBDevice(this);
    for (int attempt = 0; attempt < kOpenTries; ++attempt) {
        if (m_channel->initDevice(DeviceIds::kVendorId, m_pid, kUsage, kUsagePage, quint16(0)))
            return true;
        if (attempt + 1 < kOpenTries) {
            Platform::sleepMs(kOpenRetryPauseMs);
            qDebug() << "[ERROR]  Kinloch_Hollis -> init fail retry" << attempt;
        }
    }
    return false;
}

bool HDeviceKinloch_Hollis::runStartup()
{
    // The read and the light mode it is opened in run on the pool like every other exchange; the GUI thread
    // keeps its events flowing meanwhile, for a bounded time, and the object may be deleted under the loop.
    struct Outcome {
        bool done = false;
        bool ok = false;
    };
    auto outcome = std::make_shared<Outcome>();
    QEventLoop loop;
    QPointer<QEventLoop> guard(&loop);
    QPointer<HDeviceKinloch_Hollis> self(this);
    work.run(
        [this] {
            // Without an image read nothing is written.
            return readFile() && setLightModel(kStartupLightMode, 0);
        },
        [outcome, guard](bool ok) {
            outcome->done = true;
            outcome->ok = ok;
            if (guard)
                guard->quit();
        });
    if (!outcome->done) {
        execWithDeadline(loop, kStartupTimeoutMs);
    }
    return self && outcome->done && outcome->ok;
}

int HDeviceKinloch_Hollis::getFwVersion()
{
    // The channel is replaced only under the operation lock.
    MouseOperation op(m_session);
    const quint16 version = op.isHeld() && m_channel ? m_channel->deviceDetail().versionNumber : 0;
    qDebug() << "Kinloch_Hollis pid:" << m_pid << "vid:" << DeviceIds::kVendorId << "version:" << version;
    return version;
}

// --- the image ------------------------------------------------------------------------------------------------

bool HDeviceKinloch_Hollis::writeReport(const QByteArray& report)
{
    KHID::DWORD written = 0;
    return m_channel->writeData(reinterpret_cast<const quint8*>(report.constData()), quint32(report.size()), &written)
        && written == KHID::DWORD(report.size());
}

bool HDeviceKinloch_Hollis::readReport(int size, QByteArray* report)
{
    // A read takes one input report, so the buffer holds the collection's whole report.
    const int length = qMax(size, int(m_channel->deviceDetail().capabilities.inputReportByteLength));
    if (length <= 0 || length > int(KHID::KUSBDevice::kBufferSize))
        return false;
    QByteArray buffer(length, '\0');
    KHID::DWORD got = 0;
    if (!m_channel->readData(reinterpret_cast<quint8*>(buffer.data()), quint32(buffer.size()), &got, kReadTimeoutMs)
        || int(got) < size)
        return false;
    *report = buffer.left(size);
    return true;
}

bool HDeviceKinloch_Hollis::readFile()
{
    MouseOperation op(m_session);
    return op.isHeld() && readImageLocked();
}

bool HDeviceKinloch_Hollis::readImageLocked()
{
    if (!opened || !m_channel || !m_channel->isOpened())
        return false;
    QByteArray request(kRequestSize, '\0');
    for (int i = 0; i < int(sizeof(kReadRequest)); ++i)
        request[i] = char(kReadRequest[i]);
    QByteArray read;
    {
        QMutexLocker exchange(HCommunicateManager::instance()->getMutex());
        const bool written = writeReport(request);
        qDebug() << "[Info] write file:" << written;
        if (!written)
            return false;
        Platform::sleepMs(kPacingMs);
        const bool ok = readReport(kImageReadSize, &read);
        qDebug() << "[Info] read file 1" << ok;
        if (!ok)
            return false;
    }
    QMutexLocker lock(&m_stateLock);
    m_image = read;
    m_savedDpiStage = quint8(m_image.at(kDpiStageByte));
    m_imageRead = true;
    return true;
}

bool HDeviceKinloch_Hollis::writeData()
{
    MouseOperation op(m_session);
    return op.isHeld() && commitImage(image());
}

bool HDeviceKinloch_Hollis::commitImage(QByteArray next)
{
    {
        QMutexLocker lock(&m_stateLock);
        if (!m_imageRead) {
            qDebug() << "[ERROR] Kinloch_Hollis: no image has been read, nothing is written";
            return false;
        }
        next[kDirection1Byte] = char(kDirectionWrite);
        next[kDirection2Byte] = char(kDirectionWrite);
        if (quint8(next.at(kWriteFlagByte)) == kFlagRewriteEntry9) {
            for (int i = 0; i < int(sizeof(kKeyEntry9Fire)); ++i)
                next[kKeyEntry9Byte + i] = char(kKeyEntry9Fire[i]);
            next[kDpiStageByte] = char(m_savedDpiStage);
            next[kWriteFlagByte] = char(kFlagWritten);
        }
    }
    if (!opened || !m_channel || !m_channel->isOpened())
        return false;
    {
        QMutexLocker exchange(HCommunicateManager::instance()->getMutex());
        QByteArray ack;
        Platform::sleepMs(kPacingMs);
        if (!writeReport(next.left(kPageSize))) {
            qDebug() << "[ERROR] writeData1";
            return false;
        }
        Platform::sleepMs(kPacingMs);
        if (!readReport(1, &ack))
            return false;
        Platform::sleepMs(kPacingMs);
        if (!writeReport(next.mid(kPageSize, kPageSize))) {
            qDebug() << "[ERROR] writeData2";
            return false;
        }
        Platform::sleepMs(kPacingMs);
        if (!readReport(1, &ack))
            return false;
    }
    QMutexLocker lock(&m_stateLock);
    m_image = next;
    return true;
}

bool HDeviceKinloch_Hollis::setLightModel(const int& mode, int)
{
    if (mode < 0 || mode > 0xFF)
        return false;
    MouseOperation op(m_session);
    if (!op.isHeld())
        return false;
    QByteArray next = image();
    if (mode < int(sizeof(kLightAttribute) / sizeof(kLightAttribute[0])))
        next[kLightAttributeByte] = char(kLightAttribute[mode]);
    if (mode == 1)
        next[kLightBrightnessByte] = char(kBrightnessFull);
    else if (qint8(next.at(kLightBrightnessByte)) <= 0)
        next[kLightBrightnessByte] = char(kBrightnessDefault);
    next[kLightSpeedByte] = char(mode == 6 ? kSpeedStill : kSpeedDefault);
    next[kLightModeByte] = char(mode);
    return commitImage(next);
}
