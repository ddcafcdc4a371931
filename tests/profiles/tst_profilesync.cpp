#include "LogCapture.h"
#include "QuenbyKeyboardFixture.h"
#include "RecordingServices.h"

#include "common/ProgramFolders.h"
#include "devices/keyboard/Quenby8aKeyTable.h"
#include "hid/HDeviceManager.h"
#include "hid/KBaseDevice.h"
#include "hid/HWork.h"
#include "models/device/FKeyLightModel.h"
#include "models/device/FKeyLightModelItem.h"
#include "models/device/KDpiModel.h"
#include "models/device/KImageModel.h"
#include "models/device/KLightModel.h"
#include "models/device/KLightModelItem.h"
#include "models/device/KReportModel.h"
#include "models/keys/HMacroName.h"
#include "models/keys/HMacroType.h"
#include "models/keys/KKey.h"
#include "models/keys/KKeyModel.h"
#include "models/keys/KKeyModelItem.h"
#include "profiles/KConfigFileController.h"
#include "sim/keyboard/SimQuenbyKeyboard.h"
#include "TestWait.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

const QString kFactory = QStringLiteral(":/common/newUI/Quenby_8a/Quenby_8ADefaultConfig.json");

QJsonObject readObject(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QJsonObject();
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    return QJsonDocument::fromJson(bytes).object();
}

bool writeObject(const QString& path, const QJsonObject& object)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(QJsonDocument(object).toJson()) > 0;
}

QJsonObject without(QJsonObject object, const QStringList& members)
{
    for (const QString& member : members)
        object.remove(member);
    return object;
}

// The key entry of key in a profile's "key" array replaced by entry.
void setKeyEntry(QJsonObject& profile, int key, const QJsonObject& entry)
{
    QJsonArray keys = profile.value("key").toArray();
    for (int i = 0; i < keys.size(); ++i) {
        if (keys.at(i).toObject().value("key").toInt() == key)
            keys.replace(i, entry);
    }
    profile.insert("key", keys);
}

QString combinationText(int mask, int usage)
{
    return QString::fromUtf8(QJsonDocument(QJsonObject{{"value1", mask}, {"value2", usage}}).toJson());
}

QJsonObject macroValue(const QString& name)
{
    const QJsonArray events{QJsonObject{{"type", 0}, {"value1", 4}, {"value2", 0}, {"isUp", false}, {"text", "A"}},
                            QJsonObject{{"type", 0}, {"value1", 4}, {"value2", 0}, {"isUp", true}, {"text", "A"}}};
    return QJsonObject{{"list", events}, {"ignoreTime", false}, {"playType", "1"}, {"times", 1}, {"macroName", name}};
}

// Keys the mixed profile sets to something other than their factory function.
constexpr int kComboKey = 40;
constexpr int kUsageKey = 41;
constexpr int kMacroKey = 50;

// The factory profile with a key combination (Ctrl+Alt+A, kept as its modifier function), a keyboard key that
// the keyboard has no function of its own for, and a macro key.
QJsonObject mixedProfile()
{
    QJsonObject profile = readObject(kFactory);
    setKeyEntry(profile, kComboKey,
                {{"key", kComboKey}, {"funcIndex", modifierMaskToFunction(KMaskCtrl | KMaskAlt)},
                 {"value1", combinationText(KMaskCtrl | KMaskAlt, 0x04)}});
    setKeyEntry(profile, kUsageKey, {{"key", kUsageKey}, {"funcIndex", 42}, {"value1", 0x32}});
    setKeyEntry(profile, kMacroKey, {{"key", kMacroKey}, {"funcIndex", 29}, {"value1", macroValue("mine")}});
    return profile;
}

} // namespace

using KeyboardChange = std::function<void(SimQuenbyKeyboard*)>;
Q_DECLARE_METATYPE(KeyboardChange)

// Saving the keyboard's state into a profile, applying a profile to it and to the user-interface models, and
// comparing the two, on the simulated keyboard.
class TestProfileSync : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void factoryRoundTrip();
    void macroWithoutFileKeepsItsEntry();
    void oneChangeIsFound_data();
    void oneChangeIsFound();
    void oneSectionSave_data();
    void oneSectionSave();
    void failedReadWritesNothing();
    void failureAtEachRegister();
    void profileShownInModels();

