#pragma once

#include "hid/HWork.h"
#include "models/device/DeviceWriteQueue.h"

#include <QJsonObject>
#include <QObject>
#include <QVector>

class KBaseDevice;

// The DPI stages of the current mouse ("g_dpiModel"): how many stages it has, the DPI of each, which are
// switched on, which is current, and the allowed values (range, step or the layout's own list). The pages
// edit stage values, switch stages on and off and pick the current stage; the model writes the device and,
// after each successful write, saves the DPI section of the current profile.
//
// Two stage counts are in play: the model's stage index counts every stage (currentIndex), the device's
// counts only the switched-on ones. Stage i is device index "switched-on stages before i"; device index d is
// the (d+1)-th switched-on stage.
//
// Stage values and switches come from the profile and the user, never from the device or the layout; the
// layout gives the number of stages and sizes both lists to it. Every access is bounded by the lists' own
// sizes, so a profile with another count cannot make the model reach past them.
//
// WRITE accessors only store, except setEnable (always signals) and setValues (see there).
//
// Threads: GUI thread only; device calls run on the pool through the model's HWork. Owned by the UI manager.
class KDpiModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int number READ number WRITE setNumber NOTIFY numberChanged)
    Q_PROPERTY(int currentIndex READ currentIndex WRITE setCurrentIndex NOTIFY currentIndexChanged)
    Q_PROPERTY(int minValue READ minValue WRITE setMinValue NOTIFY minValueChanged)
    Q_PROPERTY(int maxValue READ maxValue WRITE setMaxValue NOTIFY maxValueChanged)
    Q_PROPERTY(int stepValue READ stepValue WRITE setStepValue NOTIFY stepValueChanged)
    Q_PROPERTY(int type READ type WRITE setType NOTIFY typeChanged)
    Q_PROPERTY(QVector<int> optionalValue READ optionalValue WRITE setOptionalValue NOTIFY optionalValueChanged)
    Q_PROPERTY(QVector<int> values READ values WRITE setValues NOTIFY valuesChanged)
    Q_PROPERTY(QVector<bool> enable READ enable WRITE setEnable NOTIFY enableChanged)

public:
    // More stages than any mouse has: a layout asking for more is not taken.
    static constexpr int kMaxStages = 32;

    explicit KDpiModel(QObject* parent = nullptr);
    ~KDpiModel() override;

    int number() const { return m_number; }
    int currentIndex() const { return m_currentIndex; }
    int minValue() const { return m_minValue; }
    int maxValue() const { return m_maxValue; }
    int stepValue() const { return m_stepValue; }
    int type() const { return m_type; }
    QVector<int> optionalValue() const { return m_optionalValue; }
    QVector<int> values() const { return m_values; }
    QVector<bool> enable() const { return m_enable; }

    void setNumber(int number) { m_number = number; }
    void setCurrentIndex(int index) { m_currentIndex = index; }
    void setMinValue(int value) { m_minValue = value; }
    void setMaxValue(int value) { m_maxValue = value; }
    void setStepValue(int value) { m_stepValue = value; }
    void setType(int type) { m_type = type; }
    void setOptionalValue(const QVector<int>& values) { m_optionalValue = values; }
    // Switches off every stage whose new value is 0 (signalling each), then stores the list cut or padded
    // with 0 to `number` entries. No valuesChanged.
    void setValues(const QVector<int>& values);
    // Stores the switches as given (a profile's count may differ from the layout's) and signals. A stage
    // without a switch counts as switched off.
    void setEnable(const QVector<bool>& enable);

    // The device's index of stage `stage` (the switched-on stages before it); -1 outside the stages.
    int deviceIndexOfStage(int stage) const;
    // The stage at which the (deviceIndex+1)-th switched-on stage stands; -1 when there are not that many.
    int stageOfDeviceIndex(int deviceIndex) const;

    // Change one stage's DPI (clamped to the range).
    Q_INVOKABLE bool setDpi(int index, int value, bool write = true);
    // Switch a stage on or off; index counts from 1.
    Q_INVOKABLE bool selectDpi(int index, bool write = true);
    // The allowed value nearest to target (the lower one on a tie).
    Q_INVOKABLE int contrastDpi(int target);
    // The allowed value one step up (value > present) or down from the stage's present DPI.
    Q_INVOKABLE int buttonChangeDpi(int value, int present);
    // A typed value snapped to an allowed one; the second argument is not used.
    Q_INVOKABLE int textChangeDpi(int value, int stepValue);
    Q_INVOKABLE int textChangeDpi(int value);
    // Make a stage current.
    Q_INVOKABLE bool writeCurrentDpi(int index, bool write = true);

signals:
    void numberChanged();
    void currentIndexChanged();
    void minValueChanged();
    void maxValueChanged();
    void stepValueChanged();
    void typeChanged();
    void optionalValueChanged();
    void valuesChanged();
    void enableChanged();
    void sig_uiModelChange(QJsonObject obj);

public slots:
    // Reads the current device's layout document.
    void deviceDataChange();
    // Asks the device for its current stage and waits for the answer (bounded).
    void currentIndexChange();
    // The device reports its current stage, counted among the switched-on stages.
    void getCurrentDPIChange(int index);
    // Range, step, type, allowed values and number of stages from a layout document.
    void slot_uiModelChange(QJsonObject obj);

private:
    static bool hasCurrentDpi();
    void resizeStages();
    // Makes QML re-read one stage's value (or the current stage) by passing through a value it cannot hold.
    void refreshValue(int index, int value);
    void refreshCurrentIndex(int index);
    void restoreEnable(int stage, bool kept);
    // After a switch was written: the device's current stage becomes the model's, then the profile.
    void readBackCurrentStage(KBaseDevice* device);
    void writeStageList(KBaseDevice* device, int stage, bool kept);
    void stageSwitchFailed(const char* log, int stage, bool kept);


    HWork m_work;
    int m_number = 7;
    int m_currentIndex = -1;
    int m_minValue = 100;
    int m_maxValue = 19000;
    int m_stepValue = 50;
    int m_type = 0;
    QVector<int> m_optionalValue;
    QVector<int> m_values{500, 1000, 1500, 2000, 3000, 8000, 19000};
    QVector<bool> m_enable = QVector<bool>(7, true);
    DeviceWriteQueue m_writes;
};
