#include "JsonFiles.h"
#include "app/KAppCommon.h"
#include "app/KAppManager.h"
#include "app/KAppModel.h"
#include "app/UIManager.h"
#include "common/DeviceIds.h"
#include "common/ProgramFolders.h"
#include "devices/SimulatedModels.h"
#include "hid/KDeviceController.h"
#include "models/device/FBattreyModel.h"
#include "models/device/FKeyLightModel.h"
#include "models/device/FOledModel.h"
#include "models/device/KDpiModel.h"
#include "models/device/KImageModel.h"
#include "models/device/KLightModel.h"
#include "models/device/KLightModelItem.h"
#include "models/device/KReportModel.h"
#include "models/keys/KKey.h"
#include "models/keys/KKeyModel.h"
#include "online/KNetCommon.h"
#include "profiles/KConfigFileController.h"
#include "sim/keyboard/SimQuenbyKeyboard.h"
#include "sim/mouse/featurereport/SimFeatureReportMouse.h"
#include "sim/mouse/register/SimRegisterMouse.h"
#include "sim/mouse/twocollection/SimTwoCollectionMouse.h"
#include "sim/mouse/twopage/SimTwoPageMouse.h"

#include "platform/sys/PlatformTime.h"

#include "LogCapture.h"
#include "SimBusFixture.h"
#include "TestWait.h"
#include "WindowTestSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

#include <functional>
#include <memory>

using namespace WindowTestSupport;

namespace {

// The edits the pages offer, as flags of a table row.
enum Edit {
    DpiValue = 1 << 0,
    StageSwitch = 1 << 1,
    ReportRate = 1 << 2,
    LightEffect = 1 << 3,
    LightColour = 1 << 4,
    LightBrightness = 1 << 5,
    KeyRemap = 1 << 6,
    Combination = 1 << 7,
    Macro = 1 << 8,
    OledPicture = 1 << 9,
    PowerSaving = 1 << 10,
    KeyColour = 1 << 11,
    LightSpeed = 1 << 12,
    LightDirection = 1 << 13,
    Monochrome = 1 << 14,
};
constexpr int kEditCount = 15;

// One device of a family on the simulated bus: a fresh emulator (factory state) plugged on demand, and what
// the emulator decodes of what it received, field by field ("dpi", "stage", "report", "light", "keys",
// "picture", "power"), as text a failure message can show.
class Emulated
{
public:
    virtual ~Emulated() = default;
    virtual bool plugFresh(SimBus* bus) = 0;
    virtual void unplug() = 0;
    virtual QVariantMap decoded() const = 0;
};

QString join(const QList<int>& values)
{
    QStringList texts;
    for (int v : values)
        texts << QString::number(v);
    return texts.join(QLatin1Char(','));
}

QString digest(const QByteArray& bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex().left(12));
}

template <typename Emulator>
class EmulatedBase : public Emulated
{
public:
    explicit EmulatedBase(std::function<Emulator*()> make) : m_make(std::move(make)) {}
    bool plugFresh(SimBus* bus) override
    {
        m_emulator.reset(m_make());
        return m_emulator->plug(bus);
    }
    void unplug() override { m_emulator.reset(); }

protected:
    std::function<Emulator*()> m_make;
    std::unique_ptr<Emulator> m_emulator;
};

class EmulatedKeyboard : public EmulatedBase<SimQuenbyKeyboard>
{
public:
    explicit EmulatedKeyboard(quint16 pid) : EmulatedBase([pid] { return new SimQuenbyKeyboard(pid); }) {}
    QVariantMap decoded() const override
    {
        const SimQuenbyKeyboard& k = *m_emulator;
        QStringList keys;
        const QMap<int, SimKeyFunction> functions = k.keyFunctions();
        for (auto it = functions.cbegin(); it != functions.cend(); ++it)
            keys << QString::number(it.key()) + '=' + it.value().toString();
        QStringList colours;
        for (int key = KKeyKeyboardFirst; key <= KKeyLast; ++key)
            colours << QString::fromLatin1(k.keyColorOfKey(key).toHex());
        // The light registers of the model (the RGB model keeps its own, with a colour).
        const QByteArray light = k.isRgb() ? k.memory(0xA081, 8) : k.memory(0xA041, 13);
        return {{"keys", keys.join(' ')}, {"light", QString::fromLatin1(light.toHex())}, {"keyColours", colours.join(' ')}};
    }
};

