#include "app/KAppCommon.h"
#include "app/KAppManager.h"
#include "app/UIManager.h"
#include "common/DeviceIds.h"
#include "common/ProgramFolders.h"
#include "models/device/KLightModel.h"
#include "models/device/KLightModelItem.h"
#include "profiles/KConfigFileController.h"
#include "sim/keyboard/SimQuenbyKeyboard.h"

#include "JsonFiles.h"
#include "KeyboardWindowFixture.h"
#include "WindowTestSupport.h"
#include "TestWait.h"

#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonObject>
#include <QQuickItem>
#include <QQuickWindow>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

namespace {

constexpr int kA = 25;

} // namespace

using namespace WindowTestSupport;

// The lighting page of the RGB keyboard in the real main window on its simulated keyboard: sliders, light
// direction and monochromatic switches, the zone colour and the colour of one key, read back from the emulator.
class TestRgbKeyboardPages : public QObject
{
    Q_OBJECT

private:
    KeyboardWindowFixture m_fixture;
    SimQuenbyKeyboard* m_keyboard = nullptr;
    QQuickWindow* m_window = nullptr;

    bool busy() const { return isShown(m_window, "HLoadDialog_new"); }

    void click(QQuickItem* item) { clickItem(m_window, item); }

    QQuickItem* page() const { return findItem(m_window, "pageKbLight"); }

    // Replaces a field's text as the user does, and confirms it with Enter.
    void typeInto(QQuickItem* field, const QString& text)
    {
        click(field);
        WAIT_VERIFY(field->hasActiveFocus());
        QTest::keyClick(m_window, Qt::Key_A, Qt::ControlModifier);
        for (const QChar c : text)
            QTest::keyClick(m_window, c.toLatin1());
        QTest::keyClick(m_window, Qt::Key_Return);
    }

    // Every view of a preview that is in use has been made (its loader is ready).
    static bool viewsLoaded(QQuickItem* preview)
    {
        bool any = false;
        for (QQuickItem* item : preview->findChildren<QQuickItem*>()) {
            if (!item->inherits("QQuickLoader") || !item->property("active").toBool())
                continue;
            any = true;
            if (item->property("status").toInt() != 1 /* Ready */)
                return false;
        }
        return any;
    }

