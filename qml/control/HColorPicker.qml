import QtQuick 2.12

// Saturation (left to right) and brightness (top to bottom) over one hue; the handle of radius r marks the
// choice and follows the mouse.
Item {
    id: root

    property color hueColor: "#FF0000"
    property real saturation: 1.0
    property real brightness: 1.0
    property int r: 6

    implicitWidth: g_resolution.getScaleLength(200)
    implicitHeight: g_resolution.getScaleLength(150)

    Rectangle {
        anchors.fill: parent
        gradient: Gradient {
            orientation: Gradient.Horizontal
            GradientStop { position: 0.0; color: "#FFFFFF" }
            GradientStop { position: 1.0; color: root.hueColor }
        }
    }
    Rectangle {
        anchors.fill: parent
        gradient: Gradient {
            GradientStop { position: 0.0; color: "transparent" }
            GradientStop { position: 1.0; color: "#000000" }
        }
    }
    Rectangle {
        x: root.saturation * root.width - width / 2
        y: (1.0 - root.brightness) * root.height - height / 2
        width: g_resolution.getScaleLength(root.r * 2)
        height: width
        radius: width / 2
        color: "transparent"
        border.width: 2
        border.color: root.brightness > 0.5 ? "#303344" : "#FFFFFF"
    }
    MouseArea {
        anchors.fill: parent
        function pick(mouse) {
            root.saturation = Math.max(0, Math.min(1, mouse.x / Math.max(1, width)))
            root.brightness = 1.0 - Math.max(0, Math.min(1, mouse.y / Math.max(1, height)))
        }
        onPressed: pick(mouse)
        onPositionChanged: pick(mouse)
    }
}