private:
    bool settle();
    // Runs the routine and waits for its completion; the tips it gave.
    QStringList run(const std::function<void()>& routine);
    // The difference lines the comparison of path logged, and whether it signalled.
    QStringList compare(const QString& path, bool* signalled);

    QString mFolder;
    QString mPath;
    std::unique_ptr<QuenbyKeyboardFixture> mKeyboard;
    std::unique_ptr<RecordingServices> mServices;
    std::unique_ptr<KConfigFileController> mController;
    std::unique_ptr<HMacroName> mNames;
    std::unique_ptr<HMacroType> mType;
    std::unique_ptr<KImageModel> mImage;
};

void TestProfileSync::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(ProgramFolders::configLocation().contains(QLatin1String(".qttest")));
}

void TestProfileSync::init()
{
    QDir(ProgramFolders::configLocation()).removeRecursively();
    mFolder = ProgramFolders::profileRoot() + "/ZEPHRA";
    QVERIFY(QDir().mkpath(mFolder));
    mPath = mFolder + "/Mine.json";
    mKeyboard = std::make_unique<QuenbyKeyboardFixture>();
    QVERIFY(mKeyboard->openDevice());
    mServices = std::make_unique<RecordingServices>();
    mController = std::make_unique<KConfigFileController>();
    mNames = std::make_unique<HMacroName>();
    mType = std::make_unique<HMacroType>();
    mImage = std::make_unique<KImageModel>();
    mServices->setConfigFileController(mController.get());
    mServices->setMacroName(mNames.get());
    mServices->setMacroType(mType.get());
    mServices->setImageModel(mImage.get());
}

void TestProfileSync::cleanup()
{
    QVERIFY(settle());
    mImage.reset();
    mType.reset();
    mNames.reset();
    mController.reset();
    mServices.reset();
    mKeyboard.reset();
}

bool TestProfileSync::settle()
{
    return QTest::qWaitFor([this] { return mServices->open() == 0 && HWork::pendingCount() == 0; }, TestWait::kBoundMs);
}

QStringList TestProfileSync::run(const std::function<void()>& routine)
{
    mServices->clear();
    routine();
    if (!settle())
        return {"not settled"};
    return mServices->tips;
}

QStringList TestProfileSync::compare(const QString& path, bool* signalled)
{
    LogCapture log;
    QSignalSpy spy(mController.get(), &KConfigFileController::sendSignalToUser);
    run([&] { mController->contrastMouseData(path); });
    *signalled = QTest::qWaitFor([&] { return spy.count() > 0; }, 50) || spy.count() > 0;
    QStringList found;
    for (const QString& line : log.lines()) {
        if ((line.contains("contrastMouseConfig") || line.contains("constrastMouseConfig")) && !line.contains("contrastMouseConfig success"))
            found << line;
    }
    return found;
}

void TestProfileSync::factoryRoundTrip()
{
    const QJsonObject factory = readObject(kFactory);
    QVERIFY(writeObject(mPath, factory));
    // A keyboard whose keys, lights and key levels are all changed.
    SimQuenbyKeyboard* keyboard = mKeyboard->keyboard();
    keyboard->setKeyFunctionAt(0, SimKeyFunction::disabled());
    keyboard->setRegister(SimQuenby::kRegLightBrightness, 1);
    keyboard->setMemory(SimQuenby::kRegKeyBrightness, QByteArray(SimQuenby::kKeyBrightnessSize, char(50)));

    QCOMPARE(run([&] { mController->readConfigData(mPath); }),
             QStringList {"0:Successfully read the current configuration page"});
    const SimQuenbyKeyboard factoryKeyboard;
    QCOMPARE(keyboard->keyFunctions(), factoryKeyboard.keyFunctions());
    QCOMPARE(keyboard->memory(SimQuenby::kRegKeyBrightness, SimQuenby::kKeyBrightnessSize),
             factoryKeyboard.memory(SimQuenby::kRegKeyBrightness, SimQuenby::kKeyBrightnessSize));
    for (quint32 reg : {SimQuenby::kRegLightMode, SimQuenby::kRegLightBrightness, SimQuenby::kRegLightSpeed,
                        SimQuenby::kRegLightModeCopy, SimQuenby::kRegLightBrightnessCopy, SimQuenby::kRegLightSpeedCopy})
        QCOMPARE(keyboard->registerValue(reg), factoryKeyboard.registerValue(reg));

    // Saved back, the profile is the factory profile apart from its time and the firmware version.
    QCOMPARE(run([&] { mController->saveMouseData(mPath, false); }),
             QStringList {"0:Successfully reserved the current device configuration"});
    const QJsonObject saved = readObject(mPath);
    QCOMPARE(without(saved, {"updateAt", "fwVersion"}), without(factory, {"updateAt", "fwVersion"}));
    QVERIFY(saved.value("fwVersion").toInt() > 0);

    bool signalled = true;
    QCOMPARE(compare(mPath, &signalled), QStringList());
    QVERIFY(!signalled);
}

