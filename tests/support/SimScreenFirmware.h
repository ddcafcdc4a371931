#pragma once

#include "ScreenTestProtocol.h"

#include "sim/bus/SimEmulator.h"
#include "sim/bus/SimResponder.h"

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QList>

// The firmware side of a small device with a 64 x 48 monochrome screen and power saving, on the simulated
// bus: it keeps brightness, display mode and power saving, assembles an uploaded picture and shows it only
// when every chunk arrived. Tests read what it holds and make it refuse chosen commands.
//
// Threads: the bus calls it on the transferring thread; tests read it on theirs. Every member is guarded.
class SimScreenFirmware : public SimEmulator, public SimResponder
{
public:
    SimScreenFirmware();
    ~SimScreenFirmware() override;

    // Plugs one interface with the given product id (unplugging it first); the bus's device id, for its
    // fault injection.
    int plug(SimBus* bus, quint16 productId);

    bool onSetFeature(const QByteArray& report) override;
    bool onGetFeature(quint8 reportId, QByteArray& report) override;

    // The command op is refused once, after skip more commands of that op have been carried out.
    void refuse(ScreenTestProtocol::Op op, int skip = 0);

    int brightness() const;
    int mode() const;
    bool powerSaving() const;
    void setBrightness(int value);
    void setMode(int value);
    // The picture on the screen, lit pixels white; null before a whole picture has arrived.
    QImage picture() const;
    // Commands received, by op, refused ones included.
    int count(ScreenTestProtocol::Op op) const;
    int commandCount() const;

private:
    int m_brightness = 30;
    int m_mode = 2;
    bool m_powerSaving = false;
    QByteArray m_incoming;
    QList<bool> m_chunkSeen;
    QImage m_picture;
    QHash<int, int> m_counts;
    // op -> commands of that op still carried out before one is refused.
    QHash<int, int> m_refusals;
    QByteArray m_reply;
};
