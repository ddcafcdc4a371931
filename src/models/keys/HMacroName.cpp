#include "models/keys/HMacroName.h"

#include "common/AppServices.h"
#include "common/ProgramFolders.h"
#include "models/device/KImageModel.h"
#include "models/keys/HMacroType.h"
#include "profiles/FileHelpers.h"
#include "profiles/KConfigFileController.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

const QLatin1String kMacroSuffix(".json");

// Devices whose layout says this or more take several macros on the left key.
constexpr int kMultiMacroLeftKey = 3;

QString withoutSuffix(const QString& name)
{
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

// Whether path is the entry at entryPath, or (for a folder) lies below it.
bool isAtOrBelow(const QString& path, const QString& entryPath, bool isDir)
{
    return path == entryPath || (isDir && path.startsWith(entryPath + QLatin1Char('/')));
}

QFileInfoList listing(const QString& folder)
{
    return QDir(folder).entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot, QDir::DirsFirst);
}

} // namespace

HMacroName::HMacroName(QObject* parent)
    : QObject(parent)
{
}

// --- paths -----------------------------------------------------------------------------------------------

QString HMacroName::pathOf(const QString& folder, const QString& fileName) const
{
    // Entries of a listed tree carry their whole path.
    if (QDir::isAbsolutePath(fileName))
        return QDir::cleanPath(fileName);
    return QDir::cleanPath(folder + QLatin1Char('/') + fileName);
}

QString HMacroName::pathOf(const HMacroNameItem& item) const
{
    return pathOf(m_folder, item.fileName.isEmpty() ? item.text : item.fileName);
}

void HMacroName::markSelection()
{
    for (HMacroNameItem& item : m_items)
        item.isSelect = !item.isDir && m_selected.contains(pathOf(item));
}

// --- lookups ---------------------------------------------------------------------------------------------

int HMacroName::getItemIndex(QString text) const
{
    const QString name = text.mid(text.lastIndexOf(QLatin1Char('/')) + 1);
    for (int row = 0; row < m_items.size(); ++row) {
        if (m_items.at(row).text == name)
            return row;
    }
    return 0;
}

int HMacroName::getItemValue() const
{
    return m_items.size();
}

QString HMacroName::getItemText(int index) const
{
    if (index == m_items.size() && !m_items.isEmpty())
        return m_items.constLast().text;
    if (index < 0 || index >= m_items.size())
        return QString();
    return m_items.at(index).text;
}

bool HMacroName::getItemSelect(int index) const
{
    if (index == m_items.size() && !m_items.isEmpty())
        return m_items.constLast().isSelect;
    if (index < 0 || index >= m_items.size())
        return false;
    return m_items.at(index).isSelect;
}

bool HMacroName::fileIsFolder(int index) const
{
    return index >= 0 && index < m_items.size() && m_items.at(index).isDir;
}

bool HMacroName::isFolderHaveSomeFile(QString text) const
{
    for (const HMacroNameItem& item : m_items) {
        if (item.text == text)
            return true;
    }
    return false;
}

// --- list changes ----------------------------------------------------------------------------------------

bool HMacroName::insertItemAt(QString text, int index, bool isDir, bool isSelect, bool isText)
{
    if (m_items.size() >= kMaxItems)
        return false;
    if (index != -1 && (index < 0 || index > m_items.size())) {
        qDebug() << "[Error] macro list: no row" << index;
        return false;
    }
    const int row = index == -1 ? m_items.size() : index;
    emit preItemInserted(row);
    m_items.insert(row, HMacroNameItem{withoutSuffix(text), isDir, isSelect, isText, text});
    emit postItemInserted();
    return true;
}

void HMacroName::deleteItemAt(int index)
{
    if (index < 0 || index >= m_items.size())
        return;
    // A macro that is gone, or lay in a folder that is gone, can no longer be assigned.
    const HMacroNameItem& item = m_items.at(index);
    const QString path = pathOf(item);
    const bool isDir = item.isDir;
    m_selected.erase(std::remove_if(m_selected.begin(), m_selected.end(),
                                    [&](const QString& selected) { return isAtOrBelow(selected, path, isDir); }),
                     m_selected.end());
    emit preItemDeleted(index);
    m_items.remove(index);
    emit postItemDeleted();
}

