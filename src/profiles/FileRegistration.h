#pragma once

// What a newly created profile or macro file becomes: the document it starts with and the list the user
// interface shows it in. The caller says what it creates; names on disk are never read for that.

#include <QByteArray>
#include <QString>

enum class CreatedFileKind {
    NewProfile,     // appended to the profile list, filled from the factory profile
    DefaultProfile, // put first after the placeholder of the profile list, filled from the factory profile
    MacroFile,      // belongs to the macro tree
};

// The content a created file starts with, so that no empty document is ever left behind: a profile holding
// its version and time stamps (the factory profile fills it afterwards), or a macro without events named
// after the file.
QByteArray starterDocument(CreatedFileKind kind, const QString& fileName);

// Registers a created file in the list its kind belongs to and has a new profile filled from the factory
// profile (GUI thread). Nothing happens before the user interface exists.
void registerCreatedFile(const QString& path, const QString& fileName, CreatedFileKind kind);

// Registers a folder created at path in the macro tree when its name marks a new macro folder, then reloads
// the tree from the folder's parent (GUI thread).
void registerCreatedFolder(const QString& path);
