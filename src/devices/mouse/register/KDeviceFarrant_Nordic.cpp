#include "devices/mouse/register/KDeviceFarrant_Nordic.h"

#include "common/AppServices.h"
#include "common/DeviceIds.h"
#include "common/ProgramFolders.h"
#include "devices/LayoutDocument.h"
#include "devices/mouse/register/FarrantNordicBattery.h"
#include "devices/mouse/register/FarrantNordicModels.h"
#include "devices/mouse/register/FarrantNordicProtocol.h"
#include "hid/FarrantInterruputRead.h"
#include "hid/HCommunicateManager.h"
#include "hid/khid/KUSBDevice.h"
#include "platform/sys/PlatformTime.h"

#include "common/LoopDeadline.h"

#include <QDebug>
#include <QEventLoop>
#include <QMutexLocker>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>

#include <algorithm>
#include <memory>

using namespace FarrantNordic;

namespace {

const char* const kRootLayout = ":/common/newUI/Jarrow/JarrowLayout.json";
constexpr int kRootDelayMs = 200;

// Defaults of the settings block in the image, by register byte.
struct ImageDefault {
    quint32 reg;
    quint8 value;
};
constexpr ImageDefault kImageDefaults[] = {
    {kRegReportRate, 1},
    {kRegDpiIndex, 1},          // DPI stage
    {kRegDpiIndex + 1, 4},      // light mode
    {kRegPicTime, 3},
    {kRegZoneColour + 3, 0xFF},
    {kRegZoneColour + 7, 0xFF},
    {kRegZoneColour + 11, 0xFF},
};

constexpr int imageOffset(quint32 reg)
{
    return kImageSettingsOffset + int(reg - kRegSettingsBase);
}
static_assert(imageOffset(kRegReportRate) == 639 && imageOffset(kRegDpiIndex) == 663
                  && imageOffset(kRegPicTime) == 691 && imageOffset(kRegZoneColour + 3) == 698,
              "the settings block starts at image byte 639");

// Light speed: the user's speed to the stored code and back (0 fastest).
int lightSpeedCode(int speed)
{
    const int t = (speed == 0 || speed == 1) ? 1 : speed / 2;
    switch (t) {
    case 1: return 4;
    case 2: return 3;
    case 4: return 1;
    case 5: return 0;
    default: return 2;
    }
}

int lightSpeedFromCode(int code)
{
    static constexpr int kSpeeds[] = {10, 8, 6, 4, 2};
    return code >= 0 && code < 5 ? kSpeeds[code] : code;
}

constexpr int kPictureChunkPauseMs = 10;
constexpr quint32 kMaxStageCode = 0xFFFF;

} // namespace

KDeviceFarrant_Nordic::KDeviceFarrant_Nordic(QObject* parent)
    : KDeviceFarrant_Nordic(DeviceIds::kJarrowNordic, kAddressWired, kRootDelayMs, QLatin1String(kRootLayout), parent)
{
}

KDeviceFarrant_Nordic::KDeviceFarrant_Nordic(int pid, QObject* parent)
    : KDeviceFarrant_Nordic(pid, modelRow(pid)->address, modelRow(pid)->delayMs,
                            QLatin1String(modelRow(pid)->layoutPath), parent)
{
}

KDeviceFarrant_Nordic::KDeviceFarrant_Nordic(int pid, quint8 address, int delayMs, const QString& layoutPath,
                                             QObject* parent)
    : KBaseDevice(parent)
    , m_layoutPath(layoutPath)
    , m_pid(pid)
    , m_delay(delayMs)
    , m_image(kImageSize, '\0')
{
    for (const ImageDefault& d : kImageDefaults)
        m_image[imageOffset(d.reg)] = char(d.value);
    m_image.replace(0, kKeyTableSize, FarrantNordicKeyCodec::defaultTable(KeyLine::Root));
    m_transport.setAddressByte(address);

    m_readThread = new FarrantInterruputRead();
    connect(this, &KBaseDevice::sigStartThread, this, &KDeviceFarrant_Nordic::startReader);
    connect(m_readThread, &KInterruptReadThread::postMsg, this, &KDeviceFarrant_Nordic::onReaderText);
    connect(m_readThread, &KInterruptReadThread::sigData, this, &KDeviceFarrant_Nordic::onReaderData);

    m_layout = LayoutDocument::read(m_layoutPath);
    m_session.setDeviceName(m_layout.value(QStringLiteral("deviceName")).toString());
}

