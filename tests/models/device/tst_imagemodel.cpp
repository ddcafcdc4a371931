#include "CoreTestDevice.h"
#include "QuenbyKeyboardFixture.h"
#include "RecordingServices.h"

#include "devices/LayoutDocument.h"
#include "devices/keyboard/FDeviceQuenby_8a.h"
#include "hid/HDeviceManager.h"
#include "hid/HWork.h"
#include "models/device/KImageModel.h"
#include "platform/sys/PlatformTime.h"
#include "TestWait.h"

#include <QMetaProperty>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QString kKeyboardLayout = QStringLiteral(":/common/newUI/Quenby_8a/Quenby_8ALayout.json");
constexpr int kTestPid = 0x6D10;

QJsonObject fixture(const QString& name)
{
    if (name == QLatin1String("keyboard"))
        return LayoutDocument::read(kKeyboardLayout);
    return LayoutDocument::read(QStringLiteral(CORVANE_SOURCE_DIR "/tests/models/device/fixtures/") + name);
}

// Every NOTIFY signal of the model, by property name, recorded.
class PropertySpies
{
public:
    explicit PropertySpies(QObject* object)
    {
        const QMetaObject* meta = object->metaObject();
        for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
            const QMetaProperty property = meta->property(i);
            m_spies.emplace_back(property.name(), std::make_unique<QSignalSpy>(object, property.notifySignal()));
        }
    }
    QStringList emitted() const
    {
        QStringList names;
        for (const auto& [name, spy] : m_spies) {
            if (spy->count() > 0)
                names << name;
        }
        names.sort();
        return names;
    }

private:
    std::vector<std::pair<QString, std::unique_ptr<QSignalSpy>>> m_spies;
};

} // namespace

// The device view model against layout documents of each kind, and against the simulated keyboard.
class TestImageModel : public QObject
{
    Q_OBJECT

private:
    RecordingServices* m_services = nullptr;

    CoreTestDevice* plugTestDevice(const QJsonObject& layout)
    {
        HDeviceManager::instance()->setFactory([](int pid) { return new CoreTestDevice(pid); });
        if (!HDeviceManager::instance()->createDevice(kTestPid))
            return nullptr;
        auto* device = qobject_cast<CoreTestDevice*>(HDeviceManager::instance()->getDevice(kTestPid));
        device->setLayout(layout);
        return device;
    }

    // Reads the current device's layout into the model and waits until the result is in.
    static void load(KImageModel& model)
    {
        model.deviceDataChange();
        WAIT_COMPARE(HWork::pendingCount(), 0);
        QCoreApplication::processEvents();
    }

    static void unplugAll()
    {
        HDeviceManager* registry = HDeviceManager::instance();
        if (KBaseDevice* device = registry->getDevice(kTestPid)) {
            device->setRemoved(true);
            registry->removeDevice(kTestPid);
        }
        WAIT_COMPARE(CoreTestDevice::liveCount(), 0);
        registry->setFactory({});
    }

private slots:
    void init() { m_services = new RecordingServices; }
    void cleanup()
    {
        unplugAll();
        delete m_services;
        m_services = nullptr;
    }

    void emptyBeforeAnyLayout()
    {
        KImageModel model;
        QCOMPARE(model.deviceName(), QString());
        QCOMPARE(model.deviceVersion(), QString());
        QCOMPARE(model.deviceType(), 0);
        QVERIFY(model.keyXMap().isEmpty());
        QVERIFY(!model.isWireLess());
        // No current device: nothing is read and nothing changes.
        PropertySpies spies(&model);
        load(model);
        QCOMPARE(spies.emitted(), QStringList());
    }

    void propertiesFromLayout_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("oled");
        QTest::addColumn<QString>("oledImg");
        QTest::addColumn<bool>("wireless");
        QTest::addColumn<int>("leftKeyMacro");
        QTest::addColumn<bool>("light");
        QTest::addColumn<bool>("currentDpi");
        QTest::addColumn<int>("maxMacro");
        QTest::addColumn<bool>("wheel");
        QTest::addColumn<bool>("shortCut");
        QTest::addColumn<int>("keys");
        QTest::addColumn<int>("lights");
        QTest::addColumn<QString>("mouseImage");
        QTest::addColumn<QString>("keyboardImage");

