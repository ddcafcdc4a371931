#include "devices/mouse/twocollection/FDeviceEdris.h"

#include "common/AppServices.h"
#include "hid/HCommunicateManager.h"
#include "hid/khid/KUSBDevice.h"
#include "models/device/KDpiModel.h"
#include "models/device/KLightModel.h"
#include "models/device/KLightModelItem.h"
#include "platform/sys/PlatformTime.h"

#include <QDebug>
#include <QMutexLocker>

using namespace Edris;

namespace {

// How long opening waits for its first profile read before giving up on it.
constexpr int kStartupReadTimeoutMs = 10000;

// The family's 476-byte profile as constructed: the write mark, the two halves' key codes, zero elsewhere.
QByteArray defaultProfileRecord()
{
    QByteArray record(kProfileSize, '\0');
    record[kWriteMarkByte] = 1;
    for (int e = 0; e < kKeyEntries; ++e) {
        for (int i = 0; i < 4; ++i) {
            record[kDefaultFirstHalfKeys + 4 * e + i] = char(kDefaultFirstHalfKeyCodes[e][i]);
            record[kKeyTableByte + 4 * e + i] = char(kDefaultSecondHalfKeys[e][i]);
        }
    }
    return record;
}

int effectOfCode(quint8 code)
{
    for (int e = 0; e < kLightEffects; ++e) {
        if (kLightEffectCodes[e] == code)
            return e;
    }
    return -1;
}

int lightBlockOf(int zone)
{
    return zone == kMainZone ? kMainLightByte : kWheelLightByte;
}

} // namespace

FDeviceEdris::FDeviceEdris(QObject* parent)
    : FDeviceEdris(kEdrisModel, parent)
{
}

FDeviceEdris::FDeviceEdris(const Model& model, QObject* parent)
    : MouseSessionDevice(DeviceIds::layoutPath(model.pid), parent)
    , m_model(model)
    , m_profile(defaultProfileRecord())
    , m_image(kImageSize, '\0')
{
    if (model.dpi == DpiCodes::TableA) {
        m_dpiTable = TwoPage::dpiTable(TwoPage::kDpiTableA, false);
    } else if (model.dpi == DpiCodes::Varlo) {
        m_dpiTable = TwoPage::dpiTable(kVarloDpiCodes, false);
        m_dpiTable.remove(kVarloMissingValue);
    }
    m_image.replace(0, kProfileSize, m_profile);
    m_transport.setMutex(HCommunicateManager::instance()->getMutex());
}

FDeviceEdris::~FDeviceEdris() = default;

// --- opening ------------------------------------------------------------------------------------------------

bool FDeviceEdris::initDevice()
{
    opened = openForInit();
    if (opened && !runStartupRead()) {
        qDebug() << "[ERROR] getProfileData error";
        opened = false;
    }
    return opened;
}

bool FDeviceEdris::openForInit()
{
    // Operations hold the operation lock while they use the channels, so they are replaced only while the lock
    // is free; the GUI thread never waits for it. With work in flight open channels are kept.
    MouseOperation op(m_session);
    if (!op.isHeld()) {
        if (m_transport.isOpen())
            return true;
        qWarning() << "[ERROR] init device: the device is busy, try again";
        return false;
    }
    if (m_command)
        m_command->deleteLater();
    if (m_data)
        m_data->deleteLater();
    m_command = nullptr;
    m_data = nullptr;
    m_transport.setChannels(nullptr, nullptr);
    bool ok = openChannel(m_command, kCommandReportLength, "[INFO] init Cmd device");
    if (ok)
        ok = openChannel(m_data, kDataReportLength, "[INFO] init Data device");
    m_transport.setChannels(m_command, m_data);
    if (ok) {
        QMutexLocker lock(&m_stateLock);
        m_fwVersion = m_command->deviceDetail().versionNumber;
    }
    return ok;
}

bool FDeviceEdris::openChannel(KHID::KUSBDevice*& channel, int featureLength, const char* log)
{
    channel = new KHID::KUSBDevice(this);
    bool ok = false;
    for (int attempt = 0; attempt < kOpenTries && !ok; ++attempt) {
        ok = channel->initDevice(DeviceIds::kVendorId, m_model.pid, kUsage, kUsagePage, quint16(featureLength));
        if (!ok && attempt + 1 < kOpenTries) {
            Platform::sleepMs(kOpenRetryPauseMs);
            qDebug() << "[ERROR] init fail retry" << attempt;
        }
    }
    qDebug() << log << ok;
    return ok;
}

