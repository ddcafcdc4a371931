#include "profiles/HConfigModel.h"

#include "profiles/HConfigView.h"

HConfigModel::HConfigModel(QObject* parent)
    : ListSignalModel(parent)
{
}

int HConfigModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !m_configView)
        return 0;
    return m_configView->getItemValue();
}

QVariant HConfigModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !m_configView)
        return QVariant();
    const QVector<HConfigViewItem> items = m_configView->items();
    if (index.row() < 0 || index.row() >= items.size())
        return QVariant();
    const HConfigViewItem& item = items.at(index.row());
    switch (role) {
    case TextRole: return item.text;
    case IsDirRole: return item.isDir;
    case ImageRole: return item.image;
    default: return QVariant();
    }
}

QHash<int, QByteArray> HConfigModel::roleNames() const
{
    return {{TextRole, "text"}, {IsDirRole, "isDir"}, {ImageRole, "image"}};
}

void HConfigModel::setConfigView(HConfigView* view)
{
    beginResetModel();
    followList<HConfigView>(m_configView, view);
    m_configView = view;
    endResetModel();
}
