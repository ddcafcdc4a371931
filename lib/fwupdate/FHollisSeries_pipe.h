#pragma once

#include "platform/pipe/NamedPipeServer.h"

#include <QThread>

// The reader of the pipe through which a per-model update program reports: message type 4 carries a percent
// in byte 1, type 5 with byte 1 = 0 the end. It reports the end, or one failure (pipe not created, not
// connected, ten failed reads), exactly once; asked to stop, it ends without a report.
//
// Threads: created on the caller's thread; run() on its own; stop() from any thread. Its owner stops and
// joins it before deleting it.
class FHollisSeries_pipe : public QThread
{
    Q_OBJECT
public:
    static constexpr int kReadFailureLimit = 10;
    static constexpr int kMessageSize = 4096;

    explicit FHollisSeries_pipe(QObject* parent = nullptr);
    ~FHollisSeries_pipe() override;

    // Creates the pipe; false (logged) when it cannot be made or another update holds it.
    bool create();
    bool isCreated() const { return m_pipe.isCreated(); }
    // Wakes a wait for the program or its next message; the thread ends without a report.
    void stop();
    // Gives the pipe's name free again; only once the thread has ended.
    void closePipe() { m_pipe.close(); }

signals:
    void sig_ProgressValue(int value, int totleValue);
    void sig_updateState(int state, QString text);

protected:
    void run() override;

private:
    NamedPipeServer m_pipe;
};
