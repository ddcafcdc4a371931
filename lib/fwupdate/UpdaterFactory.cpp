#include "UpdaterFactory.h"

HBaseDevice* createUpdater(ModelPidMap::Updater kind)
{
    switch (kind) {
    case ModelPidMap::Updater::None:
    case ModelPidMap::Updater::Cawdor:
    case ModelPidMap::Updater::CawdorNordic:
    case ModelPidMap::Updater::Hollis:
    case ModelPidMap::Updater::Oakham:
    case ModelPidMap::Updater::Rushton:
    case ModelPidMap::Updater::Ulverd:
        break;
    }
    return nullptr;
}
