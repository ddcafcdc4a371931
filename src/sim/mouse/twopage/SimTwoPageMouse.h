#pragma once

// The firmware side of a two-page mouse on the simulated bus: the root models (one vendor collection) and the
// locked variant (commands on its fourth collection, stage reports on its fifth).
//
// The mouse keeps its configuration in a 128-byte image. A read request [4, 0xA0, 1, 1] is answered with the
// image as two input reports; a page written back (our header in bytes 1-2, see SimTwoPageTables.h) is stored
// and acknowledged; macros arrive through the dialect's command sequence and are decoded when their last data
// packet is in, so tests read back what a button, a stage or a macro now is rather than compare bytes.
//
// Faults: a chosen report can fail its write, go unanswered or be refused (reply byte 3 = 0); a silent device is
// the bus's setNeverAnswer.
//
// Threads: every call may come from any thread; one mutex guards the state, and it is never held while the bus
// is called (the bus calls back into this object under its own lock).

#include "common/DeviceIds.h"
#include "sim/bus/SimDevice.h"
#include "sim/bus/SimEmulator.h"
#include "sim/bus/SimHistory.h"
#include "sim/bus/SimNumberedFaults.h"
#include "sim/bus/SimResponder.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <functional>

class SimTwoPageMouse : public SimEmulator, public SimResponder
{
public:
    enum class Dialect { Root, Locked };
    enum class DpiTable { A, B, Linear };

    // One macro event as the mouse decoded it.
    struct Event {
        enum Kind { Key, Button, Delay, Move };
        Kind kind = Key;
        bool up = false;
        int value1 = 0;   // usage, button, delay (ms) or x
        int value2 = 0;   // y
        int delay = -1;   // locked variant: the delay field of the record (-1 not set)
        bool operator==(const Event& o) const
        {
            return kind == o.kind && up == o.up && value1 == o.value1 && value2 == o.value2 && delay == o.delay;
        }
    };

    // A macro as the last complete transfer to a slot left it.
    struct Macro {
        int slot = -1;
        QByteArray events;       // the event string
        int eventCount = 0;      // locked variant: byte 3 of the data packets
        int declaredLength = -1; // root: the 0xA7 total
        int packets = 0;
        QList<QByteArray> rawPackets;
        QList<Event> decoded;
        bool valid = false;      // header fields consistent with the data
    };

    // A key entry, decoded.
    struct KeyEntry {
        QByteArray code;         // the four code bytes
        quint8 trailer = 0;      // the fifth byte of the entry
        int function = 0;        // the key function the code stands for (0 all zero, -2 unknown)
        int mask = 0;            // 0xFC codes
        int usage = 0;           // 0xFC codes and plain keys
        int macroSlot = -1;
        int repeat = 0;
        quint8 macroKind = 0;    // 0xF0..0xF3
    };

    explicit SimTwoPageMouse(quint16 productId = DeviceIds::kUlverd, Dialect dialect = Dialect::Root);
    ~SimTwoPageMouse() override;
    SimTwoPageMouse(const SimTwoPageMouse&) = delete;
    SimTwoPageMouse& operator=(const SimTwoPageMouse&) = delete;

    static Dialect dialectOf(quint16 productId);

    // --- on the bus ---------------------------------------------------------------------------------------
    // False when already plugged; the destructor unplugs.
    bool plug(SimBus* bus = nullptr);
    quint16 productId() const { return m_productId; }
    Dialect dialect() const { return m_dialect; }
    QString commandPath() const;
    QString interruptPath() const;
    static SimDevice interfaceOf(quint16 productId, Dialect dialect);

    // --- image --------------------------------------------------------------------------------------------
    // The factory image of a dialect (the extended models' stages are the same).
    static QByteArray factoryImage(Dialect dialect, DpiTable table);
    void resetToDefaults();
    QByteArray image() const;
    void setImage(const QByteArray& image);
    quint8 imageByte(int index) const;
    void setImageByte(int index, quint8 value);
    // Codes are read through this table (the root's factory codes are table A).
    void setDpiTable(DpiTable table);
    // Pages as written by the host, in order, each 64 bytes (the newest SimHistory::kDefaultLimit).
    QList<QByteArray> writtenPages() const;
    int readRequests() const;
    void clearLog();

    // --- decoded settings ---------------------------------------------------------------------------------
    int dpiStage() const;
    int enableMask() const;
    QList<int> dpiValues() const;     // by the current table; -1 for a code it does not know
    int reportRate() const;
    int lightMode() const;
    int lightSpeedByte() const;
    int lightBrightness() const;
    QList<int> colour() const;
    KeyEntry keyEntry(int key) const; // by KKey; function -2 for a key without an entry
    int entryOfKey(int key) const;

    // --- macros -------------------------------------------------------------------------------------------
    Macro macro(int slot) const;
    QList<int> macroSlots() const;
    // Every report the command collection received, in order (the newest SimHistory::kDefaultLimit).
    QList<QByteArray> received() const;

    // --- faults -------------------------------------------------------------------------------------------
    // Counting the reports received from now on (from 0): report n fails its write.
    void failReport(int n);
    // Report n is taken but never answered.
    void dropReplyTo(int n);
    // The reply to report n has byte 3 = 0.
    void refuseReport(int n);
    void clearFaults();
    // Runs on the bus's thread when a page write arrives, before it is acknowledged (tests make things happen
    // in the middle of a write).
    void setOnPageWrite(std::function<void(int page)> hook);

    // --- interrupt source (locked variant) ----------------------------------------------------------------
    QByteArray stageReport(int dpiValue, int stage) const;
    void pushStageReport(int dpiValue, int stage);
    void pushInterruptReport(const QByteArray& report);

    // SimResponder (command collection)
    bool onOutput(const QByteArray& report) override;

private:
    QByteArray replyLocked(quint8 command, quint8 a, quint8 b, bool accept) const;
    void macroDataLocked(const QByteArray& report, bool* accept);
    int codeToValueLocked(quint8 code) const;
    static QList<Event> decodeRoot(const QByteArray& events);
    static QList<Event> decodeLocked(const QByteArray& events);
    KeyEntry decodeEntry(const QByteArray& entry) const;

    const quint16 m_productId;
    const Dialect m_dialect;
    QByteArray m_image;
    DpiTable m_table = DpiTable::A;
    SimHistory<QByteArray> m_written;
    SimHistory<QByteArray> m_received;
    int m_readRequests = 0;
    // Each counts every report received.
    SimNumberedFaults m_failReports;
    SimNumberedFaults m_dropReports;
    SimNumberedFaults m_refuseReports;
    std::function<void(int)> m_onPageWrite;

    // The macro transfer in progress.
    Macro m_pending;
    QMap<int, Macro> m_macros;

    SimResponder m_interrupt;
};
