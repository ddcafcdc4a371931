#pragma once

// An Oakham mouse after its flashing program has run: it shows up under the "DUNMOR" id with a vendor
// collection (usage page 0xFF01, usage 1) that takes the id write-back: feature report 0x14 0x01 arms it,
// then a 33-byte output report carries the product id (low byte, high byte), after which the mouse re-plugs
// under that id.
//
// Threads: the bus calls the responder on the transferring thread; the accessors may be read from any thread.

#include "sim/bus/SimEmulator.h"
#include "sim/bus/SimResponder.h"

class SimOakhamMouse : public SimEmulator, public SimResponder
{
public:
    explicit SimOakhamMouse(SimBus* bus);
    ~SimOakhamMouse() override;

    // Plugs the mouse under productId (the flashing program leaves the "DUNMOR" id).
    void plug(quint16 productId);
    void unplug();

    quint16 productId() const;      // the id it is plugged under now, 0 when unplugged
    bool armed() const;             // the feature command was received
    int writtenId() const;          // the id received, -1 when none

    bool onSetFeature(const QByteArray& report) override;
    bool onOutput(const QByteArray& report) override;

private:
    quint16 m_pid = 0;
    bool m_armed = false;
    int m_written = -1;
};
