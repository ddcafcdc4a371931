#pragma once

#include <QObject>
#include <QString>

// The one door through which the program reports usage. Every call is gated by the user's analytics switch;
// nothing is reported back to the caller.
class HAnalytics : public QObject
{
    Q_OBJECT
public:
    explicit HAnalytics(QObject* parent = nullptr);
    ~HAnalytics() override;

    void init();
    void start();
    void stop();
    void setAgentInfo(QString text);

    Q_INVOKABLE void sendEvent(QString category, QString action, QString label);

private:
    bool m_initialised = false;
};
