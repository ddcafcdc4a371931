#pragma once

#include "SettingsMouseProtocol.h"

#include "sim/bus/SimEmulator.h"
#include "sim/bus/SimHistory.h"
#include "sim/bus/SimResponder.h"

#include <QByteArray>
#include <QList>
#include <QVector>

// The firmware side of the settings mouse (SettingsMouseProtocol.h): a register space that decodes what the
// host writes into DPI stages, the current stage, the report rate and per-key colours and brightness, so
// that tests assert meaning. Writes to a refused register range fail the transfer, as a stalled request does.
//
// Threads: the bus calls the responder on the transferring thread; the accessors may be used from any thread.
class SimSettingsMouse : public SimEmulator, public SimResponder
{
public:
    SimSettingsMouse() = default;
    ~SimSettingsMouse() override;

    // Plugs the mouse's one interface under productId (unplugging it first); returns the bus's device id.
    int plug(SimBus* bus, quint16 productId);

    QVector<int> stages() const;
    int dpiIndex() const;
    int reportRate() const;
    // r, g, b of a key id.
    QVector<int> keyColor(int key) const;
    int keyBrightness(int key) const;
    // What the mouse reports as its current stage from now on.
    void setDpiIndex(int index);
    void setKeyColor(int key, int r, int g, int b);

    // Writes touching [first, last] fail from now on; refuseNone() lifts it.
    void refuseWrites(int first, int last);
    void refuseNone();
    // The first register of every write applied, in order (the newest SimHistory::kDefaultLimit).
    QList<int> writtenRegisters() const;
    void clearWrites();

    bool onSetFeature(const QByteArray& report) override;
    bool onGetFeature(quint8 reportId, QByteArray& report) override;

private:
    quint8 reg(int address) const { return quint8(m_registers.at(address)); }

    QByteArray m_registers = QByteArray(SettingsMouse::kRegisterSpace, '\0');
    QByteArray m_pendingReply;
    SimHistory<int> m_written;
    int m_refusedFirst = -1;
    int m_refusedLast = -1;
};
