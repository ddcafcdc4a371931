#include "RecordingServices.h"

#include "models/DeviceModelLinks.h"
#include "profiles/KConfigFileController.h"

RecordingServices::RecordingServices()
    : m_previous(AppServices::instance())
{
    AppServices::install(this);
}

RecordingServices::~RecordingServices()
{
    AppServices::install(m_previous);
}

void RecordingServices::showTips(int style, const QString& message)
{
    tips << QStringLiteral("%1:%2").arg(style).arg(message);
}

void RecordingServices::showSetCpiTips(int value)
{
    tips << QStringLiteral("dpi:%1").arg(value);
}

void RecordingServices::startLoading(int)
{
    ++loadingStarts;
}

void RecordingServices::startLoading()
{
    ++loadingStarts;
}

void RecordingServices::stopLoading()
{
    ++loadingStops;
}

void RecordingServices::startWarning(int type)
{
    warnings << type;
}

void RecordingServices::sendEvent(const QString& category, const QString& action, const QString& label)
{
    events << QStringLiteral("%1/%2/%3").arg(category, action, label);
}

void RecordingServices::saveProfileSection(int section, int key)
{
    profileSaves << QStringLiteral("%1:%2").arg(section).arg(key);
    if (saveThroughController && m_configFileController)
        m_configFileController->saveCurrentProfileSection(section, key);
}

void RecordingServices::clear()
{
    profileSaves.clear();
    tips.clear();
    events.clear();
    warnings.clear();
    openFailures.clear();
    warningStops = 0;
    analyticsStarts.clear();
    loadingStarts = 0;
    loadingStops = 0;
}

void RecordingServices::setMouseConfig(const QString& fileName, bool write)
{
    if (write)
        configPath = fileName;
}

void RecordingServices::linkDeviceController(KDeviceController* controller)
{
    DeviceModelLinks::link(controller, this);
}
