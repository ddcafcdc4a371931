#pragma once

// A mouse with a Nordic radio chip on the simulated bus, as a firmware update sees it: its vendor collection
// (usage page 0xFF00, usage 14) takes the enter-DFU output report (id 0xBA, data 0xFF 0xA8) and the mouse
// re-plugs as a serial port with its DFU bootloader's product id. The port can be made to show up late (after
// a number of port listings) or never.
//
// Threads: the bus calls the responder on the transferring thread; the accessors may be read from any thread.

#include "sim/bus/SimEmulator.h"
#include "sim/bus/SimResponder.h"

#include <QString>

class SimNordicMouse : public SimEmulator, public SimResponder
{
public:
    static constexpr quint8 kEnterDfuId = 0xBA;

    SimNordicMouse(SimBus* bus, quint16 productId, quint16 dfuProductId, const QString& portName);
    ~SimNordicMouse() override;

    // The port appears only after this many listings of the serial ports; -1: it never appears.
    void setPortDelay(int listings);
    void plugApplication();
    // Already in the bootloader: only the port is there.
    void plugPort();
    // Unplugs the mouse and its port.
    void unplug();

    int enterReports() const;
    bool portPlugged() const;

    bool onOutput(const QByteArray& report) override;

private:
    quint16 m_pid;
    quint16 m_dfuPid;
    QString m_portName;
    int m_portId = -1;
    int m_portDelay = 0;
    int m_enterReports = 0;
};
