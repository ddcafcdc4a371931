import QtQuick 2.12
import QtQuick.Controls 2.12
import PaintLine 1.0
import "qrc:/common"
import "qrc:/control"
import "qrc:/panel"

// Lighting page of the mouse: the zone (wheel light or light strip where the mouse has both), the effect with
// its preview, brightness and speed dials, the logo colour, quick settings, the operating mode and, for a
// wireless mouse, power saving. Every write names the page's zone.
Item {
    id: root

    property int index: 0
    property bool lightEnable: g_image.hasLight
    property string mConfigPath: ""
    property color mCurrentColor: g_lightModel.logo ? g_lightModel.logo.color : "#FFFFFF"
    property bool mColorEnable: true
    property int mDuration: 300
    readonly property var mLogo: g_lightModel.logo
    readonly property int mModel: mLogo ? mLogo.model : 0
    // The effects' names as a plain array: a repeater makes no items from the model's list type itself.
    readonly property var mModeNames: {
        var names = mLogo ? mLogo.text : []
        var plain = []
        for (var i = 0; names && i < names.length; ++i)
            plain.push(String(names[i]))
        return plain
    }

    function changeBaseImg() {
        var pictures = g_image.lightImgMap
        var picture = pictures[String(index)]
        var device = g_image.deviceName
        if (device.toLowerCase().indexOf("harlo") === 0)
            picture = "qrc:/common/newUI/Harlo_Hollis/backup.png"
        else if (device.toLowerCase().indexOf("dunmor") === 0)
            picture = "qrc:/common/newUI/Dunmor_Hollis/backup.png"
        mZonePicture.source = picture || ""
    }

    function selectedModel(model) {
        mLogo.writeModel(model, index)
    }
    function selectedBrightness(value) {
        mLogo.writeBrightness(value, index)
    }
    function selectedSpeed(value) {
        mLogo.writeSpeed(value, index)
    }
    function selectedColor(text) {
        var rgb = mLogo.changeTextToRGB(text, true)
        if (!rgb || rgb.length < 3)
            return
        mRField.text = rgb[0]
        mGField.text = rgb[1]
        mBField.text = rgb[2]
        mLogo.writeRGB(rgb[0], rgb[1], rgb[2], index)
    }
    // The R, G and B fields show the zone's colour until the user picks another.
    function showCurrentColor() {
        mRField.text = Math.round(mCurrentColor.r * 255)
        mGField.text = Math.round(mCurrentColor.g * 255)
        mBField.text = Math.round(mCurrentColor.b * 255)
    }
    onMCurrentColorChanged: showCurrentColor()

    // The preview of the mouse model: the device name without its link and variant endings.
    function matchMouse() {
        var model = g_image.deviceName.replace(/(_Wireless|_LOW|_HIGH|_Hollis)+$/, "")
        if (mLightEffect.item)
            mLightEffect.item.matchingModel(model)
        changeBaseImg()
    }

    Connections {
        target: g_image
        function onDeviceNameChanged() { root.matchMouse() }
        function onLightImgMapChanged() { root.changeBaseImg() }
    }
    Component.onCompleted: {
        matchMouse()
        showCurrentColor()
    }

    PaintLine {
        id: mPaintLine
    }

    component SectionTitle: HText {
        mFontBold: true
        mFontSize: 14
    }

    component ChoiceButton: KTxtBtn {
        height: g_resolution.getScaleLength(30)
        mRadius: 4
        mBgColor: "#FFFFFF"
        mBgColorSel: "#6195C2"
        mColorSel: "#FFFFFF"
        mColorHovered: "#6195C2"
    }

    Flickable {
        anchors.fill: parent
        contentHeight: mContent.height + g_resolution.getScaleLength(40)
        clip: true

        Column {
            id: mContent
            x: g_resolution.getScaleLength(30)
            y: g_resolution.getScaleLength(20)
            width: parent.width - g_resolution.getScaleLength(60)
            spacing: g_resolution.getScaleLength(12)
            enabled: root.lightEnable

            Row {
                visible: g_image.hasWheel
                spacing: g_resolution.getScaleLength(10)
                ChoiceButton {
                    objectName: "zoneWheel"
                    width: g_resolution.getScaleLength(100)
                    mText: qsTr("Wheel light")
                    mIsSelect: root.index !== 5
                    onClicked: {
                        root.index = 0
                        root.changeBaseImg()
                    }
                }
                ChoiceButton {
                    objectName: "zoneStrip"
                    width: g_resolution.getScaleLength(100)
                    mText: qsTr("Light strip")
                    mIsSelect: root.index === 5
                    onClicked: {
                        root.index = 5
                        root.changeBaseImg()
                    }
                }
            }

            Row {
                spacing: g_resolution.getScaleLength(20)
                Item {
                    width: g_resolution.getScaleLength(260)
                    height: g_resolution.getScaleLength(200)
                    Image {
                        id: mZonePicture
                        objectName: "zonePicture"
                        anchors.fill: parent
                        fillMode: Image.PreserveAspectFit
                    }
                    // The previews exist only while a mouse is attached (the keyboards have their own page).
                    Loader {
                        id: mLightEffect
                        objectName: "lightEffect"
                        anchors.fill: parent
                        active: g_image.deviceType === 1
                        sourceComponent: HLightEffectControl {}
                        onLoaded: root.matchMouse()
                    }
                }
                Column {
                    spacing: g_resolution.getScaleLength(8)
                    SectionTitle { mTextName: qsTr("Lighting effect") }
                    // As wide as the page leaves beside the picture; each name fits its button.
                    Flow {
                        width: mContent.width - g_resolution.getScaleLength(280)
                        spacing: g_resolution.getScaleLength(8)
                        Repeater {
                            model: root.mModeNames
                            delegate: ChoiceButton {
                                objectName: "lightMode" + index
                                width: Math.max(g_resolution.getScaleLength(130),
                                                g_resolution.getStringWidth_Pixel(mText, g_resolution.getScaleLength(mFontSize),
                                                                                  Qt.application.font.family)
                                                + g_resolution.getScaleLength(24))
                                mText: qsTr(modelData)
                                mIsSelect: index === root.mModel
                                onClicked: root.selectedModel(index)
                            }
                        }
                    }
                }
            }

            Row {
                spacing: g_resolution.getScaleLength(40)
                Column {
                    visible: root.mLogo && root.mLogo.brightnessState[root.mModel] === true
                    SectionTitle { mTextName: qsTr("LIGHTING INTENSITY") }
                    HLightControl {
                        objectName: "brightness"
                        width: g_resolution.getScaleLength(130)
                        height: width
                        mBackground: g_image.lightBrightnessBaseImg
                        minValue: root.mLogo ? root.mLogo.brightnessMin : 0
                        maxValue: root.mLogo ? root.mLogo.brightnessMax : 10
                        currentValue: root.mLogo ? root.mLogo.brightness : 0
                        onSetLightValue: root.selectedBrightness(Math.round(value))
                    }
                }
                Column {
                    visible: root.mLogo && root.mLogo.speedState[root.mModel] === true
                    SectionTitle { mTextName: qsTr("SPEED OF LIGHT") }
                    HLightControl {
                        objectName: "speed"
                        width: g_resolution.getScaleLength(130)
                        height: width
                        mBackground: g_image.lightSpeedBaseImg
                        minValue: root.mLogo ? root.mLogo.speedMin : 0
                        maxValue: root.mLogo ? root.mLogo.speedMax : 10
                        currentValue: root.mLogo ? root.mLogo.speed : 0
                        onSetLightValue: root.selectedSpeed(Math.round(value))
                    }
                }
            }

            SectionTitle { mTextName: qsTr("LOGO Light color"); visible: root.mColorEnable }
            Row {
                visible: root.mColorEnable
                spacing: g_resolution.getScaleLength(20)
                HColorInfo {
                    id: mColorWheel
                    objectName: "colorWheel"
                    width: g_resolution.getScaleLength(150)
                    onColorChanged: mNewColor.color = changedColor
                }
                Column {
                    spacing: g_resolution.getScaleLength(6)
                    Row {
                        spacing: g_resolution.getScaleLength(6)
                        HText { anchors.verticalCenter: parent.verticalCenter; mTextName: qsTr("R") }
                        FQuorField {
                            id: mRField
                            objectName: "red"
                            width: g_resolution.getScaleLength(60)
                            validator: IntValidator { bottom: 0; top: 255 }
                        }
                    }
                    Row {
                        spacing: g_resolution.getScaleLength(6)
                        HText { anchors.verticalCenter: parent.verticalCenter; mTextName: qsTr("G") }
                        FQuorField {
                            id: mGField
                            objectName: "green"
                            width: g_resolution.getScaleLength(60)
                            validator: IntValidator { bottom: 0; top: 255 }
                        }
                    }
                    Row {
                        spacing: g_resolution.getScaleLength(6)
                        HText { anchors.verticalCenter: parent.verticalCenter; mTextName: qsTr("B") }
                        FQuorField {
                            id: mBField
                            objectName: "blue"
                            width: g_resolution.getScaleLength(60)
                            validator: IntValidator { bottom: 0; top: 255 }
                        }
                    }
                }
                Column {
                    spacing: g_resolution.getScaleLength(6)
                    Row {
                        spacing: g_resolution.getScaleLength(6)
                        HText { anchors.verticalCenter: parent.verticalCenter; mTextName: qsTr("New") }
                        Rectangle {
                            id: mNewColor
                            width: g_resolution.getScaleLength(40)
                            height: g_resolution.getScaleLength(20)
                            color: Qt.rgba((parseInt(mRField.text) || 0) / 255, (parseInt(mGField.text) || 0) / 255,
                                           (parseInt(mBField.text) || 0) / 255, 1)
                        }
                    }
                    Row {
                        spacing: g_resolution.getScaleLength(6)
                        HText { anchors.verticalCenter: parent.verticalCenter; mTextName: qsTr("Old") }
                        Rectangle {
                            width: g_resolution.getScaleLength(40)
                            height: g_resolution.getScaleLength(20)
                            color: root.mCurrentColor
                        }
                    }
                    HText { mTextName: qsTr("Preset") }
                    HPalettes {
                        objectName: "presets"
                        onSetPalettes: mNewColor.color = value
                    }
                    HButton {
                        objectName: "sendColor"
                        width: g_resolution.getScaleLength(90)
                        height: g_resolution.getScaleLength(30)
                        mTextName: qsTr("Send")
                        onClicked: root.selectedColor(String(mNewColor.color))
                    }
                }
            }

            Row {
                spacing: g_resolution.getScaleLength(30)
                Column {
                    visible: g_image.hasShortCut
                    spacing: g_resolution.getScaleLength(6)
                    SectionTitle { mTextName: qsTr("Quick settings") }
                    HLightShortCutSelector {
                        objectName: "shortCut"
                        width: g_resolution.getScaleLength(200)
                        model: root.mLogo ? root.mLogo.shortCutStrList : []
                        currentIndex: root.mLogo ? root.mLogo.shortCutModel : 0
                        onActivated: {
                            root.mLogo.writeShortCutModel(currentIndex, false)
                            root.mLogo.writeShortCutModel(currentIndex, true)
                        }
                    }
                }
                HOperatingmodeSelector {
                    objectName: "operatingMode"
                    visible: root.mLogo && root.mLogo.hasOperatingMode
                    width: g_resolution.getScaleLength(200)
                    model: root.mLogo ? root.mLogo.operatingModeList : []
                    currentIndex: root.mLogo ? root.mLogo.operatingMode : 0
                    onActivated: root.mLogo.writeOperatingMode(currentIndex, true)
                }
            }

            Column {
                objectName: "powerSaving"
                visible: g_image.isWireLess
                enabled: true
                spacing: g_resolution.getScaleLength(6)
                Row {
                    spacing: g_resolution.getScaleLength(10)
                    SectionTitle { anchors.verticalCenter: parent.verticalCenter; mTextName: qsTr("Power-saving mode") }
                    FImgBtn {
                        objectName: "powerSaveSwitch"
                        width: g_resolution.getScaleLength(50)
                        height: g_resolution.getScaleLength(26)
                        mImg: f_battreyModel.power ? "qrc:/common/newUI/powerSaveBtn_Open.png"
                                                   : "qrc:/common/newUI/powerSaveBtn_Close.png"
                        onClicked: f_battreyModel.setPowerSaving(!f_battreyModel.power)
                    }
                }
                Text {
                    text: qsTr("*Note: Power-saving mode (in the wireless mode, turn off the light and OLED screen display when moving the mouse)")
                    color: "#8A93A0"
                    font.pixelSize: g_resolution.getScaleLength(12)
                }
            }
        }
    }
}
