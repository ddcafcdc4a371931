#include "models/keys/KMacroList.h"

#include "common/AppServices.h"
#include "models/device/KImageModel.h"
#include "models/keys/KKey.h"
#include "models/keys/MacroDocument.h"

#include <QDebug>
#include <QJsonArray>
#include <QSet>
#include <QStringList>

#include <algorithm>

namespace {

const QLatin1String kListKey("list");

QString buttonText(int button)
{
    switch (button) {
    case 1: return QStringLiteral("Mouse_Left");
    case 2: return QStringLiteral("Mouse_Mid");
    case 3: return QStringLiteral("Mouse_Right");
    default: return QString();
    }
}

// Walks the events from the last to the first and pairs each press with a later release of the same text.
// A press that no later release ends gets a release appended at the end of the list (flag true). Returns,
// for each text whose release no press precedes, the row of its earliest such release.
QMap<QString, int> pairPresses(QVector<KMacroItem>& events, QVector<bool>* flags)
{
    QMap<QString, int> released; // text -> row of the release seen last in the walk, i.e. the earliest
    QStringList paired;
    for (int row = events.size() - 1; row >= 0; --row) {
        const KMacroItem event = events.at(row);
        if (event.isUp) {
            released.insert(event.text, row);
            paired.removeAll(event.text);
            continue;
        }
        if (!released.contains(event.text) && !paired.contains(event.text) && !event.text.isEmpty()) {
            KMacroItem release = event;
            release.isUp = true;
            events.append(release);
            if (flags)
                flags->append(true);
            paired.append(event.text);
        }
        if (released.contains(event.text) && !paired.contains(event.text)) {
            released.remove(event.text);
            paired.append(event.text);
        }
    }
    return released;
}

void removeRow(QVector<KMacroItem>& events, QVector<bool>& flags, int row)
{
    events.remove(row);
    flags.remove(row);
}

bool isDelay(const KMacroItem& event)
{
    return event.type == KMacroItem::Delay;
}

} // namespace

KMacroList::KMacroList(QObject* parent)
    : QObject(parent)
{
}

// --- building events -------------------------------------------------------------------------------------

KMacroItem KMacroList::buildItem(int type, int value1, int value2, bool isUp)
{
    switch (type) {
    case KMacroItem::KeyboardKey:
        return KMacroItem(type, qtKeyToHidUsage(value1, value2), value2, isUp, qtKeyToText(value1));
    case KMacroItem::MouseButton:
        return KMacroItem(type, value1, value2, isUp, buttonText(value1));
    default:
        return KMacroItem(type, value1, value2, isUp, QString());
    }
}

QVector<KMacroItem> KMacroList::completed(QVector<KMacroItem> events)
{
    pairPresses(events, nullptr);
    return events;
}

bool KMacroList::tidy(QVector<KMacroItem>& events, QVector<bool>& flags)
{
    flags.resize(events.size());
    if (events.isEmpty()) {
        qWarning() << "[Error] macro is empty!!";
        return false;
    }
    const int original = events.size();
    const QMap<QString, int> stray = pairPresses(events, &flags);

    QSet<int> remove;
    for (int row = 0; row < original; ++row) {
        const KMacroItem& event = events.at(row);
        if (!event.isUp && event.type == kPointerType && event.value1 == 0 && event.value2 == 0)
            remove.insert(row);
    }
    for (int row : stray)
        remove.insert(row);
    QList<int> rows = remove.values();
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    for (int row : rows)
        removeRow(events, flags, row);

    while (!events.isEmpty() && isDelay(events.constFirst()))
        removeRow(events, flags, 0);
    while (!events.isEmpty() && isDelay(events.constLast()))
        removeRow(events, flags, events.size() - 1);

    for (int row = 0; row < events.size(); ++row) {
        if (!isDelay(events.at(row)))
            continue;
        qint64 sum = events.at(row).value1;
        while (row + 1 < events.size() && isDelay(events.at(row + 1))) {
            sum += events.at(row + 1).value1;
            flags[row] = flags.at(row) || flags.at(row + 1);
            removeRow(events, flags, row + 1);
        }
        events[row].value1 = int(qBound<qint64>(0, sum, KMacroItem::kMaxDelay));
    }
    return !events.isEmpty();
}

// --- list changes ----------------------------------------------------------------------------------------

