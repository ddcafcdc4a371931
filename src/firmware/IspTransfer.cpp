#include "firmware/IspTransfer.h"

#include "firmware/FirmwareFile.h"

#include <QDebug>

#include <cstring>

IspTransfer::IspTransfer(Channel* channel, Messages messages)
    : m_channel(channel)
    , m_messages(std::move(messages))
{
    std::memset(m_image, 0, sizeof m_image);
}

void IspTransfer::log(const QString& text) const
{
    if (!text.isEmpty())
        qDebug().noquote() << text;
}

bool IspTransfer::loadImage(const QString& path)
{
    m_length = 0;
    QByteArray bytes;
    const FirmwareFile::Verdict verdict =
        FirmwareFile::read(path, {FirmwareFile::Format::Image, Isp::kImageCapacity}, &bytes);
    if (verdict != FirmwareFile::Verdict::Accepted) {
        switch (verdict) {
        case FirmwareFile::Verdict::Missing: log(m_messages.fileMissing); break;
        case FirmwareFile::Verdict::NotRegular:
        case FirmwareFile::Verdict::Unreadable: log(m_messages.fileUnreadable); break;
        case FirmwareFile::Verdict::TooLarge: log(m_messages.fileTooBig); break;
        default: break;
        }
        qDebug().noquote() << "firmware file" << path << "refused:" << FirmwareFile::describe(verdict);
        return false;
    }
    std::memcpy(m_image, bytes.constData(), size_t(bytes.size()));
    m_length = bytes.size();
    m_imageChecksum = Isp::checksum(m_image, m_length);
    return true;
}

bool IspTransfer::writePacket(const Isp::Packet& packet)
{
    quint8 report[Isp::kReportSize] = {};
    std::memcpy(report + 1, &packet, Isp::kPacketSize);
    m_lastChecksum = Isp::checksum(packet);
    m_status = StatusOk;
    if (!m_channel->writeReport(report, Isp::kReportSize)) {
        log(m_messages.writeFailed);
        return false;
    }
    if (onPacketWritten)
        onPacketWritten(packet, m_lastChecksum);
    return true;
}

bool IspTransfer::readReply()
{
    m_status = StatusOk;
    quint8 buffer[256] = {};
    const int got = m_channel->readReport(buffer, sizeof buffer);
    if (got < 0) {
        log(m_messages.readFailed);
        return false;
    }
    if (got < Isp::kReportSize) {
        log(m_messages.sizeError);
        ++m_counter;
        m_status = StatusSizeError;
        return false;
    }
    Isp::Reply reply;
    std::memcpy(&reply, buffer, sizeof reply);
    if (onReplyRead)
        onReplyRead(Isp::replyChecksum(reply), Isp::replyNumber(reply));
    if (Isp::replyNumber(reply) != m_counter) {
        log(m_messages.numberMismatch);
        return false;
    }
    if (Isp::replyChecksum(reply) != m_lastChecksum) {
        log(m_messages.checksumError);
        ++m_counter;
        m_status = StatusChecksumError;
        return false;
    }
    ++m_counter;
    return true;
}

bool IspTransfer::transfer(bool aprom, const std::function<void(int, int)>& progress)
{
    const quint32 command = aprom ? Isp::UpdateAprom : Isp::UpdateDataFlash;
    const quint32 start = aprom ? Isp::kApromStart : Isp::kDataFlashStart;

    m_counter = 1;
    const Isp::Packet sync = Isp::syncPacket(m_counter, 1);
    m_counter = 2;
    if (!writePacket(sync) || !readReply()) {
        log(m_messages.syncFailed);
        return false;
    }
    log(m_messages.syncOk);
    if (progress)
        progress(0, m_length);

    const int packets = Isp::packetCount(m_length);
    for (int index = 0; index < packets; ++index) {
        const Isp::Packet packet = Isp::dataPacket(index, m_counter, command, start, m_image, m_length);
        ++m_counter;
        if (!writePacket(packet))
            return false;
        if (progress)
            progress(Isp::bytesSentAfter(index, m_length), m_length);
        if (readReply())
            continue;
        if (m_status != StatusChecksumError) {
            log(m_messages.replyFailed);
            return false;
        }
        log(m_messages.resend);
        const Isp::Packet again = Isp::resendPacket(packet, m_counter);
        ++m_counter;
        if (!writePacket(again)) {
            log(m_messages.resendWriteFailed);
            return false;
        }
        if (!readReply()) {
            log(m_messages.rereadFailed);
            return false;
        }
    }
    return true;
}

bool IspTransfer::runApplication()
{
    const Isp::Packet run = Isp::makePacket(Isp::RunAprom, m_counter);
    ++m_counter;
    return writePacket(run);
}
