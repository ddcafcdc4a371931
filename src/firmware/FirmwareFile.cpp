#include "firmware/FirmwareFile.h"

#include "common/Utf8Text.h"
#include "firmware/IspProtocol.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FirmwareFile {
namespace {

constexpr qint64 kMiB = 1024 * 1024;
constexpr qint64 kPackageMax = 16 * kMiB;
constexpr qint64 kProgramMax = 64 * kMiB;
constexpr qint64 kImageMax = 1 * kMiB;

// Opening a web server's answer: markup, whatever else follows.
constexpr const char* kMarkupOpenings[] = {"<!doctype", "<html", "<?xml", "<head", "<body", "<!--"};

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// The bytes after a UTF-8 byte order mark and blanks.
int firstSignificant(const QByteArray& bytes)
{
    int at = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (at < bytes.size() && isBlank(bytes.at(at)))
        ++at;
    return at;
}

// UTF-8 without control characters other than blanks: what a page or a message is made of, and what no
// firmware image is.
bool isPlainText(const QByteArray& bytes)
{
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && !isBlank(c)) || byte == 0x7F)
            return false;
    }
    return isUtf8(bytes);
}

bool looksLikeAnswer(const QByteArray& bytes)
{
    const int at = firstSignificant(bytes);
    const QByteArray head = bytes.mid(at, 16).toLower();
    for (const char* opening : kMarkupOpenings) {
        if (head.startsWith(opening))
            return true;
    }
    if (at < bytes.size() && (bytes.at(at) == '{' || bytes.at(at) == '[')) {
        QJsonParseError error;
        QJsonDocument::fromJson(bytes, &error);
        if (error.error == QJsonParseError::NoError)
            return true;
    }
    return isPlainText(bytes);
}

} // namespace

bool startsAsProgram(const QByteArray& bytes)
{
    static const QByteArray elf = QByteArray::fromHex("7f454c46");
    return bytes.startsWith(elf) || bytes.startsWith("#!");
}

Rule ruleFor(const QString& fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    if (name == QLatin1String("Nuc123.bin"))
        return {Format::Image, Isp::kImageCapacity};
    if (name.endsWith(QLatin1String(".zip"), Qt::CaseInsensitive))
        return {Format::Package, kPackageMax};
    if (name.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
        return {Format::Program, kProgramMax};
    return {Format::Image, kImageMax};
}

Verdict checkContents(const QByteArray& bytes, const Rule& rule)
{
    if (bytes.isEmpty())
        return Verdict::Empty;
    if (bytes.size() > rule.maxBytes)
        return Verdict::TooLarge;
    switch (rule.format) {
    case Format::Image: return looksLikeAnswer(bytes) ? Verdict::Text : Verdict::Accepted;
    case Format::Package:
        // A local file header first, as every archive the DFU tool reads begins.
        return bytes.startsWith("PK\x03\x04") ? Verdict::Accepted
                                              : (looksLikeAnswer(bytes) ? Verdict::Text : Verdict::WrongFormat);
    case Format::Program:
        if (startsAsProgram(bytes))
            return Verdict::Accepted;
        return looksLikeAnswer(bytes) ? Verdict::Text : Verdict::WrongFormat;
    }
    return Verdict::WrongFormat;
}

Verdict read(const QString& path, const Rule& rule, QByteArray* contents)
{
    if (contents)
        contents->clear();
    // Non-blocking: a FIFO of that name opens at once (and is refused below) instead of waiting for a writer.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? Verdict::Missing : Verdict::Unreadable;
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer {fd};

    struct stat info = {};
    if (::fstat(fd, &info) != 0)
        return Verdict::Unreadable;
    if (!S_ISREG(info.st_mode))
        return Verdict::NotRegular;
    if (info.st_size == 0)
        return Verdict::Empty;
    if (info.st_size > rule.maxBytes)
        return Verdict::TooLarge;

    // One byte more than the size seen: a file that grows meanwhile is noticed, and never more than the limit.
    QByteArray bytes(int(info.st_size) + 1, Qt::Uninitialized);
    qint64 got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, size_t(bytes.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return Verdict::Unreadable;
        if (n == 0)
            break;
        got += n;
    }
    if (got != info.st_size)
        return Verdict::Unreadable;
    bytes.truncate(int(got));

    const Verdict verdict = checkContents(bytes, rule);
    if (verdict == Verdict::Accepted && contents)
        *contents = bytes;
    return verdict;
}

Verdict save(const QString& target, const QByteArray& bytes, QString* error)
{
    const Rule rule = ruleFor(target);
    const Verdict verdict = checkContents(bytes, rule);
    if (verdict != Verdict::Accepted)
        return verdict;
    QSaveFile file(target);
    const bool written = QDir().mkpath(QFileInfo(target).absolutePath()) && file.open(QIODevice::WriteOnly)
        && file.write(bytes) == bytes.size()
        && (rule.format != Format::Program
            || file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner))
        && file.commit();
    if (!written) {
        if (error)
            *error = file.errorString();
        return Verdict::WriteFailed;
    }
    return Verdict::Accepted;
}

QString describe(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Accepted: return QStringLiteral("accepted");
    case Verdict::Missing: return QStringLiteral("missing");
    case Verdict::NotRegular: return QStringLiteral("not a regular file");
    case Verdict::Unreadable: return QStringLiteral("cannot be read");
    case Verdict::Empty: return QStringLiteral("empty");
    case Verdict::TooLarge: return QStringLiteral("too large");
    case Verdict::Text: return QStringLiteral("text, not firmware");
    case Verdict::WrongFormat: return QStringLiteral("not of its kind's format");
    case Verdict::WriteFailed: return QStringLiteral("cannot be written");
    }
    return QString();
}

} // namespace FirmwareFile
