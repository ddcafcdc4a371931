#include "devices/mouse/featurereport/KDeviceDunmor.h"

#include "common/DeviceIds.h"
#include "devices/mouse/featurereport/DunmorProtocol.h"
#include "hid/HCommunicateManager.h"
#include "hid/khid/KUSBDevice.h"
#include "platform/sys/PlatformTime.h"

#include <QDebug>
#include <QMutexLocker>

using namespace Dunmor;

namespace {

int zoneIndex(int zone)
{
    return zone == 0 ? 0 : 1;
}

} // namespace

KDeviceDunmor::KDeviceDunmor(QObject* parent)
    : KDeviceDunmor(DeviceIds::kDunmor, parent)
{
}

KDeviceDunmor::KDeviceDunmor(quint16 pid, QObject* parent)
    // Each model reads its own document.
    : MouseSessionDevice(DeviceIds::resourcePath(DeviceIds::find(pid), "Layout.json"), parent)
    , m_pid(pid)
{
    for (int slot = 1; slot <= kMacroSlots; ++slot)
        m_macroSlots.insert(slot, -1);
    m_transport.setMutex(HCommunicateManager::instance()->getMutex());
}

KDeviceDunmor::~KDeviceDunmor() = default;

// --- opening --------------------------------------------------------------------------------------------------

bool KDeviceDunmor::initDevice()
{
    // The channel is replaced only while no operation uses it; the GUI thread never waits for one.
    MouseOperation op(m_session);
    if (!op.isHeld()) {
        if (m_channel && m_channel->isOpened())
            return opened = true;
        qWarning() << "[ERROR] init device: the device is busy, try again";
        return false;
    }
    opened = openChannel();
    qDebug() << "[INFO] init device" << opened;
    return opened;
}

bool KDeviceDunmor::openChannel()
{
    if (m_channel)
        m_channel->deleteLater();
    m_channel = new KHID::KUSBDevice(this);
    m_transport.setChannel(m_channel);
    for (int attempt = 0; attempt < kOpenTries; ++attempt) {
        if (m_channel->initDevice(DeviceIds::kVendorId, m_pid, kUsage, kUsagePage, kFeatureReportLength))
            return true;
        if (attempt + 1 < kOpenTries) {
            Platform::sleepMs(kOpenRetryPauseMs);
            qDebug() << "[ERROR] init fail retry" << attempt;
        }
    }
    return false;
}

int KDeviceDunmor::getMacroBufferSize()
{
    return kMacroBufferSize;
}

// --- exchanges ------------------------------------------------------------------------------------------------

bool KDeviceDunmor::query(std::initializer_list<quint8> command, QByteArray* reply)
{
    QList<QByteArray> results;
    if (!m_transport.exchange({DunmorTransport::command(command), DunmorTransport::reply()}, &results)
        || results.size() != 1)
        return false;
    *reply = results.first();
    return reply->size() == kCommandSize;
}

bool KDeviceDunmor::send(std::initializer_list<quint8> command)
{
    return m_transport.exchange({DunmorTransport::command(command)});
}

// --- firmware, DPI --------------------------------------------------------------------------------------------

int KDeviceDunmor::getFwVersion()
{
    MouseOperation op(m_session);
    QByteArray reply;
    if (!op.isHeld() || !query({kCmdGetFwVersion}, &reply))
        return 0;
    return quint8(reply.at(kReplyFwMajor)) * 256 + quint8(reply.at(kReplyFwMinor));
}

int KDeviceDunmor::getDpiIndex()
{
    MouseOperation op(m_session);
    QByteArray reply;
    if (!op.isHeld() || !query({kCmdGetDpiIndex, kProfileByte}, &reply))
        return 0;
    return quint8(reply.at(kReplyDpiIndex));
}

bool KDeviceDunmor::setDpiIndex(const int& index)
{
    if (index < 0 || index >= kMaxDpiCodes) {
        qDebug() << "[ERROR] setDpiIndex: no such stage" << index;
        return false;
    }
    MouseOperation op(m_session);
    return op.isHeld() && send({kCmdSetDpiIndex, kProfileByte, quint8(index)});
}

bool KDeviceDunmor::readDpiPage(QByteArray* page)
{
    QList<QByteArray> results;
    int failed = 0;
    if (!m_transport.exchange({DunmorTransport::command({kCmdGetDpiList, kProfileByte}), DunmorTransport::reply(),
                               DunmorTransport::readPage(kDpiPageReadSize)},
                              &results, &failed)) {
        qDebug() << (failed <= 1 ? "[ERROR] getDpiList: mDevice->readFeature" : "[ERROR] getDpiList: mDevice->readData");
        return false;
    }
    *page = results.value(1);
    return page->size() >= kDpiPageScan;
}

