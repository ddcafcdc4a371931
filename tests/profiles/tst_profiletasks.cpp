#include "CoreTestDevice.h"
#include "QuenbyKeyboardFixture.h"
#include "JsonFiles.h"
#include "RecordingServices.h"

#include "common/ProgramFolders.h"
#include "devices/keyboard/FDeviceQuenby_8a.h"
#include "hid/HDeviceManager.h"
#include "hid/HWork.h"
#include "models/device/FOledModel.h"
#include "models/device/KImageModel.h"
#include "models/keys/HMacroName.h"
#include "models/keys/HMacroType.h"
#include "profiles/HConfigView.h"
#include "profiles/KConfigFileController.h"
#include "sim/keyboard/SimQuenbyKeyboard.h"
#include "TestWait.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

namespace {

const QString kFactory = QStringLiteral(":/common/newUI/Quenby_8a/Quenby_8ADefaultConfig.json");

void writeObject(const QString& path, const QJsonObject& object)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QJsonDocument(object).toJson());
}

QJsonObject without(QJsonObject object, const QStringList& members)
{
    for (const QString& member : members)
        object.remove(member);
    return object;
}

QDateTime parseStamp(const QString& text)
{
    return QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

} // namespace

// The profile routines against the simulated keyboard: the queue, the completions and the factory profile.
class TestProfileTasks : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void firstStartMakesTheDefaultProfile();
    void launchersCompleteInOrder();
    void refusedTaskReportsFailure();
    void noDeviceRefusesAtOnce();
    void resetRestoresDeviceAndProfile();
    void modelWithoutFactoryProfile();
    void deletingTheCurrentProfile();

private:
    // Waits until every launched routine has reached its completion.
    bool settle();

    QString mFolder;
    std::unique_ptr<QuenbyKeyboardFixture> mKeyboard;
    std::unique_ptr<RecordingServices> mServices;
    std::unique_ptr<KConfigFileController> mController;
    std::unique_ptr<HConfigView> mView;
    std::unique_ptr<HMacroName> mNames;
    std::unique_ptr<HMacroType> mType;
    std::unique_ptr<KImageModel> mImage;
};

void TestProfileTasks::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(ProgramFolders::configLocation().contains(QLatin1String(".qttest")));
}

void TestProfileTasks::init()
{
    QDir(ProgramFolders::configLocation()).removeRecursively();
    mFolder = ProgramFolders::profileRoot() + "/ZEPHRA";
    mKeyboard = std::make_unique<QuenbyKeyboardFixture>();
    QVERIFY(mKeyboard->openDevice());
    mServices = std::make_unique<RecordingServices>();
    mController = std::make_unique<KConfigFileController>();
    mView = std::make_unique<HConfigView>();
    mNames = std::make_unique<HMacroName>();
    mType = std::make_unique<HMacroType>();
    mImage = std::make_unique<KImageModel>();
    mImage->setVersion("300");
    mServices->setConfigFileController(mController.get());
    mServices->setConfigView(mView.get());
    mServices->setMacroName(mNames.get());
    mServices->setMacroType(mType.get());
    mServices->setImageModel(mImage.get());
}

void TestProfileTasks::cleanup()
{
    QVERIFY(settle());
    mImage.reset();
    mType.reset();
    mNames.reset();
    mView.reset();
    mController.reset();
    mServices.reset();
    mKeyboard.reset();
    HDeviceManager::instance()->setFactory({});
}

bool TestProfileTasks::settle()
{
    return QTest::qWaitFor([this] { return mServices->open() == 0 && HWork::pendingCount() == 0; }, TestWait::kBoundMs);
}

void TestProfileTasks::firstStartMakesTheDefaultProfile()
{
    QCOMPARE(mController->profileFolder(), mFolder);
    QVERIFY(QDir().mkpath(mFolder));
    mView->initFromFile();
    QCOMPARE(mView->getItemValue(), 1);

    // The device's default profile, in the device's folder, filled from the factory profile.
    mView->deviceDataChanged();
    const QString path = mFolder + "/Default configuration.json";
    QVERIFY(QFile::exists(path));
    const QDateTime created = QFileInfo(path).lastModified();
    QVERIFY(settle());
    QVERIFY(!QFile::exists(ProgramFolders::profileRoot() + "/Default configuration.json"));
    QCOMPARE(mView->items().at(1).text, QString("Default configuration"));

    const QJsonObject profile = readJsonObject(path);
    const QJsonObject factory = readJsonObject(kFactory);
    QCOMPARE(without(profile, {"createAt", "updateAt"}), without(factory, {"createAt", "updateAt"}));
    QVERIFY(qAbs(parseStamp(profile.value("updateAt").toString()).secsTo(created)) <= 1);
    QVERIFY(qAbs(parseStamp(profile.value("createAt").toString()).secsTo(created)) <= 1);
    QCOMPARE(mServices->tips, QStringList());

    // Asking again keeps the profile as it is.
    writeObject(path, QJsonObject {{"mine", true}});
    mView->deviceDataChanged();
    QVERIFY(settle());
    QCOMPARE(readJsonObject(path), (QJsonObject {{"mine", true}}));
}

