#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>

#include <initializer_list>

class QMutex;

namespace KHID {
class KUSBDevice;
}

// Exchanges of the feature-report mice: an 8-byte command as a feature report, then what follows it (the
// reply in the feature report, data pages read as input reports, pages written as output reports), each step
// after the pacing sleep and a read after its command after one more. One exchange holds the shared
// transaction mutex from its command to its last step; reads wait at most Dunmor::kReadTimeoutMs, and pages
// left over from an exchange that failed are dropped before the next one reads.
//
// Threads: called on pool threads, one operation of a device at a time (the device's operation lock).
class DunmorTransport
{
public:
    struct Step {
        enum Kind { Command, Reply, ReadPage, WritePage };
        Kind kind = Command;
        QByteArray bytes;   // the command or the page to write
        int readSize = 0;   // ReadPage: the buffer the page is read into
    };

    void setChannel(KHID::KUSBDevice* channel) { m_channel = channel; }
    KHID::KUSBDevice* channel() const { return m_channel; }
    void setMutex(QMutex* mutex) { m_mutex = mutex; }

    // The steps in order under the mutex; false at the first failed step, with *failedStep its index. Replies
    // and pages read are appended to results.
    bool exchange(const QList<Step>& steps, QList<QByteArray>* results = nullptr, int* failedStep = nullptr);

    // The interface's report id: byte 0 of every page.
    quint8 reportId() const;

    static QByteArray commandBytes(std::initializer_list<quint8> bytes);
    static Step command(std::initializer_list<quint8> bytes);
    static Step reply();
    static Step readPage(int size);
    static Step writePage(const QByteArray& page);

private:
    bool sendCommand(const QByteArray& command);
    bool readReply(QByteArray* reply);
    bool readPageInto(int size, QByteArray* page);
    bool writePageBytes(const QByteArray& page);
    void dropStalePages();

    KHID::KUSBDevice* m_channel = nullptr;
    QMutex* m_mutex = nullptr;
};
