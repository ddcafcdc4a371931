#pragma once

#include <QJsonObject>

#include <functional>

class HWork;
class KBaseDevice;

// The current device as the device models use it.
//
// Threads: GUI thread only.
namespace CurrentDevice {

// The current device, or null when there is none or it has been unplugged: nothing may be started on it.
KBaseDevice* writable();

// Reads the device's layout document on the pool through work; done receives it on the GUI thread, unless
// the document is empty (a resource that is missing or did not parse).
void readLayout(HWork& work, KBaseDevice* device, std::function<void(QJsonObject)> done);

} // namespace CurrentDevice
