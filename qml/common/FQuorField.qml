import QtQuick 2.12
import QtQuick.Controls 2.12

// Rounded text field.
TextField {
    id: root

    property int mRadius: 4

    selectByMouse: true
    color: "#303344"
    font.pixelSize: g_resolution.getScaleLength(13)
    background: Rectangle {
        radius: g_resolution.getScaleLength(root.mRadius)
        color: "#FFFFFF"
        border.width: 1
        border.color: root.activeFocus ? "#6195C2" : "#BAC2CA"
    }
}
