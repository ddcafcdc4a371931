#include "devices/mouse/twocollection/TwoCollectionFamily.h"

#include "common/DeviceIds.h"
#include "devices/mouse/twocollection/FDeviceEdris.h"
#include "devices/mouse/twocollection/FDeviceOrlan.h"
#include "devices/mouse/twocollection/FDevicePembry.h"
#include "devices/mouse/twocollection/FDeviceSelwin.h"
#include "devices/mouse/twocollection/FDeviceTamsin.h"
#include "devices/mouse/twocollection/FDeviceVarlo.h"
#include "devices/mouse/twocollection/FDeviceWendal.h"

namespace {

constexpr DeviceRegistration kTwoCollectionMice[] = {
    {DeviceIds::kEdris, &constructDevice<FDeviceEdris>},   {DeviceIds::kPembry, &constructDevice<FDevicePembry>},
    {DeviceIds::kOrlan, &constructDevice<FDeviceOrlan>},   {DeviceIds::kSelwin, &constructDevice<FDeviceSelwin>},
    {DeviceIds::kTamsin, &constructDevice<FDeviceTamsin>}, {DeviceIds::kVarlo, &constructDevice<FDeviceVarlo>},
    {DeviceIds::kWendal, &constructDevice<FDeviceWendal>},
};

} // namespace

DeviceFamily twoCollectionFamily()
{
    return deviceFamily(kTwoCollectionMice);
}
