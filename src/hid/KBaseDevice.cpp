#include "hid/KBaseDevice.h"

KBaseDevice::KBaseDevice(QObject* parent)
    : QObject(parent)
{
}

KBaseDevice::~KBaseDevice() = default;

void KBaseDevice::setRemoved(bool removed)
{
    this->removed.store(removed);
}

bool KBaseDevice::isRemoved() const
{
    return removed.load();
}
