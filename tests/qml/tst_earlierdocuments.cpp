#include "app/KAppManager.h"
#include "app/UIManager.h"
#include "app/KAppCommon.h"

#include "LogCapture.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQmlApplicationEngine>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

namespace {

QQmlApplicationEngine* engine()
{
    return KAppManager::instance()->getUIManager()->getEngine();
}

// One document of the earlier window made from a snippet, on the program's own context.
std::unique_ptr<QObject> make(const QByteArray& body)
{
    QQmlComponent component(engine());
    component.setData("import QtQuick 2.12\nimport \"qrc:/common\"\nimport \"qrc:/widgets\"\nimport \"qrc:/panel\"\n"
                          + body,
                      QUrl("qrc:/probe/Probe.qml"));
    std::unique_ptr<QObject> object(component.create(engine()->rootContext()));
    if (!object)
        qWarning().noquote() << component.errorString();
    return object;
}

QVariant call(QObject* object, const char* function, const QVariant& a = {}, const QVariant& b = {})
{
    QVariant result;
    if (!b.isNull())
        QMetaObject::invokeMethod(object, function, Q_RETURN_ARG(QVariant, result), Q_ARG(QVariant, a),
                                  Q_ARG(QVariant, b));
    else if (!a.isNull())
        QMetaObject::invokeMethod(object, function, Q_RETURN_ARG(QVariant, result), Q_ARG(QVariant, a));
    else
        QMetaObject::invokeMethod(object, function, Q_RETURN_ARG(QVariant, result));
    return result;
}

QString macroFolder()
{
    return KAppCommon::instance()->getMacroFolderPath();
}

// The row of the library list that shows name.
int rowOf(const QString& name)
{
    QQmlExpression expression(engine()->rootContext(), nullptr, "h_macroName.getItemIndex(\"" + name + "\")");
    return expression.evaluate().toInt();
}

QJsonArray eventsOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object().value("list").toArray();
}

} // namespace

