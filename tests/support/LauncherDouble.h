#pragma once

#include "platform/process/ProcessControl.h"

#include <QMutex>
#include <QStringList>

// Stands in for the elevated start while it lives: records every program asked for and the folder it was
// asked from, and either declines (as a user refusing the prompt does) or hands the start to the real layer.
class LauncherDouble : public Platform::ProcessLauncher
{
public:
    LauncherDouble();
    ~LauncherDouble() override;

    void setDecline(bool on) { m_decline = on; }
    QStringList programs() const;
    QStringList folders() const;

    using Platform::ProcessLauncher::startElevated;
    Platform::StartError startElevated(const QString& program, const QStringList& arguments, qint64* pid) override;
    Platform::ProcessExit waitForExit(qint64 pid) override;
    void release(qint64 pid) override;

private:
    mutable QMutex m_mutex;
    QStringList m_programs;
    QStringList m_folders;
    bool m_decline = false;
    Platform::ProcessLauncher* m_previous = nullptr;
};
