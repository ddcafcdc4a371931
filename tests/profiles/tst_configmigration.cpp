#include "FileSizeLimit.h"

#include "common/DeviceIds.h"
#include "profiles/KConfigFileController.h"
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
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QJsonObject keyboardDocument(const QJsonArray& keys, const QJsonArray& lights)
{
    return QJsonObject{{"deviceName", "ZEPHRA"}, {"configVersion", 1}, {"key", keys}, {"keyLight", lights}};
}

QJsonObject keyEntry(int key, int func)
{
    return QJsonObject{{"key", key}, {"funcIndex", func}, {"value1", ""}};
}

QJsonObject lightEntry(int key, int level)
{
    return QJsonObject{{"key", key}, {"value1", level}};
}

} // namespace

class TestConfigMigration : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void translation_data();
    void translation();
    void keyboardDocumentIsRenumbered();
    void eachArrayIsMigratedOnItsOwn();
    void otherDeviceOnlyGetsTheVersion();
    void currentVersionIsLeftAlone();
    void unknownNumberFailsAndKeepsTheFile_data();
    void unknownNumberFailsAndKeepsTheFile();
    void unreadableInputIsNeverWritten_data();
    void unreadableInputIsNeverWritten();
    void namedPipeIsNeverRead();
    void byteOrderMarkIsAccepted();
    void syncToFileReplacesWholeOrNotAtAll();
    void factoryPaths_data();
    void factoryPaths();
    void modelPredicates();
    void modifierFunction_data();
    void modifierFunction();

private:
    QScopedPointer<QTemporaryDir> mDir;
    QString mPath;
    KConfigFileController mController;
};

void TestConfigMigration::init()
{
    mDir.reset(new QTemporaryDir);
    QVERIFY(mDir->isValid());
    mPath = mDir->filePath("profile.json");
}

void TestConfigMigration::translation_data()
{
    QTest::addColumn<bool>("isKey");
    QTest::addColumn<int>("oldValue");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("newValue");

    QTest::newRow("key below the table") << true << 10 << true << 10;
    QTest::newRow("key 13") << true << 13 << true << 13;
    QTest::newRow("key 20") << true << 20 << true << 22;
    QTest::newRow("key 80") << true << 80 << true << 115;
    QTest::newRow("key 99") << true << 99 << true << 128;
    QTest::newRow("key 100") << true << 100 << false << 100;
    QTest::newRow("function 30") << false << 30 << true << 30;
    QTest::newRow("function 57") << false << 57 << true << 57;
    QTest::newRow("function 58") << false << 58 << true << 95;
    QTest::newRow("function 68") << false << 68 << false << 68;
    QTest::newRow("function 128") << false << 128 << false << 128;
    QTest::newRow("function 143") << false << 143 << true << 131;
    QTest::newRow("function 144") << false << 144 << false << 144;
}

void TestConfigMigration::translation()
{
    QFETCH(bool, isKey);
    QFETCH(int, oldValue);
    QFETCH(bool, ok);
    QFETCH(int, newValue);
    int result = -99;
    QCOMPARE(isKey ? mController.transNewKey(oldValue, result) : mController.transFunc(oldValue, result), ok);
    QCOMPARE(result, newValue);
}

void TestConfigMigration::keyboardDocumentIsRenumbered()
{
    QJsonObject first = keyEntry(20, 58);
    first.insert("value1", "kept");
    const QJsonObject document =
        keyboardDocument({first, keyEntry(10, 30)}, {lightEntry(20, 10), lightEntry(37, 0)});
    writeBytes(mPath, QJsonDocument(document).toJson());

    QJsonObject object;
    QVERIFY(mController.initJsonObj(mPath, object));

    const QJsonArray keys = object.value("key").toArray();
    QCOMPARE(keys.at(0).toObject().value("key").toInt(), 22);
    QCOMPARE(keys.at(0).toObject().value("funcIndex").toInt(), 95);
    QCOMPARE(keys.at(0).toObject().value("value1").toString(), QString("kept"));
    QCOMPARE(keys.at(1).toObject().value("key").toInt(), 10);
    QCOMPARE(keys.at(1).toObject().value("funcIndex").toInt(), 30);
    const QJsonArray lights = object.value("keyLight").toArray();
    QCOMPARE(lights.at(0).toObject().value("key").toInt(), 22);
    QCOMPARE(lights.at(1).toObject().value("key").toInt(), 46);
    QCOMPARE(object.value("configVersion").toInt(), 2);

    // The file now holds the migrated document, so a second open leaves it alone.
    const QJsonObject onDisk = QJsonDocument::fromJson(readBytes(mPath)).object();
    QCOMPARE(onDisk, object);
    const QByteArray migrated = readBytes(mPath);
    QJsonObject again;
    QVERIFY(mController.initJsonObj(mPath, again));
    QCOMPARE(again, object);
    QCOMPARE(readBytes(mPath), migrated);
}

