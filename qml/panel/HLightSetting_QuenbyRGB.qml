import QtQuick 2.12
import QtQuick.Controls 2.12

// Brightness and speed of the RGB keyboard as two sliders over the lighting model's ranges; a value is
// reported when the slider is let go (selectedBrightness, selectedSpeed), not while it moves.
Item {
    id: root

    signal selectedBrightness(int value)
    signal selectedSpeed(int value)

    function changeBrighenessValue(value, moving) {
        if (!moving)
            selectedBrightness(value)
    }

    function changeSpeedValue(value, moving) {
        if (!moving)
            selectedSpeed(value)
    }

    implicitHeight: mColumn.implicitHeight

    Column {
        id: mColumn
        anchors.left: parent.left
        anchors.right: parent.right
        spacing: g_resolution.getScaleLength(10)

        Repeater {
            model: 2

            Column {
                readonly property var mLogo: g_lightModel.logo
                width: mColumn.width
                spacing: g_resolution.getScaleLength(4)
                Text {
                    text: index === 0 ? qsTr("Lightning Intensity") : qsTr("Speed Of Light")
                    color: "#303344"
                    font.pixelSize: g_resolution.getScaleLength(13)
                }
                Slider {
                    objectName: index === 0 ? "brightnessSlider" : "speedSlider"
                    width: parent.width
                    stepSize: 1
                    snapMode: Slider.SnapAlways
                    from: parent.mLogo ? (index === 0 ? parent.mLogo.brightnessMin : parent.mLogo.speedMin) : 0
                    to: parent.mLogo ? (index === 0 ? parent.mLogo.brightnessMax : parent.mLogo.speedMax) : 0
                    value: parent.mLogo ? (index === 0 ? parent.mLogo.brightness : parent.mLogo.speed) : 0
                    onMoved: {
                        if (index === 0)
                            root.changeBrighenessValue(Math.round(value), pressed)
                        else
                            root.changeSpeedValue(Math.round(value), pressed)
                    }
                    onPressedChanged: {
                        if (pressed)
                            return
                        if (index === 0)
                            root.changeBrighenessValue(Math.round(value), false)
                        else
                            root.changeSpeedValue(Math.round(value), false)
                    }
                }
            }
        }
    }
}
