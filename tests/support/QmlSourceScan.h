#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Reading the program's QML documents and layout documents as text, for the audits that compare what they name
// with what the program has.
namespace QmlSourceScan {

struct Document
{
    QString path; // below the source tree, e.g. "qml/windows/HWindowMain.qml"
    QString text;
};

// The QML documents and scripts of the tree (qml/), and the layout documents and other resource documents
// (resources/*.json), of the source tree at sourceDir.
QList<Document> qmlDocuments(const QString& sourceDir);
QList<Document> layoutDocuments(const QString& sourceDir);

// Every resource path a text names as "qrc:/...", "qrc:..." or ":/..." with a file ending, as a resource path
// without the leading ":/" (e.g. "common/newUI/battery.png").
QStringList namedResources(const QString& text);

// The code of a QML document without comments and with every string literal emptied, so that names inside
// texts are not taken for code.
QString codeOnly(const QString& text);

} // namespace QmlSourceScan
