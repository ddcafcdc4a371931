#include "profiles/HConfigView.h"

#include "common/AppServices.h"
#include "common/ProgramFolders.h"
#include "profiles/FileHelpers.h"
#include "profiles/KConfigFileController.h"
#include "profiles/ProfileNames.h"

#include <QBuffer>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QUrl>

namespace {

const QString kFileUrl = QStringLiteral("file:///");

QString baseName(const QString& fileName)
{
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? fileName : fileName.left(dot);
}

// The picture as PNG bytes; empty when it cannot be loaded. Views hand in plain paths or file and resource
// URLs.
QByteArray pngBytes(const QString& picturePath)
{
    QString path = picturePath;
    const QUrl url(picturePath);
    if (url.scheme() == QLatin1String("file"))
        path = url.toLocalFile();
    else if (url.scheme() == QLatin1String("qrc"))
        path = QLatin1Char(':') + url.path();

    QImage image;
    QByteArray bytes;
    if (!image.load(path))
        return bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        bytes.clear();
    return bytes;
}

KConfigFileController* controller()
{
    return AppServices::instance()->getConfigFileController();
}

} // namespace

HConfigView::HConfigView(QObject* parent)
    : QObject(parent)
    , mDefaultPictures {QStringLiteral("qrc:/common/newUI/configPic1.png"),
                        QStringLiteral("qrc:/common/newUI/configPic2.png"),
                        QStringLiteral("qrc:/common/newUI/configPic3.png")}
{
}

bool HConfigView::setItem(int index, const HConfigViewItem& item)
{
    if (index < 0 || index >= mConfigItems.size() || mConfigItems.at(index) == item)
        return false;
    mConfigItems[index] = item;
    return true;
}

bool HConfigView::pictureExists(QString path)
{
    // An empty file left by an interrupted write is no picture and gets replaced.
    return QFileInfo(path).size() > 0;
}

bool HConfigView::writePictureFile(QString path, QByteArray bytes)
{
    if (bytes.isEmpty() || !saveFileContents(path, bytes)) {
        qDebug() << "save picture error";
        return false;
    }
    qDebug() << "save picture success";
    return true;
}

int HConfigView::getItemIndex()
{
    const QString name = baseName(AppServices::instance()->getConfigPath());
    for (int i = 0; i < mConfigItems.size(); ++i) {
        if (mConfigItems.at(i).text == name)
            return i;
    }
    return 0;
}

int HConfigView::getItemValue()
{
    return mConfigItems.size();
}

bool HConfigView::insertItemAt(QString text, int index, bool isDir, QString image)
{
    if (mConfigItems.size() >= kMaxItems)
        return false;
    const int position = index == -1 ? mConfigItems.size() : qBound(0, index, mConfigItems.size());
    emit preItemInserted(position);
    mConfigItems.insert(position, HConfigViewItem {baseName(text), isDir, image});
    emit postItemInserted();
    return true;
}

void HConfigView::deleteItemAt(int index)
{
    if (index < 0 || index >= mConfigItems.size())
        return;
    emit preItemDeleted(index);
    mConfigItems.remove(index);
    emit postItemDeleted();
}

bool HConfigView::changedItemAt(int index, QString text, bool isDir, QString image)
{
    if (index < 0 || index >= mConfigItems.size())
        return false;
    emit preResetItems();
    mConfigItems[index] = HConfigViewItem {text, isDir, image};
    emit postResetItems();
    return true;
}

QString HConfigView::getItemText(int index)
{
    if (index == mConfigItems.size() && !mConfigItems.isEmpty())
        return mConfigItems.constLast().text;
    if (index < 0 || index >= mConfigItems.size())
        return QString();
    return mConfigItems.at(index).text;
}

bool HConfigView::fileIsFolder(int index)
{
    if (index < 0 || index >= mConfigItems.size())
        return false;
    const bool isDir = dirExists(ProgramFolders::profileRoot() + QLatin1Char('/') + mConfigItems.at(index).text);
    if (!isDir)
        qDebug() << "dir:" << isDir << "mConfigItems[index].text:" << mConfigItems.at(index).text;
    return isDir;
}

bool HConfigView::isFolderHaveSameFile(QString text)
{
    for (const HConfigViewItem& item : qAsConst(mConfigItems)) {
        if (item.text == text)
            return true;
    }
    return false;
}

