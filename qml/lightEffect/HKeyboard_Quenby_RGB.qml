import QtQuick 2.12

// Light-effect preview of the RGB keyboard: the keyboard's views in colour. In monochromatic mode the keys take
// the colour chosen for the selected key; otherwise the colour steps through the spectrum every 2000 ms, the
// way the light direction says. In the custom effect each key shows its own colour.
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

    // The RGB keyboard's effects (always on, breathing, wave, spectrum, star dot, ripple, reactive, custom) on
    // the keyboard's views; spectrum is the steady view in changing colours.
    function viewOfEffect(index) {
        var views = [0, 2, 4, 0, 3, 5, 1, 6]
        return index >= 0 && index < views.length ? views[index] : -1
    }

    // In the custom view each key shows its own colour.
    function keyColor(key) {
        var list = f_keyLightModel.keyLightList
        for (var i = 0; i < list.length; ++i) {
            if (list[i] && list[i].key === key && list[i].color !== "")
                return "#" + list[i].color
        }
        return mColor
    }

    mModels: ["Quenby-RGB"]
    mColor: monochromaticSelected && mChosenColor !== "" ? mChosenColor : mColorArray[mStep]

    Timer {
        interval: 2000
        repeat: true
        running: root.mSeen && !root.monochromaticSelected
        onTriggered: {
            var count = root.mColorArray.length
            root.mStep = (root.mStep + (root.directionSelected ? count - 1 : 1)) % count
            var colour = Qt.lighter(root.mColorArray[root.mStep], 1.0)
            root.colorArrayChanged(Math.round(colour.r * 255), Math.round(colour.g * 255), Math.round(colour.b * 255))
        }
    }
}
