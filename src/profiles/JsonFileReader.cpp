#include "profiles/JsonFileReader.h"

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
        // One byte beyond the limit tells a file that is too large without trusting the size it reports.
        bytes = file.read(KConfigFileController::kMaxProfileBytes + 1);
        file.close();
        if (bytes.size() > KConfigFileController::kMaxProfileBytes) {
            qDebug() << "[Error] initJsonObj" << path << "is too large";
            return false;
        }
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
