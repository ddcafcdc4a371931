#pragma once

#include "models/keys/KMacroItem.h"

#include <QJsonObject>
#include <QMap>
#include <QObject>
#include <QString>
#include <QVector>

// The events of the macro being recorded or edited on the macro page (key presses and releases, mouse
// buttons, delays, pointer positions), read from and written into the "list" of a macro file. Before it is
// saved the list is tidied: presses get their missing releases, stray releases and empty pointer events go,
// delays are merged. Each event has a change flag (inserted or edited since the file was read), one per event
// at all times.
//
// Threads: GUI thread only.
class KMacroList : public QObject
{
    Q_OBJECT
public:
    // Pointer events as the editor and the macro files write them.
    static constexpr int kPointerType = KMacroItem::kStoredPointerType;

    explicit KMacroList(QObject* parent = nullptr);

    // Type of the event at index, -1 outside the list.
    Q_INVOKABLE int getItemType(int index) const;
    // Replaces the event at index by one built from editor input; false outside the list.
    Q_INVOKABLE bool changedItemAt(int index, int type, int value1, int value2 = 0, bool isUp = false);
    Q_INVOKABLE void resetMacroList();

    int size() const { return m_items.size(); }
    QVector<KMacroItem> items() const { return m_items; }
    QVector<bool> changeFlags() const { return m_changed; }
    // Replaces the event at index without announcing it (the list model announces it); marks it changed.
    // False outside the list.
    bool setItem(int index, const KMacroItem& item);

    // An event from editor input: for a key the Qt key code and native scan code (stored as the HID usage
    // with the key's name), for a mouse button 1..3 (named); any other type as passed.
    static KMacroItem buildItem(int type, int value1, int value2, bool isUp);
    // The events with a release appended for every press that no later release ends (a held key).
    static QVector<KMacroItem> completed(QVector<KMacroItem> events);
    // Tidies events before saving and keeps flags in step (one per event): missing releases appended,
    // releases that no press precedes and empty pointer presses removed, leading and trailing delays
    // removed, runs of delays merged (at most 99999). False when the list is or becomes empty.
    static bool tidy(QVector<KMacroItem>& events, QVector<bool>& flags);

signals:
    void preItemInserted(int index);
    void postItemInserted();
    void preItemDeleted(int index);
    void postItemDeleted();
    void preResetItems();
    void postResetItems();

public slots:
    // Inserts an event at index (-1: at the end, else 0..size()); false, with a tip, when the list with its
    // pending releases would exceed the device's macro length, and false for an index outside the list.
    bool insertItemAt(int type, int value1, int value2 = 0, bool isUp = false, int index = -1);
    void deleteItemAt(int index);
    void clearItems();
    // Reads the events of the macro file; a file that cannot be parsed changes nothing.
    void initFromFile(QString path);
    // Tidies the events and writes them as the "list" of the macro file, keeping its other keys. A file that
    // is missing, empty or unreadable gets nothing.
    void saveToFile(QString path);

private:
    static int maxLength();

    QVector<KMacroItem> m_items;
    QVector<bool> m_changed;
    QJsonObject m_document; // the macro document read by the last save
};