void TestProfileSync::macroWithoutFileKeepsItsEntry()
{
    const QJsonObject profile = mixedProfile();
    QVERIFY(writeObject(mPath, profile));
    QCOMPARE(run([&] { mController->readConfigData(mPath); }),
             QStringList {"0:Successfully read the current configuration page"});
    QCOMPARE(mKeyboard->keyboard()->keyFunctionOfKey(kComboKey), SimKeyFunction::combination(KMaskCtrl | KMaskAlt, 4));
    QCOMPARE(mKeyboard->keyboard()->keyFunctionOfKey(kUsageKey), SimKeyFunction::key(0x32));

    // The program knows no file for the macro the device plays: the save keeps the profile's macro.
    QCOMPARE(run([&] { mController->saveMouseData(mPath, false); }),
             QStringList {"0:Successfully reserved the current device configuration"});
    QCOMPARE(without(readObject(mPath), {"updateAt", "fwVersion"}), without(profile, {"updateAt", "fwVersion"}));

    // Kept for a restore, a macro key keeps its function and loses its macro.
    QCOMPARE(run([&] { mController->saveMouseData(mPath, true); }),
             QStringList {"0:Successfully reserved the current device configuration"});
    for (const QJsonValue& value : readObject(mPath).value("key").toArray()) {
        if (value.toObject().value("key").toInt() == kMacroKey)
            QCOMPARE(value.toObject(), (QJsonObject {{"key", kMacroKey}, {"funcIndex", 29}, {"value1", ""}}));
    }
}

void TestProfileSync::oneChangeIsFound_data()
{
    using Change = KeyboardChange;
    QTest::addColumn<Change>("change");
    QTest::addColumn<QString>("difference");

    auto at = [](int key) { return Quenby8a::positionOfKey(key); };
    QTest::newRow("one key") << Change([at](SimQuenbyKeyboard* k) {
        k->setKeyFunctionAt(at(30), SimKeyFunction::disabled());
    }) << "constrastMouseConfig mouseType";
    QTest::newRow("first key entry") << Change([at](SimQuenbyKeyboard* k) {
        k->setKeyFunctionAt(at(14), SimKeyFunction::disabled());
    }) << "constrastMouseConfig mouseType";
    QTest::newRow("combination, other key") << Change([at](SimQuenbyKeyboard* k) {
        k->setKeyFunctionAt(at(kComboKey), SimKeyFunction::combination(KMaskCtrl | KMaskAlt, 0x05));
    }) << "contrastMouseConfig keyCompositeKey";
    QTest::newRow("combination, other modifiers") << Change([at](SimQuenbyKeyboard* k) {
        k->setKeyFunctionAt(at(kComboKey), SimKeyFunction::combination(KMaskCtrl, 0x04));
    }) << "constrastMouseConfig mouseType";
    QTest::newRow("keyboard key usage") << Change([at](SimQuenbyKeyboard* k) {
        k->setKeyFunctionAt(at(kUsageKey), SimKeyFunction::key(0x47));
    }) << "contrastMouseConfig keyBoardKey";
    QTest::newRow("macro key") << Change([at](SimQuenbyKeyboard* k) {
        k->setKeyFunctionAt(at(kMacroKey), SimQuenbyKeyboard::defaultKeyFunctionAt(at(kMacroKey)));
    }) << "constrastMouseConfig mouseType";
    QTest::newRow("light mode") << Change([](SimQuenbyKeyboard* k) {
        k->setRegister(SimQuenby::kRegLightMode, 3);
    }) << "contrastMouseConfig lightModel";
    QTest::newRow("light speed") << Change([](SimQuenbyKeyboard* k) {
        k->setRegister(SimQuenby::kRegLightSpeed, 0);
    }) << "contrastMouseConfig lightSpeed";
    QTest::newRow("light brightness") << Change([](SimQuenbyKeyboard* k) {
        k->setRegister(SimQuenby::kRegLightBrightness, 1);
    }) << "contrastMouseConfig lightBrightness";
    QTest::newRow("per-key level") << Change([at](SimQuenbyKeyboard* k) {
        k->setMemory(SimQuenby::kRegKeyBrightness + quint32(at(62)), QByteArray(1, char(5 * 25)));
    }) << "contrastMouseConfig keyLight";
}

