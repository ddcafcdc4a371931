#include "online/KNetBase.h"

#include "common/AppServices.h"
#include "online/KNetCommon.h"

#include <QHash>
#include <QHttpMultiPart>
#include <QJsonDocument>
#include <QJsonValue>
#include <QNetworkReply>
#include <QTimer>
#include <QUrl>

namespace {
const char kTimedOut[] = "corvaneTimedOut";

QString& apiBaseSetting()
{
    static QString base = QStringLiteral("https://api.corvane.com");
    return base;
}

const char* const kPaths[] = {
    "/v1/user/login",
    "/v1/user/register",
    "/v1/user/updatePassword",
    "/v1/user/findPassword",
    "/v1/user/validatePassword",
    "/v1/user/newPassword",
    "/v1/file/upload",
    "/v1/driver/config2/save",
    "/v1/driver/macro/config/save",
    "/v1/driver/config2/get",
    "/v1/driver/macro/config/get",
    "/v1/driver/version",
};
} // namespace

QString KNetBase::apiBase() { return apiBaseSetting(); }

void KNetBase::setApiBase(const QString& base)
{
    QString value = base;
    while (value.endsWith(QLatin1Char('/')))
        value.chop(1);
    apiBaseSetting() = value;
}

KNetBase::KNetBase(QObject* parent) : KBaseApi(parent)
{
    request.setRawHeader("lang", "zh");
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray("application/json"));
}

KNetBase::~KNetBase() = default;

void KNetBase::setTimeouts(int postMs, int getMs)
{
    m_postTimeoutMs = postMs > 0 ? postMs : kPostTimeoutMs;
    m_getTimeoutMs = getMs > 0 ? getMs : kGetTimeoutMs;
}

QString KNetBase::apiUrl(int id)
{
    if (id < Login || id > DriverVersion)
        return QString();
    return apiBase() + QLatin1String(kPaths[id - 1]);
}

QString KNetBase::codeMessage(int code)
{
    switch (code) {
    case -1: return tr("Network connection error, please try later");
    case 0: return tr("Successful");
    case 1: return tr("Failed");
    case 2: return tr("Signature error");
    case 3: return tr("Remote call timeout");
    case 4: return tr("Wrong request");
    case 5: return tr("Request has expired");
    case 6: return tr("No access rights");
    case 7: return tr("Lack of necessary parameters");
    case 10001: return tr("User does not exist");
    case 10002: return tr("Invalid user");
    case 10003: return tr("Mailbox or password error");
    case 10004: return tr("User login failed");
    case 10005: return tr("Registration failed");
    case 10006: return tr("This mailbox has already been registered. Please register again with another mailbox");
    case 10007: return tr("The old and new passwords are the same.");
    case 10008: return tr("You are not a registered member yet, please register first");
    case 10009: return tr("The two passwords input are inconsistent");
    case 10010: return tr("Mailbox format error");
    case 10011: return tr("Login timeout");
    case 10012: return tr("Old password error");
    case 10013: return tr("The mailbox address cannot be blank");
    case 10014: return tr("The password cannot be blank");
    case 10015: return tr("Verification code has expired");
    case 10016: return tr("The verification code has been sent too many times. Please try again tomorrow");
    case 10017: return tr("Verification code error");
    case 10018: return tr("You have verified, no need repeating");
    case 10019:
        return tr("Verification code error: Please fill in the verification code successfully verified at that time");
    case 10020: return tr("The user has been frozen or logged out");
    case 10021: return tr("The cell phone number cannot exceed 20 characters");
    case 10022: return tr("The mailbox address length cannot exceed 50 characters");
    case 10023: return tr("Pet name length cannot exceed 50 characters");
    case 10024: return tr("The length of user name cannot exceed 50 characters");
    case 10025: return tr("Password length cannot exceed 20 characters");
    case 10026: return tr("Platform parameter error");
    case 10027: return tr("User name cannot be blank");
    case 10028: return tr("Pet name cannot be blank");
    case 10029: return tr("Verification code cannot be empty");
    case 10030: return tr("Please input 6 digits of verification code");
    case 10031: return tr("This account has been disabled due to its being in too frequent operations");
    case 10047: return tr("The mailbox is not registered");
    case 10050:
        // One literal: the translation table is matched against the source text as written.
        // clang-format off
        return tr("Pet name must not exceed 21 characters, one Chinese character takes up 3 characters, one emoticon takes up 4 characters");
        // clang-format on
    case 10056: return tr("Nicknames cannot contain sensitive words");
    case 10057: return tr("Email cannot contain sensitive words");
    default: return tr("System busy");
    }
}