bool FDeviceEdris::runStartupRead()
{
    // The read runs on the pool like every other exchange; the GUI thread keeps its events flowing meanwhile.
    return m_session.runAndWait(
        work,
        [this] {
            MouseOperation op(m_session);
            QByteArray profile(kProfileSize, '\0');
            if (!getProfileData(reinterpret_cast<quint8*>(profile.data())))
                return false;
            QMutexLocker lock(&m_stateLock);
            m_profile = profile;
            return true;
        },
        kStartupReadTimeoutMs);
}

int FDeviceEdris::getFwVersion()
{
    QMutexLocker lock(&m_stateLock);
    return m_fwVersion;
}

QByteArray FDeviceEdris::profile() const
{
    QMutexLocker lock(&m_stateLock);
    return m_profile;
}

QByteArray FDeviceEdris::deviceImage() const
{
    QMutexLocker lock(&m_stateLock);
    return m_image;
}

// --- status -------------------------------------------------------------------------------------------------

bool FDeviceEdris::queryStatus(quint8* status, int index, bool busyTest)
{
    QByteArray answer;
    if (!status || index < 0 || index + 1 >= kDataReportLength || !m_transport.queryRaw(kCmdStatus, 0, &answer))
        return false;
    if (quint8(answer.at(0)) != kDataReportId || quint8(answer.at(kAnswerCommandByte)) != kCmdStatus)
        return false;
    if (busyTest && quint8(answer.at(kStatusBusyByte)) == 1)
        return false;
    *status = quint8(answer.at(index + 1));
    return true;
}

bool FDeviceEdris::GetStatus(quint8* status, int index)
{
    qDebug() << "GetStatus";
    MouseOperation op(m_session);
    if (!op.isHeld())
        return false;
    for (int query = 0; query < kStatusQueries; ++query) {
        if (!queryStatus(status, index, true))
            return false;
        if (*status == 0)
            return true;
        Platform::sleepMs(kStatusPauseMs);
    }
    return false;
}

// --- the profile image --------------------------------------------------------------------------------------

quint32 FDeviceEdris::profileChecksum(const quint8* image, int first, int end)
{
    return Edris::profileChecksum(image, first, end);
}

bool FDeviceEdris::readImage(QByteArray* image)
{
    Platform::sleepMs(kReadPauseMs);
    QByteArray answer;
    if (!m_transport.query(kCmdReadProfile, 0, false, &answer))
        return false;
    *image = answer.mid(kDataByte, kImageSize);
    return true;
}

bool FDeviceEdris::getProfileData(quint8* profile)
{
    QByteArray image;
    if (!profile || !readImage(&image))
        return false;
    {
        QMutexLocker lock(&m_stateLock);
        m_image = image;
        if (m_model.checksum.checked) {
            m_sign = quint8(image.at(kSignFlagByte));
            m_adjustment = quint8(image.at(kAdjustmentByte));
        }
    }
    std::copy(image.constBegin(), image.constBegin() + kProfileSize, reinterpret_cast<char*>(profile));
    if (!m_model.checksum.checked)
        return true;
    return checkProfileChecksum(reinterpret_cast<quint8*>(image.data()));
}

bool FDeviceEdris::checkProfileChecksum(quint8* image)
{
    if (!image)
        return false;
    quint8 sign, adjustment;
    {
        QMutexLocker lock(&m_stateLock);
        sign = m_sign;
        adjustment = m_adjustment;
    }
    const ChecksumTest& test = m_model.checksum;
    qint64 sum = profileChecksum(image, kFirstHalfBegin, kFirstChecksumEnd);
    sum = sign == 0 ? sum + adjustment : sum - adjustment;
    const qint64 probes = image[kChecksumProbeByte] + (test.withByte19 ? image[kChecksumProbeByte2] : 0);
    const quint8 low = quint8((sum - probes) & 0xFF);
    const quint8 high = quint8((sum >> 8) & 0xFF);
    qDebug("crcNumber VALUE %x %x %x", image[kChecksumProbeByte], low, high);
    if (low != test.low || high != test.high)
        return false;
    image[kSignFlagByte] = sign;
    image[kAdjustmentByte] = adjustment;
    image[kZeroByte] = 0;
    const quint32 second = profileChecksum(image, kSecondHalfBegin, kSecondChecksumEnd);
    image[kChecksumLowByte] = quint8(second & 0xFF);
    image[kChecksumHighByte] = quint8((second >> 8) & 0xFF);
    qDebug("ccrNumber %x %x", image[kChecksumHighByte], image[kChecksumLowByte]);
    return true;
}

