#include "app/KAppManager.h"
#include "app/UIManager.h"

#include "QmlSourceScan.h"

#include <QMetaMethod>
#include <QMetaProperty>
#include <QQmlApplicationEngine>
#include <QQmlComponent>
#include <QQmlContext>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

namespace {

const QString kSourceDir = QStringLiteral(CORVANE_SOURCE_DIR);

bool hasMethod(const QMetaObject* meta, const QString& name)
{
    for (int i = 0; i < meta->methodCount(); ++i) {
        if (QString::fromLatin1(meta->method(i).name()) == name)
            return true;
    }
    return false;
}

// The class a member leads to when it is a property holding an object, for the next member of a chain.
const QMetaObject* memberClass(const QMetaObject* meta, const QString& name)
{
    const int index = meta->indexOfProperty(name.toLatin1().constData());
    if (index < 0)
        return nullptr;
    return QMetaType::metaObjectForType(meta->property(index).userType());
}

// Each use "object.member" (and "object.member.member" through object-valued properties) of a context
// property in the documents, checked against the object's meta-object. A context name the program does not
// publish is a fault unless the document asks whether it exists (typeof).
QStringList auditMembers(const QList<QmlSourceScan::Document>& documents, QQmlContext* context)
{
    static const QRegularExpression use(
        QStringLiteral("(?<![\\w.])([gfh]_[A-Za-z]\\w*)\\s*\\.\\s*([A-Za-z_]\\w*)(?:\\s*\\.\\s*([A-Za-z_]\\w*))?"));
    QStringList faults;
    for (const QmlSourceScan::Document& document : documents) {
        const QString code = QmlSourceScan::codeOnly(document.text);
        auto matches = use.globalMatch(code);
        while (matches.hasNext()) {
            const auto match = matches.next();
            const QString object = match.captured(1);
            const QString member = match.captured(2);
            const QString next = match.captured(3);
            const QString where = document.path + ": " + match.captured(0).simplified();
            QObject* target = context->contextProperty(object).value<QObject*>();
            if (!target) {
                if (!code.contains(QRegularExpression("typeof\\s+" + object + "\\b")))
                    faults << where + " (no such context property)";
                continue;
            }
            const QMetaObject* meta = target->metaObject();
            if (meta->indexOfProperty(member.toLatin1().constData()) < 0 && !hasMethod(meta, member)) {
                faults << where + " (no member " + member + " on " + meta->className() + ")";
                continue;
            }
            if (next.isEmpty())
                continue;
            if (const QMetaObject* inner = memberClass(meta, member)) {
                if (inner->indexOfProperty(next.toLatin1().constData()) < 0 && !hasMethod(inner, next))
                    faults << where + " (no member " + next + " on " + inner->className() + ")";
            }
        }
    }
    return faults;
}

// The class of a type name from the program's own modules, or null when the name is none of theirs. The
// instance made to learn it stays with the engine: a QML-made object's class may live only as long as it does.
const QMetaObject* registeredType(QQmlEngine* engine, const QString& type)
{
    const QString key = QStringLiteral("registeredType:") + type;
    if (engine->property(key.toLatin1().constData()).isValid()) {
        QObject* known = engine->property(key.toLatin1().constData()).value<QObject*>();
        return known ? known->metaObject() : nullptr;
    }
    QQmlComponent component(engine);
    component.setData("import Model 1.0\nimport PaintLine 1.0\nimport EquipmentModel 1.0\nimport k.tools 1.0\n" +
                          type.toUtf8() + " {}\n",
                      QUrl("qrc:/probe/Types.qml"));
    QObject* object = component.isReady() ? component.create() : nullptr;
    if (object)
        object->setParent(engine);
    engine->setProperty(key.toLatin1().constData(), QVariant::fromValue(object));
    return object ? object->metaObject() : nullptr;
}

// Each use "id.member" of an instance of a program type made in a document (e.g. "KNetLogin { id: login }"
// and "login.login(...)"), checked against the type's meta-object.
QStringList auditInstances(const QList<QmlSourceScan::Document>& documents, QQmlEngine* engine)
{
    static const QRegularExpression instance(QStringLiteral("\\b([A-Z]\\w*)\\s*\\{\\s*id\\s*:\\s*(\\w+)"));
    QStringList faults;
    for (const QmlSourceScan::Document& document : documents) {
        const QString code = QmlSourceScan::codeOnly(document.text);
        auto instances = instance.globalMatch(code);
        while (instances.hasNext()) {
            const auto found = instances.next();
            const QMetaObject* meta = registeredType(engine, found.captured(1));
            if (!meta)
                continue;
            const QString id = found.captured(2);
            const QRegularExpression use("(?<![\\w.])" + id + "\\s*\\.\\s*([A-Za-z_]\\w*)");
            auto uses = use.globalMatch(code);
            while (uses.hasNext()) {
                const auto match = uses.next();
                const QString member = match.captured(1);
                if (meta->indexOfProperty(member.toLatin1().constData()) < 0 && !hasMethod(meta, member))
                    faults << document.path + ": " + match.captured(0).simplified() + " (no member " + member + " on " +
                                  found.captured(1) + ")";
            }
        }
    }
    return faults;
}

} // namespace

