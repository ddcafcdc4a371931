#include "app/KAppManager.h"
#include "app/UIManager.h"
#include "models/device/KLightModel.h"
#include "models/device/KLightModelItem.h"

#include "LogCapture.h"
#include "QuickTree.h"

#include <QJSValue>
#include <QQmlApplicationEngine>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlProperty>
#include <QQuickItem>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

namespace {

const char kShown[] = "qrc:/common/TrayIcon-show.png";
const char kClosed[] = "qrc:/common/TrayIcon-close.png";

QQmlApplicationEngine* engine()
{
    return KAppManager::instance()->getUIManager()->getEngine();
}

// Makes one control from a snippet that imports the control folders, on the program's own context.
std::unique_ptr<QObject> make(const QByteArray& body)
{
    QQmlComponent component(engine());
    component.setData("import QtQuick 2.12\nimport \"qrc:/common\"\nimport \"qrc:/control\"\n"
                      "import \"qrc:/widgets\"\nimport \"qrc:/panel\"\n" + body,
                      QUrl("qrc:/probe/Probe.qml"));
    std::unique_ptr<QObject> object(component.create(engine()->rootContext()));
    if (!object)
        qWarning().noquote() << component.errorString();
    return object;
}

QList<QObject*> childrenOf(QObject* root, const char* className)
{
    QList<QObject*> found;
    for (QObject* object : quickTreeBelow(root)) {
        if (object->inherits(className))
            found << object;
    }
    return found;
}

} // namespace

