#pragma once

// A Cawdor mouse on the simulated bus, as far as a firmware update sees it: the application's vendor
// collection, which takes the enter-bootloader report and re-plugs the mouse as the HID bootloader, and the
// bootloader, which answers the in-system-programming packets, records the image it is given and, told to run
// the application, re-plugs as the mouse again.
//
// Faults: a bad checksum once (at a chosen data packet), a wrong packet number, short replies, silence.
//
// Threads: the bus calls the responders on the transferring thread; the accessors may be read from any thread.

#include "firmware/IspProtocol.h"
#include "sim/bus/SimEmulator.h"
#include "sim/bus/SimHistory.h"

#include <QByteArray>
#include <QList>

class SimCawdorMouse : public SimEmulator
{
public:
    struct Faults {
        int badChecksumAt = -1;   // data packet index whose first reply carries a wrong checksum
        int wrongNumberAt = -1;   // data packet index answered with a wrong packet number
        int silenceAt = -1;       // data packet index that gets no reply
        bool silentSync = false;  // the sync packet gets no reply
        bool shortReplies = false;  // the bootloader's input reports are shorter than 65 bytes
    };

    SimCawdorMouse(SimBus* bus, quint16 productId, quint16 bootloaderUsagePage);
    ~SimCawdorMouse();
    SimCawdorMouse(const SimCawdorMouse&) = delete;
    SimCawdorMouse& operator=(const SimCawdorMouse&) = delete;

    void setFaults(const Faults& faults);
    // Plugs the mouse as its application, or already in its bootloader.
    void plugApplication();
    void plugBootloader();

    bool inBootloader() const;
    int enterReports() const;
    // The image as the bootloader stored it: the declared length, and every payload byte received (padding of
    // the last packet included).
    QByteArray image() const;
    QByteArray received() const;
    quint32 command() const;
    quint32 startAddress() const;
    quint32 declaredLength() const;
    int dataPackets() const;   // data packets taken (resends included)
    int resends() const;
    bool ranApplication() const;
    // Every packet's number, in order (the newest SimHistory::kDefaultLimit).
    QList<quint32> packetNumbers() const;

private:
    bool onApplicationOutput(const QByteArray& report);
    bool onBootloaderOutput(const QByteArray& report);
    void replug(bool toBootloader);
    void applyData(const Isp::Packet& packet, bool first);

    quint16 m_pid;
    quint16 m_bootPage;
    Collection m_application;
    Collection m_bootloader;
    bool m_inBootloader = false;
    Faults m_faults;
    bool m_checksumFaultUsed = false;
    int m_enterReports = 0;
    QByteArray m_received;
    quint32 m_command = 0;
    quint32 m_start = 0;
    quint32 m_length = 0;
    int m_dataPackets = 0;
    int m_dataIndex = 0;
    int m_resends = 0;
    bool m_ran = false;
    bool m_lastWasFirst = false;
    SimHistory<quint32> m_numbers;
};