bool HMacroName::changedItemAt(int index, QString text, bool isDir)
{
    if (index < 0 || index >= m_items.size())
        return false;
    emit preResetItems();
    m_items[index] = HMacroNameItem{text, isDir, false, true, isDir ? text : text + kMacroSuffix};
    emit postResetItems();
    return true;
}

void HMacroName::initFromFile(QString path, bool reset)
{
    const QString root = ProgramFolders::macroRoot();
    if (path.isEmpty())
        path = root;
    const QDir folder(path);
    // Only the macro folder and what lies below it, also when a link inside it points elsewhere.
    if (!folder.exists() || !isFolderOrInside(folder.absolutePath(), root))
        return;

    const QFileInfoList entries = listing(folder.absolutePath());
    emit preResetItems();
    m_folder = QDir::cleanPath(folder.absolutePath());
    m_items.clear();
    for (const QFileInfo& entry : entries) {
        if (entry.isDir())
            m_items.append(HMacroNameItem{entry.fileName(), true, false, false, entry.fileName()});
        else
            m_items.append(HMacroNameItem{withoutSuffix(entry.fileName()), false, false, true, entry.fileName()});
    }
    if (!reset)
        markSelection();
    emit postResetItems();
}

void HMacroName::ergodicFolder(QString path)
{
    if (path.isEmpty())
        return;
    const QDir folder(path);
    if (!folder.exists() || !isFolderOrInside(folder.absolutePath(), ProgramFolders::macroRoot()))
        return;
    emit preResetItems();
    QStringList visited;
    appendTree(folder.absolutePath(), visited);
    emit postResetItems();
}

void HMacroName::appendTree(const QString& folder, QStringList& visited)
{
    // A folder reached twice (through a link, or a link back up the tree) is listed once and never entered
    // again, so the walk ends.
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty() || visited.contains(canonical))
        return;
    visited << canonical;
    for (const QFileInfo& entry : listing(folder)) {
        const QString path = QDir::cleanPath(entry.absoluteFilePath());
        if (entry.isDir()) {
            m_items.append(HMacroNameItem{entry.fileName(), true, false, false, path});
            if (!entry.isSymLink())
                appendTree(path, visited);
        } else {
            m_items.append(HMacroNameItem{withoutSuffix(entry.fileName()), false, false, true, path});
        }
    }
}

// --- selection -------------------------------------------------------------------------------------------

int HMacroName::selectMacroItem(int index, QString path, int key)
{
    if (index < 0 || index >= m_items.size())
        return -1;
    path = QDir::cleanPath(path);
    // The key model reads and sends what is selected: only files of the library.
    if (!isInsideFolder(path, ProgramFolders::macroRoot())) {
        qDebug() << "[Error] select macro: not in the macro folder:" << path;
        return -1;
    }
    const KImageModel* image = AppServices::instance()->getImageModel();
    const bool multi = key == 0 && image && image->leftKeyMacro() >= kMultiMacroLeftKey;

    emit preResetItems();
    if (!multi) {
        for (HMacroNameItem& item : m_items)
            item.isSelect = false;
        m_selected = QStringList{path};
        m_items[index].isSelect = true;
    } else if (m_selected.contains(path)) {
        m_selected.removeAll(path);
        m_items[index].isSelect = false;
    } else if (m_selected.size() >= kMaxSelected) {
        emit postResetItems();
        return -1;
    } else {
        m_selected.append(path);
        m_items[index].isSelect = true;
    }
    emit postResetItems();
    return index;
}

bool HMacroName::resetMacroItem()
{
    m_selected.clear();
    if (m_items.isEmpty())
        return false;
    emit preResetItems();
    for (HMacroNameItem& item : m_items)
        item.isSelect = false;
    emit postResetItems();
    return true;
}

int HMacroName::getMacroItem() const
{
    return m_selected.size();
}

