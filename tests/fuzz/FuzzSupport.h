#pragma once

// What every fuzz target shares: a quiet Qt core set up once, a private folder for the files a reader must
// find on disk, and a check that stops the run where an invariant breaks (the fuzzer keeps the input).

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition);           \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)

class FuzzWorkspace
{
public:
    static FuzzWorkspace& instance()
    {
        static FuzzWorkspace workspace;
        return workspace;
    }

    // Replaces the file name in the workspace by bytes and returns its path.
    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir->filePath(name);
        QFile::remove(path);
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly));
        FUZZ_CHECK(file.write(bytes) == bytes.size());
        return path;
    }

    // The workspace folder itself.
    QString path() const { return m_dir->path(); }

    QByteArray read(const QString& name) const
    {
        QFile file(m_dir->filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    FuzzWorkspace()
    {
        // The readers log every step; millions of runs must not spend their time printing.
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        QStandardPaths::setTestModeEnabled(true);
        m_app = new QCoreApplication(m_argc, m_argv);
        FUZZ_CHECK(m_dir->isValid());
    }

    int m_argc = 1;
    char m_name[8] = "fuzzing";
    char* m_argv[2] = {m_name, nullptr};
    QCoreApplication* m_app = nullptr;  // lives as long as the process
    // In memory where the system offers it: every saved document is synced to disk, which would otherwise set
    // the pace of the whole run.
    std::unique_ptr<QTemporaryDir> m_dir{QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                             ? new QTemporaryDir(QStringLiteral("/dev/shm/corvane-fuzz-XXXXXX"))
                                             : new QTemporaryDir};
};

inline QByteArray fuzzInput(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), int(size));
}