void TestProfileSync::oneChangeIsFound()
{
    QFETCH(KeyboardChange, change);
    QFETCH(QString, difference);

    QVERIFY(writeObject(mPath, mixedProfile()));
    QCOMPARE(run([&] { mController->readConfigData(mPath); }),
             QStringList {"0:Successfully read the current configuration page"});
    bool signalled = true;
    QCOMPARE(compare(mPath, &signalled), QStringList());
    QVERIFY(!signalled);
    QCOMPARE(run([&] { mController->saveMouseData(mPath, false); }),
             QStringList {"0:Successfully reserved the current device configuration"});
    QCOMPARE(compare(mPath, &signalled), QStringList());
    QVERIFY(!signalled);

    change(mKeyboard->keyboard());
    const QStringList found = compare(mPath, &signalled);
    QCOMPARE(found.size(), 1);
    QVERIFY2(found.first().contains(difference), qPrintable(found.first()));
    QVERIFY(signalled);

    // A device unplugged meanwhile is offered nothing.
    HDeviceManager::instance()->getDevice(-1)->setRemoved(true);
    mController->contrastMouseData(mPath);
    QVERIFY(settle());
    QVERIFY(mKeyboard->removeDevice());
}

void TestProfileSync::oneSectionSave_data()
{
    using Change = KeyboardChange;
    QTest::addColumn<int>("section");
    QTest::addColumn<int>("key");
    QTest::addColumn<Change>("change");
    QTest::addColumn<QString>("member");
    QTest::addColumn<QJsonValue>("expected");

    auto at = [](int key) { return Quenby8a::positionOfKey(key); };
    // The factory light mode is 0: its entry is "light"[0].
    QTest::newRow("key") << 1 << 30 << Change([at](SimQuenbyKeyboard* k) {
        k->setKeyFunctionAt(at(30), SimKeyFunction::disabled());
    }) << "key/30" << QJsonValue(QJsonObject {{"key", 30}, {"funcIndex", -1}, {"value1", ""}});
    QTest::newRow("light speed") << 2 << -1 << Change([](SimQuenbyKeyboard* k) {
        k->setRegister(SimQuenby::kRegLightSpeed, 0);
    }) << "light/0/speed" << QJsonValue(4);
    QTest::newRow("light brightness") << 3 << -1 << Change([](SimQuenbyKeyboard* k) {
        k->setRegister(SimQuenby::kRegLightBrightness, 1);
    }) << "light/0/brightness" << QJsonValue(1);
    QTest::newRow("light mode") << 5 << -1 << Change([](SimQuenbyKeyboard* k) {
        k->setRegister(SimQuenby::kRegLightMode, 3);
        k->setRegister(SimQuenby::kRegLightBrightness, 2);
    }) << "light/2/brightness" << QJsonValue(2);
    QTest::newRow("key level") << 12 << 62 << Change([at](SimQuenbyKeyboard* k) {
        k->setMemory(SimQuenby::kRegKeyBrightness + quint32(at(62)), QByteArray(1, char(5 * 25)));
    }) << "keyLight/62" << QJsonValue(QJsonObject {{"key", 62}, {"value1", 5}});
    QTest::newRow("no such section") << 14 << -1 << Change([](SimQuenbyKeyboard* k) {
        k->setRegister(SimQuenby::kRegLightBrightness, 1);
    }) << "light/0/brightness" << QJsonValue(3);
}

