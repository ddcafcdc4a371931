#include "UpdaterFactory.h"

#include "FHollisSeries.h"
#include "HCawdorSeries.h"
#include "HCawdorSeries_Nordic.h"
#include "HOakhamSeries.h"
#include "HRushtonSeries.h"
#include "HUlverdSeries.h"

HBaseDevice* createUpdater(ModelPidMap::Updater kind)
{
    switch (kind) {
    case ModelPidMap::Updater::Cawdor:
        return new HCawdorSeries;
    case ModelPidMap::Updater::Oakham:
        return new HOakhamSeries;
    case ModelPidMap::Updater::Rushton:
        return new HRushtonSeries;
    case ModelPidMap::Updater::Ulverd:
        return new HUlverdSeries;
    case ModelPidMap::Updater::Hollis:
        return new FHollisSeries;
    case ModelPidMap::Updater::CawdorNordic:
        return new HCawdorSeries_Nordic;
    case ModelPidMap::Updater::None:
        break;
    }
    return nullptr;
}
