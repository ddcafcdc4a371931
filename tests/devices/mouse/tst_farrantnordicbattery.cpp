// The battery table of the register mouse: thresholds are exclusive, 0 is empty, low readings are unusable.

#include "devices/mouse/register/FarrantNordicBattery.h"

#include <QtTest>

class TestFarrantNordicBattery : public QObject
{
    Q_OBJECT

private slots:
    void table_data();
    void table();
};

void TestFarrantNordicBattery::table_data()
{
    QTest::addColumn<int>("reading");
    QTest::addColumn<int>("percent");
    QTest::addColumn<int>("offsetPercent");  // the same reading minus 512 through the second form

    QTest::newRow("full") << 726 << 100 << 100;
    QTest::newRow("725 is 99") << 725 << 99 << 99;
    QTest::newRow("672") << 672 << 99 << 99;
    QTest::newRow("671 is 98") << 671 << 98 << 98;
    QTest::newRow("638 is 51") << 638 << 51 << 51;
    QTest::newRow("541") << 541 << 2 << 2;
    QTest::newRow("540 unusable") << 540 << -1 << -1;
    QTest::newRow("one") << 1 << -1 << -1;
    QTest::newRow("zero") << 0 << 0 << 0;
}

void TestFarrantNordicBattery::table()
{
    QFETCH(int, reading);
    QFETCH(int, percent);
    QFETCH(int, offsetPercent);
    QCOMPARE(FarrantNordic::batteryPercent(reading), percent);
    QCOMPARE(FarrantNordic::batteryPercentOffset(reading == 0 ? 0 : reading - 512), offsetPercent);
}

QTEST_GUILESS_MAIN(TestFarrantNordicBattery)
#include "tst_farrantnordicbattery.moc"
