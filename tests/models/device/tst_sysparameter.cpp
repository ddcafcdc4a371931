#include "LogCapture.h"
#include "RecordingServices.h"

#include "models/device/SysParameterControll.h"
#include "platform/sys/SystemMouseSettings.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

// A desktop's settings as the backend sees them, installed for the fixture's lifetime: values kept here, and
// reads or writes that fail on request.
struct DesktopSettings : Platform::SystemMouseSettings {
    int pointerSpeed = 10;
    int wheelLines = 3;
    bool offered = true;
    bool failReads = false;
    bool failWrites = false;
    int writes = 0;

    DesktopSettings() { Platform::setSystemMouseSettings(this); }
    ~DesktopSettings() override { Platform::setSystemMouseSettings(nullptr); }

    bool offersPointerSpeed() const override { return offered; }
    bool offersWheelLines() const override { return offered; }
    bool readPointerSpeed(int* value) override { return read(pointerSpeed, value); }
    bool writePointerSpeed(int value) override { return write(&pointerSpeed, value); }
    bool readWheelLines(int* value) override { return read(wheelLines, value); }
    bool writeWheelLines(int value) override { return write(&wheelLines, value); }

    bool read(int stored, int* value) const
    {
        if (failReads)
            return false;
        *value = stored;
        return true;
    }
    bool write(int* stored, int value)
    {
        if (failWrites)
            return false;
        ++writes;
        *stored = value;
        return true;
    }
    // What the desktop keeps.
    int stored(const char* key) const { return qstrcmp(key, "pointerSpeed") == 0 ? pointerSpeed : wheelLines; }
};

} // namespace

class TestSysParameter : public QObject
{
    Q_OBJECT

private slots:
    void startsWithTheSystemsValues()
    {
        DesktopSettings file;
        SysParameterControll controll;
        QCOMPARE(controll.MouseSpeed(), 10);
        QCOMPARE(controll.WheelScrollLine(), 3);
        QCOMPARE(controll.WheelScrollType(), SysParameterControll::kScrollByLines);
        QVERIFY(Platform::systemMouseSettings() == &file);
        QVERIFY(controll.MouseSpeedOffered());
        QVERIFY(controll.WheelScrollLineOffered());
    }

    void pointerSpeedIsClamped_data()
    {
        QTest::addColumn<int>("requested");
        QTest::addColumn<int>("written");
        QTest::newRow("zero") << 0 << 1;
        QTest::newRow("negative") << -5 << 1;
        QTest::newRow("slowest") << 1 << 1;
        QTest::newRow("middle") << 7 << 7;
        QTest::newRow("fastest") << 20 << 20;
        QTest::newRow("above") << 21 << 20;
        QTest::newRow("far above") << 500 << 20;
    }

    void pointerSpeedIsClamped()
    {
        QFETCH(int, requested);
        QFETCH(int, written);
        DesktopSettings file;
        RecordingServices services;
        SysParameterControll controll;
        QSignalSpy spy(&controll, &SysParameterControll::MouseSpeedChanged);

        controll.setMouseSpeed(requested);
        QCOMPARE(file.stored("pointerSpeed"), written);
        QCOMPARE(controll.MouseSpeed(), written);
        QCOMPARE(spy.count(), 1);
        // The event carries what was asked for.
        QCOMPARE(services.events, QStringList{QStringLiteral("device_pointer/mouse_speed/%1").arg(requested)});
    }

    void wheelLines_data()
    {
        QTest::addColumn<int>("requested");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("written");
        QTest::newRow("one") << 1 << 1 << 1 << true;
        QTest::newRow("ten") << 10 << 10 << 1 << true;
        QTest::newRow("more than ten") << 15 << 10 << 1 << true;
        QTest::newRow("hundred") << 100 << 10 << 1 << true;
        QTest::newRow("pages") << -1 << -1 << 0 << true;
        QTest::newRow("above a hundred") << 101 << 3 << 1 << false;
        QTest::newRow("zero") << 0 << 3 << 1 << false;
        QTest::newRow("other negative") << -2 << 3 << 1 << false;
    }

