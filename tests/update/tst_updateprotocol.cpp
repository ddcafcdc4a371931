#include "update/UpdateProtocol.h"

#include <QtTest>

using namespace UpdateProtocol;

using Progress = QList<QPair<int, int>>;
Q_DECLARE_METATYPE(UpdateProtocol::ModelClass)
Q_DECLARE_METATYPE(UpdateProtocol::Result)

class TestUpdateProtocol : public QObject
{
    Q_OBJECT
private slots:
    void jobLines_data();
    void jobLines();
    void jobLineRoundTrip();
    void results_data();
    void results();
    void progressNeverEnds_data();
    void progressNeverEnds();
    void reading_data();
    void reading();
    void readingCarriesAcrossMessages();
    void proofs_data();
    void proofs();
    void tokenFile();
};

void TestUpdateProtocol::jobLines_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("malformed");
    QTest::newRow("no url") << QByteArray("ZEPHRA;en;") << "ZEPHRA" << "en" << "" << false;
    QTest::newRow("url") << QByteArray("MALDON;zh;http://127.0.0.1:80/f.zip") << "MALDON" << "zh"
                         << "http://127.0.0.1:80/f.zip" << false;
    QTest::newRow("url with ;") << QByteArray("YARRIN;en;http://h/a;b=1;c") << "YARRIN" << "en"
                                << "http://h/a;b=1;c" << false;
    QTest::newRow("no language") << QByteArray("ZEPHRA;;") << "ZEPHRA" << "" << "" << true;
    QTest::newRow("model only") << QByteArray("ZEPHRA") << "ZEPHRA" << "" << "" << true;
    QTest::newRow("empty") << QByteArray() << "" << "" << "" << true;
    QTest::newRow("empty fields skipped") << QByteArray(";;KELHAM;;en;;http://h/x") << "KELHAM" << "en"
                                          << "http://h/x" << false;
}

void TestUpdateProtocol::jobLines()
{
    QFETCH(QByteArray, line);
    const Job job = parseJob(line);
    QTEST(job.model, "model");
    QTEST(job.language, "language");
    QTEST(job.url, "url");
    QTEST(job.malformed, "malformed");
}

void TestUpdateProtocol::jobLineRoundTrip()
{
    QCOMPARE(jobLine("ZEPHRA", "en", QString()), QByteArray("ZEPHRA;en;"));
    const Job job = parseJob(jobLine("QUENBY-8A", "zh", "http://127.0.0.1:9/a;b"));
    QCOMPARE(job.model, QString("QUENBY-8A"));
    QCOMPARE(job.url, QString("http://127.0.0.1:9/a;b"));
}

// Tessaly's message for each class and pair, and what Corvane makes of it.
void TestUpdateProtocol::results_data()
{
    QTest::addColumn<ModelClass>("modelClass");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<Result>("result");
    const auto N = ModelClass::Nordic;
    const auto H = ModelClass::Hollis;
    const auto X = ModelClass::Neither;
    QTest::newRow("download fail, nordic") << N << -1 << "download fail" << QByteArray("download fail") << DownloadFailed;
    QTest::newRow("download fail, neither") << X << -1 << "download fail" << QByteArray("download fail") << DownloadFailed;
    QTest::newRow("refused, hollis") << H << -1 << "initFwDevice error" << QByteArray("initFwDevice error") << Failed;
    QTest::newRow("nordic start") << N << 1 << "updatestart" << QByteArray("updatestart") << NoResult;
    QTest::newRow("hollis start") << H << 1 << "updatestart" << QByteArray("updatestart") << NoResult;
    QTest::newRow("nordic end word") << N << 0 << "farrantupdateend" << QByteArray("updateend") << Finished;
    QTest::newRow("nordic success") << N << 0 << "successed update"
                                    << QByteArray("value:0\r\ntotle:successed update\r\n") << Finished;
    QTest::newRow("nordic failure") << N << 2 << "nrfutil failed" << QByteArray("initFwDevice error") << Failed;
    QTest::newRow("hollis finish") << H << 1 << "updateFinish" << QByteArray("updateend") << Finished;
    QTest::newRow("hollis failure") << H << 2 << "pipe broken" << QByteArray("initFwDevice error") << Failed;
    QTest::newRow("hollis other") << H << 1 << "something" << QByteArray() << NoResult;
    QTest::newRow("neither success") << X << 0 << "CawdorSeries refresh success!" << QByteArray("updateend") << Finished;
    QTest::newRow("neither failure") << X << 2 << "CawdorSeries refresh error!" << QByteArray("initFwDevice error") << Failed;
    QTest::newRow("echo") << X << 1 << "ZEPHRA;en;" << QByteArray("1\r\nZEPHRA;en;\r\n") << NoResult;
}

void TestUpdateProtocol::results()
{
    QFETCH(ModelClass, modelClass);
    QFETCH(int, code);
    QFETCH(QString, text);
    QFETCH(QByteArray, message);
    QCOMPARE(statusMessage(modelClass, code, text), message);
    StatusReader reader;
    QTEST(reader.read(message).result, "result");
}

