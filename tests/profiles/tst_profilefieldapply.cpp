#include "RecordingServices.h"
#include "ScriptedKeyDevice.h"

#include "common/DeviceIds.h"
#include "common/ProgramFolders.h"
#include "hid/HDeviceManager.h"
#include "hid/HWork.h"
#include "models/device/KDpiModel.h"
#include "models/keys/KKey.h"
#include "profiles/KConfigFileController.h"
#include "profiles/ProfileFieldApply.h"
#include "TestWait.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

namespace {

QJsonObject macro(int events)
{
    QJsonArray list;
    for (int i = 0; i < events; ++i)
        list.append(QJsonObject {{"type", 0}, {"value1", 4 + i}, {"value2", 0}, {"isUp", false}, {"text", ""}});
    return QJsonObject {{"list", list}, {"ignoreTime", true}, {"playType", "2"}, {"times", 3}, {"macroName", "m"}};
}

// A mouse profile holding every section the field-by-field apply writes.
QJsonObject fullProfile()
{
    QJsonArray levels;
    for (int i = 0; i < 5; ++i)
        levels.append(QJsonObject {{"currentValue", 400 * (i + 1)}, {"enable", i != 0 && i != 2}});
    const QJsonArray lights {QJsonObject {{"model", 0}, {"speed", 1}, {"brightness", 2}, {"colors", QJsonArray {"000000"}}},
                             QJsonObject {{"model", 1}, {"speed", 3}, {"brightness", 4}, {"colors", QJsonArray {"ff8000"}}}};
    const QJsonArray keys {
        QJsonObject {{"key", 1}, {"funcIndex", 11}, {"value1", ""}},
        QJsonObject {{"key", 2}, {"funcIndex", 29}, {"value1", macro(2)}},
        QJsonObject {{"key", 3}, {"funcIndex", int(modifierMaskToFunction(KMaskCtrl | KMaskAlt))},
                     {"value1", QString::fromUtf8(QJsonDocument(QJsonObject {{"value1", 5}, {"value2", 4}}).toJson())}},
        QJsonObject {{"key", 4}, {"funcIndex", 42}, {"value1", 0x32}},
    };
    return QJsonObject {{"configVersion", 2},
                        {"report", QJsonObject {{"index", 3}}},
                        {"dpi", QJsonObject {{"currentIndex", 3}, {"dpiValue", levels}}},
                        {"lightModel", QJsonObject {{"index", 1}}},
                        {"light", lights},
                        {"key", keys},
                        {"operatingMode", 2},
                        {"lightDirection", true},
                        {"lightMonochromatic", false}};
}

const QStringList kFullCalls {
    "setReportRate(3)", "setDpiIndex(1)", "setDpiList(400,800,1200,1600,2000)", "setLightModel(1,0)",
    "setLightSpeed(3,0)", "setLightBrightness(4,0)", "setRGB(255,128,0,0)", "setKeyFunction(1,11)",
    "checkMacroId(2)", "setMacro(7,2)", "setKeyFunction(2,29,7)", "setKeyFunction(3,30,5,4)",
    "setKeyFunction(4,42,0,50)", "getReportRate", "setOperatingMode(2,0)", "setLightDirection(1)",
    "setMonochromaticMode(0)",
};

QJsonObject multiMacroProfile(const QStringList& members)
{
    QJsonObject value1 {{"macroName", "a/b"}};
    for (const QString& member : members) {
        QJsonObject m = macro(1);
        m.remove("macroName");
        value1.insert(member, m);
    }
    return QJsonObject {{"configVersion", 2},
                        {"key", QJsonArray {QJsonObject {{"key", 1}, {"funcIndex", 9}, {"value1", value1}},
                                            QJsonObject {{"key", 2}, {"funcIndex", 11}, {"value1", ""}}}}};
}

} // namespace

// A profile applied to a device that does not apply whole profiles itself: every section through the
// device's own setters, in a fixed order, after the whole document was checked.
class TestProfileFieldApply : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void writesEveryFieldInOrder();
    void stopsAtTheFirstFailure_data();
    void stopsAtTheFirstFailure();
    void refusedProfileWritesNothing_data();
    void refusedProfileWritesNothing();
    void absentSectionsAreNotWritten();
    void factoryProfileOfPackedModel();
    void multiMacroKey_data();
    void multiMacroKey();

private:
    // Applies profile to a new scripted device with product id pid; the tips of the outcome.
    QStringList apply(const QJsonObject& profile, int pid = DeviceIds::kBalsom, const QStringList& failing = {},
                      int macroFailure = 0);

    std::unique_ptr<RecordingServices> mServices;
    std::unique_ptr<KConfigFileController> mController;
    std::unique_ptr<KDpiModel> mDpi;
    ScriptedKeyDevice* mDevice = nullptr;
    QString mPath;
};