void TestConfigMigration::eachArrayIsMigratedOnItsOwn()
{
    // A short "keyLight" array gains no entries, a missing one is not created.
    writeBytes(mPath, QJsonDocument(keyboardDocument({keyEntry(20, 58), keyEntry(21, 59), keyEntry(22, 60)},
                                                     {lightEntry(21, 10)}))
                          .toJson());
    QJsonObject object;
    QVERIFY(mController.initJsonObj(mPath, object));
    QCOMPARE(object.value("key").toArray().size(), 3);
    QCOMPARE(object.value("keyLight").toArray(), (QJsonArray{lightEntry(23, 10)}));

    // Members that hold no whole number are kept as they are, not turned into 0 or added.
    const QJsonObject oddKey{{"key", "20"}, {"funcIndex", 58}};
    const QJsonObject noFunction{{"key", 20}, {"value1", ""}};
    const QJsonObject fraction{{"key", 20.5}, {"funcIndex", 30}};
    writeBytes(mPath, QJsonDocument(keyboardDocument({oddKey, noFunction, fraction}, {lightEntry(21, 10)})).toJson());
    QVERIFY(mController.initJsonObj(mPath, object));
    QCOMPARE(object.value("key").toArray(),
             (QJsonArray{QJsonObject{{"key", "20"}, {"funcIndex", 95}}, QJsonObject{{"key", 22}, {"value1", ""}},
                         QJsonObject{{"key", 20.5}, {"funcIndex", 30}}}));

    // A section of the wrong type is kept as it was, never replaced by an empty array.
    QJsonObject oddLights = keyboardDocument({keyEntry(20, 58)}, {});
    oddLights.insert("keyLight", "not an array");
    writeBytes(mPath, QJsonDocument(oddLights).toJson());
    QVERIFY(mController.initJsonObj(mPath, object));
    QCOMPARE(object.value("keyLight"), QJsonValue("not an array"));

    QJsonObject noLights = keyboardDocument({keyEntry(20, 58)}, {});
    noLights.remove("keyLight");
    writeBytes(mPath, QJsonDocument(noLights).toJson());
    QVERIFY(mController.initJsonObj(mPath, object));
    QVERIFY(!object.contains("keyLight"));
    QCOMPARE(object.value("key").toArray(), (QJsonArray{QJsonObject{{"key", 22}, {"funcIndex", 95}, {"value1", ""}}}));
}

void TestConfigMigration::otherDeviceOnlyGetsTheVersion()
{
    const QJsonObject document{{"deviceName", "FARRANT"}, {"key", QJsonArray{keyEntry(20, 58)}}};
    writeBytes(mPath, QJsonDocument(document).toJson());
    QJsonObject object;
    QVERIFY(mController.initJsonObj(mPath, object));
    QJsonObject expected = document;
    expected.insert("configVersion", 2);
    QCOMPARE(object, expected);
    QCOMPARE(QJsonDocument::fromJson(readBytes(mPath)).object(), expected);
}

void TestConfigMigration::currentVersionIsLeftAlone()
{
    const QByteArray text = "{\"configVersion\": 3, \"deviceName\": \"ZEPHRA\", \"key\": [{\"key\": 100, \"funcIndex\": 68}]}";
    writeBytes(mPath, text);
    QJsonObject object;
    QVERIFY(mController.initJsonObj(mPath, object));
    QCOMPARE(object.value("key").toArray().at(0).toObject().value("key").toInt(), 100);
    QCOMPARE(readBytes(mPath), text);
}

