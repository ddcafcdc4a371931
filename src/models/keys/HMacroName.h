#pragma once

#include "models/keys/HMacroNameItem.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QVector>

// The entries of one folder of the macro library as a flat list for the macro page, and the macro files
// selected for assignment to a key.
class HMacroName : public QObject
{
    Q_OBJECT
public:
    explicit HMacroName(QObject* parent = nullptr);

    static constexpr int kMaxItems = 100;

    Q_INVOKABLE int getItemValue() const;
    // The entry's name; index == getItemValue() gives the last entry, any other index outside the list "".
    Q_INVOKABLE QString getItemText(int index) const;
    // The selected macro files' paths in ascending row order.
    Q_INVOKABLE QVector<QString> getMultiMacro() const;
    Q_INVOKABLE bool clearMultiMacro();

    QVector<HMacroNameItem> items() const { return m_items; }

signals:
    void preItemInserted(int index);
    void postItemInserted();
    void preItemDeleted(int index);
    void postItemDeleted();
    void preResetItems();
    void postResetItems();

public slots:
    // Inserts at index (-1: at the end) the text cut at its last "."; false when the list is full.
    bool insertItemAt(QString text, int index = -1, bool isDir = false, bool isSelect = false, bool isText = true);
    // Lists the folder at path (empty: the macro folder), folders first. Folders outside the macro folder
    // are refused and leave the list as it is. With reset false, files that are selected stay marked.
    void initFromFile(QString path = QString(), bool reset = true);

private:
    QVector<HMacroNameItem> m_items;
    QMap<int, QString> m_selectedPaths; // row -> full path of a selected macro file
    QList<int> m_selectOrder;           // rows in the order they were selected
};
