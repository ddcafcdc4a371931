#include <QtTest>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "models/keys/HMacroType.h"
#include "models/keys/KMacroItem.h"

#include "FileSizeLimit.h"
#include "PipeRelease.h"

#include <sys/stat.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

QJsonObject readObject(const QString& path)
{
    return QJsonDocument::fromJson(readAll(path)).object();
}

// What the recording list does when it saves: replace "list" in the existing document, keep the rest.
void saveEvents(const QString& path, const QVector<KMacroItem>& events)
{
    QJsonObject object = readObject(path);
    QJsonArray list;
    for (const KMacroItem& event : events)
        list.append(event.toJson());
    object.insert(QStringLiteral("list"), list);
    writeAll(path, QJsonDocument(object).toJson());
}

QVector<KMacroItem> loadEvents(const QString& path)
{
    QVector<KMacroItem> events;
    const QJsonArray list = readObject(path).value(QStringLiteral("list")).toArray();
    for (const QJsonValue& value : list)
        events << KMacroItem::fromJson(value.toObject());
    return events;
}

// Collects what is logged while it lives.
class LogCapture
{
public:
    LogCapture() { s_lines.clear(); s_previous = qInstallMessageHandler(&LogCapture::handle); }
    ~LogCapture() { qInstallMessageHandler(s_previous); }
    QStringList lines() const { return s_lines; }

private:
    static void handle(QtMsgType, const QMessageLogContext&, const QString& message) { s_lines << message; }
    static inline QStringList s_lines;
    static inline QtMessageHandler s_previous = nullptr;
};

const QVector<KMacroItem> kEvents{
    KMacroItem(KMacroItem::KeyboardKey, 4, 30, false, QStringLiteral("A")),
    KMacroItem(KMacroItem::Delay, 120, 0, false, QString()),
    KMacroItem(KMacroItem::KeyboardKey, 4, 30, true, QStringLiteral("A")),
    KMacroItem(KMacroItem::Pointer, 640, 480, false, QString()),
    KMacroItem(KMacroItem::MouseButton, 1, 0, true, QStringLiteral("Mouse_Left")),
};

} // namespace

class tst_MacroType : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void setTimes_data();
    void setTimes();
    void timesStepsStopAtBounds();
    void selectPlayType_data();
    void selectPlayType();
    void macroNames();
    void initFromFile_data();
    void initFromFile();
    void roundTripKeepsEverything_data();
    void roundTripKeepsEverything();
    void saveToFileLeavesBadFileAlone();
    void failedWriteKeepsOldFile();
    void saveFileName_data();
    void saveFileName();
    void macroItemJson();

private:
    QTemporaryDir m_dir;
    QString m_path;
};

void tst_MacroType::init()
{
    QVERIFY(m_dir.isValid());
    m_path = m_dir.filePath(QStringLiteral("%1.json").arg(QTest::currentTestFunction()));
    QFile::remove(m_path);
    QDir(m_path).removeRecursively();
}

void tst_MacroType::setTimes_data()
{
    QTest::addColumn<int>("input");
    QTest::addColumn<int>("stored");

    QTest::newRow("zero") << 0 << 1;
    QTest::newRow("negative") << -5 << 1;
    QTest::newRow("lowest") << 1 << 1;
    QTest::newRow("inside") << 999 << 999;
    QTest::newRow("highest") << 1000 << 1000;
    QTest::newRow("too many") << 5000 << 1000;
}

void tst_MacroType::setTimes()
{
    QFETCH(int, input);
    QFETCH(int, stored);
    HMacroType type;
    QSignalSpy spy(&type, &HMacroType::valueChanged);
    type.setTimes(input);
    QCOMPARE(type.getValue(), stored);
    QCOMPARE(spy.count(), 2); // so that a field showing the unclamped input is refreshed

    type.setTimes(7, false);
    QCOMPARE(type.getValue(), stored);
    QCOMPARE(spy.count(), 2);
}

void tst_MacroType::timesStepsStopAtBounds()
{
    HMacroType type;
    QSignalSpy spy(&type, &HMacroType::valueChanged);
    type.reduceTimes();
    QCOMPARE(type.getValue(), 1);
    QCOMPARE(spy.count(), 0);
    type.addTimes();
    QCOMPARE(type.getValue(), 2);
    type.addTimes(false);
    type.reduceTimes(false);
    QCOMPARE(type.getValue(), 2);
    QCOMPARE(spy.count(), 1);

    type.setTimes(1000);
    spy.clear();
    type.addTimes();
    QCOMPARE(type.getValue(), 1000);
    QCOMPARE(spy.count(), 0);
    type.reduceTimes();
    QCOMPARE(type.getValue(), 999);
}

