#pragma once

#include "common/ListSignalModel.h"

#include <QPointer>

class KMacroList;

// The macro recording list for one QML view: it shows the single KMacroList and follows its change signals.
// Rows change only through the list; edits of a field go through setData.
//
// Threads: GUI thread only.
class KMacroModel : public ListSignalModel
{
    Q_OBJECT
    Q_PROPERTY(KMacroList* macroList READ macroList WRITE setMacroList NOTIFY macroListChanged)
public:
    enum Roles { TypeRole = Qt::UserRole, IsUpRole, Value1Role, Value2Role, TextRole, ChangeRole };

    explicit KMacroModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    // Rows are inserted and removed through the list only: these refuse and announce nothing.
    bool insertRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QHash<int, QByteArray> roleNames() const override;

    KMacroList* macroList() const { return m_macroList; }
    void setMacroList(KMacroList* list);

signals:
    void macroListChanged();

private:
    bool isRow(const QModelIndex& index) const;

    QPointer<KMacroList> m_macroList;
};
