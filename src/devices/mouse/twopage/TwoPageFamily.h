#pragma once

#include "devices/DeviceRegistration.h"

// The two-page mouse classes and the product ids they serve.
DeviceFamily twoPageFamily();
