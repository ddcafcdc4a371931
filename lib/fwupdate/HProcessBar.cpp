#include "HProcessBar.h"

#include <QDebug>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>

namespace {

constexpr int kWidth = 606;
constexpr int kHeight = 230;
constexpr int kSliderLeft = 40;
constexpr int kSliderY = 74;
constexpr int kTrackWidth = 504;
constexpr int kSliderHeight = 38;

} // namespace

HProcessBar::HProcessBar(QWidget* parent)
    : QWidget(parent)
{
}

HProcessBar::~HProcessBar() = default;

void HProcessBar::showWindow()
{
    m_firstProgress = true;
    setAutoFillBackground(true);
    setWindowFlags(Qt::FramelessWindowHint);
    setFixedSize(kWidth, kHeight);
    setAttribute(Qt::WA_TranslucentBackground);

    if (!m_progressBar)
        m_progressBar = new QProgressBar(this);
    m_progressBar->setOrientation(Qt::Horizontal);
    m_progressBar->setGeometry(59, 91, kTrackWidth, 4);
    m_progressBar->setMinimum(0);
    m_progressBar->setTextVisible(false);
    setStyleSheet(styleSheet()
                  + QStringLiteral("QProgressBar{ border: 3px ; border-radius: 5px; background-color:#B2D4D9; "
                                   "opacity:0.5;}QProgressBar:chunk{ background-color:#6DECFF; width:4px;}"));

    if (!m_textLabel)
        m_textLabel = new QLabel(this);
    const QString text = tr("Firmware upgrade please wait...Do not unplug the device");
    QFont font;
    font.setPointSize(15);
    m_textLabel->setFont(font);
    m_textLabel->setText(text);
    const int textWidth = QFontMetrics(font).boundingRect(text).width();
    m_textLabel->setGeometry((kWidth - textWidth) / 2, 146, textWidth, 16);
    m_textLabel->setAlignment(Qt::AlignHCenter);
    m_textLabel->setStyleSheet(QStringLiteral("QLabel{ font-size: 15px; color:#626262; }"));

    if (!m_sliderLabel)
        m_sliderLabel = new QLabel(this);
    m_sliderX = kSliderLeft;
    m_sliderLabel->setGeometry(kSliderLeft, kSliderY, kTrackWidth, kSliderHeight);
    m_sliderLabel->setPixmap(QPixmap(QStringLiteral(":/slider_point.png")));
    qDebug() << "init window";
}

void HProcessBar::getProgress(int value, int totleValue)
{
    qDebug() << "HProgress" << "value:" << value << "totleValue:" << totleValue;
    if (!m_progressBar)
        return;
    if (totleValue != 0 && m_firstProgress) {
        m_progressBar->setMaximum(totleValue);
        m_firstProgress = false;
    }
    m_progressBar->setValue(value);
    const int minimum = m_progressBar->minimum();
    const int maximum = m_progressBar->maximum();
    // A bar that has no value yet (or an empty range) has no meaningful percent; it stays where it was.
    if (maximum != minimum && m_progressBar->value() >= minimum)
        m_percent = (m_progressBar->value() - minimum) * 100.0 / (maximum - minimum);
    m_progressBar->setFormat(QString::number(m_percent, 'f', 1));
    m_sliderX = kSliderLeft + int(m_percent * 5.04);
    if (m_sliderLabel)
        m_sliderLabel->setGeometry(m_sliderX, kSliderY, kTrackWidth, kSliderHeight);
}

void HProcessBar::getTitle(QString title)
{
    qDebug() << "HProgress title:" << title;
    setWindowTitle(title);
}

void HProcessBar::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event)
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QBrush(Qt::white));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRect(0, 0, width() - 1, height() - 1), 6, 6);
}
