#pragma once

// The firmware side of a device that takes command packets in an output report and answers each one when the
// host fetches the input report of the same id, with its status in the report-id position (the keyboard and
// the register mouse answer this way). This holds what those devices share: the reply machine with the faults
// a test can programme, and the log of the commands received. The derived emulator decodes a packet into its
// Command, settles it against its own memory and carries it out.
//
// Command: the derived emulator's record of one command, with `address`, `command`, `length`, `reg`, `data` and
// `status` members and `isWrite()` and `succeeded()`.
//
// The packet header both devices share: byte 0 the address byte, 1 the command, 2 the length (or a parameter),
// 3-6 the register as a little-endian word, the write data from byte 7 to the packet's end.
//
// Threads: as SimEmulator. The bus calls the responder on the transferring thread, one call at a time; the
// settling and carrying out run under m_mutex.

#include "sim/bus/SimEmulator.h"
#include "sim/bus/SimHistory.h"
#include "sim/bus/SimResponder.h"
#include "sim/bus/SimStatusReplies.h"

#include <QByteArray>
#include <QList>
#include <QMutexLocker>

template <typename Command>
class SimCommandFirmware : public SimEmulator, public SimResponder
{
public:
    // --- reply machine ------------------------------------------------------------------------------------
    // The next count status reads answer busy, whatever the command.
    void setBusyReplies(int count);
    // The next status reads answer these statuses in order; the ok status stands for the real answer.
    void scriptStatuses(const QList<int>& statuses);
    // Every status read answers this status and commands are not carried out; -1 returns to normal.
    void setStuckStatus(int status);
    // After skipping `after` commands, the next count commands settle on status (the error status when -1,
    // or any other value) and are not carried out.
    void failCommands(int count, int status = -1, int after = 0);
    // Writes that touch address settle on error and are not carried out; count -1: every such write.
    void failWritesAt(quint32 address, int count = -1);
    // Drops every fault above.
    void clearFaults();

    // --- command log --------------------------------------------------------------------------------------
    // The commands as received, with the status each settled on; the newest SimHistory::kDefaultLimit.
    QList<Command> commands() const;
    // Only the writes that were carried out, in order.
    QList<Command> appliedWrites() const;
    void clearCommands();

    // --- SimResponder (command collection) ----------------------------------------------------------------
    bool onGetInputReport(quint8 reportId, QByteArray& report) override;

protected:
    // The wire of the command collection.
    struct Wire {
        int okStatus;
        int busyStatus;
        int errorStatus;
        int statusByte;        // where the status sits in an answer
        quint8 reportId;       // of the command and answer reports
        int answerSize;        // bytes of an answer, status first
        int reportLength;      // of the input report, when the host names no size
    };

    explicit SimCommandFirmware(const Wire& wire)
        : m_wire(wire)
        , m_replies(wire.okStatus, wire.busyStatus, wire.errorStatus, wire.statusByte)
    {
    }

    // Under m_mutex: the status a command settles on when no programmed fault decides it (write faults are
    // the derived emulator's to check, through takeWriteFaultLocked, where its firmware checks them).
    virtual quint8 settleLocked(Command& command) = 0;
    // Under m_mutex: carries out a command that settled on ok, filling in the answer.
    virtual void applyLocked(const Command& command, QByteArray& answer) = 0;
    // Under m_mutex, first of all: what the command records of the firmware's state as it arrives.
    virtual void noteLocked(Command&) {}

    // The header of a command report's packet (the bytes after the id) into command, the write data with it;
    // false when the report is not a whole packet of the command report's id, which fails the host's write.
    bool decodePacket(const QByteArray& report, int packetSize, Command* command, QByteArray* packet) const;
    // Under m_mutex: true when an armed write fault refuses a write of length bytes at reg.
    bool takeWriteFaultLocked(quint32 reg, int length);
    // Takes a decoded command: settles it, carries it out and keeps the answer for the next status read
    // (m_mutex not held).
    void receive(Command command);
    // Under m_mutex: no answer yet, no faults, an empty log.
    void resetRepliesLocked();

private:
    struct WriteFault {
        quint32 address;
        int remaining;  // -1: forever
    };

    const Wire m_wire;
    SimStatusReplies m_replies;
    int m_failSkip = 0;
    int m_failCount = 0;
    quint8 m_failStatus = 0;
    QList<WriteFault> m_writeFaults;
    SimHistory<Command> m_commands;
};

template <typename Command>
void SimCommandFirmware<Command>::setBusyReplies(int count)
{
    QMutexLocker lock(&m_mutex);
    m_replies.busy = qMax(0, count);
}

template <typename Command>
void SimCommandFirmware<Command>::scriptStatuses(const QList<int>& statuses)
{
    QMutexLocker lock(&m_mutex);
    m_replies.scripted = statuses;
}

