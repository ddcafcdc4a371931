#pragma once

#include "models/device/HEquipmentItem.h"

#include <QMap>
#include <QObject>
#include <QString>
#include <QVector>

// The connected devices the user can choose from ("h_equipmentList"), each with a display name, a picture and a
// type word, in the order the device controller hands them in (by product id). Every change is framed by a
// pair of signals, from which HEquipmentModel makes the item-model notifications; the opening signal always
// comes while the items are still as they were.
//
// Threads: GUI thread only. Owned by the UI manager.
class HEquipmentList : public QObject
{
    Q_OBJECT
public:
    explicit HEquipmentList(QObject* parent = nullptr);
    ~HEquipmentList() override;

    QVector<HEquipmentItem> items() const { return m_items; }

    Q_INVOKABLE void resetEquipmentList();
    Q_INVOKABLE int getItemSize() const { return m_items.size(); }
    // Whether some listed device has this type word ("keyboard", "quenby-8a_wireless").
    Q_INVOKABLE bool containsType(const QString& type) const;

    // The picker's name for a device-type name of the product-id table.
    static QString displayName(const QString& typeName);
    // The item for a product id: its name from the product-id table, picture and type word.
    static HEquipmentItem makeItem(int pid, const QString& path);

signals:
    void preItemInserted(int index);
    void postItemInserted();
    void preItemDeleted(int index);
    void postItemDeleted();
    void preResetItems();
    void postResetItems();

public slots:
    // Rebuilds the list from product id -> device path, in ascending product-id order.
    void initEquipmentList(QMap<int, QString> equipment);
    // Appends one item; always true.
    bool insertItemAt(int pid, QString path = QString());
    // Removes the item at index when index is not -1, else the first item of that product id (the path is
    // not compared). Nothing is announced when nothing matches.
    void deleteItemAt(int pid, QString path = QString(), int index = -1);
    void clearItems();

private:
    QVector<HEquipmentItem> m_items;
};
