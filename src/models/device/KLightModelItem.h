#pragma once

#include "hid/HWork.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

class KBaseDevice;

// One light zone of the device as the lighting pages see it: its effect, speed, brightness and colour, the
// effects and presets offered, the logo effect, the operating mode, direction and monochromatic switch.
//
// Each write invokable either updates only the item (write false) or sends the value to the current device
// on the item's own executor, with the busy indicator up, and handles the outcome here: the property, the
// device warning after a failure, an analytics event and, after a success, the section of the current
// profile. The zone (0 main light, 1 wheel) is not stored: QML passes it with each write.
//
// A WRITE accessor stores silently unless notify is true, so QML writes never announce; program code passes
// true. After a refused or failed write the NOTIFY signal is emitted so that the controls show the kept value.
//
// Threads: GUI thread only; the device operations run on the pool through the item's HWork.
class KLightModelItem : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString name READ name WRITE setName NOTIFY nameChanged)
    Q_PROPERTY(int model READ model WRITE setModel NOTIFY modelChanged)
    Q_PROPERTY(int speed READ speed WRITE setSpeed NOTIFY speedChanged)
    Q_PROPERTY(int brightness READ brightness WRITE setBrightness NOTIFY brightnessChanged)
    Q_PROPERTY(int shortCutModel READ shortCutModel WRITE setShortCutModel NOTIFY shortCutModelChanged)
    Q_PROPERTY(int oledBrightness READ oledBrightness WRITE setOledBrightness NOTIFY oledBrightnessChanged)
    Q_PROPERTY(QString color READ color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(int brightnessMax READ brightnessMax WRITE setBrightnessMax NOTIFY brightnessMaxChanged)
    Q_PROPERTY(int brightnessMin READ brightnessMin WRITE setBrightnessMin NOTIFY brightnessMinChanged)
    Q_PROPERTY(int speedMax READ speedMax WRITE setSpeedMax NOTIFY speedMaxChanged)
    Q_PROPERTY(int speedMin READ speedMin WRITE setSpeedMin NOTIFY speedMinChanged)
    Q_PROPERTY(QVector<QString> defaultColor READ defaultColor WRITE setDefaultColor NOTIFY defaultColorChanged)
    Q_PROPERTY(QVector<int> index READ index WRITE setIndex NOTIFY indexChanged)
    Q_PROPERTY(QVector<QString> text READ text WRITE setText NOTIFY textChanged)
    Q_PROPERTY(QVector<bool> speedState READ speedState WRITE setSpeedState NOTIFY speedStateChanged)
    Q_PROPERTY(QVector<bool> brightnessState READ brightnessState WRITE setBrightnessState NOTIFY brightnessStateChanged)
    Q_PROPERTY(QStringList modelStrList READ modelStrList WRITE setModelStrList NOTIFY modelStrListChanged)
    Q_PROPERTY(QVector<int> modelStrWidth READ modelStrWidth WRITE setModelStrWidth NOTIFY modelStrWidthChanged)
    Q_PROPERTY(QStringList shortCutStrList READ shortCutStrList WRITE setShortCutStrList NOTIFY shortCutStrListChanged)
    Q_PROPERTY(int logoModel READ logoModel WRITE setLogoModel NOTIFY logoModelChanged)
    Q_PROPERTY(QVector<int> lightBtnX READ lightBtnX WRITE setLightBtnX NOTIFY lightBtnXChanged)
    Q_PROPERTY(QVector<int> lightBtnY READ lightBtnY WRITE setLightBtnY NOTIFY lightBtnYChanged)
    Q_PROPERTY(QStringList logoModeText READ logoModeText WRITE setLogoModeText NOTIFY logoModeTextChanged)
    Q_PROPERTY(bool hasOperatingMode READ hasOperatingMode WRITE setHasOperatingMode NOTIFY hasOperatingModeChanged)
    Q_PROPERTY(int operatingMode READ operatingMode WRITE setOperatingMode NOTIFY operatingModeChanged)
    Q_PROPERTY(QStringList operatingModeList READ operatingModeList WRITE setOperatingModeList NOTIFY operatingModeListChanged)
    Q_PROPERTY(bool lightDirection READ lightDirection WRITE setLightDirection NOTIFY lightDirectionChanged)
    Q_PROPERTY(bool lightMonochromatic READ lightMonochromatic WRITE setLightMonochromatic NOTIFY lightMonochromaticChanged)

public:
    enum LightModel_Farrant { OFF = 0, ON = 1, Breath = 2, Apm = 3, Spectrum_cycle = 4 };
    Q_ENUM(LightModel_Farrant)

    explicit KLightModelItem(QObject* parent = nullptr);
    ~KLightModelItem() override;

    QString name() const { return m_name; }
    int model() const { return m_model; }
    int speed() const { return m_speed; }
    int brightness() const { return m_brightness; }
    int shortCutModel() const { return m_shortCutModel; }
    int oledBrightness() const { return m_oledBrightness; }
    QString color() const { return m_color; }
    int brightnessMax() const { return m_brightnessMax; }
    int brightnessMin() const { return m_brightnessMin; }
    int speedMax() const { return m_speedMax; }
    int speedMin() const { return m_speedMin; }
    QVector<QString> defaultColor() const { return m_defaultColor; }
    QVector<int> index() const { return m_index; }
    QVector<QString> text() const { return m_text; }
    QVector<bool> speedState() const { return m_speedState; }
    QVector<bool> brightnessState() const { return m_brightnessState; }
    QStringList modelStrList() const { return m_modelStrList; }
    QVector<int> modelStrWidth() const { return m_modelStrWidth; }
    QStringList shortCutStrList() const { return m_shortCutStrList; }
    int logoModel() const { return m_logoModel; }
    QVector<int> lightBtnX() const { return m_lightBtnX; }
    QVector<int> lightBtnY() const { return m_lightBtnY; }
    QStringList logoModeText() const { return m_logoModeText; }
    bool hasOperatingMode() const { return m_hasOperatingMode; }
    int operatingMode() const { return m_operatingMode; }
    QStringList operatingModeList() const { return m_operatingModeList; }
    bool lightDirection() const { return m_lightDirection; }
    bool lightMonochromatic() const { return m_lightMonochromatic; }

    void setName(const QString& value, bool notify = false);
    void setModel(int value, bool notify = false);
    void setSpeed(int value, bool notify = false);
    void setBrightness(int value, bool notify = false);
    void setShortCutModel(int value, bool notify = false);
    void setOledBrightness(int value, bool notify = false);
    void setColor(const QString& value, bool notify = false);
    void setBrightnessMax(int value, bool notify = false);
    void setBrightnessMin(int value, bool notify = false);
    void setSpeedMax(int value, bool notify = false);
    void setSpeedMin(int value, bool notify = false);
    void setDefaultColor(const QVector<QString>& value, bool notify = false);
    void setIndex(const QVector<int>& value, bool notify = false);
    void setText(const QVector<QString>& value, bool notify = false);
    void setSpeedState(const QVector<bool>& value, bool notify = false);
    void setBrightnessState(const QVector<bool>& value, bool notify = false);
    void setModelStrList(const QStringList& value, bool notify = false);
    void setModelStrWidth(const QVector<int>& value, bool notify = false);
    void setShortCutStrList(const QStringList& value, bool notify = false);
    void setLogoModel(int value, bool notify = false);
    void setLightBtnX(const QVector<int>& value, bool notify = false);
    void setLightBtnY(const QVector<int>& value, bool notify = false);
    void setLogoModeText(const QStringList& value, bool notify = false);
    void setHasOperatingMode(bool value, bool notify = false);
    void setOperatingMode(int value, bool notify = false);
    void setOperatingModeList(const QStringList& value, bool notify = false);
    void setLightDirection(bool value, bool notify = false);
    void setLightMonochromatic(bool value, bool notify = false);

    Q_INVOKABLE bool writeRGB(int r, int g, int b, int mode, bool write = true);
    Q_INVOKABLE bool writeSpeed(int speed, int mod, bool write = true);
    Q_INVOKABLE bool writeBrightness(int brightness, int mode, bool write = true);
    Q_INVOKABLE bool writeModel(int model, int mode, bool write = true);
    Q_INVOKABLE bool writeShortCutModel(int model, bool write = true);
    Q_INVOKABLE bool writeLogoModel(int model, bool write = true);
    Q_INVOKABLE bool writeOperatingMode(int mode, bool write = true);
    Q_INVOKABLE bool writeLightDirection(bool lightDirection, bool write = true);
    Q_INVOKABLE bool writeLightMonochromatic(bool lightMonochromatic, bool write = true);
    // Six lower-case hex digits, two per channel, no "#"; no range test.
    Q_INVOKABLE QString changeRGBToText(int r, int g, int b, bool write = true);
    // Hex pairs of each comma-separated part of text ("#" removed); a pair that is no hex number gives 0.
    Q_INVOKABLE QVector<int> changeTextToRGB(QString text, bool write = true);

    // "#" and six lower-case hex digits of r x 65536 + g x 256 + b.
    static QString colorValueToText(int r, int g, int b);

    // A lighting change the device made itself (its own lighting keys); mode is the effect position.
    bool slot_currentChange(int mode, int brightness, int speed, int logo);

signals:
    void nameChanged();
    void modelChanged();
    void speedChanged();
    void brightnessChanged();
    void shortCutModelChanged();
    void oledBrightnessChanged();
    void colorChanged();
    void brightnessMaxChanged();
    void brightnessMinChanged();
    void speedMaxChanged();
    void speedMinChanged();
    void defaultColorChanged();
    void indexChanged();
    void textChanged();
    void speedStateChanged();
    void brightnessStateChanged();
    void modelStrListChanged();
    void modelStrWidthChanged();
    void shortCutStrListChanged();
    void logoModelChanged();
    void lightBtnXChanged();
    void lightBtnYChanged();
    void logoModeTextChanged();
    void hasOperatingModeChanged();
    void operatingModeChanged();
    void operatingModeListChanged();
    void lightDirectionChanged();
    void lightMonochromaticChanged();
    void lightModeChanged();
    void keyLightListChanged();
    void sig_defaultColorChanged(QVector<QString> text);

private:
    // The six numeric settings that share one write shape.
    enum Setting { Speed, Brightness, Model, ShortCut, Logo, Operating };
    struct SettingSpec;
    static const SettingSpec& settingSpec(Setting setting);

    bool numericWrite(Setting setting, int value, int zone, bool write);
    bool inRange(Setting setting, int value) const;
    int value(Setting setting) const;
    void store(Setting setting, int value);
    void sendEvent(const QString& action, const QString& label) const;
    // Steps of a setting before its new value is stored, alike for a local and a confirmed write.
    void beforeStore(Setting setting, int value, bool confirmed);
    // What choosing a lighting preset does to the other settings.
    void applyPreset(int preset);
    // The current device when it can take a write; otherwise the property's NOTIFY is the caller's answer.
    static KBaseDevice* writableDevice();
    void saveSection(int section) const;
    // After a confirmed colour: the device's report rate read and written back, as the mice need.
    void refreshReportRate(KBaseDevice* device);
    // The direction and monochromatic switches.
    bool switchWrite(bool on, bool write, bool (KBaseDevice::*operation)(bool), bool (KLightModelItem::*get)() const,
                     void (KLightModelItem::*set)(bool, bool), int section);

    HWork m_work;

    QString m_name;
    int m_model = 0;
    int m_speed = 0;
    int m_brightness = 0;
    int m_shortCutModel = 0;
    int m_oledBrightness = 0;
    QString m_color = QStringLiteral("#ffffff");
    int m_brightnessMax = 10;
    int m_brightnessMin = 1;
    int m_speedMax = 10;
    int m_speedMin = 1;
    QVector<QString> m_defaultColor;
    QVector<int> m_index;
    QVector<QString> m_text;
    QVector<bool> m_speedState;
    QVector<bool> m_brightnessState;
    QStringList m_modelStrList;
    QVector<int> m_modelStrWidth;
    QStringList m_shortCutStrList;
    int m_logoModel = 0;
    QVector<int> m_lightBtnX;
    QVector<int> m_lightBtnY;
    QStringList m_logoModeText;
    bool m_hasOperatingMode = false;
    int m_operatingMode = 0;
    QStringList m_operatingModeList;
    bool m_lightDirection = false;
    bool m_lightMonochromatic = false;
};
