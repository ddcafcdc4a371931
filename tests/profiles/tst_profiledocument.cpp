#include "common/DeviceIds.h"
#include "devices/keyboard/Quenby8aKeyTable.h"
#include "profiles/KConfigFileController.h"
#include "profiles/ProfileDocument.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QtTest>

using namespace ProfileDocument;

class TestProfileDocument : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void factoryProfileIsReadable();
    void factoryProfileSectionsInOrder();
    void factoryProfileKeysFollowTheKeyTable();
    void factoryProfileLights();

    void keyEntries_data();
    void keyEntries();
    void keyLightEntries();
    void lightEntries();
    void macro_data();
    void macro();
    void macroTimesAreLimited_data();
    void macroTimesAreLimited();
    void composite_data();
    void composite();
    void compositeKeepsOtherMembers();
    void multiMacroEntry();

private:
    QString mFactoryPath;
    QByteArray mFactoryBytes;
    QJsonObject mFactory;
};

void TestProfileDocument::initTestCase()
{
    KConfigFileController controller;
    mFactoryPath = controller.getDefaultPath(DeviceIds::kKeyboardWired);
    QFile file(mFactoryPath);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(mFactoryPath));
    mFactoryBytes = file.readAll();
    QVERIFY(controller.initJsonObj(mFactoryPath, mFactory));
}

void TestProfileDocument::factoryProfileIsReadable()
{
    QVERIFY(mFactoryBytes.startsWith("\xEF\xBB\xBF{"));
    QCOMPARE(mFactory.value(kConfigVersion).toInt(), 2);
    QCOMPARE(mFactory.value(kDeviceName).toString(), QString("ZEPHRA"));
    QCOMPARE(mFactory.value(kVid).toInt(), int(DeviceIds::kVendorId));
    QCOMPARE(mFactory.value(kPid).toInt(), int(DeviceIds::kKeyboardWired));
    QCOMPARE(mFactory.value(kNeedFwVersion).toInt(), 0);
    for (const QString& date : {kCreateAt, kUpdateAt})
        QVERIFY(QDateTime::fromString(mFactory.value(date).toString(), kDateFormat).isValid());
}

void TestProfileDocument::factoryProfileSectionsInOrder()
{
    // The top-level members as they stand in the text (one level of indentation).
    QStringList sections;
    const QRegularExpression member(QStringLiteral("^    \"([A-Za-z]+)\":"), QRegularExpression::MultilineOption);
    auto it = member.globalMatch(QString::fromUtf8(mFactoryBytes));
    while (it.hasNext())
        sections << it.next().captured(1);
    QCOMPARE(sections, (QStringList{kConfigVersion, kCreateAt, kUpdateAt, kDeviceName, kFwVersion, kNeedFwVersion,
                                    kVid, kPid, kKey, kKeyLight, kLight, kLightModel}));
    QCOMPARE(mFactory.keys().size(), sections.size());
}

void TestProfileDocument::factoryProfileKeysFollowTheKeyTable()
{
    QVector<KeyEntry> keys;
    QVector<KeyLightEntry> lights;
    QVERIFY(ProfileDocument::keyEntries(mFactory, &keys));
    QVERIFY(ProfileDocument::keyLightEntries(mFactory, &lights));

    // Every key of the table but the two ISO keys, in table order, each with the function of its own name.
    QVector<int> tableOrder;
    for (int position = 0; position < Quenby8a::kPositionCount; ++position) {
        const int key = Quenby8a::keyAtPosition(position);
        if (key != Quenby8a::kEmptyPosition && !Quenby8a::isIsoKey(key))
            tableOrder << key;
    }
    QCOMPARE(tableOrder.size(), 84);
    QCOMPARE(keys.size(), tableOrder.size());
    QCOMPARE(lights.size(), tableOrder.size());
    for (int i = 0; i < keys.size(); ++i) {
        QCOMPARE(keys.at(i).key, tableOrder.at(i));
        QCOMPARE(lights.at(i).key, tableOrder.at(i));
        int function = 0;
        QVERIFY(Quenby8a::defaultFunction(keys.at(i).key, &function));
        QCOMPARE(keys.at(i).funcIndex, function);
        QCOMPARE(keys.at(i).value1, QJsonValue(QString()));
        QVERIFY(lights.at(i).level == 0 || lights.at(i).level == 10);
    }
}