QVector<int> KDeviceDunmor::dpiListOfPage(const QByteArray& page, int (*dpiFromCode)(int)) const
{
    // Byte 0 is the report id, never a stage. A zero byte is a stage without a value: it is reported after the
    // stages that have one.
    QVector<int> values;
    int zeros = 0;
    for (int i = 1; i < kDpiPageScan && i < page.size(); ++i) {
        const quint8 code = quint8(page.at(i));
        if (code == 0)
            ++zeros;
        else if (code != kDpiEndMark && dpiFromCode(code) > 0)
            values << dpiFromCode(code);
    }
    for (int i = 0; i < zeros; ++i)
        values << 0;
    return values;
}

QVector<int> KDeviceDunmor::getDpiList()
{
    MouseOperation op(m_session);
    QByteArray page;
    if (!op.isHeld() || !readDpiPage(&page))
        return QVector<int>();
    return dpiListOfPage(page, [](int code) { return Dunmor::dpiFromCode(code); });
}

bool KDeviceDunmor::writeDpiPage(const QVector<quint8>& codes)
{
    if (codes.isEmpty() || codes.size() > kMaxDpiCodes) {
        qDebug() << "[ERROR] setDpiList: a page holds 1 to" << kMaxDpiCodes << "stages, not" << codes.size();
        return false;
    }
    QByteArray page(kPageSize, '\0');
    page[0] = char(m_transport.reportId());
    int at = 1;
    for (quint8 code : codes)
        page[at++] = char(code);
    page[at] = char(kDpiEndMark);
    int failed = 0;
    if (!m_transport.exchange({DunmorTransport::command({kCmdSetDpiList, kProfileByte, kDpiListArg1, kDpiListArg2}),
                               DunmorTransport::writePage(page)},
                              nullptr, &failed)) {
        qDebug() << (failed == 0 ? "[ERROR] setDpiList: mDevice->sendFeature" : "[ERROR] setDpiList: mDevice->writeData");
        return false;
    }
    return true;
}

bool KDeviceDunmor::setDpiList(const QVector<int>& values)
{
    MouseOperation op(m_session);
    if (!op.isHeld())
        return false;
    const QVector<bool> enable = op.ui().dpiEnable;
    if (values.size() > enable.size()) {
        qDebug() << "[ERROR] setDpiList: more values than stage switches" << values.size() << enable.size();
        return false;
    }
    QVector<quint8> codes;
    for (int i = 0; i < values.size(); ++i) {
        const quint8 code = codeFromDpi(values.at(i));
        if (enable.at(i) && code > 0)
            codes << code;
    }
    return writeDpiPage(codes);
}

// --- report rate ----------------------------------------------------------------------------------------------

bool KDeviceDunmor::readReportRate(int* rate)
{
    QByteArray reply;
    if (!query({kCmdGetReportRate}, &reply))
        return false;
    *rate = rateFromInterval(quint8(reply.at(kReplyInterval)));
    return true;
}

int KDeviceDunmor::getReportRate()
{
    MouseOperation op(m_session);
    int rate = 0;
    if (!op.isHeld() || !readReportRate(&rate))
        return 0;
    return rate;
}

bool KDeviceDunmor::setReportRate(const int& rate)
{
    if (rate < 0 || rate >= kReportRates)
        return false;
    MouseOperation op(m_session);
    return op.isHeld() && send({kCmdSetReportRate, kReportInterval[rate]});
}

// --- light ----------------------------------------------------------------------------------------------------

int KDeviceDunmor::getLightModel(int zone)
{
    MouseOperation op(m_session);
    QByteArray reply;
    if (op.isHeld() && query({kCmdGetLight, kProfileByte}, &reply)) {
        const int mode = modeOfEffect(quint8(reply.at(kReplyEffect)));
        if (mode >= 0)
            return mode;
    }
    return kFallbackLightMode[zoneIndex(zone)];
}

int KDeviceDunmor::getLightSpeed(int)
{
    MouseOperation op(m_session);
    QByteArray reply;
    if (!op.isHeld() || !query({kCmdGetLight, kProfileByte}, &reply))
        return 0;
    switch (quint8(reply.at(kReplyEffect))) {
    case 2:
    case 3:
    case 5:
        return quint8(reply.at(kReplyParameter));
    default:
        return 0;   // no speed, or an effect the mouse should not report
    }
}

int KDeviceDunmor::getLightBrightness(int zone)
{
    MouseOperation op(m_session);
    QByteArray reply;
    if (!op.isHeld() || !query({kCmdGetLight, kProfileByte}, &reply))
        return kFallbackBrightness[zoneIndex(zone)];
    return quint8(reply.at(kReplyEffect)) == kEffectOfMode[kBrightnessMode] ? quint8(reply.at(kReplyParameter))
                                                                            : kFallbackBrightnessUnset;
}

QMap<QString, int> KDeviceDunmor::getRGB(int zone)
{
    MouseOperation op(m_session);
    QByteArray reply;
    if (!op.isHeld() || !query({kCmdGetRgb, kProfileByte}, &reply)) {
        const int* rgb = kFallbackRgb[zoneIndex(zone)];
        return {{QStringLiteral("r"), rgb[0]}, {QStringLiteral("g"), rgb[1]}, {QStringLiteral("b"), rgb[2]}};
    }
    return {{QStringLiteral("r"), quint8(reply.at(kReplyRed))},
            {QStringLiteral("g"), quint8(reply.at(kReplyGreen))},
            {QStringLiteral("b"), quint8(reply.at(kReplyBlue))}};
}

