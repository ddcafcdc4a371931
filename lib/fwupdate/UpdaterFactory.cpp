#include "UpdaterFactory.h"

#include "HCawdorSeries.h"

HBaseDevice* createUpdater(ModelPidMap::Updater kind)
{
    switch (kind) {
    case ModelPidMap::Updater::Cawdor:
        return new HCawdorSeries;
    case ModelPidMap::Updater::None:
    case ModelPidMap::Updater::CawdorNordic:
    case ModelPidMap::Updater::Hollis:
    case ModelPidMap::Updater::Oakham:
    case ModelPidMap::Updater::Rushton:
    case ModelPidMap::Updater::Ulverd:
        break;
    }
    return nullptr;
}
