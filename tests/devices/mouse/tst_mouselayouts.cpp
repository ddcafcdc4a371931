// Every mouse class the device layer holds, created without a device: its layout document follows the class.
// The name is one the name-based rules know (the catalogue's model, or the firmware list's name of it), the
// DPI block, light ranges and macro length fit what the class's protocol stores, the left key takes macros
// only where the family has press macros, and the key buttons are the class's key table.

#include "common/DeviceIds.h"
#include "devices/mouse/featurereport/DunmorProtocol.h"
#include "devices/mouse/register/FarrantNordicProtocol.h"
#include "devices/mouse/twocollection/EdrisProtocol.h"
#include "devices/mouse/twopage/UlverdProtocol.h"
#include "hid/DeviceFactory.h"
#include "hid/KBaseDevice.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

#include <memory>

namespace {

// What a family's protocol can store, as its layout documents must respect it.
struct FamilyLimits {
    DeviceIds::Family family;
    quint16 pid;         // a model with limits of its own; 0 for the family's
    int dpiStages;
    int dpiUnit;
    int dpiMaxCode;
    int lightModes;
    int brightnessMin;
    int brightnessMax;
    int speedMin;
    int speedMax;
    int macroBytes;      // one macro record
    int macroHeader;
    int macroLongestEvent;
    bool pressMacros;    // the left key may hold press macros
    int keys;            // entries of the key table
};

// A two-collection model: its stages, DPI code unit and buttons; every macro record ends with its end item.
constexpr FamilyLimits edrisLimits(quint16 pid, int stages, int unit, int maxCode, int keys)
{
    return {DeviceIds::Family::ProfileImageMouse, pid, stages, unit, maxCode, Edris::kLightEffects, 0, 0xFF, 0,
            Edris::kSpeedMax, Edris::kMacroRecordSize, Edris::kMacroHeaderSize + Edris::kMacroItemSize,
            4 * Edris::kMacroItemSize, true, keys};
}

const FamilyLimits kLimits[] = {
    {DeviceIds::Family::RegisterMouse, 0, FarrantNordic::kDpiStages, FarrantNordic::kDpiUnit, 0xFFFF,
     FarrantNordic::kLightModes, 1, FarrantNordic::kBrightnessLevels, FarrantNordic::kLightSpeedSlowest,
     FarrantNordic::kLightSpeedFastest, FarrantNordic::kMacroRecordSize, FarrantNordic::kMacroHeaderSize,
     FarrantNordic::kMacroLongestEvent, true, FarrantNordic::kKeyEntries},
    {DeviceIds::Family::TwoPageMouse, 0, TwoPage::kDpiStages, TwoPage::kDpiStep,
     TwoPage::kDpiExtendedMax / TwoPage::kDpiStep, Ulverd::kRootLightSetterModes, 0, Ulverd::kRootBrightnessMax, 0,
     Ulverd::kRootSpeedMax, Ulverd::kMacroBufferSize, 0, Ulverd::kLongestEvent, false, TwoPage::kKeyEntries},
    {DeviceIds::Family::TwoPageMouse, DeviceIds::kHarloHollis, TwoPage::kDpiStages, TwoPage::kDpiStep,
     TwoPage::kDpiMax / TwoPage::kDpiStep, Ulverd::kLockedLightSetterModes, 0, Ulverd::kLockedBrightnessMax, 0,
     Ulverd::kLockedSpeedMax, Ulverd::kMacroBufferSize, 0, Ulverd::kLongestLockedRecord, false,
     Ulverd::kLockedReadEntries},
    {DeviceIds::Family::FeatureReportMouse, 0, Dunmor::kDpiStages, Dunmor::kDpiStep, Dunmor::kDpiMax / Dunmor::kDpiStep,
     Dunmor::kLightModes, 0, Dunmor::kBrightnessMax, 0, Dunmor::kSpeedMax, Dunmor::kMacroEventBytes, 0,
     Dunmor::kLongestMacroEvent, false, Dunmor::kButtons},
    // The Kinloch's steps are multiples of 250.
    {DeviceIds::Family::FeatureReportMouse, DeviceIds::kKinloch, Dunmor::kDpiStages, Dunmor::kKinlochDpi[0],
     Dunmor::kKinlochDpi[Dunmor::kKinlochCodes - 1] / Dunmor::kKinlochDpi[0], Dunmor::kLightModes, 0,
     Dunmor::kBrightnessMax, 0, Dunmor::kSpeedMax, Dunmor::kMacroEventBytes, 0, Dunmor::kLongestMacroEvent, false,
     Dunmor::kButtons},
    {DeviceIds::Family::TwoPageMouse, DeviceIds::kDunmorHollis, TwoPage::kDpiStages, TwoPage::kDpiStep,
     TwoPage::kDpiMax / TwoPage::kDpiStep, Ulverd::kLockedLightSetterModes, 0, Ulverd::kLockedBrightnessMax, 0,
     Ulverd::kLockedSpeedMax, Ulverd::kMacroBufferSize, 0, Ulverd::kLongestLockedRecord, false,
     Ulverd::kLockedReadEntries},
    edrisLimits(DeviceIds::kEdris, 7, Edris::kDpiUnit, Edris::kMaxDpiCode, 12),
    edrisLimits(DeviceIds::kTamsin, 7, Edris::kDpiUnit, Edris::kMaxDpiCode, 12),
    edrisLimits(DeviceIds::kSelwin, 7, Edris::kDpiUnit, Edris::kMaxDpiCode, 8),
    edrisLimits(DeviceIds::kWendal, 5, Edris::kDpiUnit, Edris::kMaxDpiCode, 10),
    edrisLimits(DeviceIds::kPembry, 7, TwoPage::kDpiStep, TwoPage::kDpiMax / TwoPage::kDpiStep, 12),
    edrisLimits(DeviceIds::kOrlan, 7, TwoPage::kDpiStep, TwoPage::kDpiMax / TwoPage::kDpiStep, 12),
    edrisLimits(DeviceIds::kVarlo, 5, TwoPage::kDpiStep, TwoPage::kDpiMax / TwoPage::kDpiStep, 10),
};

const FamilyLimits* limitsOf(DeviceIds::Family family, quint16 pid)
{
    const FamilyLimits* found = nullptr;
    for (const FamilyLimits& limits : kLimits) {
        if (limits.family == family && limits.pid == pid)
            return &limits;
        if (limits.family == family && limits.pid == 0)
            found = &limits;
    }
    return found;
}

bool isMouse(DeviceIds::Family family)
{
    return family == DeviceIds::Family::RegisterMouse || family == DeviceIds::Family::TwoPageMouse
        || family == DeviceIds::Family::ProfileImageMouse || family == DeviceIds::Family::FeatureReportMouse;
}

// The names under which the program knows a model: its catalogue name, and the firmware list's name of it.
QStringList knownNames(const DeviceIds::Model& model)
{
    QStringList names{QString::fromLatin1(model.model)};
    for (const DeviceIds::NordicDfuIds& ids : DeviceIds::kNordicDfu) {
        if (ids.wired == model.pid || ids.wireless == model.pid)
            names << QString::fromLatin1(ids.name);
    }
    return names;
}

} // namespace

