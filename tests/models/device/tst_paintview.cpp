#include "LogCapture.h"
#include "RecordingServices.h"

#include "app/KAppManager.h"
#include "app/UIManager.h"
#include "common/ProgramFolders.h"
#include "models/device/HEquipmentList.h"
#include "models/device/HEquipmentModel.h"
#include "models/device/HPaintLine.h"
#include "models/device/FOledModel.h"
#include "models/device/FPaintView.h"
#include "models/device/KImageModel.h"

#include <QDir>
#include <QMouseEvent>
#include <QPainter>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QSignalSpy>
#include <QUrl>
#include <QtTest>

#include <limits>
#include <memory>

namespace {

bool isDark(QRgb pixel)
{
    return qAlpha(pixel) > 127 && qGray(pixel) < 128;
}

void mouse(FPaintView& view, QEvent::Type type, QPointF at)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, at, at, Qt::LeftButton, held, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &event);
}

// The item's own painting at its full size, as the scene graph would ask for it.
QImage painted(FPaintView& view)
{
    QImage canvas(view.oledWidth(), view.oledHight(), QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    view.paint(&painter);
    return canvas;
}

// A white canvas of 64 x 48 screen pixels, each 8 view pixels wide, as at UI scale 1.0.
struct Canvas {
    RecordingServices services;
    FOledModel oled;
    FPaintView view;

    Canvas()
    {
        services.setOledModel(&oled);
        view.deviceChanged();
        view.setFillColor(Qt::white);
    }
};

} // namespace

class TestPaintView : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_config;

