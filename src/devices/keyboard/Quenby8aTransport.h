#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class QMutex;

namespace KHID {
class KUSBDevice;
}

// One request/response exchange at a time with the keyboard's command interface: a packet goes out as an
// output report, the answer is polled as an input report whose first byte is the device's status. Each
// transaction holds the shared transaction mutex; bulk writes take it per chunk, so other callers can
// come between two chunks.
class Quenby8aTransport
{
public:
    Quenby8aTransport() = default;

    void setChannel(KHID::KUSBDevice* channel) { m_channel = channel; }
    KHID::KUSBDevice* channel() const { return m_channel; }
    void setMutex(QMutex* mutex) { m_mutex = mutex; }
    void setAddressByte(quint8 address) { m_address = address; }
    void setPacingDelay(int ms) { m_pacingDelay = ms; }

    // Writes bytes 0-6 of a packet; false only without a buffer.
    bool buildCommand(quint8* packet, quint8 command, quint8 length, quint32 address) const;
    // False without a channel, for a length over 128, or when the channel fails the write.
    bool sendPacket(const quint8* packet, int length, quint8 reportId);
    // One input report: 0 not fetched, 1 busy, 2 done (first length bytes copied to reply), 3 device error,
    // 4 no channel or length over 128.
    int readReply(quint8* reply, int length, quint8 reportId);
    // Send and wait for done, resending up to three times.
    bool writeCommand(const quint8* packet, int length, quint8 reportId);
    // Send (up to three tries), then poll up to three times for done; reply needs at least length bytes.
    bool readCommand(const quint8* packet, quint8* reply, int length, quint8 reportId);

    // Register helpers built on the two transactions. A save flag other than 0 goes into packet byte 6 (the
    // RGB model's macro records; its addresses are 16 bits wide, so the byte is free).
    bool writeRegister(quint32 address, const QByteArray& data, quint8 saveFlag = 0);
    // The data bytes of a read of length bytes (at most 60); empty when the read failed.
    QByteArray readRegister(quint32 address, int length);
    // 56-byte chunks, one transaction each, with the pacing delay after every chunk written. A failed chunk
    // logs errorText and ends the write; the chunks before it stay written.
    bool writeBulk(quint32 address, const QByteArray& data, const QString& errorText, quint8 saveFlag = 0);
    // 56-byte chunks, 10 ms after each full chunk; empty when a chunk failed.
    QByteArray readBulk(quint32 address, int total);
    // dec(hex(major)) * 100 + dec(hex(minor)); -1 when the read failed.
    int readVersion();

    // A byte written in hexadecimal and read back as decimal; 0 when the text holds a letter.
    static int hexDigitsAsDecimal(quint8 value);

private:
    KHID::KUSBDevice* m_channel = nullptr;
    QMutex* m_mutex = nullptr;
    quint8 m_address = 0xFF;
    int m_pacingDelay = 10;
};
