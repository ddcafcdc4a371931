import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"
import "qrc:/panel"

// Light of one key of the RGB keyboard: its colour (wheel, R, G, B, presets, the new beside the old colour),
// sent with "Send", and the keyboard's light intensity. A colour of zero in all three channels turns the key's
// light off.
Popup {
    id: root

    property string mKey: qsTr("Esc key")
    property int mSelectedKey: -1
    // The light zone the intensity writes name.
    property int mIndex: 0
    property string mConfigPath: g_common.getMSConfigFolderPath() + "/" + g_image.deviceName + "/" + g_appModel.configPath

    // Opens the dialog for a key, with the key's colour as the old one.
    function showDialog(key) {
        mSelectedKey = key
        mKey = g_image.keyNameMap[String(key)] || ""
        var colour = "#FFFFFF"
        var list = g_keyList.keyLightPointer ? g_keyList.keyLightPointer.keyLightList : f_keyLightModel.keyLightList
        for (var i = 0; i < list.length; ++i) {
            if (list[i] && list[i].key === key && list[i].color !== "")
                colour = "#" + list[i].color
        }
        mColorPanel.mCurrentColor = colour
        mColorPanel.changeColor(colour)
        open()
    }

    parent: Overlay.overlay
    x: parent ? Math.round((parent.width - width) / 2) : 0
    y: parent ? Math.round((parent.height - height) / 2) : 0
    z: 2
    width: g_resolution.getScaleLength(420)
    height: mContent.implicitHeight + 2 * padding
    modal: false
    closePolicy: Popup.CloseOnEscape
    padding: g_resolution.getScaleLength(20)

    background: Rectangle {
        color: "#FFFFFF"
        radius: g_resolution.getScaleLength(8)
        border.color: "#BAC2CA"
    }

    contentItem: Column {
        id: mContent
        spacing: g_resolution.getScaleLength(12)

        Item {
            width: parent.width
            height: mTitle.height
            Text {
                id: mTitle
                text: qsTr("Light setting")
                color: "#303344"
                font.pixelSize: g_resolution.getScaleLength(18)
                font.bold: true
            }
            KImgBtn {
                objectName: "closeButton"
                anchors.right: parent.right
                anchors.verticalCenter: mTitle.verticalCenter
                mImg: "qrc:/common/newUI/btn_close_normal.png"
                mImgWidth: 20
                mImgHeight: 20
                onClicked: root.close()
            }
        }
        Text {
            text: qsTr("Current button:") + " " + root.mKey
            color: "#5B6270"
            font.pixelSize: g_resolution.getScaleLength(14)
        }
        Text {
            text: qsTr("Lightning Intensity")
            color: "#303344"
            font.pixelSize: g_resolution.getScaleLength(14)
        }
        Slider {
            objectName: "intensity"
            width: parent.width
            stepSize: 1
            snapMode: Slider.SnapAlways
            from: g_lightModel.logo ? g_lightModel.logo.brightnessMin : 0
            to: g_lightModel.logo ? g_lightModel.logo.brightnessMax : 0
            value: g_lightModel.logo ? g_lightModel.logo.brightness : 0
            onPressedChanged: {
                if (!pressed)
                    g_lightModel.logo.writeBrightness(Math.round(value), root.mIndex)
            }
        }
        HLightColor {
            id: mColorPanel
            objectName: "colorPanel"
            width: parent.width
            mTitle: qsTr("Custom light color")
            onSelectedColor: {
                f_keyLightModel.writeKeyColor(root.mSelectedKey, color)
                mCurrentColor = "#" + color
            }
        }
        Text {
            width: parent.width
            wrapMode: Text.WordWrap
            text: qsTr("When RGB value is zero,the key light is turned off")
            color: "#7A8290"
            font.pixelSize: g_resolution.getScaleLength(12)
        }
    }
}
