import QtQuick 2.12

// Preset colours in rows of mDefaultColorRow: the device's own presets when it has some, else mDefaultColor.
// A click chooses the colour and reports it through setPalettes.
Item {
    id: root

    property color palettes: "#FFFFFF"
    property var mDefaultColor: ["#FF0000", "#FF7F00", "#FFFF00", "#00FF00", "#00FFFF", "#0000FF", "#8B00FF",
                                 "#FFFFFF"]
    property int mDefaultColorRow: 8
    property real mOpacity: 1.0
    property bool mEnable: true

    signal setPalettes(color value)

    // A plain array: a repeater makes no items from the model's list type itself.
    readonly property var mColors: {
        var presets = g_lightModel.logo ? g_lightModel.logo.defaultColor : []
        var colours = []
        for (var i = 0; presets && i < presets.length; ++i)
            colours.push(String(presets[i]))
        return colours.length > 0 ? colours : mDefaultColor
    }

    implicitWidth: grid.implicitWidth
    implicitHeight: grid.implicitHeight
    opacity: mEnable ? mOpacity : 0.4
    enabled: mEnable

    Grid {
        id: grid
        columns: Math.max(1, root.mDefaultColorRow)
        spacing: g_resolution.getScaleLength(8)

        Repeater {
            model: root.mColors
            Rectangle {
                width: g_resolution.getScaleLength(22)
                height: width
                radius: g_resolution.getScaleLength(3)
                color: modelData
                border.width: Qt.colorEqual(root.palettes, modelData) ? 2 : 1
                border.color: Qt.colorEqual(root.palettes, modelData) ? "#6195C2" : "#BAC2CA"

                MouseArea {
                    anchors.fill: parent
                    onClicked: {
                        root.palettes = modelData
                        root.setPalettes(modelData)
                    }
                }
            }
        }
    }
}
