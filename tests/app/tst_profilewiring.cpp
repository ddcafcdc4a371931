#include "app/KAppCommon.h"
#include "app/KAppModel.h"
#include "common/DeviceIds.h"
#include "common/ProgramFolders.h"
#include "hid/KDeviceController.h"

#include "KeyboardWindowFixture.h"
#include "WindowTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace WindowTestSupport;

namespace {

// A run of the program is one process: the test starts this program again with CORVANE_WIRING_STEP naming
// what the run does, in a home folder the runs share (settings and profiles stay between them, as they do
// between two starts of the program). Each run writes what it saw to CORVANE_WIRING_RESULT.
const char* const kStepVariable = "CORVANE_WIRING_STEP";
const char* const kResultVariable = "CORVANE_WIRING_RESULT";

const QString kMine = QStringLiteral("Mine");
const QString kDefault = QStringLiteral("Default configuration");

QString profileFolder() { return ProgramFolders::profileRoot() + QStringLiteral("/ZEPHRA"); }

// The profile the settings file keeps for a product id ("" when none).
QString rememberedProfile(int pid)
{
    QSettings ini(KAppCommon::instance()->getAppConfigPath(), QSettings::IniFormat);
    ini.setIniCodec("UTF-8");
    QString path;
    const int size = ini.beginReadArray(QStringLiteral("Equipment"));
    for (int i = 0; i < size; ++i) {
        ini.setArrayIndex(i);
        if (ini.value(QStringLiteral("pid")).toInt() == pid)
            path = ini.value(QStringLiteral("path")).toString();
    }
    ini.endArray();
    return path;
}

// One start of the program on the simulated keyboard: the real application manager, settings file, device
// controller and main window. Returns what the run saw; "error" names what went wrong.
QJsonObject runProgram(const QByteArray& step)
{
    QJsonObject seen;
    auto fail = [&seen](const QString& what) {
        seen.insert(QStringLiteral("error"), what);
        return seen;
    };
    QStandardPaths::setTestModeEnabled(true);
    // The paths the device was compared with, as the controller hands them to the profile controller.
    QObject context;
    QStringList comparedPaths;
    QObject::connect(KDeviceController::instance(), &KDeviceController::deviceChanedFinished, &context,
                     [&comparedPaths](QString& path) { comparedPaths << path; });
    KeyboardWindowFixture fixture;
    QQuickWindow* window = fixture.start(DeviceIds::kKeyboardWired);
    if (!window)
        return fail(QStringLiteral("the program did not start"));
    auto idle = [window] {
        return QTest::qWaitFor([window] { return !isShown(window, QStringLiteral("HLoadDialog_new")); }, 20000);
    };
    if (!QTest::qWaitFor([] { return !KAppModel::instance()->getConfigPath().isEmpty(); }, 20000) || !idle())
        return fail(QStringLiteral("no profile became current"));
    seen.insert(QStringLiteral("current"), KAppModel::instance()->getConfigPath());
    seen.insert(QStringLiteral("compared"), comparedPaths.join(QLatin1Char('\n')));

    if (step == "choose") {
        // The profile page: "+" makes "Mine", a click on its card applies it and makes it current.
        if (!QMetaObject::invokeMethod(window, "updatewindow", Q_ARG(QVariant, 1)))
            return fail(QStringLiteral("no profile page"));
        QQuickItem* add = nullptr;
        if (!QTest::qWaitFor([&] { return (add = findItem(window, QStringLiteral("addCard"))) != nullptr; }, 10000))
            return fail(QStringLiteral("no add card"));
        clickItem(window, findItem(add, QStringLiteral("cardArea")));
        QObject* dialog = findOfType(window, QStringLiteral("HAddConfig"));
        if (!dialog || !QTest::qWaitFor([dialog] { return dialog->property("visible").toBool(); }, 10000))
            return fail(QStringLiteral("no add dialog"));
        clickItem(window, findItem(dialog->property("contentItem").value<QQuickItem*>(), QStringLiteral("nameField")));
        for (const QChar c : kMine)
            QTest::keyClick(window, c.toLatin1());
        QTest::keyClick(window, Qt::Key_Return);
        QQuickItem* card = nullptr;
        if (!QTest::qWaitFor([&] { return (card = findItem(window, QStringLiteral("card_") + kMine)) != nullptr; },
                             10000))
            return fail(QStringLiteral("no card for the new profile"));
        clickItem(window, findItem(card, QStringLiteral("cardArea")));
        if (!QTest::qWaitFor([] { return KAppModel::instance()->getConfigPath() == kMine + ".json"; }, 10000)
            || !idle())
            return fail(QStringLiteral("the chosen profile did not become current"));
        seen.insert(QStringLiteral("chosen"), KAppModel::instance()->getConfigPath());
    }
    seen.insert(QStringLiteral("remembered"), rememberedProfile(DeviceIds::kKeyboardWired));
    const QStringList faults = fixture.stop();
    if (!faults.isEmpty())
        return fail(faults.join(QLatin1Char('\n')));
    // What the settings file holds once the program has quit.
    seen.insert(QStringLiteral("rememberedAfterQuit"), rememberedProfile(DeviceIds::kKeyboardWired));
    return seen;
}

} // namespace

