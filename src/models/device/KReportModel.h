#pragma once

#include "hid/HWork.h"
#include "models/device/DeviceWriteQueue.h"

#include <QJsonObject>
#include <QObject>
#include <QVector>

class KBaseDevice;

// The report rate (polling rate) of the current device ("g_reportModel"): the rates its layout offers and the
// index of the selected one. Selecting a rate sends its index (not the rate in Hz) to the device and, on
// success, saves the report section of the current profile. The rate is never read back from the device.
// Selections reach the device in the order they were made.
//
// setCurrentReport stores and signals; setNumber and setValues only store.
//
// Threads: GUI thread only; device calls run on the pool through the model's HWork. Owned by the UI manager.
class KReportModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int currentReport READ currentReport WRITE setCurrentReport NOTIFY currentReportChanged)
    Q_PROPERTY(int number READ number WRITE setNumber NOTIFY numberChanged)
    Q_PROPERTY(QVector<int> values READ values WRITE setValues NOTIFY valuesChanged)

public:
    explicit KReportModel(QObject* parent = nullptr);
    ~KReportModel() override;

    int currentReport() const { return m_currentReport; }
    int number() const { return m_number; }
    QVector<int> values() const { return m_values; }

    void setCurrentReport(int index);
    void setNumber(int number) { m_number = number; }
    void setValues(const QVector<int>& values) { m_values = values; }

    // Selects the rate at index of `values`.
    Q_INVOKABLE bool selectReport(int index, bool write = true);

signals:
    void currentReportChanged();
    void numberChanged();
    void valuesChanged();
    void sig_uiModelChange(QJsonObject obj);

public slots:
    // Reads the current device's layout document.
    void deviceDataChange();
    // The rates from a layout document's "report" object.
    void slot_uiModelChange(QJsonObject obj);

private:
    HWork m_work;
    DeviceWriteQueue m_writes;
    int m_currentReport = 0;
    int m_number = 4;
    QVector<int> m_values{125, 250, 500, 1000};
};
