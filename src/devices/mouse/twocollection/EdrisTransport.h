#pragma once

#include <QByteArray>
#include <QtGlobal>

class QMutex;

namespace KHID {
class KUSBDevice;
}

// Exchanges of the two-collection mice: a command on the command collection answered by one data-collection
// report, and block writes on the data collection. A command and the read of its answer are one transaction:
// the shared transaction mutex is held from the command to the answer, so no other device's packets come
// between them. An answer counts only when it echoes the report id, the command and (for the picture) the
// sub-code.
//
// Threads: called on pool threads, one operation of a device at a time (the device's operation lock).
class EdrisTransport
{
public:
    EdrisTransport() = default;

    void setChannels(KHID::KUSBDevice* command, KHID::KUSBDevice* data)
    {
        m_command = command;
        m_data = data;
    }
    void setMutex(QMutex* mutex) { m_mutex = mutex; }
    bool isOpen() const;

    // Sends the command and reads its answer (the whole report, id byte first). checkSubCode: the answer's
    // byte 2 must be the sub-code too. False when a transfer fails or the answer does not echo the command.
    bool query(quint8 command, quint8 subCode, bool checkSubCode, QByteArray* answer);
    // The same without the echo test: the status query tests its own bytes.
    bool queryRaw(quint8 command, quint8 subCode, QByteArray* answer);
    // A block write: header (command, address, length) and data, handed to the layer as `handed` bytes.
    bool writeBlock(quint8 command, quint8 address, int length, const QByteArray& data, int handed);

private:
    bool exchange(quint8 command, quint8 subCode, QByteArray* answer);

    KHID::KUSBDevice* m_command = nullptr;
    KHID::KUSBDevice* m_data = nullptr;
    QMutex* m_mutex = nullptr;
};
