#include "TestWait.h"

#include <QtTest>

#include <QJSEngine>
#include <QQmlEngine>

#include "app/KAppManager.h"
#include "app/UIManager.h"
#include "models/keys/HKey.h"
#include "models/keys/HMacroType.h"
#include "models/keys/KKeyModelItem.h"
#include "models/keys/KMacroItem.h"
#include "models/keys/KeyMetaTypes.h"

using KeyItemMap = QMap<KKey, KKeyModelItem>;
using MacroEvents = QVector<KMacroItem>;

// Receives the value types through queued connections, as results cross from the device thread.
class Receiver : public QObject
{
    Q_OBJECT
public:
    KeyItemMap keys;
    MacroEvents events;
public slots:
    void takeKeys(const QMap<KKey, KKeyModelItem>& value) { keys = value; }
    void takeEvents(const QVector<KMacroItem>& value) { events = value; }
};

class tst_KeyModelItem : public QObject
{
    Q_OBJECT

private slots:
    // The program this test started goes before the application object does (its engine needs it).
    void cleanupTestCase() { KAppManager::instance()->shutdown(); }

    void fullConstructorText_data();
    void fullConstructorText();
    void setTypeText_data();
    void setTypeText();
    void setTypeShowsMacroName_data();
    void setTypeShowsMacroName();
    void setTypeWithoutNotify();
    void settersNotifyOnRequest();
    void copyKeepsText();
    void mapInsertReplaces();
    void queuedDelivery();
    void invokablesFromScript();
    void hKeyNotify();
};

void tst_KeyModelItem::fullConstructorText_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("txt");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty text takes the key name") << 14 << QString() << "Esc Key";
    QTest::newRow("unnamed key stays empty") << 21 << QString() << "";
    QTest::newRow("given text is kept") << 14 << "My key" << "My key";
}

void tst_KeyModelItem::fullConstructorText()
{
    QFETCH(int, key);
    QFETCH(QString, txt);
    QFETCH(QString, expected);
    KKeyModelItem item(key, 95, 1, 2, 3, 4, txt);
    QCOMPARE(item.getTxt(), expected);
    QCOMPARE(item.getKey(), key);
    QCOMPARE(item.getType(), 95);
    QCOMPARE(item.getValue1(), 1);
    QCOMPARE(item.getValue4(), 4);
}

void tst_KeyModelItem::setTypeText_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("keyText");
    QTest::addColumn<QString>("expected");

    QTest::newRow("single modifier") << 33 << "A Key" << "Shift+A Key";
    QTest::newRow("combination") << 30 << "F1 Key" << "Key combination+F1 Key";
    QTest::newRow("combination without key") << 30 << "" << "Key combination";
    QTest::newRow("Win") << 35 << "D Key" << "Win+D Key";
    QTest::newRow("first modifier combination") << 47 << "B Key" << "Ctrl+Shift+B Key";
    QTest::newRow("last modifier combination") << 57 << "C Key" << "Ctrl+Shift+Alt+Win+C Key";
    QTest::newRow("keyboard key") << 42 << "F1 Key" << "Keyboard keys F1 Key";
    QTest::newRow("keyboard key without key") << 42 << "" << "Keyboard keys ";
    QTest::newRow("macro without a name") << 29 << "A Key" << "Macro";
    QTest::newRow("common button takes no key") << 31 << "A Key" << "Common button";
    QTest::newRow("DPI cycle takes no key") << 36 << "A Key" << "DPI Cycle";
    QTest::newRow("mouse button") << 9 << "A Key" << "Left";
    QTest::newRow("disable") << -1 << "" << "Disable";
    QTest::newRow("unnamed function") << 126 << "" << "";
}

void tst_KeyModelItem::setTypeText()
{
    QFETCH(int, type);
    QFETCH(QString, keyText);
    QFETCH(QString, expected);

    KKeyModelItem item(14, 95, 0, 0, 0, 0, QString());
    QSignalSpy typeSpy(&item, &KKeyModelItem::typeChanged);
    QSignalSpy txtSpy(&item, &KKeyModelItem::txtChanged);
    item.setType(type, true, keyText);
    QCOMPARE(item.getType(), type);
    QCOMPARE(item.getTxt(), expected);
    QCOMPARE(typeSpy.count(), 1);
    QCOMPARE(txtSpy.count(), 1);
}

