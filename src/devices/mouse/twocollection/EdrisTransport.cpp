#include "devices/mouse/twocollection/EdrisTransport.h"

#include "devices/mouse/twocollection/EdrisProtocol.h"
#include "hid/khid/KUSBDevice.h"

#include <QDebug>
#include <QMutexLocker>

using namespace Edris;

bool EdrisTransport::isOpen() const
{
    return m_command && m_data && m_command->isOpened() && m_data->isOpened();
}

bool EdrisTransport::exchange(quint8 command, quint8 subCode, QByteArray* answer)
{
    if (!isOpen() || !answer)
        return false;
    const quint8 payload[2] = {command, subCode};
    QByteArray buffer(kDataReportLength, '\0');
    QMutexLocker lock(m_mutex);
    if (!m_command->sendFeature(kCommandReportId, payload, sizeof(payload)))
        return false;
    if (!m_data->readFeature(kDataReportId, reinterpret_cast<quint8*>(buffer.data()), quint32(buffer.size())))
        return false;
    *answer = buffer;
    return true;
}

bool EdrisTransport::query(quint8 command, quint8 subCode, bool checkSubCode, QByteArray* answer)
{
    QByteArray reply;
    if (!exchange(command, subCode, &reply))
        return false;
    if (quint8(reply.at(0)) != kDataReportId || quint8(reply.at(kAnswerCommandByte)) != command
        || (checkSubCode && quint8(reply.at(kAnswerSubCodeByte)) != subCode)) {
        qDebug() << "[ERROR] the mouse answered another command" << Qt::hex << quint8(reply.at(0))
                 << quint8(reply.at(kAnswerCommandByte)) << quint8(reply.at(kAnswerSubCodeByte));
        return false;
    }
    *answer = reply;
    return true;
}

bool EdrisTransport::queryRaw(quint8 command, quint8 subCode, QByteArray* answer)
{
    return exchange(command, subCode, answer);
}

bool EdrisTransport::writeBlock(quint8 command, quint8 address, int length, const QByteArray& data, int handed)
{
    if (!isOpen() || handed < kDataByte - 1 || handed > kBlockWriteHanded)
        return false;
    // What follows the report id: the seven header bytes, then the data, zero after it.
    QByteArray payload(handed, '\0');
    payload[kAnswerCommandByte - 1] = char(command);
    payload[kAnswerSubCodeByte - 1] = char(address);
    payload[2] = char(length & 0xFF);
    payload[3] = char((length >> 8) & 0xFF);
    const int room = handed - (kDataByte - 1);
    payload.replace(kDataByte - 1, qMin(room, data.size()), data.left(room));
    QMutexLocker lock(m_mutex);
    return m_data->sendFeature(kDataReportId, reinterpret_cast<const quint8*>(payload.constData()),
                               quint32(payload.size()));
}
