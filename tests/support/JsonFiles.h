#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

// The object a JSON file holds (a leading byte-order mark is skipped); empty when the file cannot be read or
// holds no object. For tests that look into the documents the program wrote.
QJsonObject readJsonObject(const QString& path);

// The bytes of a file; "<unreadable>" when it cannot be opened.
QByteArray readFileBytes(const QString& path);
// Writes bytes as the whole file (its folder made first); false when that failed.
bool writeFileBytes(const QString& path, const QByteArray& bytes);
