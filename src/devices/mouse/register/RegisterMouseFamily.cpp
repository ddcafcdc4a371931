#include "devices/mouse/register/RegisterMouseFamily.h"

#include "common/DeviceIds.h"
#include "devices/mouse/register/KDeviceFarrant_Nordic.h"
#include "devices/mouse/register/models/FDeviceBalsom.h"
#include "devices/mouse/register/models/FDeviceBalsom_Wireless.h"
#include "devices/mouse/register/models/FDeviceBrackly.h"
#include "devices/mouse/register/models/FDeviceBrackly_Wireless.h"
#include "devices/mouse/register/models/FDeviceCorlis.h"
#include "devices/mouse/register/models/FDeviceCorlis_Wireless.h"
#include "devices/mouse/register/models/FDeviceDallow.h"
#include "devices/mouse/register/models/FDeviceDallow_Wireless.h"
#include "devices/mouse/register/models/FDeviceElwin.h"
#include "devices/mouse/register/models/FDeviceElwin_Wireless.h"
#include "devices/mouse/register/models/FDeviceHebden.h"
#include "devices/mouse/register/models/FDeviceHebden_Wireless.h"
#include "devices/mouse/register/models/FDeviceJessam.h"
#include "devices/mouse/register/models/FDeviceJessam_Wireless.h"
#include "devices/mouse/register/models/FDeviceKelham_Nordic.h"
#include "devices/mouse/register/models/FDeviceKelham_Nordic_Wireless.h"
#include "devices/mouse/register/models/FDeviceLydford.h"
#include "devices/mouse/register/models/FDeviceLydford_Wireless.h"
#include "devices/mouse/register/models/FDeviceNesbit.h"
#include "devices/mouse/register/models/FDeviceNesbit_Wireless.h"
#include "devices/mouse/register/models/HDeviceAbberly.h"
#include "devices/mouse/register/models/HDeviceAbberly_Wireless.h"
#include "devices/mouse/register/models/HDeviceGadsby.h"
#include "devices/mouse/register/models/HDeviceGadsby_Wireless.h"
#include "devices/mouse/register/models/HDeviceIckwor.h"
#include "devices/mouse/register/models/HDeviceIckwor_Wireless.h"
#include "devices/mouse/register/models/HDeviceKelham.h"
#include "devices/mouse/register/models/HDeviceKelham_Wireless.h"
#include "devices/mouse/register/models/HDeviceYarrin.h"
#include "devices/mouse/register/models/HDeviceYarrin_Wireless.h"
#include "devices/mouse/register/models/HDeviceZennor.h"
#include "devices/mouse/register/models/HDeviceZennor_Wireless.h"
#include "devices/mouse/register/models/KDeviceFarrant.h"
#include "devices/mouse/register/models/KDeviceFarrant_Nordic_Wireless.h"
#include "devices/mouse/register/models/KDeviceFarrant_WireLess.h"

namespace {

constexpr DeviceRegistration kRegisterMice[] = {
    {DeviceIds::kJarrowNordic, &constructDevice<KDeviceFarrant_Nordic>},
    {DeviceIds::kJarrowNordicWireless, &constructDevice<KDeviceFarrant_Nordic_Wireless>},
    {DeviceIds::kHebden, &constructDevice<FDeviceHebden>},
    {DeviceIds::kHebdenWireless, &constructDevice<FDeviceHebden_Wireless>},
    {DeviceIds::kKelhamNordicWireless, &constructDevice<FDeviceKelham_Nordic_Wireless>},
    {DeviceIds::kKelhamNordic, &constructDevice<FDeviceKelham_Nordic>},
    {DeviceIds::kLydford, &constructDevice<FDeviceLydford>},
    {DeviceIds::kLydfordWireless, &constructDevice<FDeviceLydford_Wireless>},
    {DeviceIds::kCorlis, &constructDevice<FDeviceCorlis>},
    {DeviceIds::kCorlisWireless, &constructDevice<FDeviceCorlis_Wireless>},
    {DeviceIds::kBalsom, &constructDevice<FDeviceBalsom>},
    {DeviceIds::kBalsomWireless, &constructDevice<FDeviceBalsom_Wireless>},
    {DeviceIds::kElwin, &constructDevice<FDeviceElwin>},
    {DeviceIds::kElwinWireless, &constructDevice<FDeviceElwin_Wireless>},
    {DeviceIds::kJessam, &constructDevice<FDeviceJessam>},
    {DeviceIds::kJessamWireless, &constructDevice<FDeviceJessam_Wireless>},
    {DeviceIds::kNesbit, &constructDevice<FDeviceNesbit>},
    {DeviceIds::kNesbitWireless, &constructDevice<FDeviceNesbit_Wireless>},
    {DeviceIds::kBrackly, &constructDevice<FDeviceBrackly>},
    {DeviceIds::kBracklyWireless, &constructDevice<FDeviceBrackly_Wireless>},
    {DeviceIds::kDallow, &constructDevice<FDeviceDallow>},
    {DeviceIds::kDallowWireless, &constructDevice<FDeviceDallow_Wireless>},
    {DeviceIds::kKelham, &constructDevice<HDeviceKelham>},
    {DeviceIds::kKelhamWireless, &constructDevice<HDeviceKelham_Wireless>},
    {DeviceIds::kFarrant, &constructDevice<KDeviceFarrant>},
    {DeviceIds::kFarrantWireless, &constructDevice<KDeviceFarrant_WireLess>},
    {DeviceIds::kYarrin, &constructDevice<HDeviceYarrin>},
    {DeviceIds::kYarrinWireless, &constructDevice<HDeviceYarrin_Wireless>},
    {DeviceIds::kZennor, &constructDevice<HDeviceZennor>},
    {DeviceIds::kZennorWireless, &constructDevice<HDeviceZennor_Wireless>},
    {DeviceIds::kAbberly, &constructDevice<HDeviceAbberly>},
    {DeviceIds::kAbberlyWireless, &constructDevice<HDeviceAbberly_Wireless>},
    {DeviceIds::kGadsby, &constructDevice<HDeviceGadsby>},
    {DeviceIds::kGadsbyWireless, &constructDevice<HDeviceGadsby_Wireless>},
    {DeviceIds::kIckwor, &constructDevice<HDeviceIckwor>},
    {DeviceIds::kIckworWireless, &constructDevice<HDeviceIckwor_Wireless>},
};

} // namespace

DeviceFamily registerMouseFamily()
{
    return deviceFamily(kRegisterMice);
}
