import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"

// The light picture of the keyboard with one button per key light, laid over the light preview: a click
// selects the key and emits it.
Item {
    id: root

    property int mCurrentKey: -1

    signal clickedBtn(int key)

    function selectKey(key) {
        mCurrentKey = key
    }

    // The light picture is drawn from the key page's key rectangles and stretched over the key picture's frame:
    // the buttons take the same rectangles, so each lies on the key it lights on every layout.
    width: g_image.keyImgWidth
    height: g_image.keyImgHeight

    Repeater {
        objectName: "lightButtons"
        model: g_keyModel.keyList

        FKbKeyItem {
            readonly property string mId: modelData ? String(modelData.key) : ""
            objectName: "light" + mId
            mKey: modelData ? modelData.key : -1
            mName: g_image.keyNameMap[mId] || ""
            x: g_image.keyXMap[mId] || 0
            y: g_image.keyYMap[mId] || 0
            width: g_image.keyWidthMap[mId] || 0
            height: g_image.keyHeightMap[mId] || 0
            isCenter: mKey === root.mCurrentKey
            onClicked: {
                root.selectKey(mKey)
                root.clickedBtn(mKey)
            }
        }
    }
}
