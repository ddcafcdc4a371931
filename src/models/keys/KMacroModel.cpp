#include "models/keys/KMacroModel.h"

#include "models/keys/KMacroList.h"

KMacroModel::KMacroModel(QObject* parent)
    : ListSignalModel(parent)
{
}

bool KMacroModel::isRow(const QModelIndex& index) const
{
    return index.isValid() && !index.parent().isValid() && m_macroList && index.row() < m_macroList->size();
}

int KMacroModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !m_macroList)
        return 0;
    return m_macroList->size();
}

QVariant KMacroModel::data(const QModelIndex& index, int role) const
{
    if (!isRow(index))
        return QVariant();
    const KMacroItem event = m_macroList->items().at(index.row());
    switch (role) {
    case TypeRole: return event.type;
    case IsUpRole: return event.isUp;
    case Value1Role: return event.value1;
    case Value2Role: return event.value2;
    case TextRole: return event.text;
    case ChangeRole: return m_macroList->changeFlags().at(index.row());
    default: return QVariant();
    }
}

bool KMacroModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!isRow(index))
        return false;
    KMacroItem event = m_macroList->items().at(index.row());
    switch (role) {
    case TypeRole: event.type = value.toInt(); break;
    case IsUpRole: event.isUp = value.toBool(); break;
    case Value1Role: event.value1 = value.toInt(); break;
    case Value2Role: event.value2 = value.toInt(); break;
    case TextRole: event.text = value.toString(); break;
    default: return false;
    }
    if (event == m_macroList->items().at(index.row()))
        return false;
    const bool wasChanged = m_macroList->changeFlags().at(index.row());
    m_macroList->setItem(index.row(), event);
    // An edited event counts as changed; its flag is shown as well.
    QVector<int> roles{role};
    if (!wasChanged)
        roles << ChangeRole;
    emit dataChanged(index, index, roles);
    return true;
}

bool KMacroModel::insertRows(int row, int count, const QModelIndex& parent)
{
    return false;
}

bool KMacroModel::removeRows(int row, int count, const QModelIndex& parent)
{
    return false;
}

Qt::ItemFlags KMacroModel::flags(const QModelIndex& index) const
{
    return isRow(index) ? Qt::ItemIsEditable : Qt::NoItemFlags;
}

QHash<int, QByteArray> KMacroModel::roleNames() const
{
    return {{TypeRole, "type"},   {IsUpRole, "isUp"}, {Value1Role, "value1"},
            {Value2Role, "value2"}, {TextRole, "text"}, {ChangeRole, "change"}};
}

void KMacroModel::setMacroList(KMacroList* list)
{
    beginResetModel();
    followList<KMacroList>(m_macroList, list);
    m_macroList = list;
    endResetModel();
    emit macroListChanged();
}
