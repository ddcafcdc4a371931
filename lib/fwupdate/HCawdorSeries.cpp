#include "HCawdorSeries.h"

#include "HProcessBar.h"
#include "ModelPidMap.h"

#include "common/DeviceIds.h"
#include "platform/sys/PlatformTime.h"

#include <QDebug>

namespace {

constexpr quint16 kApplicationUsage = 14;
constexpr quint16 kApplicationUsagePage = 0xFF00;

// The wired models this updater flashes, in the order the firmware folders were laid out.
constexpr HCawdorSeries::Model kModels[] = {
    {"YARRIN", DeviceIds::kYarrin},   {"ZENNOR", DeviceIds::kZennor}, {"ABBERLY", DeviceIds::kAbberly},
    {"FARRANT", DeviceIds::kFarrant}, {"GADSBY", DeviceIds::kGadsby}, {"ICKWOR", DeviceIds::kIckwor},
    {"KELHAM", DeviceIds::kKelham},
};

IspTransfer::Messages messages()
{
    IspTransfer::Messages m;
    m.fileMissing = QStringLiteral("file not exists!!!");
    m.fileUnreadable = QStringLiteral("file open error!!!");
    m.fileTooBig = QStringLiteral("File to big!!!");
    m.writeFailed = QStringLiteral("writeData error!");
    m.readFailed = QStringLiteral("readData error!");
    m.sizeError = QStringLiteral("error size");
    m.numberMismatch = QStringLiteral("curPacketNo != lcksum");
    m.checksumError = QStringLiteral("Checksum error!!");
    m.syncOk = QStringLiteral("send sync packno cmd OK");
    m.syncFailed = QStringLiteral("send sync packno cmd fail");
    m.resend = QStringLiteral("resend this packet");
    m.resendWriteFailed = QStringLiteral("resend packet error");
    m.rereadFailed = QStringLiteral("reRead packet error");
    m.replyFailed = QStringLiteral("readData fail");
    return m;
}

const QString kFailure = QStringLiteral("CawdorSeries refresh error!");

} // namespace

HCawdorSeries::HCawdorSeries(QObject* parent)
    : HBaseDevice(parent)
    , m_device(new KHID::KUSBDevice(this))
    , m_transfer(this, messages())
{
}

HCawdorSeries::~HCawdorSeries()
{
    delete m_window.data();
}

bool HCawdorSeries::startUpdate(int* pid, QString fileName)
{
    Q_UNUSED(fileName)
    const int id = pid ? *pid : 0;
    if (ModelPidMap::isWireless(id)) {
        emit sig_fwUpdateRequest(2, QStringLiteral("wireless cannot perform firmware upgrade!!!"));
        return false;
    }
    m_pid = id;
    delete m_window.data();
    m_window = new HProcessBar;
    connect(this, &HCawdorSeries::sig_Flag, m_window.data(), &HProcessBar::showWindow);
    connect(this, &HCawdorSeries::sig_Title, m_window.data(), &HProcessBar::getTitle);
    connect(this, &HCawdorSeries::sig_ProgressValue, m_window.data(), &HProcessBar::getProgress);
    emit sig_Flag();
    m_window->show();
    emit sig_Title(tr("Cawdor series flash firmware"));
    refresh(m_pid);
    return true;
}

void HCawdorSeries::startWork()
{
    refresh(m_pid);
}

bool HCawdorSeries::refresh(int pid)
{
    const Model* model = nullptr;
    for (const Model& m : kModels) {
        if (m.pid == pid) {
            model = &m;
            break;
        }
    }
    if (!model)
        return false;

    // The file is read and checked before the mouse leaves its application: a file that cannot be flashed
    // leaves the mouse as it was.
    const QString path = firmwarePath().isEmpty()
        ? programFolder() + QStringLiteral("/Update/Local") + QLatin1Char('/') + QLatin1String(model->name)
              + QStringLiteral("/Nuc123.bin")
        : firmwarePath() + QStringLiteral("/Nuc123.bin");
    qDebug() << "path:" << path;
    if (!m_transfer.loadImage(path)) {
        qDebug() << "get fileinfo error!!!";
        qDebug() << "updateFwFile error!";
        emit sig_fwUpdateRequest(2, kFailure);
        return false;
    }

    if (!enterUpdateMode(pid)) {
        qDebug() << "enterBootLoad error!";
        m_device->close();
        emit sig_fwUpdateRequest(2, kFailure);
        return false;
    }
    const bool flashed = updateFwFile(true);
    if (!flashed)
        qDebug() << "updateFwFile error!";
    // Whatever the transfer did, the bootloader is told to run the application: a mouse is never left waiting
    // in its bootloader.
    if (!m_transfer.runApplication())
        qDebug() << "run appom error!";
    if (m_device->isOpened())
        m_device->close();
    if (!flashed) {
        emit sig_fwUpdateRequest(2, kFailure);
        return false;
    }
    Platform::sleepMs(2000);
    emit sig_fwUpdateRequest(0, QStringLiteral("CawdorSeries refresh success!"));
    emit finished();
    return true;
}

bool HCawdorSeries::openBootloader()
{
    return m_device->initDevice(DeviceIds::kVendorId, DeviceIds::kHidBootloader, 0, kBootloaderUsagePage,
                                quint16(0));
}

bool HCawdorSeries::enterUpdateMode(int pid)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (openBootloader()) {
            qDebug() << "enterUpdateMode";
            return m_device->writeHandle() != KHID::INVALID_HANDLE_VALUE;
        }
    }

    bool opened = false;
    for (int attempt = 0; attempt < 3 && !opened; ++attempt) {
        opened = m_device->initDevice(DeviceIds::kVendorId, quint16(pid), kApplicationUsage, kApplicationUsagePage,
                                      quint16(0));
        if (!opened && attempt < 2)
            Platform::sleepMs(100);
    }
    if (!opened || m_device->writeHandle() == KHID::INVALID_HANDLE_VALUE)
        return false;

    quint8 report[Isp::kEnterBootloaderSize] = {Isp::kEnterBootloaderId, Isp::kEnterBootloaderCommand};
    KHID::DWORD written = 0;
    const bool sent = m_device->writeData(report, sizeof report, &written);
    m_device->close();
    if (!sent)
        return false;
    Platform::sleepMs(3000);

    for (int poll = 0; poll < 5; ++poll) {
        Platform::sleepMs(2000);
        if (openBootloader())
            break;
    }
    return m_device->isOpened() && m_device->writeHandle() != KHID::INVALID_HANDLE_VALUE;
}

bool HCawdorSeries::updateFwFile(bool aprom)
{
    return m_transfer.transfer(aprom, [this](int sent, int total) {
        emit sig_ProgressValue(sent, total);
        emit sig_fwUpdateProgress(sent, total);
    });
}

bool HCawdorSeries::writeReport(const quint8* report, int length)
{
    KHID::DWORD written = 0;
    return m_device->writeData(report, quint32(length), &written) && int(written) == length;
}

int HCawdorSeries::readReport(quint8* report, int capacity)
{
    KHID::DWORD read = 0;
    if (!m_device->readData(report, quint32(capacity), &read, kReplyTimeoutMs))
        return -1;
    return int(read);
}
