#pragma once

#include "platform/sys/SystemMouseSettings.h"

#include <memory>

typedef struct _GSettings GSettings;

// The pointer speed of GNOME-family desktops: the "speed" key of "org.gnome.desktop.peripherals.mouse"
// (-1..1), read and written through GSettings, so the desktop applies it at once and keeps it. Those desktops
// have no wheel-lines setting.
//
// Threads: GUI thread.
namespace Platform {

class GSettingsMouseSettings : public SystemMouseSettings
{
public:
    static constexpr const char* kSchema = "org.gnome.desktop.peripherals.mouse";
    static constexpr const char* kSpeedKey = "speed";

    // Null when the schema, or its speed key, is not installed.
    static std::unique_ptr<GSettingsMouseSettings> create();
    ~GSettingsMouseSettings() override;
    GSettingsMouseSettings(const GSettingsMouseSettings&) = delete;
    GSettingsMouseSettings& operator=(const GSettingsMouseSettings&) = delete;

    bool offersPointerSpeed() const override { return true; }
    bool offersWheelLines() const override { return false; }
    bool readPointerSpeed(int* value) override;
    bool writePointerSpeed(int value) override;
    bool readWheelLines(int*) override { return false; }
    bool writeWheelLines(int) override { return false; }

private:
    explicit GSettingsMouseSettings(GSettings* settings);

    GSettings* m_settings = nullptr;
};

} // namespace Platform
