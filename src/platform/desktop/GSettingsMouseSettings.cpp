// GIO's headers name struct members "signals": they come before any Qt header.
#include <gio/gio.h>

#include "platform/desktop/GSettingsMouseSettings.h"

namespace Platform {

std::unique_ptr<GSettingsMouseSettings> GSettingsMouseSettings::create()
{
    // Looked up first: GSettings ends the process when asked for a schema it does not have.
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    if (!source)
        return nullptr;
    GSettingsSchema* schema = g_settings_schema_source_lookup(source, kSchema, TRUE);
    if (!schema)
        return nullptr;
    const bool hasSpeed = g_settings_schema_has_key(schema, kSpeedKey);
    g_settings_schema_unref(schema);
    if (!hasSpeed)
        return nullptr;
    return std::unique_ptr<GSettingsMouseSettings>(new GSettingsMouseSettings(g_settings_new(kSchema)));
}

GSettingsMouseSettings::GSettingsMouseSettings(GSettings* settings)
    : m_settings(settings)
{
}

GSettingsMouseSettings::~GSettingsMouseSettings()
{
    if (m_settings)
        g_object_unref(m_settings);
}

bool GSettingsMouseSettings::readPointerSpeed(int* value)
{
    if (!m_settings)
        return false;
    *value = speedOfAcceleration(g_settings_get_double(m_settings, kSpeedKey));
    return true;
}

bool GSettingsMouseSettings::writePointerSpeed(int value)
{
    if (!m_settings || !g_settings_set_double(m_settings, kSpeedKey, accelerationOfSpeed(value)))
        return false;
    // Written through before the call returns, so another program (or a check) sees it at once.
    g_settings_sync();
    return true;
}

} // namespace Platform
