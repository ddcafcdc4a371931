#include "FileSizeLimit.h"

#include "profiles/FChangeConfig.h"
#include "profiles/KConfigController.h"
#include "profiles/KeyCodeTables.h"
#include "profiles/OldMacroConverter.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QJsonObject oldMacro(const QJsonArray& events, int ignoreDelay = 1, int macroType = 0)
{
    return QJsonObject{{"IgnoreDelayTime", ignoreDelay}, {"MacroType", macroType}, {"RepeatTimes", 3},
                       {"Name", "Combo"}, {"Macro", events}};
}

QJsonObject keyEvent(int keyValue, int state, int timeLapse = 0)
{
    return QJsonObject{{"ValueType", 3}, {"KeyValue", keyValue}, {"State", state}, {"TimeLapse", timeLapse}};
}

QJsonObject item(int type, int value1, int value2, bool isUp, const QString& text)
{
    return QJsonObject{{"type", type}, {"value1", value1}, {"value2", value2}, {"isUp", isUp}, {"text", text}};
}

QJsonObject delay(int pause)
{
    return item(2, pause, 0, false, "");
}

} // namespace

class TestOldFormats : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void macroEvents_data();
    void macroEvents();
    void macroSettings_data();
    void macroSettings();
    void convertedFileHoldsTheCurrentFormat();
    void otherFilesAreLeftAlone_data();
    void otherFilesAreLeftAlone();
    void failedWriteKeepsTheOldMacro();
    void splitConversionDelaysAfterEveryEvent();
    void virtualKeys_data();
    void virtualKeys();
    void keyNames_data();
    void keyNames();
    void oldProfileOverlay();
    void unreadableProfileIsNotWritten();
    void virtualKeyToUsage_data();
    void virtualKeyToUsage();

private:
    QScopedPointer<QTemporaryDir> mDir;
    QString mPath;
};

void TestOldFormats::init()
{
    mDir.reset(new QTemporaryDir);
    QVERIFY(mDir->isValid());
    mPath = mDir->filePath("macro.json");
}

void TestOldFormats::macroEvents_data()
{
    QTest::addColumn<QJsonArray>("events");
    QTest::addColumn<QJsonArray>("list");

    QTest::newRow("empty") << QJsonArray() << QJsonArray();
    QTest::newRow("delays between, none after the last")
        << QJsonArray{keyEvent(0x41, 0, 20), keyEvent(0x41, 1, 0), keyEvent(0x42, 0, 30)}
        << QJsonArray{item(0, 4, 0, false, "A"), delay(20), item(0, 4, 0, true, "A"), item(0, 5, 0, false, "B")};
    QTest::newRow("mouse buttons")
        << QJsonArray{keyEvent(1, 0), keyEvent(2, 0), keyEvent(4, 1)}
        << QJsonArray{item(1, 1, 0, false, ""), item(1, 3, 0, false, ""), item(1, 2, 0, true, "")};
    QTest::newRow("right control") << QJsonArray{keyEvent(0xA3, 0)} << QJsonArray{item(0, 228, 285, false, "Control")};
    QTest::newRow("digit") << QJsonArray{keyEvent(0x31, 0)} << QJsonArray{item(0, 30, 2, false, "1")};
    QTest::newRow("print screen has no name") << QJsonArray{keyEvent(0x2C, 0)} << QJsonArray{item(0, 70, 0, false, "")};
    QTest::newRow("generic shift") << QJsonArray{keyEvent(0x10, 0)} << QJsonArray{item(0, 0, 0, false, "")};
    QTest::newRow("state 2 is a press") << QJsonArray{keyEvent(0x41, 2)} << QJsonArray{item(0, 4, 0, false, "A")};
    QTest::newRow("pointer")
        << QJsonArray{QJsonObject{{"ValueType", 6}, {"CoordinateX", 100}, {"CoordinateY", 200}, {"State", 0}}}
        << QJsonArray{item(3, 100, 200, false, "")};
    QTest::newRow("unknown event keeps only isUp")
        << QJsonArray{QJsonObject{{"ValueType", 5}, {"KeyValue", 0x41}, {"State", 1}, {"TimeLapse", 7}}, keyEvent(0x41, 0)}
        << QJsonArray{QJsonObject{{"isUp", true}}, delay(7), item(0, 4, 0, false, "A")};
}