bool KDeviceDunmor::sendLight(quint8 effect, quint8 parameter, quint8 flag)
{
    return send({kCmdSetLight, kProfileByte, effect, parameter, flag});
}

bool KDeviceDunmor::setLightModel(const int& mode, int)
{
    MouseOperation op(m_session);
    if (!op.isHeld())
        return false;
    const QVariantMap logo = op.ui().lightZones.value(0);
    LightCommand c = kLightOff;
    switch (mode) {
    case 1:
        c = kLightMode1;
        break;
    case 2: {
        const int speed = logo.value(QStringLiteral("speed")).toInt();
        c = {kEffectOfMode[2], quint8(speed > 0 ? qMin(speed, 0xFF) : kDefaultSpeed), kBreathingFlag};
        break;
    }
    case 3: {
        const int brightness = logo.value(QStringLiteral("brightness")).toInt();
        c = {kEffectOfMode[3], quint8(brightness > 0 ? qMin(brightness, 0xFF) : kDefaultBrightness), kBreathingFlag};
        break;
    }
    case 4:
        c = kLightMode4;
        break;
    case 5:
        c = kLightMode5;
        break;
    default:
        break;
    }
    if (!sendLight(c.effect, c.parameter, c.flag))
        return false;
    // The mouse forgets its report rate with a new effect: it is written again, but only as the mouse said it.
    int rate = 0;
    if (readReportRate(&rate))
        send({kCmdSetReportRate, kReportInterval[rate]});
    return true;
}

bool KDeviceDunmor::setLightSpeed(const int& speed, int)
{
    if (speed < 0 || speed > kSpeedMax)
        return false;
    MouseOperation op(m_session);
    if (!op.isHeld())
        return false;
    // The speed rides on the current effect; without knowing it nothing is sent.
    QByteArray reply;
    const int mode = query({kCmdGetLight, kProfileByte}, &reply) ? modeOfEffect(quint8(reply.at(kReplyEffect))) : -1;
    if (mode < 0) {
        qDebug() << "[ERROR] setLightSpeed: the light mode cannot be read";
        return false;
    }
    switch (mode) {
    case 0:
        return sendLight(kLightOff.effect, kLightOff.parameter, kLightOff.flag);
    case 1:
        return sendLight(kLightMode1.effect, kLightMode1.parameter, kLightMode1.flag);
    case 2:
        return sendLight(kEffectOfMode[2], quint8(qMax(speed / 2, 1)), kBreathingFlag);
    case 3:
        // This effect's parameter is the brightness, which a speed leaves as it is.
        return sendLight(kEffectOfMode[3], quint8(reply.at(kReplyParameter)), kBreathingFlag);
    case 4:
        return sendLight(kEffectOfMode[4], quint8(qMax(speed / 3, 1)), kMode4Flag);
    case 5: {
        const int s = speed / 2;
        const quint8 sent = s <= 2 ? 2 : s <= 4 ? 4 : 6;
        return sendLight(kEffectOfMode[5], sent, kLightMode5.flag);
    }
    default:
        qDebug() << "[Error] There is no such color";
        return sendLight(kLightOff.effect, kLightOff.parameter, kLightOff.flag);
    }
}

bool KDeviceDunmor::setLightBrightness(const int& brightness, int)
{
    if (brightness < 0 || brightness > kBrightnessMax)
        return false;
    MouseOperation op(m_session);
    if (!op.isHeld())
        return false;
    if (op.ui().lightZones.value(0).value(QStringLiteral("model")).toInt() != kBrightnessMode) {
        qDebug() << "Dunmor setLightBrightness error";
        return true;
    }
    return sendLight(kEffectOfMode[kBrightnessMode], quint8(brightness), kBreathingFlag);
}

bool KDeviceDunmor::setRGB(const QMap<QString, int>& rgb, int)
{
    const QString keys[] = {QStringLiteral("r"), QStringLiteral("g"), QStringLiteral("b")};
    for (const QString& key : keys) {
        if (!rgb.contains(key) || rgb.value(key) < 0 || rgb.value(key) > 0xFF) {
            qDebug() << "[ERROR] setRGB";
            return false;
        }
    }
    MouseOperation op(m_session);
    return op.isHeld()
        && send({kCmdSetRgb, kProfileByte, quint8(rgb.value(keys[1])), quint8(rgb.value(keys[0])),
                 quint8(rgb.value(keys[2]))});
}

// --- for tests ------------------------------------------------------------------------------------------------

QByteArray KDeviceDunmor::slotCodes() const
{
    QMutexLocker lock(&m_stateLock);
    return m_slotCodes;
}

QMap<int, int> KDeviceDunmor::macroSlots() const
{
    QMutexLocker lock(&m_stateLock);
    return m_macroSlots;
}