class EmulatedRegisterMouse : public EmulatedBase<SimRegisterMouse>
{
public:
    explicit EmulatedRegisterMouse(quint16 pid) : EmulatedBase([pid] { return new SimRegisterMouse(pid); }) {}
    QVariantMap decoded() const override
    {
        const SimRegisterMouse& m = *m_emulator;
        QStringList keys;
        for (int key = 0; key <= KKeyMouseLast; ++key)
            keys << QString::number(key) + '=' + m.buttonFunction(key).toString();
        const SimRegisterMouse::Colour c = m.zoneColour(0);
        return {{"dpi", join(m.dpiStages())},
                {"stage", QString("%1/%2").arg(m.dpiIndex()).arg(m.dpiHighestIndex())},
                {"report", m.reportRateChoice()},
                {"light", QString("%1 %2 %3 %4,%5,%6").arg(m.lightMode()).arg(m.lightSpeedCode()).arg(m.lightBrightness())
                              .arg(c.r).arg(c.g).arg(c.b)},
                {"keys", keys.join(' ')},
                {"picture", digest(m.picture())},
                {"power", m.powerSaving()}};
    }
};

class EmulatedFeatureReportMouse : public EmulatedBase<SimFeatureReportMouse>
{
public:
    explicit EmulatedFeatureReportMouse(quint16 pid) : EmulatedBase([pid] { return new SimFeatureReportMouse(pid); }) {}
    QVariantMap decoded() const override
    {
        const SimFeatureReportMouse& m = *m_emulator;
        QStringList keys;
        for (int key = 0; key <= KKeyMouseLast; ++key)
            keys << QString("%1=%2:%3").arg(key).arg(m.keyFunction(key)).arg(QString::fromLatin1(m.keyCode(key).toHex()));
        return {{"dpi", join(m.dpiValues())},
                {"stage", QString("%1 %2").arg(m.dpiStage()).arg(QString::fromLatin1(m.dpiPage().toHex()))},
                {"report", m.reportInterval()},
                {"light", QString("%1 %2 %3 %4").arg(m.lightEffect()).arg(m.lightParameter()).arg(m.lightFlag())
                              .arg(join(m.colour()))},
                {"keys", keys.join(' ')}};
    }
};

class EmulatedTwoCollectionMouse : public EmulatedBase<SimTwoCollectionMouse>
{
public:
    explicit EmulatedTwoCollectionMouse(quint16 pid) : EmulatedBase([pid] { return new SimTwoCollectionMouse(pid); }) {}
    QVariantMap decoded() const override
    {
        const SimTwoCollectionMouse& m = *m_emulator;
        QStringList keys;
        // The key table: 16 codes of 4 bytes from image byte 332.
        for (int entry = 0; entry < 16; ++entry) {
            const SimTwoCollectionMouse::KeyCode code = m.keyAt(332 + 4 * entry);
            keys << QString("%1=%2:%3:%4").arg(entry).arg(code.function).arg(code.mask).arg(code.usage);
        }
        QList<int> dpi;
        for (int code : m.dpiCodes())
            dpi << code * 50;
        return {{"dpi", join(dpi)},
                {"stage", join(dpi)},
                {"report", m.reportRate()},
                {"light", QString("%1 %2 %3 %4 | %5 %6 %7 %8")
                              .arg(m.effectCode(0)).arg(m.brightness(0)).arg(m.speedByte(0)).arg(join(m.colour(0)))
                              .arg(m.effectCode(1)).arg(m.brightness(1)).arg(m.speedByte(1)).arg(join(m.colour(1)))},
                {"keys", keys.join(' ')},
                {"picture", digest(m.pictureMemory())}};
    }
};

