#pragma once

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QObject>
#include <QPointer>

class QFile;

// Uploads one dump file as a multipart form: the application name, its version, then the file as
// "upload_file_minidump". finished() carries the server's answer; a successful upload deletes the file.
//
// Threads: lives and works on the thread that made it (the network runs in its event loop). One upload at a
// time; whoever makes it owns it.
class QBreakpadHttpUploader : public QObject
{
    Q_OBJECT
public:
    explicit QBreakpadHttpUploader(QObject* parent = nullptr);
    QBreakpadHttpUploader(const QUrl& url, QObject* parent = nullptr);
    ~QBreakpadHttpUploader() override;

    void setUrl(const QUrl& url);
    QString remoteUrl() const;

signals:
    void finished(QString answer);

public slots:
    void uploadDump(const QString& abs_file_path);

private slots:
    void onUploadProgress(qint64 sent, qint64 total);
    void onError(QNetworkReply::NetworkError err);
    void onUploadFinished();

private:
    QNetworkAccessManager m_manager;
    QNetworkRequest m_request;
    QPointer<QNetworkReply> m_reply;
    QFile* m_file = nullptr;
};
