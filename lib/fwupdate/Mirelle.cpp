#include "Mirelle.h"

Mirelle::Mirelle(QObject* parent)
    : QObject(parent)
{
}

Mirelle::~Mirelle() = default;

int Mirelle::initFwDevice(const QString& model, const QString& firmwareFile, const QString& language,
                          const QString& folder)
{
    Q_UNUSED(firmwareFile)
    Q_UNUSED(language)
    Q_UNUSED(folder)
    // No updater is available in this build yet: every model is answered as unsupported.
    emit qt_updateFinished(-1, QStringLiteral("no updater for model ") + model);
    return -1;
}
