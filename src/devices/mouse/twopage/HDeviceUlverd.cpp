#include "devices/mouse/twopage/HDeviceUlverd.h"

#include "common/AppServices.h"
#include "common/DeviceIds.h"
#include "devices/mouse/twopage/UlverdMacro.h"
#include "devices/mouse/twopage/UlverdProtocol.h"
#include "hid/HCommunicateManager.h"
#include "hid/khid/KUSBDevice.h"
#include "platform/sys/PlatformTime.h"

#include <QDebug>
#include <QMutexLocker>

using namespace Ulverd;
using namespace TwoPage;

namespace {

// How long opening waits for its first image read before giving up on it.
constexpr int kStartupReadTimeoutMs = 10000;

} // namespace

HDeviceUlverd::HDeviceUlverd(QObject* parent)
    : HDeviceUlverd(DeviceIds::kUlverd, Dialect::Root, parent)
{
}

HDeviceUlverd::HDeviceUlverd(quint16 pid, Dialect dialect, QObject* parent)
    : MouseSessionDevice(DeviceIds::layoutPath(pid), parent)
    , m_pid(pid)
    , m_dialect(dialect)
    , m_image(kImageSize, '\0')
{
    m_dpi.setTableA(dpiTable(kDpiTableA, false));
    m_dpi.setTableB(dpiTable(kDpiTableB, false));
    for (int slot = kFirstMacroSlot; slot <= kLastMacroSlot; ++slot)
        m_macroSlots.insert(slot, -1);
    m_transport.setMutex(HCommunicateManager::instance()->getMutex());
}

HDeviceUlverd::~HDeviceUlverd() = default;

void HDeviceUlverd::setDpiTables(const DpiTable& a, const DpiTable& b)
{
    QMutexLocker lock(&m_stateLock);
    m_dpi = DpiCodeTables(a, b);
}

// --- opening ------------------------------------------------------------------------------------------------

bool HDeviceUlverd::initDevice()
{
    opened = openForInit();
    if (opened && !runStartupRead())
        opened = false;
    return opened;
}

bool HDeviceUlverd::openForInit()
{
    // Operations hold the operation lock while they use the channel, so it is replaced only while the lock
    // is free; the GUI thread never waits for it. With work in flight an open channel is kept.
    MouseOperation op(m_session);
    if (!op.isHeld()) {
        if (m_channel && m_channel->isOpened())
            return true;
        qWarning() << "[ERROR] init device: the device is busy, try again";
        return false;
    }
    const bool ok = openChannel();
    qDebug() << "[INFO] init device" << ok;
    return ok;
}

bool HDeviceUlverd::openChannel()
{
    if (m_channel)
        m_channel->deleteLater();
    m_channel = new KHID::KUSBDevice(this);
    m_transport.setChannel(m_channel);
    for (int attempt = 0; attempt < kOpenTries; ++attempt) {
        if (m_channel->initDevice(DeviceIds::kVendorId, m_pid, kUsage, kUsagePage, quint16(0)))
            return true;
        if (attempt + 1 < kOpenTries) {
            Platform::sleepMs(kOpenRetryPauseMs);
            qDebug() << "[ERROR] init fail retry" << attempt;
        }
    }
    return false;
}

bool HDeviceUlverd::runStartupRead()
{
    // The read runs on the pool like every other exchange; the GUI thread keeps its events flowing meanwhile.
    return m_session.runAndWait(work, [this] { return readData(); }, kStartupReadTimeoutMs);
}

int HDeviceUlverd::getFwVersion()
{
    QMutexLocker lock(&m_stateLock);
    return m_fwVersion;
}

// --- the image ----------------------------------------------------------------------------------------------

bool HDeviceUlverd::readData()
{
    MouseOperation op(m_session);
    return op.isHeld() && readImageLocked();
}

bool HDeviceUlverd::readImageLocked()
{
    if (!opened || !m_channel)
        return false;
    const int pacing = locked() ? kLockedPacingMs : kRootPacingMs;
    QList<QByteArray> pages;
    const bool ok = m_transport.exchange(
        {UlverdTransport::write(0, UlverdTransport::request({kCmdReadImage, kRequestArgument, kRequestArgument}),
                                "[Info] write data:"),
         UlverdTransport::read(pacing, "[Info] read data1:"), UlverdTransport::read(pacing, "[Info] read data2:")},
        &pages);
    if (!ok || pages.size() != kPageCount)
        return false;
    {
        QMutexLocker lock(&m_stateLock);
        m_image = pages.at(0) + pages.at(1);
        m_fwVersion = m_channel->deviceDetail().versionNumber;
    }
    imageRead();
    return true;
}

