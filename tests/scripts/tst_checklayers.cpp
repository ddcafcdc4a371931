#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The layer check run on small trees of its own: an include that points up is reported with its file, line
// and the layers the includer may use; includes that point down, within a layer or to files that are not
// ours pass; a folder the check does not know is reported rather than skipped.
class TestCheckLayers : public QObject
{
    Q_OBJECT

    using Files = QMap<QString, QString>;  // path below the root -> contents

    static bool write(const QString& root, const Files& files)
    {
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            const QString path = root + QLatin1Char('/') + it.key();
            QDir().mkpath(QFileInfo(path).path());
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly) || file.write(it.value().toUtf8()) < 0)
                return false;
        }
        return true;
    }

private slots:
    void check_data()
    {
        QTest::addColumn<Files>("files");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("reports");

        const Files base{
            {QStringLiteral("src/common/Ids.h"), QStringLiteral("#pragma once\n#include <QtGlobal>\n")},
            {QStringLiteral("src/platform/hid/Backend.h"), QStringLiteral("#include \"common/Ids.h\"\n")},
            {QStringLiteral("src/sim/bus/Bus.h"), QStringLiteral("#include \"platform/hid/Backend.h\"\n")},
            {QStringLiteral("src/hid/khid/Usb.h"), QStringLiteral("#include \"platform/hid/Backend.h\"\n")},
            {QStringLiteral("src/hid/Core.h"), QStringLiteral("#include \"hid/khid/Usb.h\"\n#include \"Near.h\"\n")},
            {QStringLiteral("src/hid/Near.h"), QStringLiteral("#include \"libudev.h\"\n")},
            {QStringLiteral("src/app/Main.cpp"),
             QStringLiteral("#include \"sim/bus/Bus.h\"\n#include \"hid/Core.h\"\n")},
        };
        QTest::newRow("every include points down") << base << 0 << QStringList();

        Files up = base;
        up.insert(QStringLiteral("src/platform/hid/Notify.cpp"),
                  QStringLiteral("#include \"platform/hid/Backend.h\"\n\n  #  include \"sim/bus/Bus.h\"\n"));
        QTest::newRow("platform names the simulated bus")
            << up << 1
            << QStringList{QStringLiteral("check-layers: src/platform/hid/Notify.cpp:3: platform may not include "
                                          "sim/bus/Bus.h (sim); platform may include: common")};

        Files core = base;
        core.insert(QStringLiteral("src/devices/kb/Kb.h"), QStringLiteral("#include \"hid/Core.h\"\n"));
        core.insert(QStringLiteral("src/hid/Factory.cpp"), QStringLiteral("#include \"devices/kb/Kb.h\"\n"));
        core.insert(QStringLiteral("src/hid/khid/Up.h"), QStringLiteral("#include \"hid/Core.h\"\n"));
        QTest::newRow("core names a device; the access layer names the core")
            << core << 1
            << QStringList{QStringLiteral("check-layers: src/hid/Factory.cpp:1: hid may not include devices/kb/Kb.h "
                                          "(devices); hid may include: hid/khid platform common"),
                           QStringLiteral("check-layers: src/hid/khid/Up.h:1: hid/khid may not include "
                                          "hid/Core.h (hid); hid/khid may include: platform common")};

        Files unknown = base;
        unknown.insert(QStringLiteral("src/gadgets/Gadget.h"), QStringLiteral("#include \"common/Ids.h\"\n"));
        QTest::newRow("unknown folder")
            << unknown << 1
            << QStringList{QStringLiteral("check-layers: src/gadgets/Gadget.h: the folder 'gadgets' has no entry "
                                          "in scripts/check-layers.sh")};
    }

    void check()
    {
        QFETCH(Files, files);
        QFETCH(int, exitCode);
        QFETCH(QStringList, reports);

        QTemporaryDir root;
        QVERIFY(root.isValid());
        QVERIFY(write(root.path(), files));

        QProcess script;
        script.start(QStringLiteral("bash"),
                     {QStringLiteral(CORVANE_SOURCE_DIR "/scripts/check-layers.sh"), root.path()});
        QVERIFY(script.waitForFinished(60000));
        const QStringList lines =
            QString::fromUtf8(script.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(script.exitCode(), exitCode);
        if (exitCode == 0) {
            QCOMPARE(lines, QStringList{QStringLiteral("check-layers: every include points down")});
        } else {
            QCOMPARE(lines.mid(0, lines.size() - 1), reports);
            QCOMPARE(lines.last(), QStringLiteral("check-layers: %1 forbidden include(s)").arg(reports.size()));
        }
    }
};

QTEST_GUILESS_MAIN(TestCheckLayers)
#include "tst_checklayers.moc"
