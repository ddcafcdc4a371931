#pragma once

// What a newly created profile file, macro file or macro folder becomes in the lists the user interface
// shows. The names are compared with their translations in the current language.

#include <QString>

enum class CreatedFileKind {
    NewProfile,     // appended to the profile list, filled from the factory profile
    DefaultProfile, // put at the head of the profile list, filled from the factory profile
    MacroFile,      // appended to the macro tree, left empty
};

CreatedFileKind createdFileKind(const QString& fileName);

// Registers a created file in the list its kind belongs to (GUI thread).
void registerCreatedFile(const QString& path, const QString& fileName);
// Registers a created folder in the macro tree when its name marks a new macro folder (GUI thread).
void registerCreatedFolder(const QString& path, const QString& folderName);
