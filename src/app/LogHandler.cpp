#include "app/LogHandler.h"

#include "common/ProgramFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QStandardPaths>
#include <QTextStream>

namespace {

// One lock for the whole process: lines of different threads never interleave, and the clock and folders
// below are read under it.
QMutex& logMutex()
{
    static QMutex mutex;
    return mutex;
}

std::function<QDateTime()>& clockHook()
{
    static std::function<QDateTime()> clock;
    return clock;
}

QString& primaryOverride()
{
    static QString folder;
    return folder;
}

QString& fallbackOverride()
{
    static QString folder;
    return folder;
}

QDateTime now()
{
    const auto& clock = clockHook();
    return clock ? clock() : QDateTime::currentDateTime();
}

bool usableFolder(const QString& folder)
{
    if (!QDir().mkpath(folder))
        return false;
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

} // namespace

namespace LogFile {

QString lineText(QtMsgType type, const QString& message)
{
    switch (type) {
    case QtDebugMsg:
        return message;
    case QtInfoMsg:
        return QStringLiteral("Info: ") + message;
    case QtWarningMsg:
        return QStringLiteral("Warning: ") + message;
    case QtCriticalMsg:
        return QStringLiteral("Critical: ") + message;
    case QtFatalMsg:
        return QStringLiteral("Fatal: ") + message;
    }
    return message;
}

QString filePath(const QString& folder, const QDateTime& time)
{
    return folder + QLatin1Char('/') + time.toString(QStringLiteral("yyyy_MM_dd_hh")) + QStringLiteral(".txt");
}

QString folder()
{
    const QString primary = primaryOverride().isEmpty()
                                ? ProgramFolders::programFolder() + QStringLiteral("/Log")
                                : primaryOverride();
    if (usableFolder(primary))
        return primary;
    const QString fallback =
        fallbackOverride().isEmpty()
            ? QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/Log")
            : fallbackOverride();
    usableFolder(fallback);
    return fallback;
}

void setClock(std::function<QDateTime()> clock)
{
    QMutexLocker lock(&logMutex());
    clockHook() = std::move(clock);
}

void setFolders(const QString& primary, const QString& fallback)
{
    QMutexLocker lock(&logMutex());
    primaryOverride() = primary;
    fallbackOverride() = fallback;
}

} // namespace LogFile

void installLogHandler()
{
    qInstallMessageHandler(logMessageHandler);
}

void logMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    Q_UNUSED(context)
    const QString text = LogFile::lineText(type, message);
    QMutexLocker lock(&logMutex());
    QFile file(LogFile::filePath(LogFile::folder(), now()));
    // A file that cannot be opened loses this one line; the next message tries again.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    QTextStream out(&file);
    out.setCodec("UTF-8");
    out << now().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) << ": " << text << '\n';
    out.flush();
}