void TestProfileDocument::factoryProfileLights()
{
    const QJsonArray lights = mFactory.value(kLight).toArray();
    QCOMPARE(lights.size(), 7);
    for (int mode = 0; mode < lights.size(); ++mode) {
        LightEntry entry;
        QVERIFY(lightEntry(mFactory, kLight, mode, &entry));
        QCOMPARE(entry.model, mode);
        QVERIFY(entry.speed >= 0 && entry.speed <= 4);
        QVERIFY(entry.brightness >= 0 && entry.brightness <= 3);
        QVERIFY(!lights.at(mode).toObject().contains(kColors));
    }
    const int index = modeIndex(mFactory, kLightModel, -1);
    QVERIFY(index >= 0 && index < lights.size());
}

void TestProfileDocument::keyEntries_data()
{
    QTest::addColumn<QJsonValue>("section");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QVector<int>>("keys");

    const QJsonObject a{{"key", 22}, {"funcIndex", 95}, {"value1", ""}};
    const QJsonObject b{{"key", 14}, {"funcIndex", 42}, {"value1", 4}};
    QTest::newRow("document order kept") << QJsonValue(QJsonArray{a, b}) << true << QVector<int>{22, 14};
    QTest::newRow("empty array") << QJsonValue(QJsonArray{}) << true << QVector<int>{};
    QTest::newRow("missing section") << QJsonValue() << false << QVector<int>{};
    QTest::newRow("not an array") << QJsonValue(QJsonObject{{"key", 14}}) << false << QVector<int>{};
    QTest::newRow("element not an object") << QJsonValue(QJsonArray{a, 5}) << false << QVector<int>{};
    QTest::newRow("key missing") << QJsonValue(QJsonArray{QJsonObject{{"funcIndex", 9}}}) << false << QVector<int>{};
    QTest::newRow("key as text") << QJsonValue(QJsonArray{QJsonObject{{"key", "14"}, {"funcIndex", 9}}}) << false << QVector<int>{};
    QTest::newRow("fractional function") << QJsonValue(QJsonArray{QJsonObject{{"key", 14}, {"funcIndex", 9.5}}}) << false << QVector<int>{};
    QTest::newRow("key listed twice") << QJsonValue(QJsonArray{a, b, a}) << false << QVector<int>{};
}

void TestProfileDocument::keyEntries()
{
    QFETCH(QJsonValue, section);
    QFETCH(bool, valid);
    QFETCH(QVector<int>, keys);
    QJsonObject document;
    if (!section.isUndefined())
        document.insert(kKey, section);

    QVector<KeyEntry> entries;
    QString error;
    QCOMPARE(ProfileDocument::keyEntries(document, &entries, &error), valid);
    QCOMPARE(error.isEmpty(), valid);
    QVector<int> got;
    for (const KeyEntry& entry : entries)
        got << entry.key;
    if (valid)
        QCOMPARE(got, keys);
}

void TestProfileDocument::keyLightEntries()
{
    QJsonObject document{{kKeyLight, QJsonArray{QJsonObject{{"key", 30}, {"value1", 4}},
                                                 QJsonObject{{"key", 14}, {"colors", "ff0000"}}}}};
    QVector<KeyLightEntry> entries;
    QVERIFY(ProfileDocument::keyLightEntries(document, &entries));
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries.at(0).key, 30);
    QCOMPARE(entries.at(0).level, 4);
    QCOMPARE(entries.at(1).color, QString("ff0000"));

    QVERIFY(entries.at(0).hasLevel);
    QVERIFY(!entries.at(1).hasLevel);

    document.insert(kKeyLight, QJsonArray{QJsonObject{{"value1", 4}}});
    QVERIFY(!ProfileDocument::keyLightEntries(document, &entries));
    // A level of another type is refused rather than read as 0.
    document.insert(kKeyLight, QJsonArray{QJsonObject{{"key", 14}, {"value1", "4"}}});
    QVERIFY(!ProfileDocument::keyLightEntries(document, &entries));
}