KDeviceFarrant_Nordic::~KDeviceFarrant_Nordic()
{
    if (m_readThread) {
        // Cooperative stop and join; the thread frees its own channel.
        m_readThread->stop();
        delete m_readThread;
        m_readThread = nullptr;
        qDebug() << "mReadThread:" << static_cast<void*>(m_readThread);
    }
}

// --- opening ----------------------------------------------------------------------------------------------------

bool KDeviceFarrant_Nordic::initDevice()
{
    {
        // The GUI thread only tries the lock: with an operation in flight the open channel is kept as it is.
        MouseOperation op(m_session);
        if (!op.isHeld()) {
            opened = m_channel && m_channel->isOpened();
            qDebug() << "[INFO] init device: work in flight, channel kept" << opened;
            return opened;
        }
        opened = openChannel();
    }
    qDebug() << "[INFO] init device" << opened;
    if (!opened)
        return false;
    m_session.followModels();
    return afterOpen();
}

void KDeviceFarrant_Nordic::setChannel(KHID::KUSBDevice* channel)
{
    m_channel = channel;
    m_transport.setChannel(channel);
}

bool KDeviceFarrant_Nordic::openChannel()
{
    // The registry's channel: a reopen closes it, the registry frees it with this object.
    if (m_channel && m_channel->isOpened())
        m_channel->close();
    setChannel(HCommunicateManager::instance()->getDevice(this));
    m_transport.setMutex(HCommunicateManager::instance()->getMutex());
    return openAttempts();
}

bool KDeviceFarrant_Nordic::openOwnChannel()
{
    // A channel of this object's own; the exchanges on it still take the shared transaction mutex.
    if (m_channel && m_channel->isOpened())
        m_channel->close();
    if (!m_channel)
        setChannel(new KHID::KUSBDevice(this));
    m_transport.setMutex(HCommunicateManager::instance()->getMutex());
    return openAttempts();
}

bool KDeviceFarrant_Nordic::openAttempts()
{
    for (int attempt = 0; attempt < kOpenTries; ++attempt) {
        if (isRemoved())
            return false;
        if (m_channel->initDevice(DeviceIds::kVendorId, quint16(m_pid), kCommandUsage, kCommandUsagePage, 0))
            return true;
        if (attempt + 1 < kOpenTries) {
            Platform::sleepMs(kOpenRetryDelayMs);
            qDebug() << "[ERROR] init fail retry" << attempt;
        }
    }
    return false;
}

KDeviceFarrant_Nordic::StepResult KDeviceFarrant_Nordic::runOpeningStep(const std::function<bool()>& step)
{
    // The step runs on the pool; the GUI thread keeps its events flowing meanwhile, for a bounded time. The
    // mouse may be unplugged and deleted while it waits: the guard notices.
    struct Outcome {
        bool done = false;
        bool ok = false;
    };
    auto outcome = std::make_shared<Outcome>();
    QPointer<KDeviceFarrant_Nordic> self(this);
    QEventLoop loop;
    QPointer<QEventLoop> loopGuard(&loop);
    work.run(step,
             [outcome, loopGuard](bool ok) {
                 outcome->done = true;
                 outcome->ok = ok;
                 if (loopGuard)
                     loopGuard->quit();
             });
    if (!outcome->done) {
        execWithDeadline(loop, kGameModeWaitMs);
    }
    if (!self)
        return StepResult::Gone;
    if (isRemoved()) {
        // Unplugged while waiting: the registry deletes it once its tasks are over.
        opened = false;
        return StepResult::Gone;
    }
    if (!outcome->done) {
        qWarning() << "[ERROR] enter gameMode: no answer in time";
        return StepResult::NoAnswer;
    }
    return outcome->ok ? StepResult::Ok : StepResult::Failed;
}

bool KDeviceFarrant_Nordic::afterOpen()
{
    const StepResult step = runOpeningStep([this] { return enterGameMode(); });
    if (step == StepResult::Gone)
        return false;
    if (step != StepResult::Ok) {
        opened = false;
        AppServices::instance()->startWarning(AppServices::WarningDeviceConnect);
    }
    startReader();
    return opened;
}

