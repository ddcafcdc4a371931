#pragma once

#include <QObject>

// The one scale factor of every length the interface lays out, published to QML as "g_resolution".
//
// Threads: GUI thread only. Owned by the UI manager.
class KResolution : public QObject
{
    Q_OBJECT
public:
    explicit KResolution(QObject* parent = nullptr);

    float getScale() const { return m_scale; }
    void setScale(const float& scale) { m_scale = scale; }

    // length times the factor, truncated toward zero.
    Q_INVOKABLE int getScaleLength(int length) const;

private:
    float m_scale = 1.0f;
};
