#include "FHollisSeries_pipe.h"

#include <QDebug>

#include <cstring>

namespace {

const QString kPipeName = QStringLiteral("Quor_Named_Pipe");
constexpr quint8 kProgress = 4;
constexpr quint8 kEnd = 5;

} // namespace

FHollisSeries_pipe::FHollisSeries_pipe(QObject* parent)
    : QThread(parent)
    , m_pipe(kPipeName)
{
}

bool FHollisSeries_pipe::create()
{
    if (m_pipe.create())
        return true;
    qDebug() << "Create Named_Pipe Failed...";
    return false;
}

FHollisSeries_pipe::~FHollisSeries_pipe()
{
    stop();
    wait();
}

void FHollisSeries_pipe::stop()
{
    m_pipe.stop();
}

void FHollisSeries_pipe::run()
{
    if (!m_pipe.isCreated()) {
        emit sig_updateState(-1, QStringLiteral("Create Named_Pipe Failed"));
        return;
    }
    if (!m_pipe.connectPeer()) {
        if (m_pipe.isStopped())
            return;
        qDebug() << "Connect Failed...";
        emit sig_updateState(-1, QStringLiteral("Connect Failed"));
        m_pipe.close();
        return;
    }
    qDebug() << "Connect Successed...";

    int failures = 0;
    quint8 message[kMessageSize];
    for (;;) {
        std::memset(message, 0, sizeof message);
        const int length = m_pipe.read(message, sizeof message);
        if (m_pipe.isStopped())
            break;
        // A message that did not fit, a failed read and a peer that has gone all count as failed reads.
        if (length <= 0) {
            qDebug() << "Read Failed...";
            if (++failures >= kReadFailureLimit) {
                qDebug() << "Read Failed" << failures << "times, the pipe is given up";
                emit sig_updateState(-1, QStringLiteral("Read Failed"));
                break;
            }
            continue;
        }
        if (message[0] == kProgress) {
            emit sig_ProgressValue(int(qint8(message[1])), 100);
        } else if (message[0] == kEnd && message[1] == 0) {
            emit sig_updateState(1, QStringLiteral("updateFinish"));
            break;
        }
    }
    m_pipe.close();
}
