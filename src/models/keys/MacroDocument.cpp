#include "models/keys/MacroDocument.h"

#include "common/BoundedRead.h"
#include "profiles/FileHelpers.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>

namespace {

// Macro files are small; anything beyond this is not one of ours and is not read into memory.
constexpr qint64 kMaxMacroFileSize = 16 * 1024 * 1024;

} // namespace

MacroReadResult readMacroDocument(const QString& path, QJsonObject* object, QString* errorText)
{
    QFile file(path);
    const QFileInfo info(path);
    if (!info.exists())
        return MacroReadResult::Missing;
    // Only a regular file: opening a pipe waits for a writer that may never come, and a device node or
    // socket reads as empty and would then be replaced by a new file.
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        return MacroReadResult::Unreadable;
    if (file.size() == 0)
        return MacroReadResult::Empty;
    const auto [read, bytes] = readAtMost(file, kMaxMacroFileSize);
    if (!read)
        return MacroReadResult::Unreadable;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        if (errorText)
            *errorText = error.error != QJsonParseError::NoError ? error.errorString()
                                                                 : QStringLiteral("not a JSON object");
        return MacroReadResult::Unparsable;
    }
    *object = document.object();
    return MacroReadResult::Ok;
}

bool writeMacroDocument(const QString& path, const QJsonObject& object)
{
    return saveFileContents(path, QJsonDocument(object).toJson(QJsonDocument::Indented));
}
