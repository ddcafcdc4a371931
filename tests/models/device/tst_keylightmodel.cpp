#include "QuenbyKeyboardFixture.h"
#include "RecordingServices.h"
#include "SettingsMouseFixture.h"

#include "devices/keyboard/FDeviceQuenby_8a.h"
#include "devices/keyboard/Quenby8aKeyTable.h"
#include "hid/HWork.h"
#include "models/device/FKeyLightModel.h"
#include "models/device/FKeyLightModelItem.h"
#include "TestWait.h"

#include <QJsonArray>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace SettingsMouse;

namespace {

void settle()
{
    WAIT_COMPARE(HWork::pendingCount(), 0);
    QCoreApplication::processEvents();
}

// A device with per-key light on the given keys; light is the layout's "light" object.
QJsonObject keyLightLayout(const QList<int>& keys, const QJsonObject& light = {{"keyLightMin", 0}, {"keyLightMax", 10}})
{
    QJsonArray buttons;
    for (int key : keys)
        buttons.append(QJsonObject{{"key", key}, {"name", QStringLiteral("K%1").arg(key)}});
    return QJsonObject{{"light", light}, {"key", QJsonObject{{"keyBtn", buttons}}}};
}

// Keys of the settings mouse's layout: 26 and 113 are among them, which a colour read leaves alone.
const QList<int> kMouseKeys{14, 26, 30, 113, 40};

QList<int> keysOf(const FKeyLightModel& model)
{
    QList<int> keys;
    for (const QVariant& value : model.keyLightList())
        keys << value.value<FKeyLightModelItem*>()->key();
    return keys;
}

QStringList coloursOf(const FKeyLightModel& model)
{
    QStringList colours;
    for (const QVariant& value : model.keyLightList())
        colours << value.value<FKeyLightModelItem*>()->color();
    return colours;
}

// The model with its items for the current device's layout, and the recording services.
struct KeyLightBench {
    RecordingServices services;
    FKeyLightModel model;

    KeyLightBench()
    {
        services.setKeyLightModel(&model);
        model.deviceDataChange();
        services.clear();
    }
};

} // namespace

class TestKeyLightModel : public QObject
{
    Q_OBJECT

private slots:
    void newModelDefaults()
    {
        FKeyLightModel model;
        QCOMPARE(model.maxValue(), 10);
        QCOMPARE(model.minValue(), 0);
        QVERIFY(model.keyLightList().isEmpty());
        QCOMPARE(model.currentColor(), QString());
    }

    // --- the layout ----------------------------------------------------------------------------------------------

    void brightnessRange_data()
    {
        QTest::addColumn<QJsonObject>("light");
        QTest::addColumn<int>("max");
        QTest::addColumn<int>("min");

        QTest::newRow("0 to 10") << QJsonObject{{"keyLightMin", 0}, {"keyLightMax", 10}} << 10 << 0;
        QTest::newRow("2 to 5") << QJsonObject{{"keyLightMin", 2}, {"keyLightMax", 5}} << 5 << 2;
        QTest::newRow("missing") << QJsonObject() << 0 << 0;
        // Only an explicit null keeps the value the model had (10 and 3 here).
        QTest::newRow("null maximum") << QJsonObject{{"keyLightMax", QJsonValue::Null}, {"keyLightMin", 1}} << 10 << 1;
        QTest::newRow("null minimum") << QJsonObject{{"keyLightMax", 4}, {"keyLightMin", QJsonValue::Null}} << 4 << 3;
        QTest::newRow("no numbers") << QJsonObject{{"keyLightMax", "ten"}, {"keyLightMin", true}} << 0 << 0;
    }

    // The range is taken alike from a layout handed over and from the device's own.
    void brightnessRange()
    {
        QFETCH(QJsonObject, light);
        FKeyLightModel handed;
        handed.setMinValue(3);
        handed.slot_uiModelChange(QJsonObject{{"light", light}});
        QTEST(handed.maxValue(), "max");
        QTEST(handed.minValue(), "min");

        SettingsMouseFixture mouse(keyLightLayout(kMouseKeys, light));
        QVERIFY(mouse.device());
        FKeyLightModel read;
        read.setMinValue(3);
        read.deviceDataChange();
        QTEST(read.maxValue(), "max");
        QTEST(read.minValue(), "min");
    }