void tst_MacroType::selectPlayType_data()
{
    QTest::addColumn<QString>("index");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("cycles") << "1" << true;
    QTest::newRow("toggle") << "2" << true;
    QTest::newRow("while pressed") << "3" << true;
    QTest::newRow("zero") << "0" << false;
    QTest::newRow("four") << "4" << false;
    QTest::newRow("text") << "x" << false;
    QTest::newRow("empty") << "" << false;
}

void tst_MacroType::selectPlayType()
{
    QFETCH(QString, index);
    QFETCH(bool, accepted);
    HMacroType type;
    QSignalSpy spy(&type, &HMacroType::currentIndexChanged);
    QStringList logged;
    {
        LogCapture capture;
        type.selectPlayType(index);
        logged = capture.lines();
    }
    QCOMPARE(type.getCurrentIndex(), accepted ? index : QStringLiteral("1"));
    QCOMPARE(spy.count(), accepted ? 1 : 0);
    QCOMPARE(logged, accepted ? QStringList{ "[Info] write playType index: " + index } : QStringList());

    type.selectPlayType(QStringLiteral("2"), false);
    QCOMPARE(type.getCurrentIndex(), accepted ? index : QStringLiteral("1"));
}

void tst_MacroType::macroNames()
{
    HMacroType type;
    QCOMPARE(type.getMacroName(), QString());

    const QString inFolder = m_dir.filePath(QStringLiteral("first.json"));
    QVERIFY(type.setMacroName(inFolder));
    QCOMPARE(type.getMacroName(), QStringLiteral("first.json"));
    QVERIFY(type.setMacroName(QStringLiteral("/no/such/folder/x")));
    QCOMPARE(type.getMacroName(), QStringLiteral("/no/such/folder/x"));
    QVERIFY(!type.setMacroName(QStringLiteral("other"), false));
    QCOMPARE(type.getMacroName(), QStringLiteral("/no/such/folder/x"));

    QVERIFY(type.setMacroName(QVector<QString>{ inFolder, QStringLiteral("second") }));
    QCOMPARE(type.getMacroName(), QStringLiteral("first/second"));
    QVERIFY(!type.setMacroName(QVector<QString>{}));
    QVERIFY(!type.setMacroName(QVector<QString>{ QStringLiteral("third") }, false));
    QCOMPARE(type.getMacroName(), QStringLiteral("first/second"));

    type.clearMacroName();
    QCOMPARE(type.getMacroName(), QString());
}

void tst_MacroType::initFromFile_data()
{
    QTest::addColumn<QByteArray>("content"); // "<none>" for no file at all, "<folder>" for a folder in its place
    QTest::addColumn<QString>("playType");
    QTest::addColumn<bool>("ignoreTime");
    QTest::addColumn<int>("times");
    QTest::addColumn<int>("signalCount");
    QTest::addColumn<QString>("warning"); // the one warning expected, if any

    // Before each read the settings are "2", true, 7.
    QTest::newRow("complete") << QByteArray(R"({"playType":"3","ignoreTime":false,"times":12,"list":[]})")
                              << "3" << false << 12 << 1 << "";
    QTest::newRow("missing times") << QByteArray(R"({"playType":"1"})") << "1" << false << 1 << 1 << "";
    QTest::newRow("times above the limit") << QByteArray(R"({"playType":"1","times":5000})") << "1" << false << 1000 << 1 << "";
    QTest::newRow("times beyond an int") << QByteArray(R"({"playType":"2","times":1e12})") << "2" << false << 1000 << 1 << "";
    QTest::newRow("times below the limit") << QByteArray(R"({"playType":"1","times":-3})") << "1" << false << 1 << 1 << "";
    QTest::newRow("missing play type") << QByteArray(R"({"times":5,"ignoreTime":false})") << "2" << true << 7 << 0 << "";
    QTest::newRow("empty play type") << QByteArray(R"({"playType":"","times":5})") << "2" << true << 7 << 0 << "";
    QTest::newRow("unknown play type") << QByteArray(R"({"playType":"9","times":5})") << "2" << true << 7 << 0
                                       << "[Error] macro playType out of range: 9";
    QTest::newRow("zero play type") << QByteArray(R"({"playType":"0","times":5})") << "2" << true << 7 << 0
                                    << "[Error] macro playType out of range: 0";
    QTest::newRow("unparsable") << QByteArray("{\"playType\":\"3\",") << "2" << true << 7 << 0 << "";
    QTest::newRow("not an object") << QByteArray("[1,2]") << "2" << true << 7 << 0 << "";
    QTest::newRow("zero bytes resets") << QByteArray() << "1" << false << 1 << 1 << "";
    QTest::newRow("no file") << QByteArray("<none>") << "2" << true << 7 << 0 << "[Error] open macro json error";
    QTest::newRow("folder") << QByteArray("<folder>") << "2" << true << 7 << 0 << "[Error] open macro json error";
    QTest::newRow("pipe") << QByteArray("<fifo>") << "2" << true << 7 << 0 << "[Error] open macro json error";
    QTest::newRow("times as text") << QByteArray(R"({"playType":"1","times":"5"})") << "2" << true << 7 << 0
                                   << "[Error] macro ignoreTime or times of the wrong type";
    QTest::newRow("ignore time as number") << QByteArray(R"({"playType":"1","ignoreTime":0,"times":5})") << "2" << true
                                           << 7 << 0 << "[Error] macro ignoreTime or times of the wrong type";
}