    void wheelLines()
    {
        QFETCH(int, requested);
        QFETCH(int, lines);
        QFETCH(int, type);
        QFETCH(bool, written);
        DesktopSettings file;
        RecordingServices services;
        SysParameterControll controll;
        QSignalSpy spy(&controll, &SysParameterControll::WheelScrollLineChanged);

        controll.setWheelScrollLine(requested);
        QCOMPARE(spy.count(), written ? 1 : 0);
        QCOMPARE(file.stored("wheelLines"), written ? lines : 3);
        // Every request is reported, written or not.
        QCOMPARE(services.events,
                 QStringList{QStringLiteral("device_scroll/wheel_scrollline/%1").arg(requested)});

        // Reading back gives the count and sets the scroll type from it.
        QSignalSpy typeSpy(&controll, &SysParameterControll::WheelScrollTypeChanged);
        QCOMPARE(controll.WheelScrollLine(), lines);
        QCOMPARE(controll.WheelScrollType(), type);
        QCOMPARE(typeSpy.count(), 1);

        // The setting outlives the program.
        SysParameterControll later;
        QCOMPARE(later.WheelScrollLine(), lines);
    }

    void scrollTypeAloneTouchesNothing()
    {
        DesktopSettings file;
        SysParameterControll controll;
        QSignalSpy spy(&controll, &SysParameterControll::WheelScrollTypeChanged);
        controll.setWheelScrollType(SysParameterControll::kScrollByPages);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(controll.WheelScrollType(), 0);
        QCOMPARE(file.writes, 0);
    }

    void failedWritesKeepTheValues()
    {
        DesktopSettings file;
        file.failWrites = true;
        RecordingServices services;
        LogCapture logs;
        SysParameterControll controll;
        QSignalSpy speedSpy(&controll, &SysParameterControll::MouseSpeedChanged);
        QSignalSpy linesSpy(&controll, &SysParameterControll::WheelScrollLineChanged);

        controll.setMouseSpeed(5);
        controll.setWheelScrollLine(7);

        QCOMPARE(speedSpy.count(), 0);
        QCOMPARE(linesSpy.count(), 0);
        QCOMPARE(controll.property("MouseSpeed").toInt(), 10);
        QCOMPARE(controll.property("WheelScrollLine").toInt(), 3);
        QCOMPARE(services.events, QStringList{"device_scroll/wheel_scrollline/7"});
        QVERIFY(logs.contains(QStringLiteral("[Error] set mouse speed failed")));
        QVERIFY(logs.contains(QStringLiteral("[Error] set wheel scroll lines failed")));
    }

    void unreadableValuesKeepThePreviousOnes()
    {
        DesktopSettings file;
        SysParameterControll controll;
        controll.setMouseSpeed(12);
        file.failReads = true;
        file.pointerSpeed = 3;
        LogCapture logs;
        QCOMPARE(controll.MouseSpeed(), 12);
        QCOMPARE(controll.WheelScrollLine(), 3);
        QCOMPARE(logs.count(QStringLiteral("[Error] get sensitivity failed")), 2);
    }

    // A desktop without the settings: the pages are told so, nothing is read at start, and a write from an
    // earlier page changes nothing.
    void desktopWithoutSettings()
    {
        RecordingServices services;
        LogCapture logs;
        SysParameterControll controll;
        QVERIFY(!controll.MouseSpeedOffered());
        QVERIFY(!controll.WheelScrollLineOffered());
        QVERIFY(!logs.contains(QStringLiteral("[Error] get sensitivity failed")));
        QSignalSpy speedSpy(&controll, &SysParameterControll::MouseSpeedChanged);
        controll.setMouseSpeed(15);
        QCOMPARE(speedSpy.count(), 0);
        QCOMPARE(controll.property("MouseSpeed").toInt(), 10);
        QVERIFY(services.events.isEmpty());
    }
};

QTEST_MAIN(TestSysParameter)
#include "tst_sysparameter.moc"
