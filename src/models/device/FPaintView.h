#pragma once

#include <QFont>
#include <QImage>
#include <QPointF>
#include <QQuickPaintedItem>
#include <QString>
#include <QVector>

// The picture editor of the device's screen (QML type "FPaintView" of "Model" 1.0): freehand strokes drawn with
// the left mouse button, an opened picture as background and one centred line of text. The picture is kept at
// the screen's own resolution (oledWidth / ratio by oledHight / ratio pixels) and shown enlarged by ratio, so
// that every screen pixel is a visible block; savePicture writes it as the BMP file the device uploads.
//
// Threads: GUI thread; the software scene graph paints it there too (the picture is a QImage, which any
// thread may paint).
class FPaintView : public QQuickPaintedItem
{
    Q_OBJECT
    Q_PROPERTY(bool paintState READ paintState WRITE setPaintState NOTIFY paintStateChanged)
    Q_PROPERTY(int oledWidth READ oledWidth WRITE setOledWidth NOTIFY oledWidthChanged)
    Q_PROPERTY(int oledHight READ oledHight WRITE setOledHight NOTIFY oledHightChanged)
    Q_PROPERTY(double ratio READ ratio WRITE setRatio NOTIFY ratioChanged)

public:
    explicit FPaintView(QQuickItem* parent = nullptr);
    ~FPaintView() override;

    void paint(QPainter* painter) override;

    bool paintState() const { return m_paintState; }
    int oledWidth() const { return m_oledWidth; }
    int oledHight() const { return m_oledHight; }
    double ratio() const { return m_ratio; }
    // Each setter stores and announces. A ratio that is not a positive number is refused: the stored one
    // stays and is announced again.
    Q_INVOKABLE void setPaintState(bool state);
    Q_INVOKABLE void setOledWidth(int width);
    Q_INVOKABLE void setOledHight(int height);
    Q_INVOKABLE void setRatio(double ratio);

    // The picture at the screen's resolution, as it is painted now.
    QSize screenSize() const;
    QImage renderPicture() const;

    Q_INVOKABLE void undo();
    Q_INVOKABLE void clear();
    // A picture (path or file URL) as background; a non-empty one also removes the strokes. Starts drawing.
    Q_INVOKABLE void openPicture(QString path);
    // Saves the picture as BMP at path (a path or file URL; empty: the file the device uploads).
    Q_INVOKABLE bool savePicture(QString path);
    Q_INVOKABLE void textInput(QString text);

signals:
    void paintStateChanged();
    void oledWidthChanged();
    void oledHightChanged();
    void ratioChanged();

public slots:
    // Chooses ratio and canvas from the UI scale and the current device's screen.
    void deviceChanged();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void addPoint(QMouseEvent* event);

    bool m_paintState = false;
    // A stroke is being drawn: the press came while drawing was on.
    bool m_pressed = false;
    int m_oledWidth = 0;
    int m_oledHight = 0;
    double m_ratio = 1.0;
    QVector<QVector<QPointF>> m_strokes;
    QString m_picturePath;
    QString m_text;
    QFont m_font;
};
