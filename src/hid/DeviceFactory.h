#pragma once

#include <QList>
#include <QtGlobal>

class KBaseDevice;

// The product classes by product id. The device layer defines these (src/devices/DeviceFactory.cpp) by
// joining the registration tables of its families; the device core calls them and names no device class.
namespace DeviceFactory {

// A new object of the class registered for pid, or null when no class serves it. The caller owns it.
KBaseDevice* create(int pid);
bool serves(int pid);
// Every registered product id, family by family, in registration order.
QList<quint16> productIds();

// Every class the device layer holds, also of the families the product factory does not create (the mice):
// a simulated run and the tests create them by product id. Null / not listed as above.
KBaseDevice* createModel(int pid);
QList<quint16> modelIds();

} // namespace DeviceFactory
