#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <atomic>

class SimBus;

// The firmware side of one top-level collection. The bus calls it on the thread that does the transfer,
// one call at a time across the whole bus, and never after the device was unplugged. Reports are id byte
// first and padded to the collection's report length.
class SimResponder
{
public:
    virtual ~SimResponder();

    // An output report written by the host. False fails the write.
    virtual bool onOutput(const QByteArray& report);
    // A feature report set by the host. False fails the transfer.
    virtual bool onSetFeature(const QByteArray& report);
    // The host asks for feature report reportId: fill report (pre-sized, byte 0 = reportId). False fails it.
    virtual bool onGetFeature(quint8 reportId, QByteArray& report);
    // The host asks for input report reportId over the control pipe, as onGetFeature.
    virtual bool onGetInputReport(quint8 reportId, QByteArray& report);

    // Sends an interrupt input report: every handle of this collection open for reading receives a copy.
    // Dropped while the responder is not plugged. May be called from any thread, also from inside a callback.
    void pushInputReport(const QByteArray& report);

    // Where the responder is plugged: the bus's device id and the collection's index; -1 when unplugged.
    int deviceId() const { return m_deviceId; }
    int collectionIndex() const { return m_collection; }

private:
    friend class SimBus;
    std::atomic<int> m_deviceId{-1};
    std::atomic<int> m_collection{-1};
};
