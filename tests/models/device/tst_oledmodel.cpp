#include "CoreTestDevice.h"
#include "LogCapture.h"
#include "RecordingServices.h"
#include "ScreenDeviceFixture.h"
#include "ScreenTestDevice.h"

#include "common/ProgramFolders.h"
#include "hid/HDeviceManager.h"
#include "hid/HWork.h"
#include "models/device/FOledModel.h"
#include "models/device/KImageModel.h"
#include "models/device/KLightModel.h"
#include "models/device/KLightModelItem.h"
#include "TestWait.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QSignalSpy>
#include <QUrl>
#include <QtTest>
#include <QtEndian>

#include <memory>

using namespace ScreenTestProtocol;

namespace {

void settle()
{
    WAIT_COMPARE(HWork::pendingCount(), 0);
    QCoreApplication::processEvents();
}

// The known picture: 8 x 8 blocks, black where the block's column and row add up to an even number, and one
// white pixel at (1, 1) inside the first black block.
QImage knownPicture()
{
    QImage image(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x)
            image.setPixel(x, y, ((x / 8 + y / 8) % 2 == 0) ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    }
    image.setPixel(1, 1, qRgb(255, 255, 255));
    image.setDotsPerMeterX(2835);
    image.setDotsPerMeterY(2835);
    return image;
}

QString pngBase64(const QImage& image, bool withPrefix = true)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    const QString text = QString::fromLatin1(png.toBase64());
    return withPrefix ? QStringLiteral("data:image/png;base64,") + text : text;
}

void appendLe(QByteArray& out, quint32 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

// The 1-bit Windows bitmap of knownPicture(), written out field by field: the file and info headers, a
// palette of white (index 0) and black (index 1), then the rows from the bottom up, 8 bytes each, leftmost
// pixel in the highest bit.
QByteArray expectedBitmap()
{
    QByteArray out("BM");
    appendLe(out, 14 + 40 + 8 + 384, 4);
    appendLe(out, 0, 4);
    appendLe(out, 14 + 40 + 8, 4);
    appendLe(out, 40, 4);
    appendLe(out, 64, 4);
    appendLe(out, 48, 4);
    appendLe(out, 1, 2);
    appendLe(out, 1, 2);
    appendLe(out, 0, 4);
    appendLe(out, 384, 4);
    appendLe(out, 2835, 4);
    appendLe(out, 2835, 4);
    appendLe(out, 2, 4);
    appendLe(out, 2, 4);
    out.append(QByteArray::fromHex("ffffff00" "00000000"));
    const QImage picture = knownPicture();
    for (int y = 47; y >= 0; --y) {
        for (int byte = 0; byte < 8; ++byte) {
            quint8 bits = 0;
            for (int bit = 0; bit < 8; ++bit) {
                if (qGray(picture.pixel(byte * 8 + bit, y)) < 128)
                    bits |= quint8(0x80 >> bit);
            }
            out.append(char(bits));
        }
    }
    return out;
}

// The model with the views it reads (the device view model, the lighting's main zone) and the recording
// services.
struct OledBench {
    RecordingServices services;
    KImageModel image;
    KLightModel lights;
    KLightModelItem* logo;
    FOledModel oled;

    explicit OledBench(bool hasOled = true)
        : logo(new KLightModelItem(&lights))
    {
        // Three presets and "none", as a layout's "lightShortCut" gives them.
        logo->setShortCutStrList({"preset 1", "preset 2", "preset 3", "none"});
        lights.setLogo(logo);
        lights.setWheel(new KLightModelItem(&lights));
        image.setHasOLED(hasOled);
        services.setImageModel(&image);
        services.setLightModel(&lights);
        services.setOledModel(&oled);
    }
};

} // namespace

// The screen model against a small screen device on the simulated bus.
class TestOledModel : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_config;
    QTemporaryDir m_program;

