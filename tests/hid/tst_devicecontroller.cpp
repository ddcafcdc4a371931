#include "CoreTestDevice.h"
#include "RecordingServices.h"
#include "SimBusFixture.h"

#include "common/DeviceIds.h"
#include "common/ProgramFolders.h"
#include "hid/DeviceFactory.h"
#include "hid/HDeviceManager.h"
#include "hid/HWork.h"
#include "hid/KBaseDevice.h"
#include "hid/KDeviceController.h"
#include "hid/KDeviceWatcher.h"
#include "platform/hid/HidBackend.h"
#include "models/device/FBattreyModel.h"
#include "models/device/FKeyLightModel.h"
#include "models/device/HEquipmentList.h"
#include "models/device/KDpiModel.h"
#include "models/device/KReportModel.h"
#include "models/device/FOledModel.h"
#include "models/device/KImageModel.h"
#include "models/device/KLightModel.h"
#include "models/device/KLightModelItem.h"
#include "models/keys/HMacroName.h"
#include "models/keys/HMacroType.h"
#include "models/keys/KKeyModel.h"
#include "profiles/HConfigView.h"
#include "profiles/KConfigFileController.h"
#include "sim/keyboard/SimQuenbyKeyboard.h"
#include "TestWait.h"

#include <QPointer>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QThreadPool>
#include <QtTest>

#include <cerrno>

#include <memory>

