#include "QmlSourceScan.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

namespace QmlSourceScan {
namespace {

QList<Document> read(const QString& sourceDir, const QString& folder, const QStringList& patterns)
{
    QList<Document> documents;
    const QDir root(sourceDir);
    QDirIterator it(root.filePath(folder), patterns, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        QByteArray bytes = file.readAll();
        if (bytes.startsWith("\xEF\xBB\xBF"))
            bytes.remove(0, 3);
        documents.append({root.relativeFilePath(file.fileName()), QString::fromUtf8(bytes)});
    }
    std::sort(documents.begin(), documents.end(),
              [](const Document& a, const Document& b) { return a.path < b.path; });
    return documents;
}

} // namespace

QList<Document> qmlDocuments(const QString& sourceDir)
{
    return read(sourceDir, QStringLiteral("qml"), {QStringLiteral("*.qml"), QStringLiteral("*.js")});
}

QList<Document> layoutDocuments(const QString& sourceDir)
{
    return read(sourceDir, QStringLiteral("resources"), {QStringLiteral("*.json")});
}

QStringList namedResources(const QString& text)
{
    static const QRegularExpression named(
        QStringLiteral("[\"'](?:qrc:/?|:/)([^\"'\\s]+\\.[A-Za-z0-9]{2,4})[\"']"));
    QStringList paths;
    auto matches = named.globalMatch(text);
    while (matches.hasNext()) {
        QString path = QDir::cleanPath(matches.next().captured(1));
        while (path.startsWith('/'))
            path.remove(0, 1);
        if (!paths.contains(path))
            paths << path;
    }
    return paths;
}

QString codeOnly(const QString& text)
{
    QString code;
    code.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == '/' && i + 1 < text.size() && text.at(i + 1) == '/') {
            while (i < text.size() && text.at(i) != '\n')
                ++i;
            code += '\n';
        } else if (c == '/' && i + 1 < text.size() && text.at(i + 1) == '*') {
            i += 2;
            while (i + 1 < text.size() && !(text.at(i) == '*' && text.at(i + 1) == '/'))
                ++i;
            ++i;
        } else if (c == '"' || c == '\'') {
            code += c;
            ++i;
            while (i < text.size() && text.at(i) != c) {
                if (text.at(i) == '\\')
                    ++i;
                ++i;
            }
            code += c;
        } else {
            code += c;
        }
    }
    return code;
}

} // namespace QmlSourceScan
