import QtQuick 2.12
import "qrc:/common"

// The key-press preview of the keyboard on the key page: while it is shown, a key pressed in the program's
// window lights in the picture, as long as the key still does what it does from the factory (the key model
// decides). Lies under the key buttons and takes no clicks itself.
HLightEffect {
    id: root

    property bool mHooked: false
    property color mColor: "#43DEF1"

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

    mModels: ["ZEPHRA", "Quenby-8A"]
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
        objectName: "pressedKeys"
        model: g_keyModel.keyValueList

        FKbKeyLightItem {
            readonly property var mItem: g_keyModel.keyList[index]
            readonly property string mId: mItem ? String(mItem.key) : ""
            objectName: "pressed" + mId
            enabled: false
            mKey: mItem ? mItem.key : -1
            x: g_image.keyXMap[mId] || 0
            y: g_image.keyYMap[mId] || 0
            width: g_image.keyWidthMap[mId] || 0
            height: g_image.keyHeightMap[mId] || 0
            mColor: root.mColor
            mOpacityEnable: true
            mBrightness: modelData && modelData.isDown ? 100 : 0
            onClicked: root.clickBtn(mKey)
        }
    }
}
