#include "devices/mouse/twopage/HDeviceUlverd_LOW.h"

#include "common/DeviceIds.h"

HDeviceUlverd_LOW::HDeviceUlverd_LOW(QObject* parent)
    : HDeviceUlverd(DeviceIds::kUlverdLow, Dialect::Root, parent)
{
    setDpiTables(TwoPage::dpiTable(TwoPage::kDpiTableA, true), TwoPage::dpiTable(TwoPage::kDpiTableB, true));
}