bool FDeviceEdris::SetProfileData(quint8* profile)
{
    if (!profile || !opened)
        return false;
    QByteArray current(kProfileSize, '\0');
    if (!getProfileData(reinterpret_cast<quint8*>(current.data())))
        return false;
    profile[kDeviceByte] = quint8(current.at(kDeviceByte));
    Platform::sleepMs(kWritePauseMs);
    profile[kWriteMarkByte] = 1;
    if (m_model.fixedCode364)
        std::copy(kOrlanFixedCode, kOrlanFixedCode + 4, profile + kOrlanFixedCodeByte);
    QByteArray image = deviceImage();
    image.replace(0, kProfileSize, QByteArray(reinterpret_cast<const char*>(profile), kProfileSize));
    qDebug() << "SetProfileData+++++";
    if (m_model.checksum.checked && !checkProfileChecksum(reinterpret_cast<quint8*>(image.data())))
        return false;
    if (!m_transport.writeBlock(kBlockProfile, 0, kProfileWriteLength, image.left(kProfileWriteImageBytes),
                                kProfileWriteHanded))
        return false;
    Platform::sleepMs(kWritePauseMs);
    QMutexLocker lock(&m_stateLock);
    m_image = image;
    m_profile = image.left(kProfileSize);
    return true;
}

bool FDeviceEdris::commitProfile(QByteArray next)
{
    if (next.size() != kProfileSize)
        return false;
    return SetProfileData(reinterpret_cast<quint8*>(next.data()));
}

bool FDeviceEdris::editProfile(const std::function<bool(QByteArray&)>& change)
{
    MouseOperation op(m_session);
    if (!op.isHeld())
        return false;
    QByteArray next = profile();
    if (!change(next))
        return false;
    return commitProfile(next);
}

// --- DPI ----------------------------------------------------------------------------------------------------

int FDeviceEdris::dpiCodeToValue(quint16 code)
{
    if (m_model.dpi == DpiCodes::Unit50)
        return int(code) * kDpiUnit;
    for (auto it = m_dpiTable.cbegin(); it != m_dpiTable.cend(); ++it) {
        if (it.value() == code)
            return it.key();
    }
    return 0;
}

quint16 FDeviceEdris::dpiValueToCode(int value)
{
    if (m_model.dpi == DpiCodes::Unit50)
        return value < 0 || value / kDpiUnit > kMaxDpiCode ? 0 : quint16(value / kDpiUnit);
    return m_dpiTable.value(value, 0);
}

bool FDeviceEdris::validDpiValue(int value)
{
    return value == 0 || (value > 0 && dpiValueToCode(value) != 0);
}

QVector<int> FDeviceEdris::getDpiList()
{
    const QByteArray p = profile();
    QVector<int> values;
    for (int stage = 0; stage < m_model.stages; ++stage)
        values << dpiCodeToValue(quint16(quint8(p.at(kDpiXHighByte + stage)) << 8 | quint8(p.at(kDpiXLowByte + stage))));
    return values;
}

bool FDeviceEdris::planDpi(const QVector<int>& values, const QVector<bool>& enable, QVector<int>* stored,
                           QMap<int, int>* defaults)
{
    if (values.size() > m_model.stages) {
        qDebug() << "[Error] setDpiList: more stages than the mouse has" << values.size();
        return false;
    }
    QVector<int> kept;
    int dropped = 0;
    for (int i = 0; i < values.size(); ++i) {
        const int value = values.at(i);
        if (!validDpiValue(value)) {
            qDebug() << "[Error] setDpiList: no code for" << value;
            return false;
        }
        // A stage the DPI model does not switch is on.
        if (i < enable.size() && !enable.at(i)) {
            ++dropped;
            continue;
        }
        if (value == 0) {
            kept << m_model.stageDefaults[i];
            defaults->insert(i, m_model.stageDefaults[i]);
        } else {
            kept << value;
        }
    }
    kept += QVector<int>(dropped, 0);
    *stored = kept;
    return true;
}

