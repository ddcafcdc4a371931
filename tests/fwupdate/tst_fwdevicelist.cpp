#include "KConfigControl.h"

#include "common/DeviceIds.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class TestFwDeviceList : public QObject
{
    Q_OBJECT
private slots:
    void builtInListMatchesTheIdHeader();
    void lookups_data();
    void lookups();
    void missingFileGetsTheDefaultList();
    void firstOfTwoEqualIdsWins();
};

void TestFwDeviceList::builtInListMatchesTheIdHeader()
{
    const QList<DeviceInfo> list = KConfigControl::instance()->deviceInfos();
    QCOMPARE(list.size(), 22);
    QCOMPARE(KConfigControl::instance()->rfData(), QStringLiteral("1"));
    int i = 0;
    for (const DeviceIds::NordicDfuIds& model : DeviceIds::kNordicDfu) {
        const DeviceInfo wired = list.at(i++);
        const DeviceInfo wireless = list.at(i++);
        QCOMPARE(wired.name, QString::fromLatin1(model.name));
        QCOMPARE(wired.pid, int(model.wired));
        QCOMPARE(wired.bootloadPid, int(model.dfu));
        QCOMPARE(wireless.name, QString::fromLatin1(model.name) + "-2.4g");
        QCOMPARE(wireless.pid, int(model.wireless));
        QCOMPARE(wireless.bootloadPid, int(DeviceIds::kNordicDfuWireless));
        for (const DeviceInfo& d : {wired, wireless}) {
            QCOMPARE(d.vid, int(DeviceIds::kVendorId));
            QCOMPARE(d.usage, 14);
            QCOMPARE(d.usagePage, 0xFF00);
        }
    }
    // Every wired entry has a bootloader of its own.
    QSet<int> dfu;
    for (const DeviceInfo& d : list) {
        if (!d.name.endsWith("-2.4g"))
            dfu.insert(d.bootloadPid);
    }
    QCOMPARE(dfu.size(), 11);
}

void TestFwDeviceList::lookups_data()
{
    QTest::addColumn<int>("pid");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("name");
    QTest::newRow("ELWIN has no entry") << int(DeviceIds::mousePid("ELWIN")) << false << QString();
    QTest::newRow("KELHAM_NORDIC answers as MALDON") << int(DeviceIds::mousePid("KELHAM_NORDIC")) << true
                                                     << "MALDON";
    QTest::newRow("wireless NESBIT") << int(DeviceIds::mousePid("NESBIT", true)) << true << "NESBIT-2.4g";
    QTest::newRow("TOLLAND") << int(DeviceIds::kTolland) << true << "TOLLAND";
    QTest::newRow("zero") << 0 << false << QString();
}

void TestFwDeviceList::lookups()
{
    QFETCH(int, pid);
    QFETCH(bool, found);
    QFETCH(QString, name);
    DeviceInfo info;
    QCOMPARE(KConfigControl::instance()->findDeviceInfo(pid, &info), found);
    if (found)
        QCOMPARE(info.name, name);
}

void TestFwDeviceList::missingFileGetsTheDefaultList()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("AppConfig.ini");
    KConfigControl control(file);
    QCOMPARE(control.rfData(), QStringLiteral("1"));
    QStringList names;
    for (const DeviceInfo& d : control.deviceInfos())
        names << d.name;
    QCOMPARE(names, QStringList({"JARROW-2.4g", "MALDON-2.4g", "JARROW", "MALDON", "MARWEN", "MARWEN-2.4g"}));
    QSettings written(file, QSettings::IniFormat);
    QCOMPARE(written.value("FwFileName").toString(), QStringLiteral("FARRANT_nRF52820_Dongle_USB_DFU.zip"));
}

void TestFwDeviceList::firstOfTwoEqualIdsWins()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("list.ini");
    {
        KConfigControl writer(file);
        writer.writeDeviceInfo({{"FIRST", 1, 0x6D2B, 14, 0xFF00, 7}, {"SECOND", 1, 0x6D2B, 14, 0xFF00, 8}});
    }
    KConfigControl reader(file);
    DeviceInfo info;
    QVERIFY(reader.findDeviceInfo(0x6D2B, &info));
    QCOMPARE(info.name, QStringLiteral("FIRST"));
    QCOMPARE(info.bootloadPid, 7);
}

QTEST_GUILESS_MAIN(TestFwDeviceList)
#include "tst_fwdevicelist.moc"
