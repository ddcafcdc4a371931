#pragma once

#include "HBaseDevice.h"
#include "Mirelle.h"
#include "app/Trans.h"

#include <QPointer>

// The library's side of Mirelle: the current updater and translation object, and the relay of their signals.
//
// Threads: the thread of Mirelle's caller.
class Q_DECL_HIDDEN Mirelle::HPrivate : public QObject
{
    Q_OBJECT
public:
    HPrivate();
    ~HPrivate() override;

    bool initFwDevice(const QString& model, const QString& fileName, const QString& language,
                      const QString& folder);

    HBaseDevice* updater() const { return m_updater; }
    Trans* translator() const { return m_trans; }

signals:
    void qt_updateFinished(int code, QString msg);
    void qt_updateProgress(int value, int totleValue);

private:
    void replaceUpdater(HBaseDevice* updater);
    void replaceTranslator(Trans* trans);

    QPointer<HBaseDevice> m_updater;
    QPointer<Trans> m_trans;
};
