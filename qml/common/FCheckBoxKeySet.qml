import QtQuick 2.12
import QtQuick.Controls 2.12

// Check box of the key-setting dialog: border colour when off, filled colour when on. mChecked mirrors the state.
CheckBox {
    id: root

    property string mColor: "#BAC2CA"
    property string mColorSel: "#6195C2"
    property var mChecked: false

    checked: false
    onMCheckedChanged: checked = !!mChecked
    onToggled: mChecked = checked
    Component.onCompleted: checked = !!mChecked
    font.pixelSize: g_resolution.getScaleLength(13)

    indicator: Rectangle {
        x: root.leftPadding
        y: (root.height - height) / 2
        width: g_resolution.getScaleLength(16)
        height: width
        radius: g_resolution.getScaleLength(3)
        border.width: 1
        border.color: root.checked ? root.mColorSel : root.mColor
        color: root.checked ? root.mColorSel : "#FFFFFF"
        Text {
            anchors.centerIn: parent
            visible: root.checked
            text: "\u2713"
            color: "#FFFFFF"
            font.pixelSize: parent.height - g_resolution.getScaleLength(2)
        }
    }
}
