#include "profiles/KConfigController.h"

KConfigController::KConfigController(QObject* parent)
    : QObject(parent)
{
}
