#include "online/analytics/HAnalytics.h"

#include "common/AppServices.h"
#include "online/analytics/GAnalytics.h"

#include <QCoreApplication>
#include <QVariant>
#include <QVariantMap>

namespace {

bool switchedOn()
{
    return AppServices::instance()->analyticsEnabled();
}

} // namespace

GAnalytics* analyticsInstance()
{
    // Destroyed with the application object, while its event loop's timers and the network are still there.
    static GAnalytics* tracker = [] {
        auto* made = new GAnalytics;
        qAddPostRoutine([] { delete analyticsInstance(); });
        return made;
    }();
    return tracker;
}

HAnalytics::HAnalytics(QObject* parent)
    : QObject(parent)
{
}

HAnalytics::~HAnalytics() = default;

void HAnalytics::init()
{
    if (!switchedOn())
        return;
    GAnalytics* tracker = analyticsInstance();
    tracker->setTrackingID(QLatin1String(kTrackingId));
    tracker->setSendInterval(kInitialInterval);
    m_initialised = true;
}

void HAnalytics::start()
{
    if (!switchedOn())
        return;
    if (!m_initialised)
        init();
    analyticsInstance()->start();
}

void HAnalytics::stop()
{
    analyticsInstance()->stop();
}

void HAnalytics::setAgentInfo(QString text)
{
    if (!switchedOn())
        return;
    GAnalytics* tracker = analyticsInstance();
    tracker->setAgentField(text);
    tracker->refreshHeaders();
}

void HAnalytics::sendEvent(QString category, QString action, QString label)
{
    if (!switchedOn())
        return;
    analyticsInstance()->sendEvent(category, action, label, QVariant(), QVariantMap());
}

void HAnalytics::sendEvent(QString category, QString action)
{
    sendEvent(category, action, QString());
}
