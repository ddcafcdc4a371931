#include "SettingsMouseDevice.h"

#include "SettingsMouseProtocol.h"

#include "common/DeviceIds.h"
#include "hid/HCommunicateManager.h"
#include "hid/khid/KUSBDevice.h"

#include <QMutexLocker>

#include <cstring>

using namespace SettingsMouse;

namespace {

bool isKey(int key)
{
    return key >= 0 && key < kKeyCount;
}

bool isByte(int value)
{
    return value >= 0 && value <= 0xFF;
}

} // namespace

SettingsMouseDevice::SettingsMouseDevice(int pid)
    : CoreTestDevice(pid)
{
}

SettingsMouseDevice::~SettingsMouseDevice() = default;

bool SettingsMouseDevice::initDevice()
{
    KHID::KUSBDevice* channel = HCommunicateManager::instance()->getDevice(this);
    opened = channel->initDevice(DeviceIds::kVendorId, quint16(pid()), kUsage, kUsagePage, kReportLength);
    return opened;
}

bool SettingsMouseDevice::writeRegisters(int address, const QByteArray& bytes)
{
    if (!opened)
        return false;
    KHID::KUSBDevice* channel = HCommunicateManager::instance()->getDevice(this);
    for (int done = 0; done < bytes.size(); done += kMaxData) {
        const int length = qMin(kMaxData, bytes.size() - done);
        Request request{};
        request.reportId = kReportId;
        request.op = OpWrite;
        request.address = quint16(address + done);
        request.length = quint8(length);
        std::memcpy(request.data, bytes.constData() + done, size_t(length));
        // Each chunk is its own transaction, so other devices' work can pass between them.
        QMutexLocker lock(HCommunicateManager::instance()->getMutex());
        if (!channel->sendFeature(&request.op, sizeof(request) - 1))
            return false;
    }
    return true;
}

QByteArray SettingsMouseDevice::readRegisters(int address, int length)
{
    if (!opened)
        return QByteArray();
    KHID::KUSBDevice* channel = HCommunicateManager::instance()->getDevice(this);
    QByteArray out;
    for (int done = 0; done < length; done += kMaxData) {
        const int chunk = qMin(kMaxData, length - done);
        Request request{};
        request.reportId = kReportId;
        request.op = OpRead;
        request.address = quint16(address + done);
        request.length = quint8(chunk);
        Reply reply{};
        QMutexLocker lock(HCommunicateManager::instance()->getMutex());
        if (!channel->sendFeature(&request.op, sizeof(request) - 1)
            || !channel->readFeature(&reply.status, sizeof(reply) - 1))
            return QByteArray();
        if (reply.status != StatusOk || reply.address != request.address || reply.length != chunk)
            return QByteArray();
        out.append(reinterpret_cast<const char*>(reply.data), chunk);
    }
    return out;
}

int SettingsMouseDevice::readByte(int address)
{
    const QByteArray value = readRegisters(address, 1);
    return value.size() == 1 ? quint8(value.at(0)) : -1;
}

int SettingsMouseDevice::getDpiIndex()
{
    return readByte(kRegDpiIndex);
}

QVector<int> SettingsMouseDevice::getDpiList()
{
    const int count = readByte(kRegStageCount);
    if (count < 0)
        return {};
    const QByteArray table = readRegisters(kRegStages, 2 * qMin(count, kMaxStages));
    QVector<int> values;
    for (int i = 0; i + 1 < table.size(); i += 2)
        values << (quint8(table.at(i)) | quint8(table.at(i + 1)) << 8);
    return values;
}

int SettingsMouseDevice::getReportRate()
{
    return readByte(kRegReportRate);
}

bool SettingsMouseDevice::setDpiIndex(const int& index)
{
    return isByte(index) && writeRegisters(kRegDpiIndex, QByteArray(1, char(index)));
}

bool SettingsMouseDevice::setDpiList(const QVector<int>& values)
{
    if (values.isEmpty() || values.size() > kMaxStages)
        return false;
    QByteArray table;
    for (int value : values) {
        if (value < 0 || value > 0xFFFF)
            return false;
        table.append(char(value & 0xFF)).append(char(value >> 8));
    }
    return writeRegisters(kRegStages, table) && writeRegisters(kRegStageCount, QByteArray(1, char(values.size())));
}

bool SettingsMouseDevice::setReportRate(const int& rate)
{
    return isByte(rate) && writeRegisters(kRegReportRate, QByteArray(1, char(rate)));
}

H_KEYLIGHT SettingsMouseDevice::getKeyColor()
{
    const QByteArray colours = readRegisters(kRegKeyColor, 3 * kKeyCount);
    const QByteArray levels = readRegisters(kRegKeyBrightness, kKeyCount);
    if (colours.size() != 3 * kKeyCount || levels.size() != kKeyCount)
        return H_KEYLIGHT();
    H_KEYLIGHT lights;
    for (int key = 0; key < kKeyCount; ++key) {
        const QString colour = QString::fromLatin1(colours.mid(3 * key, 3).toHex().toUpper());
        lights.insert(KKey(key), FKeyLightModelItem(key, quint8(levels.at(key)), colour));
    }
    return lights;
}

bool SettingsMouseDevice::setKeyRGB(const KKey& key, const QMap<QString, int>& rgb, const int&, const int&)
{
    const int r = rgb.value(QStringLiteral("r"), -1);
    const int g = rgb.value(QStringLiteral("g"), -1);
    const int b = rgb.value(QStringLiteral("b"), -1);
    if (!isKey(int(key)) || !isByte(r) || !isByte(g) || !isByte(b))
        return false;
    QByteArray colour;
    colour.append(char(r)).append(char(g)).append(char(b));
    return writeRegisters(kRegKeyColor + 3 * int(key), colour);
}

bool SettingsMouseDevice::setKeyBrightness(const KKey& key, const int& level)
{
    return isKey(int(key)) && isByte(level) && writeRegisters(kRegKeyBrightness + int(key), QByteArray(1, char(level)));
}