void tst_MacroType::initFromFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, playType);
    QFETCH(bool, ignoreTime);
    QFETCH(int, times);
    QFETCH(int, signalCount);
    QFETCH(QString, warning);

    if (content == "<folder>")
        QVERIFY(QDir().mkpath(m_path));
    else if (content == "<fifo>")
        QCOMPARE(::mkfifo(QFile::encodeName(m_path).constData(), 0600), 0);
    else if (content != "<none>")
        writeAll(m_path, content);
    HMacroType type;
    type.selectPlayType(QStringLiteral("2"));
    type.setIgnoreTimeType(true);
    type.setTimes(7);
    QSignalSpy indexSpy(&type, &HMacroType::currentIndexChanged);
    QSignalSpy ignoreSpy(&type, &HMacroType::ignoreTimeChanged);
    QSignalSpy valueSpy(&type, &HMacroType::valueChanged);

    if (!warning.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));
    {
        // Should the read ever wait on the pipe, a writer that comes and goes ends the wait.
        const PipeRelease release(content == "<fifo>" ? m_path : QString());
        type.initFromFile(m_path);
    }
    QCOMPARE(type.getCurrentIndex(), playType);
    QCOMPARE(type.getIgnoreTime(), ignoreTime);
    QCOMPARE(type.getValue(), times);
    QCOMPARE(indexSpy.count(), signalCount);
    QCOMPARE(ignoreSpy.count(), signalCount);
    QCOMPARE(valueSpy.count(), signalCount);
}

void tst_MacroType::roundTripKeepsEverything_data()
{
    QTest::addColumn<bool>("settingsFirst");
    QTest::addColumn<QByteArray>("initial");

    QTest::newRow("settings, then events, new file") << true << QByteArray();
    QTest::newRow("events, then settings, new file") << false << QByteArray();
    QTest::newRow("settings, then events, existing macro")
        << true << QByteArray(R"({"macroName":"old","playType":"1","ignoreTime":false,"times":1,"list":[]})");
    QTest::newRow("events, then settings, existing macro")
        << false << QByteArray(R"({"macroName":"old","playType":"1","ignoreTime":false,"times":1,"list":[]})");
}

void tst_MacroType::roundTripKeepsEverything()
{
    QFETCH(bool, settingsFirst);
    QFETCH(QByteArray, initial);
    writeAll(m_path, initial);

    HMacroType editor;
    editor.selectPlayType(QStringLiteral("3"));
    editor.setIgnoreTimeType(true);
    editor.setTimes(42);
    editor.setMacroName(QStringLiteral("Combo"));

    if (settingsFirst) {
        editor.saveToFile(m_path);
        saveEvents(m_path, kEvents);
    } else {
        if (initial.isEmpty())
            writeAll(m_path, "{}"); // the list writes only into an existing document
        saveEvents(m_path, kEvents);
        editor.saveToFile(m_path);
    }

    const QJsonObject object = readObject(m_path);
    QCOMPARE(object.keys(), (QStringList{ "ignoreTime", "list", "macroName", "playType", "times" }));
    QCOMPARE(object.value("macroName").toString(), QStringLiteral("Combo"));
    QCOMPARE(object.value("playType").toString(), QStringLiteral("3"));
    QCOMPARE(loadEvents(m_path), kEvents);

    HMacroType reader;
    reader.initFromFile(m_path);
    QCOMPARE(reader.getCurrentIndex(), QStringLiteral("3"));
    QCOMPARE(reader.getIgnoreTime(), true);
    QCOMPARE(reader.getValue(), 42);
}