bool KDeviceFarrant_Nordic::enterGameModeOnce()
{
    MouseOperation op(m_session);
    if (!op.isHeld())
        return false;
    if (getGameMode() == kGameModeOn)
        return true;
    if (!setGameMode(kGameModeOn)) {
        qDebug() << "[ERROR] enter gameMode error";
        return false;
    }
    return true;
}

bool KDeviceFarrant_Nordic::afterOwnOpening()
{
    const StepResult step = runOpeningStep([this] { return enterGameModeOnce(); });
    if (step == StepResult::Gone)
        return false;
    if (step != StepResult::Ok) {
        opened = false;
        AppServices::instance()->startWarning(AppServices::WarningDeviceConnect);
        return false;
    }
    // Only a mouse behind the receiver reports through it.
    if (DeviceIds::inReceiverRange(m_pid))
        startReader();
    return opened;
}

bool KDeviceFarrant_Nordic::readerStarted() const
{
    return m_readThread && (m_readThread->isRunning() || m_readThread->isFinished());
}

void KDeviceFarrant_Nordic::startReader()
{
    if (!m_readThread || m_readThread->isRunning())
        return;
    m_readThread->setPid(m_pid);
    m_readThread->start(QThread::InheritPriority);
}

bool KDeviceFarrant_Nordic::enterGameMode()
{
    MouseOperation op(m_session);
    if (!op.isHeld())
        return false;
    if (m_transport.getGameMode() == -1)
        return false;
    for (int pass = 0; pass < kGameModeTries && m_transport.cachedGameMode() != kGameModeOn; ++pass) {
        if (m_transport.setGameMode(kGameModeOn))
            break;
        qDebug() << "[ERROR] enter gameMode error";
        if (pass + 1 == kGameModeTries)
            return false;
    }
    if (DeviceIds::inReceiverRange(m_pid)) {
        const int battery = getBatteryValue();
        qDebug() << "mBattrey:" << battery;
        if (battery != -1) {
            m_battery = battery;
            emit sigBattrey(battery);
        }
    }
    return true;
}

QJsonObject* KDeviceFarrant_Nordic::getLayout()
{
    return &m_layout;
}

int KDeviceFarrant_Nordic::getMouseConfig(QJsonObject profile)
{
    Q_UNUSED(profile)
    return ProfileNotHandled;
}

// --- reader handlers (GUI thread) -------------------------------------------------------------------------------

void KDeviceFarrant_Nordic::onReaderText(QString text)
{
    if (text == QLatin1String("start getBatteryValue")) {
        work.run([this] { return getBatteryValue(); }, [this](int battery) {
            if (battery == -1)
                return;
            m_battery = battery;
            qDebug() << "mBattrey:" << battery;
            emit sigBattrey(battery);
        });
        return;
    }
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    qDebug().noquote() << "InterruputRead:" << text;
}

void KDeviceFarrant_Nordic::onReaderData(QString data)
{
    const QByteArray report = data.toLatin1();
    if (report.size() < kInterruptBatteryByte + 1)
        return;  // too short to hold the status fields
    const auto byteAt = [&report](int i) { return int(quint8(report[i])); };
    const int mode = byteAt(kInterruptModeByte);
    const int dpiRaw = byteAt(kInterruptDpiByte + 1) * 256 + byteAt(kInterruptDpiByte);
    const int battery = byteAt(kInterruptBatteryByte);

    if (dpiRaw != m_dpiRaw) {
        m_dpiRaw = dpiRaw;
        work.run([this] { return getDpiIndex(); }, [this](int index) {
            if (index >= 0)
                emit sigcurrentCPI(index);
        });
    }
    m_battery = battery;
    if (mode != m_transport.cachedGameMode())
        m_transport.setCachedGameMode(mode);
    qDebug() << "mBattrey:" << battery;
    if (DeviceIds::inReceiverRange(m_pid))
        emit sigBattrey(battery);
}

// --- transport pieces -------------------------------------------------------------------------------------------

int KDeviceFarrant_Nordic::getGameMode()
{
    MouseOperation op(m_session);
    return op.isHeld() ? m_transport.getGameMode() : -1;
}

bool KDeviceFarrant_Nordic::setGameMode(int mode)
{
    MouseOperation op(m_session);
    return op.isHeld() && mode >= 0 && mode <= 0xFF && m_transport.setGameMode(quint8(mode));
}

bool KDeviceFarrant_Nordic::ensureGameMode()
{
    MouseOperation op(m_session);
    return op.isHeld() && m_transport.ensureGameMode();
}