void TestProfileSync::oneSectionSave()
{
    QFETCH(int, section);
    QFETCH(int, key);
    QFETCH(KeyboardChange, change);
    QFETCH(QString, member);
    QFETCH(QJsonValue, expected);

    QJsonObject profile = readObject(kFactory);
    profile.insert("fwVersion", -5);
    QVERIFY(writeObject(mPath, profile));
    change(mKeyboard->keyboard());
    QCOMPARE(run([&] { mController->saveMouseData(mPath, section, key); }),
             QStringList {"0:Successfully reserved the current device configuration"});

    const QJsonObject saved = readObject(mPath);
    // The stamp and the firmware version are always refreshed.
    QVERIFY(saved.value("fwVersion").toInt() > 0);
    QVERIFY(saved.value("updateAt").toString() != profile.value("updateAt").toString());
    const QStringList path = member.split('/');
    QJsonValue value = saved.value(path.first());
    if (path.size() == 2) {
        for (const QJsonValue& element : value.toArray()) {
            if (element.toObject().value("key").toInt() == path.at(1).toInt())
                value = element;
        }
    } else {
        value = value.toArray().at(path.at(1).toInt()).toObject().value(path.at(2));
    }
    QCOMPARE(value, expected);
    // Nothing but the section, the stamp and the version changed.
    QJsonObject rest = saved;
    rest.insert(path.first(), profile.value(path.first()));
    QCOMPARE(without(rest, {"updateAt", "fwVersion", "lightModel"}),
             without(profile, {"updateAt", "fwVersion", "lightModel"}));
}

