// The register mouse models, row by row: what each class sets and which variants it takes, checked against the
// Part's table and against the simulated mouse's own view of the same model (key order, factory key codes,
// DPI block, power-saving sense), which is written apart from the driver's tables.

#include "common/DeviceIds.h"
#include "devices/mouse/register/FarrantNordicKeyCodec.h"
#include "devices/mouse/register/FarrantNordicModels.h"
#include "sim/mouse/register/SimRegisterModels.h"

#include <QtTest>

using namespace FarrantNordic;

class TestFarrantNordicModels : public QObject
{
    Q_OBJECT

private slots:
    void rows_data();
    void rows();
};

void TestFarrantNordicModels::rows_data()
{
    QTest::addColumn<int>("row");
    for (int i = 0; i < kModelCount; ++i)
        QTest::newRow(kModels[i].className) << i;
}

void TestFarrantNordicModels::rows()
{
    QFETCH(int, row);
    const ModelRow& model = kModels[row];
    const QString name = QString::fromLatin1(model.className);

    QCOMPARE(modelRow(model.pid), &model);
    const DeviceIds::Model* catalogue = DeviceIds::find(model.pid);
    QVERIFY(catalogue);
    const bool wireless = catalogue->link == DeviceIds::Link::Wireless;
    QCOMPARE(model.address, wireless ? kAddressReceiver : kAddressWired);

    // Pacing: the receiver models of the Nordic radio and three wired models wait 500 ms.
    const bool slowWired = name == "FDeviceJessam" || name == "FDeviceDallow" || name == "HDeviceKelham";
    const bool longPace = slowWired || name == "HDeviceKelham_Wireless"
        || (wireless && (name.startsWith("FDevice") || name == "KDeviceFarrant_Nordic_Wireless"));
    QCOMPARE(model.delayMs, longPace ? kPaceLongMs : kPaceShortMs);

    // The layout document: ":/common/" and the model's folder, named after the class's model.
    const QString layout = QString::fromLatin1(model.layoutPath);
    QVERIFY2(layout.startsWith(":/common/") && layout.endsWith(wireless ? "_WirelessLayout.json" : "Layout.json"),
             qPrintable(layout));

    // The mouse agrees with the driver about its keys, its DPI block and its power-saving byte.
    const SimRegister::ModelTraits& sim = SimRegister::traitsOf(model.pid);
    QCOMPARE(sim.productId, model.pid);
    QCOMPARE(sim.addressByte, model.address);
    const KeyLineRules& rules = FarrantNordicKeyCodec::rules(model.keys);
    for (int entry = 0; entry < kKeyTableEntries; ++entry)
        QCOMPARE(sim.keys->buttons[entry], rules.keyOrder[entry]);
    const QByteArray factory(reinterpret_cast<const char*>(sim.keys->factoryCodes), SimRegister::kKeyTableSize);
    QCOMPARE(FarrantNordicKeyCodec::defaultTable(model.keys).toHex(' '), factory.toHex(' '));
    QCOMPARE(sim.dpi == SimRegister::DpiBlock::FiveCodes, model.dpi == DpiBlock::FiveStages);
    QCOMPARE(sim.power == SimRegister::PowerSense::ZeroIsOn, model.power == PowerSense::ZeroIsOn);
}

QTEST_GUILESS_MAIN(TestFarrantNordicModels)
#include "tst_farrantnordicmodels.moc"
