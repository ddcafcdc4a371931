#pragma once

#include <QAbstractListModel>

// Base of the list models that show one list object of the pages (profiles, macro library, macro events).
// Such a list announces its changes through pairs of signals, preItemInserted(int)/postItemInserted(),
// preItemDeleted(int)/postItemDeleted() and preResetItems()/postResetItems(); followList turns each pair
// into the matching begin/end calls, so every view on the list sees the same rows.
//
// Threads: GUI thread only, like the lists.
class ListSignalModel : public QAbstractListModel
{
public:
    using QAbstractListModel::QAbstractListModel;

protected:
    // Connects list (null: none) after disconnecting previous, inside one model reset. A list that goes
    // away while shown empties the model; the caller keeps a guarded pointer to it.
    template <typename List>
    void followList(List* previous, List* list)
    {
        if (previous)
            previous->disconnect(this);
        if (!list)
            return;
        connect(list, &List::preItemInserted, this, [this](int i) { beginInsertRows(QModelIndex(), i, i); });
        connect(list, &List::postItemInserted, this, [this] { endInsertRows(); });
        connect(list, &List::preItemDeleted, this, [this](int i) { beginRemoveRows(QModelIndex(), i, i); });
        connect(list, &List::postItemDeleted, this, [this] { endRemoveRows(); });
        connect(list, &List::preResetItems, this, [this] { beginResetModel(); });
        connect(list, &List::postResetItems, this, [this] { endResetModel(); });
        connect(list, &QObject::destroyed, this, [this] {
            beginResetModel();
            endResetModel();
        });
    }
};
