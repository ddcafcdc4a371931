import QtQuick 2.12
import QtQuick.Controls 2.12

// Earlier check box, third style: a switch track whose knob slides to the checked side.
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
        width: g_resolution.getScaleLength(34)
        height: g_resolution.getScaleLength(18)
        radius: height / 2
        color: root.checked ? root.mColor : "#BAC2CA"
        Rectangle {
            x: root.checked ? parent.width - width - g_resolution.getScaleLength(2) : g_resolution.getScaleLength(2)
            anchors.verticalCenter: parent.verticalCenter
            width: parent.height - g_resolution.getScaleLength(4)
            height: width
            radius: width / 2
            color: "#FFFFFF"
            Behavior on x {
                NumberAnimation { duration: 150 }
            }
        }
    }
}
