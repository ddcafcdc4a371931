#include "RecordingServices.h"

#include "app/UIManager.h"
#include "common/ProgramFolders.h"
#include "profiles/HConfigModel.h"
#include "profiles/HConfigView.h"
#include "profiles/KConfigFileController.h"

#include <QAbstractItemModelTester>
#include <QImage>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

namespace {

void touch(const QString& path, const QByteArray& content = "{}")
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QStringList texts(const HConfigView& view)
{
    QStringList out;
    for (const HConfigViewItem& item : view.items())
        out << item.text;
    return out;
}

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

// A device's profile folder below the test profile root, a list and the controller behind it.
class TestConfigView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void listFromFolder_data();
    void listFromFolder();
    void missingFolderKeepsTheList();
    void indexesOutsideTheList();
    void insertionLimitAndNames();
    void currentProfileIndex();
    void picturesForProfilesWithout();
    void pictureThatCannotBeRead();
    void rename_data();
    void rename();
    void renameMovesThePicture();
    void modelFollowsTheView();
    void modelWithoutView();
    void qmlTypes();

private:
    void fill(const QStringList& files);
    QString mFolder;
    std::unique_ptr<RecordingServices> mServices;
    std::unique_ptr<KConfigFileController> mController;
    std::unique_ptr<HConfigView> mView;
};

void TestConfigView::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(ProgramFolders::profileRoot().contains(QLatin1String(".qttest")));
}

void TestConfigView::init()
{
    mFolder = ProgramFolders::profileRoot() + "/ZEPHRA";
    QDir(ProgramFolders::profileRoot()).removeRecursively();
    QVERIFY(QDir().mkpath(mFolder));
    mServices = std::make_unique<RecordingServices>();
    mController = std::make_unique<KConfigFileController>();
    mView = std::make_unique<HConfigView>();
    mServices->setConfigFileController(mController.get());
    mServices->setConfigView(mView.get());
}

void TestConfigView::cleanup()
{
    mView.reset();
    mController.reset();
    mServices.reset();
}

void TestConfigView::fill(const QStringList& files)
{
    for (const QString& file : files)
        touch(mFolder + "/" + file);
}

void TestConfigView::listFromFolder_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("pictures");

    const QString url = "file:///" + ProgramFolders::profileRoot() + "/ZEPHRA/";
    // A profile whose picture is missing is listed all the same; the list shows the default picture for it.
    QTest::newRow("profiles with and without a picture")
        << QStringList {"Default configuration.json",
                        "Default configuration.png",
                        "b.json",
                        "b.png",
                        "A.json",
                        "A.png",
                        "c.json"}
        << QStringList {"*", "Default configuration", "A", "b", "c"}
        << QStringList {"", url + "Default configuration.png", url + "A.png", url + "b.png", ""};
    QTest::newRow("the default profile is listed without its picture")
        << QStringList {"Default configuration.json"} << QStringList {"*", "Default configuration"}
        << QStringList {"", ""};
    QTest::newRow("a picture alone is no profile")
        << QStringList {"z.png", "notes.txt"} << QStringList {"*"} << QStringList {""};
}

void TestConfigView::listFromFolder()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, pictures);
    fill(files);

    QSignalSpy reset(mView.get(), &HConfigView::postResetItems);
    mView->initFromFile(mFolder);
    QCOMPARE(reset.size(), 1);
    QCOMPARE(texts(*mView), shown);
    QStringList images;
    for (const HConfigViewItem& item : mView->items())
        images << item.image;
    QCOMPARE(images, pictures);
}

void TestConfigView::missingFolderKeepsTheList()
{
    fill({"A.json", "A.png"});
    mView->initFromFile(mFolder);
    QSignalSpy reset(mView.get(), &HConfigView::preResetItems);

    mView->initFromFile(mFolder + "/missing");
    // Without a device there is no profile folder to read.
    mView->initFromFile();
    QCOMPARE(reset.size(), 0);
    QCOMPARE(texts(*mView), (QStringList {"*", "A"}));
}