private slots:
    // The program this test started goes before the application object does (its engine needs it).
    void cleanupTestCase() { KAppManager::instance()->shutdown(); }

    void initTestCase()
    {
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    }

    void startsAsDocumented()
    {
        LogCapture logs;
        FPaintView view;
        QCOMPARE(view.paintState(), false);
        QCOMPARE(view.oledWidth(), 540);
        QCOMPARE(view.oledHight(), 370);
        QCOMPARE(view.ratio(), 5.0);
        QCOMPARE(view.screenSize(), QSize(108, 74));
        QCOMPARE(view.acceptedMouseButtons(), Qt::MouseButtons(Qt::LeftButton));
        QVERIFY(logs.contains(QStringLiteral("mOledWidth: 108")));
        QVERIFY(logs.contains(QStringLiteral("mOledHeight: 74")));
    }

    void canvasFollowsScaleAndDevice_data()
    {
        QTest::addColumn<float>("scale");
        QTest::addColumn<QString>("device");
        QTest::addColumn<double>("ratio");
        QTest::addColumn<QSize>("canvas");
        QTest::addColumn<QSize>("screen");
        QTest::newRow("small, wide screen") << 0.75f << "Edris" << 3.0 << QSize(384, 96) << QSize(128, 32);
        QTest::newRow("small, other") << 0.75f << "ZEPHRA" << 6.0 << QSize(384, 288) << QSize(64, 48);
        QTest::newRow("normal, wide screen") << 1.0f << "Edris" << 4.0 << QSize(512, 128) << QSize(128, 32);
        QTest::newRow("a two-collection model") << 1.0f << "VARLO" << 4.0 << QSize(512, 128) << QSize(128, 32);
        QTest::newRow("normal, other") << 1.0f << "Balsom" << 8.0 << QSize(512, 384) << QSize(64, 48);
        QTest::newRow("large, no device") << 1.25f << "" << 8.0 << QSize(512, 384) << QSize(64, 48);
    }

    void canvasFollowsScaleAndDevice()
    {
        QFETCH(float, scale);
        QFETCH(QString, device);
        QFETCH(double, ratio);
        QFETCH(QSize, canvas);
        QFETCH(QSize, screen);
        RecordingServices services;
        KImageModel image;
        image.setDeviceName(device);
        services.setScale(scale);
        services.setImageModel(&image);

        FPaintView view;
        view.deviceChanged();
        QCOMPARE(view.ratio(), ratio);
        QCOMPARE(QSize(view.oledWidth(), view.oledHight()), canvas);
        QCOMPARE(view.screenSize(), screen);

        // The saved picture has the screen's size, in colour.
        const QString file = m_config.filePath(QStringLiteral("size.bmp"));
        QVERIFY(view.savePicture(file));
        const QImage saved(file, "BMP");
        QCOMPARE(saved.size(), screen);
        QVERIFY(saved.depth() > 1);
    }

    void strokesBecomeScreenPixels()
    {
        Canvas canvas;
        canvas.view.setPaintState(true);
        // One stroke right, then down: screen pixels (10,10) to (20,10) to (20,20).
        mouse(canvas.view, QEvent::MouseButtonPress, QPointF(80, 80));
        mouse(canvas.view, QEvent::MouseMove, QPointF(161, 79));
        mouse(canvas.view, QEvent::MouseButtonRelease, QPointF(160, 160));
        // A click without movement leaves one dot.
        mouse(canvas.view, QEvent::MouseButtonPress, QPointF(400, 300));
        mouse(canvas.view, QEvent::MouseButtonRelease, QPointF(400, 300));

        const QImage picture = canvas.view.renderPicture();
        QCOMPARE(picture.size(), QSize(64, 48));
        QVERIFY(isDark(picture.pixel(15, 10)));
        QVERIFY(isDark(picture.pixel(20, 15)));
        QVERIFY(isDark(picture.pixel(50, 38)));
        QVERIFY(!isDark(picture.pixel(15, 15)));
        QVERIFY(!isDark(picture.pixel(0, 0)));

        // The item shows every screen pixel as an 8 x 8 block.
        const QImage shown = painted(canvas.view);
        for (int dx : {0, 7})
            QVERIFY(isDark(shown.pixel(15 * 8 + dx, 10 * 8 + dx)));
        QVERIFY(!isDark(shown.pixel(15 * 8 + 3, 11 * 8 + 3)));

        // Undo takes the dot, then the stroke; one more undo changes nothing.
        canvas.view.undo();
        QVERIFY(!isDark(canvas.view.renderPicture().pixel(50, 38)));
        QVERIFY(isDark(canvas.view.renderPicture().pixel(15, 10)));
        canvas.view.undo();
        canvas.view.undo();
        QVERIFY(!isDark(canvas.view.renderPicture().pixel(15, 10)));
    }

    void mouseIsIgnoredWhileNotDrawing()
    {
        Canvas canvas;
        mouse(canvas.view, QEvent::MouseButtonPress, QPointF(80, 80));
        mouse(canvas.view, QEvent::MouseMove, QPointF(160, 80));
        // Drawing switched on in the middle of a drag does not pick up the rest of it.
        canvas.view.setPaintState(true);
        mouse(canvas.view, QEvent::MouseMove, QPointF(240, 80));
        mouse(canvas.view, QEvent::MouseButtonRelease, QPointF(240, 80));
        const QImage picture = canvas.view.renderPicture();
        for (int x = 0; x < picture.width(); ++x)
            QVERIFY2(!isDark(picture.pixel(x, 10)), qPrintable(QString::number(x)));
    }

    void fillDecidesBackgroundAndInk_data()
    {
        QTest::addColumn<QColor>("fill");
        QTest::addColumn<QRgb>("background");
        QTest::addColumn<QRgb>("ink");
        QTest::newRow("white") << QColor(Qt::white) << qRgb(255, 255, 255) << qRgb(0, 0, 0);
        QTest::newRow("black") << QColor(Qt::black) << qRgb(0, 0, 0) << qRgb(255, 255, 255);
        QTest::newRow("other") << QColor(Qt::red) << qRgba(0, 0, 0, 0) << qRgb(0, 0, 0);
    }

    void fillDecidesBackgroundAndInk()
    {
        QFETCH(QColor, fill);
        QFETCH(QRgb, background);
        QFETCH(QRgb, ink);
        Canvas canvas;
        canvas.view.setFillColor(fill);
        canvas.view.setPaintState(true);
        mouse(canvas.view, QEvent::MouseButtonPress, QPointF(8, 160));
        mouse(canvas.view, QEvent::MouseButtonRelease, QPointF(400, 160));
        const QImage picture = canvas.view.renderPicture();
        QCOMPARE(picture.pixel(30, 20), ink);
        QCOMPARE(picture.pixel(30, 30), background);
    }

    void backgroundPicture()
    {
        Canvas canvas;
        // Left half black, right half white, at another size than the screen's: it is stretched over it.
        QImage source(20, 10, QImage::Format_RGB32);
        source.fill(Qt::white);
        for (int y = 0; y < 10; ++y) {
            for (int x = 0; x < 10; ++x)
                source.setPixel(x, y, qRgb(0, 0, 0));
        }
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("my picture.png"));
        QVERIFY(source.save(file));

        canvas.view.setPaintState(true);
        mouse(canvas.view, QEvent::MouseButtonPress, QPointF(300, 80));
        mouse(canvas.view, QEvent::MouseButtonRelease, QPointF(500, 80));
        QSignalSpy stateSpy(&canvas.view, &FPaintView::paintStateChanged);
        canvas.view.openPicture(QUrl::fromLocalFile(file).toString());
        QCOMPARE(stateSpy.count(), 1);
        QImage picture = canvas.view.renderPicture();
        QVERIFY(isDark(picture.pixel(5, 40)));
        QVERIFY(!isDark(picture.pixel(60, 40)));
        // Opening a picture removed the stroke across the white half.
        QVERIFY(!isDark(picture.pixel(50, 10)));

        // An empty path takes the background away and keeps strokes.
        mouse(canvas.view, QEvent::MouseButtonPress, QPointF(300, 80));
        mouse(canvas.view, QEvent::MouseButtonRelease, QPointF(500, 80));
        canvas.view.openPicture(QString());
        QVERIFY(canvas.view.paintState());
        picture = canvas.view.renderPicture();
        QVERIFY(!isDark(picture.pixel(5, 40)));
        QVERIFY(isDark(picture.pixel(50, 10)));

        // A picture that cannot be read draws no background; the strokes still show.
        canvas.view.openPicture(dir.filePath(QStringLiteral("missing.png")));
        picture = canvas.view.renderPicture();
        QVERIFY(!isDark(picture.pixel(5, 40)));
    }

    void textIsCentred()
    {
        Canvas canvas;
        canvas.view.textInput(QStringLiteral("HI"));
        const QImage picture = canvas.view.renderPicture();
        int inside = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                if (!isDark(picture.pixel(x, y)))
                    continue;
                QVERIFY2(x > 8 && x < 56 && y > 4 && y < 44, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
                ++inside;
            }
        }
        QVERIFY(inside > 20);

        canvas.view.clear();
        const QImage cleared = canvas.view.renderPicture();
        QVERIFY(!isDark(cleared.pixel(32, 24)));
    }

    void ratioMustBePositive_data()
    {
        QTest::addColumn<double>("ratio");
        QTest::newRow("zero") << 0.0;
        QTest::newRow("negative") << -2.0;
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity();
    }

    void ratioMustBePositive()
    {
        QFETCH(double, ratio);
        Canvas canvas;
        canvas.view.setPaintState(true);
        mouse(canvas.view, QEvent::MouseButtonPress, QPointF(80, 80));
        mouse(canvas.view, QEvent::MouseButtonRelease, QPointF(160, 80));
        QSignalSpy spy(&canvas.view, &FPaintView::ratioChanged);
        canvas.view.setRatio(ratio);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(canvas.view.ratio(), 8.0);
        QCOMPARE(painted(canvas.view).size(), QSize(512, 384));
        QVERIFY(isDark(canvas.view.renderPicture().pixel(15, 10)));
        QVERIFY(canvas.view.savePicture(m_config.filePath(QStringLiteral("ratio.bmp"))));
        QCOMPARE(QImage(m_config.filePath(QStringLiteral("ratio.bmp"))).size(), QSize(64, 48));
    }

    void savePictureTargets()
    {
        Canvas canvas;
        LogCapture logs;
        // Empty: the file the device uploads, in the profile folder.
        QVERIFY(canvas.view.savePicture(QString()));
        QCOMPARE(QImage(FOledModel::pictureFilePath(), "BMP").size(), QSize(64, 48));
        QVERIFY(FOledModel::pictureFilePath().startsWith(ProgramFolders::profileRoot()));
        QVERIFY(logs.contains(QStringLiteral("save widget screen succed")));

        // A file URL is a local path, whatever it holds.
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("a b.bmp"));
        QVERIFY(canvas.view.savePicture(QUrl::fromLocalFile(file).toString()));
        QVERIFY(QFileInfo::exists(file));

        QVERIFY(!canvas.view.savePicture(dir.filePath(QStringLiteral("missing/a.bmp"))));
        QVERIFY(logs.contains(QStringLiteral("save widget screen failed")));
    }

    // The documents place the editor, the line painter and the picker's model by their QML names.
    void qmlTypesAreRegistered()
    {
        QVERIFY(KAppManager::instance()->init());
        UIManager* ui = KAppManager::instance()->getUIManager();
        QVERIFY(ui->getEquipmentList());

        QQmlEngine engine;
        engine.rootContext()->setContextProperty(QStringLiteral("h_equipmentList"), ui->getEquipmentList());
        QQmlComponent component(&engine);
        component.setData("import QtQuick 2.15\n"
                          "import Model 1.0\n"
                          "import PaintLine 1.0\n"
                          "import EquipmentModel 1.0\n"
                          "Item {\n"
                          "  property alias editor: editor\n"
                          "  property alias line: line\n"
                          "  property alias picker: picker\n"
                          "  FPaintView { id: editor }\n"
                          "  PaintLine { id: line; Component.onCompleted: setLine(0, 0, 10, 0) }\n"
                          "  HEquipmentModel { id: picker; equipmentList: h_equipmentList }\n"
                          "}\n",
                          QUrl());
        std::unique_ptr<QObject> root(component.create());
        QVERIFY2(root, qPrintable(component.errorString()));
        QVERIFY(qobject_cast<FPaintView*>(root->property("editor").value<QObject*>()));
        auto* line = qobject_cast<HPaintLine*>(root->property("line").value<QObject*>());
        QVERIFY(line);
        QCOMPARE(line->lines().size(), HPaintLine::kLineCount);
        auto* picker = qobject_cast<HEquipmentModel*>(root->property("picker").value<QObject*>());
        QVERIFY(picker);
        QCOMPARE(picker->equipmentList(), ui->getEquipmentList());
    }
};

QTEST_MAIN(TestPaintView)
#include "tst_paintview.moc"