bool HDeviceUlverd::writeData()
{
    MouseOperation op(m_session);
    return op.isHeld() && commitImage(image());
}

bool HDeviceUlverd::commitImage(QByteArray next)
{
    if (!opened || !m_channel || next.size() != kImageSize)
        return false;
    next[kDirection1Byte] = char(kDirectionWrite);
    next[kDirection2Byte] = char(kDirectionWrite);
    if (locked()) {
        next[kWriteFlagByte] = 0;
    } else if (quint8(next.at(kWriteFlagByte)) == kWriteFlagRead) {
        next[kWriteFlagByte] = char(kWriteFlagWrite);
    }
    quint32 reportsBefore;
    {
        QMutexLocker lock(&m_stateLock);
        reportsBefore = m_stageReports;
    }
    const int pacing = locked() ? kLockedPacingMs : kRootPacingMs;
    const bool ok = m_transport.exchange({UlverdTransport::write(pacing, next.left(kPageSize), nullptr,
                                                                 "[Error] writeData page1"),
                                          UlverdTransport::read(pacing),
                                          UlverdTransport::write(pacing, next.mid(kPageSize, kPageSize), nullptr,
                                                                 "[Error] writeData page2"),
                                          UlverdTransport::read(pacing)});
    if (!ok)
        return false;
    QMutexLocker lock(&m_stateLock);
    // A stage the mouse reported while the pages were on their way is newer than the one sent.
    if (m_stageReports != reportsBefore)
        next[kDpiStageByte] = m_image.at(kDpiStageByte);
    m_image = next;
    return true;
}

bool HDeviceUlverd::editImage(const std::function<void(QByteArray&)>& change)
{
    MouseOperation op(m_session);
    if (!op.isHeld())
        return false;
    QByteArray next = image();
    change(next);
    return commitImage(next);
}

QByteArray HDeviceUlverd::image() const
{
    QMutexLocker lock(&m_stateLock);
    return m_image;
}

QMap<int, int> HDeviceUlverd::macroSlots() const
{
    QMutexLocker lock(&m_stateLock);
    return m_macroSlots;
}

// --- DPI ------------------------------------------------------------------------------------------------------

int HDeviceUlverd::dpiCodeToValue(quint8 code)
{
    QMutexLocker lock(&m_stateLock);
    return m_dpi.codeToValue(code);
}

quint8 HDeviceUlverd::dpiValueToCode(int value)
{
    QMutexLocker lock(&m_stateLock);
    return m_dpi.valueToCode(value);
}

int HDeviceUlverd::getDpiIndex()
{
    QMutexLocker lock(&m_stateLock);
    return quint8(m_image.at(kDpiStageByte));
}

QVector<int> HDeviceUlverd::getDpiList()
{
    const QByteArray current = image();
    QVector<int> values;
    for (int stage = 0; stage < kDpiStages; ++stage)
        values << dpiCodeToValue(quint8(current.at(dpiCodeByte(stage))));
    return values;
}

bool HDeviceUlverd::setDpiIndex(const int& index)
{
    if (index < 0 || index >= kDpiStages)
        return false;
    return editImage([index](QByteArray& next) { next[kDpiStageByte] = char(index); });
}

bool HDeviceUlverd::planDpi(const QVector<int>& values, const QVector<bool>& enable, int currentStage,
                            QByteArray& next)
{
    if (values.size() > kDpiStages || enable.size() < values.size())
        return false;
    QMutexLocker lock(&m_stateLock);
    QVector<int> order;
    QVector<int> kept;
    for (int i = 0; i < values.size(); ++i) {
        const int value = values.at(i);
        if (value != 0 && !m_dpi.hasValue(value))
            return false;
        (enable.at(i) ? order : kept) << value;
    }
    if (order.isEmpty())
        return false;
    const int disabled = kept.size() + (kDpiStages - values.size());
    const int highest = kDpiStages - 1 - disabled;
    order += kept;
    for (int stage = 0; stage < kDpiStages; ++stage)
        next[dpiCodeByte(stage)] = char(stage < order.size() ? m_dpi.valueToCode(order.at(stage)) : 0);
    next[kDpiEnableMaskByte] = char(enableMask(disabled));
    int stage = currentStage;
    if (currentStage < 0) {
        // The root goes back to its third stage (or the highest one left, when fewer are on); the variant
        // keeps a stage that is still on.
        const int current = quint8(next.at(kDpiStageByte));
        stage = current > highest ? highest : locked() ? current : qMin(2, highest);
    }
    next[kDpiStageByte] = char(stage);
    return true;
}

