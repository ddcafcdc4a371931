// Profiles of the register mice through the profile controller's field-by-field apply, against the simulated
// mouse: each factory profile puts the mouse into its factory state and reads back unchanged, press macros go to
// their numbered pages by model group, and a failure at any exchange stops the apply with nothing written after it.

#include "JsonFiles.h"
#include "LogCapture.h"
#include "RecordingServices.h"
#include "RegisterMouseFixture.h"

#include "common/DeviceIds.h"
#include "common/ProgramFolders.h"
#include "devices/mouse/register/FarrantNordicKeyCodec.h"
#include "devices/mouse/register/FarrantNordicModels.h"
#include "devices/mouse/register/FarrantNordicProtocol.h"
#include "devices/mouse/register/KDeviceFarrant_Nordic.h"
#include "hid/HWork.h"
#include "models/device/KDpiModel.h"
#include "models/device/KImageModel.h"
#include "models/keys/KKey.h"
#include "models/keys/KeyAssignmentRules.h"
#include "platform/sys/PlatformTime.h"
#include "profiles/KConfigFileController.h"
#include "TestWait.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

using namespace FarrantNordic;

namespace {

// What the field-by-field apply writes, and what it leaves alone: the key table and the settings block.
const quint32 kCheckedRanges[][2] = {{kRegKeyTable, kKeyTableSize}, {kRegReportRate, 0x8C4 - kRegReportRate}};

bool writeObject(const QString& path, const QJsonObject& object)
{
    return writeFileBytes(path, QJsonDocument(object).toJson());
}

QJsonObject without(QJsonObject object, const QStringList& members)
{
    for (const QString& member : members)
        object.remove(member);
    return object;
}

// Settings the apply writes, all away from the factory state.
void scramble(SimRegisterMouse* mouse)
{
    QByteArray keys;
    for (int i = 0; i < kKeyTableEntries; ++i)
        keys += QByteArray::fromHex("07000000");
    mouse->setMemory(kRegKeyTable, keys);
    mouse->setRegister(kRegReportRate, 8);
    mouse->setMemory(kRegDpiStages, QByteArray::fromHex("0200020002000200020002000200" "0200"));
    mouse->setMemory(kRegDpiIndex, QByteArray::fromHex("00010400"));
    mouse->setRegister(kRegOled + 2, 2);
    mouse->setMemory(kRegZoneColour, QByteArray::fromHex("0a141eff"));
}

QJsonObject macroValue(int usage)
{
    QJsonArray list;
    list.append(QJsonObject{{"type", 0}, {"value1", usage}, {"value2", 0}, {"isUp", false}, {"text", "K"}});
    list.append(QJsonObject{{"type", 2}, {"value1", 20}, {"value2", 0}, {"isUp", false}, {"text", ""}});
    list.append(QJsonObject{{"type", 0}, {"value1", usage}, {"value2", 0}, {"isUp", true}, {"text", "K"}});
    return QJsonObject{{"list", list}, {"ignoreTime", false}, {"playType", "1"}, {"times", 1}};
}

} // namespace

class TestFarrantNordicProfiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void factoryProfiles_data();
    void factoryProfiles();
    void pressMacros_data();
    void pressMacros();
    void failureStopsTheApply();
    void combinationKeysRoundTrip_data();
    void combinationKeysRoundTrip();

private:
    // Runs one controller routine to its end; the tips it gave.
    QStringList run(const std::function<void()>& routine);
    KDeviceFarrant_Nordic* open(RegisterMouseFixture& fixture);

    std::unique_ptr<RecordingServices> m_services;
    std::unique_ptr<KConfigFileController> m_controller;
    std::unique_ptr<KDpiModel> m_dpi;
    std::unique_ptr<KImageModel> m_image;
    QString m_path;
};

void TestFarrantNordicProfiles::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestFarrantNordicProfiles::init()
{
    QDir(ProgramFolders::configLocation()).removeRecursively();
    QVERIFY(QDir().mkpath(ProgramFolders::configLocation()));
    m_path = ProgramFolders::configLocation() + "/mouse.json";
    m_services = std::make_unique<RecordingServices>();
    m_controller = std::make_unique<KConfigFileController>();
    m_dpi = std::make_unique<KDpiModel>();
    m_image = std::make_unique<KImageModel>();
    m_services->setDpiModel(m_dpi.get());
    m_services->setImageModel(m_image.get());
}

