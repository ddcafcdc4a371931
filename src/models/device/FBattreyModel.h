#pragma once

#include "hid/HWork.h"

#include <QObject>

// The battery of a wireless device ("f_battreyModel"): the level the device reports, whether it offers power
// saving (its layout's "hasPowerSaving") and whether power saving is on.
//
// The level only changes when the device reports one (battreyChange); support and state are read again on
// every device change (slot_powerChange).
//
// Threads: GUI thread only; the device reads and writes run on the pool through the model's HWork, and the
// level arrives by a queued signal from the device object. Owned by the UI manager.
class FBattreyModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int battreyData READ battreyData WRITE setBattreyData NOTIFY battreyDataChanged)
    Q_PROPERTY(bool power READ power WRITE setPower NOTIFY powerChanged)
    Q_PROPERTY(bool powerFlag READ powerFlag WRITE setPowerFlag NOTIFY powerFlagChanged)

public:
    explicit FBattreyModel(QObject* parent = nullptr);
    ~FBattreyModel() override;

    // -1 until the device reports a level.
    int battreyData() const { return m_battreyData; }
    bool power() const { return m_power; }
    bool powerFlag() const { return m_powerFlag; }

    // Each stores and always announces.
    Q_INVOKABLE void setBattreyData(int value);
    void setPower(bool on);
    void setPowerFlag(bool offered);

    // Switches power saving on the device; nothing is written when it already is in that state.
    Q_INVOKABLE void setPowerSaving(bool status);

signals:
    void battreyDataChanged();
    void powerChanged();
    void powerFlagChanged();
    void sig_power();

public slots:
    // A level reported by the device; negative levels are no report.
    void battreyChange(int data);
    // Reads whether the current device offers power saving, then its state.
    void slot_powerChange();
    // Reads the power-saving state when the device offers it.
    void slot_power();

private:
    HWork m_work;
    int m_battreyData = -1;
    bool m_power = false;
    bool m_powerFlag = false;
};
