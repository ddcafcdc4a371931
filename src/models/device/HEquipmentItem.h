#pragma once

#include <QString>

// One connected device in the device picker.
struct HEquipmentItem {
    QString text;   // display name
    QString image;  // picture resource URL, or empty
    int pid = 0;    // USB product id
    QString type;   // type word of the pages, or empty
    bool isSelect = false;
    QString path;   // device path of the HID interface
    bool wireless = false; // linked by radio (its own or a receiver's), not by cable

    bool operator==(const HEquipmentItem& other) const
    {
        return text == other.text && image == other.image && pid == other.pid && type == other.type
               && isSelect == other.isSelect && path == other.path && wireless == other.wireless;
    }
    bool operator!=(const HEquipmentItem& other) const { return !(*this == other); }
};
