#pragma once

// The firmware side of a register-family mouse on the simulated bus, wired or behind the receiver.
//
// The mouse is one interface with several collections: the command collection (usage 0x0E, page 0xFF00:
// 32-byte packets in output report 0xBA, answers fetched as input report 0xBA with the status in the
// report-id position) and the interrupt source on which the mouse reports what changed on the mouse itself
// (the wired mouse's fifth collection, report id 5; behind the receiver the collection of usage 2, report id
// 0xBB).
//
// Register space (0x0000-0x13FFF and the picture memory at 0x22000) starts in the factory state of the
// model (SimRegisterModels.h: key table, DPI block, power-saving sense); commands are
// decoded, applied and logged with the address byte they came with, so tests read back what a setting now is
// rather than compare bytes. The reply machine can answer busy, error or any status, and fail chosen commands.
//
// Threads: every call may come from any thread; one mutex guards the state, and it is never held while the
// bus is called (the bus calls back into this object under its own lock).

#include "common/DeviceIds.h"
#include "sim/keyboard/SimMacroRecord.h"
#include "sim/mouse/register/SimMouseButton.h"
#include "sim/mouse/register/SimRegisterModels.h"
#include "sim/mouse/register/SimRegisterTables.h"
#include "sim/bus/SimCommandFirmware.h"
#include "sim/bus/SimDevice.h"

#include <QByteArray>
#include <QList>
#include <QString>

class SimBus;

// One command as the mouse received it, with the status it settled on.
struct SimRegisterCommand {
    quint8 address = 0;   // packet byte 0
    quint8 command = 0;
    int length = 0;       // packet byte 2 (a parameter for 0xA1 and 0xAD)
    quint32 reg = 0;
    QByteArray data;      // write data (length bytes)
    quint8 status = SimRegister::kStatusOk;
    bool inGameMode = false;  // the mouse was in game mode when the command came

    bool isWrite() const { return command == SimRegister::kCmdWriteRegister; }
    bool isRead() const { return command == SimRegister::kCmdReadRegister; }
    bool succeeded() const { return status == SimRegister::kStatusOk; }
};

class SimRegisterMouse : public SimCommandFirmware<SimRegisterCommand>
{
public:
    using Command = SimRegisterCommand;

    struct Colour {
        int r = 0;
        int g = 0;
        int b = 0;
        int fourth = 0;
        bool operator==(const Colour& o) const { return r == o.r && g == o.g && b == o.b && fourth == o.fourth; }
    };

    // addressByte: 0xFF for a wired mouse, 0xA5 for one reached through the receiver; the interrupt source
    // follows it. Packets with another address byte settle on error.
    explicit SimRegisterMouse(quint16 productId = DeviceIds::kJarrowNordic,
                              quint8 addressByte = SimRegister::kAddressWired);
    ~SimRegisterMouse() override;

    SimRegisterMouse(const SimRegisterMouse&) = delete;
    SimRegisterMouse& operator=(const SimRegisterMouse&) = delete;

    // --- on the bus ---------------------------------------------------------------------------------------
    // Plugs the interface (the bus's instance when none is given); false when already plugged. The
    // destructor unplugs.
    bool plug(SimBus* bus = nullptr);
    quint16 productId() const { return m_productId; }
    quint8 addressByte() const { return m_addressByte; }
    bool throughReceiver() const { return m_addressByte == SimRegister::kAddressReceiver; }
    QString commandPath() const;
    QString interruptPath() const;

    // The interface as the mouse describes it to the host.
    static SimDevice interfaceOf(quint16 productId, bool throughReceiver);

    // --- factory state ------------------------------------------------------------------------------------
    // Factory registers, game mode off, no faults, empty command log, battery reading kept.
    void resetToDefaults();
    void setFirmwareVersion(quint8 major, quint8 minor);
    // The raw battery reading answered to 0xAA (0: no reading).
    void setBatteryReading(quint32 reading);
    quint8 gameMode() const;
    // As the mouse leaving game mode on its own; the interrupt report announcing it is the caller's.
    void setGameMode(quint8 mode);
    int factoryResets() const;

    // The reply machine and the command log are SimCommandFirmware's: busy is status 0, ok 1, error 2.

    // --- memory -------------------------------------------------------------------------------------------
    quint8 registerValue(quint32 address) const;
    // length bytes from address; bytes outside the register space read as 0.
    QByteArray memory(quint32 address, int length) const;
    // Stores bytes as the firmware itself would (no command logged); bytes outside are dropped.
    void setMemory(quint32 address, const QByteArray& bytes);
    void setRegister(quint32 address, quint8 value);
    static bool inMemory(quint32 address, int length);

    // --- decoded settings ---------------------------------------------------------------------------------
    // Stage values in DPI, in register order (enabled first).
    QList<int> dpiStages() const;
    int dpiHighestIndex() const;
    int dpiIndex() const;
    // Report-rate choice 0..3 of the interval code (0 for an unknown code).
    int reportRateChoice() const;
    int lightMode() const;
    int lightSpeedCode() const;
    int lightBrightness() const;      // stored byte 0..9
    int oledIntensity() const;
    int pressMacroCode() const;
    int definedPressMacro() const;
    int pictureIndex() const;         // 9 when the picture flag is set
    bool powerSaving() const;
    int operatingMode() const;        // stored byte - 1
    Colour zoneColour(int zone) const;
    QByteArray picture() const;       // the kPictureSize bytes of the picture memory

    // --- keys and macros ----------------------------------------------------------------------------------
    const SimRegister::ModelTraits& traits() const { return m_traits; }
    // What the entry of the key table (0..10) makes its button do.
    SimMouseButton entryFunction(int entry) const;
    // The same by button id (the program's key numbering); Unknown for a button the table has no entry for.
    SimMouseButton buttonFunction(int key) const;
    // The record on a macro page: slots 0-10 of the buttons, 1000-1003 of the press macros; an invalid
    // record for any other number.
    SimMacroRecord macroPage(int slot) const;
    static quint32 macroPageAddress(int slot);

    // --- interrupt source ---------------------------------------------------------------------------------
    // The status report: game mode, raw DPI word and battery as the mouse sends them.
    QByteArray statusReport(quint8 mode, quint16 dpiRaw, quint8 battery) const;
    void pushStatusReport(quint8 mode, quint16 dpiRaw, quint8 battery);
    void pushInterruptReport(const QByteArray& report);

    // --- SimResponder (command collection) ----------------------------------------------------------------
    bool onOutput(const QByteArray& report) override;

private:
    int interruptCollection() const;
    void resetMemoryLocked();
    quint8 byteLocked(quint32 address) const;
    void noteLocked(Command& command) override;
    quint8 settleLocked(Command& command) override;
    void applyLocked(const Command& command, QByteArray& reply) override;

    const quint16 m_productId;
    const quint8 m_addressByte;
    const SimRegister::ModelTraits& m_traits;
    QByteArray m_memory;    // 0x0000 .. 0xFFFF
    QByteArray m_picture;   // kRegPicture .. + kPictureSize
    quint8 m_versionMajor = 1;
    quint8 m_versionMinor = 0;
    quint32 m_batteryReading = 0;
    quint8 m_gameMode = 0;
    int m_factoryResets = 0;

    SimResponder m_interrupt;  // the interrupt source only pushes reports
};