class EmulatedTwoPageMouse : public EmulatedBase<SimTwoPageMouse>
{
public:
    explicit EmulatedTwoPageMouse(quint16 pid)
        : EmulatedBase([pid] { return new SimTwoPageMouse(pid, SimTwoPageMouse::dialectOf(pid)); })
    {
    }
    QVariantMap decoded() const override
    {
        const SimTwoPageMouse& m = *m_emulator;
        QStringList keys;
        for (int key = 0; key <= KKeyMouseLast; ++key) {
            const SimTwoPageMouse::KeyEntry e = m.keyEntry(key);
            if (e.function != -2)
                keys << QString("%1=%2:%3:%4").arg(key).arg(e.function).arg(e.mask).arg(e.usage);
        }
        return {{"dpi", join(m.dpiValues())},
                {"stage", QString("%1/%2").arg(m.dpiStage()).arg(m.enableMask())},
                {"report", m.reportRate()},
                {"light", QString("%1 %2 %3 %4").arg(m.lightMode()).arg(m.lightSpeedByte()).arg(m.lightBrightness())
                              .arg(join(m.colour()))},
                {"keys", keys.join(' ')}};
    }
};

// The device's fields an edit changes.
QStringList fieldsOf(Edit edit)
{
    switch (edit) {
    case DpiValue: return {"dpi"};
    case StageSwitch: return {"stage"};
    case ReportRate: return {"report"};
    case LightEffect:
    case LightColour:
    case LightBrightness:
    case LightSpeed:
    case LightDirection:
    case Monochrome: return {"light"};
    case KeyRemap:
    case Combination:
    case Macro: return {"keys"};
    case OledPicture: return {"picture"};
    case PowerSaving: return {"power"};
    case KeyColour: return {"keyColours"};
    }
    return {};
}

QString nameOf(Edit edit)
{
    switch (edit) {
    case DpiValue: return "DPI value";
    case StageSwitch: return "stage switch";
    case ReportRate: return "report rate";
    case LightEffect: return "light effect";
    case LightColour: return "light colour";
    case LightBrightness: return "light brightness";
    case KeyRemap: return "key remap";
    case Combination: return "key combination";
    case Macro: return "macro";
    case OledPicture: return "OLED picture";
    case PowerSaving: return "power saving";
    case KeyColour: return "key colour";
    case LightSpeed: return "light speed";
    case LightDirection: return "light direction";
    case Monochrome: return "monochromatic light";
    }
    return QString();
}

// What lives in the profile (the picture and power saving are the device's alone).
constexpr int kProfileEdits = DpiValue | StageSwitch | ReportRate | LightEffect | LightColour | LightBrightness
                              | KeyRemap | Combination | Macro | KeyColour | LightSpeed | LightDirection
                              | Monochrome;

// A profile without what every save renews (its time and the firmware version).
// The words of a decoded field that the other lacks, both ways: what a failure message shows.
QString difference(const QVariant& got, const QVariant& wanted)
{
    const QStringList a = got.toString().split(' ');
    const QStringList b = wanted.toString().split(' ');
    QStringList onlyGot, onlyWanted;
    for (const QString& word : a)
        if (!b.contains(word))
            onlyGot << word;
    for (const QString& word : b)
        if (!a.contains(word))
            onlyWanted << word;
    return "device has [" + onlyGot.join(' ') + "], the profile said [" + onlyWanted.join(' ') + "]";
}

QJsonObject readProfile(const QString& path)
{
    QJsonObject profile = readJsonObject(path);
    for (const char* renewed : {"updateAt", "createAt", "fwVersion"})
        profile.remove(QLatin1String(renewed));
    return profile;
}

} // namespace

Q_DECLARE_METATYPE(std::shared_ptr<Emulated>)

