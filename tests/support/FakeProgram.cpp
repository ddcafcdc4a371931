#include "FakeProgram.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace FakeProgram {
namespace {

QStringList runLines(const QString& path)
{
    QFile f(path + ".run");
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
}

} // namespace

bool install(const QString& path, const QStringList& script)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QFile::remove(path);
    QFile::remove(path + ".run");
    QFile::remove(path + ".received");
    if (!QFile::copy(QStringLiteral(CORVANE_FAKE_PROGRAM), path))
        return false;
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QFile s(path + ".script");
    if (!s.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    s.write(script.join('\n').toUtf8() + "\n");
    return true;
}

QString lastFolder(const QString& path)
{
    for (const QString& line : runLines(path)) {
        if (line.startsWith("cwd="))
            return line.mid(4);
    }
    return QString();
}

QStringList lastArguments(const QString& path)
{
    QStringList out;
    for (const QString& line : runLines(path)) {
        if (line.startsWith("arg="))
            out << line.mid(4);
    }
    return out;
}

QByteArray received(const QString& path)
{
    QFile f(path + ".received");
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool hasRun(const QString& path)
{
    return QFile::exists(path + ".run");
}

} // namespace FakeProgram
