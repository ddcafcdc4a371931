#include "devices/MacroEventFilter.h"

#include <QDebug>
#include <QMap>
#include <QSet>
#include <QString>

#include <algorithm>
#include <functional>

bool filterMacroEvents(QVector<KMacroItem>& items)
{
    if (items.isEmpty()) {
        qDebug() << "[Error] macro is empty!!";
        return false;
    }
    auto isKeyOrButton = [](const KMacroItem& item) {
        const int type = KMacroItem::normalizedType(item.type);
        return type == KMacroItem::KeyboardKey || type == KMacroItem::MouseButton;
    };

    // From the end: a press without a release gets one at the end; a release without a press is dropped.
    QSet<QString> handled;
    QMap<QString, int> waitingRelease;
    for (int i = items.size() - 1; i >= 0; --i) {
        const KMacroItem item = items.at(i);
        if (!isKeyOrButton(item))
            continue;
        const QString& name = item.text;
        if (item.isUp) {
            handled.remove(name);
            waitingRelease.insert(name, i);
            continue;
        }
        if (!waitingRelease.contains(name) && !handled.contains(name) && !name.isEmpty()) {
            KMacroItem release = item;
            release.isUp = true;
            items.append(release);
            handled.insert(name);
        }
        if (waitingRelease.contains(name) && !handled.contains(name)) {
            waitingRelease.remove(name);
            handled.insert(name);
        }
    }
    QList<int> orphans = waitingRelease.values();
    std::sort(orphans.begin(), orphans.end(), std::greater<int>());
    for (int index : orphans)
        items.removeAt(index);

    if (!items.isEmpty() && KMacroItem::normalizedType(items.last().type) == KMacroItem::Delay)
        items.removeLast();
    return true;
}
