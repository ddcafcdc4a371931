#include "LogCapture.h"
#include "RecordingServices.h"
#include "StateTestDevice.h"

#include "common/DeviceIds.h"
#include "common/ProgramFolders.h"
#include "hid/HDeviceManager.h"
#include "hid/HWork.h"
#include "models/device/FKeyLightModel.h"
#include "models/device/KDpiModel.h"
#include "models/device/KImageModel.h"
#include "models/device/KReportModel.h"
#include "models/keys/KKeyModel.h"
#include "models/keys/KKeyModelItem.h"
#include "models/device/KLightModel.h"
#include "models/device/KLightModelItem.h"
#include "models/keys/KKey.h"
#include "models/keys/KeyAssignmentRules.h"
#include "profiles/KConfigFileController.h"
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

QJsonObject readObject(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
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

QString combinationText(int mask, int usage)
{
    return QString::fromUtf8(QJsonDocument(QJsonObject {{"value1", mask}, {"value2", usage}}).toJson());
}

// The mask a mouse holds for Ctrl: the swapped-modifier mice exchange Ctrl and Shift.
int deviceCtrl(int pid)
{
    return DeviceIds::has(quint16(pid), DeviceIds::Flag::SwappedModifiers) ? KeyAssignmentRules::swapCtrlShift(KMaskCtrl)
                                                                           : int(KMaskCtrl);
}

// A mouse profile holding every section a save refreshes.
QJsonObject mouseProfile(int pid)
{
    QJsonArray levels;
    for (int i = 0; i < 4; ++i)
        levels.append(QJsonObject {{"currentValue", 800 * (i + 1)}, {"enable", true}});
    const QJsonArray lights {QJsonObject {{"model", 0}, {"speed", 1}, {"brightness", 2}, {"colors", QJsonArray {"102030"}}},
                             QJsonObject {{"model", 1}, {"speed", 3}, {"brightness", 4}, {"colors", QJsonArray {"ff8000"}}}};
    const QJsonArray wheel {QJsonObject {{"model", 0}, {"speed", 2}, {"brightness", 1}, {"colors", QJsonArray {"0000ff"}}}};
    const QJsonArray keys {
        QJsonObject {{"key", 1}, {"funcIndex", 11}, {"value1", ""}},
        // Ctrl+A: a swapped-modifier mouse holds it as Shift, and its profile names the function it reports.
        QJsonObject {{"key", 2}, {"funcIndex", int(modifierMaskToFunction(deviceCtrl(pid)))}, {"value1", combinationText(1, 4)}},
        QJsonObject {{"key", 3}, {"funcIndex", 42}, {"value1", 0x1E}},
    };
    const QJsonArray keyLight {QJsonObject {{"key", 1}, {"colors", "00ff00"}}, QJsonObject {{"key", 2}, {"colors", "000000"}}};
    return QJsonObject {{"configVersion", 2},
                        {"pid", pid},
                        {"fwVersion", 1},
                        {"report", QJsonObject {{"index", 2}}},
                        {"dpi", QJsonObject {{"currentIndex", 2}, {"dpiValue", levels}}},
                        {"lightModel", QJsonObject {{"index", 1}}},
                        {"light", lights},
                        {"wheelLightModel", QJsonObject {{"index", 0}}},
                        {"wheelLight", wheel},
                        {"logoLightModel", QJsonObject {{"index", 1}}},
                        {"lightShortCut", 0},
                        {"operatingMode", 2},
                        {"key", keys},
                        {"keyLight", keyLight},
                        {"lightDirection", true},
                        {"lightMonochromatic", false}};
}

// What the field-by-field apply does not write: the wheel, the logo and the per-key colours, as the profile has them.
StateTestDevice::State unwrittenParts()
{
    StateTestDevice::State state;
    state.lightMode[1] = 0;
    state.speed[1] = 2;
    state.brightness[1] = 1;
    state.rgb[1] = {{"r", 0}, {"g", 0}, {"b", 255}};
    state.logoMode = 1;
    state.keyColors.insert(KKey(1), FKeyLightModelItem(1, 0, "00ff00"));
    state.keyColors.insert(KKey(2), FKeyLightModelItem(2, 0, "000000"));
    // What a save needs to read besides: a main colour and the keys.
    state.rgb[0] = {{"r", 16}, {"g", 32}, {"b", 48}};
    for (int key = 1; key <= 3; ++key)
        state.keys.insert(KKey(key), KKeyModelItem(key, 11, 0, 0, 0, 0, QString()));
    return state;
}

using StateChange = std::function<void(StateTestDevice::State&)>;

} // namespace

Q_DECLARE_METATYPE(StateChange)