// Every member of a program object that a document uses exists on the object's class: a misspelt or removed
// member is found here, not by a user clicking on it.
class TestQmlMembers : public QObject
{
    Q_OBJECT

private:
    QQmlContext* context() const { return KAppManager::instance()->getUIManager()->getEngine()->rootContext(); }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(KAppManager::instance()->init());
    }

    void cleanupTestCase() { KAppManager::instance()->shutdown(); }

    // The audit on small documents: what it passes and what it reports.
    void auditFindsFaults_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("faults");
        QTest::newRow("property") << "Text { text: g_image.deviceName }" << QStringList();
        QTest::newRow("invokable") << "x: g_resolution.getScaleLength(4)" << QStringList();
        QTest::newRow("signal connect") << "h_suspension.sigShowTips.connect(f)" << QStringList();
        QTest::newRow("chain through an object") << "g_lightModel.logo.defaultColor" << QStringList();
        QTest::newRow("misspelt") << "g_image.deviceNam"
                                  << QStringList{"P.qml: g_image.deviceNam (no member deviceNam on KImageModel)"};
        QTest::newRow("misspelt in a chain")
            << "g_lightModel.logo.colour"
            << QStringList{"P.qml: g_lightModel.logo.colour (no member colour on KLightModelItem)"};
        QTest::newRow("unpublished") << "g_nothing.x()" << QStringList{"P.qml: g_nothing.x (no such context property)"};
        QTest::newRow("unpublished, asked first")
            << "if (typeof h_later !== \"undefined\") h_later.go()" << QStringList();
        QTest::newRow("inside a text") << "text: \"g_image.nothing\"" << QStringList();
        QTest::newRow("inside a comment") << "// g_image.nothing\nx: 1" << QStringList();
    }

    void auditFindsFaults()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, faults);
        QCOMPARE(auditMembers({{"P.qml", text}}, context()), faults);
    }

    void instancesOfProgramTypes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("faults");
        QTest::newRow("method") << "PaintLine { id: line }\nx: line.setOneLine(0, 0, 1, 1)" << QStringList();
        QTest::newRow("property") << "PaintLine { id: line }\nx: line.penWidth" << QStringList();
        QTest::newRow("misspelt")
            << "PaintLine { id: line }\nx: line.setOneLin(0, 0, 1, 1)"
            << QStringList{"P.qml: line.setOneLin (no member setOneLin on PaintLine)"};
        QTest::newRow("not a program type") << "Item { id: box }\nx: box.anything" << QStringList();
    }

    void instancesOfProgramTypes()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, faults);
        QCOMPARE(auditInstances({{"P.qml", text}}, KAppManager::instance()->getUIManager()->getEngine()), faults);
    }

    void everyUsedMemberExists()
    {
        const QList<QmlSourceScan::Document> documents = QmlSourceScan::qmlDocuments(kSourceDir);
        QVERIFY(!documents.isEmpty());
        const QStringList faults = auditMembers(documents, context()) +
                                   auditInstances(documents, KAppManager::instance()->getUIManager()->getEngine());
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }
};

QTEST_MAIN(TestQmlMembers)
#include "tst_qmlmembers.moc"
