#include "sim/bus/SimResponder.h"

#include "sim/bus/SimBus.h"

SimResponder::~SimResponder()
{
    // A responder that goes while still plugged leaves a collection that answers nothing.
    if (m_deviceId.load() >= 0)
        SimBus::instance()->forgetResponder(this);
}

bool SimResponder::onOutput(const QByteArray&)
{
    return true;
}

bool SimResponder::onSetFeature(const QByteArray&)
{
    return true;
}

bool SimResponder::onGetFeature(quint8, QByteArray&)
{
    return false;
}

bool SimResponder::onGetInputReport(quint8, QByteArray&)
{
    return false;
}

void SimResponder::pushInputReport(const QByteArray& report)
{
    const int device = m_deviceId.load();
    if (device < 0)
        return;
    SimBus::instance()->deliverInput(device, m_collection.load(), report);
}
