#pragma once

#include "firmware/IspTransfer.h"
#include "hid/khid/KHidDetail.h"

#include <QObject>

#include <atomic>

// The program's own HID bootloader updater for the wired Cawdor mice: finds the bootloader (usage page 0,
// usage 0) or switches the mouse into it through its vendor interface (usage page 0xFF00, usage 14), then sends
// the firmware file, read and checked first, by the in-system-programming transfer; the bootloader is told to run
// the application at the end, also after a failed transfer. Every read and write is bounded; cancel() cuts a
// transfer short from another thread.
//
// Threads: the transfer runs on the thread that calls slot_Update and blocks it.
class HFarrantYarrinSeries_FirmWare : public QObject, private IspTransfer::Channel
{
    Q_OBJECT
public:
    static constexpr int kReadTimeoutMs = 1000;

    explicit HFarrantYarrinSeries_FirmWare(QObject* parent = nullptr);
    ~HFarrantYarrinSeries_FirmWare() override;

    // Any thread: a read in progress returns at once and the transfer fails.
    void cancel();

signals:
    void sigUpdateResult(bool success);
    void sigPercent(uint percent);

public slots:
    void slot_Update(QString path);

private:
    bool enterUpdateMode();
    bool openBootloader();
    void closeBootloader();

    bool writeReport(const quint8* report, int length) override;
    int readReport(quint8* report, int capacity) override;

    KHID::HANDLE m_boot = KHID::INVALID_HANDLE_VALUE;
    std::atomic<bool> m_cancelled{false};
    IspTransfer m_transfer;
};
