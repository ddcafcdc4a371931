#include "firmware/NrfutilRun.h"

#include <QDebug>

NrfutilRun::NrfutilRun(QObject* parent)
    : QObject(parent)
{
}

NrfutilRun::~NrfutilRun()
{
    cancel();
}

QStringList NrfutilRun::arguments(const QString& package, const QString& port)
{
    return {QStringLiteral("dfu"), QStringLiteral("usb-serial"), QStringLiteral("-pkg"), package,
            QStringLiteral("-p"), port};
}

bool NrfutilRun::start(const QString& program, const QStringList& arguments)
{
    cancel();
    m_done = false;
    m_output = NordicDfuOutput();
    m_process = new QProcess(this);
    connect(m_process.data(), &QProcess::readyReadStandardOutput, this, &NrfutilRun::onReadyReadStandardOutput);
    connect(m_process.data(), &QProcess::readyReadStandardError, this, &NrfutilRun::onReadyReadStandardError);
    connect(m_process.data(), QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &NrfutilRun::onToolEnded);
    m_process->start(program, arguments, QIODevice::ReadWrite);
    if (m_process->waitForStarted(kStartTimeoutMs))
        return true;
    finish(false, QStringLiteral("nrfutil could not be started"));
    return false;
}

void NrfutilRun::cancel()
{
    m_done = true;
    if (!m_process)
        return;
    m_process->disconnect(this);
    m_process->kill();
    m_process->waitForFinished(1000);
    // We may be inside one of the process's own signals (a result handler that starts the next update).
    m_process->deleteLater();
    m_process = nullptr;
}

void NrfutilRun::onReadyReadStandardOutput()
{
    if (m_process)
        handle(m_output.feed(m_process->readAllStandardOutput()));
}

void NrfutilRun::onReadyReadStandardError()
{
    if (m_process)
        qDebug() << "[Error]" << m_process->readAllStandardError();
}

void NrfutilRun::handle(const QList<NordicDfuOutput::Line>& lines)
{
    for (const NordicDfuOutput::Line& line : lines) {
        if (line.event == NordicDfuOutput::Event::Progress)
            emit progress(line.value, line.total);
        else if (line.event == NordicDfuOutput::Event::End)
            finish(true, QStringLiteral("successed update"));
        qDebug().noquote() << "[Info] " + line.text;
    }
}

void NrfutilRun::onToolEnded()
{
    onReadyReadStandardOutput();
    handle(m_output.finish());
    finish(false, QStringLiteral("nrfutil ended before the update was complete"));
}

void NrfutilRun::finish(bool success, const QString& message)
{
    if (m_done)
        return;
    m_done = true;
    emit finished(success, message);
}
