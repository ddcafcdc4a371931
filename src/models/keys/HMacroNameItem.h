#pragma once

#include <QString>

#include <utility>

// One row of the macro library: a folder, or a macro file shown without its suffix.
struct HMacroNameItem {
    QString text;
    bool isDir = false;
    bool isSelect = false;
    bool isText = true; // a file entry; folders listed from disk have false
    // The name on disk (a file's with its suffix); the entry's full path is its folder's path and this name.
    QString fileName;

    HMacroNameItem() = default;
    HMacroNameItem(QString text, bool isDir, bool isSelect, bool isText, QString fileName = QString())
        : text(std::move(text)), isDir(isDir), isSelect(isSelect), isText(isText), fileName(std::move(fileName))
    {
    }

    bool operator==(const HMacroNameItem& other) const
    {
        return text == other.text && isDir == other.isDir && isSelect == other.isSelect && isText == other.isText;
    }
    bool operator!=(const HMacroNameItem& other) const { return !(*this == other); }
};