void TestOldFormats::macroEvents()
{
    QFETCH(QJsonArray, events);
    QFETCH(QJsonArray, list);
    writeBytes(mPath, QJsonDocument(oldMacro(events)).toJson());
    QCOMPARE(convertOldMacroFile(mPath), 1);
    QCOMPARE(QJsonDocument::fromJson(readBytes(mPath)).object().value("list").toArray(), list);
}

void TestOldFormats::macroSettings_data()
{
    QTest::addColumn<int>("macroType");
    QTest::addColumn<int>("ignoreDelay");
    QTest::addColumn<QString>("playType");
    QTest::addColumn<bool>("ignoreTime");

    QTest::newRow("type 0") << 0 << 1 << "1" << false;
    QTest::newRow("type 2") << 2 << 2 << "2" << true;
    QTest::newRow("type 4") << 4 << 0 << "3" << false;
    QTest::newRow("type 1") << 1 << 2 << "1" << true;
    QTest::newRow("type 3") << 3 << 3 << "1" << false;
    QTest::newRow("type 5") << 5 << 1 << "1" << false;
}

void TestOldFormats::macroSettings()
{
    QFETCH(int, macroType);
    QFETCH(int, ignoreDelay);
    QFETCH(QString, playType);
    QFETCH(bool, ignoreTime);
    const QJsonObject settings = convertOldMacroSettings(oldMacro({}, ignoreDelay, macroType));
    QCOMPARE(settings, (QJsonObject{{"playType", playType}, {"ignoreTime", ignoreTime}, {"times", 3}, {"macroName", "Combo"}}));
}

void TestOldFormats::convertedFileHoldsTheCurrentFormat()
{
    QJsonObject old = oldMacro({keyEvent(0x41, 0, 10), keyEvent(0x41, 1)}, 2, 4);
    old.insert("Extra", "dropped");
    writeBytes(mPath, QJsonDocument(old).toJson());

    QCOMPARE(convertOldMacroFile(mPath), 1);
    const QJsonObject converted = QJsonDocument::fromJson(readBytes(mPath)).object();
    QStringList keys = converted.keys();
    keys.sort();
    QCOMPARE(keys, (QStringList{"ignoreTime", "list", "macroName", "playType", "times"}));
    QCOMPARE(converted.value("playType").toString(), QString("3"));
    QCOMPARE(converted.value("ignoreTime").toBool(), true);
    QCOMPARE(converted.value("times").toInt(), 3);
    QCOMPARE(converted.value("macroName").toString(), QString("Combo"));

    // A converted file is no longer in the old layout: a second pass leaves it byte for byte.
    const QByteArray once = readBytes(mPath);
    QCOMPARE(convertOldMacroFile(mPath), -1);
    QCOMPARE(readBytes(mPath), once);
}

void TestOldFormats::otherFilesAreLeftAlone_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("result");

    QTest::newRow("current macro format") << QByteArray("{\"macroName\":\"x\",\"list\":[]}") << -1;
    QTest::newRow("broken JSON") << QByteArray("{\"IgnoreDelayTime\": 2,") << 0;
    QTest::newRow("array root") << QByteArray("[{\"IgnoreDelayTime\": 2}]") << 0;
    QTest::newRow("empty file") << QByteArray() << 0;
}

void TestOldFormats::otherFilesAreLeftAlone()
{
    QFETCH(QByteArray, content);
    QFETCH(int, result);
    writeBytes(mPath, content);
    QCOMPARE(convertOldMacroFile(mPath), result);
    QCOMPARE(readBytes(mPath), content);

    QCOMPARE(convertOldMacroFile(mDir->filePath("missing.json")), 0);
    QVERIFY(!QFile::exists(mDir->filePath("missing.json")));
}

void TestOldFormats::failedWriteKeepsTheOldMacro()
{
    const QByteArray text = QJsonDocument(oldMacro({keyEvent(0x41, 0, 10), keyEvent(0x41, 1)}))
                                .toJson(QJsonDocument::Compact);
    writeBytes(mPath, text);
    {
        FileSizeLimit limit(16);
        QVERIFY(limit.isActive());
        QCOMPARE(convertOldMacroFile(mPath), 0);
    }
    QCOMPARE(readBytes(mPath), text);
    QCOMPARE(QDir(mDir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"macro.json"});
}

