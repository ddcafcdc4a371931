#pragma once

#include <QString>

// One row of the macro library: a folder, or a macro file shown without its suffix.
struct HMacroNameItem {
    QString text;
    bool isDir = false;
    bool isSelect = false;
    bool isText = true; // a file entry; folders listed from disk have false

    bool operator==(const HMacroNameItem& other) const
    {
        return text == other.text && isDir == other.isDir && isSelect == other.isSelect && isText == other.isText;
    }
    bool operator!=(const HMacroNameItem& other) const { return !(*this == other); }
};
