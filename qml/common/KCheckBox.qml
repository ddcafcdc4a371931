import QtQuick 2.12
import QtQuick.Controls 2.12

// Earlier check box: a square with a tick, the text beside it; mChecked follows the box both ways.
CheckBox {
    id: root

    property bool mChecked: false
    property string mColor: "#6195C2"
    property string mTextColor: "#303344"

    checked: mChecked
    onToggled: mChecked = checked
    font.pixelSize: g_resolution.getScaleLength(13)

    indicator: Rectangle {
        x: root.leftPadding
        y: (root.height - height) / 2
        width: g_resolution.getScaleLength(16)
        height: width
        radius: g_resolution.getScaleLength(2)
        color: root.checked ? root.mColor : "#FFFFFF"
        border.width: 1
        border.color: root.checked ? root.mColor : "#BAC2CA"
        Text {
            anchors.centerIn: parent
            visible: root.checked
            text: "\u2713"
            color: "#FFFFFF"
            font.pixelSize: parent.height - g_resolution.getScaleLength(2)
        }
    }
    contentItem: Text {
        leftPadding: root.indicator.width + root.spacing
        text: root.text
        color: root.mTextColor
        font: root.font
        verticalAlignment: Text.AlignVCenter
    }
}