void TestProfileSync::failedReadWritesNothing()
{
    const QJsonObject profile = readObject(kFactory);
    QVERIFY(writeObject(mPath, profile));
    const QByteArray before = [&] {
        QFile file(mPath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    // Every read fails from the key table on: the whole save and the key section leave the file alone.
    mKeyboard->keyboard()->failCommands(1000, SimQuenby::StatusError, 0);
    for (auto routine : {std::function<void()>([&] { mController->saveMouseData(mPath, false); }),
                         std::function<void()>([&] { mController->saveMouseData(mPath, 1, 30); })})
        QCOMPARE(run(routine), QStringList {"1:Failed to keep the current device configuration"});
    QFile file(mPath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);

    // A comparison that cannot read the device offers nothing.
    bool signalled = true;
    QCOMPARE(compare(mPath, &signalled), QStringList());
    QVERIFY(!signalled);
}

void TestProfileSync::failureAtEachRegister()
{
    QVERIFY(writeObject(mPath, mixedProfile()));
    SimQuenbyKeyboard* keyboard = mKeyboard->keyboard();
    QCOMPARE(run([&] { mController->readConfigData(mPath); }),
             QStringList {"0:Successfully read the current configuration page"});
    const QList<quint32> all = mKeyboard->writtenRegisters();
    QVERIFY(all.size() > 10);

    for (int i = 0; i < all.size(); ++i) {
        keyboard->resetToDefaults();
        keyboard->failWritesAt(all.at(i));
        QCOMPARE(run([&] { mController->readConfigData(mPath); }),
                 QStringList {"1:Failed to read the current configuration page configuration"});
        // The writes before the failing one were made; none after it.
        QCOMPARE(mKeyboard->writtenRegisters(), all.mid(0, i));
    }
}

void TestProfileSync::profileShownInModels()
{
    QJsonObject profile = mixedProfile();
    profile.insert("report", QJsonObject {{"index", 2}});
    QJsonArray levels;
    for (int i = 0; i < 5; ++i)
        levels.append(QJsonObject {{"currentValue", 400 * (i + 1)}, {"enable", i != 0 && i != 2}});
    profile.insert("dpi", QJsonObject {{"currentIndex", 3}, {"dpiValue", levels}});
    profile.insert("lightModel", QJsonObject {{"index", 1}});
    QJsonArray lights = profile.value("light").toArray();
    lights.replace(1, QJsonObject {{"model", 1}, {"speed", 4}, {"brightness", 1}, {"colors", QJsonArray {"ff8000"}}});
    profile.insert("light", lights);
    profile.insert("logoLightModel", QJsonObject {{"index", 2}});
    profile.insert("lightDirection", true);
    QJsonArray keyLights = profile.value("keyLight").toArray();
    keyLights.replace(0, QJsonObject {{"key", 14}, {"value1", 4}});
    profile.insert("keyLight", keyLights);
    QVERIFY(writeObject(mPath, profile));

    KReportModel report;
    KDpiModel dpi;
    dpi.setNumber(5);
    KLightModel lightModel;
    auto* logo = new KLightModelItem(&lightModel);
    lightModel.setLogo(logo);
    lightModel.setWheel(new KLightModelItem(&lightModel));
    logo->setShortCutStrList({"a", "b", "c", "d"});
    FKeyLightModel keyLights14;
    auto* light14 = new FKeyLightModelItem(14, 10, QString(), &keyLights14);
    keyLights14.setKeyLightList({QVariant::fromValue(light14)});
    KKeyModel keys;
    QVariantList items;
    QMap<int, KKeyModelItem*> byKey;
    for (int key : {kComboKey, kUsageKey, kMacroKey, 30}) {
        byKey.insert(key, new KKeyModelItem(key, 0, 0, 0, 0, 0, QString(), &keys));
        items << QVariant::fromValue(byKey.value(key));
    }
    keys.setKeyList(items);
    mServices->setReportModel(&report);
    mServices->setDpiModel(&dpi);
    mServices->setLightModel(&lightModel);
    mServices->setKeyLightModel(&keyLights14);
    mServices->setKeyModel(&keys);

    QSignalSpy reportSpy(&report, &KReportModel::currentReportChanged);
    QSignalSpy valuesSpy(&dpi, &KDpiModel::valuesChanged);
    QSignalSpy indexSpy(&dpi, &KDpiModel::currentIndexChanged);
    QSignalSpy colorSpy(logo, &KLightModelItem::colorChanged);
    QSignalSpy logoSpy(logo, &KLightModelItem::logoModelChanged);
    QSignalSpy levelSpy(light14, &FKeyLightModelItem::brightnessChanged);
    QSignalSpy typeSpy(byKey.value(kComboKey), &KKeyModelItem::typeChanged);

    // A device that reports its current stage (without one the page shows none).
    mImage->setHasCurrentDpi(true);
    QVERIFY(mController->getMouseType(mPath));
    QCOMPARE(report.currentReport(), 2);
    QCOMPARE(reportSpy.count(), 2);
    QCOMPARE(dpi.values(), (QVector<int> {400, 800, 1200, 1600, 2000}));
    QCOMPARE(dpi.enable(), (QVector<bool> {false, true, false, true, true}));
    // The page shows the profile's stage; only the device counts the switched-on stages alone.
    QCOMPARE(dpi.currentIndex(), 3);
    QCOMPARE(valuesSpy.count(), 1);
    QCOMPARE(indexSpy.count(), 1);
    QCOMPARE(logo->model(), 1);
    QCOMPARE(logo->speed(), 4);
    QCOMPARE(logo->brightness(), 1);
    QCOMPARE(logo->color(), QString("#ff8000"));
    QCOMPARE(colorSpy.count(), 1);
    QCOMPARE(logo->logoModel(), 2);
    QCOMPARE(logoSpy.count(), 1);
    QVERIFY(logo->lightDirection());
    QCOMPARE(logo->shortCutModel(), 3);
    QCOMPARE(light14->brightness(), 4);
    QCOMPARE(levelSpy.count(), 1);
    QCOMPARE(byKey.value(kComboKey)->getType(), modifierMaskToFunction(KMaskCtrl | KMaskAlt));
    QCOMPARE(typeSpy.count(), 1);
    QCOMPARE(byKey.value(kUsageKey)->getType(), 42);
    QCOMPARE(byKey.value(kMacroKey)->getType(), 29);
    for (const QJsonValue& value : profile.value("key").toArray()) {
        if (value.toObject().value("key").toInt() == 30)
            QCOMPARE(byKey.value(30)->getType(), value.toObject().value("funcIndex").toInt());
    }

    // An unreadable profile touches no model.
    QFile broken(mPath);
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("{ no");
    broken.close();
    reportSpy.clear();
    QVERIFY(!mController->getMouseType(mPath));
    QCOMPARE(reportSpy.count(), 0);
    mServices->setKeyModel(nullptr);
    mServices->setKeyLightModel(nullptr);
    mServices->setLightModel(nullptr);
    mServices->setDpiModel(nullptr);
    mServices->setReportModel(nullptr);
}

QTEST_MAIN(TestProfileSync)
#include "tst_profilesync.moc"
