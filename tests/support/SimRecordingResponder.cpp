#include "SimRecordingResponder.h"

#include <QMutexLocker>

namespace {

bool answer(const QHash<quint8, QByteArray>& replies, quint8 reportId, QByteArray& report)
{
    const auto it = replies.constFind(reportId);
    if (it == replies.constEnd())
        return false;
    report = it.value();
    return true;
}

} // namespace

bool SimRecordingResponder::onOutput(const QByteArray& report)
{
    QByteArray echo;
    {
        QMutexLocker lock(&m_mutex);
        m_outputs.append(report);
        echo = m_echo;
    }
    if (!echo.isEmpty())
        pushInputReport(echo);
    return true;
}

bool SimRecordingResponder::onSetFeature(const QByteArray& report)
{
    QMutexLocker lock(&m_mutex);
    m_features.append(report);
    return true;
}

bool SimRecordingResponder::onGetFeature(quint8 reportId, QByteArray& report)
{
    QMutexLocker lock(&m_mutex);
    return answer(m_featureReplies, reportId, report);
}

bool SimRecordingResponder::onGetInputReport(quint8 reportId, QByteArray& report)
{
    QMutexLocker lock(&m_mutex);
    return answer(m_inputReplies, reportId, report);
}

void SimRecordingResponder::setFeatureReply(quint8 reportId, const QByteArray& report)
{
    QMutexLocker lock(&m_mutex);
    m_featureReplies.insert(reportId, report);
}

void SimRecordingResponder::setInputReply(quint8 reportId, const QByteArray& report)
{
    QMutexLocker lock(&m_mutex);
    m_inputReplies.insert(reportId, report);
}

void SimRecordingResponder::setEchoInput(const QByteArray& report)
{
    QMutexLocker lock(&m_mutex);
    m_echo = report;
}

QList<QByteArray> SimRecordingResponder::outputs() const
{
    QMutexLocker lock(&m_mutex);
    return m_outputs.entries();
}

QList<QByteArray> SimRecordingResponder::features() const
{
    QMutexLocker lock(&m_mutex);
    return m_features.entries();
}
