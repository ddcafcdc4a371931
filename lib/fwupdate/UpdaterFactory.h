#pragma once

#include "ModelPidMap.h"

class HBaseDevice;

// The series updater for one row of the model table; null for ids no updater owns.
HBaseDevice* createUpdater(ModelPidMap::Updater kind);
