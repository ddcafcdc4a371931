#include "online/KNetCommon.h"

#include <QDebug>

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

KNetCommon::KNetCommon() : configManager(new QNetworkConfigurationManager(this))
{
    connect(configManager, &QNetworkConfigurationManager::onlineStateChanged, this,
            [](bool state) { qDebug().noquote().nospace() << "online " << state; });
}

KNetCommon::~KNetCommon() = default;
QT_WARNING_POP

void KNetCommon::checkOnline()
{
    ++m_pending;
    ++m_started;
    QHostInfo::lookupHost(checkHost(), this, SLOT(onLookupHost(QHostInfo)));
}

void KNetCommon::onLookupHost(QHostInfo host)
{
    --m_pending;
    online = host.error() == QHostInfo::NoError;
}
