#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QtGlobal>

#include <atomic>

class QMutex;

namespace KHID {
class KUSBDevice;
}

// One request/response exchange at a time with a register mouse's command collection: a 32-byte packet goes
// out as output report 0xBA, the answer is polled as input report 0xBA whose first byte is the mouse's status.
// Each transaction holds the shared transaction mutex from its first send to its last status read, so packets
// of different operations never interleave. The transport also keeps the cached game mode: every register
// write of a setter goes through writeRegisterByte, which enters game mode first when the cache says the
// mouse left it.
//
// Threads: called on worker threads, one operation at a time per mouse; the mutex serialises exchanges with
// every other user of the channel.
class FarrantNordicTransport
{
public:
    FarrantNordicTransport() = default;

    void setChannel(KHID::KUSBDevice* channel) { m_channel = channel; }
    KHID::KUSBDevice* channel() const { return m_channel; }
    void setMutex(QMutex* mutex) { m_mutex = mutex; }
    void setAddressByte(quint8 address) { m_address = address; }
    quint8 addressByte() const { return m_address; }

    // Bytes 0-6 of a packet; false only without a buffer.
    bool buildCommand(quint8* packet, quint8 command, quint8 length, quint32 address) const;
    // False without a channel or when the channel fails the write.
    bool sendPacket(const quint8* packet, int length, quint8 reportId);
    // One input report: 0 not fetched, 1 busy, 2 ok (first length bytes copied to reply), 3 device error,
    // 4 no channel or a length over the packet size.
    int readReply(quint8* reply, int length, quint8 reportId);
    // Send and wait for ok, resending up to 30 times.
    bool writeCommand(const quint8* packet, int length, quint8 reportId);
    // Send (up to 30 tries), then poll up to 30 times for ok; reply needs at least length bytes.
    bool readCommand(const quint8* packet, quint8* reply, int length, quint8 reportId);

    // The 32-byte reply of a 4-byte register read (the word in bytes 4-7); empty when the read failed.
    QByteArray readRegister(quint32 address);
    // length bytes (at most 28) from address; empty when the read failed.
    QByteArray readRegisters(quint32 address, int length);
    // A write transaction of data (at most 25 bytes) at address, after the game-mode step when asked.
    bool writeRegisters(quint32 address, const QByteArray& data, bool gameModeStep);
    // The setter pattern: read the word at `word`, put the bytes of `changes` (byte index in the word ->
    // value) into it, keep the others, enter game mode when asked, write the word back. A failed read logs
    // "<operation>->getFlash" (when operation is not empty) and writes nothing.
    bool updateWord(quint32 word, const QList<QPair<int, quint8>>& changes, bool gameModeStep,
                    const QString& operation);

    // Game mode: 0xA2 read (-1 on failure, the cache updated otherwise), 0xA1 write (the cache set on success),
    // and the step before a register write (true at once when the cache holds 1).
    int getGameMode();
    bool setGameMode(quint8 mode);
    bool ensureGameMode();
    int cachedGameMode() const { return m_mode; }
    void setCachedGameMode(int mode) { m_mode = mode; }

    // Commands of the set: version (reply byte 2 * 256 + byte 1, -1 on failure), 0xA9 (reply byte 1), the
    // bare commands, factory reset (no game-mode step) and the battery reply (bytes 1-4; empty on failure).
    int readVersion();
    int readStatusA9();
    bool sendBare(quint8 command);
    bool factoryReset();
    QByteArray readBatteryReply();

private:
    KHID::KUSBDevice* m_channel = nullptr;
    QMutex* m_mutex = nullptr;
    quint8 m_address = 0xFF;
    // Not 1 until a read or write has set it; the GUI thread updates it from interrupt reports.
    std::atomic<int> m_mode{-1};
};