void TestFarrantNordicProfiles::cleanup()
{
    m_controller.reset();
    m_services.reset();
    m_image.reset();
    m_dpi.reset();
    Platform::setSleepScale(0.0);
}

QStringList TestFarrantNordicProfiles::run(const std::function<void()>& routine)
{
    m_services->clear();
    routine();
    const bool ended = QTest::qWaitFor([this] { return !m_services->tips.isEmpty() && m_services->open() <= 0; }, TestWait::kBoundMs);
    return ended ? m_services->tips : QStringList{"not settled"};
}

KDeviceFarrant_Nordic* TestFarrantNordicProfiles::open(RegisterMouseFixture& fixture)
{
    // The battery-polling models' readers ask every 10 s; at no time at all they would flood the GUI thread
    // (the bus fixture sets the scale to nothing, so it is set after it).
    Platform::setSleepScale(0.001);
    auto* mouse = qobject_cast<KDeviceFarrant_Nordic*>(fixture.openDevice());
    if (!mouse)
        return nullptr;
    // The user interface as the device's layout sets it up: every level switched on, press macros on the left key.
    const QJsonObject layout = *mouse->getLayout();
    const int stages = layout.value("dpi").toObject().value("number").toInt();
    m_dpi->setNumber(stages);
    m_dpi->setEnable(QVector<bool>(stages, true));
    m_image->setLeftKeyMacro(layout.value("leftKeyMacro").toInt());
    mouse->session().refreshUiState();
    return mouse;
}

void TestFarrantNordicProfiles::factoryProfiles_data()
{
    QTest::addColumn<quint16>("pid");
    for (const ModelRow& row : kModels) {
        if (!DeviceIds::factoryProfilePath(row.pid).isEmpty())
            QTest::newRow(row.className) << row.pid;
    }
}

void TestFarrantNordicProfiles::factoryProfiles()
{
    QFETCH(quint16, pid);
    const QString factory = DeviceIds::factoryProfilePath(pid);
    QVERIFY(QFile::exists(factory));
    const QJsonObject document = readJsonObject(factory);
    QCOMPARE(document.value("pid").toInt(), int(pid));

    RegisterMouseFixture fixture(pid, modelRow(pid)->address);
    KDeviceFarrant_Nordic* mouse = open(fixture);
    QVERIFY(mouse);
    QCOMPARE(document.value("deviceName").toString(), mouse->getLayout()->value("deviceName").toString());
    SimRegisterMouse reference(pid, modelRow(pid)->address);
    scramble(fixture.mouse());

    QVERIFY(writeObject(m_path, document));
    QCOMPARE(run([&] { m_controller->readConfigData(m_path); }),
             QStringList{"0:Successfully read the current configuration page"});
    for (const auto& range : kCheckedRanges)
        QCOMPARE(fixture.mouse()->memory(range[0], int(range[1])).toHex(' '),
                 reference.memory(range[0], int(range[1])).toHex(' '));

    // Saved from the device it is the factory profile again, and comparing finds nothing.
    QCOMPARE(run([&] { m_controller->saveMouseData(m_path, false); }),
             QStringList{"0:Successfully reserved the current device configuration"});
    QCOMPARE(without(readJsonObject(m_path), {"updateAt", "fwVersion"}), without(document, {"updateAt", "fwVersion"}));
    QSignalSpy differs(m_controller.get(), &KConfigFileController::sendSignalToUser);
    LogCapture log;
    const int stops = m_services->loadingStops;
    m_controller->contrastMouseData(m_path);
    WAIT_VERIFY(m_services->loadingStops > stops);
    QCOMPARE(differs.count(), 0);
    QVERIFY(!log.contains("ontrastMouseConfig "));
}

// Up to three macros on the left button: the packed-value models number them from 1001 and raise the count after
// each, the others from 1000 with the count once at the end.
void TestFarrantNordicProfiles::pressMacros_data()
{
    QTest::addColumn<quint16>("pid");
    QTest::addColumn<QList<int>>("pages");
    QTest::addColumn<QList<int>>("counts");

    QTest::newRow("packed: yarrin") << DeviceIds::kYarrin << QList<int>{1001, 1002} << QList<int>{1, 2};
    QTest::newRow("packed: maldon") << DeviceIds::kKelhamNordic << QList<int>{1001, 1002} << QList<int>{0, 1, 2};
    QTest::newRow("plain: hebden") << DeviceIds::kHebden << QList<int>{1000, 1001} << QList<int>{0, 2};
}

