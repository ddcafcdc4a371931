#include "online/FfileDownloader.h"

#include <QDebug>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

FfileDownloader::FfileDownloader(QObject* parent)
    : QObject(parent), m_limits(ReplyGuard::limits(ReplyGuard::Kind::Firmware))
{
}

FfileDownloader::~FfileDownloader()
{
    // Its owner is going: the download ends unheard.
    dropRunning();
}

void FfileDownloader::dropRunning()
{
    if (!m_reply)
        return;
    QNetworkReply* old = m_reply;
    m_reply = nullptr;
    for (ReplyGuard* guard : old->findChildren<ReplyGuard*>())
        disconnect(guard, nullptr, this, nullptr);
    old->abort();
    old->deleteLater();
}

void FfileDownloader::startDownload(QString url)
{
    // A running download is replaced: its end reports nothing.
    dropRunning();
    data.clear();
    m_succeeded = false;
    m_failure.clear();
    m_peakHeld = 0;
    QNetworkRequest request{QUrl(url, QUrl::TolerantMode)};
    QNetworkReply* reply = manager.get(request);
    m_reply = reply;
    ReplyGuard* guard = ReplyGuard::watch(reply, m_limits);
    connect(guard, &ReplyGuard::finished, this, [this, guard] { fileDownloaded(guard); });
}

void FfileDownloader::fileDownloaded(ReplyGuard* guard)
{
    QNetworkReply* reply = qobject_cast<QNetworkReply*>(guard->parent());
    if (reply != m_reply)
        return;
    m_reply = nullptr;
    m_succeeded = guard->succeeded();
    m_failure = m_succeeded ? QString() : guard->describe();
    m_peakHeld = guard->peakHeld();
    data = guard->takeBody();
    if (!m_succeeded)
        qDebug().noquote() << "[Error] download failed:" << m_failure;
    reply->deleteLater();
    emit downloaded();
}
