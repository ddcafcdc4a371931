#include "platform/crash/BreakpadHandler.h"

#include "platform/crash/QBreakpadHttpUploader.h"
#include "platform/crash/CrashDumpWriter.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QUuid>

#include <sys/stat.h>

struct BreakpadHandler::Private {
    bool installed = false;
    QString dumpPath;
    QUrl uploadUrl;
};

BreakpadHandler* BreakpadHandler::instance()
{
    // Made once, thread-safely, and never destroyed: the crash handler may run until the process ends.
    static BreakpadHandler* handler = new BreakpadHandler;
    return handler;
}

void BreakpadHandler::installForProgram()
{
    const QStringList localData = QStandardPaths::standardLocations(QStandardPaths::AppLocalDataLocation);
    if (!localData.isEmpty())
        instance()->setDumpPath(localData.first() + QStringLiteral("/crashs"));
}

BreakpadHandler::BreakpadHandler()
    : d(new Private)
{
}

BreakpadHandler::~BreakpadHandler()
{
    delete d;
}

void BreakpadHandler::setDumpPath(const QString& path)
{
    QString absolute = path;
    if (QDir::isRelativePath(path))
        absolute = QDir::cleanPath(QCoreApplication::applicationDirPath() + QLatin1Char('/') + path);
    // Dumps hold process memory (the session token among it): the folder is the user's alone.
    QDir().mkpath(absolute);
    if (!QDir(absolute).exists()) {
        qDebug("Failed to set dump path which not exists: %s", absolute.toLocal8Bit().constData());
        return;
    }
    QFile::setPermissions(absolute, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    const QString id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    const QString pathText = absolute + QLatin1Char('/') + id;
    Platform::CrashHandlerSetup setup;
    setup.folder = QFile::encodeName(absolute).toStdString();
    setup.dumpId = id.toStdString();
    setup.successLine = QStringLiteral("Succeed to write minidump, dump path: %1\n").arg(pathText).toLocal8Bit().toStdString();
    setup.failureLine = QStringLiteral("Failed to write minidump, dump path: %1\n").arg(pathText).toLocal8Bit().toStdString();
    if (!Platform::installCrashHandler(setup)) {
        qDebug("Failed to set dump path which not exists: %s", absolute.toLocal8Bit().constData());
        return;
    }
    d->dumpPath = absolute;
    d->installed = true;
}

QString BreakpadHandler::dumpPath() const
{
    return d->dumpPath;
}

void BreakpadHandler::setUploadUrl(const QUrl& url)
{
    if (url.isValid() && !url.isEmpty())
        d->uploadUrl = url;
}

QString BreakpadHandler::uploadUrl() const
{
    return d->uploadUrl.toString();
}

QStringList BreakpadHandler::listDumps() const
{
    if (d->dumpPath.isEmpty())
        return {};
    return QDir(d->dumpPath).entryList({QStringLiteral("*.dmp")});
}

bool BreakpadHandler::hasDumps() const
{
    return !listDumps().isEmpty();
}

void BreakpadHandler::removeDumps()
{
    for (const QString& name : listDumps())
        QFile::remove(d->dumpPath + QLatin1Char('/') + name);
}

void BreakpadHandler::uploadDumps(const QStringList& names)
{
    for (const QString& name : names) {
        qDebug() << "Sending " + name;
        auto* uploader = new QBreakpadHttpUploader(d->uploadUrl);
        // The uploader is done with itself once the server answered.
        connect(uploader, &QBreakpadHttpUploader::finished, uploader, &QObject::deleteLater);
        uploader->uploadDump(d->dumpPath + QLatin1Char('/') + name);
    }
}
