#include "FHollisSeries.h"

#include "ModelPidMap.h"

#include "common/DeviceIds.h"

#include <QDebug>

FHollisSeries::FHollisSeries(QObject* parent)
    : HBaseDevice(parent)
    , m_pipe(new FHollisSeries_pipe)
{
    connect(m_pipe, &FHollisSeries_pipe::sig_ProgressValue, this, [this](int value, int total) {
        emit sig_ProgressValue(value, total);
        emit sig_fwUpdateProgress(value, total);
    });
    connect(m_pipe, &FHollisSeries_pipe::sig_updateState, this, &FHollisSeries::onState);
    connect(this, &HBaseDevice::sig_fwUpdateRequest, this, [this] { endProcessByName(QStringLiteral("ParrowDown.exe")); });
}

FHollisSeries::~FHollisSeries()
{
    stopReader();
    delete m_pipe;
    delete m_window.data();
    if (m_program > 0)
        releaseProgram(m_program);
}

QString FHollisSeries::titleWordFor(int pid)
{
    switch (pid) {
    case DeviceIds::kKeyboardWired:
        return QStringLiteral("QUENBY-8A");
    case DeviceIds::kHarloHollis:
        return QStringLiteral("HARLO");
    case DeviceIds::kRgbKeyboard:
        return QStringLiteral("QUENBYRGB");
    default:
        return QString();
    }
}

bool FHollisSeries::startUpdate(int* pid, QString fileName)
{
    const int id = pid ? *pid : 0;
    m_model = ModelPidMap::modelName(id);
    m_title = titleWordFor(id);
    m_fileName = fileName;

    // Without the pipe the program could not report: nothing is started.
    if (!m_pipe->create()) {
        emit sig_fwUpdateRequest(2, QStringLiteral("Create Named_Pipe Failed"));
        return false;
    }

    delete m_window.data();
    m_window = new HProcessBar;
    m_pipe->start(QThread::InheritPriority);
    connect(this, &FHollisSeries::sig_Flag, m_window.data(), &HProcessBar::showWindow);
    connect(this, &FHollisSeries::sig_Title, m_window.data(), &HProcessBar::getTitle);
    connect(this, &FHollisSeries::sig_ProgressValue, m_window.data(), &HProcessBar::getProgress);
    emit sig_Flag();
    m_window->show();
    emit sig_Title(m_title + QLatin1Char(' ') + tr("series flash firmware"));

    const QString program = firmwarePath().isEmpty()
        ? programFolder() + QStringLiteral("/Update/Local/") + m_model + QLatin1Char('/') + fileName
        : firmwarePath() + QLatin1Char('/') + fileName;
    if (!startElevated(program, &m_program)) {
        // The start has sent its failure (or the user declined): no program will ever connect.
        stopReader();
        return false;
    }
    return true;
}

void FHollisSeries::onState(int state, const QString& text)
{
    if (state == 1) {
        emit sig_fwUpdateRequest(1, text);
    } else {
        qDebug() << "[error]:" << state << text;
        emit sig_fwUpdateRequest(2, text);
    }
    emit finished();
}

void FHollisSeries::cancel()
{
    stopReader();
}

void FHollisSeries::stopReader()
{
    m_pipe->stop();
    m_pipe->wait();
    m_pipe->closePipe();
}
