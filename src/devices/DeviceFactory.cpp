#include "hid/DeviceFactory.h"

#include "devices/DeviceRegistration.h"
#include "devices/keyboard/KeyboardFamily.h"

namespace {

// One line per family.
constexpr DeviceFamily (*const kFamilies[])() = {
    &keyboardFamily,
};

const DeviceRegistration* registrationOf(int pid)
{
    for (auto family : kFamilies) {
        const DeviceFamily table = family();
        for (const DeviceRegistration* it = table.begin; it != table.end; ++it) {
            if (it->pid == pid)
                return it;
        }
    }
    return nullptr;
}

} // namespace

KBaseDevice* DeviceFactory::create(int pid)
{
    const DeviceRegistration* registration = registrationOf(pid);
    return registration ? registration->create() : nullptr;
}

bool DeviceFactory::serves(int pid)
{
    return registrationOf(pid) != nullptr;
}

QList<quint16> DeviceFactory::productIds()
{
    QList<quint16> ids;
    for (auto family : kFamilies) {
        const DeviceFamily table = family();
        for (const DeviceRegistration* it = table.begin; it != table.end; ++it)
            ids.append(it->pid);
    }
    return ids;
}
