// The OLED picture of FDeviceEdris: the picture the user drew ("test.bmp" in the profile folder) as the
// screen's block of four pages, sent twice in one block, read back and compared.

#include "devices/mouse/twocollection/FDeviceEdris.h"

#include "common/ProgramFolders.h"
#include "platform/sys/PlatformTime.h"

#include <QDebug>

using namespace Edris;

bool FDeviceEdris::pictureToPages(const QImage& picture, quint8* block, int length)
{
    qDebug() << "pictureToPages" << picture.sizeInBytes() << length;
    // Only the screen's own shape: another picture with the same byte count would come out scrambled.
    if (!block || length != kPictureBytes || picture.sizeInBytes() != kPictureBytes
        || picture.width() != kPictureWidth || picture.height() != kPictureHeight
        || picture.format() != QImage::Format_MonoLSB)
        return false;
    std::fill(block, block + length, quint8(0));
    constexpr int bytesPerLine = kPictureWidth / 8;
    for (int page = 0; page < kPictureHeight / 8; ++page) {
        for (int row = 0; row < 8; ++row) {
            const uchar* line = picture.constScanLine(8 * page + row);
            for (int b = 0; b < bytesPerLine; ++b) {
                for (int bit = 0; bit < 8; ++bit) {
                    // Index 0 lights the pixel.
                    if (!(line[b] & (1 << bit)))
                        block[kPictureWidth * page + 8 * b + bit] |= quint8(0x80 >> row);
                }
            }
        }
    }
    return true;
}

bool FDeviceEdris::writePictureData(const QByteArray& transferBlock)
{
    if (transferBlock.size() != kBlockDataSize || !opened
        || !m_transport.writeBlock(kBlockPicture, kPictureAddress, kBlockDataSize, transferBlock,
                                   kBlockWriteHanded)) {
        qDebug() << "writerPictureData error";
        return false;
    }
    return true;
}

bool FDeviceEdris::readPictureData(QByteArray* transferBlock)
{
    QByteArray answer;
    if (!transferBlock || !m_transport.query(kCmdReadPicture, kPictureSubCode, true, &answer))
        return false;
    *transferBlock = answer.mid(kDataByte, kBlockDataSize);
    return true;
}

bool FDeviceEdris::writeImageToMouse()
{
    const QString path = ProgramFolders::profileRoot() + QStringLiteral("/test.bmp");
    QImage loaded;
    if (!loaded.load(path) || loaded.width() != kPictureWidth || loaded.height() != kPictureHeight) {
        qDebug().noquote() << "[ERROR] writeImageToMouse: no 128x32 picture at" << path;
        return false;
    }
    QByteArray screen(kPictureBytes, '\0');
    if (!pictureToPages(loaded.convertToFormat(QImage::Format_MonoLSB), reinterpret_cast<quint8*>(screen.data()),
                        kPictureBytes)) {
        qDebug() << "[ERROR] writeImageToMouse: the picture does not convert";
        return false;
    }
    const QByteArray transfer = screen + screen;
    qDebug() << "writeImageToMouse";
    MouseOperation op(m_session);
    if (!op.isHeld() || !writePictureData(transfer))
        return false;
    QByteArray readBack;
    if (!readPictureData(&readBack))
        return false;
    Platform::sleepMs(kPictureCheckPauseMs);
    if (readBack != transfer) {
        qDebug() << "wWriteImageToMouse memcmp error";
        return false;
    }
    return true;
}
