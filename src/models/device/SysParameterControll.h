#pragma once

#include <QObject>

// The desktop's mouse settings on the settings pages ("g_sysparameter"): the pointer speed and the lines one
// notch of the wheel scrolls, or scrolling by pages. The values go through the platform's system-mouse-settings
// backend, installed before this object is made; the pages offer only the settings the backend has
// (MouseSpeedOffered, WheelScrollLineOffered). The object keeps the last speed, line count and scroll type read
// or written.
//
// Threads: GUI thread only. One per process (instance()), created by the application manager at start-up.
class SysParameterControll : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int MouseSpeed READ MouseSpeed WRITE setMouseSpeed NOTIFY MouseSpeedChanged)
    Q_PROPERTY(int WheelScrollLine READ WheelScrollLine WRITE setWheelScrollLine NOTIFY WheelScrollLineChanged)
    Q_PROPERTY(int WheelScrollType READ WheelScrollType WRITE setWheelScrollType NOTIFY WheelScrollTypeChanged)
    Q_PROPERTY(bool MouseSpeedOffered READ MouseSpeedOffered CONSTANT)
    Q_PROPERTY(bool WheelScrollLineOffered READ WheelScrollLineOffered CONSTANT)

public:
    static constexpr int kMinSpeed = 1;
    static constexpr int kMaxSpeed = 20;
    static constexpr int kMaxLines = 10;
    static constexpr int kPageScroll = -1;
    // WheelScrollType.
    static constexpr int kScrollByPages = 0;
    static constexpr int kScrollByLines = 1;

    static SysParameterControll* instance();

    // Reads the speed and the line count once, where the desktop has them.
    explicit SysParameterControll(QObject* parent = nullptr);
    ~SysParameterControll() override;

    // Each read asks the system; a failed read keeps (and returns) the previous value.
    Q_INVOKABLE int MouseSpeed();
    // Also sets the scroll type from the count.
    Q_INVOKABLE int WheelScrollLine();
    Q_INVOKABLE int WheelScrollType() const { return m_wheelScrollType; }
    bool MouseSpeedOffered() const { return m_speedOffered; }
    bool WheelScrollLineOffered() const { return m_linesOffered; }

    // Writes a speed within 1..20 (0 is taken as 1).
    Q_INVOKABLE void setMouseSpeed(int value);
    // 1..100 writes that many lines (at most 10), -1 scrolling by pages; other values write nothing.
    Q_INVOKABLE void setWheelScrollLine(int value);
    // Stores and announces; the system is not touched.
    Q_INVOKABLE void setWheelScrollType(int type);

signals:
    void MouseSpeedChanged();
    void WheelScrollLineChanged();
    void WheelScrollTypeChanged();

private:
    bool m_speedOffered = false;
    bool m_linesOffered = false;
    int m_mouseSpeed = 10;
    int m_wheelScrollLine = 3;
    int m_wheelScrollType = kScrollByLines;
};