// Every setting a page offers, on every device family, through the program's own wiring (application manager,
// settings, device controller, profile controller, models and window on the simulated bus): the edit reaches
// the device (read back from the emulator's decoding), the current profile keeps it, and after a quit and a
// start on a device back at its factory state, the user's "Not Retained" puts the profile back on the device,
// after which the compare finds no difference.
class TestSettingsRoundTrip : public QObject
{
    Q_OBJECT

private:
    QQuickWindow* m_window = nullptr;
    std::unique_ptr<LogCapture> m_log;

    UIManager* ui() const { return KAppManager::instance()->getUIManager(); }
    KConfigFileController* profiles() const { return KAppManager::instance()->getConfigFileController(); }

    bool busy() const
    {
        return isShown(m_window, "HLoadDialog_new") || (profiles() && profiles()->hasPendingRoutines());
    }
    void waitIdle() { QTRY_VERIFY_WITH_TIMEOUT(!busy(), 30000); }

    bool start()
    {
        m_log = std::make_unique<LogCapture>();
        m_window = startMainWindow();
        if (!m_window)
            return false;
        return QTest::qWaitFor(
            [this] {
                return KDeviceController::instance()->online() && !KAppModel::instance()->getConfigPath().isEmpty()
                       && !busy();
            },
            30000);
    }

    QStringList quit()
    {
        m_window = nullptr;
        QStringList faults = stopProgram(*m_log);
        m_log.reset();
        return faults;
    }

    QString currentProfile() const { return profiles()->currentProfilePath(); }

    // The program's last log lines, for a failure message.
    QString logTail() const
    {
        if (!m_log)
            return QString();
        QStringList lines;
        // Without the transfer dumps.
        for (const QString& line : m_log->lines()) {
            if (!line.startsWith('[') || line.startsWith("[E") || line.startsWith("[I"))
                if (!line.contains("buffer") && !line.startsWith("-----"))
                    lines << line;
        }
        QStringList tail = lines.mid(qMax(0, lines.size() - 14));
        for (QString& line : tail)
            line = line.left(110);
        return "\n" + tail.join('\n');
    }

    static QString macroFile()
    {
        const QString path = ProgramFolders::macroRoot() + "/Round trip.json";
        QJsonArray list;
        list << QJsonObject{{"type", 0}, {"value1", 0x04}, {"value2", 0}, {"isUp", false}, {"text", "A"}}
             << QJsonObject{{"type", 2}, {"value1", 30}, {"value2", 0}, {"isUp", false}, {"text", "30"}}
             << QJsonObject{{"type", 0}, {"value1", 0x04}, {"value2", 0}, {"isUp", true}, {"text", "A"}};
        const QJsonObject macro{{"list", list}, {"playType", "1"}, {"ignoreTime", false}, {"times", 1},
                                {"macroName", "Round trip"}};
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(QJsonDocument(macro).toJson());
        return path;
    }

