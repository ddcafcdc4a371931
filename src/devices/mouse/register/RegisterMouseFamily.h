#pragma once

#include "devices/DeviceRegistration.h"

// The register mouse classes and the product ids they serve.
DeviceFamily registerMouseFamily();
