import QtQuick 2.12

// Light-effect preview of the RGB keyboard: the keyboard's views in colour. In monochromatic mode the keys take
// the colour chosen for the selected key; otherwise the colour steps through the spectrum every 2000 ms, the
// way the light direction says.
FKeyboard_Quenby_8A {
    id: root

    property var mColorArray: ["#FF0000", "#FF7F00", "#FFFF00", "#00FF00", "#00FFFF", "#0000FF", "#8B00FF"]
    property bool directionSelected: g_lightModel.logo ? g_lightModel.logo.lightDirection : false
    property bool monochromaticSelected: g_lightModel.logo ? g_lightModel.logo.lightMonochromatic : false
    property int mCurrentKey: -1
    property int mStep: 0
    readonly property string mChosenColor: {
        var colour = f_keyLightModel.currentColor
        return colour === "" ? "" : (colour.charAt(0) === "#" ? colour : "#" + colour)
    }

    signal changeKeyRGB(int index, color rgb)
    signal colorArrayChanged(int r, int g, int b)

    mModels: ["Quenby-RGB"]
    mColor: monochromaticSelected && mChosenColor !== "" ? mChosenColor : mColorArray[mStep]

    Timer {
        interval: 2000
        repeat: true
        running: root.visible && !root.monochromaticSelected
        onTriggered: {
            var count = root.mColorArray.length
            root.mStep = (root.mStep + (root.directionSelected ? count - 1 : 1)) % count
            var colour = Qt.lighter(root.mColorArray[root.mStep], 1.0)
            root.colorArrayChanged(Math.round(colour.r * 255), Math.round(colour.g * 255), Math.round(colour.b * 255))
        }
    }
}
