#include "devices/keyboard/FDeviceQuenby_8a.h"

#include "common/DeviceIds.h"
#include "devices/LayoutDocument.h"
#include "devices/keyboard/Quenby8aKeyCodec.h"
#include "devices/keyboard/Quenby8aKeyTable.h"
#include "devices/keyboard/Quenby8aMacroRecord.h"
#include "devices/keyboard/Quenby8aProtocol.h"
#include "hid/HCommunicateManager.h"
#include "hid/Quenby_8aInterruputRead.h"
#include "hid/khid/KUSBDevice.h"
#include "platform/sys/PlatformTime.h"

#include "common/LoopDeadline.h"

#include <QDebug>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMutexLocker>
#include <QPointer>
#include <QSet>
#include <QTimer>

#include <memory>

using namespace Quenby8a;

namespace {

constexpr int kOpenTries = 6;
constexpr int kOpenRetryPauseMs = 1000;
// How long opening waits for its first register read before giving up on it.
constexpr int kInitReadTimeoutMs = 10000;

} // namespace

FDeviceQuenby_8a::FDeviceQuenby_8a(QObject* parent)
    : FDeviceQuenby_8a(DeviceIds::kKeyboardWired, kMacroSlots, parent)
{
}

FDeviceQuenby_8a::FDeviceQuenby_8a(int pid, int macroSlots, QObject* parent)
    : KBaseDevice(parent)
    , m_layoutPath(DeviceIds::layoutPath(pid).isEmpty() ? DeviceIds::layoutPath(DeviceIds::kKeyboardWired)
                                                        : DeviceIds::layoutPath(pid))
    , m_pid(pid)
    , m_address(kAddressByte)
    , m_delay(kPacingDelayMs)
{
    m_transport.setAddressByte(m_address);
    m_transport.setPacingDelay(m_delay);
    for (int slot = 0; slot < macroSlots; ++slot)
        m_macroSlots.insert(slot, -1);

    m_layout = LayoutDocument::read(m_layoutPath);

    m_readThread = new Quenby_8aInterruputRead();
    connect(m_readThread, &Quenby_8aInterruputRead::sigData, this, &FDeviceQuenby_8a::onInterruptData);
    connect(m_readThread, &QThread::finished, this, &FDeviceQuenby_8a::onReaderFinished);
}

FDeviceQuenby_8a::~FDeviceQuenby_8a()
{
    if (m_readThread) {
        // Stops the reader cooperatively and joins it; the thread object frees its own channel.
        m_readThread->stop();
        delete m_readThread;
        m_readThread = nullptr;
        qDebug() << "mReadThread:" << static_cast<void*>(m_readThread);
    }
}

// --- opening ------------------------------------------------------------------------------------------------

bool FDeviceQuenby_8a::initDevice()
{
    // Every operation that touches the channel holds the operation lock on its pool thread, so the channel
    // may be closed and reopened only while that lock is free. The GUI thread never waits for it: with work
    // in flight an open channel is kept as it is (the start-up read below then tells whether it still
    // reaches the keyboard), and a channel that was never opened cannot be opened now.
    if (!m_operationLock.tryLock()) {
        if (!m_channel || !m_channel->isOpened()) {
            qWarning() << "[ERROR] init device: the device is busy, try again";
            return false;
        }
        qDebug() << "[INFO] init device: work in flight, the open channel is kept";
        opened = true;
    } else {
        const bool ok = openChannel();
        m_operationLock.unlock();
        opened = ok;
        qDebug() << "[INFO] init device" << opened;
        if (!opened)
            return false;
    }

    // The first register read runs on the pool like every other one; the GUI thread keeps its events
    // flowing meanwhile, but only for a bounded time.
    struct Outcome {
        bool done = false;
        int value = -1;
    };
    auto outcome = std::make_shared<Outcome>();
    QEventLoop loop;
    QPointer<QEventLoop> guard(&loop);
    work.run([this] { return readInitRegister(); },
             [outcome, guard](int value) {
                 outcome->done = true;
                 outcome->value = value;
                 if (guard)
                     guard->quit();
             });
    if (!outcome->done) {
        execWithDeadline(loop, kInitReadTimeoutMs);
    }
    if (!outcome->done || outcome->value == -1)
        opened = false;
    else if (outcome->value < int(kUsbModeRegisterValue))
        emit sigCurrentModeChange(1);

    if (opened)
        startReader();
    return opened;
}

