#pragma once

#include <QObject>
#include <QVector>

// The DPI stages of the current mouse ("g_dpiModel"): how many stages, the value of each, which are switched
// on and which is current. Profiles shown in the user interface fill it; its device writes and the layout's
// value range come with the DPI page.
//
// Threads: GUI thread only. Owned by the UI manager.
class KDpiModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int number READ number WRITE setNumber NOTIFY numberChanged)
    Q_PROPERTY(int currentIndex READ currentIndex WRITE setCurrentIndex NOTIFY currentIndexChanged)
    Q_PROPERTY(QVector<int> values READ values WRITE setValues NOTIFY valuesChanged)
    Q_PROPERTY(QVector<bool> enable READ enable WRITE setEnable NOTIFY enableChanged)

public:
    explicit KDpiModel(QObject* parent = nullptr);
    ~KDpiModel() override;

    int number() const { return m_number; }
    int currentIndex() const { return m_currentIndex; }
    QVector<int> values() const { return m_values; }
    QVector<bool> enable() const { return m_enable; }

    // Store only; the caller announces the change.
    void setNumber(int number) { m_number = number; }
    void setCurrentIndex(int index) { m_currentIndex = index; }
    // Stores the switches and announces them.
    void setEnable(const QVector<bool>& enable);
    // Switches off every stage whose new value is 0 (announcing each), then stores the values sized to the
    // number of stages (new stages 0). The caller announces the values.
    void setValues(const QVector<int>& values);

signals:
    void numberChanged();
    void currentIndexChanged();
    void valuesChanged();
    void enableChanged();

private:
    int m_number = 7;
    int m_currentIndex = -1;
    QVector<int> m_values{500, 1000, 1500, 2000, 3000, 8000, 19000};
    QVector<bool> m_enable = QVector<bool>(7, true);
};
