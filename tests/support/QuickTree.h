#pragma once

#include <QList>
#include <QObject>

// Everything below a QML object, through the object tree and the visual tree together: a repeater's items have a
// visual parent only, a window's items hang below its content item. Each object once, in depth-first order.
QList<QObject*> quickTreeBelow(QObject* root);