// The profile the user chose for a device is the one the program takes at its next start: chosen through the
// profile page, the program quit and started again (a new process, as a user does it), the profile is current,
// the device is compared with it, and the settings keep it.
class TestProfileWiring : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_home;

    QJsonObject start(const QByteArray& step)
    {
        const QString result = m_home.filePath(QString::fromLatin1(step) + ".json");
        QFile::remove(result);
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", m_home.path());
        env.insert("XDG_CONFIG_HOME", m_home.filePath(".config"));
        env.insert("XDG_DATA_HOME", m_home.filePath(".local/share"));
        env.insert("TMPDIR", m_home.filePath("tmp"));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("QT_QUICK_BACKEND", "software");
        env.remove("CORVANE_SIMULATE");
        env.insert(kStepVariable, QString::fromLatin1(step));
        env.insert(kResultVariable, result);
        QDir().mkpath(m_home.filePath("tmp"));
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.setStandardOutputFile(m_home.filePath(QString::fromLatin1(step) + ".log"));
        program.start(QCoreApplication::applicationFilePath(), QStringList());
        if (!program.waitForFinished(180000)) {
            program.kill();
            program.waitForFinished();
            return QJsonObject{{"error", "the program did not end"}};
        }
        QFile file(result);
        if (!file.open(QIODevice::ReadOnly))
            return QJsonObject{{"error", QString("the program wrote no result (exit %1)").arg(program.exitCode())}};
        return QJsonDocument::fromJson(file.readAll()).object();
    }

private slots:
    void initTestCase() { QVERIFY(m_home.isValid()); }

    void chosenProfileSurvivesARestart()
    {
        const QJsonObject first = start("choose");
        QVERIFY2(!first.contains("error"), qPrintable(first.value("error").toString()));
        // A first start knows no profile for the keyboard: the default is made and used.
        QCOMPARE(first.value("current").toString(), kDefault + ".json");
        QCOMPARE(first.value("chosen").toString(), kMine + ".json");
        QCOMPARE(first.value("remembered").toString(), kMine + ".json");
        QCOMPARE(first.value("rememberedAfterQuit").toString(), kMine + ".json");

        const QJsonObject second = start("restart");
        QVERIFY2(!second.contains("error"), qPrintable(second.value("error").toString()));
        QCOMPARE(second.value("current").toString(), kMine + ".json");
        // The keyboard was compared with the chosen profile, not with the default.
        const QStringList compared = second.value("compared").toString().split('\n', Qt::SkipEmptyParts);
        QCOMPARE(compared.size(), 1);
        QVERIFY2(compared.first().endsWith("/ZEPHRA/" + kMine + ".json"), qPrintable(compared.first()));
        QCOMPARE(second.value("rememberedAfterQuit").toString(), kMine + ".json");

        // And a third start still takes it: the second one did not overwrite the record.
        const QJsonObject third = start("restart");
        QVERIFY2(!third.contains("error"), qPrintable(third.value("error").toString()));
        QCOMPARE(third.value("current").toString(), kMine + ".json");
    }
};

int main(int argc, char* argv[])
{
    const QByteArray step = qgetenv(kStepVariable);
    if (!step.isEmpty()) {
        QApplication app(argc, argv);
        const QJsonObject seen = runProgram(step);
        QFile result(QString::fromLocal8Bit(qgetenv(kResultVariable)));
        if (!result.open(QIODevice::WriteOnly))
            return 2;
        result.write(QJsonDocument(seen).toJson());
        return seen.contains(QStringLiteral("error")) ? 1 : 0;
    }
    QApplication app(argc, argv);
    TestProfileWiring test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_profilewiring.moc"
