import QtQuick 2.12
import QtQuick.Controls 2.12

// Earlier check box, second style: a round mark that fills while checked.
CheckBox {
    id: root

    property bool mChecked: false
    property string mColor: "#6195C2"

    checked: mChecked
    onToggled: mChecked = checked
    font.pixelSize: g_resolution.getScaleLength(13)

    indicator: Rectangle {
        x: root.leftPadding
        y: (root.height - height) / 2
        width: g_resolution.getScaleLength(16)
        height: width
        radius: width / 2
        color: "#FFFFFF"
        border.width: 1
        border.color: root.checked ? root.mColor : "#BAC2CA"
        Rectangle {
            anchors.centerIn: parent
            width: parent.width / 2
            height: width
            radius: width / 2
            color: root.mColor
            visible: root.checked
        }
    }
}
