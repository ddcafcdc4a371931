// GIO's headers name struct members "signals": they come before any Qt header.
#include <gio/gio.h>

#include "platform/desktop/DesktopMouseSettings.h"
#include "platform/desktop/GSettingsMouseSettings.h"
#include "platform/desktop/XInputMouseSettings.h"

#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace Platform;

namespace {

// The desktop's schema as GNOME ships it, as far as the pointer speed goes.
const char* const kTestSchema = R"(<?xml version="1.0" encoding="UTF-8"?>
<schemalist>
  <schema id="org.gnome.desktop.peripherals.mouse" path="/org/gnome/desktop/peripherals/mouse/">
    <key name="speed" type="d">
      <range min="-1" max="1"/>
      <default>0</default>
    </key>
  </schema>
</schemalist>
)";

// The pointer devices of an X session as the property shows them: their acceleration by device id, and the
// devices whose reads or writes fail.
struct RecordedAccelProperty : PointerAccelProperty {
    QMap<int, double> values;
    QList<int> failing;

    QList<int> devices() override { return values.keys(); }
    bool read(int device, double* value) override
    {
        if (failing.contains(device) || !values.contains(device))
            return false;
        *value = values.value(device);
        return true;
    }
    bool write(int device, double value) override
    {
        if (failing.contains(device) || !values.contains(device))
            return false;
        values[device] = value;
        return true;
    }
};

} // namespace

// The desktop backends of the system mouse settings, each against a double of the desktop: GSettings' memory
// backend with the schema compiled here, and a recorded X property.
class TestDesktopMouseSettings : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_schemas;
    QString m_noSchemaReason;

