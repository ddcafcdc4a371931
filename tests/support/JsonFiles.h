#pragma once

#include <QJsonObject>
#include <QString>

// The object a JSON file holds (a leading byte-order mark is skipped); empty when the file cannot be read or
// holds no object. For tests that look into the documents the program wrote.
QJsonObject readJsonObject(const QString& path);
