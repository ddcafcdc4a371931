#pragma once

#include <QList>

// The "libinput Accel Speed" property (-1..1) of the pointer devices of an X11 session: which devices have it,
// and its value per device. The X server's own is XInputAccelProperty; tests give a recorded one.
//
// Threads: GUI thread.
namespace Platform {

class PointerAccelProperty
{
public:
    virtual ~PointerAccelProperty() = default;

    // The pointer devices (by XInput id) that carry the property, in the server's order.
    virtual QList<int> devices() = 0;
    virtual bool read(int device, double* value) = 0;
    virtual bool write(int device, double value) = 0;
};

} // namespace Platform
