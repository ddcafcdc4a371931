#include "ScreenTestDevice.h"

#include "ScreenTestProtocol.h"

#include "common/DeviceIds.h"
#include "hid/HCommunicateManager.h"
#include "hid/khid/KUSBDevice.h"
#include "models/device/FOledModel.h"

#include <QImage>
#include <QMutexLocker>

using namespace ScreenTestProtocol;

ScreenTestDevice::ScreenTestDevice(int pid)
    : CoreTestDevice(pid)
{
}

bool ScreenTestDevice::initDevice()
{
    m_channel = HCommunicateManager::instance()->getDevice(this);
    opened = m_channel->initDevice(DeviceIds::kVendorId, quint16(pid()), kUsage, kUsagePage, kReportLength);
    return opened;
}

int ScreenTestDevice::exchange(quint8 op, quint8 argument, const QByteArray& data)
{
    if (!opened || isRemoved())
        return -1;
    QByteArray command(kPayload, '\0');
    command[kOpByte] = char(op);
    command[kArgumentByte] = char(argument);
    command.replace(kDataByte, data.size(), data);
    command.resize(kPayload);

    quint8 reply[kPayload] = {};
    QMutexLocker lock(HCommunicateManager::instance()->getMutex());
    if (!m_channel->sendFeature(reinterpret_cast<const quint8*>(command.constData()), kPayload)
        || !m_channel->readFeature(reply, sizeof reply))
        return -1;
    if (reply[kOpByte] != op || reply[kStatusByte] != Done)
        return -1;
    return reply[kValueByte];
}

int ScreenTestDevice::getOLEDLightIntensity()
{
    return exchange(ReadBrightness, 0);
}

int ScreenTestDevice::getCurrentPicIndex()
{
    return exchange(ReadMode, 0);
}

bool ScreenTestDevice::setOLEDLightIntensity(const int& intensity)
{
    return exchange(WriteBrightness, quint8(intensity)) != -1;
}

bool ScreenTestDevice::setCurrentPicIndex(const int& index)
{
    return exchange(WriteMode, quint8(index)) != -1;
}

bool ScreenTestDevice::writeImageToMouse()
{
    const QImage file(FOledModel::pictureFilePath());
    if (m_afterPictureRead)
        m_afterPictureRead();
    if (file.isNull())
        return false;
    const QImage screen = file.scaled(kWidth, kHeight).convertToFormat(QImage::Format_Grayscale8);
    QByteArray bits(kPictureBytes, '\0');
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (qGray(screen.pixel(x, y)) > 127)
                bits[y * kRowBytes + x / 8] = char(quint8(bits.at(y * kRowBytes + x / 8)) | (0x80 >> (x % 8)));
        }
    }
    for (int chunk = 0; chunk < kChunks; ++chunk) {
        if (exchange(PictureChunk, quint8(chunk), bits.mid(chunk * kChunkBytes, kChunkBytes)) == -1)
            return false;
    }
    return exchange(PictureEnd, 0) != -1;
}

bool ScreenTestDevice::getPowerSaving()
{
    return exchange(ReadPowerSaving, 0) == 1;
}

bool ScreenTestDevice::setPowerSaving(bool on)
{
    return exchange(WritePowerSaving, on ? 1 : 0) != -1;
}
