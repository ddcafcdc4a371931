#include "models/keys/HKeyModel.h"

#include "models/device/FKeyLightModel.h"
#include "models/keys/KKeyModel.h"

HKeyModel::HKeyModel(QObject* parent)
    : QAbstractListModel(parent)
{
    qRegisterMetaType<KKeyModel*>("KKeyModel*");
    qRegisterMetaType<FKeyLightModel*>("FKeyLightModel*");
}

HKeyModel::~HKeyModel() = default;

int HKeyModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !keyPointer)
        return 0;
    return keyLightPointer ? 2 : 1;
}

QVariant HKeyModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !keyPointer)
        return QVariant();
    switch (role) {
    case KeyListRole:
        return keyPointer->getKeyList();
    case FunctionsMapRole:
        return keyPointer->getFunctionsMap();
    case OrginFuncMapRole:
        return keyPointer->getOrginFuncMap();
    default:
        break;
    }
    if (!keyLightPointer)
        return QVariant();
    switch (role) {
    case KeyLightListRole:
        return keyLightPointer->keyLightList();
    case KeyLightMaxValueRole:
        return keyLightPointer->maxValue();
    case KeyLightMinValueRole:
        return keyLightPointer->minValue();
    case KeyLightCurrentColorRole:
        return keyLightPointer->currentColor();
    default:
        return QVariant();
    }
}

QHash<int, QByteArray> HKeyModel::roleNames() const
{
    return {
        {KeyListRole, "keyList"},
        {FunctionsMapRole, "functionsMap"},
        {OrginFuncMapRole, "orginFuncMap"},
        {KeyLightListRole, "keyLightList"},
        {KeyLightMaxValueRole, "keyLightMaxValue"},
        {KeyLightMinValueRole, "keyLightMinValue"},
        {KeyLightCurrentColorRole, "keyLightCurrentColor"},
    };
}

void HKeyModel::setKeyPointer(KKeyModel* key)
{
    if (keyPointer)
        keyPointer->disconnect(this);
    keyPointer = key;
}

void HKeyModel::setKeyLightPointer(FKeyLightModel* keyLight)
{
    if (keyLightPointer)
        keyLightPointer->disconnect(this);
    keyLightPointer = keyLight;
}

void HKeyModel::setPointers(KKeyModel* key, FKeyLightModel* keyLight)
{
    beginResetModel();
    setKeyPointer(key);
    if (keyLight)
        setKeyLightPointer(keyLight);
    endResetModel();
}
