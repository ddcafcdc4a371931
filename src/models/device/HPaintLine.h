#pragma once

#include <QColor>
#include <QLine>
#include <QPen>
#include <QQuickPaintedItem>
#include <QRectF>
#include <QVector>

// Dashed separator and guide lines of the pages (QML type "PaintLine" of "PaintLine" 1.0): a document sets the
// colour and pen width and adds lines; every line added is drawn, in one colour, dashed, with rounded ends.
// Lines are never removed.
//
// Threads: GUI thread.
class HPaintLine : public QQuickPaintedItem
{
    Q_OBJECT
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(int penWidth READ penWidth WRITE setPenWidth NOTIFY penWidthChanged)
    Q_PROPERTY(QRectF rect READ rect WRITE setRect NOTIFY rectChanged)
    Q_PROPERTY(QLine line READ line WRITE setLine NOTIFY lineChanged)

public:
    // Lines added at once by setLine and setLineSpace, and the spacing of setLine.
    static constexpr int kLineCount = 7;
    static constexpr int kLineSpacing = 32;

    explicit HPaintLine(QQuickItem* parent = nullptr);
    ~HPaintLine() override;

    void paint(QPainter* painter) override;

    QColor color() const { return m_color; }
    int penWidth() const { return m_penWidth; }
    QRectF rect() const { return m_rect; }
    // The last line added.
    QLine line() const { return m_line; }
    QVector<QLine> lines() const { return m_lines; }

    void setColor(const QColor& color);
    void setPenWidth(int width);
    // Stored only (painting does not use it), and repaints.
    void setRect(const QRectF& rect);
    // Adds the line.
    void setLine(const QLine& line);

    Q_INVOKABLE void setColor(int r, int g, int b, int a);
    Q_INVOKABLE void setColor(int r, int g, int b);
    Q_INVOKABLE void setOneLine(int x1, int y1, int x2, int y2);
    Q_INVOKABLE void setSingleLine(int x1, int y1, int x2, int y2);
    // Seven lines, 32 units apart vertically.
    Q_INVOKABLE void setLine(int x1, int y1, int x2, int y2);
    // Seven lines, spacing units apart vertically.
    Q_INVOKABLE void setLineSpace(int x1, int y1, int x2, int y2, int spacing);

signals:
    void colorChanged();
    void penWidthChanged();
    void rectChanged();
    void lineChanged();

private:
    QColor m_color;
    int m_penWidth = 0;
    QRectF m_rect;
    QLine m_line;
    QVector<QLine> m_lines;
    QPen m_pen;
};
