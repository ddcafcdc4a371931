#include "LocalHttpServer.h"
#include "LogCapture.h"
#include "RecordingServices.h"

#include "online/KNetCommon.h"
#include "online/KNetForgotNewPwd.h"
#include "online/KNetForgotSendEmail.h"
#include "online/KNetForgotVerifyCode.h"
#include "online/KNetLogin.h"
#include "online/KNetRegister.h"
#include "online/KNetUpdatePwd.h"
#include "TestWait.h"

#include <QSignalSpy>
#include <QtTest>

#include <functional>
#include <memory>

class tst_AccountRequests : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_server.reset(new LocalHttpServer);
        KNetBase::setApiBase(m_server->baseUrl());
        KNetCommon::setCheckHost(QStringLiteral("localhost"));
    }

    void bodies_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("which");
        QTest::newRow("login") << "/v1/user/login" << QByteArray(R"({"email":"a@b.c","password":"pw"})") << 0;
        QTest::newRow("register") << "/v1/user/register"
                                  << QByteArray(R"({"email":"a@b.c","nickname":"Nick","password":"pw","rePassword":"pw2"})")
                                  << 1;
        QTest::newRow("update") << "/v1/user/updatePassword" << QByteArray(R"({"password":"old","rePassword":"new"})")
                                << 2;
        QTest::newRow("send mail") << "/v1/user/findPassword" << QByteArray(R"({"email":"a@b.c"})") << 3;
        QTest::newRow("verify") << "/v1/user/validatePassword" << QByteArray(R"({"captcha":"123456","email":"a@b.c"})")
                                << 4;
        QTest::newRow("new password") << "/v1/user/newPassword"
                                      << QByteArray(R"({"captcha":"123456","email":"a@b.c","password":"pw"})") << 5;
    }
    // Each class posts its exact compact body to its path and reports the server's code once.
    void bodies()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, body);
        QFETCH(int, which);
        RecordingServices services;
        m_server->scriptJson(path.toUtf8(), R"({"code":10017,"msg":"x"})");
        std::unique_ptr<KNetBase> client;
        switch (which) {
        case 0: { auto* c = new KNetLogin; c->login("a@b.c", "pw"); client.reset(c); break; }
        case 1: { auto* c = new KNetRegister; c->registerUser("Nick", "a@b.c", "pw", "pw2"); client.reset(c); break; }
        case 2: { auto* c = new KNetUpdatePwd; c->updatePwd("old", "new"); client.reset(c); break; }
        case 3: { auto* c = new KNetForgotSendEmail; c->sendEmail("a@b.c"); client.reset(c); break; }
        case 4: { auto* c = new KNetForgotVerifyCode; c->verify("a@b.c", "123456"); client.reset(c); break; }
        default: { auto* c = new KNetForgotNewPwd; c->setNewPwd("a@b.c", "123456", "pw"); client.reset(c); break; }
        }
        QSignalSpy results(client.get(), &KNetBase::sigRequestFinished);
        WAIT_COMPARE(results.count(), 1);
        QCOMPARE(results[0][0].toInt(), 10017);
        QCOMPARE(results[0][1].toString(), QStringLiteral("Verification code error"));
        QCOMPARE(m_server->requests().size(), 1);
        QCOMPARE(m_server->requests()[0].body, body);
    }

    void login_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QByteArray>("headerName");
        QTest::addColumn<QStringList>("logins");
        QTest::addColumn<int>("code");
        QTest::newRow("success") << 200 << QByteArray(R"({"code":0,"data":{"nickname":"Nick"}})")
                                 << QByteArray("Authorization") << QStringList{"a@b.c|Nick|tok-9"} << 0;
        QTest::newRow("lower-case header") << 200 << QByteArray(R"({"code":0,"data":{}})") << QByteArray("authorization")
                                           << QStringList{"a@b.c||tok-9"} << 0;
        QTest::newRow("refused") << 200 << QByteArray(R"({"code":10003})") << QByteArray("Authorization")
                                 << QStringList() << 10003;
        QTest::newRow("no code") << 200 << QByteArray(R"({"data":{"nickname":"Nick"}})") << QByteArray("Authorization")
                                 << QStringList() << -1;
        // Success without a token is no log-in.
        QTest::newRow("no token") << 200 << QByteArray(R"({"code":0,"data":{"nickname":"Nick"}})")
                                  << QByteArray("X-Other") << QStringList() << int(KNetLogin::kLoginFailed);
        // A redirect is a failure, whatever its body says.
        QTest::newRow("302 saying success") << 302 << QByteArray(R"({"code":0,"data":{"nickname":"Nick"}})")
                                            << QByteArray("Authorization") << QStringList() << -1;
        QTest::newRow("500 saying success") << 500 << QByteArray(R"({"code":0,"data":{"nickname":"Nick"}})")
                                            << QByteArray("Authorization") << QStringList() << -1;
    }
    // Only code 0 with a token stores the login; the token comes from the header in any spelling; nothing secret
    // is logged.
    void login()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, reply);
        QFETCH(QByteArray, headerName);
        QFETCH(QStringList, logins);
        LogCapture log;
        RecordingServices services;
        services.token = QStringLiteral("old-token");
        LocalHttpServer::Reply answer = LocalHttpServer::jsonReply(reply, {qMakePair(headerName, QByteArray("tok-9"))});
        answer.status = status;
        m_server->script("/v1/user/login", answer);
        KNetLogin client;
        QSignalSpy results(&client, &KNetBase::sigRequestFinished);
        client.login("a@b.c", "s3cret-pw");
        WAIT_COMPARE(results.count(), 1);
        QTEST(results.first().at(0).toInt(), "code");
        QCOMPARE(services.logins, logins);
        if (logins.isEmpty())
            QCOMPARE(services.token, QStringLiteral("old-token"));
        QVERIFY(!m_server->requests().value(0).hasHeader("Authorization"));
        QVERIFY(!log.contains("tok-9"));
        QVERIFY(!log.contains("s3cret-pw"));
        QVERIFY(!log.contains("old-token"));
    }

    void twoLoginsStoreTheSecondEmail()
    {
        RecordingServices services;
        m_server->scriptJson("/v1/user/login", R"({"code":0,"data":{"nickname":"N"}})",
                             {qMakePair(QByteArray("Authorization"), QByteArray("t"))});
        KNetLogin client;
        QSignalSpy results(&client, &KNetBase::sigRequestFinished);
        client.login("first@b.c", "pw");
        client.login("second@b.c", "pw");
        WAIT_COMPARE(results.count(), 2);
        QCOMPARE(services.logins, (QStringList{"second@b.c|N|t", "second@b.c|N|t"}));
    }

    // A password change without the old or the new password is answered at once with the blank-password code,
    // after the call returns, and sends nothing.
    void blankPasswordChangeIsNotSent_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("next");
        QTest::newRow("no old") << "" << "secret2";
        QTest::newRow("no new") << "secret1" << "";
    }

    void blankPasswordChangeIsNotSent()
    {
        QFETCH(QString, current);
        QFETCH(QString, next);
        m_server->scriptJson("/v1/user/updatePassword", R"({"code":0})");
        KNetUpdatePwd update;
        QSignalSpy results(&update, &KNetBase::sigRequestFinished);
        update.updatePwd(current, next);
        QCOMPARE(results.count(), 0);
        WAIT_COMPARE(results.count(), 1);
        QCOMPARE(results[0][0].toInt(), 10014);
        QCOMPARE(results[0][1].toString(), QStringLiteral("The password cannot be blank"));
        QTest::qWait(50);
        QCOMPARE(m_server->requests().size(), 0);
    }

    // A transport error: -1; the password change starts no online check, the others do.
    void transportErrorOnlineCheck()
    {
        m_server.reset(); // nobody listens there any more
        KNetUpdatePwd update;
        QSignalSpy updated(&update, &KNetBase::sigRequestFinished);
        const int before = KNetCommon::instance()->lookupsStarted();
        update.updatePwd("a", "b");
        WAIT_COMPARE(updated.count(), 1);
        QCOMPARE(updated[0][0].toInt(), -1);
        QCOMPARE(KNetCommon::instance()->lookupsStarted(), before);
        KNetForgotSendEmail send;
        QSignalSpy sent(&send, &KNetBase::sigRequestFinished);
        send.sendEmail("a@b.c");
        WAIT_COMPARE(sent.count(), 1);
        QCOMPARE(sent[0][0].toInt(), -1);
        QCOMPARE(KNetCommon::instance()->lookupsStarted(), before + 1);
        WAIT_COMPARE(KNetCommon::instance()->pendingLookups(), 0);
        QVERIFY(KNetCommon::instance()->isOnline());
    }

private:
    std::unique_ptr<LocalHttpServer> m_server;
};

QTEST_MAIN(tst_AccountRequests)
#include "tst_accountrequests.moc"
