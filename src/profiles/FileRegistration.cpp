#include "profiles/FileRegistration.h"

#include "common/AppServices.h"
#include "models/keys/HMacroName.h"
#include "profiles/HConfigView.h"
#include "profiles/KConfigFileController.h"
#include "profiles/ProfileNames.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// Row of the default profile: right after the placeholder, or first while the list has none.
constexpr int kDefaultProfileRow = 1;

QString baseName(const QString& fileName)
{
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? fileName : fileName.left(dot);
}

} // namespace

QByteArray starterDocument(CreatedFileKind kind, const QString& fileName)
{
    QJsonObject document;
    if (kind == CreatedFileKind::MacroFile) {
        document.insert(QStringLiteral("macroName"), baseName(fileName));
        document.insert(QStringLiteral("playType"), QStringLiteral("1"));
        document.insert(QStringLiteral("ignoreTime"), false);
        document.insert(QStringLiteral("times"), 1);
        document.insert(QStringLiteral("list"), QJsonArray());
    } else {
        const QString now = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        document.insert(QStringLiteral("configVersion"), KConfigFileController::kCurrentConfigVersion);
        document.insert(QStringLiteral("createAt"), now);
        document.insert(QStringLiteral("updateAt"), now);
    }
    return QJsonDocument(document).toJson(QJsonDocument::Indented);
}

void registerCreatedFile(const QString& path, const QString& fileName, CreatedFileKind kind)
{
    AppServices* app = AppServices::instance();
    HConfigView* profiles = app->getConfigView();
    HMacroName* macros = app->getMacroName();
    KConfigFileController* controller = app->getConfigFileController();
    // A full list gets no row; the file stays on disk all the same.
    switch (kind) {
    case CreatedFileKind::NewProfile:
        if (controller)
            controller->createMouseConfig(path);
        if (profiles)
            profiles->insertItemAt(fileName, profiles->getItemValue(), false, ProfileNames::newProfilePicture());
        break;
    case CreatedFileKind::DefaultProfile:
        if (controller)
            controller->createMouseConfig(path);
        if (profiles) {
            profiles->insertItemAt(fileName, qMin(kDefaultProfileRow, profiles->getItemValue()), false,
                                   ProfileNames::newProfilePicture());
        }
        break;
    case CreatedFileKind::MacroFile:
        // Rows stand for files of the folder the list shows: a macro made elsewhere shows when its folder does.
        if (macros && QDir::cleanPath(QFileInfo(path).absolutePath()) == macros->folder())
            macros->insertItemAt(fileName, macros->getItemValue(), false, false, true);
        break;
    }
}

void registerCreatedFolder(const QString& path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    const QString name = path.mid(slash + 1);
    if (!name.contains(ProfileNames::newFolder()))
        return;
    HMacroName* macros = AppServices::instance()->getMacroName();
    if (!macros)
        return;
    macros->insertItemAt(name, macros->getItemValue(), true, false, true);
    macros->initFromFile(path.left(slash), true);
}
