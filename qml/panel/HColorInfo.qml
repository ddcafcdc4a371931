import QtQuick 2.12

// Colour wheel: hue round the ring, saturation from the centre outwards, and a brightness slider (mSlider, 0 to
// 1) below. Every choice of the user emits colorChanged with the colour; setting colorValue moves the handles.
Item {
    id: root

    property color colorValue: "#FF0000"
    property int colorHandleRadius: 6
    property real mSlider: 1.0

    signal colorChanged(color changedColor)

    property real mHue: 0
    property real mSaturation: 1

    implicitWidth: g_resolution.getScaleLength(180)
    implicitHeight: wheel.height + slider.height + g_resolution.getScaleLength(12)

    function pickAt(x, y) {
        var dx = x - wheel.width / 2
        var dy = y - wheel.height / 2
        var angle = Math.atan2(dy, dx)
        mHue = (angle < 0 ? angle + 2 * Math.PI : angle) / (2 * Math.PI)
        mSaturation = Math.min(1, Math.sqrt(dx * dx + dy * dy) / (wheel.width / 2))
        emitColor()
    }

    function emitColor() {
        colorValue = Qt.hsva(mHue, mSaturation, mSlider, 1)
        colorChanged(colorValue)
    }

    onColorValueChanged: {
        if (colorValue.hsvHue >= 0)
            mHue = colorValue.hsvHue
        mSaturation = colorValue.hsvSaturation
        mSlider = colorValue.hsvValue
    }

    Canvas {
        id: wheel
        width: root.width
        height: width
        onPaint: {
            var ctx = getContext("2d")
            var cx = width / 2, cy = height / 2, radius = width / 2
            ctx.reset()
            var steps = 120
            for (var i = 0; i < steps; ++i) {
                var start = i / steps * 2 * Math.PI
                var end = (i + 1.5) / steps * 2 * Math.PI
                var gradient = ctx.createRadialGradient(cx, cy, 0, cx, cy, radius)
                gradient.addColorStop(0, "#FFFFFF")
                gradient.addColorStop(1, Qt.hsva(i / steps, 1, 1, 1))
                ctx.beginPath()
                ctx.moveTo(cx, cy)
                ctx.arc(cx, cy, radius, start, end, false)
                ctx.closePath()
                ctx.fillStyle = gradient
                ctx.fill()
            }
        }

        Rectangle {
            width: g_resolution.getScaleLength(root.colorHandleRadius * 2)
            height: width
            radius: width / 2
            x: wheel.width / 2 + Math.cos(root.mHue * 2 * Math.PI) * root.mSaturation * wheel.width / 2 - width / 2
            y: wheel.height / 2 + Math.sin(root.mHue * 2 * Math.PI) * root.mSaturation * wheel.height / 2 - height / 2
            color: "transparent"
            border.width: 2
            border.color: "#303344"
        }

        MouseArea {
            anchors.fill: parent
            onPressed: root.pickAt(mouse.x, mouse.y)
            onPositionChanged: root.pickAt(mouse.x, mouse.y)
        }
    }

    Rectangle {
        id: slider
        anchors.top: wheel.bottom
        anchors.topMargin: g_resolution.getScaleLength(12)
        width: root.width
        height: g_resolution.getScaleLength(10)
        radius: height / 2
        gradient: Gradient {
            orientation: Gradient.Horizontal
            GradientStop { position: 0.0; color: "#000000" }
            GradientStop { position: 1.0; color: Qt.hsva(root.mHue, root.mSaturation, 1, 1) }
        }

        Rectangle {
            width: g_resolution.getScaleLength(root.colorHandleRadius * 2)
            height: width
            radius: width / 2
            anchors.verticalCenter: parent.verticalCenter
            x: root.mSlider * slider.width - width / 2
            color: "#FFFFFF"
            border.width: 2
            border.color: "#303344"
        }

        MouseArea {
            anchors.fill: parent
            anchors.margins: -g_resolution.getScaleLength(root.colorHandleRadius)
            function pick(mouse) {
                root.mSlider = Math.max(0, Math.min(1, (mouse.x - root.colorHandleRadius) / Math.max(1, slider.width)))
                root.emitColor()
            }
            onPressed: pick(mouse)
            onPositionChanged: pick(mouse)
        }
    }
}
