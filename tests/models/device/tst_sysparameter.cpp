#include "LogCapture.h"
#include "RecordingServices.h"

#include "models/device/SysParameterControll.h"
#include "platform/sys/SystemMouseSettings.h"

#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

// The settings-file backend on a file of the test's own, installed for the fixture's lifetime.
struct MouseSettingsFile {
    QTemporaryDir dir;
    Platform::SettingsFileMouseSettings backend;

    explicit MouseSettingsFile(const QString& name = QStringLiteral("SystemMouse.ini"))
        : backend(dir.filePath(name))
    {
        Platform::setSystemMouseSettings(&backend);
    }
    ~MouseSettingsFile() { Platform::setSystemMouseSettings(nullptr); }

    // What a later start of the program reads.
    int stored(const char* key) const
    {
        QSettings settings(backend.path(), QSettings::IniFormat);
        return settings.value(QStringLiteral("SystemMouse/") + QLatin1String(key), 0).toInt();
    }
};

} // namespace

class TestSysParameter : public QObject
{
    Q_OBJECT

private slots:
    void startsWithTheSystemsValues()
    {
        MouseSettingsFile file;
        SysParameterControll controll;
        QCOMPARE(controll.MouseSpeed(), 10);
        QCOMPARE(controll.WheelScrollLine(), 3);
        QCOMPARE(controll.WheelScrollType(), SysParameterControll::kScrollByLines);
        QVERIFY(Platform::systemMouseSettings() == &file.backend);
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
        MouseSettingsFile file;
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
        MouseSettingsFile file;
        RecordingServices services;
        SysParameterControll controll;
        QSignalSpy spy(&controll, &SysParameterControll::WheelScrollLineChanged);

        controll.setWheelScrollLine(requested);
        QCOMPARE(spy.count(), written ? 1 : 0);
        QCOMPARE(file.stored("wheelLines"), written ? lines : 0);
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
        MouseSettingsFile file;
        SysParameterControll controll;
        QSignalSpy spy(&controll, &SysParameterControll::WheelScrollTypeChanged);
        controll.setWheelScrollType(SysParameterControll::kScrollByPages);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(controll.WheelScrollType(), 0);
        QVERIFY(!QFile::exists(file.backend.path()));
    }

    void failedWritesKeepTheValues()
    {
        // The settings file would lie below a plain file: nothing can be written there.
        QTemporaryDir dir;
        QFile blocker(dir.filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        Platform::SettingsFileMouseSettings backend(dir.filePath(QStringLiteral("blocker/SystemMouse.ini")));
        Platform::setSystemMouseSettings(&backend);
        RecordingServices services;
        LogCapture logs;
        SysParameterControll controll;
        QSignalSpy speedSpy(&controll, &SysParameterControll::MouseSpeedChanged);
        QSignalSpy linesSpy(&controll, &SysParameterControll::WheelScrollLineChanged);

        controll.setMouseSpeed(5);
        controll.setWheelScrollLine(7);
        Platform::setSystemMouseSettings(nullptr);

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
        MouseSettingsFile file;
        SysParameterControll controll;
        controll.setMouseSpeed(12);
        {
            QSettings settings(file.backend.path(), QSettings::IniFormat);
            settings.setValue(QStringLiteral("SystemMouse/pointerSpeed"), QStringLiteral("fast"));
            settings.setValue(QStringLiteral("SystemMouse/wheelLines"), QStringLiteral("many"));
        }
        LogCapture logs;
        QCOMPARE(controll.MouseSpeed(), 12);
        QCOMPARE(controll.WheelScrollLine(), 3);
        QCOMPARE(logs.count(QStringLiteral("[Error] get sensitivity failed")), 2);
    }
};

QTEST_MAIN(TestSysParameter)
#include "tst_sysparameter.moc"
