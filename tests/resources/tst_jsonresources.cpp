// Every JSON document the program ships is strict JSON, so any JSON reader (ours, a tool's, a script's) takes
// it as Qt does; and the strict reader used for that refuses what Qt would quietly tolerate.

#include "StrictJson.h"

#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

namespace {

const QString kSourceDir = QStringLiteral(CORVANE_SOURCE_DIR);

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The JSON files in the resource folders, and every JSON file a resource collection names.
QStringList shippedJsonFiles()
{
    QSet<QString> files;
    for (const QString& folder : {QStringLiteral("resources"), QStringLiteral("qml")}) {
        QDirIterator it(kSourceDir + QLatin1Char('/') + folder, {QStringLiteral("*.json"), QStringLiteral("*.qrc")},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = QFileInfo(it.next()).canonicalFilePath();
            if (path.endsWith(QLatin1String(".json"))) {
                files.insert(path);
                continue;
            }
            static const QRegularExpression entry(QStringLiteral("<file[^>]*>([^<]+\\.json)</file>"));
            auto match = entry.globalMatch(QString::fromUtf8(fileBytes(path)));
            while (match.hasNext()) {
                const QString listed = QFileInfo(path).absolutePath() + QLatin1Char('/') + match.next().captured(1);
                files.insert(QFileInfo(listed).exists() ? QFileInfo(listed).canonicalFilePath() : listed);
            }
        }
    }
    QStringList sorted = files.values();
    sorted.sort();
    return sorted;
}

} // namespace

class TestJsonResources : public QObject
{
    Q_OBJECT

private slots:
    void resourceIsStrictJson_data();
    void resourceIsStrictJson();
    void strictReaderRefuses_data();
    void strictReaderRefuses();
    void strictReaderTakes_data();
    void strictReaderTakes();
    void quoteKeyKeepsItsName();
};

void TestJsonResources::resourceIsStrictJson_data()
{
    QTest::addColumn<QString>("path");
    const QStringList files = shippedJsonFiles();
    QVERIFY(!files.isEmpty());
    for (const QString& path : files)
        QTest::newRow(qPrintable(QDir(kSourceDir).relativeFilePath(path))) << path;
}

void TestJsonResources::resourceIsStrictJson()
{
    QFETCH(QString, path);
    QVERIFY2(QFileInfo(path).isFile(), qPrintable(path + " is named but missing"));
    const QByteArray bytes = fileBytes(path);
    const QString error = strictJsonError(bytes);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QJsonParseError qtError;
    QJsonDocument::fromJson(bytes, &qtError);
    QCOMPARE(qtError.error, QJsonParseError::NoError);
}

void TestJsonResources::strictReaderRefuses_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("escaped single quote") << QByteArray(R"({"name": "\'\" Key"})");
    QTest::newRow("unknown escape") << QByteArray(R"(["\x41"])");
    QTest::newRow("trailing comma in object") << QByteArray(R"({"a": 1,})");
    QTest::newRow("trailing comma in array") << QByteArray("[1, 2,]");
    QTest::newRow("comment") << QByteArray("{\"a\": 1 // one\n}");
    QTest::newRow("single-quoted name") << QByteArray("{'a': 1}");
    QTest::newRow("NaN") << QByteArray("[NaN]");
    QTest::newRow("leading zero") << QByteArray("[01]");
    QTest::newRow("plus sign") << QByteArray("[+1]");
    QTest::newRow("bare fraction point") << QByteArray("[1.]");
    QTest::newRow("tab in a string") << QByteArray("[\"a\tb\"]");
    QTest::newRow("member twice") << QByteArray(R"({"a": 1, "a": 2})");
    QTest::newRow("invalid UTF-8") << QByteArray("[\"\xC3\x28\"]");
    QTest::newRow("overlong UTF-8") << QByteArray("[\"\xC0\xAF\"]");
    QTest::newRow("lone surrogate escape") << QByteArray(R"(["\ud800x"])");
    QTest::newRow("two values") << QByteArray("{} {}");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("nested too deeply") << QByteArray(100000, '[');
}

void TestJsonResources::strictReaderRefuses()
{
    QFETCH(QByteArray, text);
    QVERIFY(!strictJsonError(text).isEmpty());
}

void TestJsonResources::strictReaderTakes_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("every escape") << QByteArray(R"(["\"\\\/\b\f\n\r\t\u00e9\ud83d\ude00"])");
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF{\"a\": [true, false, null]}");
    QTest::newRow("numbers") << QByteArray("[0, -0, 12, -3.25, 1e5, 2E-3, 0.5e+2]");
    QTest::newRow("UTF-8 text") << QByteArray("{\"name\": \"\xE9\x94\xAE \xF0\x9F\x98\x80\"}");
    QTest::newRow("same name in two objects") << QByteArray(R"([{"a": 1}, {"a": 2}])");
}

void TestJsonResources::strictReaderTakes()
{
    QFETCH(QByteArray, text);
    QCOMPARE(strictJsonError(text), QString());
}

// The quote key's name reads as before the document became strict: the single quote, then the double quote.
void TestJsonResources::quoteKeyKeepsItsName()
{
    const QJsonDocument doc = QJsonDocument::fromJson(
        fileBytes(kSourceDir + QStringLiteral("/resources/keyboard/Quenby_8a/Quenby_8ALayout.json")));
    QVERIFY(doc.isObject());
    int quoteKeys = 0;
    const std::function<void(const QJsonValue&)> visit = [&](const QJsonValue& value) {
        if (value.isArray()) {
            for (const QJsonValue& item : value.toArray())
                visit(item);
        } else if (value.isObject()) {
            const QJsonObject object = value.toObject();
            if (object.value(QStringLiteral("key")).toInt(-1) == 105) {
                QCOMPARE(object.value(QStringLiteral("name")).toString(), QStringLiteral("'\" Key"));
                ++quoteKeys;
            }
            for (const QJsonValue& member : object)
                visit(member);
        }
    };
    visit(doc.object());
    QCOMPARE(quoteKeys, 2);
}

QTEST_GUILESS_MAIN(TestJsonResources)
#include "tst_jsonresources.moc"