void tst_MacroType::saveToFileLeavesBadFileAlone()
{
    const QByteArray damaged("{\"list\":[{\"type\":0,");
    writeAll(m_path, damaged);
    HMacroType type;
    type.setTimes(3);
    type.saveToFile(m_path);
    QCOMPARE(readAll(m_path), damaged);

    // Nor is a folder that stands where the file should be.
    const QString folder = m_dir.filePath(QStringLiteral("folder.json"));
    QVERIFY(QDir().mkpath(folder));
    QTest::ignoreMessage(QtWarningMsg, "[Error] write macro json error");
    type.saveToFile(folder);
    QVERIFY(QFileInfo(folder).isDir());

    // Nor a pipe: it is neither waited on nor replaced by a file.
    const QString pipe = m_dir.filePath(QStringLiteral("pipe.json"));
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QTest::ignoreMessage(QtWarningMsg, "[Error] write macro json error");
    {
        const PipeRelease release(pipe);
        type.saveToFile(pipe);
    }
    QVERIFY(QFileInfo(pipe).exists() && !QFileInfo(pipe).isFile());

    // A file that does not exist yet is created with the settings.
    const QString fresh = m_dir.filePath(QStringLiteral("fresh.json"));
    type.saveToFile(fresh);
    QCOMPARE(readObject(fresh).value("times").toInt(), 3);
}

// A disk that fills up halfway through a save must not cost the user the macro already stored.
void tst_MacroType::failedWriteKeepsOldFile()
{
    QJsonObject stored{ { "macroName", "old" }, { "playType", "2" }, { "ignoreTime", false }, { "times", 4 } };
    QJsonArray list;
    for (int i = 0; i < 40; ++i)
        list.append(kEvents.at(i % kEvents.size()).toJson());
    stored.insert(QStringLiteral("list"), list);
    const QByteArray original = QJsonDocument(stored).toJson();
    writeAll(m_path, original);

    HMacroType type;
    type.setTimes(9);
    {
        FileSizeLimit limit(256); // far below the size of the document
        QVERIFY(limit.isActive());
        QTest::ignoreMessage(QtWarningMsg, "[Error] write macro json error");
        type.saveToFile(m_path);
        QTest::ignoreMessage(QtWarningMsg, "[Error] write macro json error");
        QVERIFY(!type.saveFileName(m_path, QStringLiteral("Renamed")));
    }
    QCOMPARE(readAll(m_path), original);
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("failedWrite")),
             QStringList{ QFileInfo(m_path).fileName() }); // no temporary file left behind
}

void tst_MacroType::saveFileName_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("rewritten");

    QTest::newRow("valid document") << QByteArray(R"({"macroName":"old","playType":"2","ignoreTime":true,"times":9,)"
                                                  R"("list":[{"type":2,"value1":10,"value2":0,"isUp":false,"text":""}],)"
                                                  R"("extra":"kept"})")
                                    << true;
    QTest::newRow("unparsable") << QByteArray("{\"macroName\":") << false;
    QTest::newRow("zero bytes") << QByteArray() << false;
    QTest::newRow("not an object") << QByteArray("[]") << false;
}

void tst_MacroType::saveFileName()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, rewritten);
    writeAll(m_path, content);

    HMacroType type;
    if (!rewritten)
        QTest::ignoreMessage(QtWarningMsg, qPrintable("[Error] rename macro: not a macro document: " + m_path));
    QCOMPARE(type.saveFileName(m_path, QStringLiteral("Renamed")), rewritten);
    if (!rewritten) {
        QCOMPARE(readAll(m_path), content);
        return;
    }
    QJsonObject expected = QJsonDocument::fromJson(content).object();
    expected.insert(QStringLiteral("macroName"), QStringLiteral("Renamed"));
    QCOMPARE(readObject(m_path), expected);

    // A missing file stays missing.
    const QString missing = m_dir.filePath(QStringLiteral("missing.json"));
    QTest::ignoreMessage(QtWarningMsg, qPrintable("[Error] rename macro: no macro file at " + missing));
    QVERIFY(!type.saveFileName(missing, QStringLiteral("x")));
    QVERIFY(!QFile::exists(missing));
}

void tst_MacroType::macroItemJson()
{
    const KMacroItem pointer = KMacroItem::fromJson(
        QJsonDocument::fromJson(R"({"type":4,"value1":10,"value2":20,"isUp":false,"text":""})").object());
    QCOMPARE(pointer.type, int(KMacroItem::Pointer));
    QCOMPARE(pointer.value1, 10);
    QCOMPARE(pointer.value2, 20);
    QCOMPARE(KMacroItem::fromJson(pointer.toJson()), pointer);

    const KMacroItem sparse = KMacroItem::fromJson(QJsonDocument::fromJson(R"({"type":7})").object());
    QCOMPARE(sparse, KMacroItem(7, 0, 0, false, QString()));
    QVERIFY(sparse != KMacroItem(7, 0, 0, true, QString()));
}

QTEST_GUILESS_MAIN(tst_MacroType)
#include "tst_macrotype.moc"