// Saving, applying and comparing the sections the keyboard does not have (report rate, DPI levels, the wheel
// and logo lights, per-key colours, the light switches, multi-macros) on a mouse that keeps its settings in
// memory.
class TestProfileMouse : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void roundTrip_data();
    void roundTrip();
    void oneChangeIsFound_data();
    void oneChangeIsFound();
    void dpiFlagsOnSave_data();
    void dpiFlagsOnSave();
    void multiMacroKeptWithoutSelection();
    void deviceWithoutCurrentStage_data();
    void deviceWithoutCurrentStage();
    void sectionFromModels_data();
    void sectionFromModels();

private:
    bool settle();
    QStringList run(const std::function<void()>& routine);
    StateTestDevice* plug(int pid);
    // Applies the mouse profile to a fresh device of pid and saves it back.
    StateTestDevice* applyAndSave(int pid);

    std::unique_ptr<RecordingServices> mServices;
    std::unique_ptr<KConfigFileController> mController;
    std::unique_ptr<KDpiModel> mDpi;
    std::unique_ptr<KLightModel> mLights;
    StateTestDevice* mDevice = nullptr;
    QString mPath;
};

void TestProfileMouse::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestProfileMouse::init()
{
    QDir(ProgramFolders::configLocation()).removeRecursively();
    QVERIFY(QDir().mkpath(ProgramFolders::configLocation()));
    mPath = ProgramFolders::configLocation() + "/mouse.json";
    mServices = std::make_unique<RecordingServices>();
    mController = std::make_unique<KConfigFileController>();
    mDpi = std::make_unique<KDpiModel>();
    mDpi->setNumber(4);
    mLights = std::make_unique<KLightModel>();
    mLights->setLogo(new KLightModelItem(mLights.get()));
    mLights->setWheel(new KLightModelItem(mLights.get()));
    mServices->setDpiModel(mDpi.get());
    mServices->setLightModel(mLights.get());
    HDeviceManager::instance()->setFactory([](int pid) { return new StateTestDevice(pid); });
}

void TestProfileMouse::cleanup()
{
    QVERIFY(settle());
    if (mDevice) {
        const int pid = mDevice->pid();
        mDevice->setRemoved(true);
        HDeviceManager::instance()->removeDevice(pid);
        WAIT_COMPARE(CoreTestDevice::liveCount(), 0);
        mDevice = nullptr;
    }
    mController.reset();
    mLights.reset();
    mDpi.reset();
    mServices.reset();
    HDeviceManager::instance()->setFactory({});
}

bool TestProfileMouse::settle()
{
    return QTest::qWaitFor([this] { return mServices->open() == 0 && HWork::pendingCount() == 0; }, TestWait::kBoundMs);
}

QStringList TestProfileMouse::run(const std::function<void()>& routine)
{
    mServices->clear();
    routine();
    return settle() ? mServices->tips : QStringList {"not settled"};
}

StateTestDevice* TestProfileMouse::plug(int pid)
{
    if (!HDeviceManager::instance()->createDevice(pid))
        return nullptr;
    mDevice = qobject_cast<StateTestDevice*>(HDeviceManager::instance()->getDevice(pid));
    return mDevice;
}

StateTestDevice* TestProfileMouse::applyAndSave(int pid)
{
    if (!writeObject(mPath, mouseProfile(pid)) || !plug(pid))
        return nullptr;
    mDevice->setState(unwrittenParts());
    if (run([&] { mController->readConfigData(mPath); }) != QStringList {"0:Successfully read the current configuration page"})
        return nullptr;
    if (run([&] { mController->saveMouseData(mPath, false); })
        != QStringList {"0:Successfully reserved the current device configuration"})
        return nullptr;
    return mDevice;
}

void TestProfileMouse::roundTrip_data()
{
    QTest::addColumn<int>("pid");
    QTest::newRow("packed values") << int(DeviceIds::kDallow);
    QTest::newRow("swapped modifiers") << int(DeviceIds::kAbberly);
    QTest::newRow("plain values") << int(DeviceIds::kBalsom);
}

