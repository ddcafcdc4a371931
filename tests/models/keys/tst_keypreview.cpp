#include "LogCapture.h"
#include "QuenbyKeyboardFixture.h"
#include "RecordingServices.h"
#include "TestWait.h"

#include "models/device/KImageModel.h"
#include "models/keys/HKey.h"
#include "models/keys/KKeyModel.h"
#include "models/keys/KKeyModelItem.h"
#include "models/keys/KeyboardHook.h"
#include "platform/input/NativeKeyTable.h"

#include <QDirIterator>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QWindow>
#include <QtTest>

#include <memory>

namespace {

// A window of the program that counts the key events it receives, so a test sees that none was held back.
class CountingWindow : public QWindow
{
public:
    int received = 0;

protected:
    void keyPressEvent(QKeyEvent*) override { ++received; }
    void keyReleaseEvent(QKeyEvent*) override { ++received; }
};

// Sends native key events to the window, written as "d30 r30 x30 u30": d press, r auto-repeated press,
// x the release Qt puts between auto-repeated presses, u release; the number is the kernel's key code.
// Returns how many events were sent.
int sendKeys(QWindow* window, const QString& script)
{
    int sent = 0;
    for (const QString& step : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QChar kind = step.at(0);
        const quint32 code = step.mid(1).toUInt();
        const bool press = kind == QLatin1Char('d') || kind == QLatin1Char('r');
        const bool repeat = kind == QLatin1Char('r') || kind == QLatin1Char('x');
        QKeyEvent event(press ? QEvent::KeyPress : QEvent::KeyRelease, 0, Qt::NoModifier,
                        code + NativeKeyTable::kXkbOffset, 0, 0, QString(), repeat);
        QCoreApplication::sendEvent(window, &event);
        ++sent;
    }
    return sent;
}

// The kernel key code of a key by its Windows codes, through the table in the other direction.
quint32 eventCodeOf(int scanCode, bool extended, int vkCode)
{
    for (quint32 code = 1; code < 256; ++code) {
        const WindowsKeyCode key = NativeKeyTable::fromEventCode(code);
        if (key.vkCode == vkCode && key.extended == extended && key.scanCode == scanCode)
            return code;
    }
    return 0;
}

} // namespace

// The key-press preview: native key events of the program's window through the platform's event source and
// the hook procedure to the key model, which lights the keys that still have their factory function.
class TestKeyPreview : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<CountingWindow> window;
    QStringList reported;

    // A window of ours, in the foreground when active is true; the hook's tracking starts afresh.
    void openWindow(bool active)
    {
        window = std::make_unique<CountingWindow>();
        if (!active) {
            QVERIFY(!QGuiApplication::focusWindow());
            return;
        }
        window->show();
        window->requestActivate();
        QVERIFY(QTest::qWaitForWindowActive(window.get(), TestWait::kBoundMs));
        // A release ends whatever an earlier test left held.
        KeyboardHook hook;
        QVERIFY(hook.installKeyboardHook());
        sendKeys(window.get(), "u1");
        hook.uninstallKeyboardHook();
        window->received = 0;
    }