void FDeviceQuenby_8a::startReader()
{
    if (!m_readThread)
        return;
    m_readThread->setPid(m_pid);
    if (m_readThread->isRunning()) {
        // A running reader would ignore start(): it ends on its own after its device went away.
        m_readerRestartPending = true;
        return;
    }
    m_readThread->start(QThread::InheritPriority);
}

void FDeviceQuenby_8a::onReaderFinished()
{
    if (!m_readThread || !m_readerRestartPending.exchange(false))
        return;
    if (isRemoved() || !opened)
        return;
    // finished() is sent just before the thread ends; the wait is that last step.
    m_readThread->wait();
    m_readThread->start(QThread::InheritPriority);
}

bool FDeviceQuenby_8a::openChannel()
{
    // The channel belongs to HCommunicateManager: a reopen only closes it, the manager frees it with us.
    if (m_channel && m_channel->isOpened())
        m_channel->close();
    m_channel = HCommunicateManager::instance()->getDevice(this);
    m_transport.setChannel(m_channel);
    m_transport.setMutex(HCommunicateManager::instance()->getMutex());

    for (int attempt = 0; attempt < kOpenTries; ++attempt) {
        if (m_channel->initDevice(DeviceIds::kVendorId, quint16(m_pid), kCommandUsage, kCommandUsagePage, 0))
            return true;
        qDebug() << "[ERROR] init fail retry" << attempt;
        if (attempt + 1 < kOpenTries)
            Platform::sleepMs(kOpenRetryPauseMs);
    }
    return false;
}

int FDeviceQuenby_8a::readInitRegister()
{
    return readByteRegister(kRegModeRegister, 1, Quenby8aConfigImage::kHeaderModeRegister);
}

bool FDeviceQuenby_8a::enterGameMode()
{
    if (!m_readThread)
        return false;
    startReader();
    return true;
}

QJsonObject* FDeviceQuenby_8a::getLayout()
{
    return &m_layout;
}

int FDeviceQuenby_8a::getFwVersion()
{
    QMutexLocker op(&m_operationLock);
    return m_transport.readVersion();
}

// --- register helpers ---------------------------------------------------------------------------------------

int FDeviceQuenby_8a::readByteRegister(quint32 address, int length, int headerIndex)
{
    QMutexLocker op(&m_operationLock);
    const QByteArray data = m_transport.readRegister(address, length);
    if (data.isEmpty())
        return -1;
    const quint8 raw = quint8(data.at(0));
    QMutexLocker lock(&m_stateLock);
    m_image.setHeader(headerIndex, raw);
    return raw;
}

bool FDeviceQuenby_8a::writeByteRegister(quint32 address, quint8 value)
{
    return m_transport.writeRegister(address, QByteArray(1, char(value)));
}

bool FDeviceQuenby_8a::writeRegisterPair(quint32 first, quint32 second, quint8 value)
{
    if (!writeByteRegister(first, value))
        return false;
    Platform::sleepMs(m_delay);
    return writeByteRegister(second, value);
}

bool FDeviceQuenby_8a::writeKeyTable(const QByteArray& table)
{
    return m_transport.writeBulk(kRegKeyTable, table, QStringLiteral("[error]write keyFunction"));
}

bool FDeviceQuenby_8a::writeKeyBrightnessTable(const QByteArray& table)
{
    return m_transport.writeBulk(kRegKeyBrightness, table, QStringLiteral("[error]write keyFunction"));
}

// --- lights -------------------------------------------------------------------------------------------------

int FDeviceQuenby_8a::lightModeCount() const
{
    return m_layout.value(QStringLiteral("light")).toObject().value(QStringLiteral("lightMode")).toArray().size();
}

void FDeviceQuenby_8a::layoutRange(const char* minKey, const char* maxKey, int fallbackMin, int fallbackMax, int* lo,
                                   int* hi) const
{
    const QJsonObject light = m_layout.value(QStringLiteral("light")).toObject();
    const QJsonValue min = light.value(QLatin1String(minKey));
    const QJsonValue max = light.value(QLatin1String(maxKey));
    *lo = min.isDouble() ? qMax(fallbackMin, min.toInt()) : fallbackMin;
    *hi = max.isDouble() ? qMin(fallbackMax, max.toInt()) : fallbackMax;
}

