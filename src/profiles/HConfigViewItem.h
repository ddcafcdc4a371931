#pragma once

#include <QString>

// One entry of the profile list: the profile's name, whether it is a folder, and its picture URL.
struct HConfigViewItem {
    QString text;
    bool isDir = false;
    QString image;

    bool operator==(const HConfigViewItem& other) const
    {
        return text == other.text && isDir == other.isDir && image == other.image;
    }
    bool operator!=(const HConfigViewItem& other) const { return !(*this == other); }
};