void TestConfigView::indexesOutsideTheList()
{
    QCOMPARE(mView->getItemText(0), QString());
    QCOMPARE(mView->getItemText(-1), QString());

    fill({"A.json", "A.png"});
    mView->initFromFile(mFolder);
    QCOMPARE(mView->getItemText(-1), QString());
    QCOMPARE(mView->getItemText(1), QString("A"));
    QCOMPARE(mView->getItemText(2), QString("A"));
    QCOMPARE(mView->getItemText(3), QString());
    QVERIFY(!mView->changedItemAt(2, "x", false, ""));
    QVERIFY(!mView->changedItemAt(-1, "x", false, ""));
    QVERIFY(!mView->fileIsFolder(-1));
    QVERIFY(!mView->fileIsFolder(1));

    QSignalSpy deleted(mView.get(), &HConfigView::preItemDeleted);
    mView->deleteItemAt(-1);
    mView->deleteItemAt(2);
    QCOMPARE(deleted.size(), 0);
    mView->deleteItemAt(1);
    QCOMPARE(texts(*mView), (QStringList {"*"}));
}

void TestConfigView::insertionLimitAndNames()
{
    QVERIFY(mView->insertItemAt("New configuration 3.json"));
    QCOMPARE(mView->items().constLast(),
             (HConfigViewItem {"New configuration 3", false, "qrc:/common/newUI/configPic1.png"}));
    QVERIFY(mView->insertItemAt("Mouse.old", 0));
    QCOMPARE(mView->getItemText(0), QString("Mouse"));

    while (mView->getItemValue() < HConfigView::kMaxItems)
        QVERIFY(mView->insertItemAt("filler"));
    QSignalSpy inserted(mView.get(), &HConfigView::preItemInserted);
    QVERIFY(!mView->insertItemAt("one more"));
    QCOMPARE(inserted.size(), 0);
    QCOMPARE(mView->getItemValue(), 50);
}

void TestConfigView::currentProfileIndex()
{
    fill({"Default configuration.json", "b.json", "b.png"});
    mView->initFromFile(mFolder);
    mServices->configPath = "b.json";
    QCOMPARE(mView->getItemIndex(), 2);
    mServices->configPath = "Default configuration.json";
    QCOMPARE(mView->getItemIndex(), 1);
    mServices->configPath = "gone.json";
    QCOMPARE(mView->getItemIndex(), 0);
}

void TestConfigView::picturesForProfilesWithout()
{
    const QString source = mFolder + "/../source.png";
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    QVERIFY(image.save(source));
    fill({"Default configuration.json", "A.json", "A.png", "B.json"});
    touch(mFolder + "/B.png", QByteArray());
    mView->initFromFile(mFolder);
    QVERIFY(mView->insertItemAt("New configuration.json"));

    QVERIFY(mView->savePicture(source, mFolder + "/"));
    QVERIFY(!QImage(mFolder + "/Default configuration.png").isNull());
    // An empty picture file left behind earlier is replaced.
    QVERIFY(!QImage(mFolder + "/B.png").isNull());
    QVERIFY(!QImage(mFolder + "/New configuration.png").isNull());
    // A picture that is there stays as it is.
    QCOMPARE(contentOf(mFolder + "/A.png"), QByteArray("{}"));

    QVERIFY(mView->savePicture("qrc:/missing.png", mFolder + "/", "A") == false);
    QCOMPARE(contentOf(mFolder + "/A.png"), QByteArray("{}"));
    QVERIFY(mView->savePicture("file://" + source, mFolder + "/", "A"));
    QVERIFY(!QImage(mFolder + "/A.png").isNull());
}