void TestConfigMigration::unknownNumberFailsAndKeepsTheFile_data()
{
    QTest::addColumn<QJsonObject>("document");
    QTest::addColumn<QString>("log");

    QTest::newRow("key 100") << keyboardDocument({keyEntry(20, 58), keyEntry(100, 58)}, {}) << "transNewKey error: key: 100";
    QTest::newRow("function 68") << keyboardDocument({keyEntry(20, 68)}, {}) << "transFunc error: func 68";
    QTest::newRow("function 200") << keyboardDocument({keyEntry(20, 200)}, {}) << "transFunc error: func 200";
}

void TestConfigMigration::unknownNumberFailsAndKeepsTheFile()
{
    QFETCH(QJsonObject, document);
    QFETCH(QString, log);
    const QByteArray text = QJsonDocument(document).toJson(QJsonDocument::Compact);
    writeBytes(mPath, text);

    const QJsonObject before{{"untouched", true}};
    QJsonObject object = before;
    QTest::ignoreMessage(QtDebugMsg, log.toUtf8().constData());
    QVERIFY(!mController.initJsonObj(mPath, object));
    QCOMPARE(object, before);
    QCOMPARE(readBytes(mPath), text);
    QCOMPARE(QDir(mDir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"profile.json"});
}

void TestConfigMigration::unreadableInputIsNeverWritten_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("create");

    QTest::newRow("missing file") << QByteArray() << false;
    QTest::newRow("empty file") << QByteArray() << true;
    QTest::newRow("broken JSON") << QByteArray("{\"deviceName\": \"ZEPHRA\", ") << true;
    QTest::newRow("array root") << QByteArray("[1, 2]") << true;
    // Read as 0, the text would have a current document renumbered again.
    QTest::newRow("version as text")
        << QByteArray("{\"configVersion\": \"2\", \"deviceName\": \"ZEPHRA\", \"key\": [{\"key\": 20, \"funcIndex\": 58}]}")
        << true;
}

void TestConfigMigration::unreadableInputIsNeverWritten()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, create);
    if (create)
        writeBytes(mPath, content);

    QJsonObject object{{"kept", 1}};
    QVERIFY(!mController.initJsonObj(mPath, object));
    QCOMPARE(object, (QJsonObject{{"kept", 1}}));
    QCOMPARE(QFile::exists(mPath), create);
    if (create)
        QCOMPARE(readBytes(mPath), content);
}

void TestConfigMigration::namedPipeIsNeverRead()
{
    // Opening a pipe waits for a writer that never comes; profile and macro readers must not try.
    const QString pipe = mDir->filePath("pipe.json");
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QJsonObject object{{"kept", 1}};
    QVERIFY(!mController.initJsonObj(pipe, object));
    QCOMPARE(object, (QJsonObject{{"kept", 1}}));
    QCOMPARE(convertOldMacroFile(pipe), 0);
    QVERIFY(QFileInfo(pipe).exists() && !QFileInfo(pipe).isFile());
}

void TestConfigMigration::byteOrderMarkIsAccepted()
{
    writeBytes(mPath, "\xEF\xBB\xBF{\"configVersion\": 2, \"deviceName\": \"ZEPHRA\"}");
    QJsonObject object;
    QVERIFY(mController.initJsonObj(mPath, object));
    QCOMPARE(object.value("deviceName").toString(), QString("ZEPHRA"));
}

void TestConfigMigration::syncToFileReplacesWholeOrNotAtAll()
{
    const QJsonObject document{{"configVersion", 2}, {"name", QString::fromUtf8("默认配置")}};
    QVERIFY(mController.syncToFile(mPath, document));
    const QByteArray written = readBytes(mPath);
    QVERIFY(!written.startsWith("\xEF\xBB\xBF"));
    QVERIFY(written.contains('\n'));
    QCOMPARE(QJsonDocument::fromJson(written).object(), document);

    // A folder in the way and a missing folder: nothing is written and nothing else is touched.
    QDir(mDir->path()).mkdir("folder.json");
    QVERIFY(!mController.syncToFile(mDir->filePath("folder.json"), document));
    QVERIFY(QFileInfo(mDir->filePath("folder.json")).isDir());
    QVERIFY(!mController.syncToFile(mDir->filePath("missing/profile.json"), document));
    QCOMPARE(readBytes(mPath), written);

    // A disk that fills up while the new text is written.
    QJsonObject bigger = document;
    bigger.insert("key", QJsonArray{keyEntry(14, 95), keyEntry(15, 96), keyEntry(16, 97)});
    {
        FileSizeLimit limit(16);
        QVERIFY(limit.isActive());
        QVERIFY(!mController.syncToFile(mPath, bigger));
    }
    QCOMPARE(readBytes(mPath), written);
    QCOMPARE(QDir(mDir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"profile.json"});
}

