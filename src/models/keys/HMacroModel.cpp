#include "models/keys/HMacroModel.h"

#include "models/keys/HMacroName.h"

HMacroModel::HMacroModel(QObject* parent)
    : ListSignalModel(parent)
{
}

int HMacroModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !m_macroName)
        return 0;
    return m_macroName->getItemValue();
}

QVariant HMacroModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !m_macroName || index.row() >= m_macroName->getItemValue())
        return QVariant();
    const HMacroNameItem item = m_macroName->items().at(index.row());
    switch (role) {
    case TextRole: return item.text;
    case IsDirRole: return item.isDir;
    case IsSelectRole: return item.isSelect;
    case IsTextRole: return item.isText;
    default: return QVariant();
    }
}

QHash<int, QByteArray> HMacroModel::roleNames() const
{
    return {{TextRole, "text"}, {IsDirRole, "isDir"}, {IsSelectRole, "isSelect"}, {IsTextRole, "isText"}};
}

void HMacroModel::setMacroName(HMacroName* names)
{
    beginResetModel();
    followList<HMacroName>(m_macroName, names);
    m_macroName = names;
    endResetModel();
    emit macroNameChanged();
}
