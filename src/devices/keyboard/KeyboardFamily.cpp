#include "devices/keyboard/KeyboardFamily.h"

#include "common/DeviceIds.h"
#include "devices/keyboard/FDeviceQuenby_8a.h"
#include "devices/keyboard/HKeyBoardQuenby_RGB.h"

namespace {

// The wireless keyboard has no class: the program asks for the cable instead.
constexpr DeviceRegistration kKeyboards[] = {
    {DeviceIds::kKeyboardWired, &constructDevice<FDeviceQuenby_8a>},
};

// The RGB model: a complete driver that the product factory does not create (a simulated run and the tests do).
constexpr DeviceRegistration kRgbKeyboards[] = {
    {DeviceIds::kRgbKeyboard, &constructDevice<HKeyBoardQuenby_RGB>},
};

} // namespace

DeviceFamily keyboardFamily()
{
    return deviceFamily(kKeyboards);
}

DeviceFamily rgbKeyboardFamily()
{
    return deviceFamily(kRgbKeyboards);
}
