import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"

// The brightness of one key's light: a level between the per-key light model's minimum and maximum, which
// "Send" writes to the keyboard.
Popup {
    id: root

    property string mKey: ""
    property int mSelectedKey: -1
    property int mValue: f_keyLightModel.maxValue

    // Opens the dialog for a key, at the level the key has now.
    function showDialog(key) {
        mSelectedKey = key
        mKey = g_image.keyNameMap[String(key)] || ""
        var list = f_keyLightModel.keyLightList
        var level = f_keyLightModel.maxValue
        for (var i = 0; i < list.length; ++i) {
            if (list[i] && list[i].key === key)
                level = list[i].brightness
        }
        setValue(level)
        open()
    }

    // Takes a level, kept within the model's range.
    function setValue(value) {
        mValue = Math.max(f_keyLightModel.minValue, Math.min(f_keyLightModel.maxValue, Math.round(value)))
    }

    function send() {
        f_keyLightModel.writeKeyBrightness(mSelectedKey, mValue)
        close()
    }

    parent: Overlay.overlay
    x: parent ? Math.round((parent.width - width) / 2) : 0
    y: parent ? Math.round((parent.height - height) / 2) : 0
    z: 2
    width: g_resolution.getScaleLength(420)
    height: g_resolution.getScaleLength(240)
    modal: false
    closePolicy: Popup.CloseOnEscape
    padding: g_resolution.getScaleLength(20)

    background: Rectangle {
        color: "#FFFFFF"
        radius: g_resolution.getScaleLength(8)
        border.color: "#BAC2CA"
    }

    contentItem: Column {
        spacing: g_resolution.getScaleLength(14)

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
        Row {
            spacing: g_resolution.getScaleLength(12)
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr("Lightning Intensity")
                color: "#303344"
                font.pixelSize: g_resolution.getScaleLength(14)
            }
            FNumField {
                objectName: "brightnessField"
                anchors.verticalCenter: parent.verticalCenter
                mValue: root.mValue
                onAddBtnClicked: root.setValue(root.mValue + 1)
                onReduceBtnClicked: root.setValue(root.mValue - 1)
                onInputValue: {
                    root.setValue(Number(value))
                    // A typed level outside the range shows as the bound it was held to.
                    mValue = -1
                    mValue = Qt.binding(function () { return root.mValue })
                }
            }
        }
        KTxtBtn {
            objectName: "send"
            width: g_resolution.getScaleLength(100)
            height: g_resolution.getScaleLength(32)
            mText: qsTr("Send")
            mColor: "#FFFFFF"
            mBgColor: "#6195C2"
            mBgColorHovered: "#4A7BA6"
            mRadius: 4
            onClicked: root.send()
        }
    }
}