int KDeviceFarrant_Nordic::readStatusA9()
{
    MouseOperation op(m_session);
    return op.isHeld() ? m_transport.readStatusA9() : -1;
}

bool KDeviceFarrant_Nordic::sendCommandA7()
{
    MouseOperation op(m_session);
    return op.isHeld() && m_transport.sendBare(kCmdBareA7);
}

bool KDeviceFarrant_Nordic::sendCommandA8()
{
    MouseOperation op(m_session);
    return op.isHeld() && m_transport.sendBare(kCmdBareA8);
}

int KDeviceFarrant_Nordic::getFwVersion()
{
    MouseOperation op(m_session);
    return op.isHeld() ? m_transport.readVersion() : -1;
}

bool KDeviceFarrant_Nordic::setDefaultFlash()
{
    MouseOperation op(m_session);
    return op.isHeld() && m_transport.factoryReset();
}

bool KDeviceFarrant_Nordic::updateWord(quint32 word, const QList<QPair<int, quint8>>& changes, bool gameModeStep,
                                       const QString& name)
{
    return m_transport.updateWord(word, changes, gameModeStep, name);
}

bool KDeviceFarrant_Nordic::writeWord(quint32 address, const QByteArray& data, bool gameModeStep)
{
    return m_transport.writeRegisters(address, data, gameModeStep);
}

QByteArray KDeviceFarrant_Nordic::readBytes(quint32 address, int length, bool mirror)
{
    const QByteArray bytes = m_transport.readRegisters(address, length);
    if (mirror && !bytes.isEmpty())
        storeImage(address, bytes);
    return bytes;
}

int KDeviceFarrant_Nordic::readByte(quint32 address, bool mirror)
{
    // The word that holds the byte, as the mouse reads whole words.
    const quint32 word = address & ~quint32(kWordSize - 1);
    const QByteArray bytes = readBytes(word, kWordSize, mirror);
    return bytes.isEmpty() ? -1 : int(quint8(bytes[int(address - word)]));
}

void KDeviceFarrant_Nordic::storeImage(quint32 address, const QByteArray& bytes)
{
    QMutexLocker lock(&m_imageLock);
    for (int i = 0; i < bytes.size(); ++i) {
        const quint32 reg = address + quint32(i);
        if (reg >= kKeyTableAddress && reg < kKeyTableAddress + quint32(kKeyTableSize)) {
            m_image[int(reg - kKeyTableAddress)] = bytes[i];
            continue;
        }
        if (reg < kRegSettingsBase)
            continue;
        const int offset = imageOffset(reg);
        if (offset < m_image.size())
            m_image[offset] = bytes[i];
    }
}

QByteArray KDeviceFarrant_Nordic::configImage() const
{
    QMutexLocker lock(&m_imageLock);
    return m_image;
}

// --- getters ----------------------------------------------------------------------------------------------------

int KDeviceFarrant_Nordic::getDpiIndex()
{
    MouseOperation op(m_session);
    return op.isHeld() ? readByte(kRegDpiIndex, true) : -1;
}

QVector<int> KDeviceFarrant_Nordic::getDpiList()
{
    MouseOperation op(m_session);
    if (!op.isHeld())
        return {};
    const QByteArray bytes = readBytes(kRegDpiStages, kDpiListLength, true);
    if (bytes.isEmpty())
        return {};
    QVector<int> values;
    for (int stage = 0; stage < kDpiStages; ++stage)
        values << (quint8(bytes[2 * stage]) | quint8(bytes[2 * stage + 1]) << 8) * kDpiUnit;
    return values;
}

int KDeviceFarrant_Nordic::getReportRate()
{
    MouseOperation op(m_session);
    const int code = op.isHeld() ? readByte(kRegReportRate, true) : -1;
    return code == -1 ? -1 : reportRateFromDevice(quint8(code));
}

int KDeviceFarrant_Nordic::getLightModel(int)
{
    MouseOperation op(m_session);
    return op.isHeld() ? readByte(kRegDpiIndex + 1, true) : -1;
}

int KDeviceFarrant_Nordic::getLightSpeed(int)
{
    MouseOperation op(m_session);
    const int code = op.isHeld() ? readByte(kRegDpiIndex + 2, true) : -1;
    return code == -1 ? -1 : lightSpeedFromCode(code);
}