bool HDeviceUlverd::setDpiList(const QVector<int>& values)
{
    MouseOperation op(m_session);
    if (!op.isHeld())
        return false;
    QByteArray next = image();
    if (!planDpi(values, op.ui().dpiEnable, -1, next)) {
        qDebug() << "[Error] setDpiList" << values;
        return false;
    }
    return commitImage(next);
}

// --- report rate and light ----------------------------------------------------------------------------------

int HDeviceUlverd::getReportRate()
{
    QMutexLocker lock(&m_stateLock);
    return quint8(m_image.at(kReportRateByte));
}

int HDeviceUlverd::getLightModel(int)
{
    QMutexLocker lock(&m_stateLock);
    return quint8(m_image.at(kLightModeByte));
}

int HDeviceUlverd::getLightSpeed(int)
{
    QMutexLocker lock(&m_stateLock);
    const int stored = quint8(m_image.at(kLightSpeedByte));
    return locked() ? kLockedSpeedMax - stored : stored;
}

int HDeviceUlverd::getLightBrightness(int)
{
    QMutexLocker lock(&m_stateLock);
    return quint8(m_image.at(kLightBrightnessByte));
}

QMap<QString, int> HDeviceUlverd::getRGB(int)
{
    QMutexLocker lock(&m_stateLock);
    return {{QStringLiteral("r"), quint8(m_image.at(kColourByte))},
            {QStringLiteral("g"), quint8(m_image.at(kColourByte + 1))},
            {QStringLiteral("b"), quint8(m_image.at(kColourByte + 2))}};
}

bool HDeviceUlverd::setReportRate(const int& rate)
{
    if (rate < 0 || rate >= kReportRates)
        return false;
    return editImage([rate](QByteArray& next) { next[kReportRateByte] = char(rate); });
}

bool HDeviceUlverd::validLightMode(int mode) const
{
    return mode >= 0 && mode < (locked() ? kLockedLightSetterModes : kRootLightSetterModes);
}

bool HDeviceUlverd::validSpeed(int speed) const
{
    return speed >= 0 && speed <= (locked() ? kLockedSpeedMax : kRootSpeedMax);
}

bool HDeviceUlverd::validBrightness(int brightness) const
{
    return brightness >= 0 && brightness <= (locked() ? kLockedBrightnessMax : kRootBrightnessMax);
}

bool HDeviceUlverd::setLightModel(const int& mode, int)
{
    if (!validLightMode(mode))
        return false;
    const quint8 attribute = locked() ? kLockedLightAttribute[mode] : kLightAttribute[mode];
    return editImage([mode, attribute](QByteArray& next) {
        next[kLightModeByte] = char(mode);
        next[kLightAttributeByte] = char(attribute);
    });
}

bool HDeviceUlverd::setLightSpeed(const int& speed, int)
{
    if (!validSpeed(speed))
        return false;
    const int stored = locked() ? kLockedSpeedMax - speed : speed;
    return editImage([stored](QByteArray& next) { next[kLightSpeedByte] = char(stored); });
}

bool HDeviceUlverd::setLightBrightness(const int& brightness, int)
{
    if (!validBrightness(brightness))
        return false;
    return editImage([brightness](QByteArray& next) { next[kLightBrightnessByte] = char(brightness); });
}

bool HDeviceUlverd::setRGB(const QMap<QString, int>& rgb, int)
{
    const QString keys[] = {QStringLiteral("r"), QStringLiteral("g"), QStringLiteral("b")};
    for (const QString& key : keys) {
        if (!rgb.contains(key) || rgb.value(key) < 0 || rgb.value(key) > 0xFF) {
            qDebug() << "[ERROR] setRGB";
            return false;
        }
    }
    return editImage([&rgb, &keys](QByteArray& next) {
        for (int i = 0; i < 3; ++i)
            next[kColourByte + i] = char(rgb.value(keys[i]));
    });
}

