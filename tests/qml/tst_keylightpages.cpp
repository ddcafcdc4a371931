#include "app/KAppCommon.h"
#include "common/DeviceIds.h"
#include "common/ProgramFolders.h"

#include "KeyboardWindowFixture.h"
#include "WindowTestSupport.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQuickItem>
#include <QQuickWindow>
#include <QStandardPaths>
#include <QtTest>

using namespace WindowTestSupport;

namespace {

// A layout document of the program's resources.
QJsonObject layout(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    return QJsonDocument::fromJson(bytes).object();
}

QRectF rectOf(const QJsonObject& object)
{
    return QRectF(object.value("x").toDouble(), object.value("y").toDouble(), object.value("width").toDouble(),
                  object.value("height").toDouble());
}

} // namespace

// The lighting page of each keyboard layout in the real window: every key's light button lies on that key as
// the light picture draws it, and a click at the centre of a drawn key (by position) opens the light dialog of
// that very key.
class TestKeyLightPages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        // Each run starts as a new user: a profile an earlier run left would differ from the fresh keyboard, and
        // the program would ask which to keep. The folder is the program's once the application has its name.
        QCoreApplication::setApplicationName(KAppCommon::instance()->getAppName());
        QDir(ProgramFolders::profileRoot()).removeRecursively();
    }

    void lightButtonsLieOnTheDrawnKeys_data()
    {
        QTest::addColumn<int>("productId");
        QTest::addColumn<QString>("layoutPath");
        QTest::addColumn<QString>("dialogName");
        QTest::newRow("wired keyboard") << int(DeviceIds::kKeyboardWired)
                                        << ":/common/newUI/Quenby_8a/Quenby_8ALayout.json" << "keyLightDialog";
        QTest::newRow("RGB keyboard") << int(DeviceIds::kRgbKeyboard)
                                      << ":/common/newUI/Quenby_RGB/Quenby_RGBLayout.json" << "keyColorDialog";
    }

    void lightButtonsLieOnTheDrawnKeys()
    {
        QFETCH(int, productId);
        QFETCH(QString, layoutPath);
        QFETCH(QString, dialogName);
        const QJsonObject document = layout(layoutPath);
        const QJsonObject keySection = document.value("key").toObject();
        const QJsonArray keys = keySection.value("keyBtn").toArray();
        QVERIFY(!keys.isEmpty());
        // The light picture shows the key section's keys, scaled from the key picture's size into its own.
        const QSizeF keyPicture(keySection.value("width").toDouble(), keySection.value("height").toDouble());
        const QJsonObject lightZone = document.value("light").toObject().value("keyBtn").toArray().first().toObject();
        const QSizeF lightPicture = rectOf(lightZone).size();
        QVERIFY(!keyPicture.isEmpty() && !lightPicture.isEmpty());

        KeyboardWindowFixture fixture;
        QQuickWindow* window = fixture.start(quint16(productId));
        QVERIFY(window);
        QVERIFY(QMetaObject::invokeMethod(window, "updatewindow", Q_ARG(QVariant, 5)));
        QQuickItem* panel = nullptr;
        QTRY_VERIFY((panel = findItem(window, "kbDeviceLightPanel")) && panel->isVisible());
        QTRY_VERIFY(findItem(panel, "light" + QString::number(keys.first().toObject().value("key").toInt())));
        // The preview shown, and its light picture, which fills it.
        QQuickItem* preview = nullptr;
        for (const QString& name : {QStringLiteral("quenby8aPreview"), QStringLiteral("quenbyRgbPreview")}) {
            QQuickItem* candidate = findItem(window, name);
            if (candidate && candidate->isVisible())
                preview = candidate;
        }
        QVERIFY(preview);
        QObject* dialog = window->findChild<QObject*>(dialogName);
        QVERIFY(dialog);
        QTRY_VERIFY(!isShown(window, "HLoadDialog_new"));
        // The page is made when first shown: its keys are clicked where they are drawn once it is laid out.
        waitForLayout(window);

        QStringList off;
        for (const QJsonValue& value : keys) {
            const QJsonObject key = value.toObject();
            const int id = key.value("key").toInt();
            const QString name = key.value("name").toString();
            // The key's centre in the light picture, then where the preview draws that point.
            const QPointF inPicture(rectOf(key).center().x() * lightPicture.width() / keyPicture.width(),
                                    rectOf(key).center().y() * lightPicture.height() / keyPicture.height());
            const QPointF inPreview(inPicture.x() * preview->width() / lightPicture.width(),
                                    inPicture.y() * preview->height() / lightPicture.height());
            const QPointF drawn = preview->mapToScene(inPreview);
            QQuickItem* button = findItem(panel, "light" + QString::number(id));
            if (!button) {
                off << name + ": no light button";
                continue;
            }
            const QRectF buttonRect = button->mapRectToScene(QRectF(0, 0, button->width(), button->height()));
            if (!buttonRect.contains(drawn)) {
                off << QStringLiteral("%1: drawn at (%2, %3), its button at (%4, %5)")
                           .arg(name)
                           .arg(drawn.x())
                           .arg(drawn.y())
                           .arg(buttonRect.center().x())
                           .arg(buttonRect.center().y());
                continue;
            }
            // A click where the key is drawn opens that key's dialog.
            QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, drawn.toPoint());
            if (!QTest::qWaitFor([&] { return dialog->property("visible").toBool(); }, 5000)) {
                off << name + ": no dialog";
                continue;
            }
            if (dialog->property("mSelectedKey").toInt() != id)
                off << QStringLiteral("%1: the dialog of key %2 (%3)")
                           .arg(name)
                           .arg(dialog->property("mSelectedKey").toInt())
                           .arg(dialog->property("mKey").toString());
            QMetaObject::invokeMethod(dialog, "close");
            QTRY_VERIFY(!dialog->property("visible").toBool());
        }
        const QStringList faults = fixture.stop();
        QVERIFY2(off.isEmpty(), qPrintable(QString::number(off.size()) + " keys off:\n" + off.join('\n')));
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }
};

QTEST_MAIN(TestKeyLightPages)
#include "tst_keylightpages.moc"