void TestFarrantNordicProfiles::pressMacros()
{
    QFETCH(quint16, pid);
    QFETCH(QList<int>, pages);
    QFETCH(QList<int>, counts);

    RegisterMouseFixture fixture(pid, modelRow(pid)->address);
    KDeviceFarrant_Nordic* mouse = open(fixture);
    QVERIFY(mouse);
    const QJsonObject multi{{"macroValue1", macroValue(0x04)}, {"macroValue2", macroValue(0x05)}, {"macroName", "a/b"}};
    const QJsonObject profile{{"configVersion", 2},
                              {"pid", pid},
                              {"key", QJsonArray{QJsonObject{{"key", 0}, {"funcIndex", 9}, {"value1", multi}}}}};
    QVERIFY(writeObject(m_path, profile));
    QCOMPARE(run([&] { m_controller->readConfigData(m_path); }),
             QStringList{"0:Successfully read the current configuration page"});

    QCOMPARE(fixture.mouse()->buttonFunction(0), SimMouseButton::buttons(SimMouseButton::Left));
    for (int n = 0; n < pages.size(); ++n) {
        const SimMacroRecord record = fixture.mouse()->macroPage(pages[n]);
        QVERIFY2(record.valid, qPrintable(record.toString()));
        QCOMPARE(record.events, (QList<SimMacroEvent>{SimMacroEvent::key(0x04 + n, true, 20),
                                                      SimMacroEvent::key(0x04 + n, false)}));
    }
    QVERIFY(!fixture.mouse()->macroPage(pages.first() == 1000 ? 1002 : 1000).valid);
    // The defined press macro count, write by write (the left key's own write first clears it on its lines).
    QList<int> written;
    for (const auto& write : fixture.appliedWrites()) {
        if (write.first == kRegOled)
            written << quint8(write.second[2]);
    }
    QCOMPARE(written, counts);
    QCOMPARE(fixture.mouse()->definedPressMacro(), 2);
}

// A failure at any exchange of the apply: false, and nothing after it written. (Reads whose failure a step
// tolerates, as the current DPI level before a new list, let the apply go on: then everything is written.)
void TestFarrantNordicProfiles::failureStopsTheApply()
{
    const quint16 pid = DeviceIds::kKelhamNordic;
    const QJsonObject document = readJsonObject(DeviceIds::factoryProfilePath(pid));
    QVERIFY(writeObject(m_path, document));

    // The exchanges of a whole apply, and where each write stands among them.
    QList<SimRegisterMouse::Command> good;
    {
        RegisterMouseFixture fixture(pid, modelRow(pid)->address);
        QVERIFY(open(fixture));
        scramble(fixture.mouse());
        QCOMPARE(run([&] { m_controller->readConfigData(m_path); }),
                 QStringList{"0:Successfully read the current configuration page"});
        good = fixture.mouse()->commands();
    }
    QVERIFY(good.size() > 20);

    QList<quint32> all;
    for (const auto& command : good) {
        if (command.isWrite())
            all << command.reg;
    }
    int failures = 0;
    for (int failing = 0; failing < good.size(); ++failing) {
        RegisterMouseFixture fixture(pid, modelRow(pid)->address);
        QVERIFY(open(fixture));
        scramble(fixture.mouse());
        fixture.mouse()->failCommands(kTransactionTries, SimRegister::kStatusError, failing);
        const QStringList tips = run([&] { m_controller->readConfigData(m_path); });
        const bool failed = tips == QStringList{"1:Failed to read the current configuration page configuration"};
        QVERIFY2(failed || tips == QStringList{"0:Successfully read the current configuration page"},
                 qPrintable(tips.join('|')));
        QList<quint32> before;
        for (int i = 0; i < failing; ++i) {
            if (good[i].isWrite())
                before << good[i].reg;
        }
        QList<quint32> applied;
        for (const auto& write : fixture.mouse()->appliedWrites())
            applied << write.reg;
        QVERIFY2(applied == (failed ? before : all), qPrintable(QStringLiteral("failing exchange %1").arg(failing)));
        failures += failed ? 1 : 0;
    }
    // Every write and nearly every read ends the apply.
    QVERIFY2(failures >= good.size() - 2, qPrintable(QStringLiteral("%1 of %2").arg(failures).arg(good.size())));
}


