#include "platform/desktop/XInputMouseSettings.h"

#include <QByteArray>

#include <cstring>

// Xlib's macros (None, Bool, Status, ...) would clash with Qt's names: its headers come last.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

namespace Platform {

XInputMouseSettings::XInputMouseSettings(std::unique_ptr<PointerAccelProperty> property)
    : m_property(std::move(property))
{
}

bool XInputMouseSettings::offersPointerSpeed() const
{
    return m_property && !m_property->devices().isEmpty();
}

bool XInputMouseSettings::readPointerSpeed(int* value)
{
    if (!m_property)
        return false;
    for (int device : m_property->devices()) {
        double acceleration = 0;
        if (m_property->read(device, &acceleration)) {
            *value = speedOfAcceleration(acceleration);
            return true;
        }
    }
    return false;
}

bool XInputMouseSettings::writePointerSpeed(int value)
{
    if (!m_property)
        return false;
    const QList<int> devices = m_property->devices();
    bool written = !devices.isEmpty();
    for (int device : devices)
        written = m_property->write(device, accelerationOfSpeed(value)) && written;
    return written;
}

namespace {

const char* const kAccelSpeed = "libinput Accel Speed";

// A device can go, or refuse a value, between two calls: Xlib would end the process on the error. While a trap
// lives, errors are noted instead.
int g_lastError = 0;
int noteError(Display*, XErrorEvent* event)
{
    g_lastError = event->error_code;
    return 0;
}

struct ErrorTrap {
    XErrorHandler previous;
    ErrorTrap()
    {
        g_lastError = 0;
        previous = XSetErrorHandler(noteError);
    }
    ~ErrorTrap() { XSetErrorHandler(previous); }
    bool failed() const { return g_lastError != 0; }
};

class XInputAccelProperty : public PointerAccelProperty
{
public:
    explicit XInputAccelProperty(Display* display)
        : m_display(display)
        , m_property(XInternAtom(display, kAccelSpeed, True))
        , m_float(XInternAtom(display, "FLOAT", False))
    {
    }
    ~XInputAccelProperty() override { XCloseDisplay(m_display); }

    QList<int> devices() override
    {
        QList<int> found;
        // The atom exists only once a libinput device has announced the property.
        if (m_property == None)
            return found;
        int count = 0;
        ErrorTrap trap;
        XIDeviceInfo* info = XIQueryDevice(m_display, XIAllDevices, &count);
        for (int i = 0; info && i < count; ++i) {
            double value = 0;
            if (info[i].use == XISlavePointer && info[i].enabled && read(info[i].deviceid, &value))
                found << info[i].deviceid;
        }
        if (info)
            XIFreeDeviceInfo(info);
        return found;
    }

    bool read(int device, double* value) override
    {
        if (m_property == None)
            return false;
        Atom type = None;
        int format = 0;
        unsigned long items = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        ErrorTrap trap;
        const bool ok = XIGetProperty(m_display, device, m_property, 0, 1, False, AnyPropertyType, &type, &format,
                                      &items, &after, &data) == Success
                        && !trap.failed() && type == m_float && format == 32 && items >= 1 && data;
        if (ok) {
            // XInput 2 hands 32-bit items as they are: one float.
            float number = 0;
            std::memcpy(&number, data, sizeof number);
            *value = number;
        }
        if (data)
            XFree(data);
        return ok;
    }

    bool write(int device, double value) override
    {
        if (m_property == None)
            return false;
        const float number = float(value);
        unsigned char bytes[sizeof number];
        std::memcpy(bytes, &number, sizeof number);
        {
            ErrorTrap trap;
            XIChangeProperty(m_display, device, m_property, m_float, 32, PropModeReplace, bytes, 1);
            XSync(m_display, False);
            if (trap.failed())
                return false;
        }
        double back = 0;
        return read(device, &back) && qAbs(back - value) < 1e-3;
    }

private:
    Display* m_display;
    Atom m_property;
    Atom m_float;
};

} // namespace

std::unique_ptr<PointerAccelProperty> xinputAccelProperty()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return nullptr;
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return nullptr;
    int opcode = 0;
    int event = 0;
    int error = 0;
    int major = 2;
    int minor = 0;
    if (!XQueryExtension(display, "XInputExtension", &opcode, &event, &error)
        || XIQueryVersion(display, &major, &minor) != Success) {
        XCloseDisplay(display);
        return nullptr;
    }
    return std::make_unique<XInputAccelProperty>(display);
}

} // namespace Platform
