#pragma once

#include "platform/sys/PlatformTime.h"

#include <QByteArray>
#include <QThread>

#include <atomic>

namespace KHID {
class KUSBDevice;
}

// One pairing run with a wireless receiver, on a thread of its own and a channel of its own (not through
// the channel registry): it opens the receiver's vendor interface, puts it into pairing mode with a fresh
// pairing key and polls it until it reports the device paired, at most kMaxPolls times. The outcome is
// sigFinishCode, once. A run that fails after the receiver was opened leaves pairing mode again (the cancel
// command) before it reports.
//
// Receiver commands are 32-byte packets in output report 0xBA; replies are input report 0xBA fetched over the
// control pipe, byte 0 the status (0 busy, 1 ok, 2 error), in a status reply byte 1 the pairing state
// (0 paired).
//
// Threads: created, started, stopped and deleted on the GUI thread; run() and the channel belong to the
// pairing thread. stop() ends a run at its next step (sleeps are cut short) and joins it.
class FPairingFarrant : public QThread
{
    Q_OBJECT
public:
    static constexpr quint8 kReportId = 0xBA;
    static constexpr int kPacketSize = 32;
    static constexpr quint16 kUsage = 0x0E;
    static constexpr quint16 kUsagePage = 0xFF00;
    static constexpr int kOpenRetries = 5;
    static constexpr int kOpenRetryPauseMs = 1000;
    static constexpr int kCommandTries = 30;
    static constexpr int kReplyPauseMs = 100;
    static constexpr int kPollPauseMs = 300;
    static constexpr int kMaxPolls = 100;

    // Reply status bytes.
    enum Status : quint8 { StatusBusy = 0, StatusOk = 1, StatusError = 2 };
    // What reading one reply gave.
    enum Reply { ReplyFailed = 0, ReplyBusy = 1, ReplyOk = 2, ReplyError = 3, ReplyNoChannel = 4 };

    // The commands, as their first two packet bytes.
    static QByteArray enterPairingPacket();
    static QByteArray pairingKeyPacket(quint32 key);
    static QByteArray statusQueryPacket();
    static QByteArray cancelPacket();
    // A new pairing key, 1 to 32768.
    static quint32 newPairingKey();

    explicit FPairingFarrant(QObject* parent = nullptr);
    ~FPairingFarrant() override;

    // Before start().
    void setPid(int pid) { m_pid = pid; }
    int pid() const { return m_pid; }

    // Any thread but the pairing thread: ends the run at its next step and returns once it has ended.
    void stop();

signals:
    void sigFinishCode(bool res);

protected:
    void run() override;

private:
    bool openReceiver();
    bool sendPacket(const QByteArray& packet);
    Reply readReply(QByteArray* reply);
    // Sends a command until the receiver answers ok; kCommandTries at most.
    bool exchange(const QByteArray& packet);
    // Asks for the pairing state; the ok reply goes to *reply.
    bool queryStatus(QByteArray* reply);
    // Leaves pairing mode when the receiver is open; false without sending when it is not.
    bool cancelPairing();
    void finish(bool paired);
    bool stopping() const { return m_stop.load(); }

    KHID::KUSBDevice* m_channel = nullptr;
    int m_pid = 0;
    std::atomic<bool> m_stop{false};
    Platform::InterruptibleSleep m_sleep;
};
