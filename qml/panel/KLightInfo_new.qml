import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"
import "qrc:/control"
import "qrc:/widgets"

// Second earlier light settings panel: the effects as buttons, brightness and speed on the dials of the later
// pages, and the colour from the second ring or the palette. Every write names the zone mZone.
Column {
    id: root

    property var mItem: g_lightModel.logo
    property int mZone: 0
    readonly property var mModeNames: {
        var names = mItem ? mItem.text : []
        var plain = []
        for (var i = 0; names && i < names.length; ++i)
            plain.push(String(names[i]))
        return plain
    }

    function writeColor(value) {
        if (!mItem)
            return
        var rgb = mItem.changeTextToRGB(String(value).replace("#", ""), true)
        if (rgb && rgb.length >= 3)
            mItem.writeRGB(rgb[0], rgb[1], rgb[2], mZone)
    }

    spacing: g_resolution.getScaleLength(12)
    enabled: g_image.hasLight && mItem !== null

    KQuorText { mText: qsTr("Lighting effect") }
    Flow {
        width: g_resolution.getScaleLength(420)
        spacing: g_resolution.getScaleLength(8)
        Repeater {
            model: root.mModeNames
            delegate: KSelectBtn {
                objectName: "lightMode" + index
                width: g_resolution.getScaleLength(130)
                mText: modelData
                mIndex: index
                mIsSelected: root.mItem !== null && root.mItem.model === index
                onSelected: root.mItem.writeModel(index, root.mZone)
            }
        }
    }
    Row {
        spacing: g_resolution.getScaleLength(30)
        Column {
            spacing: g_resolution.getScaleLength(6)
            KQuorText { mText: qsTr("Lightning Intensity"); mFontSize: 13 }
            HLightControl {
                objectName: "brightness"
                width: g_resolution.getScaleLength(120)
                height: width
                minValue: root.mItem ? root.mItem.brightnessMin : 0
                maxValue: root.mItem ? root.mItem.brightnessMax : 0
                currentValue: root.mItem ? root.mItem.brightness : 0
                onSetLightValue: root.mItem.writeBrightness(Math.round(value), root.mZone)
            }
        }
        Column {
            spacing: g_resolution.getScaleLength(6)
            KQuorText { mText: qsTr("Speed Of Light"); mFontSize: 13 }
            HLightControl {
                objectName: "speed"
                width: g_resolution.getScaleLength(120)
                height: width
                minValue: root.mItem ? root.mItem.speedMin : 0
                maxValue: root.mItem ? root.mItem.speedMax : 0
                currentValue: root.mItem ? root.mItem.speed : 0
                onSetLightValue: root.mItem.writeSpeed(Math.round(value), root.mZone)
            }
        }
    }
    Row {
        spacing: g_resolution.getScaleLength(20)
        ColorSelector2 {
            width: g_resolution.getScaleLength(120)
            height: width
            onColorSelected: root.writeColor(value)
        }
        HPalettes {
            mDefaultColorRow: 4
            onSetPalettes: root.writeColor(value)
        }
    }
}
