#include "app/KAppCommon.h"
#include "app/KAppModel.h"
#include "common/DeviceIds.h"
#include "common/ProgramFolders.h"
#include "sim/keyboard/SimQuenbyKeyboard.h"

#include "KeyboardWindowFixture.h"
#include "QuickTree.h"
#include "TipRecorder.h"
#include "WindowTestSupport.h"
#include "TestWait.h"

#include <QDir>
#include <QFile>
#include <QQuickItem>
#include <QQuickWindow>
#include <QStandardPaths>
#include <QtTest>

using namespace WindowTestSupport;

// The profile page as a user meets it: the real main window on the simulated keyboard; cards added, renamed,
// deleted, restored and applied through the page and its popups, with what reached the files and the keyboard
// read back.
class TestProfilePages : public QObject
{
    Q_OBJECT

private:
    KeyboardWindowFixture m_fixture;
    SimQuenbyKeyboard* m_keyboard = nullptr;
    QQuickWindow* m_window = nullptr;

    static QString folder() { return ProgramFolders::profileRoot() + "/ZEPHRA"; }
    static bool hasProfile(const QString& name) { return QFile::exists(folder() + "/" + name + ".json"); }
    static bool hasPicture(const QString& name) { return QFile::exists(folder() + "/" + name + ".png"); }

    QObject* page() const { return findObject(m_window, "page1"); }
    QObject* popup(const QString& type) const { return findOfType(m_window, type); }
    void click(QQuickItem* item) { clickItem(m_window, item); }

    void showPage()
    {
        QVERIFY(QMetaObject::invokeMethod(m_window, "updatewindow", Q_ARG(QVariant, 1)));
        WAIT_VERIFY(findItem(m_window, "page1")->isVisible());
    }

    QQuickItem* card(const QString& name) const { return findItem(m_window, "card_" + name); }

    void clickCardButton(const QString& name, const QString& button)
    {
        QQuickItem* c = nullptr;
        WAIT_VERIFY((c = card(name)) != nullptr);
        click(findItem(c, button));
    }

    // Types into the focused field as the user does (the field's validator sees every key).
    void type(const QString& text)
    {
        QTest::keyClick(m_window, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(m_window, Qt::Key_Backspace);
        for (const QChar c : text)
            QTest::keyClick(m_window, c.toLatin1());
    }

    void addProfile(const QString& name)
    {
        showPage();
        QQuickItem* add = nullptr;
        WAIT_VERIFY((add = findItem(m_window, "addCard")) != nullptr);
        click(findItem(add, "cardArea"));
        QObject* dialog = popup("HAddConfig");
        WAIT_VERIFY(dialog->property("visible").toBool());
        click(findItem(dialog->property("contentItem").value<QQuickItem*>(), "nameField"));
        type(name);
        QTest::keyClick(m_window, Qt::Key_Return);
    }

    void closePopups()
    {
        for (const char* type : {"HAddConfig", "HEditConfig", "HDeleteConfig", "HRestoreConfig"})
            QMetaObject::invokeMethod(popup(type), "close");
    }

    void waitIdle() { WAIT_VERIFY(!isShown(m_window, "HLoadDialog_new")); }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        // Each run starts from the profiles the program makes for itself.
        // The folders are the program's once the application has its name, which the program gives it at start.
        QCoreApplication::setApplicationName(KAppCommon::instance()->getAppName());
        QDir(ProgramFolders::profileRoot()).removeRecursively();
        m_window = m_fixture.start(DeviceIds::kKeyboardWired);
        QVERIFY(m_window);
        m_keyboard = m_fixture.keyboard();
        WAIT_VERIFY(hasProfile("Default configuration"));
    }

    void cleanupTestCase()
    {
        m_window = nullptr;
        const QStringList faults = m_fixture.stop();
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    void cleanup()
    {
        closePopups();
        QVERIFY2(m_fixture.faults().isEmpty(), qPrintable(m_fixture.faults().join('\n')));
    }

    // The current profile's card is marked; "+" adds a profile with its picture.
    void addsAProfile()
    {
        showPage();
        QQuickItem* current = nullptr;
        WAIT_VERIFY((current = card("Default configuration")) != nullptr);
        WAIT_VERIFY(findItem(current, "currentMark")->isVisible());

        addProfile("Gaming");
        WAIT_VERIFY(hasProfile("Gaming"));
        QVERIFY(hasPicture("Gaming"));
        WAIT_VERIFY(card("Gaming") != nullptr);
        QVERIFY(!findItem(card("Gaming"), "currentMark")->isVisible());
        QVERIFY(!popup("HAddConfig")->property("visible").toBool());
    }

    // A new name that is empty or taken is refused with a tip; characters that cannot be in a file name, and a
    // leading space, cannot be typed.
    void addRefusesBadNames_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("tip");
        QTest::newRow("empty") << "" << "The profile name cannot be empty";
        QTest::newRow("taken") << "Gaming" << "The profile name cannot be the same";
        QTest::newRow("leading space") << " " << "The profile name cannot be empty";
    }

    void addRefusesBadNames()
    {
        QFETCH(QString, typed);
        QFETCH(QString, tip);
        const QStringList before = QDir(folder()).entryList(QDir::Files);
        TipRecorder tips;
        addProfile(typed);
        QVERIFY(tips.waitFor(tip));
        QVERIFY(popup("HAddConfig")->property("visible").toBool());
        QCOMPARE(QDir(folder()).entryList(QDir::Files), before);
    }

    void forbiddenCharactersAreLeftOut()
    {
        addProfile("a:b/c#d");
        WAIT_VERIFY(hasProfile("abcd"));
        QVERIFY(hasPicture("abcd"));
    }

