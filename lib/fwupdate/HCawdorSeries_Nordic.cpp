#include "HCawdorSeries_Nordic.h"

#include "KConfigControl.h"
#include "ModelPidMap.h"

#include "hid/khid/KUSBDevice.h"
#include "platform/sys/PlatformTime.h"

#include <QDebug>

namespace {

constexpr quint8 kEnterDfuId = 0xBA;
constexpr int kEnterDfuData = 32;
constexpr int kStartTimeoutMs = 30000;

} // namespace

HCawdorSeries_Nordic::HCawdorSeries_Nordic(QObject* parent)
    : HBaseDevice(parent)
    , m_thread(new HCawdorSeries_Nordic_BootloadThread)
{
    qDebug() << "new HCawdor";
    connect(m_thread, &HCawdorSeries_Nordic_BootloadThread::sigResult, this, &HCawdorSeries_Nordic::slot_findUARTPort);
    connect(m_thread, &HCawdorSeries_Nordic_BootloadThread::sigResult, m_thread,
            [](const QString& port) { qDebug() << "start:" << port; }, Qt::DirectConnection);
}

HCawdorSeries_Nordic::~HCawdorSeries_Nordic()
{
    cancel();
    delete m_thread;
    delete m_window.data();
}

void HCawdorSeries_Nordic::cancel()
{
    m_thread->stop();
    m_thread->wait();
    m_reported = true;   // nothing more is reported once cancelled
    if (m_process) {
        m_process->disconnect(this);
        m_process->kill();
        m_process->waitForFinished(1000);
    }
}

bool HCawdorSeries_Nordic::startUpdate(int* pid, QString fileName)
{
    const int id = pid ? *pid : 0;
    if (ModelPidMap::isWireless(id)) {
        emit sig_fwUpdateRequest(2, QStringLiteral("wireless cannot update Fw!!!"));
        return false;
    }
    m_receiver = false;
    DeviceInfo info;
    if (!KConfigControl::instance()->findDeviceInfo(id, &info))
        return false;
    m_deviceName = info.name;

    delete m_window.data();
    m_window = new HProcessBar;
    connect(this, &HCawdorSeries_Nordic::sig_Flag, m_window.data(), &HProcessBar::showWindow);
    connect(this, &HCawdorSeries_Nordic::sig_Title, m_window.data(), &HProcessBar::getTitle);
    connect(this, &HCawdorSeries_Nordic::sig_ProgressValue, m_window.data(), &HProcessBar::getProgress);
    emit sig_Flag();
    m_window->show();
    emit sig_Title(m_deviceName + QLatin1Char(' ') + tr("series flash firmware"));

    // Without a package name, the model's own package.
    const QString package = fileName.isEmpty() ? m_deviceName + QStringLiteral("_nRF52833_USB_DFU.zip") : fileName;
    return enterDfuMode(id, package);
}

void HCawdorSeries_Nordic::startWork()
{
    enterDfuMode(m_pid, m_fileName);
}

bool HCawdorSeries_Nordic::enterDfuMode(int pid, const QString& fileName)
{
    DeviceInfo info;
    if (!KConfigControl::instance()->findDeviceInfo(pid, &info))
        return false;
    if (m_thread->isRunning())
        return false;
    m_thread->setTargetPid(quint16(info.bootloadPid));
    // Also when the mouse is already in its bootloader: the id names the model's tool folder.
    m_pid = pid;
    m_reported = false;
    m_output = NordicDfuOutput();

    bool sent = false;
    {
        KHID::KUSBDevice device;
        bool opened = false;
        for (int attempt = 0; attempt < 3 && !opened; ++attempt) {
            opened = device.initDevice(quint16(info.vid), quint16(pid), quint16(info.usage), quint16(info.usagePage),
                                       quint16(0));
            if (!opened && attempt < 2)
                Platform::sleepMs(100);
        }
        if (opened) {
            quint8 data[kEnterDfuData] = {0xFF, 0xA8};
            for (int attempt = 0; attempt < 3 && !sent; ++attempt) {
                sent = device.sendOutputReport(kEnterDfuId, data, sizeof data);
                if (!sent && attempt < 2)
                    Platform::sleepMs(100);
            }
            device.close();
        }
    }
    // A mouse already in its bootloader has no application interface: the search decides.
    m_deviceMissing = !sent;
    if (m_deviceMissing)
        qDebug() << "enter dfu: no application interface answered";

    m_fileName = fileName;
    qDebug() << "currentFwFileName:" << m_fileName << "mPid:" << pid;
    qDebug() << "mThread->start";
    m_thread->start(QThread::InheritPriority);
    return true;
}

