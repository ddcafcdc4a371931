#pragma once

#include "common/AppServices.h"
#include "models/device/KLightModel.h"
#include "models/device/KLightModelItem.h"

// A screen or power-saving change on the device ends the lighting preset it showed: the main light zone shows
// "no preset" again, without a write (the device has already left the preset by itself).
inline void showNoLightPreset()
{
    constexpr int kNoPreset = 3;
    if (KLightModel* lights = AppServices::instance()->getLightModel()) {
        if (KLightModelItem* logo = lights->logo())
            logo->writeShortCutModel(kNoPreset, false);
    }
}