void TestProfileMouse::roundTrip()
{
    QFETCH(int, pid);
    StateTestDevice* device = applyAndSave(pid);
    QVERIFY(device);
    const StateTestDevice::State state = device->state();
    QCOMPARE(state.reportRate, 2);
    QCOMPARE(state.dpi, (QVector<int> {800, 1600, 2400, 3200}));
    QCOMPARE(state.rgb[0], (QMap<QString, int> {{"r", 255}, {"g", 128}, {"b", 0}}));
    QCOMPARE(state.keys.value(KKey(2)).getType(), int(modifierMaskToFunction(deviceCtrl(pid))));
    QCOMPARE(state.keys.value(KKey(2)).getValue3(), deviceCtrl(pid));
    QCOMPARE(state.keys.value(KKey(2)).getValue4(), 4);

    // Applied and saved back, the profile is what it was, apart from its time and the firmware version.
    QCOMPARE(without(readObject(mPath), {"updateAt", "fwVersion"}), without(mouseProfile(pid), {"updateAt", "fwVersion"}));
    LogCapture log;
    QSignalSpy spy(mController.get(), &KConfigFileController::sendSignalToUser);
    run([&] { mController->contrastMouseData(mPath); });
    QCOMPARE(spy.count(), 0);
    QVERIFY(!log.contains("ontrastMouseConfig "));
}

void TestProfileMouse::oneChangeIsFound_data()
{
    QTest::addColumn<StateChange>("change");
    QTest::addColumn<QString>("difference");
    QTest::newRow("report rate") << StateChange([](StateTestDevice::State& s) { s.reportRate = 3; })
                                 << "contrastMouseConfig reportIndex";
    QTest::newRow("DPI value") << StateChange([](StateTestDevice::State& s) { s.dpi[3] = 100; })
                               << "contrastMouseConfig dpiList";
    QTest::newRow("DPI levels missing") << StateChange([](StateTestDevice::State& s) { s.dpi.removeLast(); })
                                        << "contrastMouseConfig dpiList";
    QTest::newRow("main colour") << StateChange([](StateTestDevice::State& s) { s.rgb[0]["g"] = 0; })
                                 << "contrastMouseConfig lightColor";
    QTest::newRow("wheel speed") << StateChange([](StateTestDevice::State& s) { s.speed[1] = 0; })
                                 << "contrastMouseConfig wheellightSpeed";
    QTest::newRow("wheel colour") << StateChange([](StateTestDevice::State& s) { s.rgb[1]["r"] = 1; })
                                  << "contrastMouseConfig wheellightColor";
    QTest::newRow("combination usage") << StateChange([](StateTestDevice::State& s) {
        KKeyModelItem item = s.keys.value(KKey(2));
        item.setValue3(item.getValue3() + 1);
        item.setValue4(item.getValue4() + 1);
        s.keys.insert(KKey(2), item);
    }) << "contrastMouseConfig keyCompositeKey";
    QTest::newRow("multi-macro on the device") << StateChange([](StateTestDevice::State& s) { s.definedPressMacro = 2; })
                                               << "contrastMouseConfig multiMacro";
    QTest::newRow("logo") << StateChange([](StateTestDevice::State& s) { s.logoMode = 0; })
                          << "contrastMouseConfig logoLightModel";
    QTest::newRow("key colour") << StateChange([](StateTestDevice::State& s) { s.keyColors[KKey(1)].setColor("ff0000"); })
                                << "contrastMouseConfig KeyLight";
    QTest::newRow("direction") << StateChange([](StateTestDevice::State& s) { s.direction = false; })
                               << "contrastMouseConfig lightDirection";
    QTest::newRow("monochromatic") << StateChange([](StateTestDevice::State& s) { s.monochromatic = true; })
                                   << "contrastMouseConfig lightMonochromatic";
}

void TestProfileMouse::oneChangeIsFound()
{
    QFETCH(StateChange, change);
    QFETCH(QString, difference);
    StateTestDevice* device = applyAndSave(DeviceIds::kDallow);
    QVERIFY(device);
    StateTestDevice::State state = device->state();
    change(state);
    device->setState(state);

    LogCapture log;
    QSignalSpy spy(mController.get(), &KConfigFileController::sendSignalToUser);
    run([&] { mController->contrastMouseData(mPath); });
    QStringList found;
    for (const QString& line : log.lines()) {
        if ((line.startsWith("contrastMouseConfig ") || line.startsWith("constrastMouseConfig "))
            && line != "contrastMouseConfig success")
            found << line;
    }
    QCOMPARE(found.size(), 1);
    QVERIFY2(found.first().startsWith(difference), qPrintable(found.first()));
    WAIT_COMPARE(spy.count(), 1);
}