void TestProfileFieldApply::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestProfileFieldApply::init()
{
    QDir(ProgramFolders::configLocation()).removeRecursively();
    QVERIFY(QDir().mkpath(ProgramFolders::configLocation()));
    mPath = ProgramFolders::configLocation() + "/profile.json";
    mServices = std::make_unique<RecordingServices>();
    mController = std::make_unique<KConfigFileController>();
    mDpi = std::make_unique<KDpiModel>();
    mServices->setDpiModel(mDpi.get());
    HDeviceManager::instance()->setFactory([](int pid) { return new ScriptedKeyDevice(pid); });
}

void TestProfileFieldApply::cleanup()
{
    QVERIFY(QTest::qWaitFor([this] { return mServices->open() == 0 && HWork::pendingCount() == 0; }, TestWait::kBoundMs));
    if (mDevice) {
        const int pid = mDevice->pid();
        mDevice->setRemoved(true);
        HDeviceManager::instance()->removeDevice(pid);
        WAIT_COMPARE(CoreTestDevice::liveCount(), 0);
        mDevice = nullptr;
    }
    mController.reset();
    mDpi.reset();
    mServices.reset();
    HDeviceManager::instance()->setFactory({});
}

QStringList TestProfileFieldApply::apply(const QJsonObject& profile, int pid, const QStringList& failing,
                                         int macroFailure)
{
    QFile file(mPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(profile).toJson()) <= 0)
        return {"not written"};
    file.close();
    if (!HDeviceManager::instance()->createDevice(pid))
        return {"no device"};
    mDevice = qobject_cast<ScriptedKeyDevice*>(HDeviceManager::instance()->getDevice(pid));
    mDevice->setMacroSlot(7);
    mDevice->fail(failing);
    mDevice->setMacroFailure(macroFailure);
    mServices->clear();
    mController->readConfigData(mPath);
    if (!QTest::qWaitFor([this] { return mServices->open() == 0 && HWork::pendingCount() == 0; }, TestWait::kBoundMs))
        return {"not settled"};
    return mServices->tips;
}

void TestProfileFieldApply::writesEveryFieldInOrder()
{
    QCOMPARE(apply(fullProfile()), QStringList {"0:Successfully read the current configuration page"});
    QCOMPARE(mDevice->calls(), kFullCalls);
    // The DPI model shows which levels the profile switches on.
    QCOMPARE(mDpi->enable(), (QVector<bool> {false, true, false, true, true}));
}

void TestProfileFieldApply::stopsAtTheFirstFailure_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("macroFailure");
    for (const char* operation : {"setReportRate", "setDpiIndex", "setDpiList", "setLightModel", "setLightSpeed",
                                  "setLightBrightness", "setRGB", "setKeyFunction", "checkMacroId", "getReportRate",
                                  "setOperatingMode", "setLightDirection", "setMonochromaticMode"})
        QTest::newRow(operation) << QString(operation) << 0;
    QTest::newRow("setMacro answers 0") << "setMacro" << 0;
    // Some device classes answer -1 for a macro they did not write.
    QTest::newRow("setMacro answers -1") << "setMacro" << -1;
}

void TestProfileFieldApply::stopsAtTheFirstFailure()
{
    QFETCH(QString, operation);
    QFETCH(int, macroFailure);
    QCOMPARE(apply(fullProfile(), DeviceIds::kBalsom, {operation}, macroFailure),
             QStringList {"1:Failed to read the current configuration page configuration"});
    // The calls up to the refused one were made, none after it.
    int last = 0;
    while (!kFullCalls.at(last).startsWith(operation))
        ++last;
    QCOMPARE(mDevice->calls(), kFullCalls.mid(0, last + 1));
}

void TestProfileFieldApply::refusedProfileWritesNothing_data()
{
    QTest::addColumn<QJsonObject>("profile");
    auto changed = [](const QString& section, const QJsonValue& value) {
        QJsonObject profile = fullProfile();
        profile.insert(section, value);
        return profile;
    };
    QJsonObject badMacro = fullProfile();
    QJsonArray keys = badMacro.value("key").toArray();
    QJsonObject entry = keys.at(1).toObject();
    entry.insert("value1", QJsonObject {{"list", "not a list"}, {"playType", "1"}});
    keys.replace(1, entry);
    badMacro.insert("key", keys);
    QTest::newRow("macro without events") << badMacro;
    keys = fullProfile().value("key").toArray();
    entry = keys.at(2).toObject();
    entry.insert("value1", "{ not json");
    keys.replace(2, entry);
    QTest::newRow("unreadable combination") << changed("key", keys);
    keys = fullProfile().value("key").toArray();
    keys.append(keys.at(0));
    QTest::newRow("key listed twice") << changed("key", keys);
    QTest::newRow("light mode without entry") << changed("lightModel", QJsonObject {{"index", 5}});
    QTest::newRow("current level outside the levels")
        << changed("dpi", QJsonObject {{"currentIndex", 9}, {"dpiValue", fullProfile().value("dpi").toObject().value("dpiValue")}});
    QTest::newRow("report without index") << changed("report", QJsonObject {{"rate", 1000}});
    QTest::newRow("direction no boolean") << changed("lightDirection", 1);
}

