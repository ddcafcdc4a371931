#include "models/device/HPaintLine.h"

#include <QPainter>

HPaintLine::HPaintLine(QQuickItem* parent)
    : QQuickPaintedItem(parent)
{
}

HPaintLine::~HPaintLine() = default;

void HPaintLine::setColor(const QColor& color)
{
    m_color = color;
    emit colorChanged();
}

void HPaintLine::setColor(int r, int g, int b, int a)
{
    setColor(QColor(r, g, b, a));
}

void HPaintLine::setColor(int r, int g, int b)
{
    setColor(QColor(r, g, b, 255));
}

void HPaintLine::setPenWidth(int width)
{
    m_penWidth = width;
    emit penWidthChanged();
}

void HPaintLine::setRect(const QRectF& rect)
{
    m_rect = rect;
    emit rectChanged();
    update();
}

void HPaintLine::setLine(const QLine& line)
{
    m_line = line;
    emit lineChanged();
    m_lines.append(line);
}

void HPaintLine::setOneLine(int x1, int y1, int x2, int y2)
{
    setLine(QLine(x1, y1, x2, y2));
}

void HPaintLine::setSingleLine(int x1, int y1, int x2, int y2)
{
    setLine(QLine(x1, y1, x2, y2));
}

void HPaintLine::setLine(int x1, int y1, int x2, int y2)
{
    setLineSpace(x1, y1, x2, y2, kLineSpacing);
}

void HPaintLine::setLineSpace(int x1, int y1, int x2, int y2, int spacing)
{
    for (int k = 0; k < kLineCount; ++k)
        setLine(QLine(x1, y1 + spacing * k, x2, y2 + spacing * k));
}

void HPaintLine::paint(QPainter* painter)
{
    m_pen.setStyle(Qt::CustomDashLine);
    m_pen.setDashPattern({2, 2});
    m_pen.setCapStyle(Qt::RoundCap);
    m_pen.setJoinStyle(Qt::RoundJoin);
    m_pen.setWidth(m_penWidth);
    m_pen.setBrush(QBrush(m_color, Qt::SolidPattern));
    painter->setPen(m_pen);
    painter->drawLines(m_lines);
}