class TestMouseLayouts : public QObject
{
    Q_OBJECT

private slots:
    void documentsFollowTheirClasses_data();
    void documentsFollowTheirClasses();
};

void TestMouseLayouts::documentsFollowTheirClasses_data()
{
    QTest::addColumn<int>("pid");
    for (quint16 pid : DeviceFactory::modelIds()) {
        const DeviceIds::Model* model = DeviceIds::find(pid);
        // The supplier image mouse loads no layout document: it offers nothing a layout would describe.
        if (pid == DeviceIds::kKinlochHollis)
            continue;
        if (model && isMouse(model->family))
            QTest::newRow(model->typeName) << int(pid);
    }
}

void TestMouseLayouts::documentsFollowTheirClasses()
{
    QFETCH(int, pid);
    const DeviceIds::Model* model = DeviceIds::find(pid);
    QVERIFY(model);
    const FamilyLimits* limits = limitsOf(model->family, model->pid);
    QVERIFY2(limits, "a mouse family without limits in this test");
    std::unique_ptr<KBaseDevice> device(DeviceFactory::createModel(pid));
    QVERIFY(device);
    const QJsonObject layout = *device->getLayout();
    QVERIFY2(!layout.isEmpty(), "the class's layout document is missing or malformed");

    // Name and kind.
    QString name = layout.value("deviceName").toString();
    QVERIFY(QRegularExpression(QStringLiteral("^[A-Za-z0-9_]+$")).match(name).hasMatch());
    const bool wireless = model->link == DeviceIds::Link::Wireless;
    QCOMPARE(layout.value("isWireLess").toBool(), wireless);
    if (name.endsWith(QLatin1String("_WIRELESS")))
        name.chop(int(qstrlen("_WIRELESS")));
    QVERIFY2(knownNames(*model).contains(name), qPrintable(name));
    QCOMPARE(layout.value("deviceType").toInt(), 1);

    // DPI: the stages and values the block stores.
    const QJsonObject dpi = layout.value("dpi").toObject();
    QVERIFY(dpi.value("number").toInt() >= 1 && dpi.value("number").toInt() <= limits->dpiStages);
    const int minValue = dpi.value("minValue").toInt();
    const int maxValue = dpi.value("maxValue").toInt();
    const int step = dpi.value("stepValue").toInt();
    QVERIFY(minValue >= limits->dpiUnit && minValue <= maxValue);
    QVERIFY(maxValue / limits->dpiUnit <= limits->dpiMaxCode);
    QVERIFY(step > 0 && step % limits->dpiUnit == 0 && minValue % limits->dpiUnit == 0);

    // Light: modes, brightness and speed the setters take.
    const QJsonObject light = layout.value("light").toObject();
    if (layout.value("hasLight").toBool()) {
        for (const QJsonValue& mode : light.value("lightMode").toArray()) {
            const int index = mode.toObject().value("index").toInt(-1);
            QVERIFY2(index >= 0 && index < limits->lightModes, qPrintable(QString::number(index)));
        }
        QVERIFY(light.value("brightnessMin").toInt() >= limits->brightnessMin);
        QVERIFY(light.value("brightnessMax").toInt() <= limits->brightnessMax);
        QVERIFY(light.value("speedMin").toInt() >= limits->speedMin);
        QVERIFY(light.value("speedMax").toInt() <= limits->speedMax);
    }

    // Macros: the longest macro fits one record; the left key takes macros only with press macros.
    const int maxEvents = layout.value("MaxMacroLenth").toInt();
    QVERIFY(maxEvents > 0);
    QVERIFY(limits->macroHeader + maxEvents * limits->macroLongestEvent <= limits->macroBytes);
    if (!limits->pressMacros)
        QCOMPARE(layout.value("leftKeyMacro").toInt(), 0);

    // Keys: one button per key-table entry, each key once.
    const QJsonArray keys = layout.value("key").toObject().value("keyBtn").toArray();
    QCOMPARE(keys.size(), limits->keys);
    QSet<int> ids;
    for (const QJsonValue& key : keys)
        ids.insert(key.toObject().value("key").toInt(-1));
    QCOMPARE(ids.size(), limits->keys);
    QVERIFY(!ids.contains(-1));
}

QTEST_GUILESS_MAIN(TestMouseLayouts)
#include "tst_mouselayouts.moc"