void FDeviceEdris::storeDpi(QByteArray& p, const QVector<int>& values)
{
    for (int i = 0; i < values.size() && i < kDpiStages; ++i) {
        const quint16 code = dpiValueToCode(values.at(i));
        p[kDpiXLowByte + i] = p[kDpiYLowByte + i] = char(code & 0xFF);
        p[kDpiXHighByte + i] = p[kDpiYHighByte + i] = char(code >> 8);
    }
}

bool FDeviceEdris::setDpiList(const QVector<int>& values)
{
    MouseOperation op(m_session);
    if (!op.isHeld())
        return false;
    QVector<int> stored;
    QMap<int, int> defaults;
    if (!planDpi(values, op.ui().dpiEnable, &stored, &defaults))
        return false;
    QByteArray next = profile();
    storeDpi(next, stored);
    op.onSuccess([defaults] {
        if (KDpiModel* model = AppServices::instance()->getDpiModel()) {
            for (auto it = defaults.cbegin(); it != defaults.cend(); ++it)
                model->setDpi(it.key(), it.value(), false);
        }
    });
    return op.finish(commitProfile(next));
}

// --- report rate --------------------------------------------------------------------------------------------

int FDeviceEdris::getReportRate()
{
    QMutexLocker lock(&m_stateLock);
    return quint8(m_profile.at(kReportRateByte));
}

bool FDeviceEdris::setReportRate(const int& rate)
{
    if (rate < 0 || rate > 0xFF)
        return false;
    return editProfile([rate](QByteArray& p) {
        p[kReportRateByte] = char(rate);
        return true;
    });
}

// --- light --------------------------------------------------------------------------------------------------

int FDeviceEdris::getLightModel(int zone)
{
    if (!validZone(zone))
        return -1;
    QMutexLocker lock(&m_stateLock);
    const quint8 main = quint8(m_profile.at(kMainEffectByte));
    if (zone == kWheelZone && main == kLightEffectCodes[kEffectBothZones])
        return kEffectBothZones;
    return effectOfCode(quint8(m_profile.at(zone == kMainZone ? kMainEffectByte : kWheelEffectByte)));
}

int FDeviceEdris::getLightSpeed(int zone)
{
    if (!validZone(zone))
        return -1;
    QMutexLocker lock(&m_stateLock);
    return kSpeedBase - quint8(m_profile.at(lightBlockOf(zone) + kLightSpeedOffset));
}

int FDeviceEdris::getLightBrightness(int zone)
{
    if (!validZone(zone))
        return -1;
    QMutexLocker lock(&m_stateLock);
    return quint8(m_profile.at(zone == kMainZone ? kMainBrightnessByte : kWheelBrightnessByte));
}

QMap<QString, int> FDeviceEdris::getRGB(int zone)
{
    if (!validZone(zone))
        return {};
    QMutexLocker lock(&m_stateLock);
    const int base = lightBlockOf(zone) + kLightRedOffset;
    return {{QStringLiteral("r"), quint8(m_profile.at(base))},
            {QStringLiteral("g"), quint8(m_profile.at(base + 1))},
            {QStringLiteral("b"), quint8(m_profile.at(base + 2))}};
}

const QVariantMap FDeviceEdris::lightItem(const MouseUiState& ui, int zone)
{
    return zone >= 0 && zone < ui.lightZones.size() ? ui.lightZones.at(zone) : QVariantMap();
}

