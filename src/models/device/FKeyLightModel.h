#pragma once

#include <QObject>
#include <QString>
#include <QVariantList>

// The keyboard's per-key light: one item per key of the device layout with its brightness and colour, the
// brightness range of a key and the colour of the key selected in the user interface ("f_keyLightModel").
// The key list model hands its list and range to the pages.
//
// Threads: GUI thread only. Owned by the UI manager.
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

signals:
    void keyLightListChanged();
    void maxValueChanged();
    void minValueChanged();
    void currentColorChanged();

private:
    QVariantList m_keyLightList;
    int m_maxValue = 10;
    int m_minValue = 0;
    QString m_currentColor;
};
