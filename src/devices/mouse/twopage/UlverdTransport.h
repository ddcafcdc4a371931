#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <initializer_list>

class QMutex;

namespace KHID {
class KUSBDevice;
}

// Exchanges of the two-page mice: plain 64-byte writes and reads of the vendor collection, each step after
// its pacing sleep. One exchange (a request and the reports it is answered with) holds the shared transaction
// mutex from its first write to its last read, so no other device's packets come between; every read waits
// at most Ulverd::kReadTimeoutMs, so a silent mouse fails the exchange instead of blocking it. Reports left
// over from an exchange that failed are dropped before the next one starts.
//
// Threads: called on pool threads, one operation of a device at a time (the device's operation lock).
class UlverdTransport
{
public:
    // One step of an exchange: a write of `report`, or a read (an empty report), after sleepMs.
    struct Step {
        int sleepMs = 0;
        QByteArray report;
        const char* log = nullptr;       // logged with the step's result ("[Info] write data:")
        const char* errorLog = nullptr;  // logged when the step fails
        bool isRead() const { return report.isEmpty(); }
    };

    UlverdTransport() = default;

    void setChannel(KHID::KUSBDevice* channel) { m_channel = channel; }
    KHID::KUSBDevice* channel() const { return m_channel; }
    void setMutex(QMutex* mutex) { m_mutex = mutex; }

    // The one transaction: the steps in order under the mutex; false at the first failed step. The reports
    // read are appended to replies (when given).
    bool exchange(const QList<Step>& steps, QList<QByteArray>* replies = nullptr);

    // A 64-byte report: id 4 and the given head, zero after it.
    static QByteArray request(std::initializer_list<quint8> head);
    static Step write(int sleepMs, const QByteArray& report, const char* log = nullptr,
                      const char* errorLog = nullptr);
    static Step read(int sleepMs, const char* log = nullptr);

private:
    bool writeReport(const QByteArray& report);
    bool readReport(QByteArray* report);
    void dropStaleReports();

    KHID::KUSBDevice* m_channel = nullptr;
    QMutex* m_mutex = nullptr;
};
