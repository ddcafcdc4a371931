#pragma once

#include <QCoreApplication>
#include <QStandardPaths>
#include <QString>

// The program's data folders, for every layer; KAppCommon hands the same paths to the application and QML.
namespace ProgramFolders {

// The writable configuration location of the program.
inline QString configLocation()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

// The root of the profile folders.
inline QString profileRoot()
{
    return configLocation() + QStringLiteral("/config");
}

// The macro library.
inline QString macroRoot()
{
    return configLocation() + QStringLiteral("/macro");
}

// Where the program's own updates are downloaded to.
inline QString updateRoot()
{
    return configLocation() + QStringLiteral("/update");
}

// The folder the program was started from, below which the firmware tools and images lie ("/Update/Local/").
// Tests point it at a temporary folder with setProgramFolder; an empty text puts the real one back.
inline QString& programFolderOverride()
{
    static QString folder;
    return folder;
}

inline QString programFolder()
{
    const QString& folder = programFolderOverride();
    return folder.isEmpty() ? QCoreApplication::applicationDirPath() : folder;
}

inline void setProgramFolder(const QString& folder)
{
    programFolderOverride() = folder;
}

} // namespace ProgramFolders
