#include "devices/mouse/twopage/TwoPageFamily.h"

#include "common/DeviceIds.h"
#include "devices/mouse/twopage/FDeviceDunmor_Hollis.h"
#include "devices/mouse/twopage/HDeviceHarlo_Hollis.h"
#include "devices/mouse/twopage/HDeviceUlverd.h"
#include "devices/mouse/twopage/HDeviceUlverd_LOW.h"

namespace {

constexpr DeviceRegistration kTwoPageMice[] = {
    {DeviceIds::kUlverd, &constructDevice<HDeviceUlverd>},
    {DeviceIds::kUlverdLow, &constructDevice<HDeviceUlverd_LOW>},
    {DeviceIds::kHarloHollis, &constructDevice<HDeviceHarlo_Hollis>},
    {DeviceIds::kDunmorHollis, &constructDevice<FDeviceDunmor_Hollis>},
};

} // namespace

DeviceFamily twoPageFamily()
{
    return deviceFamily(kTwoPageMice);
}