void TestProfileMouse::dpiFlagsOnSave_data()
{
    QTest::addColumn<int>("pid");
    QTest::addColumn<bool>("isRestore");
    QTest::addColumn<QVector<bool>>("shown");
    QTest::addColumn<QVector<int>>("values");
    QTest::addColumn<QVector<bool>>("saved");
    // Packed-value models keep as many levels on, from the front, as the user interface shows switched on.
    QTest::newRow("packed") << int(DeviceIds::kDallow) << false << QVector<bool> {false, true, false, true}
                            << QVector<int> {800, 1600, 2400, 3200} << QVector<bool> {true, true, false, false};
    // Other models switch on the levels with a value.
    QTest::newRow("by value") << int(DeviceIds::kBalsom) << false << QVector<bool> {false, true, false, true}
                              << QVector<int> {800, 0, 2400, 0} << QVector<bool> {true, false, true, false};
    QTest::newRow("restore") << int(DeviceIds::kDallow) << true << QVector<bool> {false, false, false, false}
                             << QVector<int> {800, 0, 2400, 0} << QVector<bool> {true, true, true, true};
}

void TestProfileMouse::dpiFlagsOnSave()
{
    QFETCH(int, pid);
    QFETCH(bool, isRestore);
    QFETCH(QVector<bool>, shown);
    QFETCH(QVector<int>, values);
    QFETCH(QVector<bool>, saved);
    QVERIFY(writeObject(mPath, mouseProfile(pid)));
    QVERIFY(plug(pid));
    StateTestDevice::State state = unwrittenParts();
    state.dpi = values;
    state.dpiIndex = 1;
    mDevice->setState(state);
    mDpi->setEnable(shown);
    QCOMPARE(run([&] { mController->saveMouseData(mPath, isRestore); }),
             QStringList {"0:Successfully reserved the current device configuration"});
    const QJsonObject dpi = readObject(mPath).value("dpi").toObject();
    QCOMPARE(dpi.value("currentIndex").toInt(), 1);
    QVector<bool> flags;
    QVector<int> written;
    for (const QJsonValue& level : dpi.value("dpiValue").toArray()) {
        flags << level.toObject().value("enable").toBool();
        written << level.toObject().value("currentValue").toInt();
    }
    QCOMPARE(written, values);
    QCOMPARE(flags, saved);
}

// A mouse whose layout has no current stage answers none (-1): a DPI save keeps the stage the profile names
// instead of failing, and a profile shown in the models leaves the DPI page without a current stage, so that a
// stage switch goes through the stage list. A mouse that does keep a current stage and cannot read it still
// fails the save.
void TestProfileMouse::deviceWithoutCurrentStage_data()
{
    QTest::addColumn<bool>("hasCurrentDpi");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<int>("shownIndex");
    QTest::newRow("no current stage") << false << "0:Successfully reserved the current device configuration" << -1;
    QTest::newRow("current stage unreadable") << true << "1:Failed to keep the current device configuration" << 2;
}

void TestProfileMouse::deviceWithoutCurrentStage()
{
    QFETCH(bool, hasCurrentDpi);
    QFETCH(QString, tip);
    QFETCH(int, shownIndex);
    KImageModel image;
    image.setHasCurrentDpi(hasCurrentDpi);
    mServices->setImageModel(&image);
    QVERIFY(writeObject(mPath, mouseProfile(DeviceIds::kBalsom)));
    QVERIFY(plug(DeviceIds::kBalsom));
    StateTestDevice::State state = unwrittenParts();
    state.dpi = {400, 800, 1600, 3200};
    state.dpiIndex = -1;
    mDevice->setState(state);
    mDpi->setEnable({true, true, true, true});

    QCOMPARE(run([&] { mController->saveMouseData(mPath, 0, -1); }), QStringList {tip});
    const QJsonObject dpi = readObject(mPath).value("dpi").toObject();
    QCOMPARE(dpi.value("currentIndex").toInt(), 2);
    QCOMPARE(dpi.value("dpiValue").toArray().at(0).toObject().value("currentValue").toInt(),
             hasCurrentDpi ? 800 : 400);

    QVERIFY(mController->getMouseType(mPath));
    QCOMPARE(mDpi->currentIndex(), shownIndex);
    mServices->setImageModel(nullptr);
}

void TestProfileMouse::multiMacroKeptWithoutSelection()
{
    QJsonObject profile = mouseProfile(DeviceIds::kDallow);
    QJsonArray keys = profile.value("key").toArray();
    const QJsonObject multi {{"macroName", "a/b"},
                             {"macroValue1", QJsonObject {{"list", QJsonArray()}, {"ignoreTime", false}, {"playType", "1"}, {"times", 1}}}};
    keys.replace(0, QJsonObject {{"key", 1}, {"funcIndex", 9}, {"value1", multi}});
    profile.insert("key", keys);
    QVERIFY(writeObject(mPath, profile));
    QVERIFY(plug(DeviceIds::kDallow));
    StateTestDevice::State state = unwrittenParts();
    state.dpi = {800, 1600, 2400, 3200};
    state.keys.insert(KKey(1), KKeyModelItem(1, 9, 0, 0, 0, 0, QString()));
    state.definedPressMacro = 1;
    mDevice->setState(state);

    // The macro page has no macros selected: the device's multi-macro stays what the profile says it is.
    QCOMPARE(run([&] { mController->saveMouseData(mPath, false); }),
             QStringList {"0:Successfully reserved the current device configuration"});
    const QJsonObject first = readObject(mPath).value("key").toArray().first().toObject();
    QCOMPARE(first.value("value1").toObject(), multi);
    QCOMPARE(first.value("funcIndex").toInt(), 9);
    // The second key took the device's function, not the multi-macro.
    QCOMPARE(readObject(mPath).value("key").toArray().at(1).toObject().value("value1").toString(), QString());
}

