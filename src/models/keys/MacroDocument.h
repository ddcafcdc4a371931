#pragma once

// Reading and writing the JSON document of one macro file, for the objects that each keep a part of it (the
// play settings and the event list).

#include <QJsonObject>
#include <QString>

enum class MacroReadResult { Missing, Unreadable, Empty, Unparsable, Ok };

// Reads a macro document into object. A file that exists but cannot be read or parsed as an object must
// never be overwritten, since that would destroy whatever it holds; errorText (when given) receives the
// parser's text for Unparsable.
MacroReadResult readMacroDocument(const QString& path, QJsonObject* object, QString* errorText = nullptr);
// Writes the document indented; the old file is replaced only once the whole new document is on disk.
bool writeMacroDocument(const QString& path, const QJsonObject& object);
