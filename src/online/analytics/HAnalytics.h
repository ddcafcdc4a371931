#pragma once

#include <QObject>
#include <QString>

class GAnalytics;

// The one door through which the program reports usage. It holds no tracker state: it sets up the process's
// tracker (analyticsInstance) on first use with the tracking id, starts and stops it as the user's analytics
// switch changes, passes the connected device's model name into its User-Agent and forwards events. Every call
// but stop() does nothing while the switch (AppServices::analyticsEnabled) is off; nothing is reported back.
// The events the program sends are named in common/AnalyticsEvents.h. Published to QML as "h_analytics".
//
// Threads: GUI thread only.
class HAnalytics : public QObject
{
    Q_OBJECT
public:
    // The analytics property that receives the hits.
    static constexpr const char* kTrackingId = "UA-573904618-2";
    // The send interval given at set-up; start() replaces it by the tracker's own period.
    static constexpr int kInitialInterval = 5000;

    explicit HAnalytics(QObject* parent = nullptr);
    ~HAnalytics() override;

    void init();
    void start();
    void stop();
    void setAgentInfo(QString text);
    bool isInitialised() const { return m_initialised; }

public slots:
    void sendEvent(QString category, QString action, QString label);
    void sendEvent(QString category, QString action);

private:
    bool m_initialised = false;
};

// The process's one tracker, made on first use (from the GUI thread, once the application object exists) and
// destroyed with the application object.
GAnalytics* analyticsInstance();
