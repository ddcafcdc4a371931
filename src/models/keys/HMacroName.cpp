#include "models/keys/HMacroName.h"

#include "common/ProgramFolders.h"
#include "profiles/FileHelpers.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString withoutSuffix(const QString& name)
{
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

} // namespace

HMacroName::HMacroName(QObject* parent)
    : QObject(parent)
{
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

QVector<QString> HMacroName::getMultiMacro() const
{
    QVector<QString> paths;
    for (const QString& path : m_selectedPaths)
        paths.append(path);
    return paths;
}

bool HMacroName::clearMultiMacro()
{
    m_selectedPaths.clear();
    m_selectOrder.clear();
    return true;
}

bool HMacroName::insertItemAt(QString text, int index, bool isDir, bool isSelect, bool isText)
{
    if (m_items.size() >= kMaxItems)
        return false;
    // A row beyond the list would be refused by the views; such a row goes to the nearest end.
    const int row = index == -1 ? m_items.size() : qBound(0, index, m_items.size());
    emit preItemInserted(row);
    m_items.insert(row, HMacroNameItem{withoutSuffix(text), isDir, isSelect, isText});
    emit postItemInserted();
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

    const QFileInfoList entries =
        folder.entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot, QDir::DirsFirst);
    QVector<QString> selected;
    for (const QString& selectedPath : m_selectedPaths)
        selected.append(QDir::cleanPath(selectedPath));

    emit preResetItems();
    m_items.clear();
    for (const QFileInfo& entry : entries) {
        if (entry.isDir()) {
            m_items.append(HMacroNameItem{entry.fileName(), true, false, false});
        } else {
            const bool isSelect = !reset && selected.contains(QDir::cleanPath(entry.absoluteFilePath()));
            m_items.append(HMacroNameItem{withoutSuffix(entry.fileName()), false, isSelect, true});
        }
    }
    emit postResetItems();
}