int KDeviceFarrant_Nordic::getLightBrightness(int)
{
    MouseOperation op(m_session);
    const int stored = op.isHeld() ? readByte(kRegDpiIndex + 3, true) : -1;
    return stored == -1 ? -1 : stored + 1;
}

QMap<QString, int> KDeviceFarrant_Nordic::getRGB(int zone)
{
    MouseOperation op(m_session);
    if (!op.isHeld())
        return {};
    const quint32 word = kRegZoneColour + quint32(zone >= 0 && zone < kZones ? zone : 0) * kWordSize;
    const QByteArray bytes = readBytes(word, kWordSize, true);
    if (bytes.isEmpty())
        return {};
    return {{QStringLiteral("r"), quint8(bytes[0])},
            {QStringLiteral("g"), quint8(bytes[1])},
            {QStringLiteral("b"), quint8(bytes[2])}};
}

int KDeviceFarrant_Nordic::getConfigByte()
{
    MouseOperation op(m_session);
    return op.isHeld() ? readByte(kRegConfig, true) : -1;
}

int KDeviceFarrant_Nordic::readConfigByte()
{
    MouseOperation op(m_session);
    return op.isHeld() ? readByte(kRegConfig, false) : -1;
}

int KDeviceFarrant_Nordic::getOLEDLightIntensity()
{
    MouseOperation op(m_session);
    if (!op.isHeld())
        return -1;
    const int value = readByte(kRegOled, true);
    m_transport.getGameMode();
    return value;
}

int KDeviceFarrant_Nordic::getPressMacroCode()
{
    MouseOperation op(m_session);
    return op.isHeld() ? readByte(kRegOled + 1, true) : -1;
}

int KDeviceFarrant_Nordic::getDefinedPressMacro()
{
    MouseOperation op(m_session);
    return op.isHeld() ? readByte(kRegOled + 2, true) : -1;
}

int KDeviceFarrant_Nordic::getCurrentPicIndex()
{
    MouseOperation op(m_session);
    const QByteArray bytes = op.isHeld() ? readBytes(kRegPicIndex, kWordSize, true) : QByteArray();
    if (bytes.isEmpty()) {
        qDebug() << "[ERROR] getCurrentPicIndex:readCmd";
        return -1;
    }
    return quint8(bytes[2]) == 1 ? kPicIndexMax : quint8(bytes[1]);
}

QList<int> KDeviceFarrant_Nordic::getCurrentPicIndexList()
{
    MouseOperation op(m_session);
    const QByteArray bytes = op.isHeld() ? readBytes(kRegPicTable, kPictureCount, true) : QByteArray();
    if (bytes.isEmpty()) {
        qDebug() << "[ERROR] getCurrentPicIndex:readCmd";
        return {};
    }
    QList<int> list;
    for (char b : bytes)
        list << quint8(b);
    return list;
}

bool KDeviceFarrant_Nordic::getPowerSaving()
{
    MouseOperation op(m_session);
    return op.isHeld() && readByte(kRegPicIndex + 3, true) == 1;
}

int KDeviceFarrant_Nordic::getPicCount()
{
    MouseOperation op(m_session);
    return op.isHeld() ? readByte(kRegPicCount, true) : -1;
}

int KDeviceFarrant_Nordic::getPicShowType()
{
    MouseOperation op(m_session);
    return op.isHeld() ? readByte(kRegPicShowType, true) : -1;
}

int KDeviceFarrant_Nordic::getPicTime()
{
    MouseOperation op(m_session);
    return op.isHeld() ? readByte(kRegPicTime, true) : -1;
}

int KDeviceFarrant_Nordic::dpiToCode(int mode, int value)
{
    return mode == 2 ? (value - 200) / 100 : value / kDpiUnit;
}

// --- setters ----------------------------------------------------------------------------------------------------

bool KDeviceFarrant_Nordic::setDpiIndex(const int& index)
{
    if (index < 0 || index > kDpiStages)
        return false;
    MouseOperation op(m_session);
    return op.isHeld() && updateWord(kRegDpiIndex, {{0, quint8(index)}}, true, QStringLiteral("setDpiIndex"));
}

