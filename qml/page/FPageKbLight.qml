import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"
import "qrc:/control"
import "qrc:/panel"
import "qrc:/popup"

// Lighting page of the keyboard: the light-effect preview of the model with a light button per key, the effect
// list, brightness and speed (dials, or sliders on the RGB keyboard) and the per-key dialogs: the brightness of a
// key, or on the RGB keyboard its colour. The colour panel is there for devices whose lighting takes a colour of
// its own (their layout names colour presets). mDialogVisable tells the window that a dialog is open.
Item {
    id: root

    property string mKeyboard: ""
    property string mConfigPath: ""
    readonly property var mLogo: g_lightModel.logo
    readonly property bool mRgb: mKeyboard === "Quenby-RGB"
    readonly property bool mHasColor: mLogo !== null && mLogo.defaultColor.length > 0

    signal mDialogVisable(bool state)

    function closeDialog() {
        if (mKeyLightDialog.visible)
            mKeyLightDialog.close()
        if (mKeyColorDialog.visible)
            mKeyColorDialog.close()
    }

    // An effect chosen in the list.
    function selectedModel(index) {
        mLogo.writeModel(index, 0)
        followModel(index)
    }

    function selectedBrightness(value) {
        mLogo.writeBrightness(Math.round(value), 0)
    }

    function selectedSpeed(value) {
        mLogo.writeSpeed(Math.round(value), 0)
    }

    function selectedLogoModel(model) {
        mLogo.writeLogoModel(model)
    }

    // A colour as six hex digits into the R, G and B fields and to the device, for the page's light zone.
    function selectedColor(text) {
        var rgb = mLogo.changeTextToRGB(text, true)
        if (rgb.length < 3)
            return
        mLightColor.mRValue = rgb[0]
        mLightColor.mGValue = rgb[1]
        mLightColor.mBValue = rgb[2]
        // The keyboard has one light zone.
        mLogo.writeRGB(rgb[0], rgb[1], rgb[2], 0)
    }

    // The preview of the current model; rebuilt when a device comes online and when its layout changes.
    function matchKeyboard() {
        mKeyboard = g_image.deviceName
        mLightEffect.matchingModel(g_image.deviceName)
        followModel(mLogo ? mLogo.model : 0)
    }

    // The colour panel shows the colour the lighting model holds (the keyboard's, as the profile keeps it) as
    // the old colour, in the R, G and B fields and as the new one until the user picks another.
    function showCurrentColor() {
        var colour = mLogo ? mLogo.color : ""
        if (colour === "")
            return
        mLightColor.mCurrentColor = colour
        mLightColor.changeColor(colour)
    }

    function changeLightSpeedEnable(enable) {
        mSpeedGauge.enabled = enable
    }

    // The preview and the controls for the effect at index.
    function followModel(index) {
        if (!mLogo)
            return
        var speeds = mLogo.speedState
        var brightnesses = mLogo.brightnessState
        changeLightSpeedEnable(index >= 0 && index < speeds.length && speeds[index])
        mBrightnessGauge.enabled = index >= 0 && index < brightnesses.length && brightnesses[index]
        mLightColor.changeLightColorEnable(mHasColor)
        mLightEffect.showQuenby_8A(index)
    }

    function openKeyDialog(key) {
        if (mRgb)
            mKeyColorDialog.showDialog(key)
        else
            mKeyLightDialog.showDialog(key)
    }

    Connections {
        target: g_image
        function onDeviceNameChanged() { root.matchKeyboard() }
    }
    Connections {
        target: g_deviceCtl
        function onOnlineChanged() {
            if (g_deviceCtl.online)
                root.matchKeyboard()
            else
                root.closeDialog()
        }
    }
    Connections {
        target: g_lightModel.logo
        function onModelChanged() { root.followModel(root.mLogo.model) }
        function onSpeedStateChanged() { root.followModel(root.mLogo.model) }
        function onBrightnessChanged() { mBrightnessGauge.updateCurrentAngleByValue(root.mLogo.brightness) }
        function onBrightnessMaxChanged() { mBrightnessGauge.updateCurrentAngleByValue(root.mLogo.brightness) }
        function onSpeedChanged() { mSpeedGauge.updateCurrentAngleByValue(root.mLogo.speed) }
        function onSpeedMaxChanged() { mSpeedGauge.updateCurrentAngleByValue(root.mLogo.speed) }
        function onColorChanged() { root.showCurrentColor() }
    }
    Component.onCompleted: {
        matchKeyboard()
        showCurrentColor()
    }
    onVisibleChanged: {
        if (!visible)
            closeDialog()
    }

    // A section header: a picture and a title on the header colour.
    component Header: Rectangle {
        property string mImage: ""
        property string mText: ""
        width: parent ? parent.width : 0
        height: g_resolution.getScaleLength(32)
        radius: g_resolution.getScaleLength(4)
        color: "#CFDAE3"
        Row {
            anchors.left: parent.left
            anchors.leftMargin: g_resolution.getScaleLength(10)
            anchors.verticalCenter: parent.verticalCenter
            spacing: g_resolution.getScaleLength(8)
            Image {
                anchors.verticalCenter: parent.verticalCenter
                width: g_resolution.getScaleLength(18)
                height: width
                source: mImage
            }
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: mText
                color: "#303344"
                font.pixelSize: g_resolution.getScaleLength(14)
                font.bold: true
            }
        }
    }

    Column {
        id: mPreviewColumn
        anchors.top: parent.top
        anchors.topMargin: g_resolution.getScaleLength(10)
        anchors.horizontalCenter: parent.horizontalCenter
        width: Math.min(root.width, Math.max(g_image.keyImgWidth, g_resolution.getScaleLength(600)))
        spacing: g_resolution.getScaleLength(8)

        Header {
            mImage: "qrc:/common/newUI/keyboardLight_logo.png"
            mText: qsTr("Keyboard lighting effect")
        }
        // A picture wider than the page (the full-size keyboard) is shown smaller.
        Item {
            readonly property real mScale: mLightPanel.width > 0
                                           ? Math.min(1, (root.width - g_resolution.getScaleLength(40)) / mLightPanel.width)
                                           : 1
            anchors.horizontalCenter: parent.horizontalCenter
            width: mLightPanel.width * mScale
            height: mLightPanel.height * mScale

            Item {
                width: mLightPanel.width
                height: mLightPanel.height
                scale: parent.mScale
                transformOrigin: Item.TopLeft

                HLightEffectControl {
                    id: mLightEffect
                    objectName: "lightEffectControl"
                    anchors.fill: parent
                }
                FKbDeviceLightPanel {
                    id: mLightPanel
                    objectName: "kbDeviceLightPanel"
                    onClickedBtn: {
                        if (root.mRgb)
                            mLightEffect.clickQuenby_RGB_Btn(key)
                        else
                            mLightEffect.clickQuenby_8A_Btn(key)
                        root.openKeyDialog(key)
                    }
                }
            }
        }
    }

    Row {
        id: mControls
        anchors.top: mPreviewColumn.bottom
        anchors.topMargin: g_resolution.getScaleLength(16)
        anchors.horizontalCenter: parent.horizontalCenter
        spacing: g_resolution.getScaleLength(20)

        Column {
            width: g_resolution.getScaleLength(230)
            spacing: g_resolution.getScaleLength(8)
            Header {
                mImage: "qrc:/common/newUI/light_mode.png"
                mText: qsTr("Lighting effect")
            }
            HLightMode {
                id: mLightMode
                objectName: "lightMode"
                width: parent.width
                height: g_resolution.getScaleLength(root.mRgb ? 300 : 220)
                mShowSwitches: root.mRgb
                onSelectModel: root.selectedModel(index)
            }
        }

        Column {
            visible: !root.mRgb
            width: g_resolution.getScaleLength(210)
            spacing: g_resolution.getScaleLength(8)
            Header {
                mImage: "qrc:/common/newUI/light_color.png"
                mText: qsTr("LIGHTING INTENSITY")
            }
            HLightControl {
                id: mBrightnessGauge
                objectName: "brightnessGauge"
                anchors.horizontalCenter: parent.horizontalCenter
                mBackground: g_image.lightBrightnessBaseImg
                minValue: root.mLogo ? root.mLogo.brightnessMin : 0
                maxValue: root.mLogo ? root.mLogo.brightnessMax : 0
                onSetLightValue: root.selectedBrightness(value)
            }
        }
        Column {
            visible: !root.mRgb
            width: g_resolution.getScaleLength(210)
            spacing: g_resolution.getScaleLength(8)
            Header {
                mImage: "qrc:/common/newUI/light_shortcut.png"
                mText: qsTr("SPEED OF LIGHT")
            }
            HLightControl {
                id: mSpeedGauge
                objectName: "speedGauge"
                anchors.horizontalCenter: parent.horizontalCenter
                mBackground: g_image.lightSpeedBaseImg
                minValue: root.mLogo ? root.mLogo.speedMin : 0
                maxValue: root.mLogo ? root.mLogo.speedMax : 0
                onSetLightValue: root.selectedSpeed(value)
            }
        }
        HLightSetting_QuenbyRGB {
            id: mRgbSetting
            objectName: "rgbSetting"
            visible: root.mRgb
            width: g_resolution.getScaleLength(300)
            onSelectedBrightness: root.selectedBrightness(value)
            onSelectedSpeed: root.selectedSpeed(value)
        }
        HLightColor {
            id: mLightColor
            objectName: "lightColor"
            visible: root.mHasColor
            onSelectedColor: root.selectedColor(color)
        }
    }

    FKeyLightSettingDialog {
        id: mKeyLightDialog
        objectName: "keyLightDialog"
        onOpened: root.mDialogVisable(true)
        onClosed: {
            mLightPanel.selectKey(-1)
            root.mDialogVisable(false)
        }
    }
    HKeyLightSettingDialog {
        id: mKeyColorDialog
        objectName: "keyColorDialog"
        onOpened: root.mDialogVisable(true)
        onClosed: {
            mLightPanel.selectKey(-1)
            root.mDialogVisable(false)
        }
    }
}
