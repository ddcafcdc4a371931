#include "devices/mouse/register/models/HDeviceKelham_Wireless.h"

#include "common/DeviceIds.h"
#include "devices/mouse/register/FarrantNordicProtocol.h"

using namespace FarrantNordic;

namespace {
constexpr int kPowerSavingByte = 3;  // of the word at kRegPicIndex
constexpr quint8 kInvertedOn = 0;
constexpr quint8 kInvertedOff = 1;
} // namespace

HDeviceKelham_Wireless::HDeviceKelham_Wireless(QObject* parent)
    : HDeviceKelham(DeviceIds::kKelhamWireless, parent)
{
}

bool HDeviceKelham_Wireless::afterOpen()
{
    return afterOwnOpening();
}

bool HDeviceKelham_Wireless::getPowerSaving()
{
    MouseOperation op(session());
    if (!op.isHeld())
        return false;
    const int value = readByte(kRegPicIndex + kPowerSavingByte, true);
    return value == kInvertedOn;
}

bool HDeviceKelham_Wireless::setPowerSaving(bool on)
{
    MouseOperation op(session());
    return op.isHeld()
        && op.finish(updateWord(kRegPicIndex, {{kPowerSavingByte, on ? kInvertedOn : kInvertedOff}}, false,
                                QStringLiteral("setPowerSaving")));
}
