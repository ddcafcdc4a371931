#include "Mirelle.h"

#include "MirellePrivate.h"

Mirelle::Mirelle()
    : Mirelle(nullptr)
{
}

Mirelle::Mirelle(QObject* parent)
    : QObject(parent)
    , d(new HPrivate)
{
    connect(d, &HPrivate::qt_updateFinished, this, &Mirelle::qt_updateFinished);
    connect(d, &HPrivate::qt_updateProgress, this, &Mirelle::qt_updateProgress);
}

Mirelle::~Mirelle()
{
    delete d;
}

bool Mirelle::initFwDevice(QString model, QString fileName, QString language, QString folder)
{
    return d->initFwDevice(model, fileName, language, folder);
}