void TestProfileFieldApply::refusedProfileWritesNothing()
{
    QFETCH(QJsonObject, profile);
    QCOMPARE(apply(profile), QStringList {"1:Failed to read the current configuration page configuration"});
    QCOMPARE(mDevice->calls(), QStringList());
}

void TestProfileFieldApply::absentSectionsAreNotWritten()
{
    const QJsonObject keysOnly {{"configVersion", 2},
                                {"key", QJsonArray {QJsonObject {{"key", 1}, {"funcIndex", 11}, {"value1", ""}}}}};
    QCOMPARE(apply(keysOnly), QStringList {"0:Successfully read the current configuration page"});
    QCOMPARE(mDevice->calls(), (QStringList {"setKeyFunction(1,11)", "getReportRate"}));

    // Empty sections are no sections.
    cleanup();
    init();
    QJsonObject empty = keysOnly;
    empty.insert("report", QJsonObject());
    empty.insert("dpi", QJsonObject());
    empty.insert("lightModel", QJsonObject());
    QCOMPARE(apply(empty), QStringList {"0:Successfully read the current configuration page"});
    QCOMPARE(mDevice->calls(), (QStringList {"setKeyFunction(1,11)", "getReportRate"}));

    // A report rate the device cannot read back fails the apply.
    cleanup();
    init();
    QCOMPARE(apply(keysOnly, DeviceIds::kBalsom, {"getReportRate"}),
             QStringList {"1:Failed to read the current configuration page configuration"});
}

void TestProfileFieldApply::factoryProfileOfPackedModel()
{
    // The factory profile of a packed-value model sets the picture index instead of reading the rate back.
    const QJsonObject keysOnly {{"configVersion", 2},
                                {"key", QJsonArray {QJsonObject {{"key", 1}, {"funcIndex", 11}, {"value1", ""}}}}};
    QVERIFY(HDeviceManager::instance()->createDevice(DeviceIds::kDallow));
    mDevice = qobject_cast<ScriptedKeyDevice*>(HDeviceManager::instance()->getDevice(DeviceIds::kDallow));
    QVERIFY(mDevice);
    for (bool isDefault : {true, false}) {
        ProfileFieldApply::Inputs inputs;
        inputs.pid = DeviceIds::kDallow;
        inputs.isDefault = isDefault;
        ProfileFieldApply plan;
        QVERIFY(ProfileFieldApply::plan(keysOnly, inputs, &plan, nullptr));
        QVERIFY(plan.commit(mDevice));
    }
    QCOMPARE(mDevice->calls(), (QStringList {"setKeyFunction(1,11)", "setCurrentPicIndex(1)", "setKeyFunction(1,11)",
                                             "getReportRate"}));
}

void TestProfileFieldApply::multiMacroKey_data()
{
    QTest::addColumn<int>("pid");
    QTest::addColumn<QStringList>("members");
    QTest::addColumn<QStringList>("calls");
    QTest::newRow("packed-value model")
        << int(DeviceIds::kDallow) << QStringList {"macroValue1", "macroValue2"}
        << QStringList {"setKeyFunction(0,9)", "setMacro(1001,1)", "setDefinedPressMacro(1)", "setMacro(1002,1)",
                        "setDefinedPressMacro(2)", "setKeyFunction(2,11)", "getReportRate"};
    QTest::newRow("other model") << int(DeviceIds::kBalsom) << QStringList {"macroValue1", "macroValue2"}
                                 << QStringList {"setKeyFunction(0,9)", "setMacro(1000,1)", "setMacro(1001,1)",
                                                 "setDefinedPressMacro(2)", "setKeyFunction(2,11)", "getReportRate"};
    // A gap in the numbering: the macros there are taken in number order.
    QTest::newRow("first and third") << int(DeviceIds::kBalsom) << QStringList {"macroValue1", "macroValue3"}
                                     << QStringList {"setKeyFunction(0,9)", "setMacro(1000,1)", "setMacro(1001,1)",
                                                     "setDefinedPressMacro(2)", "setKeyFunction(2,11)",
                                                     "getReportRate"};
}

void TestProfileFieldApply::multiMacroKey()
{
    QFETCH(int, pid);
    QFETCH(QStringList, members);
    QFETCH(QStringList, calls);
    QCOMPARE(apply(multiMacroProfile(members), pid), QStringList {"0:Successfully read the current configuration page"});
    QCOMPARE(mDevice->calls(), calls);
}

QTEST_MAIN(TestProfileFieldApply)
#include "tst_profilefieldapply.moc"
