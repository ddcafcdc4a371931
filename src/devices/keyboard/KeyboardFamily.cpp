#include "devices/keyboard/KeyboardFamily.h"

#include "common/DeviceIds.h"
#include "devices/keyboard/FDeviceQuenby_8a.h"

namespace {

// The wireless keyboard has no class: the program asks for the cable instead.
constexpr DeviceRegistration kKeyboards[] = {
    {DeviceIds::kKeyboardWired, &constructDevice<FDeviceQuenby_8a>},
};

} // namespace

DeviceFamily keyboardFamily()
{
    return deviceFamily(kKeyboards);
}
