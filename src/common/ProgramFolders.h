#pragma once

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

} // namespace ProgramFolders
