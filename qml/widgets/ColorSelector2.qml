import QtQuick 2.12

// Earlier colour ring, second style: the ring of ColorSelector with the chosen colour's text in its middle; a
// choice goes out only when the handle is let go.
Item {
    id: root

    property color mColor: "#FF0000"

    signal colorSelected(color value)

    implicitWidth: g_resolution.getScaleLength(160)
    implicitHeight: implicitWidth

    ColorSelector {
        id: ring
        anchors.fill: parent
        mRingWidth: 12
        mColor: root.mColor
        onColorSelected: root.mColor = value
    }
    Text {
        anchors.centerIn: parent
        text: String(root.mColor).toUpperCase()
        color: root.mColor.hsvValue > 0.6 && root.mColor.hsvSaturation < 0.5 ? "#303344" : "#FFFFFF"
        font.pixelSize: g_resolution.getScaleLength(11)
    }
    MouseArea {
        anchors.fill: parent
        onPressed: ring.pickAt(mouse.x, mouse.y)
        onPositionChanged: ring.pickAt(mouse.x, mouse.y)
        onReleased: root.colorSelected(root.mColor)
    }
}