// A combination key goes into the mouse as the user set it, is saved back as the same modifier and key, and the
// saved profile puts the same combination into the mouse again: on every line of the family, with or without
// packed values, and on the models whose combination masks exchange Ctrl and Shift.
void TestFarrantNordicProfiles::combinationKeysRoundTrip_data()
{
    QTest::addColumn<quint16>("pid");
    QTest::addColumn<int>("mask");
    QTest::addColumn<int>("deviceMask");

    QTest::newRow("plain: hebden, ctrl") << DeviceIds::kHebden << int(KMaskCtrl) << int(KMaskCtrl);
    QTest::newRow("plain: jarrow nordic, alt") << DeviceIds::kJarrowNordic << int(KMaskAlt) << int(KMaskAlt);
    QTest::newRow("plain: jarrow nordic, ctrl+shift+win") << DeviceIds::kJarrowNordic << 11 << 11;
    QTest::newRow("packed, swapped: yarrin, ctrl") << DeviceIds::kYarrin << int(KMaskCtrl) << int(KMaskShift);
    QTest::newRow("packed, swapped: yarrin, shift+alt") << DeviceIds::kYarrin << 6 << 5;
    QTest::newRow("packed: nesbit, win") << DeviceIds::kNesbit << int(KMaskWin) << int(KMaskWin);
}

void TestFarrantNordicProfiles::combinationKeysRoundTrip()
{
    QFETCH(quint16, pid);
    QFETCH(int, mask);
    QFETCH(int, deviceMask);
    // A side button: the key of the fourth entry on the model's key line.
    const int entryIndex = 3;
    const int key = FarrantNordicKeyCodec::rules(modelRow(pid)->keys).keyOrder[entryIndex];
    const int usage = 0x06; // C

    RegisterMouseFixture fixture(pid, modelRow(pid)->address);
    KDeviceFarrant_Nordic* mouse = open(fixture);
    QVERIFY(mouse);
    const QJsonObject combination{{"value1", mask}, {"value2", usage}};
    const QJsonObject entry{{"key", key},
                            {"funcIndex", int(modifierMaskToFunction(mask))},
                            {"value1", QString::fromUtf8(QJsonDocument(combination).toJson())}};
    QVERIFY(writeObject(m_path, QJsonObject{{"configVersion", 2}, {"pid", pid}, {"key", QJsonArray{entry}}}));
    QCOMPARE(run([&] { m_controller->readConfigData(m_path); }),
             QStringList{"0:Successfully read the current configuration page"});
    QCOMPARE(fixture.mouse()->buttonFunction(key), SimMouseButton::combination(deviceMask, usage));

    // Saved from the mouse: the same modifier and key.
    const QString saved = ProgramFolders::configLocation() + "/saved.json";
    QVERIFY(writeObject(saved, QJsonObject{{"configVersion", 2}, {"pid", pid}, {"key", QJsonArray{QJsonObject{{"key", key}}}}}));
    QCOMPARE(run([&] { m_controller->saveMouseData(saved, false); }),
             QStringList{"0:Successfully reserved the current device configuration"});
    QJsonObject savedEntry;
    for (const QJsonValue& value : readJsonObject(saved).value("key").toArray()) {
        if (value.toObject().value("key").toInt() == key)
            savedEntry = value.toObject();
    }
    const QJsonObject savedCombination = QJsonDocument::fromJson(savedEntry.value("value1").toString().toUtf8()).object();
    QCOMPARE(savedCombination.value("value1").toInt(), mask);
    QCOMPARE(savedCombination.value("value2").toInt(), usage);

    // The saved profile puts the same combination into a mouse that lost it.
    fixture.mouse()->setMemory(kRegKeyTable + quint32(kKeyCodeSize * entryIndex),
                               QByteArray::fromHex("07000000"));
    QCOMPARE(run([&] { m_controller->readConfigData(saved); }),
             QStringList{"0:Successfully read the current configuration page"});
    QCOMPARE(fixture.mouse()->buttonFunction(key), SimMouseButton::combination(deviceMask, usage));
}

QTEST_MAIN(TestFarrantNordicProfiles)
#include "tst_farrantnordicprofiles.moc"