    void itemsForTheKeyboardsKeys()
    {
        QuenbyKeyboardFixture keyboard;
        QVERIFY(keyboard.openDevice());
        FKeyLightModel model;
        QSignalSpy listChanged(&model, &FKeyLightModel::keyLightListChanged);
        model.deviceDataChange();
        QCOMPARE(model.keyLightList().size(), 84);
        QCOMPARE(keysOf(model).mid(0, 6), QList<int>({14, 15, 16, 17, 18, 19}));
        for (const QVariant& value : model.keyLightList()) {
            const auto* item = value.value<FKeyLightModelItem*>();
            QCOMPARE(item->parent(), &model);
            QCOMPARE(item->brightness(), 0);
            QVERIFY(item->color().isEmpty());
        }
        QCOMPARE(listChanged.count(), 1);
        QCOMPARE(QList<int>({model.minValue(), model.maxValue()}), QList<int>({0, 10}));
    }

    // A new device's keys replace the old items, which are freed once the views have moved on; keys the
    // items cannot stand for are left out.
    void rebuildAnnouncesAndFrees()
    {
        SettingsMouseFixture mouse(keyLightLayout({14, 14, 200, -3, 30}));
        QVERIFY(mouse.device());
        FKeyLightModel model;
        model.deviceDataChange();
        QCOMPARE(keysOf(model), QList<int>({14, 30}));
        QPointer<FKeyLightModelItem> old = model.itemOfKey(14);

        QSignalSpy listChanged(&model, &FKeyLightModel::keyLightListChanged);
        model.deviceDataChange();
        QCOMPARE(listChanged.count(), 1);
        QVERIFY(model.itemOfKey(14) != old);
        QVERIFY(old); // still readable in this turn of the event loop
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!old);
    }

    void noDeviceOrEmptyLayoutKeepsTheItems()
    {
        FKeyLightModel model;
        model.deviceDataChange();
        QVERIFY(model.keyLightList().isEmpty());
        SettingsMouseFixture mouse(keyLightLayout(kMouseKeys));
        model.deviceDataChange();
        QCOMPARE(model.keyLightList().size(), kMouseKeys.size());
        mouse.device()->setLayout(QJsonObject());
        model.deviceDataChange();
        QCOMPARE(model.keyLightList().size(), kMouseKeys.size());
    }

    // --- brightness ------------------------------------------------------------------------------------------------

    void brightnessWrites_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("result");
        QTest::addColumn<int>("register"); // the keyboard's brightness byte of the key afterwards (250 at start)
        QTest::addColumn<int>("after");    // the item's level afterwards
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QStringList>("saves");

        const QStringList none;
        QTest::newRow("written") << 30 << 4 << "" << true << 100 << 4 << QStringList{"driver_keyLight/key:30/brightness:4"}
                                 << QStringList{"12:30"};
        QTest::newRow("bottom of the range") << 30 << 0 << "" << true << 0 << 0
                                          << QStringList{"driver_keyLight/key:30/brightness:0"} << QStringList{"12:30"};
        QTest::newRow("above the range") << 30 << 11 << "" << false << 250 << 0 << none << none;
        QTest::newRow("below the range") << 30 << -1 << "" << false << 250 << 0 << none << none;
        QTest::newRow("a key without light") << 0 << 4 << "" << false << 250 << 0 << none << none;
        QTest::newRow("refused by the keyboard") << 30 << 4 << "error" << true << 250 << 0
                                                 << QStringList{"driver_keyLight/key:30/fail"} << none;
        QTest::newRow("without a device") << 30 << 4 << "nodevice" << false << 250 << 0 << none << none;
    }

    void brightnessWrites()
    {
        QFETCH(int, key);
        QFETCH(int, level);
        QFETCH(QString, fault);
        QuenbyKeyboardFixture keyboard;
        FDeviceQuenby_8a* device = keyboard.openDevice();
        QVERIFY(device);
        KeyLightBench bench;
        if (fault == QLatin1String("error"))
            keyboard.keyboard()->failCommands(100);
        else if (fault == QLatin1String("nodevice"))
            device->setRemoved(true);
        FKeyLightModelItem* item = bench.model.itemOfKey(30);
        QSignalSpy brightnessChanged(item, &FKeyLightModelItem::brightnessChanged);

        const bool result = bench.model.writeKeyBrightness(key, level);
        settle();
        QTEST(result, "result");
        QTEST(int(keyboard.keyboard()->keyBrightnessAt(Quenby8a::positionOfKey(30))), "register");
        QTEST(item->brightness(), "after");
        QTEST(bench.services.events, "events");
        QTEST(bench.services.profileSaves, "saves");
        // Whatever the outcome, the page reads the key's level again.
        QCOMPARE(brightnessChanged.count(), key == 30 && fault != QLatin1String("nodevice") ? 1 : 0);
        const bool failed = fault == QLatin1String("error");
        QCOMPARE(bench.services.warnings, failed ? QList<int>{1} : QList<int>());
        QCOMPARE(bench.services.loadingStarts, result ? 1 : 0);
        QCOMPARE(bench.services.open(), 0);
    }

    // --- colour ----------------------------------------------------------------------------------------------------

    void colourWrites_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("color");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QVector<int>>("rgb"); // the mouse's colour of key 30 afterwards
        QTest::addColumn<QString>("after");    // the item's colour afterwards
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QStringList>("saves");

        const QStringList none;
        const QVector<int> black{0, 0, 0};
        QTest::newRow("with #") << 30 << "#FF8000" << "" << true << QVector<int>{255, 128, 0} << "FF8000"
                                << QStringList{"driver_keyLight/key:30/color:#FF8000"} << QStringList{"16:30"};
        QTest::newRow("without #") << 30 << "0a0b0c" << "" << true << QVector<int>{10, 11, 12} << "0a0b0c"
                                   << QStringList{"driver_keyLight/key:30/color:0a0b0c"} << QStringList{"16:30"};
        QTest::newRow("too short") << 30 << "#FF80" << "" << false << black << "" << none << none;
        QTest::newRow("too long") << 30 << "#FF80001" << "" << false << black << "" << none << none;
        QTest::newRow("not hex") << 30 << "#GG8000" << "" << false << black << "" << none << none;
        QTest::newRow("empty") << 30 << "" << "" << false << black << "" << none << none;
        QTest::newRow("a key without light") << 2 << "#FF8000" << "" << false << black << "" << none << none;
        QTest::newRow("refused by the device") << 30 << "#FF8000" << "refuse" << true << black << ""
                                               << QStringList{"driver_keyLight/key:30/fail"} << none;
        QTest::newRow("without a device") << 30 << "#FF8000" << "nodevice" << false << black << "" << none << none;
    }

    void colourWrites()
    {
        QFETCH(int, key);
        QFETCH(QString, color);
        QFETCH(QString, fault);
        SettingsMouseFixture mouse(keyLightLayout(kMouseKeys));
        QVERIFY(mouse.device());
        KeyLightBench bench;
        if (fault == QLatin1String("refuse"))
            mouse.mouse()->refuseWrites(kRegKeyColor, kRegKeyBrightness - 1);
        else if (fault == QLatin1String("nodevice"))
            mouse.device()->setRemoved(true);
        FKeyLightModelItem* item = bench.model.itemOfKey(30);

        const bool result = bench.model.writeKeyColor(key, color);
        settle();
        QTEST(result, "result");
        QTEST(mouse.mouse()->keyColor(30), "rgb");
        QTEST(item->color(), "after");
        QTEST(bench.services.events, "events");
        QTEST(bench.services.profileSaves, "saves");
        QCOMPARE(bench.model.currentColor(), result && fault.isEmpty() ? item->color() : QString());
        QCOMPARE(bench.services.warnings, fault == QLatin1String("refuse") ? QList<int>{1} : QList<int>());
        QCOMPARE(bench.services.loadingStarts, result ? 1 : 0);
        QCOMPARE(bench.services.open(), 0);
    }

    // Quick writes to one key reach the device in the order they were made.
    void quickWritesLandInOrder()
    {
        SettingsMouseFixture mouse(keyLightLayout(kMouseKeys));
        QVERIFY(mouse.device());
        KeyLightBench bench;
        for (int level : {3, 7, 5})
            QVERIFY(bench.model.writeKeyBrightness(30, level));
        for (const char* colour : {"#010203", "#0A0B0C"})
            QVERIFY(bench.model.writeKeyColor(30, QString::fromLatin1(colour)));
        settle();
        QCOMPARE(mouse.mouse()->keyBrightness(30), 5);
        QCOMPARE(bench.model.itemOfKey(30)->brightness(), 5);
        QCOMPARE(mouse.mouse()->keyColor(30), QVector<int>({10, 11, 12}));
        QCOMPARE(bench.model.itemOfKey(30)->color(), QStringLiteral("0A0B0C"));
        QCOMPARE(bench.services.open(), 0);
    }

    // The keyboard has no per-key colours: every colour write ends as a failure, nothing is stored.
    void keyboardRefusesColours()
    {
        QuenbyKeyboardFixture keyboard;
        QVERIFY(keyboard.openDevice());
        KeyLightBench bench;
        QVERIFY(bench.model.writeKeyColor(30, QStringLiteral("#FF8000")));
        settle();
        QCOMPARE(bench.model.itemOfKey(30)->color(), QString());
        QCOMPARE(bench.services.events, QStringList{"driver_keyLight/key:30/fail"});
        QCOMPARE(bench.services.warnings, QList<int>{1});
        QCOMPARE(bench.services.profileSaves, QStringList());
        QCOMPARE(keyboard.writtenRegisters(), QList<quint32>());
    }

    // --- the selected key's colour ---------------------------------------------------------------------------------

    void currentKeyColour()
    {
        SettingsMouseFixture mouse(keyLightLayout(kMouseKeys));
        QVERIFY(mouse.device());
        for (int key : kMouseKeys)
            mouse.mouse()->setKeyColor(key, key, 0x80, 0xFF);
        KeyLightBench bench;

        // No key selected: black, without asking the device.
        bench.model.getCurrentKeyColor(-1, QStringLiteral("#123456"));
        QCOMPARE(bench.model.currentColor(), QStringLiteral("000000"));
        QCOMPARE(bench.services.loadingStarts, 0);

        // The device's colours go into every item but those of keys 26 and 113.
        bench.model.getCurrentKeyColor(30, QStringLiteral("#000000"));
        settle();
        QCOMPARE(coloursOf(bench.model), QStringList({"0E80FF", "", "1E80FF", "", "2880FF"}));
        QCOMPARE(bench.model.currentColor(), QStringLiteral("1E80FF"));
        QCOMPARE(bench.services.loadingStarts, 1);
        QCOMPARE(bench.services.open(), 0);

        // The page already shows the key's colour: nothing to read.
        mouse.mouse()->setKeyColor(30, 1, 2, 3);
        bench.model.getCurrentKeyColor(30, QStringLiteral("#1E80FF"));
        settle();
        QCOMPARE(bench.services.loadingStarts, 1);
        QCOMPARE(bench.model.itemOfKey(30)->color(), QStringLiteral("1E80FF"));
    }

    // A device that has no colours to give changes nothing and says so.
    void currentKeyColourUnread()
    {
        QuenbyKeyboardFixture keyboard;
        QVERIFY(keyboard.openDevice());
        KeyLightBench bench;
        bench.model.setCurrentColor(QStringLiteral("ABCDEF"));
        bench.model.getCurrentKeyColor(30, QStringLiteral("#FF0000"));
        settle();
        QCOMPARE(bench.model.currentColor(), QStringLiteral("ABCDEF"));
        QCOMPARE(bench.services.events, QStringList{"driver_keyLight/key:30/fail"});
        QCOMPARE(bench.services.open(), 0);
        QVERIFY(coloursOf(bench.model).join(QString()).isEmpty());
    }
};

QTEST_MAIN(TestKeyLightModel)
#include "tst_keylightmodel.moc"
