#pragma once

#include <QObject>

// The pressed state of one PC-keyboard key, shown by the key-press preview.
class HKey : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool isDown READ getIsDown WRITE setIsDown NOTIFY isDownChanged)

public:
    explicit HKey(QObject* parent = nullptr);
    HKey(const int& key, bool extended, bool isDown, QObject* parent = nullptr);

    int getKey() const { return m_key; }
    bool getExtended() const { return m_extended; }
    bool getIsDown() const { return m_isDown; }
    // QML writes pass notify false; the key-press preview passes true.
    void setIsDown(bool value, bool notify = false);

signals:
    void isDownChanged();

private:
    int m_key = 0;          // virtual-key code
    bool m_extended = false;
    bool m_isDown = false;
};
