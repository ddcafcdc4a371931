#pragma once

#include <QHostInfo>
#include <QObject>
#include <QString>

class QNetworkConfigurationManager;

// Whether the internet can be reached: the outcome of the latest finished name lookup of a public host (a
// setting; tests use "localhost"). Every checkOnline starts a lookup of its own; the last to finish decides.
// Before the first lookup has finished the program counts as online. Logs every change of the system's network
// online state as "online <state>"; that state is refreshed by each checkOnline, never on a timer, so an idle
// program is not woken for it.
//
// Threads: GUI thread only; one process-wide instance, kept until exit.
class KNetCommon : public QObject
{
    Q_OBJECT
public:
    static KNetCommon* instance();
    static QString checkHost();
    static void setCheckHost(const QString& host);

    void checkOnline();
    bool isOnline() const { return online; }
    // Lookups started and not yet finished (tests).
    int pendingLookups() const { return m_pending; }
    // Lookups started since the program began (tests).
    int lookupsStarted() const { return m_started; }

private slots:
    void onLookupHost(QHostInfo host);

private:
    KNetCommon();
    ~KNetCommon() override;

    bool online = true;
    int m_pending = 0;
    int m_started = 0;
    QNetworkConfigurationManager* configManager = nullptr;
};