// --- macros -----------------------------------------------------------------------------------------------

int HDeviceUlverd::getMacroBufferSize()
{
    return locked() ? kLockedMacroBufferSize : kMacroBufferSize;
}

int HDeviceUlverd::macroPacingMs() const
{
    return locked() ? kLockedPacingMs : kRootMacroPacingMs;
}

bool HDeviceUlverd::encodeMacro(const QVector<KMacroItem>& items, bool ignoreDelay, QByteArray* events,
                                int* records) const
{
    if (locked())
        return UlverdMacro::encodeLockedEvents(items, ignoreDelay, events, records);
    *records = 0;
    return UlverdMacro::encodeEvents(items, ignoreDelay, events);
}

int HDeviceUlverd::setMacro(bool ignoreDelay, const MacroPlayType& playType, const QVector<KMacroItem>& items,
                            QVariant times, const int& slot)
{
    // Only the slots the mouse has: 4..8 on the root, a button's place 1..8 on the variant.
    const bool validSlot = locked() ? slot >= 1 && slot <= kLockedReadEntries
                                    : slot >= kFirstMacroSlot && slot <= kLastMacroSlot;
    if (!validSlot) {
        qDebug() << "[Error] setMacro: no such macro slot" << slot;
        return 0;
    }
    QByteArray events;
    int records = 0;
    if (!encodeMacro(items, ignoreDelay, &events, &records)) {
        qDebug() << "[Error] setMacro: the macro is longer than the mouse takes";
        return 0;
    }
    {
        // The play code and repeat count feed the next macro key code.
        QMutexLocker lock(&m_stateLock);
        switch (playType) {
        case MacroPlayToggle:
            m_playCode = kPlayCodeToggle;
            m_repeat = 1;
            break;
        case MacroPlayWhilePressed:
            m_playCode = kPlayCodeWhilePressed;
            m_repeat = 1;
            break;
        default:
            m_playCode = kPlayCodeCycles;
            m_repeat = qBound(0, times.toInt(), 0xFFFF);
            break;
        }
    }
    MouseOperation op(m_session);
    return op.isHeld() ? sendMacro(slot, events, records) : 0;
}

int HDeviceUlverd::sendMacro(int slot, const QByteArray& events, int records)
{
    if (!opened || !m_channel)
        return 0;
    const int pacing = macroPacingMs();
    const quint8 s = quint8(slot);
    const QList<QByteArray> packets = UlverdMacro::dataPackets(s, events, quint8(records));
    QList<QByteArray> replies;
    if (locked()) {
        if (!m_transport.exchange({UlverdTransport::write(pacing, UlverdTransport::request({kCmdMacroSelect, s})),
                                   UlverdTransport::read(pacing), UlverdTransport::read(pacing)}))
            return 0;
        if (!m_transport.exchange({UlverdTransport::write(pacing, UlverdTransport::request(
                                                                       {kCmdMacroBegin, kRequestArgument,
                                                                        kRequestArgument})),
                                   UlverdTransport::read(pacing)}))
            return 0;
    } else {
        if (!m_transport.exchange({UlverdTransport::write(kRootPacingMs,
                                                          UlverdTransport::request({kCmdMacroSelect, s})),
                                   UlverdTransport::read(pacing)}))
            return 0;
        const int total = events.size() + kMacroLengthExtra;
        if (!m_transport.exchange({UlverdTransport::write(pacing, UlverdTransport::request(
                                                                       {kCmdMacroLength, s, quint8(total >> 8),
                                                                        quint8(total & 0xFF)})),
                                   UlverdTransport::read(pacing)},
                                  &replies)
            || quint8(replies.last().at(kReplyAcceptByte)) == 0)
            return 0;
    }
    for (const QByteArray& packet : packets) {
        replies.clear();
        QList<UlverdTransport::Step> steps{UlverdTransport::write(pacing, packet), UlverdTransport::read(pacing)};
        if (locked())
            steps << UlverdTransport::read(pacing);
        if (!m_transport.exchange(steps, &replies) || quint8(replies.last().at(kReplyAcceptByte)) == 0) {
            qDebug() << "[Error] setMacro packet" << quint8(packet.at(4));
            return 0;
        }
    }
    return 1;
}
