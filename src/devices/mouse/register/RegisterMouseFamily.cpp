#include "devices/mouse/register/RegisterMouseFamily.h"

#include "common/DeviceIds.h"
#include "devices/mouse/register/KDeviceFarrant_Nordic.h"

namespace {

constexpr DeviceRegistration kRegisterMice[] = {
    {DeviceIds::kJarrowNordic, &constructDevice<KDeviceFarrant_Nordic>},
};

} // namespace

DeviceFamily registerMouseFamily()
{
    return deviceFamily(kRegisterMice);
}