bool FDeviceQuenby_8a::inLayoutRange(const char* minKey, const char* maxKey, int value, int fallbackMin,
                                     int fallbackMax) const
{
    int lo = 0, hi = 0;
    layoutRange(minKey, maxKey, fallbackMin, fallbackMax, &lo, &hi);
    return value >= lo && value <= hi;
}

bool FDeviceQuenby_8a::validLightMode(int mode) const
{
    const int count = lightModeCount();
    return mode >= 0 && mode <= (count > 0 ? count - 1 : 0xFE);
}

bool FDeviceQuenby_8a::validLogoMode(int mode)
{
    return mode >= 0 && mode <= 0xFF;
}

bool FDeviceQuenby_8a::validSpeed(int speed) const
{
    // The device stores the speed inverted, so the range is 0..kMaxSpeed whatever the layout says.
    return inLayoutRange("speedMin", "speedMax", speed, 0, kMaxSpeed);
}

bool FDeviceQuenby_8a::validBrightness(int brightness) const
{
    return inLayoutRange("brightnessMin", "brightnessMax", brightness, 0, 0xFF);
}

void FDeviceQuenby_8a::keyLevelRange(int* min, int* max) const
{
    // The stored level must stay a byte: the layout's range (0..10) keeps it there.
    layoutRange("keyLightMin", "keyLightMax", 0, kMaxKeyLevel, min, max);
}

int FDeviceQuenby_8a::getLightModel(int zone)
{
    Q_UNUSED(zone);
    const int raw = readByteRegister(kRegLightMode, kLightModeReadLength, Quenby8aConfigImage::kHeaderLightMode);
    return raw < 0 ? -1 : lightModeFromDevice(quint8(raw));
}

int FDeviceQuenby_8a::getLightSpeed(int zone)
{
    Q_UNUSED(zone);
    const int raw = readByteRegister(kRegSpeed, 1, Quenby8aConfigImage::kHeaderSpeed);
    return raw < 0 ? -1 : speedFromDevice(quint8(raw));
}

int FDeviceQuenby_8a::getLightBrightness(int zone)
{
    Q_UNUSED(zone);
    return readByteRegister(kRegBrightness, 1, Quenby8aConfigImage::kHeaderBrightness);
}

int FDeviceQuenby_8a::getLogoLightMode(int zone)
{
    Q_UNUSED(zone);
    return readByteRegister(kRegLogoMode, 1, Quenby8aConfigImage::kHeaderLightMode);
}

bool FDeviceQuenby_8a::setLightModel(const int& mode, int zone)
{
    Q_UNUSED(zone);
    if (!validLightMode(mode)) {
        qDebug() << "[Error] light mode out of range" << mode;
        return false;
    }
    QMutexLocker op(&m_operationLock);
    return writeRegisterPair(kRegLightMode, kRegLightModeCopy, lightModeToDevice(mode));
}

bool FDeviceQuenby_8a::setLightSpeed(const int& speed, int zone)
{
    Q_UNUSED(zone);
    if (!validSpeed(speed)) {
        qDebug() << "[Error] light speed out of range" << speed;
        return false;
    }
    QMutexLocker op(&m_operationLock);
    return writeRegisterPair(kRegSpeed, kRegSpeedCopy, speedToDevice(speed));
}

bool FDeviceQuenby_8a::setLightBrightness(const int& brightness, int zone)
{
    Q_UNUSED(zone);
    if (!validBrightness(brightness)) {
        qDebug() << "[Error] light brightness out of range" << brightness;
        return false;
    }
    QMutexLocker op(&m_operationLock);
    return writeRegisterPair(kRegBrightness, kRegBrightnessCopy, quint8(brightness));
}

bool FDeviceQuenby_8a::setLogoLightMode(const int& mode, int zone)
{
    Q_UNUSED(zone);
    if (!validLogoMode(mode))
        return false;
    QMutexLocker op(&m_operationLock);
    return writeByteRegister(kRegLogoMode, quint8(mode));
}