QVector<QString> HMacroName::getMultiMacro() const
{
    return QVector<QString>(m_selected.begin(), m_selected.end());
}

bool HMacroName::clearMultiMacro()
{
    m_selected.clear();
    return true;
}

// --- renaming --------------------------------------------------------------------------------------------

bool HMacroName::refuseRename(const QString& tip, const QString& folder)
{
    AppServices::instance()->showTips(AppServices::TipFail, tip);
    initFromFile(folder, false);
    return false;
}

bool HMacroName::renameMacroItem(int index, QString newName, QString beforeName, QString path, bool isSelect)
{
    if (index < 0 || index >= m_items.size())
        return false;
    const HMacroNameItem item = m_items.at(index);
    if (item.text == newName)
        return true;
    const QString folder = QDir::cleanPath(path);
    if (newName.trimmed().isEmpty())
        return refuseRename(tr("Macro name cannot be empty"), folder);
    if (!isBareName(newName))
        return refuseRename(tr("Names cannot contain \"/\" or \"\\\" and cannot be \".\" or \"..\""), folder);
    for (const HMacroNameItem& other : qAsConst(m_items)) {
        if (other.text == newName) {
            return refuseRename(other.isDir ? tr("Folder names cannot be the same")
                                            : tr("Macro names cannot be the same"),
                                folder);
        }
    }

    // Only an entry of a folder of the library, named by a bare name, is renamed, and only within its folder.
    const QString suffix = item.isDir ? QString() : QString(kMacroSuffix);
    const QString before = folder + QLatin1Char('/') + beforeName + suffix;
    KConfigFileController* files = AppServices::instance()->getConfigFileController();
    const bool placeOk = isBareName(beforeName) && isFolderOrInside(folder, ProgramFolders::macroRoot());
    if (!placeOk || !files || !files->renameFile(before, newName + suffix)) {
        qDebug() << "[Error] rename macro failed:" << before << newName;
        return refuseRename(tr("Rename failed"), folder);
    }
    const QString after = folder + QLatin1Char('/') + newName + suffix;
    if (!item.isDir) {
        // The name inside the file follows the file's; a failure is logged and the file keeps its events.
        if (HMacroType* type = AppServices::instance()->getMacroType())
            type->saveFileName(after, newName);
        else
            HMacroType().saveFileName(after, newName);
    }
    followRename(before, after, item.isDir);

    emit preResetItems();
    HMacroNameItem& renamed = m_items[index];
    renamed.text = newName;
    renamed.fileName = QDir::isAbsolutePath(renamed.fileName) ? after : newName + suffix;
    markSelection();
    emit postResetItems();
    if (isSelect)
        emit updateCurrentFile(newName);
    return true;
}

void HMacroName::followRename(const QString& before, const QString& after, bool isDir)
{
    const QString from = QDir::cleanPath(before);
    const QString to = QDir::cleanPath(after);
    for (QString& selected : m_selected) {
        if (isAtOrBelow(selected, from, isDir))
            selected = to + selected.mid(from.size());
    }
}

// --- folders ---------------------------------------------------------------------------------------------

QString HMacroName::getReturnPath(QString path) const
{
    const int last = path.lastIndexOf(QLatin1Char('/'));
    const int before = last > 0 ? path.lastIndexOf(QLatin1Char('/'), last - 1) : -1;
    const QString parent = before < 0 ? QString() : path.left(before);
    // The page never climbs out of the library.
    const QString root = ProgramFolders::macroRoot();
    if (parent.isEmpty() || !isFolderOrInside(parent, root))
        return root;
    return parent;
}

QString HMacroName::getDirPath(QString path, int index) const
{
    QString result;
    const QString name = getItemText(index);
    if (!name.isEmpty() && isFolderOrInside(path, ProgramFolders::macroRoot())) {
        walkSubDirs(
            QDir(path),
            [&](const QDir& folder, bool& proceed) {
                if (folder.dirName() == name) {
                    result = folder.absolutePath();
                    proceed = false;
                }
            },
            true);
    }
    qDebug() << "dirPath:" << result;
    return result;
}
