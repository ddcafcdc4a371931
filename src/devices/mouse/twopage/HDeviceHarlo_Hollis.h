#pragma once

#include "devices/mouse/twopage/HDeviceUlverd.h"

#include <atomic>

class FarrantInterruputRead;

// The two-page mouse built around another controller: the same image and page format, reached through the
// fourth collection of its interface on the shared channel, every step paced by 300 ms, with key codes and a
// macro format of its own. It reports its current DPI stage as interrupt reports on its fifth collection,
// which a reader thread delivers; the stage goes into the image at once, without a write.
//
// Threads: as HDeviceUlverd. The reader thread's reports arrive on the GUI thread; they change the image under
// the state lock only (never the operation lock), and a write in flight keeps the stage they set.
class HDeviceHarlo_Hollis : public HDeviceUlverd
{
    Q_OBJECT
public:
    explicit HDeviceHarlo_Hollis(QObject* parent = nullptr);
    ~HDeviceHarlo_Hollis() override;

    bool initDevice() override;
    // Reads the image again.
    bool enterGameMode() override;

    // The reader thread's text messages and reports (one character per byte).
    void onInterruptMessage(QString message);
    void onInterruptData(QString data);

    // The DPI value of the current stage: from the image at every read and from every report.
    int currentDpi() const { return m_currentDpi.load(); }

protected:
    HDeviceHarlo_Hollis(quint16 pid, QObject* parent);

    bool openChannel() override;
    void imageRead() override;

private:
    void startReader();

    FarrantInterruputRead* m_readThread = nullptr;
    std::atomic<int> m_currentDpi{0};
};