    // A checkerboard, as a user's picture.
    static bool writePicture(const QString& path)
    {
        QImage image(256, 128, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, (x / 16 + y / 16) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        return image.save(path, "PNG");
    }

    // The first allowed DPI value that no stage has.
    static int newDpiValue(const KDpiModel* dpi)
    {
        for (int i = dpi->optionalValue().size() - 1; i >= 0; --i) {
            if (!dpi->values().contains(dpi->optionalValue().at(i)))
                return dpi->optionalValue().at(i);
        }
        return dpi->maxValue();
    }

    // Does one edit as the page does it; false when the device does not offer it here.
    bool perform(Edit edit, int pid)
    {
        KDpiModel* dpi = ui()->getDpiModel();
        KLightModelItem* light = ui()->getLightModel()->logo();
        KKeyModel* keys = ui()->getKeyModel();
        const bool keyboard = pid == DeviceIds::kKeyboardWired || pid == DeviceIds::kRgbKeyboard;
        switch (edit) {
        case DpiValue:
            return dpi->setDpi(0, newDpiValue(dpi));
        case StageSwitch:
            // A device that keeps a current stage moves to the next; the others switch their last stage off.
            if (ui()->getImageModel()->hasCurrentDpi())
                return dpi->writeCurrentDpi(dpi->currentIndex() == 3 ? 1 : 3);
            return dpi->selectDpi(dpi->number());
        case ReportRate: {
            const int current = ui()->getReportModel()->currentReport();
            return ui()->getReportModel()->selectReport(current == 1 ? 2 : 1);
        }
        case LightEffect: {
            // Another effect, one with a brightness where the device has such (the brightness edit follows).
            int chosen = -1;
            for (int effect : light->index()) {
                if (effect == light->model() || effect == 0)
                    continue;
                const QVector<bool> withBrightness = light->brightnessState();
                const QVector<int> effects = light->index();
                if (chosen < 0
                    || (withBrightness.value(effects.indexOf(effect)) && !withBrightness.value(effects.indexOf(chosen))))
                    chosen = effect;
            }
            return chosen >= 0 && light->writeModel(chosen, 0);
        }
        case LightColour:
            return light->writeRGB(18, 200, 77, 0);
        case LightBrightness: {
            // The page shows the brightness for the effects that have one: a user picks such an effect first.
            const int position = light->index().indexOf(light->model());
            if (!light->brightnessState().value(position, true)) {
                for (int i = 0; i < light->index().size(); ++i) {
                    if (light->brightnessState().value(i) && light->writeModel(light->index().at(i), 0))
                        break;
                }
                if (!QTest::qWaitFor([this] { return !busy(); }, 30000))
                    return false;
            }
            const int next = light->brightness() == light->brightnessMax() ? light->brightnessMin()
                                                                            : light->brightnessMax();
            return light->writeBrightness(next, 0);
        }
        case KeyRemap:
            return keyboard ? keys->setFunction(23, KFuncBKey) : keys->setFunction(3, KFuncMouseBack);
        case Combination:
            // Ctrl+A, as the combination dialog hands it over (the set-1 scan code of A).
            return keys->setCompositeKey(keyboard ? 24 : 4, KFuncKeyCombination, 1, int(Qt::Key_A), 0x1E);
        case Macro:
            keys->setMacroFunc(keyboard ? 25 : 2, {macroFile()});
            return true;
        case OledPicture: {
            // The OLED page: a picture opened in its editor, then "save to the mouse".
            QObject* page = findOfType(m_window, "FPageOled");
            QObject* editor = page ? findOfType(page, "FPaintView") : nullptr;
            const QString picture = QDir::temp().filePath("round-trip-picture.png");
            return editor && writePicture(picture)
                   && QMetaObject::invokeMethod(editor, "openPicture", Q_ARG(QString, picture))
                   && QMetaObject::invokeMethod(page, "saveToMouse");
        }
        case PowerSaving:
            ui()->getBattreyModel()->setPowerSaving(!ui()->getBattreyModel()->power());
            return true;
        case KeyColour:
            return ui()->getKeyLightModel()->writeKeyColor(23, QStringLiteral("#12C84D"));
        case LightSpeed: {
            // As the brightness: the speed shows for the effects that have one.
            const int position = light->index().indexOf(light->model());
            if (!light->speedState().value(position, true)) {
                for (int i = 0; i < light->index().size(); ++i) {
                    if (light->speedState().value(i) && light->writeModel(light->index().at(i), 0))
                        break;
                }
                if (!QTest::qWaitFor([this] { return !busy(); }, 30000))
                    return false;
            }
            const int next = light->speed() == light->speedMax() ? light->speedMin() : light->speedMax();
            return light->writeSpeed(next, 0);
        }
        case LightDirection:
            return light->writeLightDirection(!light->lightDirection());
        case Monochrome:
            return light->writeLightMonochromatic(!light->lightMonochromatic());
        }
        return false;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        qRegisterMetaType<std::shared_ptr<Emulated>>();
        // The program checks that it is online when it starts; here against this machine, not a name on the
        // network.
        KNetCommon::setCheckHost(QStringLiteral("localhost"));
    }

    // No host lookup is still running when the test ends.
    void cleanupTestCase() { WAIT_COMPARE(KNetCommon::instance()->pendingLookups(), 0); }

    // A row that failed half-way leaves no program running for the next one.
    void cleanup()
    {
        if (m_log)
            quit();
    }

    // The first profile is applied to a new keyboard while the window shows: the busy indicator stays until that
    // apply ends (it used to close by its 2 s timer while the apply still ran), and a light effect clicked
    // meanwhile does not leave the keyboard and the profile apart.
    void busyIndicatorLastsTheFirstApply()
    {
        QCoreApplication::setApplicationName(KAppCommon::instance()->getAppName());
        QDir(ProgramFolders::profileRoot()).removeRecursively();
        SimBusFixture bus;
        useSimulatedModels({DeviceIds::kRgbKeyboard});
        SimQuenbyKeyboard keyboard(DeviceIds::kRgbKeyboard);
        QVERIFY(keyboard.plug(bus.bus()));
        // Every transfer takes a while for real: the apply of a whole profile takes seconds.
        const double scale = Platform::sleepScale();
        Platform::setSleepScale(1.0);
        bus.bus()->setLatency(keyboard.busDeviceId(), 40);
        m_log = std::make_unique<LogCapture>();
        m_window = startMainWindow();
        QVERIFY(m_window);

        QElapsedTimer applying;
        bool clicked = false;
        QStringList uncovered;
        const bool settled = QTest::qWaitFor(
            [&] {
                const bool pending = profiles() && profiles()->hasPendingRoutines();
                if (pending && !applying.isValid())
                    applying.start();
                if (pending && !isShown(m_window, "HLoadDialog_new"))
                    uncovered << QString::number(applying.elapsed()) + " ms";
                // The user goes to the lighting page and clicks the wave effect while the apply runs.
                QQuickItem* lighting = findItem(m_window, "pageKbLight");
                if (pending && (!lighting || !lighting->isVisible()))
                    QMetaObject::invokeMethod(m_window, "updatewindow", Q_ARG(QVariant, 5));
                if (pending && !clicked && applying.elapsed() > 2500) {
                    // The third entry of the effect list.
                    QQuickItem* wave = findItem(m_window, "effect2");
                    if (wave && wave->isVisible()) {
                        clickItem(m_window, wave);
                        clicked = true;
                    }
                }
                return applying.isValid() && !pending && !isShown(m_window, "HLoadDialog_new");
            },
            120000);
        Platform::setSleepScale(scale);
        QVERIFY2(settled, qPrintable(logTail()));
        QVERIFY2(applying.elapsed() > 2500, "the apply was too quick to show anything");
        QVERIFY2(clicked, "no wave effect to click while the apply ran");
        QVERIFY2(uncovered.isEmpty(), qPrintable("the indicator was closed while the apply ran, at " + uncovered.join(", ")));
        waitIdle();

        // The keyboard, the page and the current profile agree on the light.
        KLightModelItem* light = ui()->getLightModel()->logo();
        const QJsonObject profile = readProfile(currentProfile());
        const int mode = profile.value("lightModel").toObject().value("index").toInt(-1);
        QCOMPARE(int(keyboard.registerValue(SimQuenby::kRgbRegLightMode)), mode);
        QCOMPARE(light->model(), mode);
        const QJsonObject entry = profile.value("light").toArray().at(mode).toObject();
        QCOMPARE(int(keyboard.registerValue(SimQuenby::kRgbRegLightBrightness)), entry.value("brightness").toInt(-1));
        QCOMPARE(light->brightness(), entry.value("brightness").toInt(-1));
        // And the compare finds nothing to offer.
        QSignalSpy differs(profiles(), &KConfigFileController::sendSignalToUser);
        profiles()->contrastMouseData(currentProfile());
        waitIdle();
        QVERIFY2(differs.isEmpty(), qPrintable(logTail()));
        const QStringList faults = quit();
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    // A keyboard at its factory state meets the profile its first start made from the factory profile: the two
    // agree, so the program asks nothing (the RGB keyboard once left its factory in another effect and with its
    // keys lit, and every new keyboard was met with "which to keep").
    void factoryKeyboardMeetsItsFactoryProfile_data()
    {
        QTest::addColumn<int>("pid");
        QTest::newRow("keyboard") << int(DeviceIds::kKeyboardWired);
        QTest::newRow("RGB keyboard") << int(DeviceIds::kRgbKeyboard);
    }
    void factoryKeyboardMeetsItsFactoryProfile()
    {
        QFETCH(int, pid);
        QCoreApplication::setApplicationName(KAppCommon::instance()->getAppName());
        QDir(ProgramFolders::profileRoot()).removeRecursively();
        SimBusFixture bus;
        useSimulatedModels({quint16(pid)});
        EmulatedKeyboard device{quint16(pid)};
        QVERIFY(device.plugFresh(bus.bus()));
        QVERIFY2(start(), "the program did not open the keyboard");
        const QString profile = currentProfile();
        QVERIFY(QFileInfo::exists(profile));
        QStringList faults = quit();
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));

        device.unplug();
        QVERIFY(device.plugFresh(bus.bus()));
        QVERIFY2(start(), "the program did not open the keyboard again");
        QCOMPARE(currentProfile(), profile);
        QObject* choice = findOfType(m_window, "FSelectMouseConfig_new");
        QVERIFY(choice);
        QVERIFY2(!choice->property("visible").toBool(), qPrintable(logTail()));
        QSignalSpy differs(profiles(), &KConfigFileController::sendSignalToUser);
        profiles()->contrastMouseData(profile);
        waitIdle();
        QVERIFY2(differs.isEmpty(), qPrintable(logTail()));
        faults = quit();
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
        device.unplug();
    }

