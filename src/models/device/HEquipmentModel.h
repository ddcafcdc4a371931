#pragma once

#include <QAbstractListModel>
#include <QPointer>

class HEquipmentList;

// Presents an HEquipmentList to QML views (QML type "HEquipmentModel" of "EquipmentModel" 1.0): one row per
// item, with the roles "text", "image", "pid", "type", "isSelect" and "path". The rows follow the list's
// change signals.
//
// Threads: GUI thread only. Created by QML; the list it shows belongs to the UI manager.
class HEquipmentModel : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(HEquipmentList* equipmentList READ equipmentList WRITE setEquipmentList NOTIFY equipmentListChanged)

public:
    enum Roles { TextRole = Qt::UserRole + 1, ImageRole, PidRole, TypeRole, IsSelectRole, PathRole, WirelessRole };

    explicit HEquipmentModel(QObject* parent = nullptr);
    ~HEquipmentModel() override;

    HEquipmentList* equipmentList() const { return m_list; }
    // Shows list (null: nothing); the old list's signals no longer reach the model.
    void setEquipmentList(HEquipmentList* list);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

signals:
    void equipmentListChanged();

private:
    QPointer<HEquipmentList> m_list;
};
