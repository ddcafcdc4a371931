#include "HCawdorSeries_Nordic.h"

#include "KConfigControl.h"
#include "ModelPidMap.h"

#include "firmware/NordicDfuEntry.h"

#include <QDebug>

HCawdorSeries_Nordic::HCawdorSeries_Nordic(QObject* parent)
    : HBaseDevice(parent)
    , m_tool(new NrfutilRun(this))
    , m_thread(new HCawdorSeries_Nordic_BootloadThread)
{
    connect(m_tool, &NrfutilRun::progress, this, [this](int value, int total) {
        emit sig_ProgressValue(value, total);
        emit sig_fwUpdateProgress(value, total);
    });
    connect(m_tool, &NrfutilRun::finished, this,
            [this](bool success, const QString& message) { report(success ? 0 : 2, message); });
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
    m_tool->cancel();
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

    // A mouse already in its bootloader has no application interface: the port search decides.
    m_deviceMissing = !NordicDfuEntry::enterDfu(quint16(info.vid), quint16(pid), quint16(info.usage),
                                                quint16(info.usagePage));
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
    startRunExe(portNumber);
}

bool HCawdorSeries_Nordic::startRunExe(const QString& port)
{
    const QString modelFolder = programFolder() + QStringLiteral("/Update/Local/") + ModelPidMap::modelName(m_pid);
    const QString program = modelFolder + QStringLiteral("/nrfutil.exe");
    const QString package = (firmwarePath().isEmpty() ? modelFolder : firmwarePath()) + QLatin1Char('/') + m_fileName;
    qDebug() << "device:" << ModelPidMap::modelName(m_pid);
    const QStringList arguments = NrfutilRun::arguments(package, port);
    qDebug() << "stringList: " << arguments;
    return m_tool->start(program, arguments);
}
