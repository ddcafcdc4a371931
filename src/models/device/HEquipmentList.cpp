#include "models/device/HEquipmentList.h"

#include "common/DeviceIds.h"
#include "hid/KPidTables.h"

namespace {

const QString kKeyboardPicture = QStringLiteral("qrc:/common/newUI/Firm/sj_quenby_8a.png");

// What a name contains, and what follows the stem (the part before the first "_") in the display name; the
// first rule that matches wins. Tests are case-sensitive.
struct NamingRule {
    const char* contains;
    const char* suffix;
};
constexpr NamingRule kNamingRules[] = {
    {"Kelham_NORDIC", "S"}, {"Jarrow_NORDIC", ""}, {"Quenby_8A", "-8A"}, {"_NORDIC", ""},
    {"_WIRELESS", ""},      {"_Hollis", ""},       {"Quenby_RGB", "-RGB"},
};

} // namespace

HEquipmentList::HEquipmentList(QObject* parent)
    : QObject(parent)
{
}

HEquipmentList::~HEquipmentList() = default;

QString HEquipmentList::displayName(const QString& typeName)
{
    for (const NamingRule& rule : kNamingRules) {
        if (typeName.contains(QLatin1String(rule.contains)))
            return typeName.section(QLatin1Char('_'), 0, 0) + QLatin1String(rule.suffix);
    }
    return typeName;
}

HEquipmentItem HEquipmentList::makeItem(int pid, const QString& path)
{
    HEquipmentItem item;
    item.text = displayName(kPidNameTable.value(pid));
    item.pid = pid;
    item.path = path;
    const DeviceIds::Model* model = DeviceIds::find(pid);
    item.wireless = model && model->link == DeviceIds::Link::Wireless;
    if (pid == DeviceIds::kKeyboardWired) {
        item.image = kKeyboardPicture;
        item.type = QStringLiteral("keyboard");
    } else if (pid == DeviceIds::kKeyboardWireless) {
        item.image = kKeyboardPicture;
        item.type = QStringLiteral("quenby-8a_wireless");
    }
    return item;
}

bool HEquipmentList::containsType(const QString& type) const
{
    for (const HEquipmentItem& item : m_items) {
        if (item.type == type)
            return true;
    }
    return false;
}

void HEquipmentList::initEquipmentList(QMap<int, QString> equipment)
{
    // Announced first: a view still holds the old rows until the reset begins.
    emit preResetItems();
    m_items.clear();
    for (auto it = equipment.constBegin(); it != equipment.constEnd(); ++it)
        m_items.append(makeItem(it.key(), it.value()));
    emit postResetItems();
}

bool HEquipmentList::insertItemAt(int pid, QString path)
{
    emit preItemInserted(m_items.size());
    m_items.append(makeItem(pid, path));
    emit postItemInserted();
    return true;
}

void HEquipmentList::deleteItemAt(int pid, QString path, int index)
{
    Q_UNUSED(path)
    int at = -1;
    if (index != -1) {
        if (index >= 0 && index < m_items.size())
            at = index;
    } else {
        for (int i = 0; i < m_items.size() && at == -1; ++i) {
            if (m_items.at(i).pid == pid)
                at = i;
        }
    }
    if (at == -1)
        return;
    emit preItemDeleted(at);
    m_items.remove(at);
    emit postItemDeleted();
}

void HEquipmentList::clearItems()
{
    emit preResetItems();
    m_items.clear();
    emit postResetItems();
}

void HEquipmentList::resetEquipmentList()
{
    clearItems();
}