void TestProfileMouse::sectionFromModels_data()
{
    QTest::addColumn<int>("section");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("member");
    QTest::addColumn<QJsonValue>("expected");
    QTest::newRow("dpi") << 0 << -1 << "dpi"
                         << QJsonValue(QJsonObject {{"currentIndex", 1},
                                                    {"dpiValue", QJsonArray {QJsonObject {{"currentValue", 400}, {"enable", true}},
                                                                             QJsonObject {{"currentValue", 900}, {"enable", true}},
                                                                             QJsonObject {{"currentValue", 0}, {"enable", false}}}}});
    QTest::newRow("report") << 6 << -1 << "report" << QJsonValue(QJsonObject {{"index", 3}});
    QTest::newRow("light mode") << 5 << -1 << "light"
                                << QJsonValue(QJsonArray {mouseProfile(0).value("light").toArray().at(0),
                                                          QJsonObject {{"model", 1}, {"speed", 7}, {"brightness", 8}, {"colors", QJsonArray {"abcdef"}}}});
    QTest::newRow("update switch") << 14 << -1 << "disableUpdate" << QJsonValue(false);
    QTest::newRow("key colour") << 16 << 2 << "keyLight"
                                << QJsonValue(QJsonArray {QJsonObject {{"key", 1}, {"colors", "00ff00"}},
                                                          QJsonObject {{"key", 2}, {"colors", "123456"}}});
    QTest::newRow("key") << 1 << 3 << "key"
                         << QJsonValue(QJsonArray {mouseProfile(0).value("key").toArray().at(0),
                                                   mouseProfile(0).value("key").toArray().at(1),
                                                   QJsonObject {{"key", 3}, {"funcIndex", 42}, {"value1", 0x2C}}});
}

void TestProfileMouse::sectionFromModels()
{
    QFETCH(int, section);
    QFETCH(int, key);
    QFETCH(QString, member);
    QFETCH(QJsonValue, expected);
    QVERIFY(writeObject(mPath, mouseProfile(0)));
    KImageModel image;
    image.setVersion("12");
    mServices->setImageModel(&image);
    mDpi->setNumber(3);
    mDpi->setEnable({true, true, true});
    mDpi->setValues({400, 900, 0});
    mDpi->setCurrentIndex(1);
    KReportModel report;
    report.setCurrentReport(3);
    mServices->setReportModel(&report);
    KLightModelItem* logo = mLights->logo();
    logo->setModel(1);
    logo->setSpeed(7);
    logo->setBrightness(8);
    logo->setColor("#abcdef");
    FKeyLightModel keyLights;
    keyLights.setCurrentColor("123456");
    mServices->setKeyLightModel(&keyLights);
    KKeyModel keys;
    auto* item = new KKeyModelItem(3, 42, 0, 0, 0x2C, 0, QString(), &keys);
    keys.setKeyList({QVariant::fromValue(item)});
    mServices->setKeyModel(&keys);

    QVERIFY(mController->saveModelConfigItem(mPath, section, key));
    const QJsonObject saved = readObject(mPath);
    QCOMPARE(saved.value(member), expected);
    QCOMPARE(saved.value("fwVersion").toInt(), 12);
    // Nothing else changed.
    QCOMPARE(without(saved, {member, "updateAt", "fwVersion", "lightModel"}),
             without(mouseProfile(0), {member, "updateAt", "fwVersion", "lightModel"}));

    // The version shown as -1 writes nothing.
    image.setVersion("-1");
    QVERIFY(!mController->saveModelConfigItem(mPath, section, key));
    QCOMPARE(readObject(mPath), saved);
    mServices->setKeyModel(nullptr);
    mServices->setKeyLightModel(nullptr);
    mServices->setReportModel(nullptr);
    mServices->setImageModel(nullptr);
}

QTEST_MAIN(TestProfileMouse)
#include "tst_profilemouse.moc"
