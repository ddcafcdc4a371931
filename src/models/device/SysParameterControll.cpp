#include "models/device/SysParameterControll.h"

#include "common/AnalyticsEvents.h"
#include "common/AppServices.h"
#include "platform/sys/SystemMouseSettings.h"

#include <QDebug>

SysParameterControll* SysParameterControll::instance()
{
    static SysParameterControll controll;
    return &controll;
}

SysParameterControll::SysParameterControll(QObject* parent)
    : QObject(parent)
    , m_speedOffered(Platform::systemMouseSettings()->offersPointerSpeed())
    , m_linesOffered(Platform::systemMouseSettings()->offersWheelLines())
{
    if (m_speedOffered)
        MouseSpeed();
    if (m_linesOffered)
        WheelScrollLine();
}

SysParameterControll::~SysParameterControll() = default;

int SysParameterControll::MouseSpeed()
{
    if (!Platform::systemMouseSettings()->readPointerSpeed(&m_mouseSpeed))
        qDebug() << "[Error] get sensitivity failed";
    return m_mouseSpeed;
}

int SysParameterControll::WheelScrollLine()
{
    if (!Platform::systemMouseSettings()->readWheelLines(&m_wheelScrollLine))
        qDebug() << "[Error] get sensitivity failed";
    setWheelScrollType(m_wheelScrollLine == kPageScroll ? kScrollByPages : kScrollByLines);
    return m_wheelScrollLine;
}

void SysParameterControll::setMouseSpeed(int value)
{
    // The system takes 1..20 only.
    const int speed = qBound(kMinSpeed, value, kMaxSpeed);
    if (!Platform::systemMouseSettings()->writePointerSpeed(speed)) {
        qDebug() << "[Error] set mouse speed failed" << speed;
        return;
    }
    m_mouseSpeed = speed;
    AppServices::instance()->sendEvent(AnalyticsEvents::kDevicePointer, AnalyticsEvents::kMouseSpeed,
                                       QString::number(value));
    emit MouseSpeedChanged();
}

void SysParameterControll::setWheelScrollLine(int value)
{
    int lines = 0;
    if (value >= 1 && value <= 100)
        lines = qMin(value, kMaxLines);
    else if (value == kPageScroll)
        lines = kPageScroll;

    if (lines != 0) {
        // Only a count the system took is kept.
        if (Platform::systemMouseSettings()->writeWheelLines(lines)) {
            m_wheelScrollLine = lines;
            emit WheelScrollLineChanged();
        } else {
            qDebug() << "[Error] set wheel scroll lines failed" << lines;
        }
    }
    AppServices::instance()->sendEvent(AnalyticsEvents::kDeviceScroll, AnalyticsEvents::kWheelScrollLine,
                                       QString::number(value));
}

void SysParameterControll::setWheelScrollType(int type)
{
    m_wheelScrollType = type;
    emit WheelScrollTypeChanged();
}
