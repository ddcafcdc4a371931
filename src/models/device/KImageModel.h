#pragma once

#include "hid/HWork.h"

#include <QJsonObject>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantMap>

class KBaseDevice;

// The device view model ("g_image"): what the current device is and what its picture looks like. It reads the
// device's layout document and turns its flags into properties and its key and light buttons into maps from a
// button id (decimal text) to picture, position, size, name and side, scaled to the user interface, from which
// the pages draw the device with its clickable keys and light zones. It also carries the firmware version and
// follows the wired/wireless connection of the device. Other models read deviceName (the profile folder),
// deviceType, maxMacroLength, hasCurrentDpi, hasOLED and isWireLess from here.
//
// Every WRITE accessor only stores; the model's own code emits the NOTIFY signals.
//
// Threads: GUI thread only. The layout and firmware reads run on the pool through the model's HWork and
// come back here. Owned by the UI manager.
class KImageModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString deviceName READ deviceName WRITE setDeviceName NOTIFY deviceNameChanged)
    Q_PROPERTY(bool hasOLED READ hasOLED WRITE setHasOLED NOTIFY hasOLEDChanged)
    Q_PROPERTY(QString deviceVersion READ deviceVersion WRITE setVersion NOTIFY versionChanged)
    Q_PROPERTY(QVariantMap keyImgMap READ keyImgMap WRITE setKeyImgMap NOTIFY keyImgMapChanged)
    Q_PROPERTY(QVariantMap keyXMap READ keyXMap WRITE setKeyXMap NOTIFY keyXMapChanged)
    Q_PROPERTY(QVariantMap keyYMap READ keyYMap WRITE setKeyYMap NOTIFY keyYMapChanged)
    Q_PROPERTY(QVariantMap keyLeftMap READ keyLeftMap WRITE setKeyLeftMap NOTIFY keyLeftMapChanged)
    Q_PROPERTY(QVariantMap keyNameMap READ keyNameMap WRITE setKeyNameMap NOTIFY keyNameMapChanged)
    Q_PROPERTY(QVariantMap keyWidthMap READ keyWidthMap WRITE setKeyWidthMap NOTIFY keyWidthMapChanged)
    Q_PROPERTY(QVariantMap keyHeightMap READ keyHeightMap WRITE setKeyHeightMap NOTIFY keyHeightMapChanged)
    Q_PROPERTY(QVariantMap lightImgMap READ lightImgMap WRITE setLightImgMap NOTIFY lightImgMapChanged)
    Q_PROPERTY(QVariantMap lightLeftMap READ lightLeftMap WRITE setLightLeftMap NOTIFY lightLeftMapChanged)
    Q_PROPERTY(QVariantMap lightKeyXMap READ lightKeyXMap WRITE setLightKeyXMap NOTIFY lightKeyXMapChanged)
    Q_PROPERTY(QVariantMap lightKeyYMap READ lightKeyYMap WRITE setLightKeyYMap NOTIFY lightKeyYMapChanged)
    Q_PROPERTY(QVariantMap lightKeyWidthMap READ lightKeyWidthMap WRITE setLightKeyWidthMap NOTIFY lightKeyWidthMapChanged)
    Q_PROPERTY(QVariantMap lightKeyHeightMap READ lightKeyHeightMap WRITE setLightKeyHeightMap NOTIFY lightKeyHeightMapChanged)
    Q_PROPERTY(QVariantMap lightEffectWidthMap READ lightEffectWidthMap WRITE setLightEffectWidthMap NOTIFY lightEffectWidthMapChanged)
    Q_PROPERTY(QVariantMap lightEffectHeightMap READ lightEffectHeightMap WRITE setLightEffectHeightMap NOTIFY lightEffectHeightMapChanged)
    Q_PROPERTY(QString keyBaseImg READ keyBaseImg WRITE setKeyBaseImg NOTIFY keyBaseImgChanged)
    Q_PROPERTY(QString keyboardKeyBaseImg READ keyboardKeyBaseImg WRITE setKeyboardKeyBaseImg NOTIFY keyboardKeyBaseImgChanged)
    Q_PROPERTY(int keyImgX READ keyImgX WRITE setKeyImgX NOTIFY keyImgXChanged)
    Q_PROPERTY(int keyImgY READ keyImgY WRITE setKeyImgY NOTIFY keyImgYChanged)
    Q_PROPERTY(int keyImgWidth READ keyImgWidth WRITE setKeyImgWidth NOTIFY keyImgWidthChanged)
    Q_PROPERTY(int keyImgHeight READ keyImgHeight WRITE setKeyImgHeight NOTIFY keyImgHeightChanged)
    Q_PROPERTY(int keyNumber READ keyNumber WRITE setKeyNumber NOTIFY keyNumberChanged)
    Q_PROPERTY(int lightImgX READ lightImgX WRITE setLightImgX NOTIFY lightImgXChanged)
    Q_PROPERTY(int lightImgY READ lightImgY WRITE setLightImgY NOTIFY lightImgYChanged)
    Q_PROPERTY(int lightImgWidth READ lightImgWidth WRITE setLightImgWidth NOTIFY lightImgWidthChanged)
    Q_PROPERTY(int lightImgHeight READ lightImgHeight WRITE setLightImgHeight NOTIFY lightImgHeightChanged)
    Q_PROPERTY(QString lightSpeedBaseImg READ lightSpeedBaseImg WRITE setLightSpeedBaseImg NOTIFY lightSpeedBaseImgChanged)
    Q_PROPERTY(QString lightBrightnessBaseImg READ lightBrightnessBaseImg WRITE setLightBrightnessBaseImg NOTIFY lightBrightnessBaseImgChanged)
    Q_PROPERTY(bool isWireLess READ isWireLess WRITE setIsWireLess NOTIFY isWireLessChanged)
    Q_PROPERTY(int leftKeyMacro READ leftKeyMacro WRITE setLeftKeyMacro NOTIFY leftKeyMacroChanged)
    Q_PROPERTY(bool hasWheel READ hasWheel WRITE setHasWheel NOTIFY hasWheelChanged)
    Q_PROPERTY(int deviceType READ deviceType WRITE setDeviceType NOTIFY deviceTypeChanged)
    Q_PROPERTY(bool hasLight READ hasLight WRITE setHasLight NOTIFY hasLightChanged)
    Q_PROPERTY(bool hasCurrentDpi READ hasCurrentDpi WRITE setHasCurrentDpi NOTIFY hasCurrentDpiChanged)
    Q_PROPERTY(int maxMacroLength READ maxMacroLength WRITE setMaxMacroLength NOTIFY maxMacroLengthChanged)
    Q_PROPERTY(bool hasShortCut READ hasShortCut WRITE setHasShortCut NOTIFY hasShortCutChanged)
    Q_PROPERTY(QString oledImg READ oledImg WRITE setOledImg NOTIFY oledImgChanged)

