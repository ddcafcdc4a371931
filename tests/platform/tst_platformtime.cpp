#include "platform/hid/HidPath.h"
#include "platform/sys/PlatformTime.h"

#include <QtTest>

class TestPlatformTime : public QObject
{
    Q_OBJECT
private slots:
    void sleepsAreRecordedNotSlept()
    {
        Platform::setSleepScale(0.0);
        Platform::clearRecordedSleeps();
        const qint64 start = Platform::monotonicMs();
        Platform::sleepMs(1000);
        Platform::sleepMs(100);
        QVERIFY(Platform::monotonicMs() - start < 500);
        QCOMPARE(Platform::recordedSleeps(), (QList<int>{1000, 100}));
    }

    void hidPath_data()
    {
        QTest::addColumn<int>("mi");
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << -1 << 0 << QStringLiteral("\\\\?\\hid#vid_3a7e&pid_5c21#hidraw3");
        QTest::newRow("composite") << 2 << 0 << QStringLiteral("\\\\?\\hid#vid_3a7e&pid_5c21&mi_02#hidraw3");
        QTest::newRow("collections") << -1 << 5 << QStringLiteral("\\\\?\\hid#vid_3a7e&pid_5c21&col05#hidraw3");
        QTest::newRow("both") << 1 << 12 << QStringLiteral("\\\\?\\hid#vid_3a7e&pid_5c21&mi_01&col12#hidraw3");
    }

    void hidPath()
    {
        QFETCH(int, mi);
        QFETCH(int, col);
        QFETCH(QString, expected);
        const QString path = KHID::formatHidPath(0x3A7E, 0x5C21, mi, col, QStringLiteral("HIDRAW3"));
        QCOMPARE(path, expected);
        quint16 vid = 0, pid = 0;
        QVERIFY(KHID::parseHidPathIds(path, &vid, &pid));
        QCOMPARE(vid, quint16(0x3A7E));
        QCOMPARE(pid, quint16(0x5C21));
    }
};

QTEST_GUILESS_MAIN(TestPlatformTime)
#include "tst_platformtime.moc"
