#pragma once

#include <QFileInfo>
#include <QImage>
#include <QSaveFile>
#include <QString>

// Writes a picture file whole or not at all: an interrupted or refused write leaves what was there before.
// format null: from the file's suffix. False when the format is unknown, the image empty or the file cannot
// be written.
inline bool saveImageFile(const QImage& image, const QString& path, const char* format = nullptr)
{
    const QByteArray suffix = QFileInfo(path).suffix().toLatin1();
    const char* chosen = format ? format : suffix.constData();
    if (image.isNull() || !*chosen)
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!image.save(&file, chosen)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