int KMacroList::maxLength()
{
    const KImageModel* image = AppServices::instance()->getImageModel();
    return image ? image->maxMacroLength() : 0;
}

bool KMacroList::insertItemAt(int type, int value1, int value2, bool isUp, int index)
{
    if (index != -1 && (index < 0 || index > m_items.size())) {
        qDebug() << "[Error] macro list: no row" << index;
        return false;
    }
    // The pending releases will be written too, so they count. A layout without a length sets no limit.
    const int limit = maxLength();
    if (limit > 0 && completed(m_items).size() >= limit) {
        AppServices::instance()->showTips(AppServices::TipFail, tr("Recording reaches the maximum length"));
        return false;
    }
    const int row = index == -1 ? m_items.size() : index;
    emit preItemInserted(row);
    m_items.insert(row, buildItem(type, value1, value2, isUp));
    m_changed.insert(row, true);
    emit postItemInserted();
    return true;
}

bool KMacroList::changedItemAt(int index, int type, int value1, int value2, bool isUp)
{
    if (index < 0 || index >= m_items.size())
        return false;
    emit preResetItems();
    m_items[index] = buildItem(type, value1, value2, isUp);
    m_changed[index] = true;
    emit postResetItems();
    return true;
}

bool KMacroList::setItem(int index, const KMacroItem& item)
{
    if (index < 0 || index >= m_items.size())
        return false;
    m_items[index] = item;
    m_changed[index] = true;
    return true;
}

void KMacroList::deleteItemAt(int index)
{
    if (index < 0 || index >= m_items.size())
        return;
    emit preItemDeleted(index);
    m_items.remove(index);
    m_changed.remove(index);
    emit postItemDeleted();
}

void KMacroList::clearItems()
{
    emit preResetItems();
    m_items.clear();
    m_changed.clear();
    emit postResetItems();
}

void KMacroList::resetMacroList()
{
    clearItems();
}

int KMacroList::getItemType(int index) const
{
    return index >= 0 && index < m_items.size() ? m_items.at(index).type : -1;
}

// --- the macro file --------------------------------------------------------------------------------------

void KMacroList::initFromFile(QString path)
{
    QJsonObject document;
    switch (readMacroDocument(path, &document)) {
    case MacroReadResult::Missing:
    case MacroReadResult::Unreadable:
        clearItems();
        qWarning() << "[Error] open macro json error";
        return;
    case MacroReadResult::Empty:
    case MacroReadResult::Unparsable:
        return;
    case MacroReadResult::Ok:
        break;
    }
    emit preResetItems();
    m_items.clear();
    m_changed.clear();
    for (const QJsonValue& value : document.value(kListKey).toArray()) {
        // An entry that is no event is not one, and would be saved back as a key event if it were kept.
        if (!value.isObject())
            continue;
        // The type as stored: pointer events stay 4, so that they are written back as they were read.
        const QJsonObject object = value.toObject();
        KMacroItem event = KMacroItem::fromJson(object);
        event.type = object.value(QLatin1String("type")).toInt();
        if (event.type == KMacroItem::MouseButton && event.text.isEmpty())
            event.text = buttonText(event.value1);
        m_items.append(event);
        m_changed.append(false);
    }
    emit postResetItems();
    qInfo() << "[INFO] refresh list";
}

void KMacroList::saveToFile(QString path)
{
    QJsonObject document;
    QString error;
    switch (readMacroDocument(path, &document, &error)) {
    case MacroReadResult::Missing:
    case MacroReadResult::Unreadable:
    case MacroReadResult::Empty:
        // Only a macro file that exists with its play settings takes the events.
        qWarning() << "[Error] 1.write macro json error";
        return;
    case MacroReadResult::Unparsable:
        qWarning().noquote() << "open error!" << error;
        return;
    case MacroReadResult::Ok:
        break;
    }
    m_document = document;

    QVector<KMacroItem> events = m_items;
    QVector<bool> flags = m_changed;
    tidy(events, flags);
    if (events != m_items || flags != m_changed) {
        emit preResetItems();
        m_items = events;
        m_changed = flags;
        emit postResetItems();
    }

    QJsonArray list;
    for (const KMacroItem& event : qAsConst(m_items))
        list.append(event.toJson());
    m_document.insert(kListKey, list);
    if (writeMacroDocument(path, m_document))
        qInfo() << "[INFO]  1.save file successful!";
    else
        qWarning() << "[Error] 1.write macro json error";
}