void TestOldFormats::splitConversionDelaysAfterEveryEvent()
{
    const QJsonObject events = convertOldMacroEvents(oldMacro({keyEvent(0x41, 0, 20), keyEvent(0x41, 1, 30)}));
    QCOMPARE(events, (QJsonObject{{"list", QJsonArray{item(0, 4, 0, false, "A"), delay(20), item(0, 4, 0, true, "A"), delay(30)}}}));
}

void TestOldFormats::virtualKeys_data()
{
    QTest::addColumn<int>("virtualKey");
    QTest::addColumn<int>("usage");
    QTest::addColumn<int>("scanValue");

    QTest::newRow("A") << 0x41 << 4 << 0;
    QTest::newRow("Z") << 0x5A << 29 << 0;
    QTest::newRow("0") << 0x30 << 39 << 11;
    QTest::newRow("9") << 0x39 << 38 << 10;
    QTest::newRow("F12") << 0x7B << 69 << 0;
    QTest::newRow("keypad 0") << 0x60 << 98 << 82;
    QTest::newRow("keypad 7") << 0x67 << 95 << 71;
    QTest::newRow("keypad divide") << 0x6F << 84 << 309;
    QTest::newRow("right Windows") << 0x5C << 231 << 348;
    QTest::newRow("num lock") << 0x90 << 83 << 0x145;
    QTest::newRow("period") << 0xBE << 55 << 52;
    QTest::newRow("generic control") << 0x11 << 0 << 0;
    QTest::newRow("unknown") << 0xFF << 0 << 0;
}

void TestOldFormats::virtualKeys()
{
    QFETCH(int, virtualKey);
    QFETCH(int, usage);
    QFETCH(int, scanValue);
    int gotUsage = -1;
    int gotScan = -1;
    QVERIFY(virtualKeyToHidUsage(virtualKey, gotUsage, gotScan));
    QCOMPARE(gotUsage, usage);
    QCOMPARE(gotScan, scanValue);
}

void TestOldFormats::keyNames_data()
{
    QTest::addColumn<int>("usage");
    QTest::addColumn<QString>("name");

    QTest::newRow("A") << 4 << "A";
    QTest::newRow("Z") << 29 << "Z";
    QTest::newRow("1") << 30 << "1";
    QTest::newRow("0") << 39 << "0";
    QTest::newRow("backspace") << 42 << "<-";
    QTest::newRow("equals") << 46 << "+";
    QTest::newRow("backslash") << 49 << "\\";
    QTest::newRow("non-US hash") << 50 << "";
    QTest::newRow("F12") << 69 << "F12";
    QTest::newRow("print screen") << 70 << "";
    QTest::newRow("keypad enter") << 88 << "Enter";
    QTest::newRow("keypad 9") << 97 << "9";
    QTest::newRow("keypad 0") << 98 << "0";
    QTest::newRow("beyond keypad") << 100 << "";
    QTest::newRow("right control") << 228 << "Control";
    QTest::newRow("left meta") << 227 << "Meta";
    QTest::newRow("negative") << -1 << "";
}

void TestOldFormats::keyNames()
{
    QFETCH(int, usage);
    QFETCH(QString, name);
    QCOMPARE(hidUsageToKeyName(usage), name);
}

