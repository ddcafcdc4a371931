#pragma once

#include <QObject>

class QTimer;

// The busy indicator around device and network work. Requests overlap: the overlay stays until the last
// of them stops, or until the latest time any start allowed has passed, whichever comes first.
class HLoadDialog : public QObject
{
    Q_OBJECT
public:
    static constexpr int kDefaultTimeMs = 2000;

    explicit HLoadDialog(QObject* parent = nullptr);
    ~HLoadDialog() override;

    Q_INVOKABLE void startLoading(int time);
    Q_INVOKABLE void startLoading();
    Q_INVOKABLE void stopLoading();

    // Open loading requests of the whole program; 0 again when the timer closes the overlay, never below 0.
    static int openRequests();

signals:
    void sigStartLoading();
    void sigStopLoading();

private slots:
    void TimerTimeOut();

private:
    QTimer* m_timer;
};