void TestConfigView::pictureThatCannotBeRead()
{
    touch(mFolder + "/../empty.png", QByteArray());
    fill({"Default configuration.json"});
    mView->initFromFile(mFolder);

    // An empty or unreadable picture writes nothing, not even an empty file.
    QVERIFY(!mView->savePicture(mFolder + "/../empty.png", mFolder + "/"));
    QVERIFY(!mView->savePicture(mFolder + "/../empty.png", mFolder + "/", "Mine"));
    QVERIFY(!mView->writePictureFile(mFolder + "/Mine.png", QByteArray()));
    QVERIFY(!QFile::exists(mFolder + "/Default configuration.png"));
    QVERIFY(!QFile::exists(mFolder + "/Mine.png"));
    // A later good picture is still written.
    QVERIFY(mView->writePictureFile(mFolder + "/Mine.png", QByteArray("png")));
    QCOMPARE(contentOf(mFolder + "/Mine.png"), QByteArray("png"));
}

void TestConfigView::rename_data()
{
    QTest::addColumn<QString>("newName");
    QTest::addColumn<QString>("tip");

    QTest::newRow("empty") << ""
                           << "1:The profile name cannot be empty";
    QTest::newRow("blank") << "   "
                           << "1:The profile name cannot be empty";
    QTest::newRow("listed") << "b"
                            << "1:The profile name cannot be the same";
    QTest::newRow("file without picture") << "c"
                                          << "1:The profile name cannot be the same";
    QTest::newRow("separator") << "x/y"
                               << "1:The profile name is not valid";
    QTest::newRow("backslash") << "x\\y"
                               << "1:The profile name is not valid";
    QTest::newRow("dot dot") << ".."
                             << "1:The profile name is not valid";
    QTest::newRow("too long") << QString(251, QLatin1Char('a')) << "1:The profile name is not valid";
    QTest::newRow("control character") << "a\nb"
                                       << "1:The profile name is not valid";
    QTest::newRow("accepted") << "Shooter"
                              << "";
}

void TestConfigView::rename()
{
    QFETCH(QString, newName);
    QFETCH(QString, tip);
    fill({"A.json", "A.png", "b.json", "b.png", "c.json"});
    mView->initFromFile(mFolder);
    mServices->configPath = "b.json";
    const QVector<HConfigViewItem> before = mView->items();
    QSignalSpy renamed(mView.get(), &HConfigView::updateCurrentFileName);

    const bool ok = mView->setCurrentConfigName(mFolder + "/A", newName, "file:///x.png", 1);
    QCOMPARE(ok, tip.isEmpty());
    if (!ok) {
        QCOMPARE(mServices->tips, QStringList {tip});
        QCOMPARE(mView->items(), before);
        QCOMPARE(mServices->configPath, QString("b.json"));
        QCOMPARE(renamed.size(), 0);
        QVERIFY(QFile::exists(mFolder + "/A.json") && QFile::exists(mFolder + "/A.png"));
        return;
    }
    QVERIFY(mServices->tips.isEmpty());
    QCOMPARE(mView->items().at(1), (HConfigViewItem {newName, false, "file:///x.png"}));
    QCOMPARE(mServices->configPath, newName + ".json");
    QCOMPARE(renamed.size(), 1);
    QVERIFY(!QFile::exists(mFolder + "/A.json") && !QFile::exists(mFolder + "/A.png"));
    QVERIFY(QFile::exists(mFolder + "/" + newName + ".json") && QFile::exists(mFolder + "/" + newName + ".png"));
}