public:
    explicit KImageModel(QObject* parent = nullptr);
    ~KImageModel() override;

    QString deviceName() const { return m_deviceName; }
    bool hasOLED() const { return m_hasOLED; }
    QString deviceVersion() const { return m_deviceVersion; }
    QVariantMap keyImgMap() const { return m_keyImgMap; }
    QVariantMap keyXMap() const { return m_keyXMap; }
    QVariantMap keyYMap() const { return m_keyYMap; }
    QVariantMap keyLeftMap() const { return m_keyLeftMap; }
    QVariantMap keyNameMap() const { return m_keyNameMap; }
    QVariantMap keyWidthMap() const { return m_keyWidthMap; }
    QVariantMap keyHeightMap() const { return m_keyHeightMap; }
    QVariantMap lightImgMap() const { return m_lightImgMap; }
    QVariantMap lightLeftMap() const { return m_lightLeftMap; }
    QVariantMap lightKeyXMap() const { return m_lightKeyXMap; }
    QVariantMap lightKeyYMap() const { return m_lightKeyYMap; }
    QVariantMap lightKeyWidthMap() const { return m_lightKeyWidthMap; }
    QVariantMap lightKeyHeightMap() const { return m_lightKeyHeightMap; }
    QVariantMap lightEffectWidthMap() const { return m_lightEffectWidthMap; }
    QVariantMap lightEffectHeightMap() const { return m_lightEffectHeightMap; }
    QString keyBaseImg() const { return m_keyBaseImg; }
    QString keyboardKeyBaseImg() const { return m_keyboardKeyBaseImg; }
    int keyImgX() const { return m_keyImgX; }
    int keyImgY() const { return m_keyImgY; }
    int keyImgWidth() const { return m_keyImgWidth; }
    int keyImgHeight() const { return m_keyImgHeight; }
    int keyNumber() const { return m_keyNumber; }
    int lightImgX() const { return m_lightImgX; }
    int lightImgY() const { return m_lightImgY; }
    int lightImgWidth() const { return m_lightImgWidth; }
    int lightImgHeight() const { return m_lightImgHeight; }
    QString lightSpeedBaseImg() const { return m_lightSpeedBaseImg; }
    QString lightBrightnessBaseImg() const { return m_lightBrightnessBaseImg; }
    bool isWireLess() const { return m_isWireLess; }
    int leftKeyMacro() const { return m_leftKeyMacro; }
    bool hasWheel() const { return m_hasWheel; }
    int deviceType() const { return m_deviceType; }
    bool hasLight() const { return m_hasLight; }
    bool hasCurrentDpi() const { return m_hasCurrentDpi; }
    int maxMacroLength() const { return m_maxMacroLength; }
    bool hasShortCut() const { return m_hasShortCut; }
    QString oledImg() const { return m_oledImg; }

    void setDeviceName(const QString& value) { m_deviceName = value; }
    void setHasOLED(bool value) { m_hasOLED = value; }
    void setVersion(const QString& value) { m_deviceVersion = value; }
    void setKeyImgMap(const QVariantMap& value) { m_keyImgMap = value; }
    void setKeyXMap(const QVariantMap& value) { m_keyXMap = value; }
    void setKeyYMap(const QVariantMap& value) { m_keyYMap = value; }
    void setKeyLeftMap(const QVariantMap& value) { m_keyLeftMap = value; }
    void setKeyNameMap(const QVariantMap& value) { m_keyNameMap = value; }
    void setKeyWidthMap(const QVariantMap& value) { m_keyWidthMap = value; }
    void setKeyHeightMap(const QVariantMap& value) { m_keyHeightMap = value; }
    void setLightImgMap(const QVariantMap& value) { m_lightImgMap = value; }
    void setLightLeftMap(const QVariantMap& value) { m_lightLeftMap = value; }
    void setLightKeyXMap(const QVariantMap& value) { m_lightKeyXMap = value; }
    void setLightKeyYMap(const QVariantMap& value) { m_lightKeyYMap = value; }
    void setLightKeyWidthMap(const QVariantMap& value) { m_lightKeyWidthMap = value; }
    void setLightKeyHeightMap(const QVariantMap& value) { m_lightKeyHeightMap = value; }
    void setLightEffectWidthMap(const QVariantMap& value) { m_lightEffectWidthMap = value; }
    void setLightEffectHeightMap(const QVariantMap& value) { m_lightEffectHeightMap = value; }
    void setKeyBaseImg(const QString& value) { m_keyBaseImg = value; }
    void setKeyboardKeyBaseImg(const QString& value) { m_keyboardKeyBaseImg = value; }
    void setKeyImgX(int value) { m_keyImgX = value; }
    void setKeyImgY(int value) { m_keyImgY = value; }
    void setKeyImgWidth(int value) { m_keyImgWidth = value; }
    void setKeyImgHeight(int value) { m_keyImgHeight = value; }
    void setKeyNumber(int value) { m_keyNumber = value; }
    void setLightImgX(int value) { m_lightImgX = value; }
    void setLightImgY(int value) { m_lightImgY = value; }
    void setLightImgWidth(int value) { m_lightImgWidth = value; }
    void setLightImgHeight(int value) { m_lightImgHeight = value; }
    void setLightSpeedBaseImg(const QString& value) { m_lightSpeedBaseImg = value; }
    void setLightBrightnessBaseImg(const QString& value) { m_lightBrightnessBaseImg = value; }
    void setIsWireLess(bool value) { m_isWireLess = value; }
    void setLeftKeyMacro(int value) { m_leftKeyMacro = value; }
    void setHasWheel(bool value) { m_hasWheel = value; }
    void setDeviceType(int value) { m_deviceType = value; }
    void setHasLight(bool value) { m_hasLight = value; }
    void setHasCurrentDpi(bool value) { m_hasCurrentDpi = value; }
    void setMaxMacroLength(int value) { m_maxMacroLength = value; }
    void setHasShortCut(bool value) { m_hasShortCut = value; }
    void setOledImg(const QString& value) { m_oledImg = value; }

    // Reads the firmware version of the device bound by the last deviceDataChange, if it is still the
    // current one and present; -1 from the device changes nothing.
    void readDeviceVersion();
    // The device's connection: 0 by cable, 1 wireless.
    void slot_currentModeChange(int mode);