// The shared controls as their users see them: which picture a button shows, what a number field reports, what
// a menu emits. Fixtures are one-line documents over the real controls and the program's context properties.
class TestQmlControls : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<LogCapture> m_log;

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(KAppManager::instance()->init());
        m_log = std::make_unique<LogCapture>();
    }

    void cleanupTestCase()
    {
        m_log.reset();
        KAppManager::instance()->shutdown();
    }

    void init() { m_log->clear(); }

    void cleanup() { QVERIFY2(m_log->warnings().isEmpty(), qPrintable(m_log->warnings().join('\n'))); }

    // The choice of the four-state controls: a state without its own picture falls back to a plainer one.
    void pictureChoice_data()
    {
        QTest::addColumn<bool>("selected");
        QTest::addColumn<bool>("hovered");
        QTest::addColumn<QString>("hoveredPicture");
        QTest::addColumn<QString>("selectedPicture");
        QTest::addColumn<QString>("hoveredSelectedPicture");
        QTest::addColumn<QString>("expected");
        QTest::newRow("normal") << false << false << "h" << "s" << "hs" << "n";
        QTest::newRow("hovered") << false << true << "h" << "s" << "hs" << "h";
        QTest::newRow("selected") << true << false << "h" << "s" << "hs" << "s";
        QTest::newRow("hovered selected") << true << true << "h" << "s" << "hs" << "hs";
        QTest::newRow("selected without picture") << true << false << "h" << "" << "" << "n";
        QTest::newRow("hovered without picture") << false << true << "" << "s" << "hs" << "n";
        QTest::newRow("hovered selected: selected") << true << true << "h" << "s" << "" << "s";
        QTest::newRow("hovered selected: hovered") << true << true << "h" << "" << "" << "h";
        QTest::newRow("hovered selected: normal") << true << true << "" << "" << "" << "n";
    }

    void pictureChoice()
    {
        QFETCH(bool, selected);
        QFETCH(bool, hovered);
        QFETCH(QString, hoveredPicture);
        QFETCH(QString, selectedPicture);
        QFETCH(QString, hoveredSelectedPicture);
        QFETCH(QString, expected);
        const auto object = make(QStringLiteral("import \"qrc:/common/pictures.js\" as P\n"
                                                "QtObject { property string chosen: P.choose(%1, %2, \"n\", \"%3\", "
                                                "\"%4\", \"%5\") }")
                                     .arg(selected ? "true" : "false", hovered ? "true" : "false", hoveredPicture,
                                          selectedPicture, hoveredSelectedPicture)
                                     .toUtf8());
        QVERIFY(object);
        QCOMPARE(object->property("chosen").toString(), expected);
    }

    // Each image button, selected with no selected picture, shows its normal picture, and its selected one once
    // it has one.
    void imageButtonSelectedFallsBack_data()
    {
        QTest::addColumn<QString>("type");
        for (const char* type : {"FImgBtn", "KImgBtn", "KTxtImgBtn", "FSelectVerticalBtn"})
            QTest::newRow(type) << type;
    }

    void imageButtonSelectedFallsBack()
    {
        QFETCH(QString, type);
        const auto button =
            make(QStringLiteral("%1 { mImg: \"%2\"; mIsSelected: true }").arg(type, kShown).toUtf8());
        QVERIFY(button);
        auto sources = [&] {
            QStringList list;
            for (QObject* image : childrenOf(button.get(), "QQuickImage"))
                list << image->property("source").toUrl().toString();
            return list;
        };
        QCOMPARE(sources(), QStringList{kShown});
        button->setProperty("mImgSel", kClosed);
        QCOMPARE(sources(), QStringList{kClosed});
        button->setProperty("mIsSelected", false);
        QCOMPARE(sources(), QStringList{kShown});
    }

    // A number field reports what is typed, bounds and all, and changes nothing itself: the user applies the
    // bounds and sets the value back.
    void numberFieldReportsTypedValue_data()
    {
        QTest::addColumn<QString>("type");
        for (const char* type : {"HNumField", "FNumField", "FNumField_macro"})
            QTest::newRow(type) << type;
    }

    void numberFieldReportsTypedValue()
    {
        QFETCH(QString, type);
        const auto field = make(QStringLiteral("%1 { mValue: 800 }").arg(type).toUtf8());
        QVERIFY(field);
        const QList<QObject*> inputs = childrenOf(field.get(), "QQuickTextField");
        QCOMPARE(inputs.size(), 1);
        QObject* input = inputs.first();
        QCOMPARE(input->property("text").toString(), QString("800"));

        QSignalSpy typed(field.get(), SIGNAL(inputValue(QVariant)));
        QSignalSpy added(field.get(), SIGNAL(addBtnClicked()));
        QSignalSpy reduced(field.get(), SIGNAL(reduceBtnClicked()));

        input->setProperty("text", "99999");
        QMetaObject::invokeMethod(input, "editingFinished");
        QCOMPARE(typed.count(), 1);
        QCOMPARE(typed.at(0).at(0).toInt(), 99999);
        QCOMPARE(field->property("mValue").toInt(), 800);

        // Leaving the field untouched, or empty, reports nothing.
        input->setProperty("text", "800");
        QMetaObject::invokeMethod(input, "editingFinished");
        input->setProperty("text", "");
        QMetaObject::invokeMethod(input, "editingFinished");
        QCOMPARE(typed.count(), 1);

        // The user's answer is shown.
        field->setProperty("mValue", 1200);
        QCOMPARE(input->property("text").toString(), QString("1200"));

        const QList<QObject*> buttons = childrenOf(field.get(), "QQuickButton");
        QCOMPARE(buttons.size(), 2);
        for (QObject* button : buttons)
            QMetaObject::invokeMethod(button, "clicked");
        QCOMPARE(added.count(), 1);
        QCOMPARE(reduced.count(), 1);
        QCOMPARE(field->property("mValue").toInt(), 1200);
    }

    // The check boxes carry their flag both ways: set by the user of the box, and by a click.
    void checkBoxFlagFollowsBothWays_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("flag");
        QTest::newRow("FCheckBox") << "FCheckBox" << "mIsSelected";
        QTest::newRow("FCheckBox2") << "FCheckBox2" << "mIsSelected";
        QTest::newRow("FCheckBoxKeySet") << "FCheckBoxKeySet" << "mChecked";
    }

    void checkBoxFlagFollowsBothWays()
    {
        QFETCH(QString, type);
        QFETCH(QString, flag);
        const auto box = make(QStringLiteral("%1 { %2: true }").arg(type, flag).toUtf8());
        QVERIFY(box);
        QCOMPARE(box->property("checked").toBool(), true);
        box->setProperty(qPrintable(flag), false);
        QCOMPARE(box->property("checked").toBool(), false);
        QMetaObject::invokeMethod(box.get(), "toggle");
        QMetaObject::invokeMethod(box.get(), "toggled");
        QCOMPARE(box->property(qPrintable(flag)).toBool(), true);
        box->setProperty(qPrintable(flag), false);
        QCOMPARE(box->property("checked").toBool(), false);
    }

    // Each macro folder menu entry emits its own signal once and closes the menu.
    void folderMenuEntries_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QByteArray>("signal");
        QTest::newRow("new macro") << "FMacroFolderMenu1" << "New macro" << QByteArray(SIGNAL(clickedCreateFile()));
        QTest::newRow("new folder") << "FMacroFolderMenu1" << "New folder" << QByteArray(SIGNAL(clickedCreateFolder()));
        QTest::newRow("folder rename") << "FMacroFolderMenu2" << "Rename" << QByteArray(SIGNAL(clickedRename()));
        QTest::newRow("folder delete") << "FMacroFolderMenu2" << "Delete" << QByteArray(SIGNAL(clickDelete()));
        QTest::newRow("file rename") << "FMacroFolderMenu3" << "Rename" << QByteArray(SIGNAL(clickedRename()));
        QTest::newRow("file delete") << "FMacroFolderMenu3" << "Delete" << QByteArray(SIGNAL(clickDelete()));
    }

    void folderMenuEntries()
    {
        QFETCH(QString, menu);
        QFETCH(QString, entry);
        QFETCH(QByteArray, signal);
        // A popup opens in a window.
        const auto popup = make(
            QStringLiteral("import QtQuick.Window 2.12\nWindow { property var menu: m; %1 { id: m } }").arg(menu).toUtf8());
        QVERIFY(popup);
        QObject* menuObject = popup->property("menu").value<QObject*>();
        QVERIFY(menuObject);
        QMetaObject::invokeMethod(menuObject, "open");
        QVERIFY(menuObject->property("visible").toBool());
        QSignalSpy spy(menuObject, signal.constData());
        QObject* button = nullptr;
        for (QObject* child : menuObject->findChildren<QObject*>()) {
            if (child->property("mText").toString() == entry)
                button = child;
        }
        QVERIFY(button);
        QMetaObject::invokeMethod(button, "clicked");
        QCOMPARE(spy.count(), 1);
        QCOMPARE(menuObject->property("visible").toBool(), false);
    }

    // The colour wheel reports a chosen colour and takes one from its user; the palette reports a preset.
    void colourChoice()
    {
        const auto wheel = make("HColorInfo { }");
        QVERIFY(wheel);
        QSignalSpy chosen(wheel.get(), SIGNAL(colorChanged(QColor)));
        wheel->setProperty("colorValue", QColor("#00FF00"));
        QCOMPARE(wheel->property("mHue").toReal(), QColor("#00FF00").hsvHueF());
        QMetaObject::invokeMethod(wheel.get(), "emitColor");
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.at(0).at(0).value<QColor>().rgba(), QColor("#00FF00").rgba());

        // The palette shows the device's presets, and its own while the device has none.
        const auto palette = make("HPalettes { mDefaultColor: [\"#112233\", \"#445566\"];"
                                  " property int count: mColors.length; property string first: mColors[0] }");
        QVERIFY(palette);
        auto* lights = engine()->rootContext()->contextProperty("g_lightModel").value<KLightModel*>();
        QVERIFY(lights && lights->logo());
        const QVector<QString> presets = lights->logo()->defaultColor();
        QVERIFY(!presets.isEmpty());
        QCOMPARE(palette->property("count").toInt(), presets.size());
        QCOMPARE(palette->property("first").toString(), presets.first());
        lights->logo()->setDefaultColor({}, true);
        QCOMPARE(palette->property("count").toInt(), 2);
        QCOMPARE(palette->property("first").toString(), QString("#112233"));
        lights->logo()->setDefaultColor(presets, true);
    }
};

QTEST_MAIN(TestQmlControls)
#include "tst_qmlcontrols.moc"
