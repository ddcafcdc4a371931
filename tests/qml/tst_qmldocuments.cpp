#include "app/KAppManager.h"
#include "app/UIManager.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQmlApplicationEngine>
#include <QQmlComponent>
#include <QQmlContext>
#include <QSet>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

namespace {

// Every QML message while a document loads or is made is a fault of that document.
QStringList g_messages;
QtMessageHandler g_previousHandler = nullptr;

void recordingHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        g_messages << message;
    if (g_previousHandler)
        g_previousHandler(type, context, message);
}

struct ManifestEntry
{
    QString name;
    QString folder;
    QString state;
    QString resourcePath() const { return "/" + folder + "/" + name + ".qml"; }
};

const QStringList kFolders = {"windows", "page", "panel", "lightEffect", "control", "common", "widgets", "popup"};
const QStringList kStates = {"live", "earlier", "nowhere"};

QList<ManifestEntry> readManifest(QString* error)
{
    QFile file(QStringLiteral(CORVANE_SOURCE_DIR "/qml/manifest.json"));
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return {};
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        *error = parseError.errorString();
        return {};
    }
    QList<ManifestEntry> entries;
    for (const QJsonValue& value : document.object().value("documents").toArray()) {
        const QJsonObject object = value.toObject();
        entries.append({object.value("name").toString(), object.value("folder").toString(),
                        object.value("state").toString()});
    }
    return entries;
}

// The documents the program carries, by resource path.
QSet<QString> documentsInResources()
{
    QSet<QString> paths;
    for (const QString& folder : kFolders) {
        QDirIterator it(":/" + folder, {"*.qml"}, QDir::Files);
        while (it.hasNext())
            paths.insert(it.next().mid(1));
    }
    return paths;
}

// The documents in the source tree, by resource path.
QSet<QString> documentsInSources()
{
    QSet<QString> paths;
    const QDir root(QStringLiteral(CORVANE_SOURCE_DIR "/qml"));
    QDirIterator it(root.path(), {"*.qml"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        paths.insert("/" + root.relativeFilePath(it.next()));
    return paths;
}

} // namespace

// The document set: the manifest of all documents against what the source tree and the program carry, and every
// document present made with the program's own context properties, without a single QML warning.
class TestQmlDocuments : public QObject
{
    Q_OBJECT

private:
    QList<ManifestEntry> m_manifest;

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QString error;
        m_manifest = readManifest(&error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(KAppManager::instance()->init());
        QVERIFY(KAppManager::instance()->getUIManager()->getEngine());
        g_previousHandler = qInstallMessageHandler(recordingHandler);
    }

    void cleanupTestCase()
    {
        qInstallMessageHandler(g_previousHandler);
        KAppManager::instance()->shutdown();
    }

    void manifestIsWhole()
    {
        QCOMPARE(m_manifest.size(), 208);
        QSet<QString> names;
        QMap<QString, int> perState;
        for (const ManifestEntry& entry : m_manifest) {
            QVERIFY2(!names.contains(entry.name), qPrintable("listed twice: " + entry.name));
            names.insert(entry.name);
            QVERIFY2(kFolders.contains(entry.folder), qPrintable(entry.name + " in " + entry.folder));
            QVERIFY2(kStates.contains(entry.state), qPrintable(entry.name + " is " + entry.state));
            ++perState[entry.state];
        }
        QCOMPARE(perState.value("live"), 118);
        QCOMPARE(perState.value("earlier"), 80);
        QCOMPARE(perState.value("nowhere"), 10);
    }

    // Every document of the manifest is in the tree under its folder, every document in the tree is in the
    // manifest, and the program carries exactly the tree.
    void manifestAgainstResources()
    {
        QSet<QString> listed;
        for (const ManifestEntry& entry : m_manifest)
            listed.insert(entry.resourcePath());
        const QSet<QString> sources = documentsInSources();
        const QSet<QString> resources = documentsInResources();
        QStringList missing;
        for (const QString& path : listed) {
            if (!sources.contains(path))
                missing << path;
        }
        missing.sort();
        QVERIFY2(missing.isEmpty(), qPrintable("listed without its document: " + missing.join(", ")));
        for (const QString& path : sources) {
            QVERIFY2(listed.contains(path), qPrintable("not in the manifest (or in another folder): " + path));
            QVERIFY2(resources.contains(path), qPrintable("not built into the program: " + path));
        }
        for (const QString& path : resources)
            QVERIFY2(sources.contains(path), qPrintable("built in without a source: " + path));
    }

    void loadEveryDocument_data()
    {
        QTest::addColumn<QString>("path");
        // Every listed document, present or not: a missing one fails here too, with its name.
        for (const ManifestEntry& entry : m_manifest)
            QTest::newRow(qPrintable(entry.name)) << entry.resourcePath();
    }

    void loadEveryDocument()
    {
        QFETCH(QString, path);
        QQmlApplicationEngine* engine = KAppManager::instance()->getUIManager()->getEngine();
        g_messages.clear();
        QQmlComponent component(engine, QUrl("qrc:" + path));
        QVERIFY2(component.isReady(), qPrintable(component.errorString()));
        std::unique_ptr<QObject> object(component.create(engine->rootContext()));
        QVERIFY2(object, qPrintable(component.errorString()));
        QCoreApplication::processEvents();
        QVERIFY2(g_messages.isEmpty(), qPrintable(g_messages.join('\n')));
    }
};

QTEST_MAIN(TestQmlDocuments)
#include "tst_qmldocuments.moc"
