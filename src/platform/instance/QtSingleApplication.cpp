#include "platform/instance/QtSingleApplication.h"

#include "platform/instance/SingleInstance.h"

QtSingleApplication::QtSingleApplication(const QString& key, int& argc, char** argv)
    : QApplication(argc, argv), m_instance(new SingleInstance(key, this))
{
    connect(m_instance, &SingleInstance::messageReceived, this, &QtSingleApplication::messageReceived);
}

QtSingleApplication::~QtSingleApplication() = default;

bool QtSingleApplication::isRunning() const
{
    return m_instance->isRunning();
}

bool QtSingleApplication::sendMessage(const QString& message, int timeoutMs) const
{
    return m_instance->sendMessage(message, timeoutMs);
}