void TestOldFormats::oldProfileOverlay()
{
    const QJsonObject profile{
        {"report", QJsonObject{{"index", 3}}},
        {"dpi", QJsonObject{{"currentIndex", 0},
                            {"dpiValue", QJsonArray{QJsonObject{{"currentValue", 800}, {"enable", true}},
                                                    QJsonObject{{"currentValue", 1600}, {"enable", true}},
                                                    QJsonObject{{"currentValue", 3200}, {"enable", true}}}}}},
        {"lightModel", QJsonObject{{"index", 0}}},
        {"light", QJsonArray{QJsonObject{{"model", 0}, {"speed", 1}, {"brightness", 1}, {"colors", QJsonArray{"ffffff"}}},
                             QJsonObject{{"model", 1}, {"speed", 1}, {"brightness", 1}, {"colors", QJsonArray{"ffffff"}}},
                             QJsonObject{{"model", 2}, {"speed", 1}, {"brightness", 1}, {"colors", QJsonArray{"ffffff"}}}}},
        {"key", QJsonArray{QJsonObject{{"key", 1}, {"funcIndex", 9}}}},
    };
    const QString path = mDir->filePath("profile.json");
    writeBytes(path, QJsonDocument(profile).toJson());

    const QJsonObject old{{"MouseDataOfGamingModeV3",
                           QJsonObject{{"ReportRate", "Hz500"},
                                       {"Dpi", QJsonObject{{"Value", QJsonArray{QJsonObject{{"GearEnable", false}, {"GearCurrentValue", 400}},
                                                                                QJsonObject{{"GearEnable", true}, {"GearCurrentValue", 1200}}}}}},
                                       {"Light", QJsonObject{{"Logo", QJsonObject{{"Mode", "BreathMode"}, {"Red", 255}, {"Green", 16},
                                                                                  {"Blue", 0}, {"Brightness", 3}, {"Speed", 2}}}}},
                                       {"MouseButton", QJsonArray{1, 2, 3}}}}};

    FChangeConfig change;
    const QJsonObject result = change.changeConfig(old, path);
    QCOMPARE(QJsonDocument::fromJson(readBytes(path)).object(), result);

    QCOMPARE(result.value("report").toObject().value("index").toInt(), 2);
    const QJsonArray levels = result.value("dpi").toObject().value("dpiValue").toArray();
    QCOMPARE(levels.at(0).toObject(), (QJsonObject{{"currentValue", 400}, {"enable", false}}));
    QCOMPARE(levels.at(1).toObject(), (QJsonObject{{"currentValue", 1200}, {"enable", true}}));
    QCOMPARE(levels.at(2).toObject(), (QJsonObject{{"currentValue", 3200}, {"enable", true}}));
    QCOMPARE(result.value("lightModel").toObject().value("index").toInt(), 2);
    const QJsonArray lights = result.value("light").toArray();
    QCOMPARE(lights.at(2).toObject(), (QJsonObject{{"model", 2}, {"speed", 2}, {"brightness", 3}, {"colors", QJsonArray{"ff1000"}}}));
    QCOMPARE(lights.at(0), profile.value("light").toArray().at(0));
    QCOMPARE(result.value("key"), profile.value("key"));
}

void TestOldFormats::unreadableProfileIsNotWritten()
{
    FChangeConfig change;
    const QJsonObject old{{"MouseDataOfGamingModeV3", QJsonObject{{"ReportRate", "Hz125"}}}};

    const QString broken = mDir->filePath("broken.json");
    writeBytes(broken, "{\"report\": ");
    QCOMPARE(change.changeConfig(old, broken), QJsonObject());
    QCOMPARE(readBytes(broken), QByteArray("{\"report\": "));

    const QString missing = mDir->filePath("missing.json");
    QCOMPARE(change.changeConfig(old, missing), QJsonObject());
    QVERIFY(!QFile::exists(missing));

    // A pipe under the profile's name is neither waited on nor replaced.
    const QString pipe = mDir->filePath("pipe.json");
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QCOMPARE(change.changeConfig(old, pipe), QJsonObject());
    QVERIFY(!QFileInfo(pipe).isFile());

    KConfigController unused;
    QVERIFY(unused.metaObject()->methodCount() == QObject::staticMetaObject.methodCount());
}

void TestOldFormats::virtualKeyToUsage_data()
{
    QTest::addColumn<int>("virtualKey");
    QTest::addColumn<int>("usage");

    QTest::newRow("none") << 0 << 0;
    QTest::newRow("A") << 0x41 << 4;
    QTest::newRow("digit 1") << 0x31 << 30;
    QTest::newRow("keypad 1") << 0x61 << 89;
    QTest::newRow("minus") << 0xBD << 45;
    QTest::newRow("keypad minus") << 0x6D << 86;
    QTest::newRow("right control") << 0xA3 << 228;
    QTest::newRow("left shift") << 0xA0 << 225;
    QTest::newRow("F5") << 0x74 << 62;
    QTest::newRow("print screen has no row") << 0x2C << 0;
}

void TestOldFormats::virtualKeyToUsage()
{
    QFETCH(int, virtualKey);
    QFETCH(int, usage);
    FChangeConfig change;
    QCOMPARE(change.VKCodeTransToString(virtualKey), usage);
}

QTEST_GUILESS_MAIN(TestOldFormats)
#include "tst_oldformats.moc"