bool KDeviceFarrant_Nordic::setDpiList(const QVector<int>& values)
{
    const int stages = dpiStageCount();
    if (values.isEmpty() || values.size() > stages)
        return false;
    MouseOperation op(m_session);
    if (!op.isHeld())
        return false;

    // Enabled stages first, then the others, each as a word of 50 DPI; a stage the DPI model holds no switch
    // for counts as enabled. The highest selectable index follows the seven stage slots.
    const QVector<bool>& enable = op.ui().dpiEnable;
    QVector<int> enabled;
    QVector<int> disabled;
    for (int i = 0; i < values.size(); ++i) {
        if (values[i] < 0 || quint32(values[i] / kDpiUnit) > kMaxStageCode)
            return false;
        (i >= enable.size() || enable[i] ? enabled : disabled) << values[i];
    }
    if (enabled.isEmpty())
        return false;
    QByteArray block(kDpiListLength, '\0');
    int slot = 0;
    for (int value : enabled + disabled) {
        const int code = value / kDpiUnit;
        block[2 * slot] = char(code & 0xFF);
        block[2 * slot + 1] = char(code >> 8);
        ++slot;
    }
    const int highest = enabled.size() - 1;
    block[int(kRegDpiHighestIndex - kRegDpiStages)] = char(highest);

    // The current stage must stay selectable; without knowing it nothing is written.
    const int current = readByte(kRegDpiIndex, true);
    if (current == -1 || (current > highest && !setDpiIndex(highest)))
        return false;
    return writeWord(kRegDpiStages, block, true);
}

bool KDeviceFarrant_Nordic::setReportRate(const int& rate)
{
    if (rate < 0 || rate >= int(sizeof(kReportIntervalCodes)))
        return false;
    MouseOperation op(m_session);
    return op.isHeld() && writeWord(kRegReportRate, QByteArray(1, char(kReportIntervalCodes[rate])) + QByteArray(3, '\0'), true);
}

bool KDeviceFarrant_Nordic::writeReportRate(const int& rate)
{
    if (rate < 0 || rate > 0xFF)
        return false;
    MouseOperation op(m_session);
    return op.isHeld() && writeWord(kRegReportRate, QByteArray(1, char(rate)) + QByteArray(3, '\0'), false);
}

bool KDeviceFarrant_Nordic::setLightModel(const int& mode, int)
{
    if (mode < 0 || mode >= kLightModes)
        return false;
    MouseOperation op(m_session);
    return op.isHeld() && updateWord(kRegDpiIndex, {{1, quint8(mode)}}, true, QStringLiteral("setLightModel"));
}

bool KDeviceFarrant_Nordic::setLightSpeed(const int& speed, int)
{
    MouseOperation op(m_session);
    return op.isHeld()
        && updateWord(kRegDpiIndex, {{2, quint8(lightSpeedCode(speed))}}, true, QStringLiteral("setLightSpeed"));
}

bool KDeviceFarrant_Nordic::setLightBrightness(const int& brightness, int)
{
    const int stored = (brightness == 0 ? 1 : brightness) - 1;
    if (stored < 0 || stored >= kBrightnessLevels) {
        qDebug() << "[ERROR] Exceeding the settable brightness";
        return false;
    }
    MouseOperation op(m_session);
    return op.isHeld()
        && updateWord(kRegDpiIndex, {{3, quint8(stored)}}, true, QStringLiteral("setLightBrightness"));
}

bool KDeviceFarrant_Nordic::setRGB(const QMap<QString, int>& rgb, int zone)
{
    const QStringList channels{QStringLiteral("r"), QStringLiteral("g"), QStringLiteral("b")};
    bool valid = zone >= 0 && zone < kZones;
    for (const QString& c : channels)
        valid = valid && rgb.contains(c) && rgb.value(c) >= 0 && rgb.value(c) <= 0xFF;
    if (!valid) {
        qDebug() << "[ERROR] setRGB";
        return false;
    }
    MouseOperation op(m_session);
    if (!op.isHeld())
        return false;
    QByteArray word;
    for (const QString& c : channels)
        word.append(char(rgb.value(c)));
    word.append(char(0xFF));
    const quint32 address = kRegZoneColour + quint32(zone) * kWordSize;
    if (!writeWord(address, word, true))
        return false;
    storeImage(address, word);
    return true;
}

bool KDeviceFarrant_Nordic::setOLEDLightIntensity(const int& intensity)
{
    if (intensity < kOledIntensityMin || intensity > kOledIntensityMax) {
        qDebug() << "[ERROR] setOLEDLightIntensity";
        return false;
    }
    MouseOperation op(m_session);
    return op.isHeld()
        && updateWord(kRegOled, {{0, quint8(intensity)}, {3, 0}}, true, QStringLiteral("setOLEDLightIntensity"));
}