signals:
    void deviceNameChanged();
    void hasOLEDChanged();
    void versionChanged();
    void keyImgMapChanged();
    void keyXMapChanged();
    void keyYMapChanged();
    void keyLeftMapChanged();
    void keyNameMapChanged();
    void keyWidthMapChanged();
    void keyHeightMapChanged();
    void lightImgMapChanged();
    void lightLeftMapChanged();
    void lightKeyXMapChanged();
    void lightKeyYMapChanged();
    void lightKeyWidthMapChanged();
    void lightKeyHeightMapChanged();
    void lightEffectWidthMapChanged();
    void lightEffectHeightMapChanged();
    void keyBaseImgChanged();
    void keyboardKeyBaseImgChanged();
    void keyImgXChanged();
    void keyImgYChanged();
    void keyImgWidthChanged();
    void keyImgHeightChanged();
    void keyNumberChanged();
    void lightImgXChanged();
    void lightImgYChanged();
    void lightImgWidthChanged();
    void lightImgHeightChanged();
    void lightSpeedBaseImgChanged();
    void lightBrightnessBaseImgChanged();
    void isWireLessChanged();
    void leftKeyMacroChanged();
    void hasWheelChanged();
    void deviceTypeChanged();
    void hasLightChanged();
    void hasCurrentDpiChanged();
    void maxMacroLengthChanged();
    void hasShortCutChanged();
    void oledImgChanged();
    void sig_uiModelChange(QJsonObject layout);

