#include "QmlSourceScan.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kSourceDir = QStringLiteral(CORVANE_SOURCE_DIR);
const QString kGenerator = QStringLiteral(CORVANE_PICTUREGEN);
const QString kTable = QStringLiteral(CORVANE_SOURCE_DIR "/tools/pictures/pictures.json");
const QString kIcons = QStringLiteral(CORVANE_ICON_THEME);

struct Run
{
    int exitCode = -1;
    QString errors;
};

// Runs the picture generator as the build does, on the given source folders.
Run generate(const QString& out, const QStringList& sources, const QString& table = kTable)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(kGenerator, QStringList{"--table", table, "--icons", kIcons, out} + sources);
    Run run;
    if (!process.waitForFinished(120000))
        return run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.errors = QString::fromUtf8(process.readAllStandardError());
    return run;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QJsonObject readManifest(const QString& folder)
{
    QFile file(QDir(folder).filePath("pictures.json"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

// What a picture shows, pixel for pixel.
QByteArray content(const QString& path)
{
    const QImage image = QImage(path).convertToFormat(QImage::Format_ARGB32);
    if (image.isNull())
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(QByteArray::number(image.width()) + 'x' + QByteArray::number(image.height()));
    hash.addData(reinterpret_cast<const char*>(image.constBits()), int(image.sizeInBytes()));
    return hash.result();
}

// Every picture file the tree's own resource lists carry (those are not drawn).
QSet<QString> listedByTree()
{
    static const QRegularExpression listed(QStringLiteral("<file(?: alias=\"([^\"]+)\")?>([^<]+)</file>"));
    QSet<QString> files;
    for (const QString& name : QDir(kSourceDir + "/resources").entryList({"*.qrc"}, QDir::Files)) {
        QFile file(kSourceDir + "/resources/" + name);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        auto it = listed.globalMatch(QString::fromUtf8(file.readAll()));
        while (it.hasNext()) {
            const auto match = it.next();
            files.insert(match.captured(1).isEmpty() ? match.captured(2) : match.captured(1));
        }
    }
    return files;
}

} // namespace

// The picture generator draws each picture the documents name from its row of the picture table, and refuses a
// name that no row draws; pictures that mean different things look different.
class TestPictureGenerator : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_tree;
    QJsonObject m_manifest;

private slots:
    // The pictures of the real tree, drawn once into a folder of this test.
    void initTestCase()
    {
        QVERIFY(m_tree.isValid());
        const Run run = generate(m_tree.path(), {kSourceDir + "/qml", kSourceDir + "/resources", kSourceDir + "/src"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
        m_manifest = readManifest(m_tree.path());
        QVERIFY(!m_manifest.isEmpty());
    }

    // Every picture a QML document or a layout document names is drawn from a row (or is a file of the tree's
    // own resource lists).
    void everyNamedPictureHasARow()
    {
        const QSet<QString> listed = listedByTree();
        QStringList missing;
        int named = 0;
        for (const auto& documents : {QmlSourceScan::qmlDocuments(kSourceDir), QmlSourceScan::layoutDocuments(kSourceDir)}) {
            for (const QmlSourceScan::Document& document : documents) {
                for (const QString& path : QmlSourceScan::namedResources(document.text)) {
                    if (!path.contains(QRegularExpression("\\.(png|jpg|gif)$")) || listed.contains(path))
                        continue;
                    ++named;
                    if (!m_manifest.contains(path))
                        missing << document.path + ": " + path;
                }
            }
        }
        QVERIFY(named > 100);
        QVERIFY2(missing.isEmpty(), qPrintable("drawn by no row:\n" + missing.join('\n')));
    }

    // A name no row draws, a row asking for an icon the set lacks, or a table that is not strict JSON stops the
    // generator with a message that names the fault; nothing stands in.
    void refusesWhatNoRowDraws_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<QString>("message");
        const QByteArray good = "{\"colours\": {\"ink\": \"#303344\"}, \"pictures\": [ {\"names\": [\"common/newUI/editBtn\"], \"shows\": \"icon\", \"icon\": \"actions/22/document-edit\", \"size\": [48, 48], \"states\": {\"\": \"ink\", \"_hover\": \"ink\"}}]}";
        QTest::newRow("unknown name") << QByteArray("Image { source: \"qrc:/common/newUI/no_such_picture.png\" }") << good
                                      << "no row of the picture table draws common/newUI/no_such_picture.png";
        QTest::newRow("unknown state") << QByteArray("Image { source: \"qrc:/common/newUI/editBtn_wobble.png\" }") << good
                                       << "no row of the picture table draws common/newUI/editBtn_wobble.png";
        QTest::newRow("no language variant") << QByteArray("Image { source: \"qrc:/common/newUI/editBtn_en.png\" }") << good
                                             << "no row of the picture table draws common/newUI/editBtn_en.png";
        QTest::newRow("icon not in the set")
            << QByteArray("Image { source: \"qrc:/common/newUI/editBtn.png\" }")
            << QByteArray("{\"colours\": {\"ink\": \"#303344\"}, \"pictures\": [{\"names\": [\"common/newUI/editBtn\"], \"shows\": \"icon\", \"icon\": \"actions/22/no-such-icon\", \"states\": {\"\": \"ink\"}}]}")
            << "no icon actions/22/no-such-icon";
        QTest::newRow("mouse without layout")
            << QByteArray("Image { source: \"qrc:/common/Nowhere/ms_logo_1.png\" }")
            << QByteArray("{\"colours\": {}, \"pictures\": [{\"names\": [\"common/*/ms_logo_1\"], \"shows\": \"device\", \"draw\": \"mouse-layout\"}]}")
            << "no layout document gives the buttons of common/Nowhere/ms_logo_1.png";
        QTest::newRow("table with a comma too many") << QByteArray("Image { source: \"qrc:/common/newUI/editBtn.png\" }")
                                                     << QByteArray("{\"colours\": {}, \"pictures\": [],}") << "is not a JSON object";
    }

    void refusesWhatNoRowDraws()
    {
        QFETCH(QByteArray, document);
        QFETCH(QByteArray, table);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("source/qml/Probe.qml"), document));
        QVERIFY(writeFile(dir.filePath("table.json"), table));
        const Run run = generate(dir.filePath("out"), {dir.filePath("source")}, dir.filePath("table.json"));
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains(message), qPrintable(run.errors));
        QVERIFY(!QFile::exists(dir.filePath("out/pictures.qrc")));
    }

    // Pictures of different meaning are different pictures: the same content only among the state and language
    // variants of one picture (or the names of a row that shows one mark for every model). And the state
    // variants of a picture do differ, so hovering or choosing shows.
    void differentMeaningsLookDifferent()
    {
        QHash<QByteArray, QStringList> byContent;
        QHash<QString, QHash<QString, QByteArray>> statesOf; // picture -> state -> content (Chinese variant)
        for (auto it = m_manifest.begin(); it != m_manifest.end(); ++it) {
            const QByteArray pixels = content(QDir(m_tree.path()).filePath(it.key()));
            QVERIFY2(!pixels.isEmpty(), qPrintable(it.key()));
            byContent[pixels] << it.key();
            const QJsonObject entry = it.value().toObject();
            if (entry.value("language").toString() == "zh")
                statesOf[entry.value("picture").toString()].insert(entry.value("state").toString(), pixels);
        }
        QStringList shared;
        for (const QStringList& names : qAsConst(byContent)) {
            QSet<QString> pictures;
            for (const QString& name : names)
                pictures.insert(m_manifest.value(name).toObject().value("picture").toString());
            if (pictures.size() > 1)
                shared << names.join(", ");
        }
        QVERIFY2(shared.isEmpty(), qPrintable("alike but of different meaning:\n" + shared.join('\n')));
        QStringList sameStates;
        for (auto it = statesOf.cbegin(); it != statesOf.cend(); ++it) {
            const QList<QByteArray> states = it.value().values();
            if (QSet<QByteArray>(states.begin(), states.end()).size() != states.size())
                sameStates << it.key();
        }
        QVERIFY2(sameStates.isEmpty(), qPrintable("states that look alike:\n" + sameStates.join('\n')));
    }

    // Each mouse layout's picture has the layout's size and shows something (a button, the wheel's arrow) at
    // every button's point, so the label laid at the point points at a drawn button.
    void mousePicturesHaveAButtonAtEveryPoint()
    {
        int mice = 0;
        QStringList faults;
        for (const QmlSourceScan::Document& document : QmlSourceScan::layoutDocuments(kSourceDir)) {
            const QJsonObject layout = QJsonDocument::fromJson(document.text.toUtf8()).object();
            if (layout.value("deviceType").toInt() != 1)
                continue;
            const QJsonObject key = layout.value("key").toObject();
            const QString picture = key.value("keyBaseImge").toString();
            if (picture.isEmpty()) {
                faults << document.path + ": no picture of the mouse";
                continue;
            }
            ++mice;
            const QImage image(QDir(m_tree.path()).filePath(QString(picture).remove(QRegularExpression("^qrc:/*"))));
            if (image.size() != QSize(key.value("width").toInt(), key.value("height").toInt())) {
                faults << document.path + ": the picture is not the layout's size";
                continue;
            }
            for (const QJsonValue& value : key.value("keyBtn").toArray()) {
                const QJsonObject button = value.toObject();
                // The page lays a 24-pixel marker with its corner at the point.
                const QRect marker(button.value("x").toInt(), button.value("y").toInt(), 24, 24);
                bool drawn = false;
                for (int y = marker.top(); y <= marker.bottom() && !drawn; ++y) {
                    for (int x = marker.left(); x <= marker.right() && !drawn; ++x)
                        drawn = image.valid(x, y) && qAlpha(image.pixel(x, y)) > 200;
                }
                if (!drawn)
                    faults << document.path + ": nothing drawn at " + button.value("name").toString();
            }
        }
        QVERIFY(mice > 20);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }
};

QTEST_MAIN(TestPictureGenerator)
#include "tst_picturegenerator.moc"
