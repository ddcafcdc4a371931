#pragma once

#include "devices/DeviceRegistration.h"

// The feature-report mouse classes and the product ids they serve.
DeviceFamily featureReportFamily();
