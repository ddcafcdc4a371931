#pragma once

// The firmware side of a two-collection mouse on the simulated bus: one interface with two vendor collections
// (usage 1, page 0xFF00), a 6-byte command collection and a 1032-byte data collection.
//
// The mouse keeps a 1024-byte image. A command (feature report 5) prepares the answer the host then reads as
// feature report 6 from the data collection: the image, the picture memory or the status. Blocks written to
// the data collection replace the image's first 512 bytes (only when both checksums hold, on the models that
// check them), a key's macro record by its address, or the picture memory. Macro records and key codes are
// decoded so tests read back what a button or a macro now is rather than compare bytes.
//
// Faults: a transfer that fails (counting the transfers of both collections from the last clearFaults), an
// answer with a wrong byte, a picture memory that reads back changed, a busy status.
//
// Threads: every call may come from any thread; one mutex guards the state, and it is never held while the bus
// is called (the bus calls back into this object under its own lock).

#include "common/DeviceIds.h"
#include "sim/bus/SimDevice.h"
#include "sim/bus/SimEmulator.h"
#include "sim/bus/SimHistory.h"
#include "sim/bus/SimNumberedFaults.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

class SimTwoCollectionMouse : public SimEmulator
{
public:
    // One macro event as the mouse plays it.
    struct Event {
        enum Kind { Key, Button, Move, Invalid };
        Kind kind = Key;
        bool up = false;
        int code = 0;        // HID usage, or the button code 0xF0..0xF2
        int delayMs = 0;     // the wait after the event (a move: its time, 0 when none)
        int dx = 0;
        int dy = 0;
        bool operator==(const Event& o) const
        {
            return kind == o.kind && up == o.up && code == o.code && delayMs == o.delayMs && dx == o.dx
                && dy == o.dy;
        }
    };

    // A macro record as the last write to its address left it.
    struct MacroRecord {
        int address = -1;
        int repeat = 0;                      // the two header bytes, big-endian
        QList<QPair<quint8, quint8>> items;  // up to and with the end item
        QList<Event> events;
        bool terminated = false;             // an end item was found
        int declaredLength = 0;              // the block's length field
    };

    // A button's code at a place of the key table, with the function the mouse plays for it.
    struct KeyCode {
        QByteArray bytes;
        int function = 0;    // the program's numbering; -2 for a code the mouse does not know
        int mask = 0;        // combinations and keyboard keys
        int usage = 0;
        int macroAddress = -1;
        int playCode = -1;
    };

    explicit SimTwoCollectionMouse(quint16 productId = DeviceIds::kEdris);
    ~SimTwoCollectionMouse();
    SimTwoCollectionMouse(const SimTwoCollectionMouse&) = delete;
    SimTwoCollectionMouse& operator=(const SimTwoCollectionMouse&) = delete;

    static bool isModel(quint16 productId);

    // --- on the bus ---------------------------------------------------------------------------------------
    // withData false plugs the command collection only (a mouse whose data collection does not enumerate).
    // False when already plugged; the destructor unplugs.
    bool plug(SimBus* bus = nullptr, bool withData = true);
    quint16 productId() const { return m_productId; }
    QString commandPath() const;
    static SimDevice interfaceOf(quint16 productId, bool withData = true);

    // --- image --------------------------------------------------------------------------------------------
    // The model's factory image, its first half sealed with the sign flag given (0 adds the adjustment).
    static QByteArray factoryImage(quint16 productId, int sign = 0);
    // Seals an image for a model: fills the first half's filler bytes so that its test passes with the
    // sign flag given, and sets the second checksum.
    static void seal(QByteArray& image, quint16 productId, int sign);
    // Whether an image passes the model's first test with its own sign and adjustment, and its second checksum.
    static bool firstHalfPasses(const QByteArray& image, quint16 productId);
    static bool secondChecksumHolds(const QByteArray& image);
    static quint16 secondChecksum(const QByteArray& image);
    void resetToDefaults();
    QByteArray image() const;
    void setImage(const QByteArray& image);
    quint8 imageByte(int index) const;
    void setImageByte(int index, quint8 value);

    // --- decoded settings ---------------------------------------------------------------------------------
    int reportRate() const;
    QList<int> dpiCodes() const;      // X codes of the seven stages
    QList<int> dpiYCodes() const;
    int effectCode(int zone) const;   // 0 main, 1 wheel
    int brightness(int zone) const;
    int speedByte(int zone) const;
    QList<int> colour(int zone) const;
    KeyCode keyAt(int offset, int key = -1) const;   // key decides codes two functions share
    static KeyCode decodeKey(const QByteArray& bytes, int key, quint16 productId);

    // --- macros and picture -------------------------------------------------------------------------------
    MacroRecord macro(int address) const;
    QList<int> macroAddresses() const;
    static MacroRecord decodeRecord(const QByteArray& block, int address);
    QByteArray pictureMemory() const;
    void setPictureMemory(const QByteArray& memory);
    // Pixel (x, y) of the screen block as the screen shows it (true: lit), from the first copy.
    bool pixel(int x, int y) const;
    static bool pixelOf(const QByteArray& screenBlock, int x, int y);

    // --- status -------------------------------------------------------------------------------------------
    void setStatus(const QByteArray& statusBytes);   // answer bytes from 2 on
    void setBusy(bool busy);

    // --- log (the newest SimHistory::kDefaultLimit of each) ------------------------------------------------
    QList<QByteArray> commands() const;    // command reports received, in order
    QList<QByteArray> blocks() const;      // block writes received (also refused ones), in order
    int imageWrites() const;               // block writes of the image that were taken
    int refusedWrites() const;
    void clearLog();

    // --- faults -------------------------------------------------------------------------------------------
    // Counting the transfers of both collections from now on (from 0): transfer n fails.
    void failTransfer(int n);
    // Transfers from n on fail.
    void failFrom(int n);
    // The next answers to command carry value at byte index (0 id, 1 command, 2 sub-code).
    void corruptAnswer(quint8 command, int index, quint8 value);
    // The picture memory reads back with one byte changed.
    void setPictureReadBackFault(bool on);
    void clearFaults();

private:
    bool onCommand(const QByteArray& report);
    bool onBlock(const QByteArray& report);
    bool onAnswer(QByteArray& report);

    const quint16 m_productId;
    QByteArray m_image;
    QByteArray m_picture;
    QByteArray m_status;
    bool m_busy = false;
    QByteArray m_answer;   // what the data collection's next read returns
    QMap<int, MacroRecord> m_macros;
    SimHistory<QByteArray> m_commands;
    SimHistory<QByteArray> m_blocks;
    int m_imageWrites = 0;
    int m_refused = 0;
    SimNumberedFaults m_transferFaults;   // the transfers of both collections
    QMap<quint8, QPair<int, quint8>> m_corruptAnswers;
    bool m_pictureFault = false;

    Collection m_commandCollection;
    Collection m_dataCollection;
};
