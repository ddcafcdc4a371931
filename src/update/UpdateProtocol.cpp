#include "update/UpdateProtocol.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryFile>

namespace UpdateProtocol {
namespace {

const QString kLineEnd = QStringLiteral("\r\n");

QByteArray twoLines(const QString& first, const QString& second)
{
    return (first + kLineEnd + second + kLineEnd).toLatin1();
}

QByteArray valueForm(const QString& value, const QString& total)
{
    return twoLines(QStringLiteral("value:") + value, QStringLiteral("totle:") + total);
}

// The number after key in line; 0 when it is not a decimal integer.
int numberAfter(const QString& line, const QString& key)
{
    const int at = line.indexOf(key);
    bool ok = false;
    const int value = line.mid(at + key.size()).toInt(&ok);
    return ok ? value : 0;
}

// Skips the separators from index on; the index of the next other character (or the end).
int skipSeparators(const QByteArray& bytes, int index)
{
    while (index < bytes.size() && bytes.at(index) == ';')
        ++index;
    return index;
}

} // namespace

quint16 port()
{
    if (qEnvironmentVariableIsSet("CORVANE_TEST")) {
        bool ok = false;
        const uint chosen = qEnvironmentVariable("CORVANE_UPDATE_PORT").toUInt(&ok);
        if (ok && chosen > 0 && chosen <= 0xFFFF)
            return quint16(chosen);
    }
    return kPort;
}

QByteArray newToken()
{
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    return QByteArray(reinterpret_cast<const char*>(words), sizeof words).toHex();
}

QByteArray proofLine(const QByteArray& token)
{
    return "token:" + token + "\r\n";
}

bool provesToken(const QByteArray& bytes, const QByteArray& token)
{
    if (token.isEmpty())
        return false;
    const QByteArray expected = proofLine(token);
    if (bytes.size() < expected.size())
        return false;
    // Every byte is looked at, whatever the first difference.
    unsigned char difference = 0;
    for (int i = 0; i < expected.size(); ++i)
        difference |= static_cast<unsigned char>(bytes.at(i) ^ expected.at(i));
    return difference == 0;
}

QString writeTokenFile(const QByteArray& token)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::tempPath();
    // Made for this user alone (0600), under a name no one can guess.
    QTemporaryFile file(folder + QStringLiteral("/corvane-update-XXXXXX.token"));
    file.setAutoRemove(false);
    if (!file.open())
        return QString();
    if (file.write(token) != token.size() || !file.flush()) {
        file.remove();
        return QString();
    }
    return file.fileName();
}

QByteArray takeTokenFile(const QString& path)
{
    if (path.isEmpty())
        return QByteArray();
    QFile file(path);
    QByteArray token;
    if (file.open(QIODevice::ReadOnly))
        token = file.read(kMaxProofLine).trimmed();
    file.close();
    QFile::remove(path);
    return token;
}

QByteArray jobLine(const QString& model, const QString& language, const QString& url)
{
    return (model + QLatin1Char(';') + language + QLatin1Char(';') + url).toLatin1();
}

Job parseJob(const QByteArray& bytes)
{
    Job job;
    int start = skipSeparators(bytes, 0);
    int end = bytes.indexOf(';', start);
    if (start >= bytes.size()) {
        job.malformed = true;
        return job;
    }
    job.model = QString::fromUtf8(bytes.mid(start, end < 0 ? -1 : end - start));
    if (end < 0) {
        job.malformed = true;
        return job;
    }
    start = skipSeparators(bytes, end);
    if (start >= bytes.size()) {
        job.malformed = true;
        return job;
    }
    end = bytes.indexOf(';', start);
    job.language = QString::fromUtf8(bytes.mid(start, end < 0 ? -1 : end - start));
    if (end < 0)
        return job;
    // The url is the rest of the line, its own ";" included.
    start = skipSeparators(bytes, end);
    job.url = QString::fromUtf8(bytes.mid(start));
    return job;
}

QByteArray progressMessage(ModelClass modelClass, int value, int total)
{
    if (modelClass == ModelClass::Neither)
        return twoLines(QString::number(value), QString::number(total));
    return valueForm(QString::number(value), QString::number(total));
}

QByteArray statusMessage(ModelClass modelClass, int code, const QString& text)
{
    if (text == QLatin1String(kDownloadFail) || text == QLatin1String(kInitError) || code == Failed)
        return text == QLatin1String(kDownloadFail) ? QByteArray(kDownloadFail) : QByteArray(kInitError);
    switch (modelClass) {
    case ModelClass::Nordic:
        if (text == QLatin1String(kUpdateStart))
            return kUpdateStart;
        if (text == QLatin1String(kNordicEnd))
            return kUpdateEnd;
        return valueForm(QString::number(code), text);
    case ModelClass::Hollis:
        if (text == QLatin1String(kUpdateStart))
            return kUpdateStart;
        if (code == 1 && text == QLatin1String(kHollisFinish))
            return kUpdateEnd;
        return QByteArray();
    case ModelClass::Neither:
        if (code == 0)
            return kUpdateEnd;
        return twoLines(QString::number(code), text);
    }
    return QByteArray();
}

Result endResult(const QString& text)
{
    if (text.contains(QLatin1String(kUpdateEnd))
        || text == QLatin1String("value:0totle:") + QLatin1String(kNordicSuccess))
        return Finished;
    if (text.contains(QLatin1String(kDownloadFail)))
        return DownloadFailed;
    if (text.contains(QLatin1String(kInitError)))
        return Failed;
    return NoResult;
}

StatusReader::Reading StatusReader::read(const QByteArray& bytes)
{
    Reading reading;
    if (bytes.isEmpty())
        return reading;
    const QString received = QString::fromUtf8(bytes);
    reading.text = QString(received).remove(kLineEnd);

    const QString value = QStringLiteral("value:");
    const QString totle = QStringLiteral("totle:");
    for (const QString& line : received.split(kLineEnd)) {
        if (line.contains(value)) {
            m_position = numberAfter(line, value);
        } else if (line.contains(totle)) {
            m_total = numberAfter(line, totle);
        } else if (line.contains(QLatin1String(kUpdateStart))) {
            m_position = 0;
            m_total = 0;
        } else {
            continue;
        }
        reading.progress.append({m_position, m_total});
    }
    reading.result = endResult(reading.text);
    return reading;
}

} // namespace UpdateProtocol
