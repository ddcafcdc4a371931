#include "CoreTestDevice.h"
#include "QuenbyKeyboardFixture.h"
#include "RecordingServices.h"

#include "app/KAppManager.h"
#include "app/KAppModel.h"
#include "app/HSuspension.h"
#include "app/UIManager.h"
#include "common/ProgramFolders.h"
#include "devices/LayoutDocument.h"
#include "devices/keyboard/FDeviceQuenby_8a.h"
#include "hid/HDeviceManager.h"
#include "hid/HWork.h"
#include "models/device/FBattreyModel.h"
#include "models/device/FOledModel.h"
#include "models/device/KImageModel.h"
#include "models/device/KLightModel.h"
#include "models/device/KLightModelItem.h"
#include "platform/sys/PlatformTime.h"
#include "profiles/JsonFileReader.h"
#include "profiles/KConfigFileController.h"
#include "TestWait.h"

#include <QMetaProperty>
#include <QSignalSpy>
#include <QTranslator>
#include <QtTest>

#include <memory>

namespace {

constexpr int kMousePid = 0x6D12;

QJsonObject mouseLayout(const char* name)
{
    return LayoutDocument::read(QStringLiteral(CORVANE_SOURCE_DIR "/tests/models/device/fixtures/") +
                                QLatin1String(name));
}

void settle()
{
    WAIT_COMPARE(HWork::pendingCount(), 0);
    QCoreApplication::processEvents();
}

// The lighting model with its two zones as the UI manager makes it, the recording services, and the
// layout of the current device read in.
struct LightBench {
    RecordingServices services;
    KLightModel lights;
    KLightModelItem* logo;
    KLightModelItem* wheel;

    LightBench()
        : logo(new KLightModelItem(&lights))
        , wheel(new KLightModelItem(&lights))
    {
        lights.setLogo(logo);
        lights.setWheel(wheel);
        services.setLightModel(&lights);
    }

    void readLayout()
    {
        lights.deviceDataChange();
        settle();
        services.clear();
    }
};

// A mouse-shaped test device that may stand in for the keyboard.
CoreTestDevice* plugMouse(const QJsonObject& layout, bool lightAnswer)
{
    HDeviceManager::instance()->setFactory([](int pid) { return new CoreTestDevice(pid); });
    if (!HDeviceManager::instance()->createDevice(kMousePid))
        return nullptr;
    auto* device = qobject_cast<CoreTestDevice*>(HDeviceManager::instance()->getDevice(kMousePid));
    device->setLayout(layout);
    device->setLightAnswer(lightAnswer);
    return device;
}

void unplugMouse()
{
    HDeviceManager* registry = HDeviceManager::instance();
    if (KBaseDevice* device = registry->getDevice(kMousePid)) {
        device->setRemoved(true);
        registry->removeDevice(kMousePid);
    }
    WAIT_COMPARE(CoreTestDevice::liveCount(), 0);
    registry->setFactory({});
}

// The writes the keyboard carried out, as "register=value" in hex.
QStringList appliedWrites(const SimQuenbyKeyboard* keyboard)
{
    QStringList writes;
    for (const SimQuenbyKeyboard::Command& command : keyboard->appliedWrites())
        writes << QStringLiteral("%1=%2").arg(command.reg, 0, 16).arg(QString::fromLatin1(command.data.toHex()));
    return writes;
}

} // namespace

class TestLightModel : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_config;