    // A rename to an empty or taken name keeps the old one; a good name moves the profile and its picture.
    void renames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("tip");
        // (A tip the same as the one before it is shown once: the rows alternate.)
        QTest::newRow("taken") << "Default configuration" << "The profile name cannot be the same";
        QTest::newRow("empty") << "" << "The profile name cannot be empty";
        QTest::newRow("new") << "Work" << "";
    }

    void renames()
    {
        QFETCH(QString, name);
        QFETCH(QString, tip);
        TipRecorder tips;
        showPage();
        clickCardButton("abcd", "editBtn");
        QObject* dialog = popup("HEditConfig");
        WAIT_VERIFY(dialog->property("visible").toBool());
        QCOMPARE(dialog->property("mName").toString(), QString("abcd"));
        type(name);
        QTest::keyClick(m_window, Qt::Key_Return);
        if (tip.isEmpty()) {
            WAIT_VERIFY(hasProfile(name));
            QVERIFY(hasPicture(name));
            QVERIFY(!hasProfile("abcd"));
            QVERIFY(!hasPicture("abcd"));
            WAIT_VERIFY(card(name) != nullptr);
            // The default stays current.
            QCOMPARE(KAppModel::instance()->getConfigPath(), QString("Default configuration.json"));
        } else {
            QVERIFY(tips.waitFor(tip));
            QVERIFY(hasProfile("abcd"));
        }
    }

    // Renaming the current profile keeps it current under its new name.
    void renamingTheCurrentFollows()
    {
        addProfile("Current one");
        WAIT_VERIFY(card("Current one") != nullptr);
        click(findItem(card("Current one"), "cardArea"));
        WAIT_COMPARE(KAppModel::instance()->getConfigPath(), QString("Current one.json"));
        waitIdle();
        clickCardButton("Current one", "editBtn");
        WAIT_VERIFY(popup("HEditConfig")->property("visible").toBool());
        // Another picture on the way.
        click(findItem(popup("HEditConfig")->property("contentItem").value<QQuickItem*>(), "another"));
        click(findItem(popup("HEditConfig")->property("contentItem").value<QQuickItem*>(), "nameField"));
        type("Renamed current");
        QTest::keyClick(m_window, Qt::Key_Return);
        WAIT_COMPARE(KAppModel::instance()->getConfigPath(), QString("Renamed current.json"));
        QVERIFY(hasProfile("Renamed current"));
        QVERIFY(hasPicture("Renamed current"));
        QVERIFY(!hasProfile("Current one"));
        WAIT_VERIFY(findItem(card("Renamed current"), "currentMark")->isVisible());
    }

    // A click on a card applies its profile to the keyboard and makes it current.
    void appliesAProfile()
    {
        waitIdle();
        // The keyboard drifts from its factory keys; "Work" was made from the factory profile.
        SimQuenbyKeyboard factory;
        m_keyboard->setKeyFunctionAt(0, SimQuenbyKeyboard::defaultKeyFunctionAt(1));
        QVERIFY(m_keyboard->keyFunctions() != factory.keyFunctions());
        showPage();
        click(findItem(card("Work"), "cardArea"));
        WAIT_COMPARE(KAppModel::instance()->getConfigPath(), QString("Work.json"));
        waitIdle();
        WAIT_COMPARE(m_keyboard->keyFunctions(), factory.keyFunctions());
        WAIT_VERIFY(findItem(card("Work"), "currentMark")->isVisible());
        QCOMPARE(findObject(m_window, "page1")->property("mCurrentConfig").toString(), QString("Work.json"));
    }

    // Deleting the current profile is refused with a tip; any other goes with its picture.
    void deletes()
    {
        TipRecorder tips;
        showPage();
        clickCardButton("Work", "deleteBtn");
        QObject* dialog = popup("HDeleteConfig");
        WAIT_VERIFY(dialog->property("visible").toBool());
        click(findItem(dialog->property("contentItem").value<QQuickItem*>(), "ok"));
        QVERIFY(tips.waitFor("The current configuration cannot be deleted"));
        QVERIFY(hasProfile("Work"));
        QVERIFY(card("Work"));

        clickCardButton("Renamed current", "deleteBtn");
        WAIT_VERIFY(dialog->property("visible").toBool());
        // Cancel leaves it.
        click(findItem(dialog->property("contentItem").value<QQuickItem*>(), "cancel"));
        WAIT_VERIFY(!dialog->property("visible").toBool());
        QVERIFY(hasProfile("Renamed current"));

        clickCardButton("Renamed current", "deleteBtn");
        WAIT_VERIFY(dialog->property("visible").toBool());
        click(findItem(dialog->property("contentItem").value<QQuickItem*>(), "ok"));
        WAIT_VERIFY(!hasProfile("Renamed current"));
        QVERIFY(!hasPicture("Renamed current"));
        WAIT_VERIFY(card("Renamed current") == nullptr);
        QVERIFY(card("Work"));
    }

    // Restore puts the factory keys on the keyboard.
    void restores()
    {
        waitIdle();
        SimQuenbyKeyboard factory;
        m_keyboard->setKeyFunctionAt(0, SimQuenbyKeyboard::defaultKeyFunctionAt(1));
        TipRecorder tips;
        showPage();
        clickCardButton("Work", "restoreBtn");
        QObject* dialog = popup("HRestoreConfig");
        WAIT_VERIFY(dialog->property("visible").toBool());
        click(findItem(dialog->property("contentItem").value<QQuickItem*>(), "ok"));
        waitIdle();
        WAIT_COMPARE(m_keyboard->keyFunctions(), factory.keyFunctions());
        QVERIFY(tips.waitFor("Factory settings restored successfully"));
        QVERIFY(hasProfile("Work"));
    }
};

QTEST_MAIN(TestProfilePages)
#include "tst_profilepages.moc"
