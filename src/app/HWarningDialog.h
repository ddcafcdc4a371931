#pragma once

#include "hid/HWork.h"

#include <QObject>

// The device warning popup: a wireless device that went to sleep or needs attention, or a device that could
// not be opened (openFailure then holds what the popup says instead of the wake-up advice).
class HWarningDialog : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString openFailure READ openFailure NOTIFY openFailureChanged)
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

    // Raises the popup for a device that could not be opened, whatever its kind; any later warning or the
    // popup's closing takes the text down.
    void showOpenFailure(const QString& message);
    QString openFailure() const { return m_openFailure; }
    Q_INVOKABLE void clearOpenFailure();

signals:
    void sig_startWarning();
    void sig_stopWarning();
    void openFailureChanged();

private:
    void setOpenFailure(const QString& message);

    int m_type = DeviceConnect;
    QString m_openFailure;
    HWork m_work;
};
