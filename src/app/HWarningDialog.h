#pragma once

#include "hid/HWork.h"

#include <QObject>

// The device warning popup: a wireless device that went to sleep or needs attention.
class HWarningDialog : public QObject
{
    Q_OBJECT
public:
    enum Warning_Type {
        // From the device layer when a device is connected or initialised; shown for wireless receivers only.
        DeviceConnect = 0,
        // From a model after a device operation failed; shown for a device whose layout marks it wireless.
        OperationFailed = 1,
    };

    // Wireless receivers' product ids lie strictly between these.
    static constexpr int kWirelessPidLow = 0x7E00;
    static constexpr int kWirelessPidHigh = 0x7F00;

    explicit HWarningDialog(QObject* parent = nullptr);
    ~HWarningDialog() override;

    Q_INVOKABLE void startWarning(int type);
    // The popup's retry: for a connection warning the popup closes; otherwise the device is asked for its
    // report rate behind the busy indicator, and the popup closes when it answers or is raised again when
    // it still sleeps. True at once; the answer comes later.
    Q_INVOKABLE bool getMouseType();
    int warningType() const { return m_type; }

signals:
    void sig_startWarning();
    void sig_stopWarning();

private:
    int m_type = DeviceConnect;
    HWork m_work;
};
