import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"
import "qrc:/widgets"

// Earlier light settings panel of one zone (mItem, written for mZone): the effect, brightness and speed
// (each written on release, offered where the effect has them), the colour from the ring or a preset.
Column {
    id: root

    property var mItem: g_lightModel.logo
    property int mZone: 0
    readonly property int mModel: mItem ? mItem.model : 0
    readonly property bool mHasBrightness: mItem !== null && mItem.brightnessState !== undefined
                                           && mModel < mItem.brightnessState.length && mItem.brightnessState[mModel]
    readonly property bool mHasSpeed: mItem !== null && mItem.speedState !== undefined
                                      && mModel < mItem.speedState.length && mItem.speedState[mModel]
    readonly property var mPresets: {
        var presets = mItem ? mItem.defaultColor : []
        var plain = []
        for (var i = 0; presets && i < presets.length; ++i)
            plain.push(String(presets[i]))
        return plain
    }

    function writeColor(value) {
        if (!mItem)
            return
        var rgb = mItem.changeTextToRGB(String(value).replace("#", ""), true)
        if (rgb && rgb.length >= 3)
            mItem.writeRGB(rgb[0], rgb[1], rgb[2], mZone)
    }

    component SliderRow: Row {
        property alias mText: label.mText
        property alias mFrom: slider.from
        property alias mTo: slider.to
        property alias mValue: slider.value
        signal released(int value)
        spacing: g_resolution.getScaleLength(10)
        KQuorText {
            id: label
            anchors.verticalCenter: parent.verticalCenter
            width: g_resolution.getScaleLength(150)
            mFontSize: 13
        }
        Slider {
            id: slider
            anchors.verticalCenter: parent.verticalCenter
            width: g_resolution.getScaleLength(220)
            stepSize: 1
            snapMode: Slider.SnapAlways
            onPressedChanged: {
                if (!pressed)
                    parent.released(Math.round(value))
            }
        }
    }

    spacing: g_resolution.getScaleLength(12)
    enabled: g_image.hasLight && mItem !== null

    Row {
        spacing: g_resolution.getScaleLength(10)
        KQuorText {
            anchors.verticalCenter: parent.verticalCenter
            width: g_resolution.getScaleLength(150)
            mText: qsTr("Lighting effect")
            mFontSize: 13
        }
        KLightModelSelector {
            objectName: "lightMode"
            mItem: root.mItem
            mZone: root.mZone
        }
    }
    SliderRow {
        objectName: "brightness"
        visible: root.mHasBrightness
        mText: qsTr("LIGHTING INTENSITY")
        mFrom: root.mItem ? root.mItem.brightnessMin : 0
        mTo: root.mItem ? root.mItem.brightnessMax : 0
        mValue: root.mItem ? root.mItem.brightness : 0
        onReleased: root.mItem.writeBrightness(value, root.mZone)
    }
    SliderRow {
        objectName: "speed"
        visible: root.mHasSpeed
        mText: qsTr("SPEED OF LIGHT")
        mFrom: root.mItem ? root.mItem.speedMin : 0
        mTo: root.mItem ? root.mItem.speedMax : 0
        mValue: root.mItem ? root.mItem.speed : 0
        onReleased: root.mItem.writeSpeed(value, root.mZone)
    }
    KQuorText { mText: qsTr("LOGO Light color"); mFontSize: 13 }
    Row {
        spacing: g_resolution.getScaleLength(20)
        ColorSelector {
            objectName: "colorRing"
            width: g_resolution.getScaleLength(120)
            height: width
            mColor: root.mItem && root.mItem.color !== "" ? "#" + root.mItem.color.replace("#", "") : "#FFFFFF"
            onColorSelected: root.writeColor(value)
        }
        Column {
            spacing: g_resolution.getScaleLength(8)
            KQuorText2 { mText: qsTr("Preset") }
            Grid {
                columns: 4
                spacing: g_resolution.getScaleLength(6)
                Repeater {
                    model: root.mPresets
                    delegate: KColorItem {
                        objectName: "preset" + index
                        mColor: modelData
                        onClickedColor: root.writeColor(value)
                    }
                }
            }
        }
    }
}