void TestConfigMigration::factoryPaths_data()
{
    QTest::addColumn<int>("pid");
    QTest::addColumn<QString>("path");

    QTest::newRow("keyboard") << int(DeviceIds::kKeyboardWired) << ":/common/newUI/Quenby_8a/Quenby_8ADefaultConfig.json";
    QTest::newRow("keyboard wireless") << int(DeviceIds::kKeyboardWireless) << QString();
    QTest::newRow("rgb keyboard") << int(DeviceIds::kRgbKeyboard) << ":/common/newUI/Quenby_RGB/Quenby_RGBDefaultConfig.json";
    QTest::newRow("Gadsby wireless") << int(DeviceIds::mousePid("GADSBY", true)) << ":/common/Gadsby/Gadsby_WirelessDefaultConfig.json";
    QTest::newRow("Ickwor wired") << int(DeviceIds::mousePid("ICKWOR")) << ":/common/Ickwor/IckworDefaultConfig.json";
    QTest::newRow("Maldon wired") << int(DeviceIds::mousePid("KELHAM_NORDIC")) << ":/common/newUI/Maldon/MaldonDefaultConfig.json";
    QTest::newRow("Maldon wireless") << int(DeviceIds::mousePid("KELHAM_NORDIC", true)) << ":/common/Maldon/Maldon_WirelessDefaultConfig.json";
    QTest::newRow("Ulverd low") << int(DeviceIds::mousePid("ULVERD_LOW")) << ":/common/Ulverd_LOW/Ulverd_LOWDefaultConfig.json";
    QTest::newRow("model without a factory profile") << int(DeviceIds::mousePid("NESBIT")) << QString();
    QTest::newRow("no id") << 0 << QString();
}

void TestConfigMigration::factoryPaths()
{
    QFETCH(int, pid);
    QFETCH(QString, path);
    QCOMPARE(mController.getDefaultPath(pid), path);
}

void TestConfigMigration::modelPredicates()
{
    QVERIFY(mController.isKeyboardPid(DeviceIds::kKeyboardWired));
    QVERIFY(!mController.isKeyboardPid(DeviceIds::kKeyboardWireless));
    QVERIFY(!mController.isKeyboardPid(0));

    QVERIFY(mController.isPackedValuePid(DeviceIds::kKeyboardWired));
    QVERIFY(!mController.isSwappedModifierPid(DeviceIds::kKeyboardWired));
    for (const char* model : {"FARRANT", "GADSBY", "ICKWOR", "YARRIN", "ZENNOR", "ABBERLY", "KELHAM"}) {
        for (const bool wireless : {false, true}) {
            const int pid = DeviceIds::mousePid(model, wireless);
            QVERIFY2(mController.isSwappedModifierPid(pid), model);
            QVERIFY2(mController.isPackedValuePid(pid), model);
        }
    }
    QVERIFY(mController.isPackedValuePid(DeviceIds::mousePid("JARROW_NORDIC", true)));
    QVERIFY(!mController.isPackedValuePid(DeviceIds::mousePid("JARROW_NORDIC")));
    QVERIFY(mController.isPackedValuePid(DeviceIds::kPackedValueExtraMouse));
    QVERIFY(!mController.isPackedValuePid(DeviceIds::mousePid("DUNMOR")));
    QVERIFY(!mController.isSwappedModifierPid(DeviceIds::mousePid("KELHAM_NORDIC")));
    QVERIFY(!mController.isPackedValuePid(0));
}

void TestConfigMigration::modifierFunction_data()
{
    QTest::addColumn<int>("func");
    QTest::addColumn<bool>("modifier");
    for (const int f : {31, 32, 35, 36, 46, 47, 57, 58, -1, 0})
        QTest::addRow("%d", f) << f << ((f >= 32 && f <= 35) || (f >= 47 && f <= 57));
}

void TestConfigMigration::modifierFunction()
{
    QFETCH(int, func);
    QFETCH(bool, modifier);
    QCOMPARE(mController.isModifierFunction(func), modifier);
}

QTEST_GUILESS_MAIN(TestConfigMigration)
#include "tst_configmigration.moc"