        QTest::newRow("keyboard") << "keyboard" << "ZEPHRA" << 2 << false << "" << false << 0 << true << false
                                  << 256 << false << false << 84 << 1 << ""
                                  << "qrc:/common/newUI/Quenby_8a/ms_logo_1.png";
        QTest::newRow("mouse, one light zone")
            << "mouse-one-zone.json" << "TESTMOUSE" << 1 << true << "qrc:/common/TestMouse/oled.png" << true << 3
            << true << true << 400 << false << true << 3 << 1 << "qrc:/common/TestMouse/mouse.png" << "";
        // No OLED: its picture is not read even though the document names one.
        QTest::newRow("mouse, two light zones")
            << "mouse-two-zones.json" << "TESTMOUSE2" << 1 << false << "" << false << 4 << true << false << 196
            << true << false << 2 << 2 << "qrc:/common/TestMouse2/mouse.png" << "";
        QTest::newRow("optional members missing") << "sparse.json" << "SPARSE" << 1 << false << "" << false << 0
                                                  << false << false << 0 << false << false << 0 << 0 << "" << "";
    }

    void propertiesFromLayout()
    {
        QFETCH(QString, file);
        const QJsonObject layout = fixture(file);
        QVERIFY(!layout.isEmpty());
        QVERIFY(plugTestDevice(layout));
        KImageModel model;
        load(model);

        QTEST(model.deviceName(), "name");
        QTEST(model.deviceType(), "type");
        QTEST(model.hasOLED(), "oled");
        QTEST(model.oledImg(), "oledImg");
        QTEST(model.isWireLess(), "wireless");
        QTEST(model.leftKeyMacro(), "leftKeyMacro");
        QTEST(model.hasLight(), "light");
        QTEST(model.hasCurrentDpi(), "currentDpi");
        QTEST(model.maxMacroLength(), "maxMacro");
        QTEST(model.hasWheel(), "wheel");
        QTEST(model.hasShortCut(), "shortCut");
        QTEST(model.keyXMap().size(), "keys");
        QTEST(model.keyNameMap().size(), "keys");
        QTEST(model.lightImgMap().size(), "lights");
        QTEST(model.keyBaseImg(), "mouseImage");
        QTEST(model.keyboardKeyBaseImg(), "keyboardImage");
        QCOMPARE(model.deviceVersion(), QStringLiteral("1"));
    }

    // The keyboard's document as the live keyboard hands it out: the values the pages draw it with.
    void keyboardPictureFromTheSimulatedKeyboard()
    {
        QuenbyKeyboardFixture keyboard;
        keyboard.keyboard()->setFirmwareVersion(0x10, 0x40);
        QVERIFY(keyboard.openDevice());
        KImageModel model;
        PropertySpies spies(&model);
        load(model);

        QCOMPARE(model.deviceName(), QStringLiteral("ZEPHRA"));
        for (const QVariantMap& map : {model.keyImgMap(), model.keyXMap(), model.keyYMap(), model.keyLeftMap(),
                                       model.keyNameMap(), model.keyWidthMap(), model.keyHeightMap(),
                                       model.lightKeyXMap(), model.lightKeyYMap(), model.lightKeyWidthMap(),
                                       model.lightKeyHeightMap()})
            QCOMPARE(map.size(), 84);
        QCOMPARE(model.lightImgMap().keys(), QStringList{QStringLiteral("0")});
        QCOMPARE(model.lightImgMap().value("0").toString(),
                 QStringLiteral("qrc:/common/newUI/Quenby_8a/ms_light_logo_1.png"));
        QCOMPARE(model.lightLeftMap().value("0").toBool(), true);
        QCOMPARE(QList<int>({model.lightImgX(), model.lightImgY(), model.lightImgWidth(), model.lightImgHeight()}),
                 QList<int>({218, 116, 669, 261}));
        QCOMPARE(QList<int>({model.keyImgX(), model.keyImgY(), model.keyImgWidth(), model.keyImgHeight()}),
                 QList<int>({120, 211, 864, 337}));
        QCOMPARE(model.keyNumber(), 84);
        QCOMPARE(model.lightSpeedBaseImg(), QStringLiteral("qrc:/common/newUI/Quenby_8a/lightSpeed_background.png"));
        QCOMPARE(model.lightBrightnessBaseImg(),
                 QStringLiteral("qrc:/common/newUI/Quenby_8a/lightBrightness_background.png"));
        // Every keyboard key is drawn on the same side; keyboard keys have no pictures of their own.
        QCOMPARE(model.keyLeftMap().value("14").toBool(), true);
        QCOMPARE(model.keyImgMap().value("14").toString(), QString());
        QCOMPARE(model.keyNameMap().value("14").toString(), QStringLiteral("Esc Key"));
        // The quote key's name keeps its single quote.
        QVERIFY(model.keyNameMap().value("105").toString().startsWith(QLatin1Char('\'')));
        // A keyboard has no mouse picture and no mouse light-effect geometry.
        QCOMPARE(model.keyBaseImg(), QString());
        QVERIFY(model.lightEffectWidthMap().isEmpty());
        // Everything the keyboard branch sets is announced; nothing of the mouse branch is.
        const QStringList silent = {"keyBaseImg", "lightEffectHeightMap", "lightEffectWidthMap", "oledImg"};
        QStringList all;
        for (int i = model.metaObject()->propertyOffset(); i < model.metaObject()->propertyCount(); ++i)
            all << model.metaObject()->property(i).name();
        for (const QString& name : silent)
            all.removeOne(name);
        all.sort();
        QCOMPARE(spies.emitted(), all);
        // The pages are rebuilt after the device has had its settling pause.
        QVERIFY(Platform::recordedSleeps().contains(100));

        QTest::ignoreMessage(QtDebugMsg, "Device FwVersion: 1040");
        QSignalSpy version(&model, &KImageModel::versionChanged);
        model.readDeviceVersion();
        WAIT_COMPARE(version.count(), 1);
        QCOMPARE(model.deviceVersion(), QStringLiteral("1040"));
    }

    // The keyboard's document carries every value the program relies on.
    void keyboardDocumentHoldsItsValues()
    {
        const QJsonObject layout = fixture(QStringLiteral("keyboard"));
        const QVariantMap top = layout.toVariantMap();
        const QVariantMap flags{{"deviceName", "ZEPHRA"}, {"deviceType", 2}, {"hasOled", false},
                                {"isWireLess", false}, {"leftKeyMacro", 0}, {"hasPowerSaving", false},
                                {"hasRGB", false}, {"hasReport", false}, {"hasOperatingMode", false},
                                {"hasLight", true}, {"hasCurrentDpi", false}, {"hasShortCut", false},
                                {"MaxMacroLenth", 256}, {"win7Update", true}};
        for (auto it = flags.cbegin(); it != flags.cend(); ++it)
            QCOMPARE(top.value(it.key()), it.value());
        for (const char* absent : {"dpi", "report", "hasWheel"})
            QVERIFY2(!layout.contains(QLatin1String(absent)), absent);

        QStringList functions;
        for (const QJsonValue& entry : layout.value("baseFunctions").toArray())
            functions << QStringLiteral("%1 %2").arg(entry["index"].toInt()).arg(entry["name"].toString());
        QCOMPARE(functions, QStringList({"1 Close window", "2 Lock the computer", "3 Running", "4 Show desktop",
                                         "7 Zoom in", "8 Zoom out", "28 Find", "9 Left", "11 Right", "10 Middle",
                                         "18 Player", "23 Volume down", "24 Volume up", "25 Mute"}));

        const QJsonObject light = layout.value("light").toObject();
        const QVariantMap ranges{{"number", 1},      {"brightnessMin", 0}, {"brightnessMax", 3},
                                 {"speedMin", 0},    {"speedMax", 4},      {"keyLightMin", 0},
                                 {"keyLightMax", 10}};
        for (auto it = ranges.cbegin(); it != ranges.cend(); ++it)
            QCOMPARE(light.value(it.key()).toVariant(), it.value());
        QStringList modes;
        for (const QJsonValue& mode : light.value("lightMode").toArray()) {
            QVERIFY(mode["hasbrightness"].toBool());
            QVERIFY(mode.toObject().contains("x") && mode.toObject().contains("y"));
            modes << QStringLiteral("%1 %2%3").arg(mode["index"].toInt()).arg(mode["text"].toString(),
                                                                            mode["hasSpeed"].toBool() ? "" : " (fixed)");
        }
        QCOMPARE(modes, QStringList({"1 The light is always on (fixed)", "2 Single light mode", "3 Breathing mode",
                                     "4 Star dot mode", "5 Curve mode", "6 Ripple mode (fixed)",
                                     "7 Custom mode (fixed)"}));

        const QJsonArray keys = layout.value("key").toObject().value("keyBtn").toArray();
        const QJsonArray keyLights = light.value("keyLightBtn").toArray();
        QCOMPARE(keys.size(), 84);
        QCOMPARE(keyLights.size(), 84);
        QList<int> ids;
        QStringList extended;
        for (int i = 0; i < keys.size(); ++i) {
            const QJsonObject key = keys.at(i).toObject();
            const QJsonObject keyLight = keyLights.at(i).toObject();
            ids << key["key"].toInt();
            // The same keys in the same order, each light inside its key.
            QCOMPARE(keyLight["key"].toInt(), key["key"].toInt());
            QVERIFY(keyLight["width"].toInt() < key["width"].toInt());
            QVERIFY(keyLight["height"].toInt() < key["height"].toInt());
            for (const char* member : {"vkCode", "scanCode", "defaultFunc"})
                QVERIFY2(key.contains(QLatin1String(member)), member);
            if (key["extended"].toBool())
                extended << key["name"].toString();
        }
        QList<int> expected;
        for (const QPair<int, int>& run : QList<QPair<int, int>>{
                 {14, 19}, {22, 25}, {27, 27}, {30, 35}, {38, 42}, {46, 50}, {54, 59}, {62, 66}, {70, 74},
                 {78, 82}, {86, 91}, {94, 98}, {101, 106}, {110, 112}, {115, 115}, {118, 123}, {128, 131},
                 {134, 137}, {139, 139}}) {
            for (int id = run.first; id <= run.second; ++id)
                expected << id;
        }
        QCOMPARE(ids, expected);
        extended.sort();
        QCOMPARE(extended, QStringList({"Alt_R Key", "Ctrl_R Key", "Delete Key", "Down Key", "End Key", "Home Key",
                                        "Left Key", "Pgdn Key", "Pgup Key", "PrtSc Key", "Right Key", "Shift_R Key",
                                        "Up Key", "Win_L Key"}));
    }

    void geometryFollowsTheScale_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<float>("scale");
        QTest::addColumn<QString>("property");
        QTest::addColumn<QString>("id");
        QTest::addColumn<int>("expected");

        const struct {
            const char* file;
            const char* property;
            const char* id;
            int atScale[3]; // 0.7, 1.0, 1.5
        } cases[] = {
            {"keyboard", "keyImgX", "", {84, 120, 180}},
            {"keyboard", "keyImgHeight", "", {235, 337, 505}},
            {"keyboard", "lightImgWidth", "", {468, 669, 1003}},
            {"keyboard", "keyXMap", "14", {1, 2, 3}},
            {"keyboard", "keyHeightMap", "14", {36, 52, 78}},
            {"keyboard", "lightKeyWidthMap", "14", {26, 38, 57}},
            {"mouse-one-zone.json", "keyXMap", "0", {12, 18, 27}},
            {"mouse-one-zone.json", "keyYMap", "2", {4, 7, 10}},
            {"mouse-one-zone.json", "keyImgWidth", "", {210, 300, 450}},
            {"mouse-one-zone.json", "lightKeyXMap", "0", {28, 40, 60}},
            {"mouse-two-zones.json", "lightEffectWidthMap", "1", {7, 10, 15}},
            {"mouse-two-zones.json", "lightKeyYMap", "1", {10, 15, 22}},
        };
        const float scales[] = {0.7f, 1.0f, 1.5f};
        for (const auto& c : cases) {
            for (int i = 0; i < 3; ++i) {
                QTest::addRow("%s %s[%s] x%.1f", c.file, c.property, c.id, double(scales[i]))
                    << QString::fromLatin1(c.file) << scales[i] << QString::fromLatin1(c.property)
                    << QString::fromLatin1(c.id) << c.atScale[i];
            }
        }
    }

    void geometryFollowsTheScale()
    {
        QFETCH(QString, file);
        QFETCH(float, scale);
        QFETCH(QString, property);
        QFETCH(QString, id);
        QVERIFY(plugTestDevice(fixture(file)));
        m_services->setScale(scale);
        KImageModel model;
        load(model);
        const QVariant value = model.property(property.toLatin1().constData());
        QTEST(id.isEmpty() ? value.toInt() : value.toMap().value(id).toInt(), "expected");
    }

    // A document that does not parse reaches the model as an empty one: the previous device's state stays.
    void malformedDocumentChangesNothing()
    {
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("layout document does not parse"));
        QVERIFY(fixture(QStringLiteral("malformed.json")).isEmpty());

        CoreTestDevice* device = plugTestDevice(fixture(QStringLiteral("mouse-one-zone.json")));
        KImageModel model;
        load(model);
        PropertySpies spies(&model);
        device->setLayout(QJsonObject());
        load(model);
        QCOMPARE(spies.emitted(), QStringList());
        QCOMPARE(model.deviceName(), QStringLiteral("TESTMOUSE"));
        QCOMPARE(model.keyXMap().size(), 3);
    }

    // A device kind without a picture updates the flags only; the previous picture stays.
    void unknownKindKeepsThePicture()
    {
        CoreTestDevice* device = plugTestDevice(fixture(QStringLiteral("mouse-one-zone.json")));
        KImageModel model;
        load(model);
        QJsonObject other = fixture(QStringLiteral("mouse-two-zones.json"));
        other.remove(QStringLiteral("deviceType"));
        device->setLayout(other);
        PropertySpies spies(&model);
        load(model);
        QCOMPARE(model.deviceName(), QStringLiteral("TESTMOUSE2"));
        QCOMPARE(model.deviceType(), 0);
        QCOMPARE(model.keyXMap().size(), 3);
        QCOMPARE(model.keyBaseImg(), QStringLiteral("qrc:/common/TestMouse/mouse.png"));
        QCOMPARE(spies.emitted(), QStringList({"deviceName", "deviceType", "deviceVersion", "hasCurrentDpi",
                                               "hasLight", "hasOLED", "hasShortCut", "hasWheel", "isWireLess",
                                               "leftKeyMacro", "maxMacroLength"}));
    }

    // A mouse without light buttons keeps the light maps and slider pictures but still rebuilds its keys.
    void mouseWithoutLightButtonsKeepsTheLights()
    {
        CoreTestDevice* device = plugTestDevice(fixture(QStringLiteral("mouse-two-zones.json")));
        KImageModel model;
        load(model);
        device->setLayout(fixture(QStringLiteral("sparse.json")));
        load(model);
        QCOMPARE(model.lightImgMap().size(), 2);
        QCOMPARE(model.lightSpeedBaseImg(), QStringLiteral("qrc:/common/TestMouse2/speed.png"));
        QVERIFY(model.keyXMap().isEmpty());
        QCOMPARE(model.keyImgWidth(), 0);
        QCOMPARE(model.keyBaseImg(), QString());
    }

    void connectionModeTips_data()
    {
        QTest::addColumn<bool>("wireless");
        QTest::addColumn<QList<int>>("modes");
        QTest::addColumn<bool>("after");
        QTest::addColumn<QStringList>("tips");

        const QString toWireless =
            QStringLiteral("0:The device has been switched to wireless mode, please switch to USB mode");
        const QString toUsb = QStringLiteral("0:The device has switched to USB mode");
        QTest::newRow("wired, wireless twice") << false << QList<int>{1, 1} << true << QStringList{toWireless};
        QTest::newRow("wired, cable") << false << QList<int>{0} << false << QStringList();
        QTest::newRow("wireless, cable") << true << QList<int>{0, 0} << false << QStringList{toUsb};
        QTest::newRow("back and forth") << false << QList<int>{1, 0} << false << QStringList{toWireless, toUsb};
        QTest::newRow("unknown mode") << false << QList<int>{2, -1} << false << QStringList();
    }

    void connectionModeTips()
    {
        QFETCH(bool, wireless);
        QFETCH(QList<int>, modes);
        KImageModel model;
        model.setIsWireLess(wireless);
        QSignalSpy changed(&model, &KImageModel::isWireLessChanged);
        for (int mode : modes)
            model.slot_currentModeChange(mode);
        QTEST(model.isWireLess(), "after");
        QTEST(m_services->tips, "tips");
        QCOMPARE(changed.count(), m_services->tips.size());
    }

    // The firmware version is read from the bound device only while it is the current, present device.
    void versionReadOnlyFromTheBoundDevice_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QString>("expected");
        QTest::newRow("answers") << 1040 << "present" << "1040";
        QTest::newRow("cannot be read") << -1 << "present" << "1";
        QTest::newRow("unplugged") << 1040 << "removed" << "1";
        QTest::newRow("never bound") << 1040 << "unbound" << "";
    }

    void versionReadOnlyFromTheBoundDevice()
    {
        QFETCH(int, answer);
        QFETCH(QString, situation);
        CoreTestDevice* device = plugTestDevice(fixture(QStringLiteral("sparse.json")));
        device->setFwVersion(answer);
        KImageModel model;
        if (situation != QLatin1String("unbound"))
            load(model);
        if (situation == QLatin1String("removed"))
            device->setRemoved(true);
        model.readDeviceVersion();
        WAIT_COMPARE(HWork::pendingCount(), 0);
        QCoreApplication::processEvents();
        QTEST(model.deviceVersion(), "expected");
    }
};

QTEST_MAIN(TestImageModel)
#include "tst_imagemodel.moc"