    void everyEditSurvivesARestart_data()
    {
        QTest::addColumn<int>("pid");
        QTest::addColumn<std::shared_ptr<Emulated>>("device");
        QTest::addColumn<int>("edits");

        const int keys = KeyRemap | Combination | Macro;
        const int mouse = DpiValue | StageSwitch | ReportRate | LightEffect | LightColour | LightBrightness | keys;
        QTest::newRow("keyboard") << int(DeviceIds::kKeyboardWired)
                                  << std::shared_ptr<Emulated>(new EmulatedKeyboard(DeviceIds::kKeyboardWired))
                                  << (LightEffect | LightBrightness | keys);
        QTest::newRow("RGB keyboard") << int(DeviceIds::kRgbKeyboard)
                                      << std::shared_ptr<Emulated>(new EmulatedKeyboard(DeviceIds::kRgbKeyboard))
                                      << (LightEffect | LightColour | LightBrightness | LightSpeed | LightDirection
                                          | Monochrome | keys | KeyColour);
        QTest::newRow("register mouse") << int(DeviceIds::kAbberly)
                                        << std::shared_ptr<Emulated>(new EmulatedRegisterMouse(DeviceIds::kAbberly))
                                        << (mouse | OledPicture | PowerSaving);
        QTest::newRow("feature-report mouse")
            << int(DeviceIds::kDunmor) << std::shared_ptr<Emulated>(new EmulatedFeatureReportMouse(DeviceIds::kDunmor))
            << mouse;
        QTest::newRow("two-collection mouse")
            << int(DeviceIds::kEdris) << std::shared_ptr<Emulated>(new EmulatedTwoCollectionMouse(DeviceIds::kEdris))
            << (mouse | OledPicture);
        QTest::newRow("two-page mouse") << int(DeviceIds::kUlverd)
                                        << std::shared_ptr<Emulated>(new EmulatedTwoPageMouse(DeviceIds::kUlverd))
                                        << mouse;
    }

