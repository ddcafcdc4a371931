#pragma once

#include <QJsonObject>
#include <QMetaType>
#include <QString>
#include <QVector>

// One macro event, as recorded, stored in the "list" of a macro file and exchanged with the device layer.
struct KMacroItem
{
    enum Type : int {
        KeyboardKey = 0,   // value1: HID keyboard usage, value2: native scan code
        MouseButton = 1,   // value1: 1 left, 2 middle, 3 right
        Delay = 2,         // value1: milliseconds
        Pointer = 3,       // value1, value2: position
    };
    // Some macro files store the pointer event as 4; it is read as Pointer.
    static constexpr int kStoredPointerType = 4;
    static constexpr int kMaxDelay = 99999;

    int type = KeyboardKey;
    bool isUp = false;
    int value1 = 0;
    int value2 = 0;
    QString text;

    KMacroItem() = default;
    KMacroItem(const int& type, const int& value1, int value2, bool isUp, QString text);

    bool operator==(const KMacroItem& other) const;
    bool operator!=(const KMacroItem& other) const { return !(*this == other); }

    // The event type as this program uses it: the stored pointer type becomes Pointer, others stay unchanged.
    static int normalizedType(int storedType);

    // One event object of a macro file's "list"; missing keys read as 0, false or an empty string.
    static KMacroItem fromJson(const QJsonObject& object);
    QJsonObject toJson() const;
};

Q_DECLARE_METATYPE(KMacroItem)
