#pragma once

#include "models/keys/KKey.h"

#include <QMap>
#include <QMetaType>
#include <QObject>
#include <QString>

// The light of one key: its id, brightness level and colour as six hex digits without "#". Copies carry no
// parent, so a map of items read on a pool thread can travel to the GUI thread by value.
class FKeyLightModelItem : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int key READ key WRITE setKey NOTIFY keyChanged)
    Q_PROPERTY(int brightness READ brightness WRITE setBrightness NOTIFY brightnessChanged)
    Q_PROPERTY(QString color READ color WRITE setColor NOTIFY colorChanged)

public:
    explicit FKeyLightModelItem(QObject* parent = nullptr);
    FKeyLightModelItem(int key, int brightness, QString color, QObject* parent = nullptr);
    FKeyLightModelItem(const FKeyLightModelItem& other);
    FKeyLightModelItem& operator=(const FKeyLightModelItem& other);
    ~FKeyLightModelItem() override;

    int key() const { return m_key; }
    int brightness() const { return m_brightness; }
    QString color() const { return m_color; }

    // The change signal is emitted only with notify; QML and the device drivers write without it.
    void setKey(int key, bool notify = false);
    void setBrightness(int brightness, bool notify = false);
    void setColor(QString color, bool notify = false);

signals:
    void keyChanged();
    void brightnessChanged();
    void colorChanged();

private:
    int m_key = 0;
    int m_brightness = 0;
    QString m_color;
};

// Per-key light of a whole device, by key.
using H_KEYLIGHT = QMap<KKey, FKeyLightModelItem>;

Q_DECLARE_METATYPE(FKeyLightModelItem)