// A bootloader reports (0, size) at its start: progress of any class never ends the update.
void TestUpdateProtocol::progressNeverEnds_data()
{
    QTest::addColumn<ModelClass>("modelClass");
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<Progress>("progress");
    QTest::newRow("neither 0 of T") << ModelClass::Neither << QByteArray("0\r\n30000\r\n") << Progress{};
    QTest::newRow("nordic 0 of T") << ModelClass::Nordic << QByteArray("value:0\r\ntotle:30000\r\n")
                                   << Progress{{0, 0}, {0, 30000}};
    QTest::newRow("hollis 37") << ModelClass::Hollis << QByteArray("value:37\r\ntotle:100\r\n")
                               << Progress{{37, 0}, {37, 100}};
}

void TestUpdateProtocol::progressNeverEnds()
{
    QFETCH(ModelClass, modelClass);
    QFETCH(QByteArray, message);
    const int total = modelClass == ModelClass::Hollis ? 100 : 30000;
    const int value = modelClass == ModelClass::Hollis ? 37 : 0;
    QCOMPARE(progressMessage(modelClass, value, total), message);
    StatusReader reader;
    const StatusReader::Reading reading = reader.read(message);
    QCOMPARE(reading.result, NoResult);
    QTEST(reading.progress, "progress");
}

void TestUpdateProtocol::reading_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Progress>("progress");
    QTest::addColumn<Result>("result");
    QTest::addColumn<QString>("text");
    QTest::newRow("37 of 100") << QByteArray("value:37\r\ntotle:100\r\n") << Progress{{37, 0}, {37, 100}}
                               << NoResult << "value:37totle:100";
    QTest::newRow("updatestart") << QByteArray("updatestart") << Progress{{0, 0}} << NoResult << "updatestart";
    QTest::newRow("nordic success") << QByteArray("value:0\r\ntotle:successed update\r\n")
                                    << Progress{{0, 0}, {0, 0}} << Finished << "value:0totle:successed update";
    QTest::newRow("download fail") << QByteArray("download fail") << Progress{} << DownloadFailed << "download fail";
    QTest::newRow("two messages in one read") << QByteArray("value:100\r\ntotle:100\r\nupdateend")
                                              << Progress{{100, 0}, {100, 100}} << Finished
                                              << "value:100totle:100updateend";
    QTest::newRow("failure") << QByteArray("initFwDevice error") << Progress{} << Failed << "initFwDevice error";
    QTest::newRow("not a number") << QByteArray("value:x7\r\n") << Progress{{0, 0}} << NoResult << "value:x7";
    QTest::newRow("no key") << QByteArray("1\r\nZEPHRA;en;\r\n") << Progress{} << NoResult << "1ZEPHRA;en;";
    QTest::newRow("empty read") << QByteArray() << Progress{} << NoResult << "";
}

void TestUpdateProtocol::reading()
{
    QFETCH(QByteArray, bytes);
    StatusReader reader;
    const StatusReader::Reading reading = reader.read(bytes);
    QTEST(reading.progress, "progress");
    QTEST(reading.result, "result");
    QTEST(reading.text, "text");
}

void TestUpdateProtocol::readingCarriesAcrossMessages()
{
    StatusReader reader;
    reader.read("value:37\r\ntotle:100\r\n");
    QCOMPARE(reader.read("value:38\r\n").progress, (Progress{{38, 100}}));
    // A new update's start resets both before its own progress.
    QCOMPARE(reader.read("updatestart").progress, (Progress{{0, 0}}));
    QCOMPARE(reader.position(), 0);
    QCOMPARE(reader.total(), 0);
}

void TestUpdateProtocol::proofs_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("token");
    QTest::addColumn<bool>("proves");
    const QByteArray token = "0123456789abcdef0123456789abcdef";
    QTest::newRow("the line") << QByteArray("token:" + token + "\r\n") << token << true;
    QTest::newRow("the line and more") << QByteArray("token:" + token + "\r\nupdateend") << token << true;
    QTest::newRow("another token") << QByteArray("token:" + QByteArray(32, '0') + "\r\n") << token << false;
    QTest::newRow("a shorter token") << QByteArray("token:0123\r\n") << token << false;
    QTest::newRow("a longer token") << QByteArray("token:" + token + "0\r\n") << token << false;
    QTest::newRow("no line end") << QByteArray("token:" + token) << token << false;
    QTest::newRow("a status message") << QByteArray("updateend") << token << false;
    QTest::newRow("no token was given") << QByteArray("token:\r\n") << QByteArray() << false;
}

void TestUpdateProtocol::proofs()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, token);
    QTEST(UpdateProtocol::provesToken(bytes, token), "proves");
}

// A new token each time, in a file of this user alone, read once.
void TestUpdateProtocol::tokenFile()
{
    const QByteArray token = UpdateProtocol::newToken();
    QCOMPARE(token.size(), 32);
    QVERIFY(token != UpdateProtocol::newToken());
    const QString path = UpdateProtocol::writeTokenFile(token);
    QVERIFY(!path.isEmpty());
    QCOMPARE(QFileInfo(path).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
             QFileDevice::Permissions());
    QVERIFY(UpdateProtocol::provesToken(UpdateProtocol::proofLine(UpdateProtocol::takeTokenFile(path)), token));
    QVERIFY(!QFile::exists(path));
    QVERIFY(UpdateProtocol::takeTokenFile(path).isEmpty());
}

QTEST_GUILESS_MAIN(TestUpdateProtocol)
#include "tst_updateprotocol.moc"
