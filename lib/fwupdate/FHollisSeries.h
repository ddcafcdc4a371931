#pragma once

#include "FHollisSeries_pipe.h"
#include "HBaseDevice.h"
#include "HProcessBar.h"

#include <QPointer>

// Updates the models whose firmware comes with a supplier's update program (the live keyboard among them):
// opens the progress pipe, shows the progress window and starts the program elevated; the program reports
// its progress and its end through the pipe.
//
// Threads: the caller's thread; the pipe reader runs on its own and reaches it by queued signals.
class FHollisSeries : public HBaseDevice
{
    Q_OBJECT
public:
    explicit FHollisSeries(QObject* parent = nullptr);
    ~FHollisSeries() override;

    bool startUpdate(int* pid, QString fileName) override;
    void cancel() override;

    HProcessBar* window() const { return m_window; }
    QString titleWord() const { return m_title; }

    // The window's title word of a product id.
    static QString titleWordFor(int pid);

signals:
    void finished();
    void sig_Flag();
    void sig_Title(QString title);
    void sig_ProgressValue(int value, int totleValue);

private:
    void onState(int state, const QString& text);
    void stopReader();

    QString m_fileName;
    QPointer<HProcessBar> m_window;
    FHollisSeries_pipe* m_pipe;
    QString m_title;
    QString m_model;
    qint64 m_program = 0;
};
