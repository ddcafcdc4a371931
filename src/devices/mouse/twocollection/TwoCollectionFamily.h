#pragma once

#include "devices/DeviceRegistration.h"

// The two-collection mouse classes and the product ids they serve.
DeviceFamily twoCollectionFamily();
