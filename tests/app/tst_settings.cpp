#include "app/KAppCommon.h"
#include "app/KAppModel.h"
#include "app/KConfigCommon.h"
#include "common/DeviceIds.h"
#include "online/KNetBase.h"
#include "online/KNetCommon.h"
#include "online/analytics/GAnalytics.h"
#include "LogCapture.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

// The settings file and the application model it fills: first start, round trips, the per-device profile
// array, the token, and the model's setters and save requests.
class TestSettings : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_pid = 0;

    QString path() const { return m_dir.filePath(QStringLiteral("AppConfig.ini")); }

    std::unique_ptr<KConfigCommon> open()
    {
        return std::make_unique<KConfigCommon>(path(), [this] { return m_pid; });
    }

    static int macroFiles()
    {
        return QDir(KAppCommon::instance()->getMacroFolderPath()).entryList(QDir::Files).size();
    }

    static QByteArray fileText(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // The records of the "Equipment" array as the file holds them.
    QMap<int, QString> records() const
    {
        QSettings ini(path(), QSettings::IniFormat);
        ini.setIniCodec("UTF-8");
        QMap<int, QString> map;
        const int size = ini.beginReadArray(QStringLiteral("Equipment"));
        for (int i = 0; i < size; ++i) {
            ini.setArrayIndex(i);
            map.insert(ini.value("pid").toInt(), ini.value("path").toString());
        }
        ini.endArray();
        return map;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QDir(KAppCommon::instance()->getAppConfigFolderPath()).removeRecursively();
        QVERIFY(QDir().mkpath(KAppCommon::instance()->getMacroFolderPath()));
    }

    void init()
    {
        QFile::remove(path());
        m_pid = 0;
    }

    // The web API's address and the online check's host come from the file when it sets them; anything else
    // keeps what the program had (the built-in https addresses in a real run).
    void networkSettings_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("apiBase");
        QTest::addColumn<QString>("checkHost");
        QTest::addColumn<QString>("analyticsUrl");

        QTest::newRow("all set") << QByteArray("[General]\napiBase=http://127.0.0.1:8080/\ncheckHost=localhost\n"
                                               "analyticsUrl=http://127.0.0.1:8081/collect\n")
                                 << "http://127.0.0.1:8080" << "localhost" << "http://127.0.0.1:8081/collect";
        QTest::newRow("host only") << QByteArray("[General]\ncheckHost=127.0.0.1\n") << "https://before.invalid"
                                   << "127.0.0.1" << "https://before.invalid/collect";
        QTest::newRow("blank values") << QByteArray("[General]\napiBase=\ncheckHost=  \nanalyticsUrl= \n")
                                      << "https://before.invalid" << "before.invalid" << "https://before.invalid/collect";
        QTest::newRow("invalid analytics address") << QByteArray("[General]\nanalyticsUrl=http://[::1\n")
                                                   << "https://before.invalid" << "before.invalid"
                                                   << "https://before.invalid/collect";
        QTest::newRow("neither") << QByteArray("[General]\nlanguage=en\n") << "https://before.invalid"
                                 << "before.invalid" << "https://before.invalid/collect";
        QTest::newRow("no file") << QByteArray() << "https://before.invalid" << "before.invalid"
                                 << "https://before.invalid/collect";
    }

    void networkSettings()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, apiBase);
        QFETCH(QString, checkHost);
        QFETCH(QString, analyticsUrl);
        if (!ini.isEmpty()) {
            QFile file(path());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(ini);
        }
        const QString oldBase = KNetBase::apiBase();
        const QString oldHost = KNetCommon::checkHost();
        const QUrl oldAnalytics = GAnalytics::collectUrl();
        KNetBase::setApiBase(QStringLiteral("https://before.invalid"));
        KNetCommon::setCheckHost(QStringLiteral("before.invalid"));
        GAnalytics::setCollectUrl(QUrl(QStringLiteral("https://before.invalid/collect")));

        KConfigCommon::applyNetworkSettings(path());
        const QString base = KNetBase::apiBase();
        const QString host = KNetCommon::checkHost();
        const QString analytics = GAnalytics::collectUrl().toString();
        KNetBase::setApiBase(oldBase);
        KNetCommon::setCheckHost(oldHost);
        GAnalytics::setCollectUrl(oldAnalytics);
        QCOMPARE(base, apiBase);
        QCOMPARE(host, checkHost);
        QCOMPARE(analytics, analyticsUrl);
    }

    void firstStartWritesDefaultsAndStarterMacros()
    {
        const int before = macroFiles();
        {
            auto settings = open();
            QVERIFY(!settings->getIsFirst());
            QVERIFY(!settings->getGAState());
            QVERIFY(!settings->getDisableUpdate());
            QVERIFY(settings->getLanguage() == "zh" || settings->getLanguage() == "en");
            // The model's own default is true; the file's false wins.
            QCOMPARE(KAppModel::instance()->getGaEnable(), false);
            QVERIFY(!settings->getLogin());
            QVERIFY(settings->setLanguage(QStringLiteral("en")));
        }
        QCOMPARE(macroFiles(), before + 3);
        // Only the owner may read the file: it holds the login token.
        QCOMPARE(QFile::permissions(path()) & (QFileDevice::ReadGroup | QFileDevice::ReadOther), QFileDevice::Permissions());

        auto again = open();
        QCOMPARE(macroFiles(), before + 3);
        QCOMPARE(again->getLanguage(), QStringLiteral("en"));
    }

    void userRoundTrip()
    {
        const QString token = QStringLiteral("eyJhbGciOi.Jz-Ü_token");
        LogCapture log;
        {
            auto settings = open();
            settings->setToken(token);
            settings->setNickName(QStringLiteral("Morgan"));
            settings->setUsername(QStringLiteral("morgan@example.org"));
            settings->setHeadPortrait(QStringLiteral("head.png"));
            settings->writeGAState(true);
            settings->writeDisableUpdate(true);
        }
        QVERIFY(!fileText(path()).contains("eyJhbGciOi"));
        QVERIFY(!fileText(path()).contains("Jz-"));

        auto settings = open();
        QCOMPARE(settings->getToken(), token);
        QVERIFY(settings->getLogin());
        KAppModel* model = KAppModel::instance();
        QCOMPARE(model->getToken(), token);
        QCOMPARE(model->getNickname(), QStringLiteral("Morgan"));
        QCOMPARE(model->getUsername(), QStringLiteral("morgan@example.org"));
        QCOMPARE(model->getHeadportrait(), QStringLiteral("head.png"));
        QVERIFY(model->getGaEnable());
        QVERIFY(model->getDisableUpdate());

        QSignalSpy nickname(model, &KAppModel::nicknameChanged);
        QSignalSpy login(settings.get(), &KConfigCommon::loginChanged);
        QVERIFY(settings->clearUserInfo());
        QCOMPARE(settings->getToken(), QString());
        QCOMPARE(settings->getNickName(), QString());
        QVERIFY(!settings->getLogin());
        QCOMPARE(login.count(), 1);
        QCOMPARE(nickname.count(), 1);
        QCOMPARE(model->getToken(), QString());
        QCOMPARE(settings->getHeadportrait(), QStringLiteral("head.png"));
        // The token is never logged, in clear or as stored.
        QVERIFY(!log.contains(token));
        QVERIFY(!log.contains(QString::fromLatin1(token.toLocal8Bit().toBase64())));
    }

    // Every record survives whichever one is written; a new id appends one, a known id changes its path.
    void equipmentArrayKeepsEveryRecord()
    {
        auto settings = open();
        KAppModel* model = KAppModel::instance();
        const QList<int> pids = {0x1111, 0x2222, 0x3333};
        for (int pid : pids) {
            m_pid = pid;
            model->setMouseConfig(QStringLiteral("/profiles/%1.json").arg(pid), true);
        }
        QCOMPARE(records().size(), 3);

        m_pid = 0x1111; // the first record, not the last: writing it must not cut the array
        model->setMouseConfig(QStringLiteral("/profiles/changed.json"), true);
        QCOMPARE(records(), (QMap<int, QString>{{0x1111, "/profiles/changed.json"},
                                               {0x2222, "/profiles/8738.json"},
                                               {0x3333, "/profiles/13107.json"}}));

        m_pid = 0x2222;
        auto reopened = open();
        QCOMPARE(reopened->getEquipmentConfigPath(), QStringLiteral("/profiles/8738.json"));
        QCOMPARE(model->getConfigPath(), QStringLiteral("/profiles/8738.json"));
        m_pid = 0x4444;
        QCOMPARE(reopened->getEquipmentConfigPath(), QString());

        // The device controller's request re-reads the path of the device now current.
        m_pid = 0x3333;
        emit model->sig_updateConfigPath();
        QCOMPARE(model->getConfigPath(), QStringLiteral("/profiles/13107.json"));
    }

    // A profile chosen on a wireless id is kept for its wired partner too; the wired keyboard's never goes to
    // its wireless id.
    void wirelessPathIsMirroredToTheWiredPartner()
    {
        auto settings = open();
        m_pid = DeviceIds::kKeyboardWireless;
        KAppModel::instance()->setMouseConfig(QStringLiteral("/p/a.json"), true);
        QCOMPARE(records().value(DeviceIds::kKeyboardWired), QStringLiteral("/p/a.json"));
        QCOMPARE(records().value(DeviceIds::kKeyboardWireless), QStringLiteral("/p/a.json"));

        m_pid = DeviceIds::kKeyboardWired;
        KAppModel::instance()->setMouseConfig(QStringLiteral("/p/k.json"), true);
        QCOMPARE(records().value(DeviceIds::kKeyboardWired), QStringLiteral("/p/k.json"));
        QCOMPARE(records().value(DeviceIds::kKeyboardWireless), QStringLiteral("/p/a.json"));
    }

    void configIndex_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("index");
        QTest::newRow("number") << "/cfg/ZEPHRA/Name_12abc.json" << 12;
        QTest::newRow("no underscore") << "/cfg/ZEPHRA/Name.json" << 0;
        QTest::newRow("no digits") << "/cfg/ZEPHRA/Name_x.json" << 0;
        QTest::newRow("folder with underscore") << "/home/a_7/ZEPHRA/Name_3.json" << 3;
        QTest::newRow("folder with underscore, none in the name") << "/home/a_7/Name.json" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("too many digits") << "/c/N_99999999999999999999.json" << 0;
    }

    void configIndex()
    {
        QFETCH(QString, path);
        QTEST(KConfigCommon::configIndexOf(path), "index");
    }

    void modelSaveRequestsReachTheFile()
    {
        auto settings = open();
        KAppModel* model = KAppModel::instance();
        QSignalSpy language(model, &KAppModel::languageChanged);
        model->setCurrentLanguage(QStringLiteral("en"));
        QCOMPARE(language.count(), 1);
        QCOMPARE(settings->getLanguage(), QStringLiteral("en"));
        model->setCurrentLanguage(QStringLiteral("zh"), false);
        QCOMPARE(settings->getLanguage(), QStringLiteral("en"));
        model->setGAEnable(true);
        QVERIFY(settings->getGAState());
        model->setDisableUpdateState(true);
        QVERIFY(settings->getDisableUpdate());
        model->setDisableUpdateState(false, false);
        QVERIFY(settings->getDisableUpdate());
    }

    void mouseValuesStayInRange_data()
    {
        QTest::addColumn<QString>("setter");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("taken");
        QTest::newRow("scroll type 1") << "setScrollType" << 1 << true;
        QTest::newRow("scroll type 2") << "setScrollType" << 2 << false;
        QTest::newRow("scroll type -1") << "setScrollType" << -1 << false;
        QTest::newRow("scroll line 100") << "setScrollLine" << 100 << true;
        QTest::newRow("scroll line 101") << "setScrollLine" << 101 << false;
        QTest::newRow("speed 10") << "setSpeed" << 10 << true;
        QTest::newRow("speed 11") << "setSpeed" << 11 << false;
        QTest::newRow("speed -1") << "setSpeed" << -1 << false;
    }

    void mouseValuesStayInRange()
    {
        QFETCH(QString, setter);
        QFETCH(int, value);
        QFETCH(bool, taken);
        KAppModel* model = KAppModel::instance();
        QSignalSpy type(model, &KAppModel::wheelScrollTypeChanged);
        QSignalSpy line(model, &KAppModel::wheelScrollLineChanged);
        QSignalSpy speed(model, &KAppModel::cursorSpeedChanged);
        QVERIFY(QMetaObject::invokeMethod(model, setter.toLatin1().constData(), Q_ARG(int, value), Q_ARG(bool, true)));
        QCOMPARE(type.count() + line.count() + speed.count(), taken ? 1 : 0);
        if (taken) {
            const int now = setter == "setScrollType" ? model->getWheelScrollType()
                            : setter == "setScrollLine" ? model->getWheelScrollLine()
                                                        : model->getCursorSpeed();
            QCOMPARE(now, value);
        }
    }

    void mouseConfigWithoutWriteChangesNothing()
    {
        KAppModel* model = KAppModel::instance();
        model->setConfigPath(QStringLiteral("/kept.json"));
        QSignalSpy changed(model, &KAppModel::configPathChanged);
        QSignalSpy save(model, &KAppModel::sig_SaveConfig);
        model->setMouseConfig(QStringLiteral("/other.json"), false);
        QCOMPARE(model->getConfigPath(), QStringLiteral("/kept.json"));
        QCOMPARE(changed.count() + save.count(), 0);
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
