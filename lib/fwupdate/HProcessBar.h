#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

// The window the user sees during a firmware update: a frameless rounded white panel with a line of text and
// a thin progress bar along which a slider picture moves.
//
// Threads: GUI thread only; the updaters reach its slots through signal connections.
class HProcessBar : public QWidget
{
    Q_OBJECT
public:
    explicit HProcessBar(QWidget* parent = nullptr);
    ~HProcessBar() override;

    QProgressBar* progressBar() const { return m_progressBar; }
    QLabel* textLabel() const { return m_textLabel; }
    QLabel* sliderLabel() const { return m_sliderLabel; }

public slots:
    void getProgress(int value, int totleValue);
    void getTitle(QString title);
    // Builds the window; the updater shows it right after.
    void showWindow();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_firstProgress = true;
    QProgressBar* m_progressBar = nullptr;
    QLabel* m_textLabel = nullptr;
    QLabel* m_sliderLabel = nullptr;
    int m_sliderX = 40;
    double m_percent = 0.0;
};
