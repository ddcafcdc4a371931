#include "profiles/FileRegistration.h"

#include "app/KAppManager.h"
#include "app/UIManager.h"
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
    UIManager* ui = KAppManager::instance()->getUIManager();
    HConfigView* profiles = ui ? ui->getConfigView() : nullptr;
    if (!profiles)
        return;
    switch (createdFileKind(fileName)) {
    case CreatedFileKind::NewProfile:
        profiles->insertItemAt(fileName, profiles->getItemValue(), false, kNewProfilePicture);
        break;
    case CreatedFileKind::DefaultProfile:
        profiles->insertItemAt(fileName, 0, false, kNewProfilePicture);
        break;
    case CreatedFileKind::MacroFile:
        break;
    }
}
