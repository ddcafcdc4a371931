import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"
import "qrc:/control"

// A light colour panel: the colour wheel, the R, G and B fields, the new and the old colour, the preset palette
// and "Send", which reports the new colour as six hex digits (selectedColor). A colour field takes 0 to 255,
// confirmed with Enter; anything else is refused with a tip and the field shows its value again.
Rectangle {
    id: root

    property string mTitle: qsTr("LOGO Light color")
    property string mNewsetColor: "#FFFFFF"
    property string mCurrentColor: "#FFFFFF"
    property int mRValue: 255
    property int mGValue: 255
    property int mBValue: 255
    property bool mColorEnable: true

    signal selectedColor(string color)

    // Six hex digits of the fields' colour (no "#").
    function changeRGBToText() {
        return g_lightModel.logo.changeRGBToText(mRValue, mGValue, mBValue, false)
    }

    // Takes a colour ("#rrggbb" or a color value) as the new colour and into the fields.
    function changeColor(value) {
        var c = Qt.lighter(value, 1.0)
        mRValue = Math.round(c.r * 255)
        mGValue = Math.round(c.g * 255)
        mBValue = Math.round(c.b * 255)
        mNewsetColor = "#" + changeRGBToText()
    }

    function changeLightColorEnable(enable) {
        mColorEnable = enable
    }

    // A field's text as a channel value; -1 when it is no number from 0 to 255.
    function channelValue(text) {
        if (!/^[0-9]{1,3}$/.test(text))
            return -1
        var value = parseInt(text, 10)
        return value <= 255 ? value : -1
    }

    function setChannel(index, value) {
        if (index === 0)
            mRValue = value
        else if (index === 1)
            mGValue = value
        else
            mBValue = value
        mNewsetColor = "#" + changeRGBToText()
    }

    implicitWidth: g_resolution.getScaleLength(330)
    implicitHeight: mColumn.implicitHeight + g_resolution.getScaleLength(24)
    radius: g_resolution.getScaleLength(6)
    color: "#DEE9F1"
    enabled: mColorEnable
    opacity: mColorEnable ? 1 : 0.4

    Column {
        id: mColumn
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.margins: g_resolution.getScaleLength(12)
        spacing: g_resolution.getScaleLength(8)

        Row {
            spacing: g_resolution.getScaleLength(8)
            Image {
                width: g_resolution.getScaleLength(18)
                height: width
                source: "qrc:/common/newUI/lightColor_label.png"
            }
            Text {
                text: root.mTitle
                color: "#303344"
                font.pixelSize: g_resolution.getScaleLength(14)
                font.bold: true
            }
        }

        Row {
            spacing: g_resolution.getScaleLength(14)

            HColorInfo {
                id: mWheel
                width: g_resolution.getScaleLength(140)
                onColorChanged: root.changeColor(changedColor)
            }

            Column {
                spacing: g_resolution.getScaleLength(8)

                Repeater {
                    model: ["R", "G", "B"]

                    Row {
                        spacing: g_resolution.getScaleLength(8)
                        readonly property int mValue: index === 0 ? root.mRValue
                                                                  : (index === 1 ? root.mGValue : root.mBValue)
                        Text {
                            anchors.verticalCenter: parent.verticalCenter
                            width: g_resolution.getScaleLength(14)
                            text: index === 0 ? qsTr("R") : (index === 1 ? qsTr("G") : qsTr("B"))
                            color: "#303344"
                            font.pixelSize: g_resolution.getScaleLength(13)
                        }
                        TextField {
                            id: mField
                            objectName: "field" + modelData
                            width: g_resolution.getScaleLength(64)
                            height: g_resolution.getScaleLength(28)
                            font.pixelSize: g_resolution.getScaleLength(13)
                            selectByMouse: true
                            text: String(parent.mValue)
                            validator: RegExpValidator { regExp: /^[0-9]{1,3}$/ }
                            onAccepted: {
                                var value = root.channelValue(text)
                                if (value < 0) {
                                    h_suspension.showTips(1, qsTr("Colour values go from 0 to 255"))
                                    // The field shows its value again (and follows the value from now on).
                                    text = Qt.binding(function () { return String(mField.parent.mValue) })
                                    return
                                }
                                root.setChannel(index, value)
                            }
                        }
                    }
                }
            }
        }

        Row {
            spacing: g_resolution.getScaleLength(12)
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr("New")
                color: "#303344"
                font.pixelSize: g_resolution.getScaleLength(13)
            }
            Rectangle {
                objectName: "newColor"
                width: g_resolution.getScaleLength(40)
                height: g_resolution.getScaleLength(22)
                color: root.mNewsetColor
                border.color: "#BAC2CA"
            }
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr("Old")
                color: "#303344"
                font.pixelSize: g_resolution.getScaleLength(13)
            }
            Rectangle {
                width: g_resolution.getScaleLength(40)
                height: g_resolution.getScaleLength(22)
                color: root.mCurrentColor
                border.color: "#BAC2CA"
            }
        }

        Text {
            text: qsTr("Preset")
            color: "#303344"
            font.pixelSize: g_resolution.getScaleLength(13)
        }
        HPalettes {
            objectName: "palettes"
            palettes: root.mNewsetColor
            onSetPalettes: root.changeColor(value)
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
            onClicked: root.selectedColor(root.changeRGBToText())
        }
    }
}
