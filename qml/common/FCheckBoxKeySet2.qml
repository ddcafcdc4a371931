import QtQuick 2.12
import QtQuick.Controls 2.12

// Check box of the key-setting dialog with an indicator of the given size.
CheckBox {
    id: root

    property int mWidth: 16
    property int mHeight: 16

    font.pixelSize: g_resolution.getScaleLength(13)

    indicator: Rectangle {
        x: root.leftPadding
        y: (root.height - height) / 2
        width: g_resolution.getScaleLength(root.mWidth)
        height: g_resolution.getScaleLength(root.mHeight)
        radius: g_resolution.getScaleLength(3)
        border.width: 1
        border.color: root.checked ? "#6195C2" : "#BAC2CA"
        color: root.checked ? "#6195C2" : "#FFFFFF"
        Text {
            anchors.centerIn: parent
            visible: root.checked
            text: "\u2713"
            color: "#FFFFFF"
            font.pixelSize: Math.max(1, parent.height - g_resolution.getScaleLength(2))
        }
    }
}