void TestProfileDocument::lightEntries()
{
    const QJsonObject document{
        {kLightModel, QJsonObject{{"index", 3}}},
        {kLight, QJsonArray{QJsonObject{{"model", 0}, {"speed", 1}, {"brightness", 2}, {"colors", QJsonArray{"00ff00"}}},
                            QJsonObject{{"model", 1}, {"speed", 4}, {"brightness", 3}}}}};
    LightEntry entry;
    QVERIFY(lightEntry(document, kLight, 0, &entry));
    QCOMPARE(entry.colors, QStringList{"00ff00"});
    QVERIFY(lightEntry(document, kLight, 1, &entry));
    QCOMPARE(entry.speed, 4);
    QVERIFY(entry.colors.isEmpty());

    // The mode points past the array: there is no entry to take speed and brightness from.
    QCOMPARE(modeIndex(document, kLightModel), 3);
    QVERIFY(!lightEntry(document, kLight, modeIndex(document, kLightModel), &entry));
    QVERIFY(!lightEntry(document, kLight, -1, &entry));
    QVERIFY(!lightEntry(document, kWheelLight, 0, &entry));
    QCOMPARE(modeIndex(document, kLogoLightModel, 0), 0);
    QCOMPARE(modeIndex(document, kLogoLightModel, -1), -1);

    // Speed and brightness of another type are refused rather than read as 0.
    for (const QString& member : {kModel, kSpeed, kBrightness}) {
        QJsonObject wrong{{"model", 0}, {"speed", 1}, {"brightness", 2}};
        wrong.insert(member, QStringLiteral("2"));
        QVERIFY2(!lightEntry(QJsonObject{{kLight, QJsonArray{wrong}}}, kLight, 0, &entry), qPrintable(member));
    }
}

void TestProfileDocument::macro_data()
{
    QTest::addColumn<QJsonValue>("value1");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("playType");
    QTest::addColumn<int>("events");

    const QJsonArray list{QJsonObject{{"type", 0}, {"value1", 4}, {"value2", 0}, {"isUp", false}, {"text", "A"}},
                          QJsonObject{{"type", 2}, {"value1", 30}, {"value2", 0}, {"isUp", false}, {"text", ""}},
                          QJsonObject{{"type", 0}, {"value1", 4}, {"value2", 0}, {"isUp", true}, {"text", "A"}}};
    auto macro = [&](const QJsonValue& playType) {
        return QJsonValue(QJsonObject{{"list", list}, {"playType", playType}, {"ignoreTime", true}, {"times", 2},
                                      {"macroName", "m"}});
    };
    QTest::newRow("play type text") << macro("3") << true << 3 << 3;
    QTest::newRow("play type number") << macro(2) << true << 2 << 3;
    QTest::newRow("play type 0") << macro("0") << false << 0 << 0;
    QTest::newRow("play type 4") << macro("4") << false << 0 << 0;
    QTest::newRow("play type missing") << macro(QJsonValue()) << false << 0 << 0;
    QTest::newRow("empty string") << QJsonValue("") << false << 0 << 0;
    QTest::newRow("no list") << QJsonValue(QJsonObject{{"playType", "1"}}) << false << 0 << 0;
    QTest::newRow("event not an object") << QJsonValue(QJsonObject{{"playType", "1"}, {"list", QJsonArray{1}}}) << false << 0 << 0;
    QTest::newRow("empty list") << QJsonValue(QJsonObject{{"playType", "1"}, {"list", QJsonArray{}}}) << true << 1 << 0;
    // Members of another type would read as 0 or false and reach the device as such.
    auto withEvent = [](const QString& member, const QJsonValue& value) {
        QJsonObject event{{"type", 0}, {"value1", 4}, {"value2", 0}, {"isUp", false}, {"text", "A"}};
        event.insert(member, value);
        return QJsonValue(QJsonObject{{"playType", "1"}, {"list", QJsonArray{event}}});
    };
    QTest::newRow("event type as text") << withEvent("type", "2") << false << 0 << 0;
    QTest::newRow("event usage as text") << withEvent("value1", "4") << false << 0 << 0;
    QTest::newRow("event usage fractional") << withEvent("value1", 4.5) << false << 0 << 0;
    QTest::newRow("event value2 as text") << withEvent("value2", "1") << false << 0 << 0;
    QTest::newRow("event release as number") << withEvent("isUp", 1) << false << 0 << 0;
    QTest::newRow("event without value2") << QJsonValue(QJsonObject{{"playType", "1"}, {"list", QJsonArray{QJsonObject{{"type", 0}, {"value1", 4}}}}})
                                          << true << 1 << 1;
    QTest::newRow("count as text") << QJsonValue(QJsonObject{{"playType", "1"}, {"times", "5"}, {"list", QJsonArray{}}})
                                   << false << 0 << 0;
    QTest::newRow("ignore time as text") << QJsonValue(QJsonObject{{"playType", "1"}, {"ignoreTime", "true"}, {"list", QJsonArray{}}})
                                         << false << 0 << 0;
}

void TestProfileDocument::macro()
{
    QFETCH(QJsonValue, value1);
    QFETCH(bool, valid);
    QFETCH(int, playType);
    QFETCH(int, events);
    Macro result;
    QCOMPARE(macroFromValue(value1, &result), valid);
    if (!valid)
        return;
    QCOMPARE(result.playType, playType);
    QCOMPARE(result.events.size(), events);
    if (events == 3) {
        QCOMPARE(result.events.at(1), KMacroItem(2, 30, 0, false, QString()));
        QCOMPARE(result.events.at(2).isUp, true);
        QCOMPARE(result.ignoreTime, true);
        QCOMPARE(result.times, 2);
        QCOMPARE(result.name, QString("m"));
    }
}

