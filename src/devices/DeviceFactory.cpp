#include "hid/DeviceFactory.h"

#include "devices/DeviceRegistration.h"
#include "devices/keyboard/KeyboardFamily.h"
#include "devices/mouse/featurereport/FeatureReportFamily.h"
#include "devices/mouse/register/RegisterMouseFamily.h"
#include "devices/mouse/twocollection/TwoCollectionFamily.h"
#include "devices/mouse/twopage/TwoPageFamily.h"

namespace {

// One line per family. The product factory creates the classes of the product families only; the others
// are complete drivers reached in a simulated run and in tests (createModel).
struct FamilyLine {
    DeviceFamily (*table)();
    bool product;
};

constexpr FamilyLine kFamilies[] = {
    {&keyboardFamily, true},
    {&rgbKeyboardFamily, false},
    {&registerMouseFamily, false},
    {&twoPageFamily, false},
    {&twoCollectionFamily, false},
    {&featureReportFamily, false},
};

const DeviceRegistration* registrationOf(int pid, bool productOnly)
{
    for (const FamilyLine& family : kFamilies) {
        if (productOnly && !family.product)
            continue;
        const DeviceFamily table = family.table();
        for (const DeviceRegistration* it = table.begin; it != table.end; ++it) {
            if (it->pid == pid)
                return it;
        }
    }
    return nullptr;
}

QList<quint16> idsOf(bool productOnly)
{
    QList<quint16> ids;
    for (const FamilyLine& family : kFamilies) {
        if (productOnly && !family.product)
            continue;
        const DeviceFamily table = family.table();
        for (const DeviceRegistration* it = table.begin; it != table.end; ++it)
            ids.append(it->pid);
    }
    return ids;
}

} // namespace

KBaseDevice* DeviceFactory::create(int pid)
{
    const DeviceRegistration* registration = registrationOf(pid, true);
    return registration ? registration->create() : nullptr;
}

bool DeviceFactory::serves(int pid)
{
    return registrationOf(pid, true) != nullptr;
}

QList<quint16> DeviceFactory::productIds()
{
    return idsOf(true);
}

KBaseDevice* DeviceFactory::createModel(int pid)
{
    const DeviceRegistration* registration = registrationOf(pid, false);
    return registration ? registration->create() : nullptr;
}

QList<quint16> DeviceFactory::modelIds()
{
    return idsOf(false);
}