private slots:
    // The program this test started goes before the application object does (its engine needs it).
    void cleanupTestCase() { KAppManager::instance()->shutdown(); }

    void initTestCase()
    {
        // Profiles go to a folder of this run only, whatever name the program gives itself.
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
        QVERIFY(ProgramFolders::profileRoot().startsWith(m_config.path()));
    }

    void cleanup() { unplugMouse(); }

    // --- the zones from the layout --------------------------------------------------------------------------

    void keyboardZonesFromTheSimulatedKeyboard()
    {
        QuenbyKeyboardFixture keyboard;
        QVERIFY(keyboard.openDevice());
        LightBench bench;
        QSignalSpy palette(bench.logo, &KLightModelItem::sig_defaultColorChanged);
        bench.readLayout();

        for (KLightModelItem* zone : {bench.logo, bench.wheel}) {
            QCOMPARE(zone->index(), QVector<int>({1, 2, 3, 4, 5, 6, 7}));
            QCOMPARE(zone->speedState(), QVector<bool>({false, true, true, true, true, false, false}));
            QCOMPARE(zone->brightnessState(), QVector<bool>(7, true));
            QCOMPARE(zone->modelStrList().first(), QStringLiteral("The light is always on"));
            QCOMPARE(zone->text().size(), 7);
            QCOMPARE(QList<int>({zone->speedMin(), zone->speedMax(), zone->brightnessMin(), zone->brightnessMax()}),
                     QList<int>({0, 4, 0, 3}));
        }
        QCOMPARE(bench.logo->name(), QStringLiteral("lights"));
        QCOMPARE(bench.wheel->name(), QString());
        QCOMPARE(bench.logo->lightBtnX().size(), 7);
        QCOMPARE(bench.logo->lightBtnY().first(), 420);
        QVERIFY(bench.wheel->lightBtnX().isEmpty());
        // No swatches, presets or operating modes on the keyboard; the wheel keeps its own palette.
        QVERIFY(bench.logo->defaultColor().isEmpty());
        QCOMPARE(palette.count(), 1);
        QCOMPARE(bench.wheel->defaultColor().size(), 10);
        QVERIFY(bench.logo->shortCutStrList().isEmpty());
        QCOMPARE(bench.logo->shortCutModel(), 3);
        QVERIFY(bench.logo->operatingModeList().isEmpty());
        QVERIFY(!bench.logo->hasOperatingMode());
        // The keyboard names no logo effects: the three built-in ones stay.
        QCOMPARE(bench.logo->logoModeText().size(), 3);
    }

    void zonesFromMouseLayouts_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("effects");
        QTest::addColumn<QString>("logoName");
        QTest::addColumn<QString>("wheelName");
        QTest::addColumn<int>("swatches");
        QTest::addColumn<int>("presets");
        QTest::addColumn<int>("operatingModes");
        QTest::addColumn<int>("speedMax");

        QTest::newRow("one zone") << "mouse-one-zone.json" << 3 << "logo" << "" << 2 << 4 << 2 << 5;
        QTest::newRow("two zones") << "mouse-two-zones.json" << 2 << "logo" << "wheel" << 0 << 0 << 0 << 3;
        // No "light" at all: ranges 0, no effects, no swatches or presets; kept lists stay.
        QTest::newRow("no light") << "sparse.json" << 0 << "" << "" << 0 << 0 << 0 << 0;
    }

    void zonesFromMouseLayouts()
    {
        QFETCH(QString, file);
        QVERIFY(plugMouse(mouseLayout(file.toLatin1().constData()), false));
        LightBench bench;
        // What an earlier device left: replaced, or kept where the document is silent.
        bench.logo->setOperatingModeList({QStringLiteral("Earlier")});
        bench.logo->setOperatingMode(1);
        bench.readLayout();

        QTEST(int(bench.logo->index().size()), "effects");
        QTEST(int(bench.wheel->text().size()), "effects");
        QTEST(bench.logo->name(), "logoName");
        QTEST(bench.wheel->name(), "wheelName");
        QTEST(int(bench.logo->defaultColor().size()), "swatches");
        QTEST(int(bench.logo->shortCutStrList().size()), "presets");
        QTEST(bench.wheel->speedMax(), "speedMax");
        QCOMPARE(bench.logo->shortCutModel(), 3);
        QCOMPARE(bench.logo->operatingMode(), 0);
        QFETCH(int, operatingModes);
        QCOMPARE(bench.logo->operatingModeList().size(), operatingModes ? operatingModes : 1);
    }

    // Effect names are translated when the layout is read; the plain names stay as the layout writes them.
    void effectNamesTranslatedWhenRead()
    {
        struct Marking : QTranslator {
            QString translate(const char* context, const char* source, const char*, int) const override
            {
                return QLatin1String(context) == QLatin1String("KLightModel")
                           ? QStringLiteral("T:") + QString::fromUtf8(source)
                           : QString();
            }
            bool isEmpty() const override { return false; }
        } marking;
        QuenbyKeyboardFixture keyboard;
        QVERIFY(keyboard.openDevice());
        LightBench bench;
        QCoreApplication::installTranslator(&marking);
        bench.readLayout();
        QCoreApplication::removeTranslator(&marking);
        QCOMPARE(bench.logo->text().first(), QStringLiteral("T:The light is always on"));
        QCOMPARE(bench.wheel->text().last(), QStringLiteral("T:Custom mode"));
        QCOMPARE(bench.logo->modelStrList().first(), QStringLiteral("The light is always on"));
        // A later change of language shows with the next reading only.
        QCOMPARE(bench.logo->text().first(), QStringLiteral("T:The light is always on"));
        bench.readLayout();
        QCOMPARE(bench.logo->text().first(), QStringLiteral("The light is always on"));
    }

    void emptyLayoutOrNoDeviceChangesNothing()
    {
        LightBench bench;
        QSignalSpy names(bench.logo, &KLightModelItem::textChanged);
        bench.readLayout(); // no device at all
        QVERIFY(plugMouse(QJsonObject(), false));
        bench.readLayout(); // a device whose document did not parse
        QCOMPARE(names.count(), 0);
        QCOMPARE(bench.logo->text().size(), 9);
    }

    // --- writes of the numeric settings on the simulated keyboard ---------------------------------------------

    void numericWrites_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("zone");
        QTest::addColumn<bool>("write");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("result");
        QTest::addColumn<int>("after");
        QTest::addColumn<int>("notifies");
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QStringList>("saves");
        QTest::addColumn<QStringList>("writes");

        const QStringList none;
        const struct {
            const char* setting;
            int outside;  // a value out of the layout's range
            int value;    // a valid value other than the start (the start is 1 for every setting)
            const char* writes;
            int section, wheelSection;
            const char* localAction;
        } settings[] = {
            {"speed", 5, 3, "a043=01 a049=01", 2, 7, "speed"},
            {"brightness", 4, 2, "a042=02 a048=02", 3, 8, "brightness"},
            {"model", 7, 3, "a041=04 a047=04", 5, 10, "model"},
            {"logoModel", 3, 2, "a04d=02", 13, 13, "LogoModel"},
        };
        for (const auto& s : settings) {
            const QString action = QString::fromLatin1(s.setting);
            const QString ok = QStringLiteral("device_light/%1/%2").arg(action).arg(s.value);
            const QString fail = QStringLiteral("device_light/%1/fail").arg(action);
            const QStringList writes = QString::fromLatin1(s.writes).split(QLatin1Char(' '));
            const QString save = QStringLiteral("%1:-1").arg(s.section);
            QTest::addRow("%s out of range", s.setting)
                << s.setting << s.outside << 0 << true << "" << false << 1 << 1 << none << none << none;
            QTest::addRow("%s below range", s.setting)
                << s.setting << -1 << 0 << true << "" << false << 1 << 1 << none << none << none;
            QTest::addRow("%s equal to current", s.setting)
                << s.setting << 1 << 0 << true << "" << true << 1 << 0 << none << none << none;
            QTest::addRow("%s only in the model", s.setting)
                << s.setting << s.value << 0 << false << "" << true << s.value << 1
                << QStringList{QStringLiteral("device_light/%1/%2").arg(s.localAction).arg(s.value)} << none
                << none;
            QTest::addRow("%s written", s.setting) << s.setting << s.value << 0 << true << "" << true << s.value << 1
                                                   << QStringList{ok} << QStringList{save} << writes;
            QTest::addRow("%s written to the wheel", s.setting)
                << s.setting << s.value << 1 << true << "" << true << s.value << 1 << QStringList{ok}
                << QStringList{QStringLiteral("%1:-1").arg(s.wheelSection)} << writes;
            QTest::addRow("%s refused by the device", s.setting) << s.setting << s.value << 0 << true << "error"
                                                                 << true << 1 << 2 << QStringList{fail} << none << none;
            QTest::addRow("%s lost on the way", s.setting)
                << s.setting << s.value << 0 << true << "io" << true << 1 << 2 << QStringList{fail} << none << none;
            QTest::addRow("%s without a device", s.setting)
                << s.setting << s.value << 0 << true << "nodevice" << false << 1 << 1 << none << none << none;
        }
    }

    void numericWrites()
    {
        QFETCH(QString, setting);
        QFETCH(int, value);
        QFETCH(int, zone);
        QFETCH(bool, write);
        QFETCH(QString, fault);

        QuenbyKeyboardFixture keyboard;
        FDeviceQuenby_8a* device = keyboard.openDevice();
        QVERIFY(device);
        LightBench bench;
        bench.readLayout();
        KLightModelItem* item = bench.logo;
        item->setSpeed(1);
        item->setBrightness(1);
        item->setModel(1);
        item->setLogoModel(1);
        keyboard.keyboard()->clearCommands();

        if (fault == QLatin1String("error"))
            keyboard.keyboard()->failCommands(100);
        else if (fault == QLatin1String("io"))
            keyboard.bus()->bus()->failNext(keyboard.keyboard()->busDeviceId(), SimBus::Fault::Write, 100);
        else if (fault == QLatin1String("nodevice"))
            device->setRemoved(true);

        const QByteArray name = setting.toLatin1();
        const QMetaProperty property =
            item->metaObject()->property(item->metaObject()->indexOfProperty(name.constData()));
        QSignalSpy notify(item, property.notifySignal());
        bool result = false;
        if (setting == QLatin1String("speed"))
            result = item->writeSpeed(value, zone, write);
        else if (setting == QLatin1String("brightness"))
            result = item->writeBrightness(value, zone, write);
        else if (setting == QLatin1String("model"))
            result = item->writeModel(value, zone, write);
        else
            result = item->writeLogoModel(value, write);
        settle();

        QTEST(result, "result");
        QTEST(property.read(item).toInt(), "after");
        QTEST(notify.count(), "notifies");
        QTEST(bench.services.events, "events");
        QTEST(bench.services.profileSaves, "saves");
        QTEST(appliedWrites(keyboard.keyboard()), "writes");
        const bool failed = result && !fault.isEmpty();
        QCOMPARE(bench.services.warnings, failed ? QList<int>{1} : QList<int>());
        // The busy indicator is up exactly while a device write runs.
        const bool sent = result && write && value != 1;
        QCOMPARE(bench.services.loadingStarts, sent ? 1 : 0);
        QCOMPARE(bench.services.open(), 0);
    }

    // A manual brightness or effect change leaves any lighting preset, with its own event.
    void manualChangeLeavesThePreset_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("preset");
        QTest::addColumn<QStringList>("events");
        // Four presets: position 3 ("no preset") exists and is taken.
        QTest::newRow("with presets") << "mouse-one-zone.json" << 3
                                      << QStringList{"device_light/shortcutModel/3", "device_light/brightness/2"};
        // Fewer presets: the reset is refused, the brightness still changes.
        QTest::newRow("without presets") << "mouse-two-zones.json" << 0
                                         << QStringList{"device_light/brightness/2"};
    }

    void manualChangeLeavesThePreset()
    {
        QFETCH(QString, file);
        QVERIFY(plugMouse(mouseLayout(file.toLatin1().constData()), true));
        LightBench bench;
        bench.readLayout();
        bench.logo->setShortCutModel(0);
        bench.logo->setBrightness(1);
        QVERIFY(bench.logo->writeBrightness(2, 0, false));
        QTEST(bench.logo->shortCutModel(), "preset");
        QTEST(bench.services.events, "events");
        QCOMPARE(bench.logo->brightness(), 2);
    }

    // Presets and operating modes: the keyboard offers none, so they are refused before any device access;
    // a mouse that offers them takes them, and a preset sets the main zone's effect and brightness.
    void presetAndOperatingModeWrites_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("setting");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QStringList>("saves");
        // Main zone brightness and effect, screen mode and brightness, power saving (1 on).
        QTest::addColumn<QList<int>>("after");

        const QList<int> unchanged{1, 1, 5, 50, 1};
        QTest::newRow("keyboard preset") << "keyboard" << "shortCutModel" << 0 << false << QStringList()
                                         << QStringList() << unchanged;
        QTest::newRow("keyboard operating mode") << "keyboard" << "operatingMode" << 0 << false << QStringList()
                                                 << QStringList() << unchanged;
        QTest::newRow("mouse preset 0") << "mouse-one-zone.json" << "shortCutModel" << 0 << true
                                        << QStringList{"device_light/shortcutModel/0"} << QStringList{"5:-1"}
                                        << QList<int>{10, 4, 1, 100, 0};
        QTest::newRow("mouse preset 1") << "mouse-one-zone.json" << "shortCutModel" << 1 << true
                                        << QStringList{"device_light/shortcutModel/1"} << QStringList{"5:-1"}
                                        << QList<int>{8, 4, 1, 80, 1};
        QTest::newRow("mouse preset 2") << "mouse-one-zone.json" << "shortCutModel" << 2 << true
                                        << QStringList{"device_light/shortcutModel/2"} << QStringList{"5:-1"}
                                        << QList<int>{1, 0, 9, 50, 1};
        QTest::newRow("mouse preset out of range") << "mouse-one-zone.json" << "shortCutModel" << 4 << false
                                                   << QStringList() << QStringList() << unchanged;
        QTest::newRow("mouse operating mode") << "mouse-one-zone.json" << "operatingMode" << 1 << true
                                              << QStringList{"device_light/operatingMode/1"}
                                              << QStringList{"15:-1"} << unchanged;
        QTest::newRow("mouse operating mode out of range") << "mouse-one-zone.json" << "operatingMode" << 2
                                                           << false << QStringList() << QStringList() << unchanged;
    }

    void presetAndOperatingModeWrites()
    {
        QFETCH(QString, file);
        QFETCH(QString, setting);
        QFETCH(int, value);
        std::unique_ptr<QuenbyKeyboardFixture> keyboard;
        if (file == QLatin1String("keyboard")) {
            keyboard = std::make_unique<QuenbyKeyboardFixture>();
            QVERIFY(keyboard->openDevice());
        } else {
            QVERIFY(plugMouse(mouseLayout(file.toLatin1().constData()), true));
        }
        LightBench bench;
        FOledModel oled;
        FBattreyModel battery;
        bench.services.setOledModel(&oled);
        bench.services.setBattreyModel(&battery);
        bench.readLayout();
        bench.logo->setBrightness(1);
        bench.logo->setModel(1);
        bench.logo->setShortCutModel(3);
        oled.setOledMode(5);
        oled.storeOledLight(50);
        battery.setPower(true);

        const bool result = setting == QLatin1String("shortCutModel") ? bench.logo->writeShortCutModel(value)
                                                                     : bench.logo->writeOperatingMode(value);
        settle();
        QTEST(result, "result");
        QTEST(bench.services.events, "events");
        QTEST(bench.services.profileSaves, "saves");
        QTEST(QList<int>({bench.logo->brightness(), bench.logo->model(), oled.oledMode(), oled.oledLight(),
                          int(battery.power())}),
              "after");
        if (keyboard)
            QCOMPARE(appliedWrites(keyboard->keyboard()), QStringList());
        QCOMPARE(bench.services.open(), 0);
    }

    // --- colour ----------------------------------------------------------------------------------------------

    void colourWrites_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QList<int>>("rgb");
        QTest::addColumn<int>("zone");
        QTest::addColumn<bool>("write");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QString>("color");
        QTest::addColumn<QStringList>("shown"); // every value announced, in order
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QStringList>("saves");
        QTest::addColumn<int>("warnings");

        QTest::newRow("out of range") << "keyboard" << QList<int>{256, 0, 0} << 0 << true << false << "#ffffff"
                                      << QStringList{"#ffffff"} << QStringList() << QStringList() << 0;
        QTest::newRow("negative") << "keyboard" << QList<int>{0, -1, 0} << 0 << false << false << "#ffffff"
                                  << QStringList{"#ffffff"} << QStringList() << QStringList() << 0;
        QTest::newRow("only in the model") << "keyboard" << QList<int>{255, 69, 110} << 0 << false << true
                                           << "#ff456e" << QStringList{"#ff456e"} << QStringList() << QStringList()
                                           << 0;
        QTest::newRow("small value keeps six digits") << "keyboard" << QList<int>{0, 0, 1} << 0 << false << true
                                                      << "#000001" << QStringList{"#000001"} << QStringList()
                                                      << QStringList() << 0;
        // The keyboard takes no colour: the picker goes back to the colour the device keeps.
        QTest::newRow("refused by the keyboard")
            << "keyboard" << QList<int>{255, 69, 110} << 0 << true << true << "#ffffff"
            << QStringList{"#ff456e", "", "#ffffff"} << QStringList{"device_light/rgb/fail"} << QStringList() << 1;
        QTest::newRow("taken by a mouse") << "mouse" << QList<int>{0, 0, 1} << 0 << true << true << "#000001"
                                          << QStringList{"#000001"} << QStringList{"device_light/rgb/r:0_g:0_b:1"}
                                          << QStringList{"4:-1"} << 0;
        QTest::newRow("taken by the wheel") << "mouse" << QList<int>{0, 15, 255} << 1 << true << true << "#000fff"
                                            << QStringList{"#000fff"}
                                            << QStringList{"device_light/rgb/r:0_g:15_b:255"} << QStringList{"9:-1"}
                                            << 0;
        QTest::newRow("without a device") << "none" << QList<int>{1, 2, 3} << 0 << true << false << "#ffffff"
                                          << QStringList{"#ffffff"} << QStringList() << QStringList() << 0;
    }

    void colourWrites()
    {
        QFETCH(QString, device);
        QFETCH(QList<int>, rgb);
        QFETCH(int, zone);
        QFETCH(bool, write);
        std::unique_ptr<QuenbyKeyboardFixture> keyboard;
        if (device == QLatin1String("keyboard")) {
            keyboard = std::make_unique<QuenbyKeyboardFixture>();
            QVERIFY(keyboard->openDevice());
        } else if (device == QLatin1String("mouse")) {
            QVERIFY(plugMouse(mouseLayout("mouse-one-zone.json"), true));
        }
        LightBench bench;
        bench.readLayout();
        KLightModelItem* item = bench.logo;
        QStringList shown;
        connect(item, &KLightModelItem::colorChanged, this, [&] { shown << item->color(); });

        QTEST(item->writeRGB(rgb[0], rgb[1], rgb[2], zone, write), "result");
        settle();
        QTEST(item->color(), "color");
        QTEST(shown, "shown");
        QTEST(bench.services.events, "events");
        QTEST(bench.services.profileSaves, "saves");
        QTEST(bench.services.warnings.size(), "warnings");
        QCOMPARE(bench.services.open(), 0);
    }

    // Two colour requests in flight: the failure of the first does not take the picker from the second.
    void failedColourKeepsANewerRequest()
    {
        QuenbyKeyboardFixture keyboard;
        QVERIFY(keyboard.openDevice());
        LightBench bench;
        bench.readLayout();
        QVERIFY(bench.logo->writeRGB(255, 0, 0, 0));
        QVERIFY(bench.logo->writeRGB(0, 255, 0, 0, false));
        settle();
        QCOMPARE(bench.logo->color(), QStringLiteral("#00ff00"));
    }

    void colourText_data()
    {
        QTest::addColumn<QList<int>>("rgb");
        QTest::addColumn<QString>("text");
        QTest::newRow("preset colour") << QList<int>{255, 69, 110} << "ff456e";
        QTest::newRow("leading zeros") << QList<int>{0, 15, 255} << "000fff";
        QTest::newRow("black") << QList<int>{0, 0, 0} << "000000";
    }

    void colourText()
    {
        QFETCH(QList<int>, rgb);
        QFETCH(QString, text);
        KLightModelItem item;
        QCOMPARE(item.changeRGBToText(rgb[0], rgb[1], rgb[2]), text);
        QCOMPARE(item.changeTextToRGB(QLatin1Char('#') + text), rgb.toVector());
        QCOMPARE(KLightModelItem::colorValueToText(rgb[0], rgb[1], rgb[2]), QLatin1Char('#') + text);
    }

    void textToRgb_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVector<int>>("values");
        QTest::newRow("empty") << "" << QVector<int>();
        QTest::newRow("parts, odd rest ignored") << "ff,00,1" << QVector<int>{255, 0};
        QTest::newRow("no hex") << "#zz10" << QVector<int>{0, 16};
        QTest::newRow("empty part kept") << "ff,,01" << QVector<int>{255, 1};
    }

    void textToRgb()
    {
        QFETCH(QString, text);
        KLightModelItem item;
        QTEST(item.changeTextToRGB(text), "values");
    }

    // --- switches --------------------------------------------------------------------------------------------

    void switchWrites_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("setting");
        QTest::addColumn<bool>("value");
        QTest::addColumn<bool>("write");
        QTest::addColumn<bool>("result");
        QTest::addColumn<bool>("after");
        QTest::addColumn<int>("notifies");
        QTest::addColumn<QStringList>("saves");
        QTest::addColumn<int>("warnings");

        for (const char* setting : {"lightDirection", "lightMonochromatic"}) {
            const QString section = QString::fromLatin1(setting) == QLatin1String("lightDirection") ? "17:-1" : "18:-1";
            QTest::addRow("%s equal", setting)
                << "keyboard" << setting << false << true << false << false << 0 << QStringList() << 0;
            QTest::addRow("%s only in the model", setting)
                << "keyboard" << setting << true << false << true << true << 1 << QStringList() << 0;
            QTest::addRow("%s refused by the keyboard", setting)
                << "keyboard" << setting << true << true << true << false << 2 << QStringList() << 1;
            QTest::addRow("%s taken by a mouse", setting)
                << "mouse" << setting << true << true << true << true << 1 << QStringList{section} << 0;
            QTest::addRow("%s without a device", setting)
                << "none" << setting << true << true << false << false << 1 << QStringList() << 0;
        }
    }

    void switchWrites()
    {
        QFETCH(QString, device);
        QFETCH(QString, setting);
        QFETCH(bool, value);
        QFETCH(bool, write);
        std::unique_ptr<QuenbyKeyboardFixture> keyboard;
        if (device == QLatin1String("keyboard")) {
            keyboard = std::make_unique<QuenbyKeyboardFixture>();
            QVERIFY(keyboard->openDevice());
        } else if (device == QLatin1String("mouse")) {
            QVERIFY(plugMouse(mouseLayout("mouse-one-zone.json"), true));
        }
        LightBench bench;
        bench.readLayout();
        KLightModelItem* item = bench.logo;
        const QMetaProperty property = item->metaObject()->property(
            item->metaObject()->indexOfProperty(setting.toLatin1().constData()));
        QSignalSpy notify(item, property.notifySignal());
        const bool result = setting == QLatin1String("lightDirection") ? item->writeLightDirection(value, write)
                                                                      : item->writeLightMonochromatic(value, write);
        settle();
        QTEST(result, "result");
        QTEST(property.read(item).toBool(), "after");
        QTEST(notify.count(), "notifies");
        QTEST(bench.services.profileSaves, "saves");
        QTEST(bench.services.warnings.size(), "warnings");
        QCOMPARE(bench.services.open(), 0);
    }

    // --- changes made on the device itself -------------------------------------------------------------------

    void deviceReports_data()
    {
        QTest::addColumn<QList<int>>("report"); // mode, brightness, speed
        QTest::addColumn<bool>("result");
        QTest::addColumn<QList<int>>("after");
        QTest::addColumn<QStringList>("saves");
        QTest::addColumn<QStringList>("writes");

        QTest::newRow("unchanged") << QList<int>{1, 1, 1} << true << QList<int>{1, 1, 1} << QStringList()
                                   << QStringList();
        QTest::newRow("new effect") << QList<int>{2, 1, 1} << true << QList<int>{2, 1, 1} << QStringList{"5:-1"}
                                    << QStringList();
        QTest::newRow("effect the layout lacks") << QList<int>{9, 1, 1} << true << QList<int>{1, 1, 1}
                                                 << QStringList() << QStringList();
        QTest::newRow("new brightness") << QList<int>{1, 3, 1} << true << QList<int>{1, 3, 1}
                                        << QStringList{"3:-1"} << QStringList();
        QTest::newRow("brightness out of range") << QList<int>{1, 200, 1} << true << QList<int>{1, 1, 1}
                                                 << QStringList() << QStringList();
        // A new speed goes back to the device as well, and is saved by both steps.
        QTest::newRow("new speed") << QList<int>{1, 1, 0} << true << QList<int>{1, 1, 0}
                                   << QStringList{"2:-1", "2:-1"} << QStringList{"a043=04", "a049=04"};
        QTest::newRow("speed out of range") << QList<int>{1, 1, 5} << false << QList<int>{1, 1, 1} << QStringList()
                                            << QStringList();
    }

    void deviceReports()
    {
        QFETCH(QList<int>, report);
        QuenbyKeyboardFixture keyboard;
        QVERIFY(keyboard.openDevice());
        LightBench bench;
        bench.readLayout();
        KLightModelItem* item = bench.logo;
        item->setModel(1);
        item->setBrightness(1);
        item->setSpeed(1);
        keyboard.keyboard()->clearCommands();

        QTEST(item->slot_currentChange(report[0], report[1], report[2], 0), "result");
        settle();
        QTEST(QList<int>({item->model(), item->brightness(), item->speed()}), "after");
        QTEST(bench.services.profileSaves, "saves");
        QTEST(appliedWrites(keyboard.keyboard()), "writes");
        QCOMPARE(bench.services.open(), 0);
    }

    // The keyboard's own lighting keys reach the main zone through the device's change report.
    void keyboardLightingKeysReachTheZone()
    {
        QuenbyKeyboardFixture keyboard;
        FDeviceQuenby_8a* device = keyboard.openDevice();
        QVERIFY(device);
        LightBench bench;
        bench.readLayout();
        connect(device, &KBaseDevice::sigcurrentChange, bench.logo, &KLightModelItem::slot_currentChange);
        bench.logo->setModel(1);
        bench.logo->setBrightness(1);
        bench.logo->setSpeed(1);
        WAIT_VERIFY(keyboard.bus()->bus()->blockedReads() > 0);

        // Effect 3 (raw 4), brightness 2, speed 1 (raw 3): effect and brightness change.
        keyboard.keyboard()->changeLightsOnKeyboard(4, 2, 3, 0);
        WAIT_COMPARE(bench.logo->model(), 3);
        QCOMPARE(bench.logo->brightness(), 2);
        QCOMPARE(bench.logo->speed(), 1);
        settle();
        QCOMPARE(bench.services.profileSaves, QStringList({"5:-1", "3:-1"}));
    }

    // --- a device that goes while a write waits ---------------------------------------------------------------

    void deviceRemovedWhileAWriteWaits()
    {
        QuenbyKeyboardFixture keyboard;
        FDeviceQuenby_8a* device = keyboard.openDevice();
        QVERIFY(device);
        LightBench bench;
        bench.readLayout();
        bench.logo->setModel(1);

        // Every transfer waits a while for real, so the write is still on its way when the cable goes: it goes
        // once the write's first transfer has begun its wait (sleeps are recorded as they begin).
        const double scale = Platform::sleepScale();
        Platform::setSleepScale(1.0);
        keyboard.bus()->bus()->setLatency(keyboard.keyboard()->busDeviceId(), 200);
        Platform::clearRecordedSleeps();
        QVERIFY(bench.logo->writeModel(3, 0));
        WAIT_VERIFY(Platform::recordedSleeps().contains(200));
        device->setRemoved(true);
        keyboard.keyboard()->unplug();
        WAIT_COMPARE(bench.services.loadingStops, 1);
        Platform::setSleepScale(scale);

        QCOMPARE(bench.services.open(), 0);
        QCOMPARE(bench.logo->model(), 1);
        QCOMPARE(bench.services.events, QStringList{"device_light/model/fail"});
        QVERIFY(bench.services.profileSaves.isEmpty());
        QVERIFY(keyboard.removeDevice());
        // Later writes are refused at once, without the busy indicator.
        QVERIFY(!bench.logo->writeModel(2, 0));
        QCOMPARE(bench.services.loadingStarts, 1);
    }

    // Each light section of the profile from the device (or, for what the device does not report, from the
    // main zone), each zone into its own members.
    void lightSectionsOfTheProfile_data()
    {
        QTest::addColumn<int>("section");
        QTest::addColumn<QString>("member"); // a path of names and indexes
        QTest::addColumn<QVariant>("expected");

        QTest::newRow("speed") << 2 << "light/1/speed" << QVariant(3);
        QTest::newRow("brightness") << 3 << "light/1/brightness" << QVariant(4);
        // The list keeps its length: the oldest colour gives way.
        QTest::newRow("colours") << 4 << "light/1/colors" << QVariant(QVariantList{"bbbbbb", "0a0b0c"});
        QTest::newRow("effect") << 5 << "lightModel/index" << QVariant(0);
        QTest::newRow("effect takes speed") << 5 << "light/0/speed" << QVariant(3);
        // The entry of the new effect held no colour: it gets none.
        QTest::newRow("effect keeps no colour") << 5 << "light/0/colors" << QVariant();
        QTest::newRow("wheel speed") << 7 << "wheelLight/0/speed" << QVariant(6);
        QTest::newRow("wheel brightness") << 8 << "wheelLight/0/brightness" << QVariant(7);
        QTest::newRow("wheel colours") << 9 << "wheelLight/0/colors" << QVariant(QVariantList{"ff0001"});
        // A new wheel effect always takes the colour, also into an entry that held none.
        QTest::newRow("wheel effect") << 10 << "wheelLight/0/colors" << QVariant(QVariantList{"ff0001"});
        QTest::newRow("main speed stays") << 7 << "light/1/speed" << QVariant(0);
        QTest::newRow("presets") << 11 << "lightShortCut" << QVariant(2);
        QTest::newRow("logo effect") << 13 << "logoLightModel/index" << QVariant(1);
        QTest::newRow("operating mode") << 15 << "operatingMode" << QVariant(1);
        QTest::newRow("direction") << 17 << "lightDirection" << QVariant(true);
        QTest::newRow("monochromatic") << 18 << "lightMonochromatic" << QVariant(false);
    }

    void lightSectionsOfTheProfile()
    {
        QFETCH(int, section);
        QFETCH(QString, member);
        CoreTestDevice* device = plugMouse(mouseLayout("mouse-one-zone.json"), true);
        QVERIFY(device);
        device->setLight(0, {0, 3, 4, {{"r", 10}, {"g", 11}, {"b", 12}}});
        device->setLight(1, {0, 6, 7, {{"r", 255}, {"g", 0}, {"b", 1}}});
        device->setLightSwitches(true, false);
        LightBench bench;
        bench.readLayout();
        bench.logo->setShortCutModel(2);
        bench.logo->setLogoModel(1);
        bench.logo->setOperatingMode(1);
        KConfigFileController controller;
        bench.services.setConfigFileController(&controller);
        bench.services.configPath = QStringLiteral("Sections.json");

        const QJsonArray light{QJsonObject{{"speed", 0}, {"brightness", 0}},
                               QJsonObject{{"speed", 0}, {"brightness", 0}, {"colors", QJsonArray{"aaaaaa", "bbbbbb"}}}};
        QJsonObject profile{{"configVersion", 2}, {"deviceName", "TESTMOUSE"}, {"lightModel", QJsonObject{{"index", 1}}},
                            {"light", light},
                            {"wheelLightModel", QJsonObject{{"index", 0}}},
                            {"wheelLight", QJsonArray{QJsonObject{{"speed", 0}, {"brightness", 0}}}}};
        const QString folder = ProgramFolders::profileRoot() + QStringLiteral("/TESTMOUSE");
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + QStringLiteral("/Sections.json");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QJsonDocument(profile).toJson());
        file.close();

        controller.saveCurrentProfileSection(section, -1);
        settle();
        QJsonDocument document;
        QVERIFY(readJsonDocument(path, &document));
        QJsonValue value = document.object();
        for (const QString& step : member.split(QLatin1Char('/'))) {
            bool isIndex = false;
            const int index = step.toInt(&isIndex);
            value = isIndex ? value.toArray().at(index) : value.toObject().value(step);
        }
        QTEST(value.toVariant(), "expected");
        QCOMPARE(bench.services.tips, QStringList{"0:Successfully reserved the current device configuration"});
    }

    // Without a current profile a confirmed setting makes no file.
    void noCurrentProfileNoFile()
    {
        QVERIFY(KAppManager::instance()->init());
        KLightModel* lights = KAppManager::instance()->getUIManager()->getLightModel();
        QVERIFY(lights && lights->logo() && lights->wheel());
        QuenbyKeyboardFixture keyboard;
        QVERIFY(keyboard.openDevice());
        lights->deviceDataChange();
        settle();
        KAppModel::instance()->setConfigPath(QString());
        QVERIFY(lights->logo()->writeModel(2, 0));
        settle();
        const QDir folder(ProgramFolders::profileRoot() + QStringLiteral("/ZEPHRA"));
        QVERIFY(!folder.exists() || folder.entryList(QDir::Files).isEmpty());
    }

    // In the program a confirmed setting lands in its section of the current profile, which is made under
    // its own name when it is missing; the values are the ones the keyboard holds afterwards.
    void confirmedSettingGoesIntoTheCurrentProfile_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<int>("value");
        QTest::newRow("effect") << "model" << 3;
        QTest::newRow("brightness") << "brightness" << 2;
        QTest::newRow("speed") << "speed" << 1;
        QTest::newRow("logo effect") << "logoModel" << 2;
    }

    void confirmedSettingGoesIntoTheCurrentProfile()
    {
        QFETCH(QString, setting);
        QFETCH(int, value);
        QVERIFY(KAppManager::instance()->init());
        UIManager* ui = KAppManager::instance()->getUIManager();
        KLightModelItem* logo = ui->getLightModel()->logo();
        QuenbyKeyboardFixture keyboard;
        QVERIFY(keyboard.openDevice());
        ui->getLightModel()->deviceDataChange();
        settle();
        const QString name = QStringLiteral("Light %1.json").arg(setting);
        const QString path = ProgramFolders::profileRoot() + QStringLiteral("/ZEPHRA/") + name;
        KAppModel::instance()->setConfigPath(name);
        // Tips of earlier rows off the screen, so that this row's tip shows at once.
        for (int i = 0; i < 5; ++i)
            QMetaObject::invokeMethod(ui->getSuspension(), "TimerTimeOut");
        QSignalSpy tips(ui->getSuspension(), &HSuspension::sigShowTips);

        if (setting == QLatin1String("model"))
            QVERIFY(logo->writeModel(value, 0));
        else if (setting == QLatin1String("brightness"))
            QVERIFY(logo->writeBrightness(value, 0));
        else if (setting == QLatin1String("speed"))
            QVERIFY(logo->writeSpeed(value, 0));
        else
            QVERIFY(logo->writeLogoModel(value));
        settle();

        QVERIFY(QFileInfo(path).isFile());
        QJsonDocument document;
        QVERIFY(readJsonDocument(path, &document));
        const QJsonObject profile = document.object();
        if (setting == QLatin1String("logoModel")) {
            QCOMPARE(profile.value("logoLightModel").toObject().value("index").toInt(), value);
        } else {
            const int mode = profile.value("lightModel").toObject().value("index").toInt();
            const QJsonObject entry = profile.value("light").toArray().at(mode).toObject();
            // What the keyboard holds now, in the program's terms.
            QCOMPARE(mode, keyboard.keyboard()->registerValue(0xA041) - 1);
            QCOMPARE(entry.value("brightness").toInt(), int(keyboard.keyboard()->registerValue(0xA042)));
            QCOMPARE(entry.value("speed").toInt(), 4 - keyboard.keyboard()->registerValue(0xA043));
            if (setting != QLatin1String("speed"))
                QCOMPARE(profile.value("lightModel").toObject().value("index").toInt() == value,
                         setting == QLatin1String("model"));
        }
        QCOMPARE(tips.count(), 1);
        QCOMPARE(tips.first().at(0).toInt(), int(HSuspension::Success));
    }
};

QTEST_MAIN(TestLightModel)
#include "tst_lightmodel.moc"
