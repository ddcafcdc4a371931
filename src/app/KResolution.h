#pragma once

#include <QObject>
#include <QString>

// The one scale factor of every length the interface lays out, and text metrics for sizing labels to their
// translated texts. Published to QML as "g_resolution".
//
// Threads: GUI thread only (font metrics need the GUI application). Owned by the UI manager.
class KResolution : public QObject
{
    Q_OBJECT
public:
    explicit KResolution(QObject* parent = nullptr);

    float getScale() const { return m_scale; }
    void setScale(const float& scale) { m_scale = scale; }

    // length times the factor, truncated toward zero.
    Q_INVOKABLE int getScaleLength(int length) const;

    // Width of str divided by rows (rows below 1 count as 1); fontSize "pointSize" measures at a point size,
    // any other text at a pixel size.
    Q_INVOKABLE int getLabelWidth(QString str, int rows = 1, QString fontSize = QStringLiteral("pointSize"),
                                  int size = 14, QString fontName = QStringLiteral("sansCNFamily")) const;
    // Height of str times rows.
    Q_INVOKABLE int getLabelHeight(QString str, int rows = 1, QString fontSize = QStringLiteral("pointSize"),
                                   int size = 14, QString fontName = QStringLiteral("sansCNFamily")) const;
    Q_INVOKABLE int getStringWidth_Pixel(QString str, int pixelSize = 14,
                                         QString fontName = QStringLiteral("sansCNFamily")) const;
    Q_INVOKABLE int getStringHeight_Pixel(QString str, int pixelSize = 14,
                                          QString fontName = QStringLiteral("sansCNFamily")) const;
    Q_INVOKABLE int getStringWidth(QString str, int pointSize = 14,
                                   QString fontName = QStringLiteral("sansCNFamily")) const;
    Q_INVOKABLE int getStringHeight(QString str, int pointSize = 14,
                                    QString fontName = QStringLiteral("sansCNFamily")) const;

private:
    float m_scale = 1.0f;
};
