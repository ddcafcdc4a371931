#include "online/KNetCommon.h"

#include <QDebug>

#include <limits>

// The configuration manager is deprecated in Qt 5.15 but still the only source of the system's online state.
QT_WARNING_PUSH
QT_WARNING_DISABLE_DEPRECATED
#include <QNetworkConfigurationManager>

namespace {
QString& checkHostSetting()
{
    static QString host = QStringLiteral("www.example.com");
    return host;
}
} // namespace

KNetCommon* KNetCommon::instance()
{
    static KNetCommon* common = new KNetCommon; // kept until exit
    return common;
}

QString KNetCommon::checkHost() { return checkHostSetting(); }

void KNetCommon::setCheckHost(const QString& host) { checkHostSetting() = host; }

KNetCommon::KNetCommon()
{
    // Left alone, the manager rescans the network interfaces every 10 s for as long as it lives, waking an idle
    // program. The interval is read once, when the first manager of the process starts watching; a value the user
    // set is kept. The state is brought up to date when an online check is asked for instead (checkOnline).
    if (!qEnvironmentVariableIsSet("QT_BEARER_POLL_TIMEOUT"))
        qputenv("QT_BEARER_POLL_TIMEOUT", QByteArray::number(std::numeric_limits<int>::max()));
    configManager = new QNetworkConfigurationManager(this);
    connect(configManager, &QNetworkConfigurationManager::onlineStateChanged, this,
            [](bool state) { qDebug().noquote().nospace() << "online " << state; });
}

KNetCommon::~KNetCommon() = default;

void KNetCommon::checkOnline()
{
    ++m_pending;
    ++m_started;
    // The system's own view of the network, refreshed now rather than polled; a change is logged as it arrives.
    configManager->updateConfigurations();
    QHostInfo::lookupHost(checkHost(), this, SLOT(onLookupHost(QHostInfo)));
}

void KNetCommon::onLookupHost(QHostInfo host)
{
    --m_pending;
    online = host.error() == QHostInfo::NoError;
}
QT_WARNING_POP