    QObject* colorDialog() const { return m_window->findChild<QObject*>("keyColorDialog"); }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        // Each run starts as a new user: the profile an earlier run saved would differ from this fresh keyboard
        // (the program then asks which to keep) and show the values that run left. The folder is the program's
        // once the application has its name, which the program gives it only when it starts.
        QCoreApplication::setApplicationName(KAppCommon::instance()->getAppName());
        QDir(ProgramFolders::profileRoot()).removeRecursively();
        m_window = m_fixture.start(DeviceIds::kRgbKeyboard);
        QVERIFY(m_window);
        m_keyboard = m_fixture.keyboard();
        QVERIFY(QMetaObject::invokeMethod(m_window, "updatewindow", Q_ARG(QVariant, 5)));
        WAIT_VERIFY(page()->isVisible());
        WAIT_VERIFY(findItem(findItem(m_window, "kbDeviceLightPanel"), "light" + QString::number(kA)));
    }

    void cleanupTestCase()
    {
        m_window = nullptr;
        const QStringList faults = m_fixture.stop();
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    void cleanup() { QVERIFY2(m_fixture.faults().isEmpty(), qPrintable(m_fixture.faults().join('\n'))); }

    // The RGB keyboard's page shows its preview, sliders and switches instead of the dials.
    void showsTheRgbControls()
    {
        QVERIFY(findItem(m_window, "quenbyRgbPreview")->isVisible());
        QVERIFY(!findItem(m_window, "quenby8aPreview")->isVisible());
        QVERIFY(findItem(m_window, "rgbSetting")->isVisible());
        QVERIFY(!findItem(m_window, "brightnessGauge")->isVisible());
        QVERIFY(findItem(m_window, "lightDirection")->isVisible());
        QVERIFY(findItem(m_window, "lightColor")->isVisible());
    }

    // The colour panel shows the light colour the keyboard and the current profile hold (it once showed
    // 255, 255, 255 whatever they held), and follows a colour written from elsewhere.
    void colourPanelShowsTheColourHeld_data()
    {
        QTest::addColumn<QString>("written");
        QTest::newRow("as the page opens") << QString();
        QTest::newRow("after a colour written elsewhere") << QString("12c84d");
    }
    void colourPanelShowsTheColourHeld()
    {
        QFETCH(QString, written);
        KLightModelItem* light = KAppManager::instance()->getUIManager()->getLightModel()->logo();
        if (!written.isEmpty()) {
            const QByteArray rgb = QByteArray::fromHex(written.toLatin1());
            QVERIFY(light->writeRGB(quint8(rgb[0]), quint8(rgb[1]), quint8(rgb[2]), 0));
            WAIT_COMPARE(m_keyboard->memory(SimQuenby::kRgbRegColor, 3), rgb);
            WAIT_VERIFY(!busy());
        }
        const QByteArray held = m_keyboard->memory(SimQuenby::kRgbRegColor, 3);
        // The current profile keeps the keyboard's colour in the entry of its effect.
        const QJsonObject profile =
            readJsonObject(KAppManager::instance()->getConfigFileController()->currentProfilePath());
        const int mode = profile.value("lightModel").toObject().value("index").toInt(-1);
        const QString kept =
            profile.value("light").toArray().at(mode).toObject().value("colors").toArray().at(0).toString();
        QCOMPARE(kept, QString::fromLatin1(held.toHex()));

        QQuickItem* panel = findItem(m_window, "lightColor");
        QVERIFY(panel->isVisible());
        const QStringList fields{"fieldR", "fieldG", "fieldB"};
        for (int i = 0; i < 3; ++i)
            WAIT_COMPARE(findItem(panel, fields.at(i))->property("text").toString(),
                         QString::number(quint8(held[i])));
        QCOMPARE(QColor(panel->property("mCurrentColor").toString()), QColor("#" + kept));
        QCOMPARE(QColor(panel->property("mNewsetColor").toString()), QColor("#" + kept));
    }

    // Brightness and speed from the sliders, and the two switches, reach the keyboard's registers.
    void slidersAndSwitchesReachTheKeyboard()
    {
        QObject* sliders = findItem(m_window, "rgbSetting");
        QVERIFY(QMetaObject::invokeMethod(sliders, "changeBrighenessValue", Q_ARG(QVariant, 2), Q_ARG(QVariant, false)));
        WAIT_COMPARE(int(m_keyboard->registerValue(SimQuenby::kRgbRegLightBrightness)), 2);
        // While the slider moves nothing is written.
        m_keyboard->clearCommands();
        QVERIFY(QMetaObject::invokeMethod(sliders, "changeSpeedValue", Q_ARG(QVariant, 3), Q_ARG(QVariant, true)));
        QTest::qWait(50);
        QVERIFY(m_keyboard->appliedWrites().isEmpty());
        QVERIFY(QMetaObject::invokeMethod(sliders, "changeSpeedValue", Q_ARG(QVariant, 3), Q_ARG(QVariant, false)));
        WAIT_COMPARE(int(m_keyboard->registerValue(SimQuenby::kRgbRegLightSpeed)), 4 - 3);

        // Each switch writes its new state (whatever the profile left it at).
        for (const auto& row : {qMakePair(QString("lightDirection"), SimQuenby::kRgbRegDirection),
                                qMakePair(QString("monochromatic"), SimQuenby::kRgbRegMonochrome)}) {
            QQuickItem* box = findItem(m_window, row.first);
            const bool on = !box->property("checked").toBool();
            click(box);
            WAIT_COMPARE(m_keyboard->registerValue(row.second) != 0, on);
        }
        WAIT_VERIFY(!busy());
    }

    // "Send" of the colour panel sets the keyboard's light colour.
    void zoneColourReachesTheKeyboard()
    {
        QVERIFY(QMetaObject::invokeMethod(page(), "selectedColor", Q_ARG(QVariant, "00ff40")));
        WAIT_COMPARE(m_keyboard->memory(SimQuenby::kRgbRegColor, 3), QByteArray::fromHex("00ff40"));
        QObject* panel = findItem(m_window, "lightColor");
        QCOMPARE(panel->property("mGValue").toInt(), 255);
        QCOMPARE(panel->property("mBValue").toInt(), 64);
    }

    // A click on an effect where the list draws it: the keyboard takes that effect, the list shows it as the
    // current one and the current profile keeps it. The list, the keyboard and the profile count the effects
    // alike, from 0 in the layout's order (the layout's own numbers, from 1, are not what is written).
    void effectClickSelectsTheEffect_data()
    {
        QTest::addColumn<int>("effect");
        QTest::addColumn<QString>("name");
        QTest::newRow("breathing") << 1 << "Breathing mode";
        QTest::newRow("custom, the last") << 7 << "Custom mode";
        QTest::newRow("wave") << 2 << "Wave mode";
        QTest::newRow("always on, the first") << 0 << "The light is always on";
    }
    void effectClickSelectsTheEffect()
    {
        QFETCH(int, effect);
        QFETCH(QString, name);
        QQuickItem* list = findItem(m_window, "lightModeList");
        QVERIFY(list && list->isVisible());
        QVERIFY(QMetaObject::invokeMethod(list, "positionViewAtIndex", Q_ARG(int, effect), Q_ARG(int, 4 /* Contain */)));
        QQuickItem* entry = findItem(list, "effect" + QString::number(effect));
        QVERIFY(entry);
        QQuickItem* label = entry->childItems().value(0);
        QVERIFY(label);
        QCOMPARE(label->property("text").toString(), name);
        click(entry);
        WAIT_COMPARE(int(m_keyboard->registerValue(SimQuenby::kRgbRegLightMode)), effect);
        WAIT_VERIFY(!busy());
        QCOMPARE(list->property("currentIndex").toInt(), effect);
        QVERIFY(entry->property("mCurrent").toBool());
        const QJsonObject profile =
            readJsonObject(KAppManager::instance()->getConfigFileController()->currentProfilePath());
        QCOMPARE(profile.value("lightModel").toObject().value("index").toInt(-1), effect);
        // Only the clicked entry is drawn as the current one.
        for (int i = 0; i < list->property("count").toInt(); ++i) {
            if (QQuickItem* other = findItem(list, "effect" + QString::number(i)))
                QCOMPARE(other->property("mCurrent").toBool(), i == effect);
        }
    }

    // The preview as the window draws it: white light in "always on" and in the wave effect lights the drawn
    // keys (the light model once held brightness 0 while the keyboard shone, and every key was drawn dark).
    void previewDrawsTheKeysLit_data()
    {
        QTest::addColumn<int>("effect");
        QTest::addColumn<int>("frames");
        // The effects by their place in the page's list.
        QTest::newRow("always on") << 0 << 1;
        // The wave runs across the keyboard: every key lights in one of the frames of a few seconds.
        QTest::newRow("wave") << 2 << 12;
    }
    void previewDrawsTheKeysLit()
    {
        QFETCH(int, effect);
        QFETCH(int, frames);
        QQuickItem* monochromatic = findItem(m_window, "monochromatic");
        if (!monochromatic->property("checked").toBool())
            click(monochromatic);
        WAIT_VERIFY(m_keyboard->registerValue(SimQuenby::kRgbRegMonochrome) != 0);
        WAIT_VERIFY(!busy());
        QVERIFY(QMetaObject::invokeMethod(page(), "selectedColor", Q_ARG(QVariant, "ffffff")));
        WAIT_COMPARE(m_keyboard->memory(SimQuenby::kRgbRegColor, 3), QByteArray::fromHex("ffffff"));
        WAIT_VERIFY(!busy());
        QVERIFY(QMetaObject::invokeMethod(page(), "selectedModel", Q_ARG(QVariant, effect)));
        WAIT_COMPARE(int(m_keyboard->registerValue(SimQuenby::kRgbRegLightMode)), effect);
        WAIT_VERIFY(!busy());
        QVERIFY(m_keyboard->registerValue(SimQuenby::kRgbRegLightBrightness) > 0);
        // The effect's view is made in the background: the picture is looked at once it is there.
        QQuickItem* preview = findItem(m_window, "quenbyRgbPreview");
        WAIT_VERIFY(viewsLoaded(preview));
        waitForLayout(m_window);

        // Where each key is drawn: its light button lies on it.
        QQuickItem* panel = findItem(m_window, "kbDeviceLightPanel");
        QMap<QString, QPoint> centres;
        for (int key = 14; key <= 140; ++key) {
            if (QQuickItem* button = findItem(panel, "light" + QString::number(key)))
                centres.insert(button->objectName(),
                               button->mapToScene(QPointF(button->width() / 2, button->height() / 2)).toPoint());
        }
        QVERIFY(centres.size() > 90);
        const qreal ratio = m_window->devicePixelRatio();
        QSet<QString> lit;
        for (int frame = 0; frame < frames; ++frame) {
            if (frame > 0)
                QTest::qWait(250); // the animation's own pace: frames of a moving wave
            const QImage image = m_window->grabWindow();
            QVERIFY(!image.isNull());
            for (auto it = centres.cbegin(); it != centres.cend(); ++it) {
                const QColor colour = image.pixelColor(it.value() * ratio);
                if (qMax(colour.red(), qMax(colour.green(), colour.blue())) > 110)
                    lit.insert(it.key());
            }
        }
        QStringList dark;
        for (auto it = centres.cbegin(); it != centres.cend(); ++it)
            if (!lit.contains(it.key()))
                dark << it.key();
        QVERIFY2(dark.isEmpty(), qPrintable(QString::number(dark.size()) + " keys drawn dark: " + dark.join(' ')));
    }

    // A key's colour: a field takes 0 to 255 only and says so; the colour sent reaches the key.
    void keyColourReachesTheKeyboard()
    {
        click(findItem(findItem(m_window, "kbDeviceLightPanel"), "light" + QString::number(kA)));
        WAIT_VERIFY(colorDialog()->property("visible").toBool());
        WAIT_VERIFY(isShown(m_window, "HMask"));
        QCOMPARE(colorDialog()->property("mSelectedKey").toInt(), kA);
        QQuickItem* panel = findItem(colorDialog(), "colorPanel");
        QQuickItem* red = findItem(panel, "fieldR");
        const QString before = red->property("text").toString();

        // Too large: refused with a tip, the field shows its value again.
        typeInto(red, "300");
        QQuickItem* tip = findItem(m_window, "suspension");
        WAIT_VERIFY(tip->isVisible() && tip->property("mText").toString().contains("0 to 255"));
        WAIT_COMPARE(red->property("text").toString(), before);
        QCOMPARE(panel->property("mRValue").toString(), before);
        // More than three digits cannot be typed.
        typeInto(red, "12345");
        QVERIFY(red->property("text").toString().size() <= 3);

        typeInto(red, "0");
        typeInto(findItem(panel, "fieldG"), "10");
        typeInto(findItem(panel, "fieldB"), "255");
        QCOMPARE(panel->property("mNewsetColor").toString(), QString("#000aff"));
        click(findItem(panel, "send"));
        WAIT_VERIFY(!busy());
        WAIT_COMPARE(m_keyboard->keyColorOfKey(kA), QByteArray::fromHex("000aff"));
        QMetaObject::invokeMethod(colorDialog(), "close");
        WAIT_VERIFY(!isShown(m_window, "HMask"));
    }
};

QTEST_MAIN(TestRgbKeyboardPages)
#include "tst_rgbkeyboardpages.moc"
