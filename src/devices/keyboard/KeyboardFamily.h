#pragma once

#include "devices/DeviceRegistration.h"

// The keyboard classes and the product ids they serve.
DeviceFamily keyboardFamily();
DeviceFamily rgbKeyboardFamily();
