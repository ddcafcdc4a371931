#pragma once

#include <QObject>

// Kept for the profile code of older releases; it has no behaviour of its own.
class KConfigController : public QObject
{
    Q_OBJECT
public:
    explicit KConfigController(QObject* parent = nullptr);
};
