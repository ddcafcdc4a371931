#include "SimScreenFirmware.h"

#include "sim/bus/SimBus.h"

#include <QMutexLocker>

using namespace ScreenTestProtocol;

SimScreenFirmware::SimScreenFirmware()
    : m_incoming(kPictureBytes, '\0')
{
    for (int i = 0; i < kChunks; ++i)
        m_chunkSeen << false;
}

SimScreenFirmware::~SimScreenFirmware()
{
    unplug();
}

int SimScreenFirmware::plug(SimBus* bus, quint16 productId)
{
    unplug();
    plugInterfaces(bus, {{describe(productId, 0x0100, QStringLiteral("Simulated screen device"),
                                   {SimCollection::make(kUsagePage, kUsage, 0, 0, kReportLength, kReportId)}),
                          {this}}});
    return busDeviceId();
}

bool SimScreenFirmware::onSetFeature(const QByteArray& report)
{
    if (report.size() < kReportLength || quint8(report.at(0)) != kReportId)
        return false;
    const QByteArray command = report.mid(1);
    const int op = quint8(command.at(kOpByte));
    const int argument = quint8(command.at(kArgumentByte));

    QMutexLocker lock(&m_mutex);
    ++m_counts[op];
    m_reply = QByteArray(kPayload, '\0');
    m_reply[kOpByte] = char(op);
    auto refusal = m_refusals.find(op);
    if (refusal != m_refusals.end() && refusal.value()-- == 0) {
        m_refusals.erase(refusal);
        m_reply[kStatusByte] = char(Refused);
        return true;
    }

    int value = 0;
    bool done = true;
    switch (op) {
    case ReadBrightness:
        value = m_brightness;
        break;
    case WriteBrightness:
        m_brightness = argument;
        break;
    case ReadMode:
        value = m_mode;
        break;
    case WriteMode:
        m_mode = argument;
        break;
    case PictureChunk:
        done = argument < kChunks;
        if (done) {
            m_incoming.replace(argument * kChunkBytes, kChunkBytes, command.mid(kDataByte, kChunkBytes));
            m_chunkSeen[argument] = true;
        }
        break;
    case PictureEnd:
        done = !m_chunkSeen.contains(false);
        if (done) {
            m_picture = QImage(kWidth, kHeight, QImage::Format_Grayscale8);
            for (int y = 0; y < kHeight; ++y) {
                for (int x = 0; x < kWidth; ++x) {
                    const bool lit = quint8(m_incoming.at(y * kRowBytes + x / 8)) & (0x80 >> (x % 8));
                    m_picture.setPixel(x, y, lit ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
                }
            }
        }
        for (int i = 0; i < kChunks; ++i)
            m_chunkSeen[i] = false;
        break;
    case ReadPowerSaving:
        value = m_powerSaving ? 1 : 0;
        break;
    case WritePowerSaving:
        m_powerSaving = argument != 0;
        break;
    default:
        done = false;
    }
    m_reply[kStatusByte] = char(done ? Done : Refused);
    m_reply[kValueByte] = char(value);
    return true;
}

bool SimScreenFirmware::onGetFeature(quint8 reportId, QByteArray& report)
{
    QMutexLocker lock(&m_mutex);
    if (reportId != kReportId || m_reply.isEmpty())
        return false;
    report = QByteArray(1, char(kReportId)) + m_reply;
    report.resize(kReportLength);
    return true;
}

void SimScreenFirmware::refuse(Op op, int skip)
{
    QMutexLocker lock(&m_mutex);
    m_refusals.insert(op, skip);
}

int SimScreenFirmware::brightness() const
{
    QMutexLocker lock(&m_mutex);
    return m_brightness;
}

int SimScreenFirmware::mode() const
{
    QMutexLocker lock(&m_mutex);
    return m_mode;
}

bool SimScreenFirmware::powerSaving() const
{
    QMutexLocker lock(&m_mutex);
    return m_powerSaving;
}

void SimScreenFirmware::setBrightness(int value)
{
    QMutexLocker lock(&m_mutex);
    m_brightness = value;
}

void SimScreenFirmware::setMode(int value)
{
    QMutexLocker lock(&m_mutex);
    m_mode = value;
}

QImage SimScreenFirmware::picture() const
{
    QMutexLocker lock(&m_mutex);
    return m_picture;
}

int SimScreenFirmware::count(Op op) const
{
    QMutexLocker lock(&m_mutex);
    return m_counts.value(op);
}

int SimScreenFirmware::commandCount() const
{
    QMutexLocker lock(&m_mutex);
    int total = 0;
    for (int n : m_counts)
        total += n;
    return total;
}