void TestProfileDocument::macroTimesAreLimited_data()
{
    QTest::addColumn<QJsonValue>("times");
    QTest::addColumn<int>("expected");

    QTest::newRow("in range") << QJsonValue(250) << 250;
    QTest::newRow("upper bound") << QJsonValue(1000) << 1000;
    QTest::newRow("beyond the device's count") << QJsonValue(1001) << 1000;
    QTest::newRow("beyond int") << QJsonValue(1e12) << 1000;
    QTest::newRow("zero") << QJsonValue(0) << 1;
    QTest::newRow("negative") << QJsonValue(-5) << 1;
    QTest::newRow("missing") << QJsonValue() << 1;
}

void TestProfileDocument::macroTimesAreLimited()
{
    QFETCH(QJsonValue, times);
    QFETCH(int, expected);
    QJsonObject object{{"list", QJsonArray{}}, {"playType", "1"}};
    if (!times.isNull())
        object.insert("times", times);
    Macro result;
    QVERIFY(macroFromValue(object, &result));
    QCOMPARE(result.times, expected);
}

void TestProfileDocument::composite_data()
{
    QTest::addColumn<QJsonValue>("value1");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("mask");
    QTest::addColumn<int>("usage");

    QTest::newRow("indented text") << QJsonValue("{\n    \"value1\": 5,\n    \"value2\": 4\n}\n") << true << 5 << 4;
    QTest::newRow("extra members") << QJsonValue("{\"value1\": 1, \"value2\": 29, \"note\": \"x\"}") << true << 1 << 29;
    QTest::newRow("missing members read 0") << QJsonValue("{}") << true << 0 << 0;
    QTest::newRow("empty text") << QJsonValue("") << false << 0 << 0;
    QTest::newRow("broken text") << QJsonValue("{\"value1\": 1,") << false << 0 << 0;
    QTest::newRow("object instead of text") << QJsonValue(QJsonObject{{"value1", 1}}) << false << 0 << 0;
    QTest::newRow("mask beyond a byte") << QJsonValue("{\"value1\": 256, \"value2\": 4}") << false << 0 << 0;
    QTest::newRow("negative usage") << QJsonValue("{\"value1\": 1, \"value2\": -4}") << false << 0 << 0;
}

void TestProfileDocument::composite()
{
    QFETCH(QJsonValue, value1);
    QFETCH(bool, valid);
    QFETCH(int, mask);
    QFETCH(int, usage);
    int gotMask = -1;
    int gotUsage = -1;
    QCOMPARE(compositeFromValue(value1, &gotMask, &gotUsage), valid);
    if (valid) {
        QCOMPARE(gotMask, mask);
        QCOMPARE(gotUsage, usage);
    }
}

void TestProfileDocument::compositeKeepsOtherMembers()
{
    const QString text = compositeToValue(QJsonValue("{\"value1\": 1, \"value2\": 2, \"note\": \"kept\"}"), 3, 44);
    const QJsonObject object = QJsonDocument::fromJson(text.toUtf8()).object();
    QCOMPARE(object, (QJsonObject{{"value1", 3}, {"value2", 44}, {"note", "kept"}}));

    int mask = 0;
    int usage = 0;
    QVERIFY(compositeFromValue(compositeToValue(QJsonValue(""), 2, 7), &mask, &usage));
    QCOMPARE(mask, 2);
    QCOMPARE(usage, 7);
}

void TestProfileDocument::multiMacroEntry()
{
    QVERIFY(isMultiMacroEntry(KeyEntry{14, kFunctionLeft, QJsonObject{{"macroName", "a/b"}}}));
    QVERIFY(!isMultiMacroEntry(KeyEntry{14, kFunctionLeft, QJsonObject{{"macroName", ""}}}));
    QVERIFY(!isMultiMacroEntry(KeyEntry{14, kFunctionMacro, QJsonObject{{"macroName", "a"}}}));
    QVERIFY(!isMultiMacroEntry(KeyEntry{14, kFunctionLeft, QJsonValue("")}));
    QCOMPARE(colorText(255, 16, 0), QString("ff1000"));
    QCOMPARE(colorText(300, -1, 10), QString("ff000a"));
}

QTEST_GUILESS_MAIN(TestProfileDocument)
#include "tst_profiledocument.moc"
