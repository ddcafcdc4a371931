#include "LocalHttpServer.h"
#include "RecordingServices.h"

#include "online/KNetBase.h"
#include "online/KNetCommon.h"
#include "TestWait.h"

#include <QJsonObject>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QtTest>

namespace {
// A client of the base that reports every reply by the common parsing.
class TestClient : public KNetBase
{
public:
    using KNetBase::get;
    using KNetBase::post;
    using KNetBase::postJson;
    int replies = 0;

protected:
    void handleReply(QNetworkReply* reply, QByteArray body, int) override
    {
        ++replies;
        reportReply(reply, body);
    }
};
} // namespace

class tst_KNetBase : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_server.reset(new LocalHttpServer);
        KNetBase::setApiBase(m_server->baseUrl());
        KNetCommon::setCheckHost(QStringLiteral("localhost"));
    }

    void endpoints_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("authorized");
        QTest::newRow("login") << 1 << "/v1/user/login" << false;
        QTest::newRow("register") << 2 << "/v1/user/register" << false;
        QTest::newRow("update password") << 3 << "/v1/user/updatePassword" << true;
        QTest::newRow("find password") << 4 << "/v1/user/findPassword" << true;
        QTest::newRow("validate") << 5 << "/v1/user/validatePassword" << true;
        QTest::newRow("new password") << 6 << "/v1/user/newPassword" << true;
        QTest::newRow("upload") << 7 << "/v1/file/upload" << true;
        QTest::newRow("config save") << 8 << "/v1/driver/config2/save" << true;
        QTest::newRow("macro save") << 9 << "/v1/driver/macro/config/save" << true;
        QTest::newRow("config get") << 10 << "/v1/driver/config2/get" << true;
        QTest::newRow("macro get") << 11 << "/v1/driver/macro/config/get" << true;
        QTest::newRow("version") << 12 << "/v1/driver/version" << true;
    }
    // Every id posts to its path with "lang" zh and JSON; "Authorization" by id and by the stored token.
    void endpoints()
    {
        QFETCH(int, id);
        QFETCH(QString, path);
        QFETCH(bool, authorized);
        QCOMPARE(KNetBase::apiUrl(id), m_server->baseUrl() + path);
        RecordingServices services;
        TestClient client;
        QSignalSpy results(&client, &KNetBase::sigRequestFinished);
        services.token = QStringLiteral("tök-1");
        client.postJson(KNetBase::ApiType(id), QJsonObject{{"a", 1}});
        services.token.clear(); // logged out: the next request carries no token
        client.postJson(KNetBase::ApiType(id), QJsonObject{{"a", 2}});
        WAIT_COMPARE(results.count(), 2);
        // Two connections: the server may read them in either order.
        auto requests = m_server->requests();
        std::sort(requests.begin(), requests.end(), [](const auto& a, const auto& b) { return a.body < b.body; });
        QCOMPARE(requests.size(), 2);
        for (const auto& request : requests) {
            QCOMPARE(request.method, QByteArray("POST"));
            QCOMPARE(QString::fromUtf8(request.path), path);
            QCOMPARE(request.header("lang"), QByteArray("zh"));
            QCOMPARE(request.header("Content-Type"), QByteArray("application/json"));
        }
        QCOMPARE(requests[0].body, QByteArray("{\"a\":1}"));
        QCOMPARE(requests[0].hasHeader("Authorization"), authorized);
        if (authorized)
            QCOMPARE(requests[0].header("Authorization"), QString("tök-1").toUtf8());
        QVERIFY(!requests[1].hasHeader("Authorization"));
    }

    void emptyUrlOutsideTable()
    {
        QVERIFY(KNetBase::apiUrl(0).isEmpty());
        QVERIFY(KNetBase::apiUrl(13).isEmpty());
    }

    void defaultsAreHttps()
    {
        const QString base = KNetBase::apiBase();
        KNetBase::setApiBase(QStringLiteral("https://api.corvane.com/"));
        QCOMPARE(KNetBase::apiUrl(1), QStringLiteral("https://api.corvane.com/v1/user/login"));
        KNetBase::setApiBase(base);
    }

    void codeMessages_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("-2") << -2 << "System busy";
        QTest::newRow("-1") << -1 << "Network connection error, please try later";
        QTest::newRow("0") << 0 << "Successful";
        QTest::newRow("7") << 7 << "Lack of necessary parameters";
        QTest::newRow("99") << 99 << "System busy";
        QTest::newRow("10003") << 10003 << "Mailbox or password error";
        QTest::newRow("10031") << 10031
                               << "This account has been disabled due to its being in too frequent operations";
        QTest::newRow("10032") << 10032 << "System busy";
        QTest::newRow("10047") << 10047 << "The mailbox is not registered";
        QTest::newRow("10048") << 10048 << "System busy";
        QTest::newRow("10050") << 10050
                               << "Pet name must not exceed 21 characters, one Chinese character takes up 3 "
                                  "characters, one emoticon takes up 4 characters";
        QTest::newRow("10057") << 10057 << "Email cannot contain sensitive words";
        QTest::newRow("10058") << 10058 << "System busy";
    }
    void codeMessages()
    {
        QFETCH(int, code);
        QFETCH(QString, message);
        QCOMPARE(KNetBase::codeMessage(code), message);
    }

    void parsing_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<int>("code");
        QTest::newRow("success") << 200 << QByteArray(R"({"code":0,"msg":"ok","data":{}})") << false << 0;
        QTest::newRow("refusal") << 200 << QByteArray(R"({"code":10003,"msg":"x"})") << false << 10003;
        QTest::newRow("no code") << 200 << QByteArray(R"({"msg":"ok"})") << false << -1;
        QTest::newRow("code as text") << 200 << QByteArray(R"({"code":"0"})") << false << -1;
        QTest::newRow("code fraction") << 200 << QByteArray(R"({"code":0.5})") << false << -1;
        QTest::newRow("array") << 200 << QByteArray(R"([0])") << false << -1;
        QTest::newRow("not json") << 200 << QByteArray("<html>hi</html>") << false << -1;
        QTest::newRow("http 500") << 500 << QByteArray(R"({"code":0})") << false << -1;
        QTest::newRow("refused") << 200 << QByteArray() << true << -1;
    }
    void parsing()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(bool, refused);
        QFETCH(int, code);
        LocalHttpServer::Reply reply;
        reply.status = status;
        reply.body = body;
        m_server->script("/v1/user/login", reply);
        if (refused) {
            // A port nobody listens on: the server's, once it is gone.
            m_server.reset();
        }
        TestClient client;
        QSignalSpy results(&client, &KNetBase::sigRequestFinished);
        client.postJson(KNetBase::Login, QJsonObject());
        WAIT_COMPARE(results.count(), 1);
        QCOMPARE(results[0][0].toInt(), code);
        QCOMPARE(results[0][1].toString(), KNetBase::codeMessage(code));
        QTest::qWait(50);
        QCOMPARE(results.count(), 1);
    }

    // The time-out aborts the request: one result, none from the late reply. The server holds its answer until
    // the time-out has been reported, so only the time-out can end the request, however slow the machine.
    void timeoutAbortsRequest()
    {
        LocalHttpServer::Reply late;
        late.held = true;
        late.body = R"({"code":0})";
        m_server->script("/v1/user/login", late);
        TestClient client;
        client.setTimeouts(100, 100);
        QSignalSpy results(&client, &KNetBase::sigRequestFinished);
        QSignalSpy timedOut(&client, &KNetBase::requestTimedOut);
        client.postJson(KNetBase::Login, QJsonObject());
        WAIT_COMPARE(results.count(), 1);
        QCOMPARE(results[0][0].toInt(), -1);
        QCOMPARE(timedOut.count(), 1);
        m_server->releaseHeld(); // the late answer, to a connection the client may not have closed yet
        QTest::qWait(300);
        QCOMPARE(results.count(), 1);
        QCOMPARE(client.replies, 0);
    }

    // Two requests on one object, the first stalled: the second's reply does not stop the first's time-out, and
    // the first's time-out does not touch the second, whether the second is answered before it or after.
    void timerPerRequest_data()
    {
        QTest::addColumn<bool>("secondAfterTimeout");
        QTest::newRow("second answered first") << false;
        QTest::newRow("second answered after the time-out") << true;
    }

    void timerPerRequest()
    {
        QFETCH(bool, secondAfterTimeout);
        LocalHttpServer::Reply stalled;
        stalled.silent = true;
        m_server->script("/v1/user/login", stalled);
        LocalHttpServer::Reply refusal = LocalHttpServer::jsonReply(R"({"code":10006})");
        refusal.held = secondAfterTimeout;
        m_server->script("/v1/user/register", refusal);
        TestClient client;
        QSignalSpy results(&client, &KNetBase::sigRequestFinished);
        QSignalSpy timedOut(&client, &KNetBase::requestTimedOut);
        client.setTimeouts(300, 300);
        client.postJson(KNetBase::Login, QJsonObject());
        // The second request gets all the time it needs: any time-out seen is the first's.
        client.setTimeouts(TestWait::kBoundMs * 2, TestWait::kBoundMs * 2);
        client.postJson(KNetBase::Register, QJsonObject());
        if (secondAfterTimeout) {
            WAIT_COMPARE(timedOut.count(), 1);
            QCOMPARE(results.count(), 1);
            QCOMPARE(results[0][0].toInt(), -1);
            QVERIFY(m_server->waitForRequests(2)); // the second request has reached the server
            QCOMPARE(m_server->releaseHeld(), 1);
        }
        WAIT_COMPARE(results.count(), 2);
        QCOMPARE(timedOut.count(), 1);
        // Answered in either order on a slow machine; held, the second comes last.
        const QSet<int> codes{results[0][0].toInt(), results[1][0].toInt()};
        QCOMPARE(codes, (QSet<int>{10006, -1}));
        if (secondAfterTimeout)
            QCOMPARE(results[1][0].toInt(), 10006);
        QTest::qWait(400);
        QCOMPARE(results.count(), 2);
    }

    void getCarriesNoToken()
    {
        RecordingServices services;
        services.token = QStringLiteral("secret");
        m_server->scriptJson("/v1/driver/version", R"({"code":0})");
        TestClient client;
        QSignalSpy results(&client, &KNetBase::sigRequestFinished);
        client.get(KNetBase::DriverVersion);
        WAIT_COMPARE(results.count(), 1);
        QCOMPARE(m_server->requests().value(0).method, QByteArray("GET"));
        QVERIFY(!m_server->requests().value(0).hasHeader("Authorization"));
    }

    // Every check starts a lookup of its own; the last to finish decides. An empty host fails without any
    // name service; "localhost" resolves on the machine.
    void onlineCheck()
    {
        KNetCommon* common = KNetCommon::instance();
        const int started = common->lookupsStarted();
        KNetCommon::setCheckHost(QString());
        common->checkOnline();
        WAIT_COMPARE(common->pendingLookups(), 0);
        QVERIFY(!common->isOnline());
        KNetCommon::setCheckHost(QStringLiteral("localhost"));
        for (int i = 0; i < 3; ++i)
            common->checkOnline();
        QCOMPARE(common->lookupsStarted(), started + 4);
        WAIT_COMPARE(common->pendingLookups(), 0);
        QVERIFY(common->isOnline());
    }

private:
    std::unique_ptr<LocalHttpServer> m_server;
};

QTEST_MAIN(tst_KNetBase)
#include "tst_knetbase.moc"