public slots:
    // Reads the current device's layout document.
    void deviceDataChange();
    // Rebuilds every property from a layout document; an empty one changes nothing.
    void slot_uiModelChange(QJsonObject layout);

private:
    void readMouseLights(const QJsonObject& light);
    void readMouseKeys(const QJsonObject& key);
    void readKeyboardLights(const QJsonObject& light);
    void readKeyboardKeys(const QJsonObject& key);
    // The device whose readers are bound, when it is still the current, present device.
    KBaseDevice* boundDevice() const;

    HWork m_work;
    // The device the layout and firmware readers are bound to.
    QPointer<KBaseDevice> m_device;

    QString m_deviceName;
    bool m_hasOLED = false;
    QString m_deviceVersion;
    QVariantMap m_keyImgMap;
    QVariantMap m_keyXMap;
    QVariantMap m_keyYMap;
    QVariantMap m_keyLeftMap;
    QVariantMap m_keyNameMap;
    QVariantMap m_keyWidthMap;
    QVariantMap m_keyHeightMap;
    QVariantMap m_lightImgMap;
    QVariantMap m_lightLeftMap;
    QVariantMap m_lightKeyXMap;
    QVariantMap m_lightKeyYMap;
    QVariantMap m_lightKeyWidthMap;
    QVariantMap m_lightKeyHeightMap;
    QVariantMap m_lightEffectWidthMap;
    QVariantMap m_lightEffectHeightMap;
    QString m_keyBaseImg;
    QString m_keyboardKeyBaseImg;
    int m_keyImgX = 0;
    int m_keyImgY = 0;
    int m_keyImgWidth = 0;
    int m_keyImgHeight = 0;
    int m_keyNumber = 0;
    int m_lightImgX = 0;
    int m_lightImgY = 0;
    int m_lightImgWidth = 0;
    int m_lightImgHeight = 0;
    QString m_lightSpeedBaseImg;
    QString m_lightBrightnessBaseImg;
    bool m_isWireLess = false;
    int m_leftKeyMacro = 0;
    bool m_hasWheel = false;
    int m_deviceType = 0;
    bool m_hasLight = false;
    bool m_hasCurrentDpi = false;
    int m_maxMacroLength = 0;
    bool m_hasShortCut = false;
    QString m_oledImg;
};
