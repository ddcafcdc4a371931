#pragma once

#include "platform/desktop/PointerAccelProperty.h"
#include "platform/sys/SystemMouseSettings.h"

#include <memory>

// The pointer speed of an X11 session without a desktop setting of its own: the libinput acceleration of the
// pointer devices. It is read from the first device that has it and written to all of them; the X server keeps
// it for the session. There is no wheel-lines setting.
//
// Threads: GUI thread.
namespace Platform {

class XInputMouseSettings : public SystemMouseSettings
{
public:
    explicit XInputMouseSettings(std::unique_ptr<PointerAccelProperty> property);

    // Offered while some pointer device has the property.
    bool offersPointerSpeed() const override;
    bool offersWheelLines() const override { return false; }
    bool readPointerSpeed(int* value) override;
    bool writePointerSpeed(int value) override;
    bool readWheelLines(int*) override { return false; }
    bool writeWheelLines(int) override { return false; }

private:
    std::unique_ptr<PointerAccelProperty> m_property;
};

// The X server's property, through XInput 2 on the display of DISPLAY; null without a display or XInput 2.
std::unique_ptr<PointerAccelProperty> xinputAccelProperty();

} // namespace Platform
