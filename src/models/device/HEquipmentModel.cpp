#include "models/device/HEquipmentModel.h"

#include "models/device/HEquipmentList.h"

HEquipmentModel::HEquipmentModel(QObject* parent)
    : QAbstractListModel(parent)
{
}

HEquipmentModel::~HEquipmentModel() = default;

void HEquipmentModel::setEquipmentList(HEquipmentList* list)
{
    beginResetModel();
    if (m_list)
        m_list->disconnect(this);
    m_list = list;
    if (m_list) {
        connect(m_list, &HEquipmentList::preItemInserted, this,
                [this](int index) { beginInsertRows(QModelIndex(), index, index); });
        connect(m_list, &HEquipmentList::postItemInserted, this, [this] { endInsertRows(); });
        connect(m_list, &HEquipmentList::preItemDeleted, this,
                [this](int index) { beginRemoveRows(QModelIndex(), index, index); });
        connect(m_list, &HEquipmentList::postItemDeleted, this, [this] { endRemoveRows(); });
        connect(m_list, &HEquipmentList::preResetItems, this, [this] { beginResetModel(); });
        connect(m_list, &HEquipmentList::postResetItems, this, [this] { endResetModel(); });
        // A list that goes away leaves an empty model behind, not a dangling one.
        connect(m_list, &QObject::destroyed, this, [this] {
            beginResetModel();
            endResetModel();
        });
    }
    endResetModel();
    emit equipmentListChanged();
}

int HEquipmentModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !m_list)
        return 0;
    return m_list->getItemSize();
}

QVariant HEquipmentModel::data(const QModelIndex& index, int role) const
{
    if (!m_list || !index.isValid() || index.row() >= m_list->getItemSize())
        return QVariant();
    const HEquipmentItem item = m_list->items().at(index.row());
    switch (role) {
    case TextRole:
        return item.text;
    case ImageRole:
        return item.image;
    case PidRole:
        return item.pid;
    case TypeRole:
        return item.type;
    case IsSelectRole:
        return item.isSelect;
    case WirelessRole:
        return item.wireless;
    case PathRole:
        return item.path;
    default:
        return QVariant();
    }
}

QHash<int, QByteArray> HEquipmentModel::roleNames() const
{
    return {{TextRole, "text"}, {ImageRole, "image"}, {PidRole, "pid"},
            {TypeRole, "type"}, {IsSelectRole, "isSelect"}, {PathRole, "path"},
            {WirelessRole, "wireless"}};
}