void TestProfileTasks::launchersCompleteInOrder()
{
    QVERIFY(QDir().mkpath(mFolder));
    const QString good = mFolder + "/Good.json";
    const QString broken = mFolder + "/Broken.json";
    const QString fresh = mFolder + "/Fresh.json";
    writeObject(good, readJsonObject(kFactory));
    QFile brokenFile(broken);
    QVERIFY(brokenFile.open(QIODevice::WriteOnly));
    brokenFile.write("{ not json");
    brokenFile.close();
    writeObject(fresh, QJsonObject {{"configVersion", 2}});
    mKeyboard->bus()->bus()->clearTranscript();

    mController->readConfigData(good);
    mController->readConfigData(broken);
    mController->createMouseConfig(fresh);
    mController->saveMouseData(broken, 1, 14);
    QCOMPARE(mServices->loadingStarts, 4);

    // One routine at a time: never more than one of them is out on the pool.
    int mostPending = 0;
    QVERIFY(QTest::qWaitFor(
        [&] {
            mostPending = qMax(mostPending, HWork::pendingCount());
            return mServices->open() == 0;
        },
        TestWait::kBoundMs));
    QCOMPARE(mostPending, 1);
    QCOMPARE(mServices->tips,
             (QStringList {"0:Successfully read the current configuration page",
                           "1:Failed to read the current configuration page configuration",
                           "1:Failed to keep the current device configuration"}));
    QCOMPARE(mServices->events, QStringList {"device_reset/reset/fail"});
    QCOMPARE(mServices->warnings, QList<int> {1});
    QCOMPARE(readJsonObject(fresh).value("deviceName").toString(), QString("ZEPHRA"));
    QString why;
    QVERIFY2(SimBus::checkNoInterleaving(mKeyboard->bus()->bus()->transcript(), &why), qPrintable(why));
}

void TestProfileTasks::refusedTaskReportsFailure()
{
    QVERIFY(QDir().mkpath(mFolder));
    const QString good = mFolder + "/Good.json";
    writeObject(good, readJsonObject(kFactory));

    mController->readConfigData(good);
    mController->readConfigData(good);
    // The device leaves while the first routine is out: the second is refused, and says so.
    HDeviceManager::instance()->getDevice(-1)->setRemoved(true);
    QVERIFY(settle());
    QCOMPARE(mServices->tips.size(), 2);
    QCOMPARE(mServices->tips.at(1), QString("1:Failed to read the current configuration page configuration"));
    QCOMPARE(mServices->warnings.size(), 1);
    QCOMPARE(mServices->loadingStarts, 2);
    QCOMPARE(mServices->loadingStops, 2);
}

void TestProfileTasks::noDeviceRefusesAtOnce()
{
    QVERIFY(mKeyboard->removeDevice());
    QVERIFY(!mController->setDefaultFlash());
    QVERIFY(!mController->setDefaultConfig());
    QCOMPARE(mServices->events, QStringList {"device_reset/get_defaultpath/fail"});
    QVERIFY(settle());
    QCOMPARE(mServices->loadingStarts, 1);
    QCOMPARE(mServices->loadingStops, 1);
    // Without a device there is no profile folder, and nothing is created in the root.
    QCOMPARE(mController->profileFolder(), QString());
    mView->deviceDataChanged();
    QVERIFY(!QFileInfo::exists(ProgramFolders::profileRoot()));
}

