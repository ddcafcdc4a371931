#pragma once

#include "HBaseDevice.h"

#include "firmware/IspTransfer.h"
#include "hid/khid/KUSBDevice.h"

#include <QPointer>

#include "HProcessBar.h"

// Flashes the wired Cawdor mice inside the library: reads and checks "Nuc123.bin", switches the mouse into its
// HID bootloader and sends the image by the in-system-programming transfer; the bootloader is told to run the
// application at the end, also after a failed transfer. The whole update runs inside startUpdate.
//
// Threads: the caller's thread, which it blocks for the whole transfer.
class HCawdorSeries : public HBaseDevice, private IspTransfer::Channel
{
    Q_OBJECT
public:
    struct Model {
        const char* name;
        quint16 pid;
    };

    // The bootloader's usage page (1 here; the program's own updater looks for page 0).
    static constexpr quint16 kBootloaderUsagePage = 1;
    // A bootloader answers within milliseconds; a reply later than this is silence.
    static constexpr int kReplyTimeoutMs = 1000;

    explicit HCawdorSeries(QObject* parent = nullptr);
    ~HCawdorSeries() override;

    bool startUpdate(int* pid, QString fileName) override;
    bool refresh(int pid);

    HProcessBar* window() const { return m_window; }
    const IspTransfer& transfer() const { return m_transfer; }

signals:
    void finished();
    void sig_Flag();
    void sig_Title(QString title);
    void sig_ProgressValue(int value, int totleValue);

public slots:
    void startWork();

private:
    bool enterUpdateMode(int pid);
    bool openBootloader();
    // Sends the image loaded before (IspTransfer::loadImage).
    bool updateFwFile(bool aprom);

    bool writeReport(const quint8* report, int length) override;
    int readReport(quint8* report, int capacity) override;

    KHID::KUSBDevice* m_device = nullptr;
    IspTransfer m_transfer;
    int m_pid = 0;
    QPointer<HProcessBar> m_window;
};
