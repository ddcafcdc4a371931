#include "SimBusFixture.h"
#include "hid/KDeviceWatcher.h"
#include "hid/khid/KHIDWatcher.h"
#include "TestWait.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

struct TestDevice {
    const char* alias;
    quint16 vendorId;
    quint16 productId;
    int interfaceNumber;
    int collections;
};

// The keyboard's vendor interface has two collections, so its paths end in col01 and col02.
constexpr TestDevice kDevices[] = {
    {"kb", 0x3A7E, 0x5C21, 1, 2},
    {"kbw", 0x3A7E, 0x5C22, -1, 1},
    {"rcv", 0x3A7E, 0x7E01, -1, 1},    // ours, but no model the watch knows
    {"alien", 0x4D2E, 0x5C21, -1, 1},  // another vendor that happens to use the same product id
};

// The bus posts its events; drop what earlier tests left queued.
void flushPostedEvents()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

// Plays device events on the simulated bus and records what the watch announces.
class WatchRun
{
public:
    WatchRun()
    {
        flushPostedEvents();
        QObject::connect(&watcher, &KDeviceWatcher::equipmentChanged, [this](QMap<int, QString> map, bool status) {
            QStringList entries;
            for (auto it = map.cbegin(); it != map.cend(); ++it)
                entries << QStringLiteral("%1=%2").arg(QString::number(it.key(), 16), aliasOf(it.value()));
            events << QLatin1String(status ? "+ " : "- ") + entries.join(QLatin1Char(' '));
        });
    }

    void step(const QString& command)
    {
        const QString verb = command.section(QLatin1Char(' '), 0, 0);
        const QString arg = command.section(QLatin1Char(' '), 1);
        if (verb == QLatin1String("plug")) {
            for (const TestDevice& d : kDevices) {
                if (arg == QLatin1String(d.alias))
                    plug(d);
            }
        } else if (verb == QLatin1String("unplug")) {
            bus->unplug(ids.value(arg));
        } else if (verb == QLatin1String("open")) {
            watcher.setCurrentPid(arg.toInt(nullptr, 16));
        } else if (verb == QLatin1String("raw-add") || verb == QLatin1String("raw-remove")) {
            // A path the bus cannot produce, delivered as the system would.
            QMetaObject::invokeMethod(&watcher, "slot_equipmentChanged", Q_ARG(bool, verb == QLatin1String("raw-add")),
                                      Q_ARG(QString, arg));
        } else if (verb == QLatin1String("unwatch")) {
            watcher.unregisterWatch();
        } else if (verb == QLatin1String("clear")) {
            events.clear();
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown step ") + command));
        }
        flushPostedEvents();
    }

    QString aliasOf(const QString& path) const { return aliases.value(path, path); }

    SimBusFixture bus;
    KDeviceWatcher watcher;
    QStringList events;

private:
    void plug(const TestDevice& d)
    {
        QList<SimCollection> collections;
        QList<SimResponder*> responders;
        for (int i = 0; i < d.collections; ++i) {
            collections << SimCollection::make(0xFF00, quint16(i + 1), 65, 65, 0);
            responders << nullptr;
        }
        const int id = bus.plug(collections, responders, d.vendorId, d.productId, d.interfaceNumber);
        ids.insert(QLatin1String(d.alias), id);
        const QStringList paths = bus->paths(id);
        for (int i = 0; i < paths.size(); ++i)
            aliases.insert(paths[i], paths.size() > 1 ? QStringLiteral("%1.%2").arg(QLatin1String(d.alias)).arg(i + 1)
                                                      : QLatin1String(d.alias));
    }

    QHash<QString, int> ids;
    QHash<QString, QString> aliases;
};

} // namespace

class TestDeviceWatcher : public QObject
{
    Q_OBJECT
private slots:
    void eventSequences_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("currentPid");
        QTest::addColumn<QStringList>("logs");  // debug lines that must appear