bool KDeviceFarrant_Nordic::setCurrentPicIndex(const int& index)
{
    if (index < 0 || index > kPicIndexMax) {
        qDebug() << "[ERROR] setCurrentPicIndex";
        return false;
    }
    const bool flagged = index == kPicIndexMax;
    MouseOperation op(m_session);
    return op.isHeld()
        && updateWord(kRegPicIndex, {{1, quint8(flagged ? 3 : index)}, {2, quint8(flagged ? 1 : 0)}}, true, QString());
}

bool KDeviceFarrant_Nordic::setPicNumber(const int& number)
{
    if (number != kPictureCount) {
        qDebug() << "[ERROR] setPicNumber";
        return false;
    }
    MouseOperation op(m_session);
    if (!op.isHeld())
        return false;
    const QByteArray word = QByteArray(1, char(number)) + QByteArray(3, '\0');
    if (!writeWord(kRegPicCount, word, false))
        return false;
    storeImage(kRegPicCount, word);
    return true;
}

bool KDeviceFarrant_Nordic::setPressMacroCode(const int& code)
{
    if (code < 0 || code > kPressMacroMax)
        return false;
    MouseOperation op(m_session);
    return op.isHeld()
        && updateWord(kRegOled, {{1, quint8(code)}, {3, 0}}, false, QStringLiteral("setPressMacroCode"));
}

bool KDeviceFarrant_Nordic::setDefinedPressMacro(const int& count)
{
    if (count < 0 || count > kPressMacroMax)
        return false;
    MouseOperation op(m_session);
    if (!op.isHeld()
        || !updateWord(kRegOled, {{2, quint8(count)}, {1, 0}, {3, 0}}, false, QStringLiteral("setDefinedPressMacro")))
        return false;
    Platform::sleepMs(m_delay);
    return true;
}

bool KDeviceFarrant_Nordic::setPowerSaving(bool on)
{
    MouseOperation op(m_session);
    return op.isHeld() && updateWord(kRegPicIndex, {{3, quint8(on ? 1 : 0)}}, true, QString());
}

bool KDeviceFarrant_Nordic::setOperatingMode(const int& mode, int)
{
    if (mode < -1 || mode >= 0xFF)
        return false;
    MouseOperation op(m_session);
    return op.isHeld() && updateWord(kRegConfig, {{1, quint8(mode + 1)}}, false, QString());
}

bool KDeviceFarrant_Nordic::setDpiCount(int highestIndex)
{
    if (highestIndex < 0 || highestIndex >= dpiStageCount())
        return false;
    MouseOperation op(m_session);
    return op.isHeld()
        && updateWord(kRegDpiCount, {{2, quint8(highestIndex)}}, false, QStringLiteral("setDpiCount"));
}

bool KDeviceFarrant_Nordic::setPicShowType(int type)
{
    if (type < 0 || type > kPicShowTypeMax) {
        qDebug() << "[ERROR] setPicShowType";
        return false;
    }
    MouseOperation op(m_session);
    return op.isHeld() && updateWord(kRegPicShowType, {{0, quint8(type)}}, false, QStringLiteral("setPicShowType"));
}

bool KDeviceFarrant_Nordic::setPicTime(int time)
{
    if (time < 0 || time > kPicTimeMax) {
        qDebug() << "[ERROR] setPicTime";
        return false;
    }
    MouseOperation op(m_session);
    return op.isHeld() && updateWord(kRegPicTime, {{0, quint8(time)}}, false, QStringLiteral("setPicTime"));
}

bool KDeviceFarrant_Nordic::setShortCutModel(const int& preset, int)
{
    if (preset < 0 || preset > 3)
        return false;
    MouseOperation op(m_session);
    return op.isHeld() && setShortCutSteps(preset);
}

bool KDeviceFarrant_Nordic::setShortCutSteps(int preset)
{
    // The presets as sequences of the setters above; the first failure ends the sequence.
    switch (preset) {
    case 0:
        return setOLEDLightIntensity(100) && setLightBrightness(10, 0) && setLightModel(4, 1) && setPowerSaving(false)
            && setCurrentPicIndex(1);
    case 1:
        return setOLEDLightIntensity(80) && setLightBrightness(8, 0) && setLightModel(4, 1) && setPowerSaving(true)
            && setCurrentPicIndex(1);
    case 2:
        return setLightModel(0, 1) && setCurrentPicIndex(kPicIndexMax);
    default:
        return true;
    }
}