namespace {

using DeviceIds::kKeyboardWired;
using DeviceIds::kKeyboardWireless;
using DeviceIds::kRgbKeyboard;

// Lets every device task, profile routine and posted event of the program run to its end.
void settle()
{
    for (int round = 0; round < 5; ++round) {
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

QString hex(int pid)
{
    return QString::number(pid, 16);
}

// The program's parts that the controller drives, on the simulated bus: the wired and the wireless keyboard
// (plugged on demand), the models and the profile list it reloads, and a record of what it tells the pages.
// Product ids without an emulator are opened through the registry's factory as test devices.
class ControllerBench
{
public:
    ControllerBench()
        : wired(kKeyboardWired)
        , wireless(kKeyboardWireless)
    {
        settle();
        services.setConfigFileController(&files);
        services.setConfigView(&profiles);
        services.setMacroName(&macroNames);
        services.setMacroType(&macroType);
        services.setImageModel(&image);
        services.setLightModel(&lights);
        services.setKeyModel(&keys);
        services.setOledModel(&oled);
        services.setBattreyModel(&battery);
        services.setDpiModel(&dpi);
        services.setReportModel(&report);
        services.setKeyLightModel(&keyLights);
        services.setEquipmentList(&equipment);
        lights.setLogo(new KLightModelItem(&lights));
        lights.setWheel(new KLightModelItem(&lights));
        services.configPath = KDeviceController::defaultProfileName();

        HDeviceManager::instance()->setFactory([this](int pid) -> KBaseDevice* {
            if (DeviceFactory::serves(pid))
                return DeviceFactory::create(pid);
            if (!testDevicePids.contains(pid))
                return nullptr;
            auto* device = new CoreTestDevice(pid);
            device->setFwVersion(fwVersion);
            device->setLayout(QJsonObject{{"deviceName", "TESTDEVICE"}, {"deviceType", 2}});
            return device;
        });

        // The stand-in device keeps a profile of its own: the factory profile of the id it stands in for is
        // not one a test device can take.
        const QString standIn = ProgramFolders::profileRoot() + "/TESTDEVICE";
        QDir().mkpath(standIn);
        QFile profile(standIn + "/" + KDeviceController::defaultProfileName());
        if (profile.open(QIODevice::WriteOnly))
            profile.write("{\"configVersion\": 2}");
        profile.close();

        controller = KDeviceController::instance();
        QVERIFY(controller->init(&services));
        QObject::connect(controller, &KDeviceController::sig_ShowNeedCable, &context, [this] { log << "cable"; });
        QObject::connect(controller, &KDeviceController::sig_showSelectEquipment, &context,
                         [this](bool on) { log << QStringLiteral("select%1").arg(on); });
        QObject::connect(controller, &KDeviceController::sig_showMChangeEquipment, &context,
                         [this](bool on) { log << QStringLiteral("change%1").arg(on); });
        QObject::connect(controller, &KDeviceController::sig_showCloseEquipmentBtn, &context,
                         [this](bool on) { log << QStringLiteral("close%1").arg(on); });
        QObject::connect(controller, &KDeviceController::onlineChanged, &context,
                         [this] { log << QStringLiteral("online%1").arg(controller->online()); });
        QObject::connect(controller, &KDeviceController::sig_updateConfigPath, &context, [this] { log << "update"; });
        QObject::connect(controller, &KDeviceController::sig_deviceCreated, &context,
                         [this](KBaseDevice* device) { created << device; });
    }

    ~ControllerBench()
    {
        controller->shutdown();
        settle();
        HDeviceManager::instance()->slot_destoryDevice();
        settle();
        HDeviceManager::instance()->setFactory({});
    }

    SimQuenbyKeyboard* keyboard(const QString& alias)
    {
        if (alias == QLatin1String("kb"))
            return &wired;
        if (alias == QLatin1String("kbw"))
            return &wireless;
        return nullptr;
    }

    // One step of a scenario; the program's events run to their end after it.
    void step(const QString& command)
    {
        const QString verb = command.section(QLatin1Char(' '), 0, 0);
        const QString arg = command.section(QLatin1Char(' '), 1);
        if (verb == QLatin1String("plug")) {
            keyboard(arg)->plug(bus.bus());
        } else if (verb == QLatin1String("unplug")) {
            keyboard(arg)->unplug();
        } else if (verb == QLatin1String("failopen")) {
            // The keyboard's vendor interface cannot be opened at all.
            bus->failNext(keyboard(arg)->busDeviceId(), SimBus::Fault::OpenWrite, 1000, 0);
        } else if (verb == QLatin1String("start")) {
            controller->updateDeviceStatus();
            controller->startWatch();
        } else if (verb == QLatin1String("event+") || verb == QLatin1String("event-")) {
            // What the watch would announce for devices the bus does not hold.
            QMap<int, QString> equipment;
            for (const QString& pid : arg.split(QLatin1Char(','))) {
                const int id = pid.toInt(nullptr, 16);
                equipment.insert(id, QStringLiteral("\\\\?\\hid#vid_3a7e&pid_%1#test").arg(pid));
            }
            emit controller->deviceWatcher()->equipmentChanged(equipment, verb == QLatin1String("event+"));
        } else if (verb == QLatin1String("choose")) {
            emit controller->sig_selectEquipment(arg.toInt(nullptr, 16), true);
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown step ") + command));
        }
        settle();
    }

    SimBusFixture bus;
    SimQuenbyKeyboard wired;
    SimQuenbyKeyboard wireless;
    RecordingServices services;
    KConfigFileController files;
    HConfigView profiles;
    HMacroName macroNames;
    HMacroType macroType;
    KImageModel image;
    KLightModel lights;
    KKeyModel keys;
    FOledModel oled;
    FBattreyModel battery;
    KDpiModel dpi;
    KReportModel report;
    FKeyLightModel keyLights;
    HEquipmentList equipment;
    KDeviceController* controller = nullptr;
    QObject context;
    QStringList log;
    QList<QPointer<KBaseDevice>> created;
    // The ids the factory serves with a test device besides the product classes.
    QSet<int> testDevicePids{kRgbKeyboard};
    int fwVersion = 0x100;
};

} // namespace

// The connect sequence: equipment events to an open device, a choice or a refusal, on the simulated bus.
class TestDeviceController : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(ProgramFolders::configLocation().contains(QLatin1String(".qttest")));
    }

    void init() { QDir(ProgramFolders::configLocation()).removeRecursively(); }

    void scenarios_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<bool>("online");
        QTest::addColumn<int>("pid");
        QTest::addColumn<QString>("listed");
        QTest::addColumn<QList<int>>("warnings");

