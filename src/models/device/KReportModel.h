#pragma once

#include <QObject>
#include <QVector>

// The report rate of the current mouse ("g_reportModel"): the rates offered and the index of the selected one.
// Profiles shown in the user interface select the rate; its device write and the layout's list come with the
// mouse pages.
//
// Threads: GUI thread only. Owned by the UI manager.
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

    // Stores and announces.
    void setCurrentReport(int index);
    // Store only.
    void setNumber(int number) { m_number = number; }
    void setValues(const QVector<int>& values) { m_values = values; }

signals:
    void currentReportChanged();
    void numberChanged();
    void valuesChanged();

private:
    int m_currentReport = 0;
    int m_number = 4;
    QVector<int> m_values{125, 250, 500, 1000};
};
