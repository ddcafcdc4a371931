import QtQuick 2.12
import QtQuick.Controls 2.12

// Slider of one DPI stage with its label: it takes the DPI model's range and steps, shows the value while it
// moves and writes the stage on release.
Row {
    id: root

    property int mIndex: 0
    property string mText: qsTr("DPI") + " " + (mIndex + 1)
    readonly property int mValue: g_dpiModel.values !== undefined && mIndex < g_dpiModel.values.length
                                  ? g_dpiModel.values[mIndex] : 0

    spacing: g_resolution.getScaleLength(10)

    Text {
        anchors.verticalCenter: parent.verticalCenter
        width: g_resolution.getScaleLength(60)
        text: root.mText
        color: "#303344"
        font.pixelSize: g_resolution.getScaleLength(13)
    }
    Slider {
        id: slider
        anchors.verticalCenter: parent.verticalCenter
        width: g_resolution.getScaleLength(260)
        from: g_dpiModel.minValue
        to: Math.max(g_dpiModel.minValue, g_dpiModel.maxValue)
        stepSize: Math.max(1, g_dpiModel.stepValue)
        snapMode: Slider.SnapAlways
        value: root.mValue
        onPressedChanged: {
            if (!pressed)
                g_dpiModel.setDpi(root.mIndex, Math.round(value))
        }
    }
    Text {
        anchors.verticalCenter: parent.verticalCenter
        text: String(Math.round(slider.value))
        color: "#6195C2"
        font.pixelSize: g_resolution.getScaleLength(13)
    }
}
