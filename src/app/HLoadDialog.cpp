#include "app/HLoadDialog.h"

#include <QTimer>

namespace {
// Changed on the GUI thread only.
int g_openRequests = 0;
}

HLoadDialog::HLoadDialog(QObject* parent)
    : QObject(parent), m_timer(new QTimer)
{
    connect(m_timer, &QTimer::timeout, this, &HLoadDialog::TimerTimeOut);
}

HLoadDialog::~HLoadDialog()
{
    delete m_timer;
}

void HLoadDialog::startLoading(int time)
{
    emit sigStartLoading();
    // A short request started while a longer one runs (a light change during a profile apply) does not bring
    // the longer one's end forward: the overlay stays until the latest end any open request allows.
    if (!m_timer->isActive() || m_timer->remainingTime() < time)
        m_timer->start(time);
    ++g_openRequests;
}

void HLoadDialog::startLoading()
{
    startLoading(kDefaultTimeMs);
}

void HLoadDialog::stopLoading()
{
    // A stop without its start (or after the timer closed the overlay) never drives the count below 0.
    if (g_openRequests > 0)
        --g_openRequests;
    if (g_openRequests > 0)
        return;
    TimerTimeOut();
}

int HLoadDialog::openRequests()
{
    return g_openRequests;
}

void HLoadDialog::TimerTimeOut()
{
    if (!m_timer->isActive())
        return;
    // The overlay is closed: requests that never stopped no longer hold later ones open.
    g_openRequests = 0;
    m_timer->stop();
    emit sigStopLoading();
}