private slots:
    void cleanup()
    {
        KeyboardHook().uninstallKeyboardHook();
        KeyboardHook::callback() = nullptr;
        window.reset();
        reported.clear();
    }

    // Every key the layout documents name is known to the table with the same codes.
    void layoutKeysAreInTheTable()
    {
        int keys = 0;
        QDirIterator files(QStringLiteral(CORVANE_SOURCE_DIR "/resources"), {"*Layout.json"}, QDir::Files,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QFile file(files.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            QByteArray bytes = file.readAll();
            if (bytes.startsWith("\xEF\xBB\xBF"))
                bytes.remove(0, 3);
            const QJsonArray buttons =
                QJsonDocument::fromJson(bytes).object().value("key").toObject().value("keyBtn").toArray();
            for (const QJsonValue& value : buttons) {
                const QJsonObject button = value.toObject();
                const int vkCode = button.value("vkCode").toInt();
                if (vkCode == 0)
                    continue; // Fn: the keyboard keeps it to itself
                ++keys;
                QVERIFY2(eventCodeOf(button.value("scanCode").toInt(), button.value("extended").toBool(), vkCode),
                         qPrintable(file.fileName() + ": " + button.value("name").toString()));
            }
        }
        QVERIFY(keys > 80);
        QCOMPARE(NativeKeyTable::fromNativeScanCode(3).vkCode, 0);
        QCOMPARE(NativeKeyTable::fromEventCode(0).vkCode, 0);
    }

    void hookProcedure_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<bool>("active");
        QTest::addColumn<QString>("calls"); // "vk:scan:extended:down:repeat", one per reported event

        QTest::newRow("press and release") << "d1 u1" << true << "27:1:0:1:0 27:1:0:0:0";
        QTest::newRow("held key repeats") << "d30 r30 x30 r30 u30" << true
                                          << "65:30:0:1:0 65:30:0:1:1 65:30:0:1:1 65:30:0:0:0";
        QTest::newRow("the next press starts afresh") << "d30 u30 d30" << true
                                                      << "65:30:0:1:0 65:30:0:0:0 65:30:0:1:0";
        QTest::newRow("another key ends the repeat") << "d30 d48 r48" << true
                                                     << "65:30:0:1:0 66:48:0:1:0 66:48:0:1:1";
        QTest::newRow("right and left ctrl") << "d97 u97 d29" << true
                                             << "163:29:1:1:0 163:29:1:0:0 162:29:0:1:0";
        QTest::newRow("print screen, pause, right shift") << "d99 d119 d54" << true
                                                          << "44:55:1:1:0 19:69:0:1:0 161:54:1:1:0";
        QTest::newRow("codes the table does not know") << "d0 d240 u240" << true << "";
        QTest::newRow("no window of ours in front") << "d1 r1 u1" << false << "";
    }

    void hookProcedure()
    {
        QFETCH(QString, keys);
        QFETCH(bool, active);
        QFETCH(QString, calls);

        openWindow(active);
        KeyboardHook hook;
        QVERIFY(hook.installKeyboardHook());
        KeyboardHook::callback() = [this](int vk, int scan, bool extended, bool down, bool repeat) {
            reported << QStringLiteral("%1:%2:%3:%4:%5").arg(vk).arg(scan).arg(extended).arg(down).arg(repeat);
        };

        const int sent = sendKeys(window.get(), keys);
        QCOMPARE(reported.join(' '), calls);
        QCOMPARE(window->received, sent);
    }

    void preview_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<bool>("active");
        QTest::addColumn<int>("remapped"); // a key given another function first; -1 none
        QTest::addColumn<QList<int>>("lit"); // keys shown pressed at the end
        QTest::addColumn<bool>("refused");   // "error pressDown" logged

        QTest::newRow("press lights the key") << "d1" << true << -1 << QList<int>{14} << false;
        QTest::newRow("release clears it") << "d1 u1" << true << -1 << QList<int>{} << false;
        QTest::newRow("held key stays lit") << "d30 r30 x30 r30" << true << -1 << QList<int>{25} << false;
        QTest::newRow("right ctrl") << "d97" << true << -1 << QList<int>{115} << false;
        QTest::newRow("left ctrl") << "d29" << true << -1 << QList<int>{19} << false;
        QTest::newRow("two keys") << "d42 d54 u42" << true << -1 << QList<int>{122} << false;
        QTest::newRow("remapped key stays dark") << "d1" << true << 14 << QList<int>{} << true;
        QTest::newRow("others still light") << "d30" << true << 14 << QList<int>{25} << false;
        QTest::newRow("key not on the keyboard") << "d69" << true << -1 << QList<int>{} << false;
        QTest::newRow("no window of ours in front") << "d1" << false << -1 << QList<int>{} << false;
    }

    void preview()
    {
        QFETCH(QString, keys);
        QFETCH(bool, active);
        QFETCH(int, remapped);
        QFETCH(QList<int>, lit);
        QFETCH(bool, refused);

        RecordingServices services;
        KImageModel image;
        services.setImageModel(&image);
        QuenbyKeyboardFixture keyboard;
        QVERIFY(keyboard.openDevice());
        KKeyModel model;
        model.deviceDataChange();
        const QVariantList items = model.getKeyList();
        const QVariantList pressed = model.getKeyValueList();
        QCOMPARE(pressed.size(), items.size());
        // Every key as it comes from the factory, but the remapped one.
        for (const QVariant& value : items) {
            auto* item = value.value<KKeyModelItem*>();
            const int factory = model.getOrginFuncMap().value(QString::number(item->getKey())).toInt();
            item->setType(item->getKey() == remapped ? factory + 1 : factory);
        }

        openWindow(active);
        model.installHook();
        LogCapture log;
        const int sent = sendKeys(window.get(), keys);
        QCOMPARE(window->received, sent);

        QList<int> shown;
        for (int i = 0; i < pressed.size(); ++i) {
            if (pressed.at(i).value<HKey*>()->getIsDown())
                shown << items.at(i).value<KKeyModelItem*>()->getKey();
        }
        QCOMPARE(shown, lit);
        QCOMPARE(log.contains("error pressDown"), refused);
        QVERIFY(keyboard.removeDevice());
    }

    void installAndRemove()
    {
        openWindow(true);
        // Removing a hook that is not there does nothing.
        KKeyModel idle;
        idle.unInstallHook();
        QVERIFY(!KeyboardHook::isInstalled());

        int calls = 0;
        {
            KKeyModel model;
            model.installHook();
            model.installHook(); // still one hook: each event is reported once
            QVERIFY(KeyboardHook::isInstalled());
            KeyboardHook::callback() = [&calls](int, int, bool, bool, bool) { ++calls; };
            sendKeys(window.get(), "d1 u1");
            QCOMPARE(calls, 2);
            model.unInstallHook();
            QVERIFY(!KeyboardHook::isInstalled());
            sendKeys(window.get(), "d1 u1");
            QCOMPARE(calls, 2);

            model.installHook();
            QVERIFY(KeyboardHook::isInstalled());
        }
        // The model took its hook along; the callback left behind calls no one.
        QVERIFY(!KeyboardHook::isInstalled());
        QVERIFY(KeyboardHook().installKeyboardHook());
        QCOMPARE(sendKeys(window.get(), "d1 u1"), 2);
        QCOMPARE(window->received, 6);
    }
};

QTEST_MAIN(TestKeyPreview)
#include "tst_keypreview.moc"