void TestProfileTasks::resetRestoresDeviceAndProfile()
{
    SimQuenbyKeyboard factoryKeyboard;
    SimQuenbyKeyboard* keyboard = mKeyboard->keyboard();
    keyboard->setKeyFunctionAt(0, SimQuenbyKeyboard::defaultKeyFunctionAt(1));
    QVERIFY(keyboard->keyFunctions() != factoryKeyboard.keyFunctions());

    QVERIFY(QDir().mkpath(mFolder));
    const QString mine = mFolder + "/Mine.json";
    writeObject(mine, QJsonObject {{"configVersion", 2}, {"mine", true}});
    const QDateTime saved = QFileInfo(mine).lastModified();
    mServices->configPath = "Mine.json";
    // The screen page shows the factory mode again.
    FOledModel oled;
    oled.setOledMode(3);
    mServices->setOledModel(&oled);
    QSignalSpy modeChanged(&oled, &FOledModel::oledModeChanged);

    QVERIFY(mController->setDefaultConfig());
    QVERIFY(settle());
    QCOMPARE(mServices->tips, QStringList {"0:Factory settings restored successfully"});
    QCOMPARE(keyboard->keyFunctions(), factoryKeyboard.keyFunctions());
    QCOMPARE(oled.oledMode(), 1);
    QCOMPARE(modeChanged.count(), 1);
    mServices->setOledModel(nullptr);

    const QJsonObject profile = readJsonObject(mine);
    const QJsonObject factory = readJsonObject(kFactory);
    QCOMPARE(without(profile, {"updateAt", "fwVersion"}), without(factory, {"updateAt", "fwVersion"}));
    QCOMPARE(profile.value("createAt"), factory.value("createAt"));
    QVERIFY(qAbs(parseStamp(profile.value("updateAt").toString()).secsTo(saved)) <= 1);
    QCOMPARE(profile.value("fwVersion").toInt(-1), 300);

    // A device whose version reads -1 leaves the profile as it is.
    writeObject(mine, QJsonObject {{"mine", true}});
    mImage->setVersion("-1");
    QVERIFY(!mController->resetMouseConfigFile(mine));
    QCOMPARE(readJsonObject(mine), (QJsonObject {{"mine", true}}));
    // A version that is no number is stored as 0.
    mImage->setVersion("abc");
    QVERIFY(mController->resetMouseConfigFile(mine));
    QCOMPARE(readJsonObject(mine).value("fwVersion").toInt(-1), 0);
}

void TestProfileTasks::modelWithoutFactoryProfile()
{
    QVERIFY(mKeyboard->removeDevice());
    HDeviceManager::instance()->setFactory([](int pid) { return new CoreTestDevice(pid); });
    QVERIFY(HDeviceManager::instance()->createDevice(7));
    QVERIFY(QDir().mkpath(mFolder));
    const QString path = mFolder + "/Mine.json";
    writeObject(path, QJsonObject {{"mine", true}});

    QVERIFY(!mController->setDefaultConfig());
    QCOMPARE(mServices->loadingStarts, 0);
    QCOMPARE(mServices->events, QStringList {"device_reset/get_defaultpath/fail"});

    QVERIFY(!mController->resetMouseConfigFile(path));
    QVERIFY(!mController->createMouseConfigFile(path));
    mController->createMouseConfig(path);
    QVERIFY(settle());
    QCOMPARE(readJsonObject(path), (QJsonObject {{"mine", true}}));
    QCOMPARE(mServices->events.size(), 2);

    KBaseDevice* device = HDeviceManager::instance()->getDevice(7);
    device->setRemoved(true);
    HDeviceManager::instance()->removeDevice(7);
    WAIT_COMPARE(CoreTestDevice::liveCount(), 0);
}

void TestProfileTasks::deletingTheCurrentProfile()
{
    QVERIFY(mController->createConfig(mFolder, "Mine"));
    QVERIFY(mController->createConfig(mFolder, "Other"));
    QVERIFY(settle());
    mServices->configPath = "Mine.json";
    QCOMPARE(mController->currentProfilePath(), mFolder + "/Mine.json");

    // The profile the device is set to stays; any other goes.
    QVERIFY(!mController->deleteConfigFile(mFolder + "/Mine.json"));
    QVERIFY(QDir().mkpath(mFolder + "/sub"));
    QVERIFY(!mController->deleteConfigFile(mFolder + "/sub/../Mine.json"));
    QCOMPARE(readJsonObject(mFolder + "/Mine.json").value("deviceName").toString(), QString("ZEPHRA"));
    QVERIFY(mController->deleteConfigFile(mFolder + "/Other.json"));
    QVERIFY(!QFile::exists(mFolder + "/Other.json"));
    QCOMPARE(mServices->configPath, QString("Mine.json"));
}

QTEST_MAIN(TestProfileTasks)
#include "tst_profiletasks.moc"
