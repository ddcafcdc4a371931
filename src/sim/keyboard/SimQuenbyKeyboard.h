#pragma once

// The firmware side of the wired keyboard on the simulated bus.
//
// The keyboard is a composite device: interface 0 is its boot keyboard, interface 1 holds the vendor
// collections: the command collection (64-byte packets in output report 4, answers fetched as input report 4
// with the status in the report-id position) and the interrupt collection, on which the keyboard reports
// changes made on the keyboard itself (input report 6).
//
// Register memory starts with the factory tables; commands are decoded, applied and logged, so tests can
// read back what a key or macro now does (SimKeyFunction, SimMacroRecord) rather than compare bytes. The
// reply machine can be told to answer busy, error or any other status, and to fail chosen commands.

#include "common/DeviceIds.h"
#include "sim/bus/SimCommandFirmware.h"
#include "sim/bus/SimDevice.h"
#include "sim/keyboard/SimKeyFunction.h"
#include "sim/keyboard/SimMacroRecord.h"
#include "sim/keyboard/SimQuenbyTables.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

class SimBus;

// One command as the keyboard received it, with the status it settled on.
struct SimQuenbyCommand {
    quint8 address = 0;   // packet byte 0
    quint8 command = 0;
    int length = 0;
    quint32 reg = 0;
    quint8 saveFlag = 0;  // RGB model: packet byte 6 (0xFF on macro record writes)
    quint8 zeroByte = 0;  // RGB model: packet byte 5, 0 in every valid packet
    QByteArray data;      // write data (length bytes)
    quint8 status = SimQuenby::StatusDone;

    bool isWrite() const { return command == SimQuenby::CommandWrite; }
    bool isRead() const { return command == SimQuenby::CommandRead; }
    bool isVersion() const { return command == SimQuenby::CommandVersion; }
    bool isSetWorkMode() const { return command == SimQuenby::CommandSetWorkMode; }
    bool succeeded() const { return status == SimQuenby::StatusDone; }
};

class SimQuenbyKeyboard : public SimCommandFirmware<SimQuenbyCommand>
{
public:
    using Command = SimQuenbyCommand;

    explicit SimQuenbyKeyboard(quint16 productId = DeviceIds::kKeyboardWired);
    ~SimQuenbyKeyboard() override;

    SimQuenbyKeyboard(const SimQuenbyKeyboard&) = delete;
    SimQuenbyKeyboard& operator=(const SimQuenbyKeyboard&) = delete;

    // --- on the bus ---------------------------------------------------------------------------------------
    // Plugs the boot interface, then the vendor interface (the bus's instance when none is given); false when
    // already plugged. busDeviceId() is the vendor interface's (for the bus's fault injection); unplug()
    // takes both, and the destructor unplugs too.
    bool plug(SimBus* bus = nullptr);
    quint16 productId() const { return m_productId; }
    // The full-size RGB model: work-mode commands, its own light and table registers, 30 macro records at
    // 512 x slot.
    bool isRgb() const { return m_productId == DeviceIds::kRgbKeyboard; }
    quint8 workMode() const;
    void setWorkMode(quint8 mode);
    QString commandPath() const;
    QString interruptPath() const;

    // The two interfaces as the keyboard describes them to the host.
    static SimDevice bootKeyboardInterface(quint16 productId);
    static SimDevice vendorInterface(quint16 productId);

    // --- factory state ------------------------------------------------------------------------------------
    // Factory tables and light settings, no faults, empty command log.
    void resetToDefaults();
    void setFirmwareVersion(quint8 major, quint8 minor);

    // The reply machine and the command log are SimCommandFirmware's: busy is status 0, done 1, error 2.

    // --- memory -------------------------------------------------------------------------------------------
    quint8 registerValue(quint32 address) const;
    // length bytes from address; bytes outside the memory read as 0.
    QByteArray memory(quint32 address, int length) const;
    // Stores bytes as the firmware itself would (no command logged); bytes outside the memory are dropped.
    void setMemory(quint32 address, const QByteArray& bytes);
    void setRegister(quint32 address, quint8 value);

    // The key table, its functions and the macro records of this keyboard's model (the RGB model keeps them at
    // its own addresses, with its own matrix and factory table).
    QByteArray keyTable() const;
    SimKeyFunction keyFunctionAt(int position) const;
    // By program key id; Unknown when the keyboard has no such key.
    SimKeyFunction keyFunctionOfKey(int key) const;
    void setKeyFunctionAt(int position, const SimKeyFunction& function);
    quint8 keyBrightnessAt(int position) const;
    QByteArray macroRecord(int slot) const;
    SimMacroRecord decodeMacro(int slot) const;

    // Every key of the keyboard with what it does now, by program key id.
    QMap<int, SimKeyFunction> keyFunctions() const;
    // The same for any 512-byte key table (for example one a program holds as its copy of the device's).
    static QMap<int, SimKeyFunction> decodeKeyTable(const QByteArray& table, bool rgb = false);
    // The key-table position of a program key id on this model; -1 when it has no such key.
    int positionOfKey(int key) const;

    // The factory function of a position (the default table), of the wired keyboard or the RGB model.
    static SimKeyFunction defaultKeyFunctionAt(int position);
    static SimKeyFunction defaultRgbKeyFunctionAt(int position);

    // RGB model: a key's colour as red, green, blue (three bytes; empty for a position without a key).
    QByteArray keyColorAt(int position) const;
    QByteArray keyColorOfKey(int key) const;

    // --- interrupt collection -----------------------------------------------------------------------------
    // The state report: report id 6, kind in byte 1 (0 light state; the program ignores 1), the light
    // registers 0xA041-0xA04D in bytes 2-14.
    QByteArray stateReport(quint8 kind = 0) const;
    void pushStateReport(quint8 kind = 0);
    // As a user changing the lights with the keyboard's own keys: the bank that the mode register selects
    // (4: 0xA041-0xA043, otherwise the copies at 0xA047-0xA049) and the logo register change, then the state
    // report goes out.
    void changeLightsOnKeyboard(quint8 modeRaw, quint8 brightness, quint8 speedRaw, quint8 logo);
    // Any raw report on the interrupt collection (id byte first).
    void pushInterruptReport(const QByteArray& report);

    // --- SimResponder (command collection) ----------------------------------------------------------------
    bool onOutput(const QByteArray& report) override;

private:
    bool inMemory(quint32 address, int length) const;
    bool isMacroArea(quint32 address, int length) const;
    quint32 keyTableAddress() const;
    int macroSlots() const;
    void resetMemoryLocked();
    quint8 settleLocked(Command& command) override;
    void applyLocked(const Command& command, QByteArray& reply) override;
    QByteArray stateReportLocked(quint8 kind) const;

    const quint16 m_productId;
    QByteArray m_memory;             // kMemoryBase .. kMemoryEnd
    quint8 m_versionMajor = SimQuenby::kDefaultVersionMajor;
    quint8 m_versionMinor = SimQuenby::kDefaultVersionMinor;
    quint8 m_workMode = 0;

    SimResponder m_interrupt;        // the interrupt collection only pushes reports
};
