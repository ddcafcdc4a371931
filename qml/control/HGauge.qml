import QtQuick 2.12

// The pointer-speed dial: the light dial with the speed picture and needle; releasing reports the speed
// through setMouseSpeed.
HLightControl {
    id: root

    signal setMouseSpeed(real value)

    mBackground: "qrc:/common/newUI/windowsSpeed_slider.png"
    minValue: 1
    maxValue: 20
    onSetLightValue: setMouseSpeed(value)

    Image {
        x: parent.width / 2 - width / 2
        y: parent.height / 2 - height
        width: g_resolution.getScaleLength(10)
        height: parent.height * 0.4
        source: "qrc:/common/newUI/windowsSpeed_point.png"
        transformOrigin: Item.Bottom
        rotation: root.angle + root.angleOffset
    }
}
