#include "devices/mouse/MouseSessionDevice.h"

#include "devices/LayoutDocument.h"

MouseSessionDevice::MouseSessionDevice(const QString& layoutPath, QObject* parent)
    : KBaseDevice(parent)
    , m_layout(LayoutDocument::read(layoutPath))
{
    m_session.setDeviceName(m_layout.value(QStringLiteral("deviceName")).toString());
    m_session.followModels();
}

MouseSessionDevice::~MouseSessionDevice() = default;
