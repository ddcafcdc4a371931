#pragma once

#include <QByteArray>
#include <QList>

// The answering side of a device whose firmware takes a command packet and reports its status, with the result,
// when the host asks for the input report: the status sits in the report-id position. Holds the answer to the last
// command and the faults a test can programme (busy replies, a script of statuses, a status that never changes).
//
// Threads: not locked itself; the emulator that owns it guards it with its own lock.
struct SimStatusReplies
{
    SimStatusReplies(int okStatus, int busyStatus, int errorStatus, int statusByte)
        : ok(okStatus), busyStatus(busyStatus), errorStatus(errorStatus), statusByte(statusByte)
    {
    }

    // What the next poll answers, `size` bytes: a programmed status first, else the last command's answer, else
    // an error (nothing was asked yet).
    QByteArray nextAnswer(int size)
    {
        QByteArray answer(size, '\0');
        int status = -1;
        if (stuck >= 0) {
            status = stuck;
        } else if (!scripted.isEmpty()) {
            const int next = scripted.takeFirst();
            if (next != ok)
                status = next;
        } else if (busy > 0) {
            --busy;
            status = busyStatus;
        }
        if (status >= 0)
            answer[statusByte] = char(status);
        else if (last.isEmpty())
            answer[statusByte] = char(errorStatus);
        else
            answer = last;
        return answer;
    }

    // Hands `answer` to the host as a report of the size it asked for (`fallbackSize` when it named none).
    static void fitReport(QByteArray& report, const QByteArray& answer, int fallbackSize)
    {
        const int size = report.size() > 0 ? report.size() : fallbackSize;
        report = answer.left(size);
        if (report.size() < size)
            report.append(QByteArray(size - report.size(), '\0'));
    }

    const int ok;
    const int busyStatus;
    const int errorStatus;
    const int statusByte;

    QByteArray last;       // answer to the last command, status first; empty before any command
    int busy = 0;          // busy replies still to give
    QList<int> scripted;   // statuses to give in turn
    int stuck = -1;        // a status given for ever (a hung controller); -1 for none
};