bool FDeviceQuenby_8a::setKeyBrightness(const KKey& key, const int& level)
{
    const int pos = positionOfKey(key);
    if (pos < 0)
        return false;
    int minLevel = 0, maxLevel = 0;
    keyLevelRange(&minLevel, &maxLevel);
    if (level < minLevel || level > maxLevel) {
        qDebug() << "[Error] key brightness out of range" << level;
        return false;
    }
    QMutexLocker op(&m_operationLock);
    if (!writeByteRegister(kRegKeyBrightness + quint32(pos), keyLevelToDevice(level))) {
        qDebug() << "setKeyFunc: writeCmd error";
        return false;
    }
    QMutexLocker lock(&m_stateLock);
    m_image.setKeyBrightness(pos, quint8(level));
    return true;
}

H_KEYLIGHT FDeviceQuenby_8a::getKeyBrightness()
{
    QByteArray table;
    {
        QMutexLocker op(&m_operationLock);
        table = m_transport.readBulk(kRegKeyBrightness, kKeyBrightnessSize);
    }
    if (table.size() != kKeyBrightnessSize) {
        qDebug() << "getKEY error";
        return H_KEYLIGHT();
    }
    H_KEYLIGHT result;
    for (int pos = 0; pos < kPositionCount; ++pos) {
        const int key = keyAtPosition(pos);
        if (key == kEmptyPosition || isIsoKey(key))
            continue;
        FKeyLightModelItem item;
        item.setKey(key);
        item.setBrightness(keyLevelFromDevice(quint8(table.at(pos))));
        result.insert(KKey(key), item);
    }
    return result;
}

// --- interrupt reports --------------------------------------------------------------------------------------

void FDeviceQuenby_8a::onInterruptData(QString data)
{
    // A report shorter than the state report cannot be read safely.
    if (data.size() < int(sizeof(StateReport)))
        return;
    StateReport report;
    quint8* bytes = reinterpret_cast<quint8*>(&report);
    for (int i = 0; i < int(sizeof(StateReport)); ++i)
        bytes[i] = quint8(data.at(i).unicode() & 0xFF);
    if (report.reportId != kStateReportId || report.ignored == kStateReportIgnored)
        return;

    int mode = lightModeFromDevice(report.lightMode);
    int brightness = report.brightness;
    int speed = speedFromDevice(report.speed);
    const int logo = report.logoMode;
    int currentMode = 0;
    if (report.modeRegister != kUsbModeRegisterValue) {
        currentMode = 1;
        mode = lightModeFromDevice(report.boardLightMode);
        brightness = report.boardBrightness;
        speed = speedFromDevice(report.boardSpeed);
    }
    emit sigcurrentChange(mode, brightness, speed, logo);
    emit sigCurrentModeChange(currentMode);
    qDebug() << "getchange  " << " mode:" << mode << "  brightness:" << brightness << "  speed:" << speed
             << " logo" << logo << " currentMode:" << currentMode;
}

// --- key codes ----------------------------------------------------------------------------------------------

bool FDeviceQuenby_8a::transToByte(int function, quint8* out, const QVariant& a, const QVariant& b)
{
    KKeyCode code;
    if (!Quenby8aKeyCodec::encode(function, a.toInt(), b.toInt(), &code))
        return false;
    if (out) {
        const auto bytes = code.bytes();
        for (int i = 0; i < 4; ++i)
            out[i] = bytes[size_t(i)];
    }
    return true;
}

void FDeviceQuenby_8a::transToItem(KKeyModelItem& item, quint8 b0, quint8 b1, quint8 b2, quint8 b3)
{
    const quint8 bytes[4] = {b0, b1, b2, b3};
    item.setType(Quenby8aKeyCodec::decode(KKeyCode::fromBytes(bytes)), false);
    item.setValue1(b0, false);
    item.setValue2(b1, false);
    item.setValue3(b2, false);
    item.setValue4(b3, false);
    item.setTxt(QString(), false);
}

bool FDeviceQuenby_8a::isModifierFunction(int function)
{
    return ::isModifierFunction(function);
}

bool FDeviceQuenby_8a::keyGapAfter(int key, int* count)
{
    return Quenby8a::keyGapAfter(key, count);
}

bool FDeviceQuenby_8a::hasHiddenKeyAfter(int key)
{
    return Quenby8a::hasHiddenKeyAfter(key);
}

QMap<int, int> FDeviceQuenby_8a::macroSlots() const
{
    QMutexLocker lock(&m_stateLock);
    return m_macroSlots;
}

Quenby8aConfigImage FDeviceQuenby_8a::configImage() const
{
    QMutexLocker lock(&m_stateLock);
    return m_image;
}
