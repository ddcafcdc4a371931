#include "QuenbyKeyboardFixture.h"
#include "JsonFiles.h"
#include "RecordingServices.h"
#include "ScriptedKeyDevice.h"

#include "common/DeviceIds.h"
#include "common/ProgramFolders.h"
#include "devices/keyboard/FDeviceQuenby_8a.h"
#include "hid/HDeviceManager.h"
#include "models/device/FKeyLightModel.h"
#include "models/device/KImageModel.h"
#include "models/keys/HKey.h"
#include "models/keys/HKeyModel.h"
#include "models/keys/KKeyModel.h"
#include "models/keys/KKeyModelItem.h"
#include "profiles/KConfigFileController.h"
#include "TestWait.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace DeviceIds;

Q_DECLARE_METATYPE(SimKeyFunction)

namespace {

const QString kEmptyMacroTip = QStringLiteral("1:Setting failed. The selected macro includes empty macro");
const QString kLeftKeyTip = QStringLiteral("1:Please retain at least one key as the \"left button\" function");

// A macro file's events: count key presses and releases of "A".
QJsonArray keyEvents(int count)
{
    QJsonArray list;
    for (int i = 0; i < count; ++i) {
        list.append(QJsonObject{{"type", 0}, {"value1", 4}, {"value2", 30}, {"isUp", i % 2 == 1}, {"text", "A"}});
        list.append(QJsonObject{{"type", 2}, {"value1", 20}, {"value2", 0}, {"isUp", false}, {"text", ""}});
    }
    return list;
}

QJsonObject macroDocument(int pairs, const QString& playType = QStringLiteral("1"))
{
    return QJsonObject{{"list", keyEvents(pairs)}, {"ignoreTime", false}, {"playType", playType},
                       {"times", 1}, {"macroName", "m"}};
}

} // namespace

// The key model against the simulated keyboard (keys, combinations, macros end to end) and against a scripted
// device for the mouse families, whose drivers are not needed for the model's decisions.
class TestKeyModel : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<RecordingServices> services;
    std::unique_ptr<KImageModel> image;
    std::unique_ptr<QTemporaryDir> folder;
    QTemporaryDir configHome;

    QString writeFile(const QString& name, const QByteArray& content)
    {
        const QString path = folder->filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return QString();
        file.write(content);
        return path;
    }
    QString writeMacro(const QString& name, const QJsonObject& document)
    {
        return writeFile(name, QJsonDocument(document).toJson());
    }

    // Waits until every busy indicator that was started has been stopped.
    bool settled()
    {
        return QTest::qWaitFor([this] { return services->loadingStarts > 0 && services->open() == 0; }, TestWait::kBoundMs);
    }

    // A scripted device of the given product id as the current device.
    ScriptedKeyDevice* scripted(int pid)
    {
        HDeviceManager::instance()->setFactory([](int id) { return new ScriptedKeyDevice(id); });
        HDeviceManager::instance()->createDevice(pid);
        return qobject_cast<ScriptedKeyDevice*>(HDeviceManager::instance()->getDevice(pid));
    }

    static int keyTablePosition(int key)
    {
        for (int pos = 0; pos < SimQuenby::kKeyPositions; ++pos) {
            if (SimQuenby::kKeyAtPosition[pos] == key)
                return pos;
        }
        return -1;
    }


    static QJsonObject keyEntry(const QJsonObject& profile, int key)
    {
        for (const QJsonValue& value : profile.value("key").toArray()) {
            if (value.toObject().value("key").toInt() == key)
                return value.toObject();
        }
        return QJsonObject();
    }

