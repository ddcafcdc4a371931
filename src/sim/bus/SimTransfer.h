#pragma once

#include "platform/hid/HidTypes.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QThread>

// One entry of the simulated bus's transcript.
struct SimTransfer {
    enum Op {
        Query,             // describing an interface (enumeration)
        Open,
        Close,
        SetFeature,
        GetFeature,
        GetInputReport,
        Write,
        Read,
        Cancel,
        TransactionBegin,   // marks placed by a caller around one request/response exchange
        TransactionEnd,
    };

    quint64 sequence = 0;          // order of recording, across all threads
    Op op = Open;
    bool ok = false;
    int deviceId = -1;             // -1 for marks
    int collection = -1;
    KHID::HANDLE handle = KHID::INVALID_HANDLE_VALUE;
    QByteArray bytes;              // as sent, or as received (empty when the transfer failed)
    Qt::HANDLE thread = nullptr;
    qint64 timeNs = 0;             // monotonic

    bool isTransfer() const { return op >= SetFeature && op <= Read; }
    bool isSend() const { return op == SetFeature || op == Write; }
    bool isReply() const { return op == GetFeature || op == GetInputReport || op == Read; }

    static QString opName(Op op);
};

using SimTranscript = QList<SimTransfer>;
