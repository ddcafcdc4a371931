#include "profiles/FileRegistration.h"

#include <QObject>

CreatedFileKind createdFileKind(const QString& fileName)
{
    if (fileName.contains(QObject::tr("New configuration")))
        return CreatedFileKind::NewProfile;
    // The default profile's name is never numbered, so its file name begins with the translated name.
    if (fileName.startsWith(QObject::tr("Default configuration")))
        return CreatedFileKind::DefaultProfile;
    if (fileName.contains(QObject::tr("New macro")))
        return CreatedFileKind::MacroFile;
    return CreatedFileKind::NewProfile;
}

void registerCreatedFile(const QString& path, const QString& fileName)
{
    Q_UNUSED(path)
    Q_UNUSED(fileName)
}

void registerCreatedFolder(const QString& path, const QString& folderName)
{
    Q_UNUSED(path)
    Q_UNUSED(folderName)
}
