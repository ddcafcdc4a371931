#include "app/KResolution.h"

#include "common/UiScale.h"

#include <QFont>
#include <QFontMetrics>

namespace {

enum class Unit { Point, Pixel };

QRect measure(const QString& text, Unit unit, int size, const QString& family)
{
    QFont font;
    font.setFamily(family);
    // A font size must be positive; a caller's 0 or negative size measures at the smallest one.
    if (unit == Unit::Point)
        font.setPointSize(qMax(1, size));
    else
        font.setPixelSize(qMax(1, size));
    return QFontMetrics(font).boundingRect(text);
}

Unit unitOf(const QString& fontSize)
{
    return fontSize == QLatin1String("pointSize") ? Unit::Point : Unit::Pixel;
}

} // namespace

KResolution::KResolution(QObject* parent)
    : QObject(parent)
{
}

int KResolution::getScaleLength(int length) const
{
    return UiScale::scaleLength(m_scale, length);
}

int KResolution::getLabelWidth(QString str, int rows, QString fontSize, int size, QString fontName) const
{
    return measure(str, unitOf(fontSize), size, fontName).width() / qMax(1, rows);
}

int KResolution::getLabelHeight(QString str, int rows, QString fontSize, int size, QString fontName) const
{
    return measure(str, unitOf(fontSize), size, fontName).height() * rows;
}

int KResolution::getStringWidth_Pixel(QString str, int pixelSize, QString fontName) const
{
    return measure(str, Unit::Pixel, pixelSize, fontName).width();
}

int KResolution::getStringHeight_Pixel(QString str, int pixelSize, QString fontName) const
{
    return measure(str, Unit::Pixel, pixelSize, fontName).height();
}

int KResolution::getStringWidth(QString str, int pointSize, QString fontName) const
{
    return measure(str, Unit::Point, pointSize, fontName).width();
}

int KResolution::getStringHeight(QString str, int pointSize, QString fontName) const
{
    return measure(str, Unit::Point, pointSize, fontName).height();
}
