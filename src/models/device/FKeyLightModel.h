#pragma once

#include "hid/HWork.h"
#include "models/device/DeviceWriteQueue.h"

#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QVariantList>

class FKeyLightModelItem;
class KBaseDevice;

// The keyboard's per-key light: one item per key of the device layout with its brightness and colour, the
// brightness range of a key and the colour of the key selected in the user interface ("f_keyLightModel").
// The key list model hands its list and range to the pages. Writes go to the current device one at a time,
// in the order they were made; each confirmed write shows in the key's item and is saved into the current
// profile.
//
// The items are children of the model and are found by their key (the layout lists keys in its own order).
// A rebuild announces the new list and frees the old items once the event loop has moved on, so that views
// still holding them read them safely until they re-read the list.
//
// Threads: GUI thread only; device calls run on the pool through the model's HWork. Owned by the UI manager.
class FKeyLightModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QVariantList keyLightList READ keyLightList WRITE setKeyLightList NOTIFY keyLightListChanged)
    Q_PROPERTY(int maxValue READ maxValue WRITE setMaxValue NOTIFY maxValueChanged)
    Q_PROPERTY(int minValue READ minValue WRITE setMinValue NOTIFY minValueChanged)
    Q_PROPERTY(QString currentColor READ currentColor WRITE setCurrentColor NOTIFY currentColorChanged)

public:
    explicit FKeyLightModel(QObject* parent = nullptr);
    ~FKeyLightModel() override;

    QVariantList keyLightList() const { return m_keyLightList; }
    int maxValue() const { return m_maxValue; }
    int minValue() const { return m_minValue; }
    QString currentColor() const { return m_currentColor; }

    // The list's signal only with notify (QML writes pass false); the other setters always signal.
    void setKeyLightList(const QVariantList& list, bool notify = false);
    void setMaxValue(int value);
    void setMinValue(int value);
    void setCurrentColor(const QString& color);

    // The item of a key; null when the list holds none.
    FKeyLightModelItem* itemOfKey(int key) const;

    // Makes currentColor show a key's colour, reading the device when the item does not hold it already
    // (color is what the page shows now, with "#"). Key -1 shows black.
    Q_INVOKABLE void getCurrentKeyColor(int key, QString color);
    // Writes one key's colour (six hex digits, "#" allowed). False when refused before anything was sent.
    Q_INVOKABLE bool writeKeyColor(int key, QString color);
    // Writes one key's brightness level (within minValue..maxValue). False when refused before anything was
    // sent.
    Q_INVOKABLE bool writeKeyBrightness(int key, int brightness);

signals:
    void keyLightListChanged();
    void maxValueChanged();
    void minValueChanged();
    void currentColorChanged();
    void sig_uiModelChange(QJsonObject layout);

public slots:
    // Reads the current device's layout and rebuilds the items for its keys.
    void deviceDataChange();
    // The brightness range from a layout document.
    void slot_uiModelChange(QJsonObject layout);

private:
    void takeRange(const QJsonObject& layout);
    void rebuildItems(const QJsonObject& layout);
    // A write that may start: a known key and a device to send it to; null (and a log line) otherwise.
    KBaseDevice* deviceForKeyWrite(int key, const char* what) const;
    static void keyEvent(int key, const QString& label);

    HWork m_work;
    DeviceWriteQueue m_writes;
    QVariantList m_keyLightList;
    int m_maxValue = 10;
    int m_minValue = 0;
    QString m_currentColor;
};