// The earlier window's documents that act on the library and the macro list: what reaches the disk and what the
// user is told. Fixtures are one-line documents over the real documents and the program's context properties.
class TestEarlierDocuments : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<LogCapture> m_log;

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(KAppManager::instance()->init());
        m_log = std::make_unique<LogCapture>();
    }

    void cleanupTestCase()
    {
        m_log.reset();
        KAppManager::instance()->shutdown();
    }

    void init()
    {
        QDir folder(macroFolder());
        for (const QFileInfo& entry : folder.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
            if (entry.isDir())
                QDir(entry.filePath()).removeRecursively();
            else
                QFile::remove(entry.filePath());
        }
        m_log->clear();
    }

    // New macros and folders are made on disk and listed at once; deleting an entry removes it from the disk
    // and from the list; a chosen macro goes out with its full path.
    void libraryTreeMakesChoosesAndDeletes()
    {
        auto tree = make("KMacroFolder { width: 200; height: 300 }");
        QVERIFY(tree);
        QObject* list = tree->findChild<QObject*>("macroList");
        QVERIFY(list);
        call(tree.get(), "initReturnBtn");
        QCOMPARE(list->property("count").toInt(), 0);

        call(tree.get(), "createFile");
        call(tree.get(), "createFile");
        call(tree.get(), "createFolder");
        const QString first = macroFolder() + "/New macro.json";
        QVERIFY(QFile::exists(first));
        QVERIFY(QDir(macroFolder() + "/New folder").exists());
        QCOMPARE(QDir(macroFolder()).entryList(QDir::Files).size(), 2);
        QCOMPARE(list->property("count").toInt(), 3);

        QSignalSpy chosen(tree.get(), SIGNAL(selectedItem(QString)));
        call(tree.get(), "chooseFile", rowOf("New macro"), "New macro");
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.at(0).at(0).toString(), first);
        QCOMPARE(tree->property("mCurrentFile").toString(), first);

        tree->setProperty("mMenuIndex", rowOf("New macro"));
        call(tree.get(), "deleteEntry");
        QVERIFY(!QFile::exists(first));
        QCOMPARE(tree->property("mCurrentFile").toString(), QString());
        tree->setProperty("mMenuIndex", rowOf("New folder"));
        call(tree.get(), "deleteEntry");
        QVERIFY(!QDir(macroFolder() + "/New folder").exists());
        QCOMPARE(list->property("count").toInt(), 1);
        QVERIFY2(m_log->warnings().isEmpty(), qPrintable(m_log->warnings().join('\n')));
    }

    // An empty name is refused with a tip and nothing is renamed; a good name renames the file on disk.
    void libraryTreeRenames()
    {
        auto tree = make("KMacroFolder { width: 200; height: 300 }");
        QVERIFY(tree);
        call(tree.get(), "initReturnBtn");
        call(tree.get(), "createFile");
        QVariant result;
        QMetaObject::invokeMethod(tree.get(), "renameItem", Q_RETURN_ARG(QVariant, result), Q_ARG(QVariant, 0),
                                  Q_ARG(QVariant, "New macro"), Q_ARG(QVariant, "  "), Q_ARG(QVariant, false));
        QCOMPARE(result.toBool(), false);
        QVERIFY(QFile::exists(macroFolder() + "/New macro.json"));
        QMetaObject::invokeMethod(tree.get(), "renameItem", Q_RETURN_ARG(QVariant, result), Q_ARG(QVariant, 0),
                                  Q_ARG(QVariant, "New macro"), Q_ARG(QVariant, "Combo"), Q_ARG(QVariant, false));
        QCOMPARE(result.toBool(), true);
        QVERIFY(QFile::exists(macroFolder() + "/Combo.json"));
        QVERIFY(!QFile::exists(macroFolder() + "/New macro.json"));
    }

    // Recording takes each key pressed and let go (repeats left out) and saving writes them into the file; with
    // no macro open nothing is recorded.
    void editorRecordsIntoTheMacroFile()
    {
        auto editor = make("KMacroEditor { width: 300; height: 300 }");
        QVERIFY(editor);
        call(editor.get(), "startRecording");
        QCOMPARE(editor->property("mRecording").toBool(), false);

        auto tree = make("KMacroFolder {}");
        QVERIFY(tree);
        call(tree.get(), "initReturnBtn");
        call(tree.get(), "createFile");
        const QString path = macroFolder() + "/New macro.json";
        QVERIFY(QFile::exists(path));

        call(editor.get(), "loadFile", path);
        call(editor.get(), "startRecording");
        QVERIFY(editor->property("mRecording").toBool());
        const QVariantMap press{{"key", int(Qt::Key_A)}, {"nativeScanCode", 38}, {"isAutoRepeat", false}};
        QVariantMap repeat = press;
        repeat["isAutoRepeat"] = true;
        call(editor.get(), "recordKey", press, false);
        call(editor.get(), "recordKey", repeat, false);
        call(editor.get(), "recordKey", press, true);
        call(editor.get(), "save");
        QCOMPARE(editor->property("mRecording").toBool(), false);

        QJsonArray keys;
        for (const QJsonValue& event : eventsOf(path)) {
            if (event.toObject().value("type").toInt() == 0)
                keys.append(event);
        }
        QCOMPARE(keys.size(), 2);
        QCOMPARE(keys.at(0).toObject().value("isUp").toBool(), false);
        QCOMPARE(keys.at(1).toObject().value("isUp").toBool(), true);
        QVERIFY2(m_log->warnings().isEmpty(), qPrintable(m_log->warnings().join('\n')));
    }

    // The earlier number field reports a typed value as typed, out of any range: its user applies the bounds.
    void numberFieldPassesTypedValue()
    {
        auto field = make("KNumField { mValue: 5 }");
        QVERIFY(field);
        QObject* input = field->findChild<QObject*>("input");
        QVERIFY(input);
        QSignalSpy typed(field.get(), SIGNAL(inputValue(QVariant)));
        input->setProperty("text", "123456");
        QMetaObject::invokeMethod(input, "editingFinished");
        QCOMPARE(typed.count(), 1);
        QCOMPARE(typed.at(0).at(0).toInt(), 123456);
        // An untouched field sends nothing.
        input->setProperty("text", "5");
        QMetaObject::invokeMethod(input, "editingFinished");
        QCOMPARE(typed.count(), 1);
    }
};

QTEST_MAIN(TestEarlierDocuments)
#include "tst_earlierdocuments.moc"
