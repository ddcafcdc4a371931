#include "sim/mouse/featurereport/SimSupplierImageMouse.h"

#include "sim/bus/SimBus.h"

#include <QMutexLocker>

namespace {

constexpr quint16 kUsagePageGenericDesktop = 0x01;
constexpr quint16 kUsageMouse = 0x02;
constexpr quint16 kVendorUsagePage = 0xFF1C;
constexpr quint16 kVendorUsage = 0x92;
constexpr int kVendorCollection = 1;
constexpr int kImageSize = 128;
constexpr int kPageSize = 64;
constexpr quint8 kReportId = 4;
constexpr quint8 kReadCommand = 0xA0;
constexpr int kStageByte = 7;
constexpr int kLightModeByte = 37;
constexpr int kSpeedByte = 38;
constexpr int kBrightnessByte = 39;
constexpr int kAttributeByte = 41;
constexpr int kFirstKeyByte = 71;
constexpr int kKeyStride = 5;
constexpr int kKeyEntries = 10;
const QString kProductName = QStringLiteral("Gaming Mouse");

} // namespace

SimSupplierImageMouse::SimSupplierImageMouse(quint16 productId)
    : m_productId(productId)
    , m_image(factoryImage())
{
}

SimSupplierImageMouse::~SimSupplierImageMouse()
{
    unplug();
}

SimDevice SimSupplierImageMouse::interfaceOf(quint16 productId)
{
    return describe(productId, 0x0210, kProductName,
                    {SimCollection::make(kUsagePageGenericDesktop, kUsageMouse, 8, 0, 0),
                     SimCollection::make(kVendorUsagePage, kVendorUsage, kImageSize, kPageSize, 0)});
}

QByteArray SimSupplierImageMouse::factoryImage()
{
    QByteArray image(kImageSize, '\0');
    image[0] = char(kReportId);
    image[kPageSize] = char(kReportId);
    image[kStageByte] = 2;
    image[kLightModeByte] = 0;
    image[kSpeedByte] = 2;
    image[kBrightnessByte] = 8;
    // Left, right, middle, back, forward; the others as the mouse keeps them.
    const quint8 keys[5][4] = {{0xB0, 0, 0, 0}, {0xB1, 0, 0, 0}, {0xB2, 0, 0, 0}, {0xB4, 0, 0, 0}, {0xB3, 0, 0, 0}};
    for (int n = 0; n < 5; ++n) {
        for (int i = 0; i < 4; ++i)
            image[kFirstKeyByte + kKeyStride * n + i] = char(keys[n][i]);
    }
    return image;
}

bool SimSupplierImageMouse::plug(SimBus* bus)
{
    return plugInterfaces(bus, {{interfaceOf(m_productId), {nullptr, this}}});
}

QString SimSupplierImageMouse::commandPath() const
{
    return collectionPath(kVendorCollection);
}

QByteArray SimSupplierImageMouse::image() const { return locked(m_image); }
void SimSupplierImageMouse::setImage(const QByteArray& image) { setLockedMemory(m_image, image, kImageSize); }
quint8 SimSupplierImageMouse::imageByte(int index) const { return lockedByte(m_image, index); }
void SimSupplierImageMouse::setImageByte(int index, quint8 value) { setLockedByte(m_image, index, value); }

int SimSupplierImageMouse::lightMode() const { return imageByte(kLightModeByte); }
int SimSupplierImageMouse::lightSpeed() const { return imageByte(kSpeedByte); }
int SimSupplierImageMouse::lightBrightness() const { return imageByte(kBrightnessByte); }
int SimSupplierImageMouse::lightAttribute() const { return imageByte(kAttributeByte); }

QByteArray SimSupplierImageMouse::keyEntry(int entry) const
{
    QMutexLocker lock(&m_mutex);
    if (entry < 0 || entry >= kKeyEntries)
        return QByteArray();
    return m_image.mid(kFirstKeyByte + kKeyStride * entry, kKeyStride);
}

int SimSupplierImageMouse::readRequests() const { return locked(m_readRequests); }
QList<QByteArray> SimSupplierImageMouse::writtenPages() const { return locked(m_written).entries(); }
QList<QByteArray> SimSupplierImageMouse::received() const { return locked(m_received).entries(); }

void SimSupplierImageMouse::clearLog()
{
    QMutexLocker lock(&m_mutex);
    m_written.clear();
    m_received.clear();
    m_readRequests = 0;
    m_writeFaults.restart();
}

void SimSupplierImageMouse::failWrite(int n)
{
    QMutexLocker lock(&m_mutex);
    m_writeFaults.arm(n);
}

void SimSupplierImageMouse::failRead()
{
    failOnBus(SimBus::Fault::Read, kVendorCollection);
}

void SimSupplierImageMouse::clearFaults()
{
    QMutexLocker lock(&m_mutex);
    m_writeFaults.clear();
}

bool SimSupplierImageMouse::onOutput(const QByteArray& report)
{
    QByteArray reply;
    {
        QMutexLocker lock(&m_mutex);
        if (m_writeFaults.take())
            return false;
        m_received << report;
        if (report.size() >= 4 && quint8(report.at(0)) == kReportId && quint8(report.at(1)) == kReadCommand
            && quint8(report.at(2)) == 1 && quint8(report.at(3)) == 1) {
            ++m_readRequests;
            m_nextPage = 0;
            reply = m_image;
        } else {
            // A page of the image: the first, then the second.
            m_image.replace(m_nextPage * kPageSize, kPageSize, report.left(kPageSize));
            m_written << report.left(kPageSize);
            m_nextPage = 1 - m_nextPage;
            reply = QByteArray(kImageSize, '\0');
            reply[0] = char(kReportId);
            reply[1] = 1;
        }
    }
    pushInputReport(reply);
    return true;
}
