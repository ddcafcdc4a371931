#pragma once

// What a newly created profile or macro file becomes in the lists the user interface shows. The names are
// compared with their translations in the current language.

#include <QString>

enum class CreatedFileKind {
    NewProfile,     // appended to the profile list
    DefaultProfile, // put at the head of the profile list
    MacroFile,      // belongs to the macro tree
};

CreatedFileKind createdFileKind(const QString& fileName);

// Registers a created file in the list its kind belongs to (GUI thread). Nothing happens before the user
// interface exists.
void registerCreatedFile(const QString& path, const QString& fileName);

// Registers a folder created at path in the macro tree when its name marks a new macro folder, then reloads
// the tree from the folder's parent (GUI thread).
void registerCreatedFolder(const QString& path);
