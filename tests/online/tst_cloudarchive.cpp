#include "ArchiveFixtures.h"

#include "online/CloudArchive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

using namespace ArchiveFixtures;

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// Packing a folder and unpacking archives over one, hostile archives above all: a refused archive changes
// nothing, inside the folder or beside it.
class tst_CloudArchive : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        QVERIFY(m_dir->isValid());
        m_root = m_dir->path();
        m_target = m_root + "/ZEPHRA";
    }

    // What the backup packs, the restore unpacks: sub-folders, names beyond ASCII, empty files; links are
    // left out. Over an existing folder same-named files are replaced, the others stay.
    void packThenUnpack()
    {
        const QString source = m_root + "/source";
        writeFile(source + "/Default configuration.json", "{\"a\":1}");
        writeFile(source + "/配置 二.json", "{\"b\":2}");
        writeFile(source + "/folder/sub/macro.json", "{\"c\":3}");
        writeFile(source + "/empty.json", QByteArray());
        writeFile(m_root + "/secret", "outside");
        QVERIFY(QFile::link(m_root + "/secret", source + "/link.json"));

        const QString archive = CloudArchive::pack(source);
        QVERIFY(!archive.isEmpty());
        QCOMPARE(QFileInfo(archive).absolutePath(), m_root);
        QVERIFY(QFileInfo(archive).fileName().startsWith("source-"));
        QVERIFY(archive.endsWith(".zip"));
        // The source is as it was.
        QCOMPARE(snapshot(source).value("link.json"), QByteArray("<link>") + QFile::encodeName(m_root + "/secret"));

        writeFile(m_target + "/Default configuration.json", "{\"old\":true}");
        writeFile(m_target + "/Local only.json", "{\"mine\":true}");
        QString why;
        QVERIFY2(CloudArchive::unpack(readAll(archive), m_target, CloudArchive::Limits(), &why), qPrintable(why));
        QMap<QString, QByteArray> expected{{"Default configuration.json", "{\"a\":1}"},
                                           {"配置 二.json", "{\"b\":2}"},
                                           {"folder", "<folder>"},
                                           {"folder/sub", "<folder>"},
                                           {"folder/sub/macro.json", "{\"c\":3}"},
                                           {"empty.json", QByteArray()},
                                           {"Local only.json", "{\"mine\":true}"}};
        QCOMPARE(snapshot(m_target), expected);
        // Nothing left beside the folder but the archive and what was there.
        QCOMPARE(QDir(m_root).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 4);

        // A target that is not there yet is made, with its parents.
        QVERIFY2(CloudArchive::unpack(readAll(archive), m_root + "/fresh/ZEPHRA", CloudArchive::Limits(), &why),
                 qPrintable(why));
        expected.remove("Local only.json");
        QCOMPARE(snapshot(m_root + "/fresh/ZEPHRA"), expected);
        QVERIFY(QDir(m_root + "/fresh").removeRecursively());

        // A missing folder is no archive, and nothing is left behind for it.
        QVERIFY(CloudArchive::pack(m_root + "/missing").isEmpty());
        QCOMPARE(QDir(m_root).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 4);
    }

    void refused_data()
    {
        QTest::addColumn<QByteArray>("archive");
        QTest::addColumn<int>("maxEntries");
        QTest::addColumn<qint64>("maxBytes");
        QTest::addColumn<QString>("reason");
        const auto row = [](const char* name, const QByteArray& archive, const char* reason, int maxEntries = 100,
                            qint64 maxBytes = 1000) {
            QTest::newRow(name) << archive << maxEntries << maxBytes << QString(reason);
        };

        const QByteArray good = "{\"good\":1}";
        const char* outside = "not a path inside";
        row("parent folder", zip({{"fine.json", good}, {"../x.json", "evil"}}), outside);
        row("parent folder inside", zip({{"a/../../x.json", "evil"}}), outside);
        row("absolute name", zip({{"fine.json", good}, {QDir::tempPath() + "/x.json", "evil"}}), outside);
        row("backslash", zip({{"..\\x.json", "evil"}}), outside);
        row("dot part", zip({{"./x.json", "evil"}}), outside);
        row("empty part", zip({{"a//x.json", "evil"}}), outside);
        row("control character", zip({{"a\nb.json", "evil"}}), outside);
        // Names are UTF-8 and nothing else: no replacement characters, no NUL that cuts a name short.
        const auto raw = [&good](const QByteArray& name) {
            return zip({{"fine.json", good}, {{}, good, kRegular, name}});
        };
        row("name not UTF-8", raw("\xC4\xE4nderung.json"), "not UTF-8");
        row("overlong slash", raw("a\xC0\xAF..\xC0\xAFx.json"), "not UTF-8");
        row("surrogate", raw("\xED\xA0\x80x.json"), "not UTF-8");
        row("cut-off sequence", raw("profile\xE9\x85"), "not UTF-8");
        row("NUL cuts the name short", raw(QByteArray("x.json\0/../../evil", 18)), outside);
        row("C1 control character",
            raw("a\xC2\x85"
                "b.json"),
            outside);
        row("link then a file through it", zip({{"out", "../outside", kLink}, {"out/x.json", "evil"}}),
            "link or a special file");
        row("link alone", zip({{"x.json", "/etc/passwd", kLink}}), "link or a special file");
        row("fifo", zip({{"x.json", QByteArray(), 0010644}}), "link or a special file");
        row("file and folder of one name", zip({{"x.json", good}, {"x.json/y.json", good}}), "cannot be made");
        row("same name twice", zip({{"x.json", good}, {"x.json", "evil"}}), "cannot be written");
        QList<Entry> many;
        for (int i = 0; i < 11; ++i)
            many.append({QString("m%1.json").arg(i), good});
        row("too many entries", zip(many), "entries", 10, 100000);
        row("too many bytes", zip({{"a.json", QByteArray(600, 'a')}, {"b.json", QByteArray(600, 'b')}}), "bytes");
        row("not an archive", "{\"code\":0}", "not an archive");
        row("nothing", QByteArray(), "not an archive");
        row("an HTML page", "<html><body>404 Not Found</body></html>", "not an archive");
        QByteArray damaged = zip({{"x.json", QByteArray(500, 'x')}});
        damaged[40] = char(damaged[40] ^ 0x55); // in the compressed data: the stream ends early
        row("damaged", damaged, "damaged");
        row("cut short", zip({{"x.json", good}, {"y.json", good}}).left(60), "not an archive");
    }
    void refused()
    {
        QFETCH(QByteArray, archive);
        QFETCH(int, maxEntries);
        QFETCH(qint64, maxBytes);
        QFETCH(QString, reason);
        writeFile(m_target + "/x.json", "{\"mine\":1}");
        writeFile(m_target + "/fine.json", "{\"mine\":2}");
        writeFile(m_root + "/outside/keep", "outside");
        const QMap<QString, QByteArray> before = snapshot(m_root);

        QString why;
        QVERIFY(!CloudArchive::unpack(archive, m_target, CloudArchive::Limits{maxEntries, maxBytes}, &why));
        QVERIFY2(why.contains(reason), qPrintable(why));
        // Byte for byte as before, the target and everything beside it (no temporary folder left either).
        QCOMPARE(snapshot(m_root), before);
        QVERIFY(!QFileInfo::exists(QDir::tempPath() + "/x.json"));
    }

    // The limits of the folders the user fills: a device's profiles (pictures do not count) and each macro
    // folder's entries. An archive that would pass one is refused whole, before a byte is written.
    void folderLimits_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QStringList>("held");
        QTest::addColumn<QStringList>("archived");
        QTest::addColumn<bool>("accepted");
        const auto names = [](const QString& pattern, int count, int from = 0) {
            QStringList out;
            for (int i = from; i < from + count; ++i)
                out << pattern.arg(i);
            return out;
        };
        const QString json = ".json";
        QTest::newRow("profiles: 28 and 2 new") << json << names("p%1.json", 28) << names("n%1.json", 2) << true;
        QTest::newRow("profiles: 29 and 2 new") << json << names("p%1.json", 29) << names("n%1.json", 2) << false;
        QTest::newRow("profiles: 30, five replaced") << json << names("p%1.json", 30) << names("p%1.json", 5) << true;
        QTest::newRow("profiles: pictures do not count")
            << json << names("p%1.json", 25) << names("p%1.json", 5, 25) + names("p%1.png", 30) << true;
        QTest::newRow("profiles: 4000 in one archive") << json << QStringList() << names("p%1.json", 4000) << false;
        QTest::newRow("macros: 29 and a new folder")
            << QString() << names("m%1.json", 29) << names("new/m%1.json", 30) << true;
        QTest::newRow("macros: 31 in a new folder") << QString() << QStringList() << names("new/m%1.json", 31) << false;
        QTest::newRow("macros: a full folder gets one more")
            << QString() << names("sub/m%1.json", 30) << QStringList {"sub/m30.json"} << false;
        QTest::newRow("macros: 31 two folders down")
            << QString() << QStringList() << names("a/b/m%1.json", 31) << false;
    }
    void folderLimits()
    {
        QFETCH(QString, suffix);
        QFETCH(QStringList, held);
        QFETCH(QStringList, archived);
        QFETCH(bool, accepted);
        for (const QString& name : held)
            writeFile(m_target + '/' + name, "{\"mine\":1}");
        QList<Entry> entries;
        for (const QString& name : archived)
            entries.append({name, "{\"theirs\":1}"});
        const QMap<QString, QByteArray> before = snapshot(m_root);

        CloudArchive::Limits limits;
        limits.maxPerFolder = 30;
        limits.countedSuffix = suffix;
        QString why;
        QCOMPARE(CloudArchive::unpack(zip(entries), m_target, limits, &why), accepted);
        if (accepted) {
            QCOMPARE(snapshot(m_target).value(archived.last()), QByteArray("{\"theirs\":1}"));
        } else {
            QVERIFY2(why.contains("more than 30"), qPrintable(why));
            QCOMPARE(snapshot(m_root), before);
        }
    }

    // A link of the user's inside the folder that leads out of it: a file of the archive never goes through it.
    void linkInTheTargetIsNotFollowed()
    {
        writeFile(m_root + "/elsewhere/keep.json", "outside");
        writeFile(m_target + "/local.json", "{\"mine\":1}");
        QVERIFY(QFile::link(m_root + "/elsewhere", m_target + "/sub"));
        const QMap<QString, QByteArray> before = snapshot(m_root);

        QString why;
        QVERIFY(!CloudArchive::unpack(zip({{"new.json", "{}"}, {"sub/keep.json", "evil"}}), m_target,
                                      CloudArchive::Limits(), &why));
        QCOMPARE(snapshot(m_root), before);
    }

    // An entry whose declared size lies: what comes out of it is checked, not what the archive says.
    void lyingSizeIsRefused()
    {
        QByteArray archive = zip({{"big.json", QByteArray(5000, ' ')}});
        const auto declare = [&archive](int at, quint32 size) {
            for (int i = 0; i < 4; ++i)
                archive[at + i] = char((size >> (8 * i)) & 0xff);
        };
        declare(22, 10); // local header
        declare(archive.indexOf("PK\x01\x02") + 24, 10); // central directory
        QString why;
        QVERIFY(!CloudArchive::unpack(archive, m_target, CloudArchive::Limits{10, 100}, &why));
        QVERIFY(!QFileInfo::exists(m_target));
        QCOMPARE(QDir(m_root).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_root;
    QString m_target;
};

QTEST_MAIN(tst_CloudArchive)
#include "tst_cloudarchive.moc"