private slots:
    void initTestCase()
    {
        QVERIFY(m_config.isValid() && m_program.isValid());
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
        QVERIFY(ProgramFolders::profileRoot().startsWith(m_config.path()));
        QVERIFY(QDir().mkpath(ProgramFolders::profileRoot()));
        ProgramFolders::setProgramFolder(m_program.path());
    }

    void cleanup()
    {
        QFile::remove(FOledModel::pictureFilePath());
        QDir(FOledModel::pictureFilePath()).removeRecursively();
    }

    void fontSizeIsKeptInItsRange_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("notices");
        QTest::newRow("below") << 54 << 55 << 2;
        QTest::newRow("lowest") << 55 << 55 << 1;
        QTest::newRow("inside") << 100 << 100 << 1;
        QTest::newRow("highest") << 165 << 165 << 1;
        QTest::newRow("above") << 166 << 165 << 2;
        QTest::newRow("negative") << -3 << 55 << 2;
    }

    void fontSizeIsKeptInItsRange()
    {
        QFETCH(int, size);
        QFETCH(int, stored);
        QFETCH(int, notices);
        FOledModel oled;
        QList<int> seen;
        connect(&oled, &FOledModel::fontSizeChanged, this, [&] { seen << oled.fontSize(); });
        oled.setFontSize(size);
        QCOMPARE(oled.fontSize(), stored);
        QCOMPARE(seen.size(), notices);
        // An out-of-range size first shows -1, so that the control lets go of what the user typed.
        if (notices == 2)
            QCOMPARE(seen.first(), -1);
    }

    // --- reading the device ----------------------------------------------------------------------------

    void deviceChangeReadsBrightnessAndMode_data()
    {
        QTest::addColumn<bool>("hasOled");
        QTest::addColumn<int>("deviceMode");
        QTest::addColumn<int>("light");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("commands");
        QTest::newRow("screen") << true << 4 << 30 << 4 << 2;
        QTest::newRow("picture mode") << true << 8 << 30 << 8 << 2;
        QTest::newRow("mode out of range") << true << 10 << 30 << 1 << 2;
        QTest::newRow("no screen") << false << 4 << 50 << 1 << 0;
    }

    void deviceChangeReadsBrightnessAndMode()
    {
        QFETCH(bool, hasOled);
        QFETCH(int, deviceMode);
        QFETCH(int, light);
        QFETCH(int, mode);
        QFETCH(int, commands);
        ScreenDeviceFixture screen;
        QVERIFY(screen.device());
        screen.firmware().setMode(deviceMode);
        OledBench bench(hasOled);

        // The reads are waited for: the values are there when the call returns.
        bench.oled.deviceDataChange();
        QCOMPARE(bench.oled.oledLight(), light);
        QCOMPARE(bench.oled.oledMode(), mode);
        QCOMPARE(screen.firmware().commandCount(), commands);
    }

    void failedReadsKeepTheValues()
    {
        ScreenDeviceFixture screen;
        QVERIFY(screen.device());
        screen.firmware().refuse(ReadBrightness);
        screen.firmware().refuse(ReadMode);
        OledBench bench;
        QSignalSpy lightSpy(&bench.oled, &FOledModel::oledLightChanged);
        bench.oled.deviceDataChange();
        QCOMPARE(bench.oled.oledLight(), 50);
        QCOMPARE(bench.oled.oledMode(), 1);
        QCOMPARE(lightSpy.count(), 0);

        // Without any device the reads are refused at once and nothing waits.
        screen.removeDevice();
        bench.oled.deviceDataChange();
        QCOMPARE(bench.oled.oledLight(), 50);
    }

    // --- writes ------------------------------------------------------------------------------------------

    void brightnessWrite()
    {
        ScreenDeviceFixture screen;
        QVERIFY(screen.device());
        OledBench bench;
        QSignalSpy spy(&bench.oled, &FOledModel::oledLightChanged);

        bench.oled.setOledLight(40);
        settle();
        QCOMPARE(screen.firmware().brightness(), 40);
        QCOMPARE(bench.oled.oledLight(), 40);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(bench.services.events.filter("device_oled/"), QStringList{"device_oled/light/40"});
        QCOMPARE(bench.logo->shortCutModel(), 3);
        QCOMPARE(bench.services.open(), 0);

        bench.services.clear();
        spy.clear();
        screen.firmware().refuse(WriteBrightness);
        bench.oled.setOledLight(70);
        settle();
        QCOMPARE(bench.oled.oledLight(), 40);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(bench.services.warnings, QList<int>{1});
        QCOMPARE(bench.services.events, QStringList{"device_oled/light/fail"});
        // The busy indicator ends with the failed work, not by its time-out.
        QCOMPARE(bench.services.open(), 0);
    }

    void modeWrite()
    {
        ScreenDeviceFixture screen;
        QVERIFY(screen.device());
        OledBench bench;
        QSignalSpy spy(&bench.oled, &FOledModel::oledModeChanged);

        // The current mode needs no device and no busy indicator.
        QVERIFY(bench.oled.changeMode(1));
        settle();
        QCOMPARE(screen.firmware().count(WriteMode), 0);
        QCOMPARE(bench.services.loadingStarts, 0);

        QVERIFY(bench.oled.changeMode(3));
        settle();
        QCOMPARE(screen.firmware().mode(), 3);
        QCOMPARE(bench.oled.oledMode(), 3);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(bench.services.events.filter("device_oled/"), QStringList{"device_oled/change_mode/3"});
        QCOMPARE(bench.logo->shortCutModel(), 3);
        QCOMPARE(bench.services.open(), 0);

        bench.services.clear();
        spy.clear();
        screen.firmware().refuse(WriteMode);
        QVERIFY(bench.oled.changeMode(5));
        settle();
        QCOMPARE(bench.oled.oledMode(), 3);
        QCOMPARE(spy.count(), 0);
        QCOMPARE(bench.services.warnings, QList<int>{1});
        QCOMPARE(bench.services.events, QStringList{"device_oled/change_mode/fail"});
        QCOMPARE(bench.services.open(), 0);
    }

    // --- the picture upload ------------------------------------------------------------------------------

    void pictureUpload_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("uploaded");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("event");
        QTest::addColumn<QString>("log");
        QTest::newRow("whole way") << "" << true << 8 << "success" << "";
        QTest::newRow("no picture file") << "no file" << false << 1 << "fail"
                                         << "[Error] write OLEDmode index: pictureMode";
        QTest::newRow("chunk refused part-way") << "chunk" << false << 1 << "fail"
                                                << "[Error] write OLEDmode index: pictureMode";
        QTest::newRow("transfer fails part-way") << "transfer" << false << 1 << "fail"
                                                 << "[Error] write OLEDmode index: pictureMode";
        QTest::newRow("picture not taken") << "end" << false << 1 << "fail"
                                           << "[Error] write OLEDmode index: pictureMode";
        QTest::newRow("mode switch refused") << "mode" << true << 1 << "fail"
                                             << "[Error] write OLEDmode index: pictureMode";
        QTest::newRow("file cannot be removed") << "remove" << true << 8 << "success"
                                                << "[Error] could not remove the OLED picture file";
    }

    void pictureUpload()
    {
        QFETCH(QString, fault);
        QFETCH(bool, uploaded);
        QFETCH(int, mode);
        QFETCH(QString, event);
        QFETCH(QString, log);
        ScreenDeviceFixture screen;
        QVERIFY(screen.device());
        OledBench bench;
        LogCapture logs;
        QSignalSpy spy(&bench.oled, &FOledModel::oledModeChanged);

        const QString file = FOledModel::pictureFilePath();
        if (fault != QLatin1String("no file"))
            QVERIFY(knownPicture().save(file, "BMP"));
        if (fault == QLatin1String("chunk"))
            screen.firmware().refuse(PictureChunk, 5);
        if (fault == QLatin1String("transfer"))
            screen.bus()->failNext(screen.busId(), SimBus::Fault::SetFeature, 1, -1);
        if (fault == QLatin1String("end"))
            screen.firmware().refuse(PictureEnd);
        if (fault == QLatin1String("mode"))
            screen.firmware().refuse(WriteMode);
        if (fault == QLatin1String("remove")) {
            // The file turns into a folder with something in it once the device has read it.
            screen.device()->setAfterPictureRead([file] {
                QFile::remove(file);
                QDir().mkpath(file + QStringLiteral("/kept"));
            });
        }

        bench.oled.setPictureToMouse();
        settle();

        QCOMPARE(bench.oled.oledMode(), mode);
        QCOMPARE(screen.firmware().mode(), uploaded && fault != QLatin1String("mode") ? 8 : 2);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(bench.services.events.filter("device_oled/"), QStringList{QStringLiteral("device_oled/set_picture/") + event});
        QCOMPARE(bench.services.warnings, event == QLatin1String("fail") ? QList<int>{1} : QList<int>{});
        // Success or failure, the window is free once the upload is over.
        QCOMPARE(bench.services.open(), 0);
        if (!log.isEmpty())
            QVERIFY2(logs.contains(log), qPrintable(logs.lines().join('\n')));
        // The picture file is never left behind for a later upload to pick up.
        QCOMPARE(QFileInfo(file).isFile(), false);
        QCOMPARE(QFileInfo::exists(file), fault == QLatin1String("remove"));

        // What the screen shows is the picture, pixel by pixel (lit where the picture is white).
        const QImage shown = screen.firmware().picture();
        QCOMPARE(shown.isNull(), !uploaded);
        if (uploaded) {
            const QImage picture = knownPicture();
            for (const QPoint p : {QPoint(0, 0), QPoint(1, 1), QPoint(8, 0), QPoint(63, 47), QPoint(20, 30)})
                QCOMPARE(qGray(shown.pixel(p)) > 127, qGray(picture.pixel(p)) > 127);
        }
    }

    void uploadWithoutDeviceFailsAndRemovesTheFile()
    {
        OledBench bench;
        QVERIFY(knownPicture().save(FOledModel::pictureFilePath(), "BMP"));
        bench.oled.setPictureToMouse();
        settle();
        QCOMPARE(bench.services.events, QStringList{"device_oled/set_picture/fail"});
        QVERIFY(!QFileInfo::exists(FOledModel::pictureFilePath()));
    }

    // A device that declares a screen but keeps the base class's screen operations: reads give 0, writes fail.
    void deviceWithoutScreenOperations()
    {
        HDeviceManager* registry = HDeviceManager::instance();
        registry->setFactory([](int pid) { return new CoreTestDevice(pid); });
        QVERIFY(registry->createDevice(0x6D10));
        OledBench bench;
        bench.oled.deviceDataChange();
        QCOMPARE(bench.oled.oledLight(), 0);
        QCOMPARE(bench.oled.oledMode(), 0);

        bench.oled.setOledLight(40);
        QVERIFY(bench.oled.changeMode(3));
        QVERIFY(knownPicture().save(FOledModel::pictureFilePath(), "BMP"));
        bench.oled.setPictureToMouse();
        settle();
        QCOMPARE(bench.oled.oledLight(), 0);
        QCOMPARE(bench.oled.oledMode(), 0);
        // The three run side by side on the pool and finish in any order.
        QStringList events = bench.services.events;
        events.sort();
        QCOMPARE(events, (QStringList{"device_oled/change_mode/fail", "device_oled/light/fail",
                                      "device_oled/set_picture/fail"}));
        QCOMPARE(bench.services.warnings, (QList<int>{1, 1, 1}));
        QVERIFY(!QFileInfo::exists(FOledModel::pictureFilePath()));

        registry->getDevice(0x6D10)->setRemoved(true);
        registry->removeDevice(0x6D10);
        WAIT_COMPARE(CoreTestDevice::liveCount(), 0);
        registry->setFactory({});
    }

    // --- the base64 picture ------------------------------------------------------------------------------

    void knownPictureBecomesTheExpectedBitmap()
    {
        FOledModel oled;
        const QString target = m_program.filePath(QStringLiteral("test.bmp"));
        QFile::remove(target);
        QVERIFY(oled.tranBase64toBmp(pngBase64(knownPicture()), QString()));
        QFile file(target);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray written = file.readAll();
        const QByteArray expected = expectedBitmap();
        QCOMPARE(written.size(), expected.size());
        QCOMPARE(written.toHex(), expected.toHex());
    }

    void pictureTargets_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QSize>("source");
        QTest::newRow("path") << "out/a.bmp" << "out/a.bmp" << QSize(300, 120);
        QTest::newRow("file url") << "file://%1/out/b.bmp" << "out/b.bmp" << QSize(64, 48);
        QTest::newRow("file url with a blank") << "file://%1/out/my%20picture.bmp" << "out/my picture.bmp"
                                               << QSize(10, 10);
        QTest::newRow("png by suffix") << "out/c.png" << "out/c.png" << QSize(128, 128);
    }

    void pictureTargets()
    {
        QFETCH(QString, url);
        QFETCH(QString, written);
        QFETCH(QSize, source);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("out")));
        const QString location = url.contains(QLatin1String("%1")) ? url.arg(dir.path()) : dir.filePath(url);

        QImage picture(source, QImage::Format_RGB32);
        picture.fill(Qt::white);
        FOledModel oled;
        QVERIFY(oled.tranBase64toBmp(pngBase64(picture, false), location));
        const QImage result(dir.filePath(written));
        QCOMPARE(result.size(), QSize(64, 48));
        QCOMPARE(result.depth(), 1);
    }

    void undecodablePicturesAreRefused_data()
    {
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("url");
        QTest::newRow("not base64") << "data:image/png;base64,@@@@" << "a.bmp";
        QTest::newRow("not a picture") << QString::fromLatin1(QByteArray("just text").toBase64()) << "a.bmp";
        QTest::newRow("empty") << "" << "a.bmp";
        QTest::newRow("no suffix") << pngBase64(knownPicture()) << "picture";
        QTest::newRow("no folder") << pngBase64(knownPicture()) << "missing/a.bmp";
    }

    void undecodablePicturesAreRefused()
    {
        QFETCH(QString, data);
        QFETCH(QString, url);
        QTemporaryDir dir;
        FOledModel oled;
        QVERIFY(!oled.tranBase64toBmp(data, dir.filePath(url)));
        QVERIFY(!QFileInfo::exists(dir.filePath(url)));
    }

    void oversizedPictureIsNotDecoded()
    {
        QImage huge(5000, 4, QImage::Format_RGB32);
        huge.fill(Qt::black);
        QTemporaryDir dir;
        FOledModel oled;
        QVERIFY(!oled.tranBase64toBmp(pngBase64(huge), dir.filePath(QStringLiteral("a.bmp"))));
    }
};

QTEST_MAIN(TestOledModel)
#include "tst_oledmodel.moc"
