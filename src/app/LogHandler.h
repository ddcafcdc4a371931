#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

#include <functional>

// The optional log file ("-log"): every message of every thread becomes one line of a file per hour,
// "<program folder>/Log/yyyy_MM_dd_hh.txt", each line "yyyy-MM-dd hh:mm:ss: <text>". When the program folder
// cannot take the log (an installed program lies in a read-only folder), the local data folder's "Log" takes it.

// Installs logMessageHandler as the process's message handler, for the rest of the process.
void installLogHandler();

void logMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message);

namespace LogFile {

// The text of a line after the time stamp.
QString lineText(QtMsgType type, const QString& message);
// The file of the hour of time below folder.
QString filePath(const QString& folder, const QDateTime& time);
// The folder written to: the program folder's "Log", or the fallback when that cannot be created or written.
QString folder();

// Tests: the clock (local time) and the folders the handler reads; an empty function or text puts the real
// one back.
void setClock(std::function<QDateTime()> clock);
void setFolders(const QString& primary, const QString& fallback);

} // namespace LogFile
