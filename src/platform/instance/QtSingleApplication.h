#pragma once

#include <QApplication>

class SingleInstance;

// The program's application object that also makes sure only one copy runs (see SingleInstance): a second
// start finds isRunning() true, hands its message to the first with sendMessage and ends.
//
// Threads: GUI thread only.
class QtSingleApplication : public QApplication
{
    Q_OBJECT
public:
    QtSingleApplication(const QString& key, int& argc, char** argv);
    ~QtSingleApplication() override;

    bool isRunning() const;
    bool sendMessage(const QString& message, int timeoutMs = 5000) const;

signals:
    void messageReceived(const QString& message);

private:
    SingleInstance* m_instance;
};
