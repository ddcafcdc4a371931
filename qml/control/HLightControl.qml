import QtQuick 2.12

// A dial for a light value (speed or brightness): the needle follows the mouse between the two limit angles,
// the value between minValue and maxValue is proportional to the angle, and releasing the mouse reports the
// value through setLightValue.
Item {
    id: root

    property string mBackground: ""
    property real minAngleValue: -135
    property real maxAngleValue: 135
    property real currentAngle: minAngleValue
    property real maxValue: 10
    property real minValue: 0
    property real currentValue: minValue
    property real angle: currentAngle
    // The needle picture points up at angle 0.
    property real angleOffset: 0

    signal setLightValue(real value)

    // Puts the needle where the current value stands.
    function initNeedle() {
        updateCurrentAngleByValue(currentValue)
    }

    // Angle of a point of the dial, in degrees clockwise from straight up, within the limits.
    function getRotateAngle(x, y) {
        var dx = x - width / 2
        var dy = height / 2 - y
        var degrees = Math.atan2(dx, dy) * 180 / Math.PI
        return Math.max(minAngleValue, Math.min(maxAngleValue, degrees))
    }

    function updateCanvasByMousePos(x, y) {
        updateCanvasByAngle(getRotateAngle(x, y))
        updateCurrentValue()
    }

    // The whole value nearest to the needle's angle.
    function updateCurrentValue() {
        var span = maxAngleValue - minAngleValue
        var share = span > 0 ? (currentAngle - minAngleValue) / span : 0
        currentValue = Math.round(minValue + share * (maxValue - minValue))
    }

    function updateCurrentAngleByValue(value) {
        var range = maxValue - minValue
        var bounded = Math.max(minValue, Math.min(maxValue, value))
        var share = range > 0 ? (bounded - minValue) / range : 0
        currentValue = bounded
        updateCanvasByAngle(minAngleValue + share * (maxAngleValue - minAngleValue))
    }

    function updateCanvasByAngle(value) {
        currentAngle = value
    }

    implicitWidth: g_resolution.getScaleLength(150)
    implicitHeight: implicitWidth
    opacity: enabled ? 1 : 0.4

    Image {
        // Let go at once when the picture changes: a picture left in the cache keeps a timer
        // waking the idle window until it expires.
        cache: false
        anchors.fill: parent
        source: root.mBackground
        fillMode: Image.PreserveAspectFit
    }
    Rectangle {
        anchors.centerIn: parent
        width: parent.width * 0.8
        height: width
        radius: width / 2
        color: "transparent"
        border.width: g_resolution.getScaleLength(2)
        border.color: "#BAC2CA"
    }
    Rectangle {
        id: mNeedle
        objectName: "needle"
        x: parent.width / 2 - width / 2
        y: parent.height / 2 - height
        width: g_resolution.getScaleLength(4)
        height: parent.height * 0.36
        radius: width / 2
        color: "#6195C2"
        transformOrigin: Item.Bottom
        rotation: root.angle + root.angleOffset
    }
    Text {
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.bottom: parent.bottom
        text: Math.round(root.currentValue)
        color: "#303344"
        font.pixelSize: g_resolution.getScaleLength(16)
        font.bold: true
    }
    MouseArea {
        anchors.fill: parent
        onPressed: root.updateCanvasByMousePos(mouse.x, mouse.y)
        onPositionChanged: root.updateCanvasByMousePos(mouse.x, mouse.y)
        onReleased: root.setLightValue(root.currentValue)
    }

    onMaxValueChanged: initNeedle()
    onMinValueChanged: initNeedle()
    Component.onCompleted: initNeedle()
}
