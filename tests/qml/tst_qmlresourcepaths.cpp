#include "QmlSourceScan.h"

#include <QFile>
#include <QRegularExpression>
#include <QtTest>

namespace {

const QString kSourceDir = QStringLiteral(CORVANE_SOURCE_DIR);

QStringList missingResources(const QList<QmlSourceScan::Document>& documents)
{
    QStringList missing;
    for (const QmlSourceScan::Document& document : documents) {
        for (const QString& path : QmlSourceScan::namedResources(document.text)) {
            if (!QFile::exists(":/" + path))
                missing << document.path + ": " + path;
        }
    }
    return missing;
}

} // namespace

// Every resource a QML document or a layout document names is carried by the program: no blank picture, no
// missing document.
class TestQmlResourcePaths : public QObject
{
    Q_OBJECT

private slots:
    // What counts as a named resource path, and how it is spelt as a resource.
    void namedResources_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("qrc url") << R"(source: "qrc:/common/newUI/a.png")" << QStringList{"common/newUI/a.png"};
        QTest::newRow("no slash") << R"(source: "qrc:common/newUI/a.png")" << QStringList{"common/newUI/a.png"};
        QTest::newRow("resource path") << R"(icon: ':/common/logo.ico')" << QStringList{"common/logo.ico"};
        QTest::newRow("dot segments") << R"("qrc:/common/x/../b.jpg")" << QStringList{"common/b.jpg"};
        QTest::newRow("layout json") << R"({"image": "qrc:/common/newUI/K/ms_1.png", "x": 2})"
                                     << QStringList{"common/newUI/K/ms_1.png"};
        QTest::newRow("folder import") << R"(import "qrc:/common")" << QStringList();
        QTest::newRow("file url") << R"("file:///tmp/a.png")" << QStringList();
        QTest::newRow("twice") << R"("qrc:/a.png" "qrc:/a.png")" << QStringList{"a.png"};
    }

    void namedResources()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        QCOMPARE(QmlSourceScan::namedResources(text), expected);
    }

    // The audit finds what is missing.
    void auditReportsAMissingPicture()
    {
        const QList<QmlSourceScan::Document> fixture = {
            {"qml/control/Probe.qml", R"(Image { source: "qrc:/common/newUI/battery.png" }
                                         Image { source: "qrc:/common/newUI/no_such_picture.png" })"}};
        QCOMPARE(missingResources(fixture), QStringList{"qml/control/Probe.qml: common/newUI/no_such_picture.png"});
    }

    void everyDocumentsResourcesExist_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("QML documents") << "qml";
        QTest::newRow("layout documents") << "layout";
    }

    void everyDocumentsResourcesExist()
    {
        QFETCH(QString, kind);
        const QList<QmlSourceScan::Document> documents = kind == "qml" ? QmlSourceScan::qmlDocuments(kSourceDir)
                                                                       : QmlSourceScan::layoutDocuments(kSourceDir);
        QVERIFY(!documents.isEmpty());
        const QStringList missing = missingResources(documents);
        QVERIFY2(missing.isEmpty(), qPrintable("not in the resources:\n" + missing.join('\n')));
    }

    // A picture a document asks for in the user's language exists in both variants ("_en" for English).
    void languageVariantsExist()
    {
        static const QRegularExpression asked(QStringLiteral("getPngUrl\\(\\s*[\"'](?:qrc:/?|:/)([^\"']+)\\.png[\"']"));
        QStringList missing;
        for (const QmlSourceScan::Document& document : QmlSourceScan::qmlDocuments(kSourceDir)) {
            auto matches = asked.globalMatch(document.text);
            while (matches.hasNext()) {
                const QString base = matches.next().captured(1);
                for (const QString& variant : {base + ".png", base + "_en.png"}) {
                    if (!QFile::exists(":/" + variant))
                        missing << document.path + ": " + variant;
                }
            }
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join('\n')));
    }
};

QTEST_GUILESS_MAIN(TestQmlResourcePaths)
#include "tst_qmlresourcepaths.moc"
