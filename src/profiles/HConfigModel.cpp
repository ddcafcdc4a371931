#include "profiles/HConfigModel.h"

#include "profiles/HConfigView.h"

HConfigModel::HConfigModel(QObject* parent)
    : QAbstractListModel(parent)
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
    if (m_configView)
        m_configView->disconnect(this);
    m_configView = view;
    if (view) {
        connect(view, &HConfigView::preItemInserted, this, [this](int i) { beginInsertRows(QModelIndex(), i, i); });
        connect(view, &HConfigView::postItemInserted, this, [this] { endInsertRows(); });
        connect(view, &HConfigView::preItemDeleted, this, [this](int i) { beginRemoveRows(QModelIndex(), i, i); });
        connect(view, &HConfigView::postItemDeleted, this, [this] { endRemoveRows(); });
        connect(view, &HConfigView::preResetItems, this, [this] { beginResetModel(); });
        connect(view, &HConfigView::postResetItems, this, [this] { endResetModel(); });
        // A view that goes away while shown empties the model.
        connect(view, &QObject::destroyed, this, [this] {
            beginResetModel();
            endResetModel();
        });
    }
    endResetModel();
}
