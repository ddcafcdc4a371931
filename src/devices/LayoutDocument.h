#pragma once

#include <QJsonObject>
#include <QString>

// Reading a device model's layout document (a built-in resource, see the models that read it for its keys).
namespace LayoutDocument {

// Layout documents are a few hundred kilobytes at most; anything larger is not one.
constexpr qint64 kMaxBytes = 4 * 1024 * 1024;

// The document at path (a resource or a regular file), a leading byte-order mark allowed. An empty object
// when it cannot be opened, is too large, does not parse or is no JSON object; each case is logged.
QJsonObject read(const QString& path);

} // namespace LayoutDocument
