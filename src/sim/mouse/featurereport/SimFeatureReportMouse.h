#pragma once

// The firmware side of a feature-report mouse on the simulated bus: a mouse collection and the vendor
// collection that takes 8-byte commands as feature reports.
//
// A read command is answered in the feature report the host reads next; the DPI page and the two button pages
// follow as input reports. A write command that carries data (DPI page, buttons, macro) takes its pages as the
// output reports that follow it; each page is stored as it arrives, so a transfer cut short leaves what came.
// The mouse decodes what it holds (DPI codes by its model's table, button codes, macro buffers) so tests read
// back what a button, a stage or a macro now is rather than compare bytes.
//
// Faults: the n-th command, reply or page written from now on can fail; a page read fails through the bus
// (failPageRead).
//
// Threads: every call may come from any thread; one mutex guards the state, and it is never held while the bus
// is called.

#include "common/DeviceIds.h"
#include "sim/bus/SimDevice.h"
#include "sim/bus/SimEmulator.h"
#include "sim/bus/SimHistory.h"
#include "sim/bus/SimNumberedFaults.h"
#include "sim/bus/SimResponder.h"

#include <QByteArray>
#include <QList>
#include <QString>

class SimFeatureReportMouse : public SimEmulator, public SimResponder
{
public:
    // The Kinloch has its own DPI codes, a one-byte repeat count and its vertical wheel codes swapped.
    enum class Model { Root, Kinloch };

    // One macro event as the mouse plays it.
    struct Event {
        enum Kind { Key, Button, Delay, Wheel };
        Kind kind = Key;
        bool up = false;
        int value1 = 0;   // usage, button 1..3, delay (ms) or vertical amount
        int value2 = 0;   // horizontal amount
        bool operator==(const Event& o) const
        {
            return kind == o.kind && up == o.up && value1 == o.value1 && value2 == o.value2;
        }
    };
    enum class Play { Count, Toggle, WhilePressed };
    struct Macro {
        Play play = Play::Count;
        int count = 0;
        QList<Event> events;
        bool valid = false;   // every record understood
    };

    explicit SimFeatureReportMouse(quint16 productId = DeviceIds::kDunmor);
    ~SimFeatureReportMouse() override;
    SimFeatureReportMouse(const SimFeatureReportMouse&) = delete;
    SimFeatureReportMouse& operator=(const SimFeatureReportMouse&) = delete;

    static Model modelOf(quint16 productId);
    static SimDevice interfaceOf(quint16 productId);

    // --- on the bus ---------------------------------------------------------------------------------------
    // False when already plugged; the destructor unplugs.
    bool plug(SimBus* bus = nullptr);
    quint16 productId() const { return m_productId; }
    Model model() const { return m_model; }
    QString commandPath() const;

    // --- state --------------------------------------------------------------------------------------------
    void resetToDefaults();
    quint16 firmware() const;
    void setFirmware(quint16 version);
    int reportInterval() const;          // ms
    void setReportInterval(int interval);
    int dpiStage() const;
    void setDpiStage(int stage);
    QByteArray dpiPage() const;          // 33 bytes as last written
    void setDpiPage(const QByteArray& page);
    // The stages by the model's table, up to the end mark.
    QList<int> dpiValues() const;
    // The DPI values of the factory stages (the model's own).
    static QList<int> factoryDpi(Model model);
    int lightEffect() const;
    int lightParameter() const;
    int lightFlag() const;
    void setLight(int effect, int parameter, int flag);
    QList<int> colour() const;           // r, g, b
    void setColour(int r, int g, int b);
    QByteArray slotCode(int slot) const;
    void setSlotCode(int slot, const QByteArray& code);
    // By KKey; an empty code for a key without a slot.
    QByteArray keyCode(int key) const;
    // The function a key's code stands for (Function::Unknown for a code the mouse does not know).
    int keyFunction(int key) const;
    static int decodeKey(const QByteArray& code);
    QByteArray macroBuffer(int slot) const;   // slot 1..4
    Macro macro(int slot) const;
    static Macro decodeMacro(const QByteArray& buffer, Model model);

    // --- what came in (the newest SimHistory::kDefaultLimit of each) ---------------------------------------
    QList<QByteArray> commands() const;       // 8-byte commands, in order
    QList<QByteArray> pagesWritten() const;   // 33-byte pages, in order
    void clearLog();

    // --- faults -------------------------------------------------------------------------------------------
    // Counting from the last clearLog or clearFaults (from 0).
    void failCommand(int n);
    void failReply(int n);
    void failPageWrite(int n);
    // The first page read after the next read command fails (a bus fault of the collection).
    void failPageRead();
    void clearFaults();

    // SimResponder (vendor collection)
    bool onSetFeature(const QByteArray& report) override;
    bool onGetFeature(quint8 reportId, QByteArray& report) override;
    bool onOutput(const QByteArray& report) override;

private:
    enum class Pending { None, DpiPage, Keys, Macro };
    int dpiFromCodeLocked(int code) const;
    QByteArray factoryDpiPage() const;

    const quint16 m_productId;
    const Model m_model;

    quint16 m_firmware = 0;
    quint8 m_interval = 0;
    quint8 m_stage = 0;
    QByteArray m_dpiPage;
    quint8 m_effect = 0;
    quint8 m_parameter = 0;
    quint8 m_flag = 0;
    quint8 m_rgb[3] = {0, 0, 0};
    QByteArray m_slots;
    QList<QByteArray> m_macros;

    QByteArray m_reply;
    Pending m_pending = Pending::None;
    int m_pendingPage = 0;
    int m_pendingSlot = 0;

    SimHistory<QByteArray> m_commands;
    SimHistory<QByteArray> m_pages;
    SimNumberedFaults m_commandFaults;
    SimNumberedFaults m_replyFaults;
    SimNumberedFaults m_pageFaults;
    bool m_failPageRead = false;
};
