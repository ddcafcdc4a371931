#pragma once

// The firmware side of the supplier image mouse on the simulated bus: a mouse collection and its vendor
// collection (usage 0x92, page 0xFF1C) through which its 128-byte configuration image (the two-page layout)
// moves. The read request [4, 0xA0, 1, 1] is answered with the whole image as one 128-byte input report; the
// two 64-byte pages written back are stored in order and each acknowledged with one report.
//
// Faults: the n-th report written from now on can fail its write; a read fails through the bus (failRead).
//
// Threads: every call may come from any thread; one mutex guards the state, never held while the bus is called.

#include "common/DeviceIds.h"
#include "sim/bus/SimDevice.h"
#include "sim/bus/SimEmulator.h"
#include "sim/bus/SimHistory.h"
#include "sim/bus/SimNumberedFaults.h"
#include "sim/bus/SimResponder.h"

#include <QByteArray>
#include <QList>
#include <QString>

class SimSupplierImageMouse : public SimEmulator, public SimResponder
{
public:
    explicit SimSupplierImageMouse(quint16 productId = DeviceIds::kKinlochHollis);
    ~SimSupplierImageMouse() override;
    SimSupplierImageMouse(const SimSupplierImageMouse&) = delete;
    SimSupplierImageMouse& operator=(const SimSupplierImageMouse&) = delete;

    static SimDevice interfaceOf(quint16 productId);
    static QByteArray factoryImage();

    // False when already plugged; the destructor unplugs.
    bool plug(SimBus* bus = nullptr);
    QString commandPath() const;

    QByteArray image() const;
    void setImage(const QByteArray& image);
    quint8 imageByte(int index) const;
    void setImageByte(int index, quint8 value);
    // Decoded.
    int lightMode() const;
    int lightSpeed() const;
    int lightBrightness() const;
    int lightAttribute() const;
    QByteArray keyEntry(int entry) const;   // entry 0..9, five bytes

    int readRequests() const;
    // The newest SimHistory::kDefaultLimit pages written and reports received.
    QList<QByteArray> writtenPages() const;
    // Every report written, in order.
    QList<QByteArray> received() const;
    void clearLog();

    void failWrite(int n);
    void failRead();
    void clearFaults();

    bool onOutput(const QByteArray& report) override;

private:
    const quint16 m_productId;
    QByteArray m_image;
    int m_nextPage = 0;
    int m_readRequests = 0;
    SimHistory<QByteArray> m_written;
    SimHistory<QByteArray> m_received;
    SimNumberedFaults m_writeFaults;
};