        QTest::newRow("one keyboard at start opens directly")
            << QStringList{"plug kb", "start"} << QStringList{"close1", "online1", "change0"} << true
            << int(kKeyboardWired) << hex(kKeyboardWired) << QList<int>{};
        QTest::newRow("a keyboard plugged later opens")
            << QStringList{"start", "plug kb"} << QStringList{"close1", "online1", "change0"} << true
            << int(kKeyboardWired) << hex(kKeyboardWired) << QList<int>{};
        QTest::newRow("two devices offer the chooser")
            << QStringList{"plug kb", QStringLiteral("event+ %1,%2").arg(hex(kKeyboardWired), hex(kRgbKeyboard))}
            << QStringList{"select1", "change1", "close1"} << false << 0
            << QStringLiteral("%1,%2").arg(hex(kKeyboardWired), hex(kRgbKeyboard)) << QList<int>{};
        QTest::newRow("the chosen device opens")
            << QStringList{"plug kb", QStringLiteral("event+ %1,%2").arg(hex(kKeyboardWired), hex(kRgbKeyboard)),
                           QStringLiteral("choose %1").arg(hex(kKeyboardWired))}
            << QStringList{"select1", "change1", "close1", "close1", "online1"} << true << int(kKeyboardWired)
            << QStringLiteral("%1,%2").arg(hex(kKeyboardWired), hex(kRgbKeyboard)) << QList<int>{};
        QTest::newRow("the wireless id alone asks for the cable")
            << QStringList{"plug kbw", "start"} << QStringList{"cable", "change0"} << false << 0
            << hex(kKeyboardWireless) << QList<int>{};
        QTest::newRow("plugging the cable opens the keyboard")
            << QStringList{"plug kbw", "start", "plug kb"} << QStringList{"cable", "change0", "close1", "online1"}
            << true << int(kKeyboardWired) << hex(kKeyboardWired) << QList<int>{};
        QTest::newRow("the wireless id is not listed beside its cable")
            << QStringList{"plug kb", "plug kbw", "start"} << QStringList{"close1", "online1", "change0"} << true
            << int(kKeyboardWired) << hex(kKeyboardWired) << QList<int>{};
        QTest::newRow("the open keyboard pulled, its wireless link stays")
            << QStringList{"plug kb", "plug kbw", "start", "unplug kb"}
            << QStringList{"close1", "online1", "change0", "online0", "cable", "change0"} << false << 0
            << hex(kKeyboardWireless) << QList<int>{};
        QTest::newRow("the open device pulled, the other one opens")
            << QStringList{"plug kb", QStringLiteral("event+ %1,%2").arg(hex(kKeyboardWired), hex(kRgbKeyboard)),
                           QStringLiteral("choose %1").arg(hex(kKeyboardWired)),
                           QStringLiteral("event- %1").arg(hex(kKeyboardWired)),
                           QStringLiteral("event+ %1").arg(hex(kRgbKeyboard))}
            << QStringList{"select1", "change1", "close1", "close1", "online1", "online0", "close1", "update",
                           "online1", "change0"}
            << true << int(kRgbKeyboard) << hex(kRgbKeyboard) << QList<int>{};
        QTest::newRow("a device that never opens")
            << QStringList{"plug kb", "failopen kb", "start"} << QStringList{"close1", "change0"} << false
            << int(kKeyboardWired) << hex(kKeyboardWired) << QList<int>{0};
        QTest::newRow("a product without a device class")
            << QStringList{QStringLiteral("event+ %1").arg(hex(DeviceIds::kAbberly))}
            << QStringList{"close1", "change0"} << false << int(DeviceIds::kAbberly) << hex(DeviceIds::kAbberly)
            << QList<int>{0};
        QTest::newRow("the keyboard unplugged and plugged again")
            << QStringList{"plug kb", "start", "unplug kb", "plug kb"}
            << QStringList{"close1", "online1", "change0", "online0", "close1", "update", "online1", "change0"}
            << true << int(kKeyboardWired) << hex(kKeyboardWired) << QList<int>{};
    }

    void scenarios()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, log);
        QFETCH(bool, online);
        QFETCH(int, pid);
        QFETCH(QString, listed);
        QFETCH(QList<int>, warnings);

        ControllerBench bench;
        for (const QString& step : steps)
            bench.step(step);

        QCOMPARE(bench.log.join(QLatin1Char(' ')), log.join(QLatin1Char(' ')));
        QCOMPARE(bench.controller->online(), online);
        QCOMPARE(bench.controller->getPid(), pid);
        QStringList listedPids;
        for (int id : bench.controller->listedEquipment().keys())
            listedPids << hex(id);
        QCOMPARE(listedPids.join(QLatin1Char(',')), listed);
        // The device list shows the listed devices.
        QCOMPARE(bench.equipment.getItemSize(), listedPids.size());
        QCOMPARE(bench.services.warnings, warnings);
        const bool failed = warnings.contains(0);
        QCOMPARE(bench.services.events.contains(QStringLiteral("device_initialization/init_device/fail")), failed);
        // The device the controller reports is the one it opened, and it is present only while online.
        KBaseDevice* device = bench.controller->currentDevice();
        if (!failed && !online)
            QVERIFY(!device || device->isRemoved());
        if (warnings.contains(0) && !HDeviceManager::instance()->getDevice(pid))
            QVERIFY(!device);
        if (online) {
            QVERIFY(device);
            QVERIFY(!device->isRemoved());
            QCOMPARE(HDeviceManager::instance()->currentPid(), pid);
        }
        // Nothing leaves the busy indicator up.
        QCOMPARE(bench.services.open(), 0);
    }

    // The models reload from the device only once it is open, and the device's own reports reach them.
    // Whatever the device, a failed open tells which device stays closed and why: the system's reason for an
    // interface that refused to open (for a permission denial, the rule the install script puts in place and a
    // replug), or that the device did not answer.
    void openFailureTellsWhy_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<QStringList>("says");
        QTest::newRow("permission denied")
            << int(EACCES) << false
            << QStringList{"ZEPHRA could not be opened: " + KHID::systemErrorText(EACCES), "70-corvane.rules",
                           "plug it in again"};
        QTest::newRow("input/output error")
            << int(EIO) << false
            << QStringList{"ZEPHRA could not be opened: " + KHID::systemErrorText(EIO), "plug it in again"};
        QTest::newRow("no answer") << 0 << true << QStringList{"ZEPHRA could not be opened: it did not answer"};
    }

    void openFailureTellsWhy()
    {
        QFETCH(int, error);
        QFETCH(bool, silent);
        QFETCH(QStringList, says);
        ControllerBench bench;
        bench.step("plug kb");
        if (silent) {
            bench.bus->setNeverAnswer(bench.wired.busDeviceId(), true);
        } else {
            bench.bus->setOpenError(bench.wired.busDeviceId(), error);
            bench.step("failopen kb");
        }
        bench.step("start");
        QCOMPARE(bench.controller->online(), false);
        QCOMPARE(bench.services.openFailures.size(), 1);
        const QString message = bench.services.openFailures.first();
        for (const QString& text : says)
            QVERIFY2(message.contains(text), qPrintable(message));
        QCOMPARE(message.contains("70-corvane.rules"), error == EACCES);
    }

    void modelsReloadAfterTheOpen()
    {
        ControllerBench bench;
        QStringList order;
        QObject::connect(bench.controller, &KDeviceController::imageModelChanged, &bench.context,
                         [&] { order << QStringLiteral("image online=%1").arg(bench.controller->online()); });
        QObject::connect(bench.controller, &KDeviceController::keyChanged, &bench.context,
                         [&] { order << QStringLiteral("keys online=%1").arg(bench.controller->online()); });
        QSignalSpy keyLights(&bench.keyLights, &FKeyLightModel::keyLightListChanged);
        bench.step("plug kb");
        bench.step("start");
        QCOMPARE(order, (QStringList{"image online=1", "keys online=1"}));
        QCOMPARE(bench.image.deviceName(), QStringLiteral("ZEPHRA"));
        QCOMPARE(bench.controller->mouse(), QStringLiteral("ZEPHRA"));
        QVERIFY(!bench.keys.getKeyList().isEmpty());
        // The per-key light model rebuilt its items for the keyboard's keys.
        QVERIFY(!keyLights.isEmpty());

        // The keyboard switches its light by itself: the logo light item shows it.
        QSignalSpy changes(bench.lights.logo(), &KLightModelItem::modelChanged);
        WAIT_VERIFY(
            [&] {
                if (changes.isEmpty())
                    bench.wired.changeLightsOnKeyboard(3, 2, 1, 1);
                QCoreApplication::processEvents();
                return !changes.isEmpty();
            }());
    }

    void profileStep_data()
    {
        QTest::addColumn<QString>("remembered");
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("current");

        const QString fallback = KDeviceController::defaultProfileName();
        QTest::newRow("first start: the default is made") << fallback << QStringList{} << fallback;
        QTest::newRow("the remembered profile is missing") << "Gone.json" << QStringList{} << fallback;
        QTest::newRow("the remembered profile is used") << "Mine.json" << QStringList{"Mine.json"} << "Mine.json";
        QTest::newRow("no profile remembered") << QString() << QStringList{"Mine.json"} << fallback;
    }

    void profileStep()
    {
        QFETCH(QString, remembered);
        QFETCH(QStringList, existing);
        QFETCH(QString, current);

        const QString folder = ProgramFolders::profileRoot() + QStringLiteral("/ZEPHRA");
        QVERIFY(QDir().mkpath(folder));
        for (const QString& name : existing) {
            QVERIFY(QFile::copy(QStringLiteral(":/common/newUI/Quenby_8a/Quenby_8ADefaultConfig.json"),
                                folder + QLatin1Char('/') + name));
            // A profile is listed with its picture.
            QFile picture(folder + QLatin1Char('/') + QFileInfo(name).completeBaseName() + QStringLiteral(".png"));
            QVERIFY(picture.open(QIODevice::WriteOnly));
            picture.write("picture");
        }
        ControllerBench bench;
        bench.services.configPath = remembered;
        bench.step("plug kb");
        bench.step("start");
        QVERIFY(bench.controller->online());
        QCOMPARE(bench.services.configPath, current);
        // The profile is in the device's folder, whole, and it is listed.
        const QString path = folder + QLatin1Char('/') + current;
        QVERIFY(QFileInfo::exists(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QJsonDocument::fromJson(file.readAll()).object().value("deviceName").toString(),
                 QStringLiteral("ZEPHRA"));
        QVERIFY(!QFileInfo::exists(current));
        QStringList listedNames;
        for (const HConfigViewItem& item : bench.profiles.items())
            listedNames << item.text;
        QVERIFY2(listedNames.contains(QFileInfo(current).completeBaseName()), qPrintable(listedNames.join(',')));
        QCOMPARE(bench.services.open(), 0);
    }

    // A device name that cannot be a folder skips the profile step; the device still opens.
    void profileStepWithoutFolder()
    {
        // A file where the profile root's folder should be: no folder can be made below it.
        QVERIFY(QDir().mkpath(ProgramFolders::configLocation()));
        QFile blocker(ProgramFolders::profileRoot());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        ControllerBench bench;
        bench.services.configPath = QStringLiteral("Gone.json");
        bench.step("plug kb");
        bench.step("start");
        QVERIFY(bench.controller->online());
        QCOMPARE(bench.services.configPath, QStringLiteral("Gone.json"));
        QVERIFY(!QFileInfo::exists(KDeviceController::defaultProfileName()));
        QCOMPARE(bench.services.open(), 0);
    }

    void firmwareGate_data()
    {
        QTest::addColumn<int>("pid");
        QTest::addColumn<int>("version");
        QTest::addColumn<bool>("update");

        QTest::newRow("below the minimum") << int(kKeyboardWired) << 0x73 << true;
        QTest::newRow("at the minimum") << int(kKeyboardWired) << 0x74 << false;
        QTest::newRow("version unreadable") << int(kKeyboardWired) << -1 << false;
        QTest::newRow("a model without a minimum") << int(kRgbKeyboard) << 1 << false;
        QTest::newRow("a mouse below its minimum") << int(DeviceIds::kTolland) << 0x204 << true;
        QTest::newRow("a mouse at its minimum") << int(DeviceIds::kAbberlyWireless) << 0x03 << false;
        QTest::newRow("a mouse above its minimum") << int(DeviceIds::kJarrowNordic) << 0x101 << false;
    }

    void firmwareGate()
    {
        QFETCH(int, pid);
        QFETCH(int, version);
        QFETCH(bool, update);

        ControllerBench bench;
        // The keyboard's class is replaced by the test device, whose version the test sets.
        HDeviceManager::instance()->setFactory([&](int id) -> KBaseDevice* {
            auto* device = new CoreTestDevice(id);
            device->setFwVersion(version);
            device->setLayout(QJsonObject{{"deviceName", "TESTDEVICE"}});
            return device;
        });
        QSignalSpy updates(bench.controller, &KDeviceController::needUpdateFirmware);
        QSignalSpy notices(bench.controller, &KDeviceController::sig_showSystemNotice);
        bench.step(QStringLiteral("event+ %1").arg(hex(pid)));
        QVERIFY(bench.controller->online());
        QCOMPARE(updates.size(), update ? 1 : 0);
        QCOMPARE(notices.size(), 0);
    }

    void systemAndReload()
    {
        QVERIFY(KDeviceController::getOsName().startsWith(QLatin1String("Linux; ")));
        ControllerBench bench;
        QVERIFY(!bench.controller->init(nullptr));
        // Without a device: the system is fine and a reload neither fails nor leaves the indicator up.
        QVERIFY(bench.controller->checkSystemInfo());
        QVERIFY(bench.controller->slot_reloadMouse());
        settle();
        QCOMPARE(bench.services.open(), 0);
        QVERIFY(bench.services.warnings.isEmpty());

        bench.step("plug kb");
        bench.step("start");
        QVERIFY(bench.controller->checkSystemInfo());
        QSignalSpy compared(bench.controller, &KDeviceController::deviceChanedFinished);
        QVERIFY(bench.controller->slot_reloadMouse());
        settle();
        QCOMPARE(compared.size(), 1);
        QCOMPARE(bench.services.open(), 0);
        QVERIFY(bench.services.warnings.isEmpty());

        // A reload whose device went meanwhile is a failure shown as warning 0.
        bench.wired.unplug();
        QVERIFY(bench.controller->slot_reloadMouse());
        settle();
        QCOMPARE(bench.services.open(), 0);
        QVERIFY(!bench.controller->online());
    }

    // An equipment event that arrives while a device opens waits for the open to end.
    void eventsDuringTheOpenWait()
    {
        ControllerBench bench;
        bench.step("plug kb");
        QObject::connect(bench.controller, &KDeviceController::sig_deviceCreated, &bench.context,
                         [&](KBaseDevice*) {
                             // Posted now, delivered by the open's own wait for the keyboard.
                             QMetaObject::invokeMethod(
                                 bench.controller->deviceWatcher(),
                                 [&] {
                                     emit bench.controller->deviceWatcher()->equipmentChanged(
                                         {{kKeyboardWired, bench.bus->path(bench.wired.busDeviceId())}}, false);
                                 },
                                 Qt::QueuedConnection);
                         });
        bench.step("start");
        // The open ended first (online), then the removal closed it.
        QCOMPARE(bench.log, (QStringList{"close1", "online1", "online0", "change0"}));
        QCOMPARE(bench.created.size(), 1);
        KBaseDevice* device = bench.controller->currentDevice();
        QVERIFY(!device || device->isRemoved());
        settle();
        HDeviceManager::instance()->slot_destoryDevice();
        settle();
        QVERIFY(!bench.created.first());
    }

    // Plugging and unplugging the keyboard over and over with key, light and profile work queued: no crash,
    // no hang, and no device object left at the end.
    void plugStorm()
    {
        const int cycles = qEnvironmentVariableIntValue("CORVANE_STORM_CYCLES") > 0
                               ? qEnvironmentVariableIntValue("CORVANE_STORM_CYCLES")
                               : 1000;
        QList<QPointer<KBaseDevice>> devices;
        {
            ControllerBench bench;
            bench.step("start");
            for (int cycle = 0; cycle < cycles; ++cycle) {
                bench.wired.plug(bench.bus.bus());
                // The arrival opens the keyboard, which queues the models' reads and the profile routines.
                QCoreApplication::processEvents();
                if (bench.controller->currentDevice()) {
                    bench.keys.deviceDataChange();
                    bench.lights.deviceDataChange();
                    bench.files.contrastMouseData(bench.files.currentProfilePath());
                }
                if (cycle % 3 == 0)
                    QCoreApplication::processEvents();
                bench.wired.unplug();
                QCoreApplication::processEvents();
                if (cycle % 100 == 0)
                    settle();
            }
            settle();
            QVERIFY(!bench.controller->online());
            devices = bench.created;
        }
        settle();
        HDeviceManager::instance()->slot_destoryDevice();
        settle();
        // Every plug opened the keyboard.
        QCOMPARE(devices.size(), cycles);
        for (const QPointer<KBaseDevice>& device : devices)
            QVERIFY(!device);
        QVERIFY(!HDeviceManager::instance()->getDevice(kKeyboardWired));
        QVERIFY(!HDeviceManager::instance()->hasRemovedDevice());
        QCOMPARE(HWork::pendingCount(), 0);
    }
};

QTEST_MAIN(TestDeviceController)
#include "tst_devicecontroller.moc"