void tst_KeyModelItem::setTypeShowsMacroName_data()
{
    QTest::addColumn<QVector<QString>>("macros");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("expected");

    QTest::newRow("one macro") << QVector<QString>{ "Combo" } << 29 << "Combo";
    QTest::newRow("several macros") << QVector<QString>{ "/m/a.json", "b" } << 29 << "a/b";
    QTest::newRow("no macro name") << QVector<QString>{} << 29 << "Macro";
    QTest::newRow("other functions ignore it") << QVector<QString>{ "Combo" } << 33 << "Shift+A Key";
}

void tst_KeyModelItem::setTypeShowsMacroName()
{
    QFETCH(QVector<QString>, macros);
    QFETCH(int, type);
    QFETCH(QString, expected);

    QVERIFY(KAppManager::instance()->init());
    HMacroType* macroType = KAppManager::instance()->getUIManager()->getMacroType();
    QVERIFY(macroType);
    macroType->clearMacroName();
    if (!macros.isEmpty())
        QVERIFY(macroType->setMacroName(macros));

    KKeyModelItem item(25, 58, 0, 0, 0, 0, QString());
    item.setType(type, true, QStringLiteral("A Key"));
    QCOMPARE(item.getTxt(), expected);
    macroType->clearMacroName();
}

void tst_KeyModelItem::setTypeWithoutNotify()
{
    KKeyModelItem item(14, 95, 0, 0, 0, 0, QStringLiteral("Esc Key"));
    QSignalSpy typeSpy(&item, &KKeyModelItem::typeChanged);
    QSignalSpy txtSpy(&item, &KKeyModelItem::txtChanged);
    item.setType(30, false, QStringLiteral("A Key"));
    QCOMPARE(item.getType(), 30);
    QCOMPARE(item.getTxt(), QStringLiteral("Esc Key"));
    QCOMPARE(typeSpy.count(), 0);
    QCOMPARE(txtSpy.count(), 0);

    // A QML write goes through the property and therefore never notifies either.
    QVERIFY(item.setProperty("type", 33));
    QCOMPARE(item.getType(), 33);
    QCOMPARE(typeSpy.count(), 0);
    QCOMPARE(item.getTxt(), QStringLiteral("Esc Key"));
}

void tst_KeyModelItem::settersNotifyOnRequest()
{
    KKeyModelItem item;
    QSignalSpy spy(&item, &KKeyModelItem::value2Changed);
    item.setValue2(7, false);
    QCOMPARE(spy.count(), 0);
    item.setValue2(7, true); // same value, still announced
    QCOMPARE(spy.count(), 1);
    QCOMPARE(item.getValue2(), 7);

    QSignalSpy txtSpy(&item, &KKeyModelItem::txtChanged);
    item.setTxt(QStringLiteral("x"), true);
    QCOMPARE(txtSpy.count(), 1);
    QCOMPARE(item.getTxt(), QStringLiteral("x"));
}

void tst_KeyModelItem::copyKeepsText()
{
    QObject parent;
    KKeyModelItem original(18, 33, 2, 4, 6, 8, QString(), &parent);
    original.setTxt(QStringLiteral("Custom text"), false);

    KKeyModelItem copy(original);
    QCOMPARE(copy.parent(), nullptr);
    QCOMPARE(copy.getTxt(), QStringLiteral("Custom text"));
    QCOMPARE(copy.getKey(), 18);
    QCOMPARE(copy.getType(), 33);
    QCOMPARE(copy.getValue1(), 2);
    QCOMPARE(copy.getValue2(), 4);
    QCOMPARE(copy.getValue3(), 6);
    QCOMPARE(copy.getValue4(), 8);

    KKeyModelItem target(14, 95, 0, 0, 0, 0, QString());
    QSignalSpy txtSpy(&target, &KKeyModelItem::txtChanged);
    QSignalSpy typeSpy(&target, &KKeyModelItem::typeChanged);
    target = original;
    QCOMPARE(target.getTxt(), QStringLiteral("Custom text"));
    QCOMPARE(target.getType(), 33);
    QCOMPARE(target.getValue4(), 8);
    QCOMPARE(txtSpy.count(), 0);
    QCOMPARE(typeSpy.count(), 0);
}

