#pragma once

// Reading the JSON text of a profile or macro file, as every reader of these documents does it.

#include <QJsonDocument>
#include <QString>

// Opens path (a regular file or a resource only: a pipe or device under the name would never end the read),
// reads at most the document size limit and parses it. Logs "[Success] initJsonObj" or "[Error] initJsonObj"
// for the open and the parser's text followed by "open error" when the text is no JSON; a file that cannot
// be opened reads as empty text. False when there is no document; document is then left as it was.
bool readJsonDocument(const QString& path, QJsonDocument* document);
