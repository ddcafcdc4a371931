#include "devices/LayoutDocument.h"

#include "common/BoundedRead.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonParseError>

namespace LayoutDocument {

QJsonObject read(const QString& path)
{
    QFile file(path);
    // A pipe or device under the name would never end the read.
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        qDebug() << "[ERROR] open json file error" << path;
        return QJsonObject();
    }
    const auto [read, bytes] = readAtMost(file, kMaxBytes);
    if (!read) {
        qDebug() << "[ERROR] layout document too large or unreadable" << path;
        return QJsonObject();
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        qDebug() << "[ERROR] layout document does not parse" << path << error.errorString() << error.offset;
        return QJsonObject();
    }
    return document.object();
}

} // namespace LayoutDocument