bool FDeviceEdris::setLightModel(const int& effect, int zone)
{
    qDebug() << "setMouseLightMode:" << effect;
    if (effect < 0 || effect >= kLightEffects || !validZone(zone))
        return false;
    MouseOperation op(m_session);
    if (!op.isHeld())
        return false;
    QByteArray next = profile();
    // The zone's light item gives the brightness and speed that go with the effect (the image's when there
    // is no item).
    auto apply = [&](int z) {
        const QVariantMap item = lightItem(op.ui(), z);
        const int block = lightBlockOf(z);
        const int effectByte = z == kMainZone ? kMainEffectByte : kWheelEffectByte;
        const int brightnessByte = z == kMainZone ? kMainBrightnessByte : kWheelBrightnessByte;
        const int brightness = item.value(QStringLiteral("brightness"), quint8(next.at(brightnessByte))).toInt();
        const int speed = item.value(QStringLiteral("speed"), kSpeedBase - quint8(next.at(block + kLightSpeedOffset)))
                              .toInt();
        if (effect == kEffectNoColourBlend)
            next[block + kLightClearEffect2Offset] = 0;
        if (effect == kEffectMarked)
            next[block + kLightEffect4Offset] = char(kEffect4Mark);
        next[effectByte] = char(kLightEffectCodes[effect]);
        next[brightnessByte] = char(qBound(0, brightness, 0xFF));
        next[block + kLightSpeedOffset] = char(kSpeedBase - qBound(0, speed, kSpeedMax));
    };
    const bool wasBoth = quint8(next.at(kMainEffectByte)) == kLightEffectCodes[kEffectBothZones];
    bool otherFollows = false;
    if (effect == kEffectBothZones) {
        // The both-zones effect lives in the main zone's bytes.
        apply(kMainZone);
        otherFollows = true;
    } else {
        apply(zone);
        if (wasBoth) {
            apply(zone == kMainZone ? kWheelZone : kMainZone);
            otherFollows = true;
        }
    }
    if (otherFollows) {
        // The other zone's item takes the effect and its light section goes into the current profile.
        const int other = zone == kWheelZone ? kMainZone : kWheelZone;
        op.onSuccess([other, effect] {
            AppServices* services = AppServices::instance();
            KLightModel* light = services->getLightModel();
            KLightModelItem* item = light ? (other == kMainZone ? light->logo() : light->wheel()) : nullptr;
            if (item)
                item->setModel(effect, true);
            services->saveProfileSection(other == kMainZone ? kMainLightSection : kWheelLightSection, -1);
        });
    }
    return op.finish(commitProfile(next));
}

bool FDeviceEdris::setLightSpeed(const int& speed, int zone)
{
    if (!validZone(zone) || speed < 0 || speed > kSpeedMax)
        return false;
    return editProfile([speed, zone](QByteArray& p) {
        p[lightBlockOf(zone) + kLightSpeedOffset] = char(kSpeedBase - speed);
        return true;
    });
}

bool FDeviceEdris::setLightBrightness(const int& brightness, int zone)
{
    if (!validZone(zone) || brightness < 0 || brightness > 0xFF)
        return false;
    return editProfile([brightness, zone](QByteArray& p) {
        p[zone == kMainZone ? kMainBrightnessByte : kWheelBrightnessByte] = char(brightness);
        return true;
    });
}

bool FDeviceEdris::setRGB(const QMap<QString, int>& rgb, int zone)
{
    const QString keys[] = {QStringLiteral("r"), QStringLiteral("g"), QStringLiteral("b")};
    if (!validZone(zone))
        return false;
    for (const QString& key : keys) {
        if (!rgb.contains(key) || rgb.value(key) < 0 || rgb.value(key) > 0xFF) {
            qDebug() << "[ERROR] setRGB";
            return false;
        }
    }
    return editProfile([&rgb, &keys, zone](QByteArray& p) {
        const int block = lightBlockOf(zone);
        for (int i = 0; i < 3; ++i)
            p[block + kLightRedOffset + i] = char(rgb.value(keys[i]));
        p[block + kLightClearOffset] = 0;
        p[block + kLightClearEffect2Offset] = 0;
        return true;
    });
}

// --- OLED settings ------------------------------------------------------------------------------------------

int FDeviceEdris::getOLEDLightIntensity()
{
    QMutexLocker lock(&m_stateLock);
    return quint8(m_profile.at(kOledIntensityByte));
}

bool FDeviceEdris::setOLEDLightIntensity(const int& intensity)
{
    if (intensity < 0 || intensity > 0xFF)
        return false;
    return editProfile([intensity](QByteArray& p) {
        p[kOledIntensityByte] = char(intensity);
        return true;
    });
}

int FDeviceEdris::getCurrentPicIndex()
{
    QMutexLocker lock(&m_stateLock);
    const quint8 code = quint8(m_profile.at(kPictureCodeByte));
    for (const PictureCodeRow& row : kPictureCodes) {
        if (row.code == code)
            return row.index;
    }
    return kUnknownPictureIndex;
}

bool FDeviceEdris::setCurrentPicIndex(const int& index)
{
    quint8 code = kPictureCodes[0].code;
    for (const PictureCodeRow& row : kPictureCodes) {
        if (row.index == index)
            code = row.code;
    }
    static_assert(kPictureCodes[0].index == kDefaultPictureIndex, "an unknown index writes the first code");
    return editProfile([code](QByteArray& p) {
        p[kPictureCodeByte] = char(code);
        return true;
    });
}
