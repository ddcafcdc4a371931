#include "QuickTree.h"

#include <QQuickItem>
#include <QQuickWindow>

namespace {

void collect(QObject* root, QList<QObject*>* found)
{
    QList<QObject*> below = root->children();
    if (auto* window = qobject_cast<QQuickWindow*>(root))
        below << window->contentItem();
    if (auto* item = qobject_cast<QQuickItem*>(root)) {
        for (QQuickItem* child : item->childItems())
            below << child;
    }
    for (QObject* child : below) {
        if (found->contains(child))
            continue;
        found->append(child);
        collect(child, found);
    }
}

} // namespace

QList<QObject*> quickTreeBelow(QObject* root)
{
    QList<QObject*> found;
    collect(root, &found);
    return found;
}
