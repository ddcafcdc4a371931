#pragma once

// The firmware side of a wireless receiver's pairing interface on the simulated bus: one vendor collection
// (usage page 0xFF00, usage 0x0E) taking 32-byte commands in output report 0xBA and answering through input
// report 0xBA fetched over the control pipe, with the status byte in the report-id position (0 busy, 1 ok,
// 2 error) and, in the reply to a status query, the pairing state in byte 1 (0 paired, 1 still searching).
//
// Commands (bytes 0 and 1): A0 81 enter pairing mode; A1 8F pairing key (bytes 2-5, little-endian);
// A7 00 pairing status; A1 84 leave pairing mode. The receiver reports "paired" on the status query that
// follows a given number of searching ones, once it is in pairing mode with a key; or never.
//
// Threads: the bus calls it on the transferring thread; the test's setters and readers may run on another,
// so the state is guarded.

#include "sim/bus/SimEmulator.h"
#include "sim/bus/SimHistory.h"
#include "sim/bus/SimResponder.h"

#include <QByteArray>
#include <QStringList>

class SimReceiver : public SimEmulator, public SimResponder
{
public:
    static constexpr quint8 kReportId = 0xBA;
    static constexpr int kPacketSize = 32;
    static constexpr quint16 kUsagePage = 0xFF00;
    static constexpr quint16 kUsage = 0x0E;
    // Id byte and one packet.
    static constexpr quint16 kReportLength = 1 + kPacketSize;

    // What pollsBeforePaired means when the device never pairs.
    static constexpr int kNeverPaired = -1;

    explicit SimReceiver(quint16 productId);
    ~SimReceiver() override;
    SimReceiver(const SimReceiver&) = delete;
    SimReceiver& operator=(const SimReceiver&) = delete;

    // False when already plugged; the destructor unplugs.
    bool plug(SimBus* bus);

    // How many status queries in pairing mode answer "searching" before one answers "paired".
    void setPollsBeforePaired(int polls);
    // The next count commands (any kind) answer with status instead of ok.
    void answerNext(quint8 status, int count);

    // What the receiver understood, one entry per command: "enter", "key <n>", "status", "cancel", or
    // "unknown <hex>". The newest SimHistory::kDefaultLimit (a pairing polls the status many times).
    QStringList commands() const;
    bool inPairingMode() const;
    bool isPaired() const;
    quint32 lastKey() const;

    bool onOutput(const QByteArray& report) override;
    bool onGetInputReport(quint8 reportId, QByteArray& report) override;

private:
    quint16 m_productId;
    int m_pollsBeforePaired = 0;
    int m_searchingPolls = 0;
    quint8 m_forcedStatus = 1;
    int m_forcedCount = 0;
    bool m_pairingMode = false;
    bool m_hasKey = false;
    bool m_paired = false;
    quint32 m_key = 0;
    SimHistory<QString> m_commands;
    // The reply the next input-report fetch returns: status, then the reply bytes.
    quint8 m_replyStatus = 0;
    quint8 m_replyState = 0;
};
