#include "update/Farrant_Nordic_BootloadThread.h"

#include "common/DeviceIds.h"

Farrant_Nordic_BootloadThread::Farrant_Nordic_BootloadThread(QObject* parent)
    : DfuPortThread(DeviceIds::kVendorId, parent)
{
}
