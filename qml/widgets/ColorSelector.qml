import QtQuick 2.12

// Earlier colour ring: the hues round a ring with a handle on it. Dragging the handle sets mColor at full
// saturation and brightness and reports it through colorSelected.
Item {
    id: root

    property color mColor: "#FF0000"
    property int mRingWidth: 16
    property real mHue: mColor.hsvHue >= 0 ? mColor.hsvHue : 0

    signal colorSelected(color value)

    implicitWidth: g_resolution.getScaleLength(160)
    implicitHeight: implicitWidth

    function pickAt(x, y) {
        var angle = Math.atan2(y - height / 2, x - width / 2)
        mHue = (angle < 0 ? angle + 2 * Math.PI : angle) / (2 * Math.PI)
        mColor = Qt.hsva(mHue, 1, 1, 1)
        colorSelected(mColor)
    }

    Canvas {
        id: ring
        anchors.fill: parent
        onPaint: {
            var ctx = getContext("2d")
            var ringWidth = g_resolution.getScaleLength(root.mRingWidth)
            var radius = Math.min(width, height) / 2 - ringWidth / 2
            ctx.reset()
            ctx.lineWidth = ringWidth
            var steps = 120
            for (var i = 0; i < steps; ++i) {
                ctx.beginPath()
                ctx.strokeStyle = Qt.hsva(i / steps, 1, 1, 1)
                ctx.arc(width / 2, height / 2, radius, i / steps * 2 * Math.PI, (i + 1.5) / steps * 2 * Math.PI, false)
                ctx.stroke()
            }
        }
    }
    Rectangle {
        readonly property real mRadius: Math.min(root.width, root.height) / 2
                                        - g_resolution.getScaleLength(root.mRingWidth) / 2
        width: g_resolution.getScaleLength(root.mRingWidth) + g_resolution.getScaleLength(4)
        height: width
        radius: width / 2
        x: root.width / 2 + Math.cos(root.mHue * 2 * Math.PI) * mRadius - width / 2
        y: root.height / 2 + Math.sin(root.mHue * 2 * Math.PI) * mRadius - height / 2
        color: root.mColor
        border.width: 2
        border.color: "#FFFFFF"
    }
    Rectangle {
        anchors.centerIn: parent
        width: parent.width / 3
        height: width
        radius: width / 2
        color: root.mColor
    }
    MouseArea {
        anchors.fill: parent
        onPressed: root.pickAt(mouse.x, mouse.y)
        onPositionChanged: root.pickAt(mouse.x, mouse.y)
    }
}