void TestConfigView::renameMovesThePicture()
{
    fill({"A.json", "A.png", "Default configuration.json"});
    mView->initFromFile(mFolder);

    // The placeholder and rows outside the list name no profile.
    QVERIFY(!mView->setCurrentConfigName(mFolder + "/A", "B", "", 0));
    QVERIFY(!mView->setCurrentConfigName(mFolder + "/A", "B", "", 3));
    // A profile outside the profile folders is never touched.
    touch(mFolder + "/../../outside.json");
    QVERIFY(!mView->setCurrentConfigName(mFolder + "/../../outside", "B", "", 2));
    QVERIFY(QFile::exists(mFolder + "/../../outside.json"));
    QCOMPARE(mServices->tips,
             (QStringList {"1:Failed to rename the profile", "1:Failed to rename the profile",
                           "1:Failed to rename the profile"}));

    // A page that renamed the files itself gets the list and the current profile updated.
    QVERIFY(QFile::rename(mFolder + "/A.json", mFolder + "/Z.json"));
    QVERIFY(QFile::rename(mFolder + "/A.png", mFolder + "/Z.png"));
    QVERIFY(mView->setCurrentConfigName(mFolder + "/A", "Z", "file:///Z.png", 2));
    QCOMPARE(mView->items().at(2).text, QString("Z"));
    QCOMPARE(mServices->configPath, QString("Z.json"));

    // The default profile has no picture: only its document is renamed.
    QVERIFY(mView->setCurrentConfigName(mFolder + "/Default configuration", "Mine", "", 1));
    QVERIFY(QFile::exists(mFolder + "/Mine.json"));
    QVERIFY(!QFile::exists(mFolder + "/Mine.png"));
}

void TestConfigView::modelFollowsTheView()
{
    HConfigModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    model.setConfigView(mView.get());
    QCOMPARE(reset.size(), 1);

    fill({"A.json", "A.png"});
    mView->initFromFile(mFolder);
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.data(model.index(1), HConfigModel::TextRole).toString(), QString("A"));
    QCOMPARE(model.data(model.index(1), HConfigModel::IsDirRole).toBool(), false);
    QVERIFY(model.data(model.index(1), HConfigModel::ImageRole).toString().endsWith("/ZEPHRA/A.png"));
    QVERIFY(!model.data(model.index(1), Qt::DisplayRole).isValid());

    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    mView->insertItemAt("B.json");
    mView->deleteItemAt(0);
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(inserted.at(0).at(1).toInt(), 2);
    QCOMPARE(removed.size(), 1);
    QCOMPARE(model.rowCount(), 2);

    const QHash<int, QByteArray> roles = model.roleNames();
    QCOMPARE(roles.value(257), QByteArray("text"));
    QCOMPARE(roles.value(258), QByteArray("isDir"));
    QCOMPARE(roles.value(259), QByteArray("image"));

    // A view that goes away leaves an empty model.
    mView.reset();
    QCOMPARE(model.rowCount(), 0);
}

void TestConfigView::modelWithoutView()
{
    HConfigModel model;
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(!model.data(model.index(0), HConfigModel::TextRole).isValid());

    model.setConfigView(mView.get());
    mView->insertItemAt("A.json");
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    model.setConfigView(nullptr);
    QCOMPARE(reset.size(), 1);
    QCOMPARE(model.rowCount(), 0);
    // The old view no longer reaches the model.
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    mView->insertItemAt("B.json");
    QCOMPARE(inserted.size(), 0);
    // An index kept from before the list shrank gives nothing.
    model.setConfigView(mView.get());
    const QModelIndex stale = model.index(1);
    QVERIFY(stale.isValid());
    mView->deleteItemAt(1);
    mView->deleteItemAt(0);
    QVERIFY(!model.data(stale, HConfigModel::TextRole).isValid());
}

void TestConfigView::qmlTypes()
{
    UIManager manager;
    QQmlEngine engine;
    engine.rootContext()->setContextProperty("h_configView", mView.get());
    QQmlComponent component(&engine);
    component.setData("import QtQml 2.15\nimport Model 1.0\nHConfigModel { configView: h_configView }", QUrl());
    std::unique_ptr<QObject> object(component.create());
    QVERIFY2(object, qPrintable(component.errorString()));
    auto* model = qobject_cast<HConfigModel*>(object.get());
    QVERIFY(model);
    QCOMPARE(model->configView(), mView.get());

    QQmlComponent view(&engine);
    view.setData("import QtQml 2.15\nimport Model 1.0\nHConfigview {}", QUrl());
    // The list itself is known to QML but made only by the program.
    QTest::ignoreMessage(QtWarningMsg, "QQmlComponent: Component is not ready");
    QVERIFY(!view.create());
    QVERIFY(view.isError());
}

QTEST_MAIN(TestConfigView)
#include "tst_configview.moc"