    void everyEditSurvivesARestart()
    {
        QFETCH(int, pid);
        QFETCH(std::shared_ptr<Emulated>, device);
        QFETCH(int, edits);

        // Each model starts from nothing of its own: no profiles, no remembered profile. The folder is the
        // program's once the application has its name, which the program gives it only when it starts.
        QCoreApplication::setApplicationName(KAppCommon::instance()->getAppName());
        QDir(ProgramFolders::profileRoot()).removeRecursively();
        SimBusFixture bus;
        useSimulatedModels({quint16(pid)});
        QVERIFY(device->plugFresh(bus.bus()));
        QVERIFY2(start(), "the program did not open the device");
        const QString profile = currentProfile();
        QVERIFY(!profile.isEmpty());

        // Each edit reaches the device; the profile ones reach the current profile.
        QVariantMap expected;
        for (int bit = 0; bit < kEditCount; ++bit) {
            const Edit edit = Edit(1 << bit);
            if (!(edits & edit))
                continue;
            const QVariantMap before = device->decoded();
            const QByteArray profileBefore = QJsonDocument(readProfile(profile)).toJson();
            QVERIFY2(perform(edit, pid), qPrintable(nameOf(edit) + ": refused"));
            for (const QString& field : fieldsOf(edit)) {
                QTRY_VERIFY2_WITH_TIMEOUT(device->decoded().value(field) != before.value(field),
                                          qPrintable(nameOf(edit) + ": the device's " + field + " stayed "
                                                     + before.value(field).toString() + logTail()),
                                          20000);
            }
            waitIdle();
            if (edit & kProfileEdits)
                QVERIFY2(QJsonDocument(readProfile(profile)).toJson() != profileBefore,
                         qPrintable(nameOf(edit) + ": the profile did not change"));
            QVERIFY2(!m_log->contains("Failed to keep the current device configuration"),
                     qPrintable(nameOf(edit) + ": the profile save failed"));
            for (const QString& field : fieldsOf(edit))
                expected.insert(field, device->decoded().value(field));
        }
        // Fields several edits share take their last state.
        for (auto it = expected.begin(); it != expected.end(); ++it)
            it.value() = device->decoded().value(it.key());
        QStringList faults = quit();
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));

        // The same model at its factory state: the program finds it differs from the profile and offers it;
        // "Not Retained" puts the profile on it.
        device->unplug();
        QVERIFY(device->plugFresh(bus.bus()));
        QVERIFY2(start(), "the program did not open the device again");
        QCOMPARE(currentProfile(), profile);
        QObject* choice = findOfType(m_window, "FSelectMouseConfig_new");
        QVERIFY(choice);
        QTRY_VERIFY2_WITH_TIMEOUT(choice->property("visible").toBool(), qPrintable(logTail()), 20000);
        clickItem(m_window, findItem(choice->property("contentItem").value<QQuickItem*>(), "notRetained"));
        QTRY_VERIFY(!choice->property("visible").toBool());
        waitIdle();
        const QString errors = m_log->lines().filter("rror").join('\n');
        const QVariantMap applied = device->decoded();
        for (int bit = 0; bit < kEditCount; ++bit) {
            const Edit edit = Edit(1 << bit);
            if (!(edits & edit & kProfileEdits))
                continue;
            for (const QString& field : fieldsOf(edit))
                QVERIFY2(applied.value(field) == expected.value(field),
                         qPrintable(nameOf(edit) + ": " + field + ": "
                                    + difference(applied.value(field), expected.value(field)) + "\n" + errors));
        }

        // And the compare finds the device and the profile the same.
        QSignalSpy differs(profiles(), &KConfigFileController::sendSignalToUser);
        profiles()->contrastMouseData(profile);
        waitIdle();
        QVERIFY2(differs.isEmpty(), qPrintable(m_log->lines().mid(m_log->lines().size() - 20).join('\n')));
        faults = quit();
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
        device->unplug();
    }
};

QTEST_MAIN(TestSettingsRoundTrip)
#include "tst_settingsroundtrip.moc"
