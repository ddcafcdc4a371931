#include "app/HSuspension.h"

#include "hid/HDeviceManager.h"
#include "hid/KBaseDevice.h"

#include <QTimer>

HSuspension::HSuspension(QObject* parent)
    : QObject(parent), m_timer(new QTimer)
{
    connect(m_timer, &QTimer::timeout, this, &HSuspension::TimerTimeOut);
}

HSuspension::~HSuspension()
{
    delete m_timer;
}

void HSuspension::showTips(int style, QString message)
{
    const KBaseDevice* device = HDeviceManager::instance()->getDevice(-1);
    if (device && device->isRemoved())
        return;
    const bool idle = m_queue.isEmpty();
    m_queue.append({style, message});
    if (idle) {
        emit sigShowTips(style, message);
        m_timer->start(kTipTimeMs);
    }
}

void HSuspension::closeTips()
{
    emit sigCloseTips();
}

void HSuspension::showSetCpiTips(int value)
{
    emit sigShowSetCpiTips(QString("%1").arg(value, 0, 10, QChar(' ')));
    m_timer->start(kTipTimeMs);
}

void HSuspension::TimerTimeOut()
{
    if (!m_timer->isActive())
        return;
    m_timer->stop();
    emit sigCloseTips();
    if (m_queue.isEmpty())
        return;
    const Tip shown = m_queue.takeFirst();
    while (!m_queue.isEmpty()) {
        if (m_queue.first() == shown) {
            m_queue.removeFirst();
            continue;
        }
        emit sigShowTips(m_queue.first().style, m_queue.first().message);
        m_timer->start(kTipTimeMs);
        return;
    }
}