void HConfigView::initFromFile(QString path)
{
    QString folder = path;
    if (folder.isEmpty()) {
        KConfigFileController* profiles = controller();
        folder = profiles ? profiles->profileFolder() : QString();
        if (folder.isEmpty()) {
            qDebug() << "[Info] initFromFile: no device, the profile list stays as it is";
            return;
        }
    }
    if (!dirExists(folder))
        return;

    QDir dir(folder);
    const QStringList files =
        dir.entryList({QStringLiteral("*.json"), QStringLiteral("*.png")}, QDir::Files, QDir::Name | QDir::DirsFirst);
    const QString defaultFile = ProfileNames::defaultProfileFile();
    const QString defaultPicture = ProfileNames::defaultProfile() + ProfileNames::pictureSuffix();

    emit preResetItems();
    mConfigItems.clear();
    mConfigItems.append(HConfigViewItem {QStringLiteral("*"), false, QString()});
    if (files.contains(defaultFile)) {
        const QString image =
            files.contains(defaultPicture) ? kFileUrl + folder + QLatin1Char('/') + defaultPicture : QString();
        mConfigItems.append(HConfigViewItem {ProfileNames::defaultProfile(), false, image});
    }
    for (const QString& file : files) {
        if (file == defaultFile || file.endsWith(QLatin1String("png")))
            continue;
        const QString base = baseName(file);
        const QString picture = base + ProfileNames::pictureSuffix();
        // A profile whose picture is missing (lost, or never written) is still the user's profile and counts
        // toward the limit: it is listed without a picture, and the list shows the default one.
        const QString image = files.contains(picture) ? kFileUrl + folder + QLatin1Char('/') + picture : QString();
        mConfigItems.append(HConfigViewItem {base, false, image});
    }
    emit postResetItems();
}

void HConfigView::deviceDataChanged()
{
    KConfigFileController* profiles = controller();
    const QString folder = profiles ? profiles->profileFolder() : QString();
    if (folder.isEmpty()) {
        qDebug() << "[Info] deviceDataChanged: no device, no default profile to create";
        return;
    }
    profiles->createConfig(folder, ProfileNames::defaultProfile());
}

bool HConfigView::savePicture(QString picturePath, QString savePath)
{
    const QByteArray bytes = pngBytes(picturePath);
    mExistPicturePaths.clear();
    mExistPictureIndexes.clear();
    if (bytes.isEmpty()) {
        qDebug() << "save picture error: no picture at" << picturePath;
        return false;
    }
    for (int i = 1; i < mConfigItems.size(); ++i) {
        const QString file = savePath + mConfigItems.at(i).text + ProfileNames::pictureSuffix();
        if (pictureExists(file)) {
            mExistPictureIndexes.append(i);
            mExistPicturePaths.append(file);
            continue;
        }
        if (!writePictureFile(file, bytes)) {
            qDebug() << "save" << i << "pictrue error";
            return false;
        }
        qDebug() << "save" << i << "picture success";
    }
    return true;
}

bool HConfigView::savePicture(QString picturePath, QString savePath, QString configText)
{
    return writePictureFile(savePath + configText + ProfileNames::pictureSuffix(), pngBytes(picturePath));
}

bool HConfigView::setCurrentConfigName(QString configPath, QString newName, QString pic, int index)
{
    AppServices* app = AppServices::instance();
    KConfigFileController* profiles = controller();
    const auto refuse = [app](const QString& tip) {
        app->showTips(AppServices::TipFail, tip);
        return false;
    };

    if (newName.trimmed().isEmpty())
        return refuse(tr("The profile name cannot be empty"));
    if (isFolderHaveSameFile(newName))
        return refuse(tr("The profile name cannot be the same"));
    if (!KConfigFileController::isValidName(newName))
        return refuse(tr("The profile name is not valid"));
    // The placeholder stands for no file and cannot be renamed.
    if (!profiles || index < 1 || index >= mConfigItems.size())
        return refuse(tr("Failed to rename the profile"));

    const QString suffix = ProfileNames::profileSuffix();
    const QString picture = ProfileNames::pictureSuffix();
    const QString folder = configPath.left(configPath.lastIndexOf(QLatin1Char('/')) + 1);
    // A page that renamed the files itself before asking only needs the list and the current profile.
    const bool renamedAlready = !fileExists(configPath + suffix) && fileExists(folder + newName + suffix);
    if (!renamedAlready) {
        if (fileExists(folder + newName + suffix) || fileExists(folder + newName + picture))
            return refuse(tr("The profile name cannot be the same"));
        if (!profiles->renameFile(configPath + suffix, newName + suffix))
            return refuse(tr("Failed to rename the profile"));
        // The picture follows its profile; where it cannot, the profile goes back to its old name.
        if (fileExists(configPath + picture) && !profiles->renameFile(configPath + picture, newName + picture)) {
            const QString oldName = configPath.mid(folder.size());
            if (profiles->renameFile(folder + newName + suffix, oldName + suffix))
                return refuse(tr("Failed to rename the profile"));
            qDebug() << "[Error] setCurrentConfigName: the profile keeps its new name without its picture";
        }
    }

    changedItemAt(index, newName, false, pic);
    app->setMouseConfig(newName + suffix, true);
    emit updateCurrentFileName(newName);
    return true;
}