private slots:
    void initTestCase()
    {
        // Set before GIO is first asked anything: it reads them once per process.
        QVERIFY(m_schemas.isValid());
        const QString compiler = QStandardPaths::findExecutable(QStringLiteral("glib-compile-schemas"));
        if (compiler.isEmpty()) {
            m_noSchemaReason = QStringLiteral("glib-compile-schemas is not installed (package libglib2.0-bin)");
            return;
        }
        QFile schema(m_schemas.filePath(QStringLiteral("org.gnome.desktop.peripherals.mouse.gschema.xml")));
        QVERIFY(schema.open(QIODevice::WriteOnly));
        schema.write(kTestSchema);
        schema.close();
        QProcess compile;
        compile.start(compiler, {m_schemas.path()});
        QVERIFY(compile.waitForFinished(60000));
        QCOMPARE(compile.exitCode(), 0);
        qputenv("GSETTINGS_SCHEMA_DIR", QFile::encodeName(m_schemas.path()));
        qputenv("GSETTINGS_BACKEND", "memory");
    }

    void speedAndAcceleration_data()
    {
        QTest::addColumn<int>("speed");
        QTest::addColumn<double>("acceleration");
        QTest::addColumn<int>("readBack");
        QTest::newRow("the desktop's default") << 10 << 0.0 << 10;
        QTest::newRow("slowest") << 1 << -0.9 << 1;
        QTest::newRow("fastest") << 20 << 1.0 << 20;
        QTest::newRow("one above default") << 11 << 0.1 << 11;
        QTest::newRow("below the range") << 0 << -0.9 << 1;
        QTest::newRow("above the range") << 35 << 1.0 << 20;
    }

    void speedAndAcceleration()
    {
        QFETCH(int, speed);
        QFETCH(double, acceleration);
        QFETCH(int, readBack);
        QVERIFY(qAbs(accelerationOfSpeed(speed) - acceleration) < 1e-9);
        QCOMPARE(speedOfAcceleration(accelerationOfSpeed(speed)), readBack);
    }

    void accelerationsTheDesktopMayHold_data()
    {
        QTest::addColumn<double>("acceleration");
        QTest::addColumn<int>("speed");
        QTest::newRow("slowest") << -1.0 << 1;
        QTest::newRow("between steps") << 0.26 << 13;
        QTest::newRow("past the range") << 7.0 << 20;
        QTest::newRow("not a number") << qQNaN() << 10;
    }

    void accelerationsTheDesktopMayHold()
    {
        QFETCH(double, acceleration);
        QFETCH(int, speed);
        QCOMPARE(speedOfAcceleration(acceleration), speed);
    }

    void gnomeFamily_data()
    {
        QTest::addColumn<QByteArray>("currentDesktop");
        QTest::addColumn<bool>("gnome");
        QTest::newRow("GNOME") << QByteArray("GNOME") << true;
        QTest::newRow("Ubuntu's") << QByteArray("ubuntu:GNOME") << true;
        QTest::newRow("Budgie") << QByteArray("Budgie:GNOME") << true;
        QTest::newRow("Unity") << QByteArray("Unity") << true;
        QTest::newRow("KDE") << QByteArray("KDE") << false;
        QTest::newRow("XFCE") << QByteArray("XFCE") << false;
        QTest::newRow("none") << QByteArray() << false;
        QTest::newRow("a name that only contains it") << QByteArray("NOTGNOME") << false;
    }

    void gnomeFamily()
    {
        QFETCH(QByteArray, currentDesktop);
        QFETCH(bool, gnome);
        QCOMPARE(isGnomeFamilyDesktop(currentDesktop), gnome);
    }

    // The pointer speed goes to the desktop's own key, and is read from there.
    void gsettingsSpeed()
    {
        if (!m_noSchemaReason.isEmpty())
            QSKIP(qPrintable(m_noSchemaReason));
        auto backend = GSettingsMouseSettings::create();
        QVERIFY(backend);
        QVERIFY(backend->offersPointerSpeed());
        QVERIFY(!backend->offersWheelLines());
        int speed = 0;
        QVERIFY(backend->readPointerSpeed(&speed));
        QCOMPARE(speed, 10);

        QVERIFY(backend->writePointerSpeed(15));
        GSettings* desktop = g_settings_new(GSettingsMouseSettings::kSchema);
        QVERIFY(qAbs(g_settings_get_double(desktop, "speed") - 0.5) < 1e-9);
        // A change made elsewhere (the desktop's own panel) is what the next read gives.
        QVERIFY(g_settings_set_double(desktop, "speed", -0.4));
        g_object_unref(desktop);
        QVERIFY(backend->readPointerSpeed(&speed));
        QCOMPARE(speed, 6);
        // Wheel lines are no GNOME setting.
        int lines = 3;
        QVERIFY(!backend->readWheelLines(&lines));
        QVERIFY(!backend->writeWheelLines(5));
        QCOMPARE(lines, 3);
    }

    // A GNOME-family session gets the GSettings backend; a Wayland session of another desktop has neither setting.
    void desktopChoosesItsBackend()
    {
        if (!m_noSchemaReason.isEmpty())
            QSKIP(qPrintable(m_noSchemaReason));
        const QByteArray desktop = qgetenv("XDG_CURRENT_DESKTOP");
        const QByteArray session = qgetenv("XDG_SESSION_TYPE");
        qputenv("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
        auto gnome = desktopMouseSettings();
        QVERIFY(dynamic_cast<GSettingsMouseSettings*>(gnome.get()));
        qputenv("XDG_CURRENT_DESKTOP", "KDE");
        qputenv("XDG_SESSION_TYPE", "wayland");
        auto other = desktopMouseSettings();
        QVERIFY(other);
        QVERIFY(!other->offersPointerSpeed());
        QVERIFY(!other->offersWheelLines());
        qputenv("XDG_CURRENT_DESKTOP", desktop);
        qputenv("XDG_SESSION_TYPE", session);
    }

    // The X session's pointers: read from the first that has the property, written to every one.
    void xinputSpeed()
    {
        auto recorded = std::make_unique<RecordedAccelProperty>();
        RecordedAccelProperty* property = recorded.get();
        property->values = {{9, 0.3}, {12, -0.5}};
        XInputMouseSettings backend(std::move(recorded));
        QVERIFY(backend.offersPointerSpeed());
        QVERIFY(!backend.offersWheelLines());
        int speed = 0;
        QVERIFY(backend.readPointerSpeed(&speed));
        QCOMPARE(speed, 13);

        QVERIFY(backend.writePointerSpeed(4));
        QVERIFY(qAbs(property->values.value(9) + 0.6) < 1e-9);
        QVERIFY(qAbs(property->values.value(12) + 0.6) < 1e-9);

        // A pointer that refuses: the others still take it, and the write is reported as failed.
        property->failing = {9};
        QVERIFY(!backend.writePointerSpeed(18));
        QVERIFY(qAbs(property->values.value(12) - 0.8) < 1e-9);
        // The read falls back on the next pointer.
        QVERIFY(backend.readPointerSpeed(&speed));
        QCOMPARE(speed, 18);
        property->failing = {9, 12};
        speed = 0;
        QVERIFY(!backend.readPointerSpeed(&speed));
        QCOMPARE(speed, 0);

        // Without such pointers (no libinput driver) there is nothing to offer.
        property->values.clear();
        QVERIFY(!backend.offersPointerSpeed());
        QVERIFY(!backend.writePointerSpeed(10));
    }

    // The real X server of the test run: whatever its pointers, asking never fails the program.
    void xinputOnThisDisplay()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("no X display in this run");
        auto property = xinputAccelProperty();
        if (!property)
            QSKIP("the display has no XInput 2");
        XInputMouseSettings backend(std::move(property));
        int speed = 0;
        QCOMPARE(backend.readPointerSpeed(&speed), backend.offersPointerSpeed());
        if (backend.offersPointerSpeed())
            QVERIFY(speed >= 1 && speed <= 20);
    }
};

QTEST_MAIN(TestDesktopMouseSettings)
#include "tst_desktopmousesettings.moc"
