#pragma once

// Plain file and folder work on profile files, macro files and their folders. Every function reports
// failure through its result only; paths use "/" as the separator.

#include "profiles/FileRegistration.h"

#include "common/BoundedRead.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QSize>
#include <QString>

#include <functional>
#include <utility>

using FileCallback = std::function<void(const QFileInfo& entry, bool& proceed)>;
using DirCallback = std::function<void(const QDir& folder, bool& proceed)>;

bool fileExists(const QString& path);
bool dirExists(const QString& path);

// Creates the file (and its folders) with the starter document of its kind and registers it in the profile
// list or the macro tree. An existing file is left as it is.
bool createDefaultFile(QString path, CreatedFileKind kind);
// Creates a folder with its missing parents; true when the folder exists afterwards.
bool makeFolder(QString path);

// Copies one file. An overwritten target is replaced only once the complete copy exists.
bool copyFile(const QFileInfo& source, const QFileInfo& target, const bool& overwrite);
bool copyDir(const QDir& source, const QDir& target, const bool& overwrite);
bool removeFile(const QFileInfo& file);
// Removes the folder tree at path; its parent folders are never touched, links are removed, not followed.
bool removeDir(const QString& path);
// Renames inside the entry's own folder; newName must be a bare name (see isBareName).
bool renameFileOrDir(const QString& path, QString newName);

// Files oldest first, then (recursive) the sub-folders depth first; false when a callback stopped the walk.
bool walkEntries(const QDir& folder, const FileCallback& callback, const bool& recursive);
bool walkSubDirs(const QDir& folder, const DirCallback& callback, const bool& recursive);
qint64 dirSize(const QDir& folder, const bool& recursive);
qint64 fileSize(const QFileInfo& file);

bool writeBytesToFile(const QFileInfo& file, const QByteArray& data, const bool& overwrite);
// The content of a regular file of at most kMaxWholeFileBytes; {false, empty} for anything else.
constexpr qint64 kMaxWholeFileBytes = 256 * 1024 * 1024;
std::pair<bool, QByteArray> readWholeFile(const QFileInfo& file);
bool copyFileOrDir(const QFileInfo& source, const QFileInfo& target, const bool& overwrite);
QPixmap fileIconPixmap(const QString& path, const QString& savePath, const QSize& size);
QPixmap shellIconPixmap(QString path, QString savePath);
QString appDirPath();

// Replaces the file at path by bytes: the new content is written beside it and takes its place only when
// every byte was written, so a failed write leaves the old file whole.
bool saveFileContents(const QString& path, const QByteArray& bytes);

// A name typed by the user or read from a file: not empty, no separators, not "." or "..", no control
// characters. Only such names may be joined to a folder path.
bool isBareName(const QString& name);
// Containment, decided on resolved paths on both sides (every link followed, also a dangling one; "." and
// ".." taken where they stand): a link inside root that points elsewhere leads out of it, and a path that
// reaches root only through a link is inside. This is the one rule every check of "stays inside its folder"
// uses. A path whose links loop is inside nothing.
// Whether path lies strictly inside root.
bool isInsideFolder(const QString& path, const QString& root);
// Whether path is root itself or lies inside it.
bool isFolderOrInside(const QString& path, const QString& root);
