#pragma once

class AppServices;
class KDeviceController;

// The links between the device controller and the models and profile list that services hands out: each
// controller change signal to the model that reloads on it, each new device's own reports to the models that
// show them, and the profile the controller chose for an opened device to the profile controller. The
// controller sits below the models and names none of them; the application (UIManager) and tests make these
// links once. A model services does not hand out is left unlinked.
//
// Threads: GUI thread.
namespace DeviceModelLinks {

void link(KDeviceController* controller, AppServices* services);

} // namespace DeviceModelLinks
