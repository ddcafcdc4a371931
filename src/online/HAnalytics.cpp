#include "online/HAnalytics.h"

// The tracker behind this facade and the analytics switch come with the online services; until then the
// switch reads as off, the state of a new installation, and every event is dropped.

HAnalytics::HAnalytics(QObject* parent)
    : QObject(parent)
{
}

HAnalytics::~HAnalytics() = default;

void HAnalytics::init()
{
}

void HAnalytics::start()
{
}

void HAnalytics::stop()
{
}

void HAnalytics::setAgentInfo(QString text)
{
    Q_UNUSED(text);
}

void HAnalytics::sendEvent(QString category, QString action, QString label)
{
    Q_UNUSED(category);
    Q_UNUSED(action);
    Q_UNUSED(label);
}
