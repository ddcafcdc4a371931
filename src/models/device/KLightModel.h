#pragma once

#include "hid/HWork.h"

#include <QJsonObject>
#include <QObject>

class KLightModelItem;

// The lighting of the current device ("g_lightModel"): its light zones, filled from the device's layout
// document (effects with their speed and brightness flags and button positions, ranges, colour swatches,
// presets, operating modes, zone names). Current light values are not read from the device here: they come
// from the profile shown, the zones' own writes and the device's change reports.
//
// `logo` is the main zone (the keyboard's lighting) and `wheel` the second; the UI manager creates both as
// children of this model. `other1` and `other2` are spare slots.
//
// Threads: GUI thread only; the layout is read on the pool through the model's HWork.
class KLightModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int number READ number WRITE setNumber NOTIFY numberChanged)
    Q_PROPERTY(KLightModelItem* wheel READ wheel WRITE setWheel NOTIFY wheelChanged)
    Q_PROPERTY(KLightModelItem* logo READ logo WRITE setLogo NOTIFY logoChanged)
    Q_PROPERTY(KLightModelItem* other1 READ other1 WRITE setOther1 NOTIFY other1Changed)
    Q_PROPERTY(KLightModelItem* other2 READ other2 WRITE setOther2 NOTIFY other2Changed)

public:
    explicit KLightModel(QObject* parent = nullptr);
    ~KLightModel() override;

    int number() const { return m_number; }
    KLightModelItem* wheel() const { return m_wheel; }
    KLightModelItem* logo() const { return m_logo; }
    KLightModelItem* other1() const { return m_other1; }
    KLightModelItem* other2() const { return m_other2; }

    void setNumber(int number) { m_number = number; }
    void setWheel(KLightModelItem* item) { m_wheel = item; }
    void setLogo(KLightModelItem* item) { m_logo = item; }
    void setOther1(KLightModelItem* item) { m_other1 = item; }
    void setOther2(KLightModelItem* item) { m_other2 = item; }

signals:
    void numberChanged();
    void wheelChanged();
    void logoChanged();
    void other1Changed();
    void other2Changed();
    void sig_uiModelChange(QJsonObject layout);

public slots:
    // Reads the current device's layout document.
    void deviceDataChange();
    // Fills the zones from the layout's "light" object; every zone property set here announces itself.
    void slot_uiModelChange(QJsonObject layout);

private:
    HWork m_work;
    int m_number = 4;
    KLightModelItem* m_wheel = nullptr;
    KLightModelItem* m_logo = nullptr;
    KLightModelItem* m_other1 = nullptr;
    KLightModelItem* m_other2 = nullptr;
};
