import QtQuick 2.12
import "qrc:/common"

// The key picture of the RGB keyboard on the key page: every key in its own colour and brightness from the
// per-key light model, and a key pressed in the program's window flashing (key-press preview).
HLightEffect {
    id: root

    property bool mHooked: false
    property int mCurrentKey: -1

    signal clickBtn(int key)

    function updateHook() {
        var want = visible && g_deviceCtl.online
        if (want === mHooked)
            return
        mHooked = want
        if (want)
            g_keyModel.installHook()
        else
            g_keyModel.unInstallHook()
    }

    // The light item of a key, or null.
    function lightOf(key) {
        var list = f_keyLightModel.keyLightList
        for (var i = 0; i < list.length; ++i) {
            if (list[i] && list[i].key === key)
                return list[i]
        }
        return null
    }

    mModels: ["Quenby-RGB"]
    width: g_image.keyImgWidth
    height: g_image.keyImgHeight

    onVisibleChanged: updateHook()
    Component.onCompleted: updateHook()
    Component.onDestruction: {
        if (mHooked)
            g_keyModel.unInstallHook()
    }

    Connections {
        target: g_deviceCtl
        function onOnlineChanged() { root.updateHook() }
    }

    Repeater {
        model: g_keyModel.keyValueList

        FKbKeyLightItem {
            readonly property var mItem: g_keyModel.keyList[index]
            readonly property string mId: mItem ? String(mItem.key) : ""
            readonly property var mLight: mItem ? root.lightOf(mItem.key) : null
            objectName: "pressed" + mId
            enabled: false
            isRGB: true
            mKey: mItem ? mItem.key : -1
            x: g_image.keyXMap[mId] || 0
            y: g_image.keyYMap[mId] || 0
            width: g_image.keyWidthMap[mId] || 0
            height: g_image.keyHeightMap[mId] || 0
            isCenter: mKey === root.mCurrentKey
            mColor: mLight && mLight.color !== "" ? "#" + mLight.color : "#FFFFFF"
            mBrightness: mLight && f_keyLightModel.maxValue > 0
                         ? Math.round(100 * mLight.brightness / f_keyLightModel.maxValue) : 100
            mIsDown: modelData ? modelData.isDown : false
            onClicked: root.clickBtn(mKey)
        }
    }
}
