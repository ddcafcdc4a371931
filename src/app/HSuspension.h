#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QTimer;

// Floating tips, shown one after the other for three seconds each; copies of the tip on screen that wait
// directly behind it are dropped. Tips raised while the current device is unplugged are discarded.
class HSuspension : public QObject
{
    Q_OBJECT
public:
    enum Style { Success = 0, Fail = 1, Warning = 2 };
    Q_ENUM(Style)

    static constexpr int kTipTimeMs = 3000;

    explicit HSuspension(QObject* parent = nullptr);
    ~HSuspension() override;

    Q_INVOKABLE void showTips(int style, QString message);
    Q_INVOKABLE void closeTips();
    Q_INVOKABLE void showSetCpiTips(int value);

signals:
    void sigShowTips(int style, QString message);
    void sigCloseTips();
    void sigShowSetCpiTips(QString value);

private slots:
    void TimerTimeOut();

private:
    struct Tip {
        int style;
        QString message;
        bool operator==(const Tip& other) const { return style == other.style && message == other.message; }
    };

    QTimer* m_timer;
    QList<Tip> m_queue; // the first one is on screen
};