void HCawdorSeries_Nordic::report(int code, const QString& message)
{
    if (m_reported)
        return;
    m_reported = true;
    emit sig_fwUpdateRequest(code, message);
    emit finished();
}

void HCawdorSeries_Nordic::slot_findUARTPort(QString portNumber)
{
    qDebug() << "find port:" << portNumber;
    if (portNumber.isEmpty()) {
        if (m_deviceMissing)
            report(2, QStringLiteral("[警告] 未找到该pid设备"));
        else
            report(2, QStringLiteral("[警告] 未找到串口号设备: ") + portNumber);
        return;
    }
    qDebug() << "startrunExe:" << portNumber;
    if (!startRunExe(portNumber))
        report(2, QStringLiteral("nrfutil could not be started"));
}

bool HCawdorSeries_Nordic::startRunExe(const QString& port)
{
    delete m_process.data();
    m_process = new QProcess(this);
    connect(m_process.data(), &QProcess::readyReadStandardOutput, this, &HCawdorSeries_Nordic::onReadyReadStandardOutput);
    connect(m_process.data(), &QProcess::readyReadStandardError, this, &HCawdorSeries_Nordic::onReadReadStandardError);
    connect(m_process.data(), QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &HCawdorSeries_Nordic::onToolFinished);

    const QString modelFolder = programFolder() + QStringLiteral("/Update/Local/") + ModelPidMap::modelName(m_pid);
    const QString program = modelFolder + QStringLiteral("/nrfutil.exe");
    const QString package = (firmwarePath().isEmpty() ? modelFolder : firmwarePath()) + QLatin1Char('/') + m_fileName;
    qDebug() << "device:" << ModelPidMap::modelName(m_pid);
    const QStringList arguments = {QStringLiteral("dfu"), QStringLiteral("usb-serial"), QStringLiteral("-pkg"),
                                   package, QStringLiteral("-p"), port};
    qDebug() << "stringList: " << arguments;
    m_process->start(program, arguments, QIODevice::ReadWrite);
    return m_process->waitForStarted(kStartTimeoutMs);
}

void HCawdorSeries_Nordic::onReadyReadStandardOutput()
{
    if (m_process)
        handleLines(m_output.feed(m_process->readAllStandardOutput()));
}

void HCawdorSeries_Nordic::handleLines(const QList<NordicDfuOutput::Line>& lines)
{
    for (const NordicDfuOutput::Line& line : lines) {
        if (line.event == NordicDfuOutput::Event::Progress) {
            emit sig_ProgressValue(line.value, line.total);
            emit sig_fwUpdateProgress(line.value, line.total);
        } else if (line.event == NordicDfuOutput::Event::End) {
            report(0, QStringLiteral("successed update"));
        }
        qDebug().noquote() << "[Info] " + line.text;
    }
}

void HCawdorSeries_Nordic::onReadReadStandardError()
{
    if (m_process)
        qDebug() << "[Error]" << m_process->readAllStandardError();
}

void HCawdorSeries_Nordic::onToolFinished()
{
    onReadyReadStandardOutput();
    handleLines(m_output.finish());
    // The tool ended without saying the update was complete.
    report(2, QStringLiteral("nrfutil ended before the update was complete"));
}