        // Each arrival of any interface re-announces everything present, also what was announced before.
        QTest::newRow("arrival re-announces the map")
            << QStringList{"plug kb", "plug kbw"}
            << QStringList{"+ 5c21=kb.2", "+ 5c21=kb.2", "+ 5c21=kb.2 5c22=kbw"} << 0 << QStringList{};
        QTest::newRow("other vendor or unknown product")
            << QStringList{"plug alien", "plug rcv", "unplug rcv", "unplug alien"} << QStringList{} << 0
            << QStringList{};
        // The open device's removal carries its removal path; the devices still present are offered again.
        // The keyboard's second collection then names nothing in the map any more.
        QTest::newRow("removal of the open device")
            << QStringList{"plug kb", "plug kbw", "open 5c21", "clear", "unplug kb"}
            << QStringList{"- 5c21=kb.1", "+ 5c22=kbw"} << 0 << QStringList{"[Info] remove 5c21 ZEPHRA"};
        QTest::newRow("removal with nothing open")
            << QStringList{"plug kb", "plug kbw", "clear", "unplug kbw", "unplug kb"}
            << QStringList{"- 5c22=kbw", "- 5c21=kb.2"} << 0 << QStringList{};
        QTest::newRow("removal of another device keeps the open one")
            << QStringList{"plug kb", "plug kbw", "open 5c21", "clear", "unplug kbw"}
            << QStringList{"- 5c22=kbw"} << 0x5C21 << QStringList{"[INFO] remove 5c22 ZEPHRA_WIRELESS"};
        // A path without vid_/pid_ tokens is searched as text; of two entries it names, the lowest wins.
        QTest::newRow("removal matching two entries")
            << QStringList{"plug kb", "plug kbw", "clear", "raw-remove \\\\?\\usb#3a7e#5c22+5c21#0"}
            << QStringList{"- 5c21=kb.2"} << 0 << QStringList{};
        // The open keyboard's product id appears in the instance part of a receiver's path: not a match.
        QTest::newRow("look-alike product id")
            << QStringList{"plug kb", "open 5c21", "clear", "raw-remove \\\\?\\hid#vid_3a7e&pid_7e01&mi_00#7&5c21a0b&0&0000"}
            << QStringList{} << 0x5C21 << QStringList{};
        QTest::newRow("look-alike vendor id")
            << QStringList{"plug kb", "clear", "raw-add \\\\?\\hid#vid_4d2e&pid_1001#7&3a7e5c21&0&0000",
                           "raw-remove \\\\?\\hid#vid_4d2e&pid_5c21#7&3a7e00&0&0000"}
            << QStringList{} << 0 << QStringList{};
        QTest::newRow("no events once unregistered")
            << QStringList{"unwatch", "plug kb", "unplug kb"} << QStringList{} << 0 << QStringList{};
    }

    void eventSequences()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, expected);
        QFETCH(int, currentPid);
        QFETCH(QStringList, logs);

        for (const QString& line : qAsConst(logs))
            QTest::ignoreMessage(QtDebugMsg, qPrintable(line));
        WatchRun run;
        QVERIFY(run.watcher.registerWatch());
        for (const QString& s : qAsConst(steps))
            run.step(s);
        QCOMPARE(run.events, expected);
        QCOMPARE(run.watcher.currentPid(), currentPid);
    }

    void startupScan()
    {
        WatchRun run;
        QVERIFY(!run.watcher.enumerateDevices());
        run.step(QStringLiteral("plug rcv"));
        QVERIFY(!run.watcher.enumerateDevices());
        run.step(QStringLiteral("plug kb"));
        run.step(QStringLiteral("plug kbw"));
        QVERIFY(run.events.isEmpty());  // not registered: nothing but the scan speaks

        QVERIFY(run.watcher.enumerateDevices());
        QCOMPARE(run.events, QStringList{"+ 5c21=kb.2 5c22=kbw"});

        run.events.clear();
        run.watcher.setCurrentPid(0x5C21);
        QVERIFY(run.watcher.enumerateDevices());
        QVERIFY(run.events.isEmpty());
    }

    void registration()
    {
        SimBusFixture bus;
        flushPostedEvents();
        KHID::KHIDWatcher watcher;
        QVERIFY(!watcher.isRegistered());
        QVERIFY(watcher.registerDeviceNotify());
        QVERIFY(watcher.registerDeviceNotify());  // a second registration must not double the events
        QVERIFY(watcher.isRegistered());
        QSignalSpy spy(&watcher, &KHID::KHIDWatcher::sigHIDDeviceChange);
        const int id = bus.plug({SimCollection::make(0xFF00, 1, 65, 65, 0)}, {nullptr}, 0x3A7E, 0x5C21);
        bus->unplug(id);
        WAIT_COMPARE(spy.size(), 2);
        QCOMPARE(spy.at(0).at(0).toBool(), true);
        QCOMPARE(spy.at(1).at(0).toBool(), false);
        QCOMPARE(spy.at(0).at(1).toString(), spy.at(1).at(1).toString());
        watcher.unregisterDeviceNotify();
        QVERIFY(!watcher.isRegistered());
    }

    // The older single-device path: nothing fills its lists, so an arrival opens nothing, and the removal
    // of the device the controller opened reports it and clears the current pid.
    void olderSingleDevicePath()
    {
        WatchRun run;
        QSignalSpy changed(&run.watcher, &KDeviceWatcher::deviceChanged);
        run.step(QStringLiteral("plug kb"));
        const QString kbPath = run.bus->paths(run.bus->deviceIds().first()).first();
        QMetaObject::invokeMethod(&run.watcher, "slot_deviceChanged", Q_ARG(bool, true), Q_ARG(QString, kbPath));
        QCOMPARE(changed.size(), 0);
        QCOMPARE(run.watcher.currentPid(), 0);

        run.watcher.setCurrentPid(0x5C21);
        QMetaObject::invokeMethod(&run.watcher, "slot_deviceChanged", Q_ARG(bool, false),
                                  Q_ARG(QString, QStringLiteral("\\\\?\\hid#vid_3a7e&pid_7e01#5c21")));
        QCOMPARE(changed.size(), 0);
        QMetaObject::invokeMethod(&run.watcher, "slot_deviceChanged", Q_ARG(bool, false), Q_ARG(QString, kbPath));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.at(0).at(0).toInt(), 0x5C21);
        QCOMPARE(changed.at(0).at(1).toBool(), false);
        QCOMPARE(run.watcher.currentPid(), 0);
    }
};

QTEST_GUILESS_MAIN(TestDeviceWatcher)
#include "tst_devicewatcher.moc"
