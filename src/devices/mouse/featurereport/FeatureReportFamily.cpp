#include "devices/mouse/featurereport/FeatureReportFamily.h"

#include "common/DeviceIds.h"
#include "devices/mouse/featurereport/HDeviceKinloch.h"
#include "devices/mouse/featurereport/HDeviceKinloch_Hollis.h"
#include "devices/mouse/featurereport/HDeviceLorrim.h"
#include "devices/mouse/featurereport/KDeviceDunmor.h"
#include "devices/mouse/featurereport/KDeviceGarrick.h"
#include "devices/mouse/featurereport/KDeviceHarlo.h"
#include "devices/mouse/featurereport/KDeviceIvell.h"

namespace {

constexpr DeviceRegistration kFeatureReportMice[] = {
    {DeviceIds::kDunmor, &constructDevice<KDeviceDunmor>},
    {DeviceIds::kGarrick, &constructDevice<KDeviceGarrick>},
    {DeviceIds::kHarlo, &constructDevice<KDeviceHarlo>},
    {DeviceIds::kIvell, &constructDevice<KDeviceIvell>},
    {DeviceIds::kLorrim, &constructDevice<HDeviceLorrim>},
    {DeviceIds::kKinloch, &constructDevice<HDeviceKinloch>},
    {DeviceIds::kKinlochHollis, &constructDevice<HDeviceKinloch_Hollis>},
};

} // namespace

DeviceFamily featureReportFamily()
{
    return deviceFamily(kFeatureReportMice);
}
