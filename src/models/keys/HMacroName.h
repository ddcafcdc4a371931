#pragma once

#include "models/keys/HMacroNameItem.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

// The entries of one folder of the macro library as a flat list for the macro page, and the macro files
// selected for assignment to a key.
//
// The selection is kept by full path, in the order the macros were selected (the order in which they are
// assigned), so it survives browsing other folders and follows renames; a row shows as selected when its
// file is in the selection.
//
// Threads: GUI thread only.
class HMacroName : public QObject
{
    Q_OBJECT
public:
    explicit HMacroName(QObject* parent = nullptr);

    static constexpr int kMaxItems = 100;
    // A key plays at most this many macros.
    static constexpr int kMaxSelected = 3;

    // Row of the first entry named like the part of text after its last "/"; 0 when there is none.
    Q_INVOKABLE int getItemIndex(QString text) const;
    Q_INVOKABLE int getItemValue() const;
    // Replaces the entry at index by a macro entry named text; false for an index outside the list.
    Q_INVOKABLE bool changedItemAt(int index, QString text, bool isDir);
    // The entry's name; index == getItemValue() gives the last entry, any other index outside the list "".
    Q_INVOKABLE QString getItemText(int index) const;
    Q_INVOKABLE bool fileIsFolder(int index) const;
    // Whether an entry (folder or file) has this name.
    Q_INVOKABLE bool isFolderHaveSomeFile(QString text) const;
    // Selects the macro file at path, shown in row index. With key 0 on a device that takes several macros on
    // one key (leftKeyMacro 3 or more) the selection toggles and holds up to three macros; otherwise it
    // replaces the previous one. The row, or -1 when nothing was selected.
    Q_INVOKABLE int selectMacroItem(int index, QString path, int key = -1);
    Q_INVOKABLE bool resetMacroItem();
    Q_INVOKABLE int getMacroItem() const;
    // The selected macro files' paths in the order they were selected.
    Q_INVOKABLE QVector<QString> getMultiMacro() const;
    // isSelect of the entry; index == getItemValue() gives the last entry, any other index outside false.
    Q_INVOKABLE bool getItemSelect(int index) const;
    // Renames the folder or macro at index (named beforeName in the folder path) to newName. Refused with a
    // tip, and the folder read again from disk, when the name is empty, not a bare name, already taken, or
    // the rename fails on disk. isSelect: the macro is the one the page shows (updateCurrentFile follows).
    Q_INVOKABLE bool renameMacroItem(int index, QString newName, QString beforeName, QString path, bool isSelect);
    // The parent folder of path, which ends with "/"; never above the macro folder.
    Q_INVOKABLE QString getReturnPath(QString path) const;
    // The folder below path whose name is the entry at index; "" when there is none.
    Q_INVOKABLE QString getDirPath(QString path, int index) const;
    Q_INVOKABLE bool clearMultiMacro();

    QVector<HMacroNameItem> items() const { return m_items; }
    // The folder the list shows ("" before the first listing).
    QString folder() const { return m_folder; }

signals:
    void preItemInserted(int index);
    void postItemInserted();
    void preItemDeleted(int index);
    void postItemDeleted();
    void preResetItems();
    void postResetItems();
    void updateCurrentFile(QString name);

public slots:
    // Inserts at index (-1: at the end, else 0..getItemValue()) the text cut at its last "."; false when
    // the list is full or the index lies outside it.
    bool insertItemAt(QString text, int index = -1, bool isDir = false, bool isSelect = false, bool isText = true);
    // Removes the entry from the list (and from the selection); the file on disk stays.
    void deleteItemAt(int index);
    // Lists the folder at path (empty: the macro folder), folders first. Folders outside the macro folder
    // are refused and leave the list as it is. With reset false, files that are selected stay marked.
    void initFromFile(QString path = QString(), bool reset = true);
    // Appends the folder tree at path, each folder followed by its own entries; linked folders are listed
    // but not entered.
    void ergodicFolder(QString path = QString());

private:
    QString pathOf(const HMacroNameItem& item) const;
    QString pathOf(const QString& folder, const QString& fileName) const;
    void markSelection();
    bool refuseRename(const QString& tip, const QString& folder);
    void followRename(const QString& before, const QString& after, bool isDir);
    void appendTree(const QString& folder, QStringList& visited);

    QVector<HMacroNameItem> m_items;
    QString m_folder;       // the folder listed last
    QStringList m_selected; // full paths of the selected macro files, in the order of selection
};