private slots:
    // A configuration folder of this run alone: test programs of other checkouts may run at the same time.
    void initTestCase()
    {
        QVERIFY(configHome.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()));
        QVERIFY(ProgramFolders::configLocation().startsWith(configHome.path()));
    }

    void init()
    {
        QDir(ProgramFolders::configLocation()).removeRecursively();
        services = std::make_unique<RecordingServices>();
        image = std::make_unique<KImageModel>();
        image->setDeviceType(2);
        image->setMaxMacroLength(256);
        image->setDeviceName(QStringLiteral("ZEPHRA"));
        services->setImageModel(image.get());
        folder = std::make_unique<QTemporaryDir>();
    }

    void cleanup()
    {
        HDeviceManager* registry = HDeviceManager::instance();
        for (int pid : {int(kKeyboardWired), int(kHebden), int(kHarlo), int(kVarlo), int(kZennor), int(kOrlan), int(kSelwin)}) {
            if (KBaseDevice* device = registry->getDevice(pid)) {
                device->setRemoved(true);
                registry->removeDevice(pid);
            }
        }
        QTest::qWaitFor([registry] { return !registry->getDevice(-1) && !registry->hasRemovedDevice(); }, TestWait::kBoundMs);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        registry->setFactory({});
        services.reset();
        image.reset();
        folder.reset();
    }

    // --- the key list -------------------------------------------------------------------------------------

    void keyListFollowsTheLayout()
    {
        QuenbyKeyboardFixture keyboard;
        QVERIFY(keyboard.openDevice());
        KKeyModel model;
        QCOMPARE(model.getOrginFuncMap().size(), 128);
        QSignalSpy listChanged(&model, &KKeyModel::keyListChanged);
        QSignalSpy valuesChanged(&model, &KKeyModel::keyValueListChanged);
        QSignalSpy functionsChanged(&model, &KKeyModel::functionsMapChanged);

        model.deviceDataChange();
        QCOMPARE(model.getKeyList().size(), 84);
        QCOMPARE(model.getKeyValueList().size(), 84);
        QCOMPARE(model.getFunctionsMap().size(), 14);
        QCOMPARE(model.getFunctionsMap().value("25").toString(), QStringLiteral("Mute"));
        auto* first = model.getKeyList().first().value<KKeyModelItem*>();
        QCOMPARE(first->getKey(), 14);
        QCOMPARE(first->getTxt(), QStringLiteral("Esc Key"));
        QCOMPARE(listChanged.count(), 1);
        QCOMPARE(valuesChanged.count(), 1);
        QCOMPARE(functionsChanged.count(), 1);

        // A rebuild announces the new list and frees the old items.
        QPointer<KKeyModelItem> old(first);
        QPointer<HKey> oldKey(model.getKeyValueList().first().value<HKey*>());
        model.slot_uiModelChange(*keyboard.createDevice()->getLayout());
        QCOMPARE(listChanged.count(), 2);
        QCOMPARE(valuesChanged.count(), 1); // the preview keys are left alone here
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(old.isNull());
        QVERIFY(!oldKey.isNull());
        model.deviceDataChange();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(oldKey.isNull());

        // An empty layout changes nothing.
        model.slot_uiModelChange(QJsonObject());
        QCOMPARE(listChanged.count(), 3);
        QCOMPARE(model.getKeyList().size(), 84);
    }

    // --- single functions and combinations on the keyboard -----------------------------------------------

    void keyboardAssignments_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("func");
        QTest::addColumn<int>("mask"); // -1: a single function (setFunction)
        QTest::addColumn<int>("qtKey");
        QTest::addColumn<int>("scanCode");
        QTest::addColumn<SimKeyFunction>("onDevice");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("event");

        QTest::newRow("Esc plays Left") << 14 << 9 << -1 << 0 << 0 << SimKeyFunction::mouseButton(SimKeyFunction::Left)
                                        << 9 << "device_keyfunc/key:14/func:9";
        QTest::newRow("Null is the factory key") << 25 << 0 << -1 << 0 << 0 << SimKeyFunction::key(0x04) << 58
                                                 << "device_keyfunc/key:25/func:58";
        QTest::newRow("Ctrl+A") << 14 << 30 << 1 << int(Qt::Key_A) << 0x1E
                                << SimKeyFunction::combination(SimKeyFunction::Ctrl, 0x04) << 32
                                << "device_composite/key:14/keycode:4";
        QTest::newRow("Alt+F4 closes the window") << 14 << 30 << 4 << int(Qt::Key_F4) << 0x3E
                                                  << SimKeyFunction::combination(SimKeyFunction::Alt, 0x3D) << 1
                                                  << "device_composite/key:14/keycode:61";
        QTest::newRow("a plain key is that key's function")
            << 14 << 30 << 0 << int(Qt::Key_B) << 0x30 << SimKeyFunction::key(0x05) << 59
            << "device_composite/key:14/keycode:5";
    }

    void keyboardAssignments()
    {
        QFETCH(int, key);
        QFETCH(int, func);
        QFETCH(int, mask);
        QFETCH(int, qtKey);
        QFETCH(int, scanCode);
        QFETCH(SimKeyFunction, onDevice);
        QFETCH(int, type);
        QFETCH(QString, event);

        QuenbyKeyboardFixture keyboard;
        QVERIFY(keyboard.openDevice());
        KKeyModel model;
        model.deviceDataChange();

        const bool queued = mask < 0 ? model.setFunction(key, func)
                                     : model.setCompositeKey(key, func, mask, qtKey, scanCode);
        QVERIFY(queued);
        QVERIFY(settled());
        QCOMPARE(keyboard.keyboard()->keyFunctionOfKey(key), onDevice);
        QVERIFY(!keyboard.keyboard()->appliedWrites().isEmpty());
        KKeyModelItem* item = nullptr;
        for (const QVariant& value : model.getKeyList()) {
            if (value.value<KKeyModelItem*>()->getKey() == key)
                item = value.value<KKeyModelItem*>();
        }
        QVERIFY(item);
        QCOMPARE(item->getType(), type);
        QCOMPARE(services->events, QStringList{event});
        QCOMPARE(services->profileSaves, QStringList{QStringLiteral("1:%1").arg(key)});
        QVERIFY(services->tips.isEmpty());
        QVERIFY(services->warnings.isEmpty());
    }

    void writeFailureWarns_data()
    {
        QTest::addColumn<bool>("composite");
        QTest::newRow("function") << false;
        QTest::newRow("combination") << true;
    }

    void writeFailureWarns()
    {
        QFETCH(bool, composite);
        QuenbyKeyboardFixture keyboard;
        QVERIFY(keyboard.openDevice());
        KKeyModel model;
        model.deviceDataChange();
        const SimKeyFunction before = keyboard.keyboard()->keyFunctionOfKey(14);
        keyboard.keyboard()->failWritesAt(SimQuenby::kRegKeyTable + 4 * keyTablePosition(14));

        QVERIFY(composite ? model.setCompositeKey(14, 30, 1, int(Qt::Key_A), 0x1E) : model.setFunction(14, 9));
        QVERIFY(settled());
        QCOMPARE(keyboard.keyboard()->keyFunctionOfKey(14), before);
        QCOMPARE(model.getKeyList().first().value<KKeyModelItem*>()->getType(), 0);
        QCOMPARE(services->warnings, QList<int>{1});
        QCOMPARE(services->events, QStringList{composite ? "device_composite/key:14/fail" : "device_keyfunc/key:14/fail"});
        QVERIFY(services->profileSaves.isEmpty());
    }

    // Every successful assignment is saved into the current profile, which is made from the factory profile
    // when it is missing; a failed one leaves the profile alone.
    void assignmentsReachTheProfile()
    {
        QuenbyKeyboardFixture keyboard;
        QVERIFY(keyboard.openDevice());
        KKeyModel model;
        KConfigFileController controller;
        services->setConfigFileController(&controller);
        services->setKeyModel(&model);
        services->saveThroughController = true;
        services->configPath = QStringLiteral("Default configuration.json");
        const QString profile = ProgramFolders::profileRoot() + "/ZEPHRA/Default configuration.json";
        model.deviceDataChange();

        QVERIFY(model.setCompositeKey(14, 30, 1, int(Qt::Key_A), 0x1E));
        QVERIFY(settled());
        QJsonObject entry = keyEntry(readJsonObject(profile), 14);
        QCOMPARE(entry.value("funcIndex").toInt(), 32);
        const QJsonObject composite = QJsonDocument::fromJson(entry.value("value1").toString().toUtf8()).object();
        QCOMPARE(composite.value("value1").toInt(), 1);
        QCOMPARE(composite.value("value2").toInt(), 4);

        const QString macro = writeMacro("m.json", macroDocument(2, QStringLiteral("3")));
        model.setMacroFunc(22, {macro});
        QVERIFY(settled());
        entry = keyEntry(readJsonObject(profile), 22);
        QCOMPARE(entry.value("funcIndex").toInt(), 29);
        QCOMPARE(entry.value("value1").toObject().value("playType").toString(), QStringLiteral("3"));
        QCOMPARE(entry.value("value1").toObject().value("list").toArray().size(), 4);

        QVERIFY(model.setFunction(25, 9));
        QVERIFY(settled());
        entry = keyEntry(readJsonObject(profile), 25);
        QCOMPARE(entry.value("funcIndex").toInt(), 9);
        QCOMPARE(entry.value("value1").toString(), QString());
        const QString saved = QStringLiteral("0:Successfully reserved the current device configuration");
        QCOMPARE(services->tips, (QStringList{saved, saved, saved}));

        // A failed write saves nothing.
        const QByteArray before = [&] { QFile f(profile); f.open(QIODevice::ReadOnly); return f.readAll(); }();
        keyboard.keyboard()->failWritesAt(SimQuenby::kRegKeyTable + 4 * keyTablePosition(25));
        QVERIFY(model.setFunction(25, 10));
        QVERIFY(settled());
        QFile after(profile);
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), before);
        services->setConfigFileController(nullptr);
    }

    // --- refusals, the left-button check and a missing device ---------------------------------------------

    void refusalsQueueNothing()
    {
        ScriptedKeyDevice* device = scripted(kHebden);
        KKeyModel model;
        QVERIFY(!model.setFunction(5, 26));
        QVERIFY(!model.setFunction(6, 27));
        QVERIFY(!model.setCompositeKey(3, 30, 0, 0, 0)); // neither modifier nor key
        QCOMPARE(services->tips, (QStringList{"1:DPI button cannot set sniper button function",
                                              "1:DPI button cannot set fire button function"}));
        QCOMPARE(services->loadingStarts, 0);
        QTest::qWait(20);
        QVERIFY(device->calls().isEmpty());
    }

    void leftButtonCheck()
    {
        ScriptedKeyDevice* device = scripted(kHarlo);
        KKeyModel model;
        // Left and Null on the left button are written without asking.
        QVERIFY(model.setFunction(0, 9));
        QVERIFY(settled());
        QCOMPARE(device->calls(), QStringList{"setKeyFunction(0,9)"});

        device->fail({"checkLeftKey"});
        QVERIFY(model.setFunction(0, 10));
        QVERIFY(model.setCompositeKey(0, 30, 1, int(Qt::Key_A), 0x1E));
        QVERIFY(settled());
        QCOMPARE(device->calls(), (QStringList{"setKeyFunction(0,9)", "checkLeftKey(0)", "checkLeftKey(0)"}));
        QCOMPARE(services->tips, (QStringList{kLeftKeyTip, kLeftKeyTip}));
    }

    // The swapped-modifier mice get Shift for Ctrl, with the mask and usage as the device stores them.
    void combinationReachesTheDevice()
    {
        ScriptedKeyDevice* device = scripted(kZennor);
        KKeyModel model;
        QVERIFY(model.setCompositeKey(3, 30, 1, int(Qt::Key_A), 0x1E));
        QVERIFY(settled());
        QCOMPARE(device->calls(), (QStringList{"checkLeftKey(3)", "setKeyFunction(3,33,2,4,A)"}));
    }

    void goneDeviceEndsTheRequest()
    {
        KKeyModel model;
        QVERIFY(!model.setFunction(3, 10));
        QCOMPARE(services->open(), 0);

        ScriptedKeyDevice* device = scripted(kHarlo);
        device->setRemoved(true);
        model.setFunction(3, 10);
        model.setMacroFunc(3, {writeMacro("a.json", macroDocument(1))});
        QVERIFY(settled());
        QCOMPARE(services->loadingStarts, 3);
        QCOMPARE(services->tips.size(), 3);
        QVERIFY(services->tips.at(2).startsWith("1:The device is not connected"));
        QVERIFY(device->calls().isEmpty());
    }

    // --- macros ---------------------------------------------------------------------------------------

    void macroReachesTheKeyboard()
    {
        QuenbyKeyboardFixture keyboard;
        QVERIFY(keyboard.openDevice());
        KKeyModel model;
        model.deviceDataChange();
        const QString path = writeMacro("m.json", macroDocument(2, QStringLiteral("2")));

        model.setMacroFunc(14, {path});
        QVERIFY(settled());
        const SimKeyFunction function = keyboard.keyboard()->keyFunctionOfKey(14);
        QCOMPARE(function.kind(), SimKeyFunction::Kind::Macro);
        const SimMacroRecord record = keyboard.keyboard()->decodeMacro(function.macroSlot());
        QVERIFY2(record.valid, qPrintable(record.error));
        QCOMPARE(record.playType, int(SimMacroRecord::UntilPressedAgain));
        QCOMPARE(model.getKeyList().first().value<KKeyModelItem*>()->getType(), 29);
        QCOMPARE(model.getKeyMacroMap().value(14), path);
        QCOMPARE(services->events, QStringList{"device_macro/key:14/playtype:2_ignoretype:0"});
        QVERIFY(services->tips.isEmpty());
    }

    void macroFailuresOnTheKeyboard_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("tip");
        QTest::addColumn<QString>("event");

        QTest::newRow("-4 macro write") << 14 << "macro" << "" << "device_macro/set_macro/fail";
        QTest::newRow("-5 key write after the macro") << 14 << "key" << "" << "device_macro/set_keyfunc/fail";
        QTest::newRow("-7 too long") << 14 << "length"
                                     << "1:The length of the macro you set exceeds the maximum" << "";
        QTest::newRow("-8 left button") << 0 << "" << "" << "device_macro/set_DefinedPressMacro/fail";
    }

    void macroFailuresOnTheKeyboard()
    {
        QFETCH(int, key);
        QFETCH(QString, fault);
        QFETCH(QString, tip);
        QFETCH(QString, event);

        QuenbyKeyboardFixture keyboard;
        QVERIFY(keyboard.openDevice());
        KKeyModel model;
        model.deviceDataChange();
        const SimKeyFunction before = keyboard.keyboard()->keyFunctionOfKey(key);
        if (fault == "macro")
            keyboard.keyboard()->failCommands(1000);
        if (fault == "key")
            keyboard.keyboard()->failWritesAt(SimQuenby::kRegKeyTable + 4 * keyTablePosition(key));
        if (fault == "length")
            image->setMaxMacroLength(1);

        model.setMacroFunc(key, {writeMacro("m.json", macroDocument(2))});
        QVERIFY(settled());
        QCOMPARE(keyboard.keyboard()->keyFunctionOfKey(key), before);
        QCOMPARE(services->tips, tip.isEmpty() ? QStringList() : QStringList{tip});
        QCOMPARE(services->events, event.isEmpty() ? QStringList() : QStringList{event});
        QCOMPARE(services->warnings, event.isEmpty() ? QList<int>() : QList<int>{1});
        QVERIFY(model.getKeyMacroMap().isEmpty());
        QVERIFY(services->profileSaves.isEmpty());
    }

    // The key plays a macro from its slot; a new macro goes into that slot, and the key's own write fails
    // afterwards: the key now plays the new macro, and the model says so too.
    void failedKeyWriteAfterARewrittenSlot()
    {
        QuenbyKeyboardFixture keyboard;
        QVERIFY(keyboard.openDevice());
        KKeyModel model;
        model.deviceDataChange();
        const QString first = writeMacro("first.json", macroDocument(1));
        const QString second = writeMacro("second.json", macroDocument(3));
        model.setMacroFunc(14, {first});
        QVERIFY(settled());
        const int slot = keyboard.keyboard()->keyFunctionOfKey(14).macroSlot();
        const int firstEvents = keyboard.keyboard()->decodeMacro(slot).events.size();

        keyboard.keyboard()->failWritesAt(SimQuenby::kRegKeyTable + 4 * keyTablePosition(14));
        model.setMacroFunc(14, {second});
        QVERIFY(settled());
        QCOMPARE(keyboard.keyboard()->keyFunctionOfKey(14), SimKeyFunction::macro(slot));
        QVERIFY(keyboard.keyboard()->decodeMacro(slot).events.size() > firstEvents);
        QCOMPARE(model.getKeyMacroMap().value(14), second);
        QCOMPARE(model.getKeyList().first().value<KKeyModelItem*>()->getType(), 29);
        QCOMPARE(services->warnings, QList<int>{1});
        QCOMPARE(services->events.last(), QStringLiteral("device_macro/set_keyfunc/fail"));
    }

    void unusableMacroFilesAreRefusedBeforeAnything_data()
    {
        QTest::addColumn<QByteArray>("content"); // "-": no file
        QTest::newRow("missing") << QByteArray("-");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("no JSON") << QByteArray("{\"list\": [");
        QTest::newRow("an array") << QByteArray("[1, 2]");
        QTest::newRow("no events") << QByteArray(R"({"list": [], "playType": "1"})");
        QTest::newRow("events of the wrong type") << QByteArray(R"({"list": [1, 2], "playType": "1"})");
        QTest::newRow("unknown play type")
            << QByteArray(R"({"list": [{"type": 0, "value1": 4, "isUp": false}], "playType": "7"})");
    }

    void unusableMacroFilesAreRefusedBeforeAnything()
    {
        QFETCH(QByteArray, content);
        QuenbyKeyboardFixture keyboard;
        QVERIFY(keyboard.openDevice());
        KKeyModel model;
        model.deviceDataChange();
        const QString path = content == "-" ? folder->filePath("none.json") : writeFile("bad.json", content);
        const QString good = writeMacro("good.json", macroDocument(1));

        model.setMacroFunc(14, {path});
        model.setMacroFunc(0, {good, path});
        QCOMPARE(services->tips, (QStringList{kEmptyMacroTip, kEmptyMacroTip}));
        QCOMPARE(services->open(), 0);
        QTest::qWait(20);
        QVERIFY(keyboard.keyboard()->commands().isEmpty());
    }

    void macroRequestsOutsideTheRules()
    {
        ScriptedKeyDevice* device = scripted(kHebden);
        KKeyModel model;
        const QString path = writeMacro("m.json", macroDocument(1));
        const QString held = writeMacro("held.json", macroDocument(1, QStringLiteral("3")));

        model.setMacroFunc(3, {});
        QCOMPARE(services->loadingStarts, 0);
        model.setMacroFunc(0, {path, path, path, path});
        QCOMPARE(services->loadingStarts, 0);
        model.setMacroFunc(5, {held}); // play while held on a DPI button of the sniper family
        QCOMPARE(services->tips.last(), QStringLiteral("1:This key cannot set a macro in play when pressed"));
        QCOMPARE(services->open(), 0);
        QTest::qWait(20);
        QVERIFY(device->calls().isEmpty());

        model.setMacroFunc(4, {held}); // any other button takes it
        QVERIFY(settled());
        QVERIFY(device->calls().contains("setKeyFunction(4,29,1)"));
    }

    void macroCodesOnMice_data()
    {
        QTest::addColumn<int>("pid");
        QTest::addColumn<QStringList>("failing");
        QTest::addColumn<int>("slot");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QString>("tip");
        QTest::addColumn<QString>("event");
        QTest::addColumn<bool>("recorded"); // the key shows the macro and the macro map names the file

        const QStringList all{"checkLeftKey(3)", "checkMacroId(3)", "macroFilter(2)", "setMacro(4,2)",
                              "setKeyFunction(3,29,4)", "getReportRate", "setReportRate(500)"};
        QTest::newRow("1 basic mouse refreshes its report rate")
            << int(kVarlo) << QStringList() << 4 << all << "" << "device_macro/key:3/playtype:1_ignoretype:0" << true;
        QTest::newRow("-1 left button") << int(kVarlo) << QStringList{"checkLeftKey"} << 4 << QStringList(all.mid(0, 1))
                                        << kLeftKeyTip << "" << false;
        QTest::newRow("-2 no slot") << int(kHarlo) << QStringList{"checkMacroId"} << 4 << QStringList(all.mid(0, 2))
                                    << "1:The macro setting has reached the upper limit. Please delete it before setting"
                                    << "" << false;
        QTest::newRow("-2 basic mouse slot out of range")
            << int(kVarlo) << QStringList() << 5 << QStringList(all.mid(0, 2))
            << "1:The macro setting has reached the upper limit. Please delete it before setting" << "" << false;
        QTest::newRow("-3 empty macro") << int(kHarlo) << QStringList{"macroFilter"} << 4 << QStringList(all.mid(0, 3))
                                        << kEmptyMacroTip << "" << false;
        QTest::newRow("-6 report rate after the key plays the macro")
            << int(kVarlo) << QStringList{"setReportRate"} << 4 << all << "" << "device_macro/set_reportrate/fail"
            << true;
    }

    void macroCodesOnMice()
    {
        QFETCH(int, pid);
        QFETCH(QStringList, failing);
        QFETCH(int, slot);
        QFETCH(QStringList, calls);
        QFETCH(QString, tip);
        QFETCH(QString, event);
        QFETCH(bool, recorded);

        ScriptedKeyDevice* device = scripted(pid);
        device->fail(failing);
        device->setMacroSlot(slot);
        KKeyModel model;
        model.slot_uiModelChange(QJsonObject{{"key", QJsonObject{{"keyBtn", QJsonArray{QJsonObject{{"key", 3}}}}}}});
        const QString path = writeMacro("m.json", macroDocument(1));

        model.setMacroFunc(3, {path});
        QVERIFY(settled());
        QCOMPARE(device->calls(), calls);
        QCOMPARE(services->tips, tip.isEmpty() ? QStringList() : QStringList{tip});
        QCOMPARE(services->events, event.isEmpty() ? QStringList() : QStringList{event});
        QCOMPARE(services->warnings, event.endsWith("fail") ? QList<int>{1} : QList<int>());
        QCOMPARE(model.getKeyList().first().value<KKeyModelItem*>()->getType(), recorded ? 29 : 0);
        QCOMPARE(model.getKeyMacroMap().value(3), recorded ? path : QString());
        QCOMPARE(services->profileSaves, recorded ? QStringList{"1:3"} : QStringList());
    }

    void pressMacros_data()
    {
        QTest::addColumn<int>("pid");
        QTest::addColumn<int>("files");
        QTest::addColumn<QStringList>("failing");
        QTest::addColumn<QStringList>("writes"); // the calls after the left-button check and function
        QTest::addColumn<QString>("event");
        QTest::addColumn<int>("defined");

        QTest::newRow("three files") << int(kHarlo) << 3 << QStringList()
                                     << QStringList{"macroFilter(2)", "setMacro(1000,2)", "macroFilter(2)",
                                                    "setMacro(1001,2)", "macroFilter(2)", "setMacro(1002,2)",
                                                    "setDefinedPressMacro(3)"}
                                     << "device_multimacro/set_multi/definedMacro:3" << 3;
        QTest::newRow("sniper family counts after each")
            << int(kHebden) << 2 << QStringList()
            << QStringList{"macroFilter(2)", "setMacro(1001,2)", "setDefinedPressMacro(1)", "macroFilter(2)",
                           "setMacro(1002,2)", "setDefinedPressMacro(2)"}
            << "device_multimacro/set_multi/definedMacro:2" << 2;
        QTest::newRow("-3 a macro write") << int(kHarlo) << 2 << QStringList{"setMacro"}
                                          << QStringList{"macroFilter(2)", "setMacro(1000,2)"}
                                          << "device_multimacro/set_multi/fail" << 0;
        QTest::newRow("-4 the count") << int(kHarlo) << 2 << QStringList{"setDefinedPressMacro"}
                                      << QStringList{"macroFilter(2)", "setMacro(1000,2)", "macroFilter(2)",
                                                     "setMacro(1001,2)", "setDefinedPressMacro(2)"}
                                      << "device_multimacro/set_defined/fail" << 2;
    }

    void pressMacros()
    {
        QFETCH(int, pid);
        QFETCH(int, files);
        QFETCH(QStringList, failing);
        QFETCH(QStringList, writes);
        QFETCH(QString, event);
        QFETCH(int, defined);

        ScriptedKeyDevice* device = scripted(pid);
        device->fail(failing);
        KKeyModel model;
        model.slot_uiModelChange(QJsonObject{{"key", QJsonObject{{"keyBtn", QJsonArray{QJsonObject{{"key", 0}}}}}}});
        QVector<QString> paths;
        for (int i = 0; i < files; ++i)
            paths << writeMacro(QStringLiteral("m%1.json").arg(i), macroDocument(1));

        model.setMacroFunc(0, paths);
        QVERIFY(settled());
        QCOMPARE(device->calls(), QStringList({"checkLeftKey(0)", "setKeyFunction(0,9)"}) + writes);
        QCOMPARE(services->events, QStringList{event});
        QCOMPARE(model.getDefinedMacroIndex(), defined);
        QCOMPARE(model.getKeyList().first().value<KKeyModelItem*>()->getType(), failing.isEmpty() ? 29 : 0);
        QCOMPARE(services->profileSaves, failing.isEmpty() ? QStringList{"1:0"} : QStringList());
    }

    // --- offered functions -------------------------------------------------------------------------------

    void offeredFunctions()
    {
        KKeyModel model;
        QSignalSpy changed(&model, &KKeyModel::functionsMapChanged);
        model.addFunc(); // no device: outside the families that add anything
        model.deviceDataChange();
        QCOMPARE(changed.count(), 0);
        QVERIFY(model.getKeyList().isEmpty());

        ScriptedKeyDevice* sniper = scripted(kHebden);
        *sniper->getLayout() = QJsonObject{{"baseFunctions", QJsonArray{QJsonObject{{"index", 28}, {"name", "Find"}}}}};
        model.addFunc();
        QCOMPARE(changed.count(), 1);
        QVERIFY(model.getFunctionsMap().isEmpty());
        model.addFunc(-1, true);
        QCOMPARE(model.getFunctionsMap().keys(), (QStringList{"26", "27"}));
        model.addFunc(28);
        QCOMPARE(model.getFunctionsMap().value("28").toString(), QStringLiteral("Find"));
        model.deleteFunc(-1, true);
        model.deleteFunc(28);
        QVERIFY(model.getFunctionsMap().isEmpty());
        QCOMPARE(changed.count(), 5);

        // The DPI-function pair offers the DPI functions instead; other mice add nothing.
        scripted(kOrlan);
        model.addFunc(-1, true);
        QCOMPARE(model.getFunctionsMap().keys(), (QStringList{"36", "39", "40"}));
        model.deleteFunc(-1, true);
        QVERIFY(model.getFunctionsMap().isEmpty());
        scripted(kSelwin);
        model.addFunc(-1, true);
        QVERIFY(model.getFunctionsMap().isEmpty());
    }

    // --- the key list model ------------------------------------------------------------------------------

    void keyListModelRowsAndRoles()
    {
        KKeyModel keys;
        keys.slot_uiModelChange(QJsonObject{{"baseFunctions", QJsonArray{QJsonObject{{"index", 9}, {"name", "Left"}}}},
                                            {"key", QJsonObject{{"keyBtn", QJsonArray{QJsonObject{{"key", 14}}}}}}});
        FKeyLightModel light;
        light.setCurrentColor(QStringLiteral("FF8000"));

        HKeyModel list;
        QCOMPARE(list.rowCount(), 0);
        QVERIFY(!list.data(list.index(0), HKeyModel::KeyListRole).isValid());

        list.setPointers(&keys, nullptr);
        QCOMPARE(list.rowCount(), 1);
        QCOMPARE(list.data(list.index(0), 0).toList(), keys.getKeyList());
        QCOMPARE(list.data(list.index(0), 1).toMap(), keys.getFunctionsMap());
        QCOMPARE(list.data(list.index(0), 2).toMap().size(), 128);
        QVERIFY(!list.data(list.index(0), 3).isValid());
        QVERIFY(!list.data(list.index(0), 6).isValid());

        list.setPointers(&keys, &light);
        list.setPointers(&keys, nullptr); // keeps the light model set before
        QCOMPARE(list.rowCount(), 2);
        QCOMPARE(list.rowCount(list.index(0)), 0);
        for (int role = 0; role <= 6; ++role)
            QCOMPARE(list.data(list.index(1), role), list.data(list.index(0), role));
        QCOMPARE(list.data(list.index(0), 4).toInt(), 10);
        QCOMPARE(list.data(list.index(0), 5).toInt(), 0);
        QCOMPARE(list.data(list.index(0), 6).toString(), QStringLiteral("FF8000"));
        QVERIFY(!list.data(list.index(0), 7).isValid());
        QVERIFY(!list.data(QModelIndex(), 0).isValid());
        QCOMPARE(list.roleNames().value(0), QByteArray("keyList"));
        QCOMPARE(list.roleNames().value(6), QByteArray("keyLightCurrentColor"));
    }
};

QTEST_MAIN(TestKeyModel)
#include "tst_keymodel.moc"