template <typename Command>
void SimCommandFirmware<Command>::setStuckStatus(int status)
{
    QMutexLocker lock(&m_mutex);
    m_replies.stuck = status < 0 ? -1 : (status & 0xFF);
}

template <typename Command>
void SimCommandFirmware<Command>::failCommands(int count, int status, int after)
{
    QMutexLocker lock(&m_mutex);
    m_failCount = qMax(0, count);
    m_failSkip = qMax(0, after);
    m_failStatus = quint8(status < 0 ? m_wire.errorStatus : status);
}

template <typename Command>
void SimCommandFirmware<Command>::failWritesAt(quint32 address, int count)
{
    QMutexLocker lock(&m_mutex);
    m_writeFaults.append({address, count < 0 ? -1 : count});
}

template <typename Command>
void SimCommandFirmware<Command>::clearFaults()
{
    QMutexLocker lock(&m_mutex);
    m_replies.busy = 0;
    m_replies.scripted.clear();
    m_replies.stuck = -1;
    m_failSkip = m_failCount = 0;
    m_writeFaults.clear();
}

template <typename Command>
void SimCommandFirmware<Command>::resetRepliesLocked()
{
    m_replies.last.clear();
    m_replies.busy = 0;
    m_replies.scripted.clear();
    m_replies.stuck = -1;
    m_failSkip = m_failCount = 0;
    m_writeFaults.clear();
    m_commands.clear();
}

template <typename Command>
QList<Command> SimCommandFirmware<Command>::commands() const
{
    QMutexLocker lock(&m_mutex);
    return m_commands.entries();
}

template <typename Command>
QList<Command> SimCommandFirmware<Command>::appliedWrites() const
{
    QList<Command> writes;
    for (const Command& command : commands()) {
        if (command.isWrite() && command.succeeded())
            writes.append(command);
    }
    return writes;
}

template <typename Command>
void SimCommandFirmware<Command>::clearCommands()
{
    QMutexLocker lock(&m_mutex);
    m_commands.clear();
}

template <typename Command>
bool SimCommandFirmware<Command>::decodePacket(const QByteArray& report, int packetSize, Command* command,
                                               QByteArray* packet) const
{
    constexpr int kAddressByte = 0;
    constexpr int kCommandByte = 1;
    constexpr int kLengthByte = 2;
    constexpr int kRegisterByte = 3;
    constexpr int kDataByte = 7;
    if (report.size() < 1 + packetSize || quint8(report[0]) != m_wire.reportId)
        return false;
    *packet = report.mid(1, packetSize);
    command->address = quint8(packet->at(kAddressByte));
    command->command = quint8(packet->at(kCommandByte));
    command->length = quint8(packet->at(kLengthByte));
    command->reg = 0;
    for (int i = 3; i >= 0; --i)
        command->reg = command->reg << 8 | quint8(packet->at(kRegisterByte + i));
    if (command->isWrite())
        command->data = packet->mid(kDataByte, qMin(command->length, packetSize - kDataByte));
    return true;
}

template <typename Command>
bool SimCommandFirmware<Command>::takeWriteFaultLocked(quint32 reg, int length)
{
    for (WriteFault& fault : m_writeFaults) {
        if (fault.remaining == 0)
            continue;
        if (fault.address >= reg && fault.address < reg + quint32(length)) {
            if (fault.remaining > 0)
                --fault.remaining;
            return true;
        }
    }
    return false;
}

template <typename Command>
void SimCommandFirmware<Command>::receive(Command command)
{
    QMutexLocker lock(&m_mutex);
    noteLocked(command);
    if (m_replies.stuck >= 0) {
        // A hung controller: it takes the packet and never carries it out.
        command.status = quint8(m_replies.stuck);
        m_commands.append(command);
        return;
    }

    if (m_failSkip > 0) {
        --m_failSkip;
        command.status = settleLocked(command);
    } else if (m_failCount > 0) {
        --m_failCount;
        command.status = m_failStatus;
    } else {
        command.status = settleLocked(command);
    }
    QByteArray answer(m_wire.answerSize, '\0');
    answer[m_wire.statusByte] = char(command.status);
    if (command.status == m_wire.okStatus)
        applyLocked(command, answer);
    m_replies.last = answer;
    m_commands.append(command);
}

template <typename Command>
bool SimCommandFirmware<Command>::onGetInputReport(quint8 reportId, QByteArray& report)
{
    if (reportId != m_wire.reportId)
        return false;

    QByteArray answer;
    {
        QMutexLocker lock(&m_mutex);
        answer = m_replies.nextAnswer(m_wire.answerSize);
    }
    // The status sits where the report id would: the device answers that way, and the host passes it on.
    SimStatusReplies::fitReport(report, answer, m_wire.reportLength);
    return true;
}
