#pragma once

#include <QString>

// The names the program gives to the profiles, macro files and macro folders it creates. They are the names
// on disk and are never translated: a profile created under one language must be found under another.
namespace ProfileNames {

// The device's default profile; its name is never numbered.
inline QString defaultProfile()
{
    return QStringLiteral("Default configuration");
}
inline QString defaultProfileFile()
{
    return defaultProfile() + QStringLiteral(".json");
}
inline QString newProfile()
{
    return QStringLiteral("New configuration");
}
inline QString newMacro()
{
    return QStringLiteral("New macro");
}
inline QString newFolder()
{
    return QStringLiteral("New folder");
}

// What a newly created profile shows until it has a picture of its own.
inline QString newProfilePicture()
{
    return QStringLiteral("qrc:/common/newUI/configPic1.png");
}

inline QString profileSuffix()
{
    return QStringLiteral(".json");
}
inline QString pictureSuffix()
{
    return QStringLiteral(".png");
}

// Longest name, in UTF-8 bytes, whose ".json" and ".png" files a file system with 255-byte names can hold.
constexpr int kMaxNameBytes = 250;

} // namespace ProfileNames
