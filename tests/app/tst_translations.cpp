#include "app/KTranslator.h"
#include "app/Trans.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The text a C++ or QML string literal stands for.
QString unescape(const QString& literal)
{
    QString text;
    for (int i = 0; i < literal.size(); ++i) {
        if (literal.at(i) == QLatin1Char('\\') && i + 1 < literal.size()) {
            const QChar next = literal.at(++i);
            text.append(next == QLatin1Char('n') ? QChar(QLatin1Char('\n')) : next);
        } else {
            text.append(literal.at(i));
        }
    }
    return text;
}

// Every source text of tr("...") and qsTr("...") in the program's code and documents.
QStringList userTexts()
{
    static const QRegularExpression call(QString::fromLatin1("(?:\\bqsTr|\\btr)\\(\\s*\"((?:[^\"\\\\]|\\\\.)*)\""));
    QStringList texts;
    for (const char* folder : {"/src", "/qml"}) {
        QDirIterator it(QStringLiteral(CORVANE_SOURCE_DIR) + QLatin1String(folder),
                        {"*.cpp", "*.h", "*.qml"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QString code = QString::fromUtf8(file.readAll());
            auto matches = call.globalMatch(code);
            while (matches.hasNext()) {
                texts.append(unescape(matches.next().captured(1)));
            }
        }
    }
    texts.removeDuplicates();
    return texts;
}

} // namespace

// The translator: its tables, the fallback to the source text, the language list, and the built-in Chinese
// table against every user text of the program.
class TestTranslations : public QObject
{
    Q_OBJECT

private:
    static void write(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

private slots:
    void builtInTable()
    {
        Trans trans;
        QSignalSpy languages(&trans, &Trans::languagesChanged);
        trans.init(nullptr, QString());
        QCOMPARE(languages.count(), 1);
        QVERIFY(trans.languages().contains("zh") && trans.languages().contains("English"));
        QCOMPARE(trans.languages().size(), 2);
        QCOMPARE(trans.currentLang(), QStringLiteral("English"));
        QCOMPARE(trans.trans("Exit procedure"), QStringLiteral("Exit procedure"));

        QSignalSpy changed(&trans, &Trans::currentLangChanged);
        trans.setCurrentLang("zh");
        trans.setCurrentLang("zh");
        QCOMPARE(changed.count(), 1);
        QCOMPARE(trans.trans("Exit procedure"), QStringLiteral("退出程序"));
        QCOMPARE(trans.trans("Please upload the file before downloading"), QStringLiteral("请先上传文件再下载"));
        // The installed translator answers tr() of any class by the source text alone.
        QCOMPARE(QCoreApplication::translate("AnyContext", "Display main window"), QStringLiteral("显示主窗口"));
        QCOMPARE(trans.trans("not in the table"), QStringLiteral("not in the table"));
        trans.setCurrentLang("en");
        QCOMPARE(trans.trans("Exit procedure"), QStringLiteral("Exit procedure"));
        QCoreApplication::removeTranslator(&trans);
    }

    void tablesOfAFolder()
    {
        QTemporaryDir dir;
        write(dir.filePath("language_a.json"),
              R"({"lang":"中文","trans":[{"key":"Open","value":"打开一"},{"key":"Open","value":"打开"},)"
              R"({"key":"Close","value":"关闭"}]})");
        write(dir.filePath("language_b.json"), R"({"lang":"de","trans":[{"key":"Open","value":"Öffnen"}]})");
        write(dir.filePath("language_broken.json"), "{\"lang\":\"xx\",");
        write(dir.filePath("other.json"), R"({"lang":"fr","trans":[]})");
        Trans trans;
        QSignalSpy loaded(&trans, &Trans::langLoaded);
        trans.loadFolder(dir.path());
        QCOMPARE(loaded.count(), 2);
        // The Chinese table first, the English one built from its keys, the broken file and the other name skipped.
        QCOMPARE(trans.languages().first(), QStringLiteral("中文"));
        QCOMPARE(trans.languages().size(), 3);
        QCOMPARE(trans.currentLang(), QStringLiteral("中文"));
        QCOMPARE(trans.trans("Open"), QStringLiteral("打开")); // the later duplicate wins
        trans.setCurrentLang("English");
        QCOMPARE(trans.trans("Close"), QStringLiteral("Close"));
        trans.setCurrentLang("de");
        QCOMPARE(trans.trans("Close"), QStringLiteral("Close"));
        QCOMPARE(trans.trans("Open"), QStringLiteral("Öffnen"));
        QString lang = QStringLiteral("kept");
        QVERIFY(!trans.load(lang, dir.filePath("missing.json")));
        QCOMPARE(lang, QString());
    }

    // Every text the user can see has its Chinese translation, and the table names nothing twice.
    void everyUserTextIsTranslated()
    {
        QFile file(QStringLiteral(":/trans/language_zh.json"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonArray entries = QJsonDocument::fromJson(file.readAll()).object().value("trans").toArray();
        QSet<QString> keys;
        for (const QJsonValue& entry : entries) {
            const QString key = entry.toObject().value("key").toString();
            QVERIFY2(!keys.contains(key), qPrintable("twice in the table: " + key));
            QVERIFY2(!entry.toObject().value("value").toString().isEmpty(), qPrintable(key));
            keys.insert(key);
        }
        const QStringList texts = userTexts();
        QVERIFY(texts.size() > 10);
        QStringList missing;
        for (const QString& text : texts) {
            if (!keys.contains(text))
                missing.append(text);
        }
        QVERIFY2(missing.isEmpty(), qPrintable("without a Chinese translation: " + missing.join(" | ")));
    }

    void pictureUrls_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("result");
        QTest::newRow("English png") << int(QLocale::English) << "qrc:/a/x.png" << "qrc:/a/x_en.png";
        QTest::newRow("Chinese png") << int(QLocale::Chinese) << "qrc:/a/x.png" << "qrc:/a/x.png";
        QTest::newRow("other language") << int(QLocale::German) << "qrc:/a/x.png" << "qrc:/a/x.png";
        QTest::newRow("jpeg") << int(QLocale::English) << "qrc:/a/x.jpg" << "qrc:/a/x.jpg";
        QTest::newRow("after the first png") << int(QLocale::English) << "a.png.b.png" << "a_en.png";
        QTest::newRow("capitals") << int(QLocale::English) << "a.PNG" << "a.PNG";
    }

    void pictureUrls()
    {
        QFETCH(int, language);
        QFETCH(QString, url);
        KTranslator translator;
        translator.setLanguage(QLocale::Language(language));
        QTEST(translator.getPngUrl(url), "result");
    }
};

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
