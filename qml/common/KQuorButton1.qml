import QtQuick 2.12
import QtQuick.Controls 2.12

// Earlier text button: a rounded button in the accent colour, darker on hover and press.
Button {
    id: root

    property string mText: ""
    property int mFontSize: 14
    property int mRadius: 4
    property string mColor: "#6195C2"

    hoverEnabled: true
    text: mText
    implicitHeight: g_resolution.getScaleLength(32)
    contentItem: Text {
        text: root.mText
        color: "#FFFFFF"
        font.pixelSize: g_resolution.getScaleLength(Math.max(1, root.mFontSize))
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }
    background: Rectangle {
        radius: g_resolution.getScaleLength(root.mRadius)
        color: root.down ? Qt.darker(root.mColor, 1.3) : (root.hovered ? Qt.darker(root.mColor, 1.1) : root.mColor)
        opacity: root.enabled ? 1 : 0.5
    }
}