void tst_KeyModelItem::mapInsertReplaces()
{
    KeyItemMap map;
    map.insert(KKey(14), KKeyModelItem(14, 95, 0, 0, 0, 0, QString()));
    map.insert(KKey(14), KKeyModelItem(14, 29, 3, 0, 1, 0, QStringLiteral("m1")));
    QCOMPARE(map.size(), 1);
    QCOMPARE(map.value(KKey(14)).getType(), 29);
    QCOMPARE(map.value(KKey(14)).getValue1(), 3);
    QCOMPARE(map.value(KKey(14)).getTxt(), QStringLiteral("m1"));
}

void tst_KeyModelItem::queuedDelivery()
{
    // Registered when the application object was created, without anyone asking.
    QVERIFY(QMetaType::type("QMap<KKey,KKeyModelItem>") != QMetaType::UnknownType);
    QVERIFY(QMetaType::type("QVector<KMacroItem>") != QMetaType::UnknownType);
    QVERIFY(QMetaType::type("KKeyModelItem*") != QMetaType::UnknownType);

    Receiver receiver;
    KeyItemMap keys;
    keys.insert(KKey(25), KKeyModelItem(25, 42, 0, 0, 4, 0, QStringLiteral("A")));
    MacroEvents events{ KMacroItem(0, 4, 30, false, QStringLiteral("A")), KMacroItem(2, 50, 0, false, QString()) };

    // Posted from another thread, as the device worker does.
    QThread* thread = QThread::create([&] {
        // By the registered names: a queued call fails when a type is not known to the meta-type system.
        QVERIFY(QMetaObject::invokeMethod(&receiver, "takeKeys", Qt::QueuedConnection,
                                          QGenericArgument("QMap<KKey,KKeyModelItem>", &keys)));
        QVERIFY(QMetaObject::invokeMethod(&receiver, "takeEvents", Qt::QueuedConnection,
                                          QGenericArgument("QVector<KMacroItem>", &events)));
    });
    thread->start();
    QVERIFY(thread->wait(TestWait::kBoundMs));
    delete thread;
    WAIT_COMPARE(receiver.events, events);
    QCOMPARE(receiver.keys.size(), 1);
    QCOMPARE(receiver.keys.value(KKey(25)).getValue3(), 4);
    QCOMPARE(receiver.keys.value(KKey(25)).getTxt(), QStringLiteral("A"));
}

void tst_KeyModelItem::invokablesFromScript()
{
    // The pages call the name lookups with plain numbers.
    registerKeyMetaTypes();
    QQmlEngine engine;
    auto* item = new KKeyModelItem;
    QQmlEngine::setObjectOwnership(item, QQmlEngine::CppOwnership);
    engine.globalObject().setProperty(QStringLiteral("item"), engine.newQObject(item));
    QCOMPARE(engine.evaluate(QStringLiteral("item.getFuncStr(29)")).toString(), QStringLiteral("Macro"));
    QCOMPARE(engine.evaluate(QStringLiteral("item.getKeyStr(121)")).toString(), QStringLiteral("Enter Key"));
    QCOMPARE(engine.evaluate(QStringLiteral("item.getFuncStr(-1)")).toString(), QStringLiteral("Disable"));
    delete item;
}

void tst_KeyModelItem::hKeyNotify()
{
    HKey key(0x41, false, false);
    QSignalSpy spy(&key, &HKey::isDownChanged);
    key.setIsDown(true, false);
    QVERIFY(key.getIsDown());
    QCOMPARE(spy.count(), 0);
    key.setIsDown(false, true);
    QVERIFY(!key.getIsDown());
    QCOMPARE(spy.count(), 1);
    QCOMPARE(key.getKey(), 0x41);
    QVERIFY(!key.getExtended());
}

// The application manager it starts builds the user interface, which needs the widget application.
QTEST_MAIN(tst_KeyModelItem)
#include "tst_keymodelitem.moc"
