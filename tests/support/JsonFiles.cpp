#include "JsonFiles.h"

#include <QFile>
#include <QJsonDocument>

QJsonObject readJsonObject(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QJsonObject();
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    return QJsonDocument::fromJson(bytes).object();
}
