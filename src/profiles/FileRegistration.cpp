#include "profiles/FileRegistration.h"

#include "common/AppServices.h"
#include "models/keys/HMacroName.h"
#include "profiles/HConfigView.h"

#include <QObject>

namespace {
const QString kNewProfilePicture = QStringLiteral("qrc:/common/newUI/configPic1.png");
}

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
    AppServices* app = AppServices::instance();
    HConfigView* profiles = app->getConfigView();
    HMacroName* macros = app->getMacroName();
    // A full list gets no row; the file stays on disk all the same.
    switch (createdFileKind(fileName)) {
    case CreatedFileKind::NewProfile:
        if (profiles)
            profiles->insertItemAt(fileName, profiles->getItemValue(), false, kNewProfilePicture);
        break;
    case CreatedFileKind::DefaultProfile:
        if (profiles)
            profiles->insertItemAt(fileName, 0, false, kNewProfilePicture);
        break;
    case CreatedFileKind::MacroFile:
        if (macros)
            macros->insertItemAt(fileName, macros->getItemValue(), false, false, true);
        break;
    }
}

void registerCreatedFolder(const QString& path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    const QString name = path.mid(slash + 1);
    if (!name.contains(QObject::tr("New folder")))
        return;
    HMacroName* macros = AppServices::instance()->getMacroName();
    if (!macros)
        return;
    macros->insertItemAt(name, macros->getItemValue(), true, false, true);
    macros->initFromFile(path.left(slash), true);
}