// --- battery ----------------------------------------------------------------------------------------------------

int KDeviceFarrant_Nordic::batteryPercent(int reading) const
{
    return FarrantNordic::batteryPercent(reading);
}

int KDeviceFarrant_Nordic::getBatteryValue()
{
    MouseOperation op(m_session);
    const QByteArray reply = op.isHeld() ? m_transport.readBatteryReply() : QByteArray();
    if (reply.size() < 4 || quint8(reply[0]) == 0)
        return -1;
    const quint32 reading = quint32(quint8(reply[0])) | quint32(quint8(reply[1])) << 8
        | quint32(quint8(reply[2])) << 16 | quint32(quint8(reply[3])) << 24;
    return batteryPercent(int(qMin<quint32>(reading, 0x7FFFFFFF)));
}

int KDeviceFarrant_Nordic::readBatteryByte()
{
    MouseOperation op(m_session);
    const QByteArray reply = op.isHeld() ? m_transport.readBatteryReply() : QByteArray();
    if (reply.size() < 2 || quint8(reply[0]) == 0)
        return -1;
    m_battery = quint8(reply[1]);
    return m_battery;
}

// --- OLED picture -----------------------------------------------------------------------------------------------

bool KDeviceFarrant_Nordic::ImageToByteArr(const QImage& image, quint8* out, int length)
{
    qDebug() << "ImageToByteArr image.byteCount()  imageDataLen" << image.size() << image.sizeInBytes() << length;
    // Only the screen's own size: a picture of another shape with the same byte count would be scrambled.
    if (!out || image.sizeInBytes() != kPictureSize || length != kPictureSize || image.width() != kPictureWidth
        || image.height() != kPictureHeight || image.format() != QImage::Format_MonoLSB) {
        qDebug() << "ImageToByteArr 参数长度不正确,必须为6*64个字节";
        return false;
    }
    std::fill(out, out + length, quint8(0));
    const int bytesPerLine = kPictureWidth / 8;
    for (int page = 0; page < kPictureHeight / 8; ++page) {
        for (int row = 0; row < 8; ++row) {
            const uchar* line = image.constScanLine(8 * page + row);
            for (int c = 0; c < bytesPerLine; ++c) {
                for (int bit = 0; bit < 8; ++bit) {
                    if (!(line[c] & (1 << bit)))
                        out[kPictureWidth * page + 8 * c + bit] |= quint8(1 << row);
                }
            }
        }
    }
    return true;
}

bool KDeviceFarrant_Nordic::writeImageData(const quint8* data)
{
    if (!data)
        return false;
    MouseOperation op(m_session);
    if (!op.isHeld())
        return false;
    // The transaction mutex is released between chunks; the operation lock keeps other work of this mouse out.
    for (int offset = 0; offset < kPictureSize; offset += kPictureChunk) {
        const QByteArray chunk(reinterpret_cast<const char*>(data + offset), kPictureChunk);
        if (!writeWord(kRegPicture + quint32(offset), chunk, false))
            return false;
        Platform::sleepMs(kPictureChunkPauseMs);
    }
    return true;
}

bool KDeviceFarrant_Nordic::writeImageToMouse()
{
    // The picture the user drew, saved as "test.bmp" in the profile folder; it must be the screen's size.
    const QString path = ProgramFolders::profileRoot() + QStringLiteral("/test.bmp");
    QImage loaded;
    if (!loaded.load(path) || loaded.width() != kPictureWidth || loaded.height() != kPictureHeight) {
        qDebug().noquote() << "[ERROR] writeImageToMouse: no 64x48 picture at" << path;
        return false;
    }
    const QImage image = loaded.convertToFormat(QImage::Format_MonoLSB);
    quint8 buffer[kPictureSize] = {};
    if (!ImageToByteArr(image, buffer, kPictureSize))
        return false;
    MouseOperation op(m_session);
    return op.isHeld() && writeImageData(buffer) && setPicNumber(kPictureCount);
}

// --- keys and macros --------------------------------------------------------------------------------------------
// The key table, its codes and the macro records: KDeviceFarrant_Nordic_keys.cpp.

bool KDeviceFarrant_Nordic::getMacro(QVector<KMacroItem>&, const KKey&)
{
    return true;
}
