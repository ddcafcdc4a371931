#pragma once

#include "firmware/IspProtocol.h"

#include <QString>

#include <functional>

// One bootloader session of the in-system-programming transfer: the image buffer, the packet counter, the
// checksum of the last packet and the status of the last reply check. The updaters of the library and of the
// program drive it through their own channel and with their own log texts.
//
// Threads: one session is used by one thread at a time.
class IspTransfer
{
public:
    // How the session reaches the bootloader: one 65-byte report out, one 65-byte report in.
    class Channel
    {
    public:
        virtual ~Channel() = default;
        virtual bool writeReport(const quint8* report, int length) = 0;
        // The number of bytes read, or -1 when the read failed or timed out.
        virtual int readReport(quint8* report, int capacity) = 0;
    };

    // The log texts of one updater; an empty text logs nothing.
    struct Messages {
        QString fileMissing;
        QString fileUnreadable;
        QString fileTooBig;
        QString writeFailed;
        QString readFailed;
        QString sizeError;
        QString numberMismatch;
        QString checksumError;
        QString syncOk;
        QString syncFailed;
        QString resend;
        QString resendWriteFailed;
        QString rereadFailed;
        QString replyFailed;
    };

    enum Status { StatusOk = 0, StatusSizeError = -1, StatusChecksumError = -2 };

    IspTransfer(Channel* channel, Messages messages);

    // Reads the image file into the fixed buffer; false when it is no firmware image of at most 128 KiB
    // (FirmwareFile: missing, not a regular file, unreadable, empty, too large or text). Done before the device
    // is switched into its bootloader, so that a file that cannot be flashed leaves the device as it was.
    bool loadImage(const QString& path);
    // Sync, then every data packet with its reply; one resend after a checksum error. progress(sent, total)
    // follows the sync with (0, total) and every written packet.
    bool transfer(bool aprom, const std::function<void(int, int)>& progress);
    // Writes the run-application packet; no reply is read.
    bool runApplication();

    // Called with each packet written and each reply read (the program's updater logs them).
    std::function<void(const Isp::Packet&, quint16)> onPacketWritten;
    std::function<void(quint16, quint32)> onReplyRead;

    int imageLength() const { return m_length; }
    quint16 imageChecksum() const { return m_imageChecksum; }
    quint32 packetCounter() const { return m_counter; }
    int status() const { return m_status; }

private:
    bool writePacket(const Isp::Packet& packet);
    bool readReply();
    void log(const QString& text) const;

    Channel* m_channel;
    Messages m_messages;
    quint8 m_image[Isp::kImageCapacity];
    int m_length = 0;
    quint16 m_imageChecksum = 0;
    quint16 m_lastChecksum = 0;
    quint32 m_counter = 1;
    int m_status = StatusOk;
};