KNetBase::Envelope KNetBase::parseEnvelope(QNetworkReply* reply, const QByteArray& body)
{
    Envelope envelope;
    if (reply && reply->error() != QNetworkReply::NoError)
        return envelope;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return envelope;
    const QJsonObject object = document.object();
    const QJsonValue code = object.value(QStringLiteral("code"));
    // Only the envelope is an answer: "code" must be a whole number.
    if (!code.isDouble() || code.toDouble() != double(code.toInt()))
        return envelope;
    envelope.code = code.toInt();
    envelope.msg = object.value(QStringLiteral("msg")).toString();
    envelope.data = object.value(QStringLiteral("data")).toObject();
    envelope.object = object;
    return envelope;
}

KNetBase::Envelope KNetBase::reportReply(QNetworkReply* reply, const QByteArray& body, bool checkOnline)
{
    if (checkOnline && reply->error() != QNetworkReply::NoError)
        KNetCommon::instance()->checkOnline();
    const Envelope envelope = parseEnvelope(reply, body);
    emit sigRequestFinished(envelope.code, codeMessage(envelope.code));
    return envelope;
}

void KNetBase::setAuthorization()
{
    const QString token = AppServices::instance()->getToken();
    // A null value removes the header: nothing of an earlier login stays on the request.
    request.setRawHeader("Authorization", token.isEmpty() ? QByteArray() : token.toUtf8());
}

QNetworkReply* KNetBase::post(ApiType id, const QByteArray& body)
{
    if (id == Login || id == Register)
        request.setRawHeader("Authorization", QByteArray());
    else
        setAuthorization();
    QNetworkReply* reply = KBaseApi::post(apiUrl(id), body);
    armTimeout(reply, m_postTimeoutMs);
    return reply;
}

QNetworkReply* KNetBase::postJson(ApiType id, const QJsonObject& body)
{
    return post(id, QJsonDocument(body).toJson(QJsonDocument::Compact));
}

QNetworkReply* KNetBase::get(ApiType id)
{
    request.setRawHeader("Authorization", QByteArray());
    QNetworkReply* reply = KBaseApi::get(apiUrl(id));
    armTimeout(reply, m_getTimeoutMs);
    return reply;
}

QNetworkReply* KNetBase::post(ApiType id, QHttpMultiPart* parts)
{
    if (id == Login || id == Register)
        request.setRawHeader("Authorization", QByteArray());
    else
        setAuthorization();
    return KBaseApi::post(apiUrl(id), parts);
}

QNetworkReply* KNetBase::postOwnRequest(ApiType id, QHttpMultiPart* parts, int timeoutMs)
{
    QNetworkReply* reply = KBaseApi::post(QNetworkRequest(QUrl(apiUrl(id))), parts);
    // The reply reads the body until it has finished or been aborted (also at the time-out): they go together.
    parts->setParent(reply);
    armTimeout(reply, timeoutMs);
    return reply;
}

void KNetBase::armTimeout(QNetworkReply* reply, int ms)
{
    if (!reply || reply->isFinished())
        return;
    // One timer per request, owned by its reply: another request neither restarts nor stops it.
    auto* timer = new QTimer(reply);
    timer->setSingleShot(true);
    connect(reply, &QNetworkReply::finished, timer, &QTimer::stop);
    connect(timer, &QTimer::timeout, this, [this, reply] { onTimeout(reply); });
    timer->start(ms);
}

void KNetBase::onTimeout(QNetworkReply* reply)
{
    if (reply->isFinished() || reply->property(kTimedOut).toBool())
        return;
    reply->setProperty(kTimedOut, true);
    reply->abort(); // its finished reply is only deleted (replyAnswered)
    emit requestTimedOut();
    emit sigRequestFinished(-1, codeMessage(-1));
}

bool KNetBase::replyAnswered(QNetworkReply* reply) const { return reply->property(kTimedOut).toBool(); }
