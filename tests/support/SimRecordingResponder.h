#pragma once

#include "sim/bus/SimHistory.h"
#include "sim/bus/SimResponder.h"

#include <QHash>
#include <QList>
#include <QMutex>

// A collection's firmware side for tests: keeps what the host sent and answers control reads with the
// reports it was given (by report id). Unknown ids fail, as a stalled request does.
class SimRecordingResponder : public SimResponder
{
public:
    bool onOutput(const QByteArray& report) override;
    bool onSetFeature(const QByteArray& report) override;
    bool onGetFeature(quint8 reportId, QByteArray& report) override;
    bool onGetInputReport(quint8 reportId, QByteArray& report) override;

    void setFeatureReply(quint8 reportId, const QByteArray& report);
    void setInputReply(quint8 reportId, const QByteArray& report);
    // Each output report is answered by pushing this input report (empty: no answer).
    void setEchoInput(const QByteArray& report);

    // The newest SimHistory::kDefaultLimit of each, oldest first.
    QList<QByteArray> outputs() const;
    QList<QByteArray> features() const;

private:
    mutable QMutex m_mutex;
    SimHistory<QByteArray> m_outputs;
    SimHistory<QByteArray> m_features;
    QHash<quint8, QByteArray> m_featureReplies;
    QHash<quint8, QByteArray> m_inputReplies;
    QByteArray m_echo;
};
