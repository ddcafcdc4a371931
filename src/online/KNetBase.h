#pragma once

#include "online/KBaseApi.h"

#include <QJsonObject>
#include <QString>

class QTimer;

// The base of the web API's clients: the "lang" and Content-Type headers, the endpoint table, the login token
// header and the table that turns the server's result codes into the user's messages. Every request has its own
// time-out; at the time-out the request is aborted and reported once as a network error (sigRequestFinished and
// requestTimedOut), so its late reply, if any, reports nothing. The "Authorization" header is set or removed at
// every send from the token stored at that moment. The API address is a setting (https by default).
//
// Threads: GUI thread only.
class KNetBase : public KBaseApi
{
    Q_OBJECT
public:
    enum ApiType {
        Login = 1,
        Register = 2,
        UpdatePassword = 3,
        FindPassword = 4,
        ValidatePassword = 5,
        NewPassword = 6,
        FileUpload = 7,
        ConfigSave = 8,
        MacroConfigSave = 9,
        ConfigGet = 10,
        MacroConfigGet = 11,
        DriverVersion = 12,
    };
    Q_ENUM(ApiType)

    static constexpr int kPostTimeoutMs = 15000;
    static constexpr int kGetTimeoutMs = 5000;

    // The address in front of every path: scheme, host and optional port, without a trailing "/".
    static QString apiBase();
    static void setApiBase(const QString& base);

    explicit KNetBase(QObject* parent = nullptr);
    ~KNetBase() override;

    // The endpoint of id; empty outside 1..12.
    static QString apiUrl(int id);
    static QString codeMessage(int code);
    // The common reading of a reply envelope: the code ("code" must be an integer in a JSON object, else -1)
    // and the "data" object. A transport error is -1.
    struct Envelope
    {
        int code = -1;
        QString msg;
        QJsonObject data;
        QJsonObject object;
    };
    static Envelope parseEnvelope(QNetworkReply* reply, const QByteArray& body);

    // Time-outs in tests; 0 puts the defaults back.
    void setTimeouts(int postMs, int getMs);

signals:
    void sigRequestFinished(int code, QString msg);
    // The request in flight of this object ran out of time (already aborted).
    void requestTimedOut();

protected:
    QNetworkReply* post(ApiType id, const QByteArray& body);
    QNetworkReply* postJson(ApiType id, const QJsonObject& body);
    QNetworkReply* get(ApiType id);
    QNetworkReply* post(ApiType id, QHttpMultiPart* parts);
    // A multipart post to id on a request that carries only the URL, with its own time-out (the file upload:
    // the body brings its Content-Type, the part its "Authorization"). The body is freed with the reply.
    QNetworkReply* postOwnRequest(ApiType id, QHttpMultiPart* parts, int timeoutMs);
    // Sets "Authorization" to the stored token, or removes it when none is stored.
    void setAuthorization();
    // The common parsing, the online check on a transport error (when checkOnline), then sigRequestFinished;
    // returns the envelope for handlers that read more.
    Envelope reportReply(QNetworkReply* reply, const QByteArray& body, bool checkOnline = true);

    bool replyAnswered(QNetworkReply* reply) const override;
    void handleReply(QNetworkReply* reply, QByteArray body, int httpStatus) override = 0;

private:
    void armTimeout(QNetworkReply* reply, int ms);
    void onTimeout(QNetworkReply* reply);

    int m_postTimeoutMs = kPostTimeoutMs;
    int m_getTimeoutMs = kGetTimeoutMs;
};
