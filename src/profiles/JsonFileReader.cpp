#include "profiles/JsonFileReader.h"

#include "profiles/FileHelpers.h"
#include "profiles/KConfigFileController.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QJsonParseError>

bool readJsonDocument(const QString& path, QJsonDocument* document)
{
    QFile file(path);
    const bool opened = QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly | QIODevice::Text);
    qDebug() << (opened ? "[Success] initJsonObj" : "[Error] initJsonObj");

    QByteArray bytes;
    if (opened) {
        const auto read = readAtMost(file, KConfigFileController::kMaxProfileBytes);
        file.close();
        if (!read.first) {
            qDebug() << "[Error] initJsonObj" << path << "is too large or unreadable";
            return false;
        }
        bytes = read.second;
    }

    QJsonParseError error;
    const QJsonDocument parsed = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        qDebug() << error.errorString() << "open error";
        return false;
    }
    *document = parsed;
    return true;
}
