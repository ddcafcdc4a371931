import QtQuick 2.12
import "qrc:/common"

// Earlier mouse picture with keys: the layout's picture and, at each button's place, a label with what the
// button does now. A click marks the button and emits it.
Item {
    id: root

    property int mCurrentKey: -1

    signal clickedBtn(int key)

    width: g_image.keyImgWidth
    height: g_image.keyImgHeight

    Image {
        anchors.fill: parent
        source: g_image.keyBaseImg
        fillMode: Image.PreserveAspectFit
    }
    Repeater {
        model: g_keyModel.keyList
        delegate: KQuorKeyItem {
            readonly property string mId: modelData ? String(modelData.key) : ""
            objectName: "key" + mId
            x: (g_image.keyXMap[mId] || 0) + (g_image.keyLeftMap[mId] === true ? -width : g_resolution.getScaleLength(24))
            y: g_image.keyYMap[mId] || 0
            width: g_resolution.getScaleLength(110)
            height: g_resolution.getScaleLength(24)
            mKey: modelData ? modelData.key : -1
            mText: modelData ? modelData.txt : ""
            mIsSelect: mKey === root.mCurrentKey
            onClicked: {
                root.mCurrentKey = mKey
                root.clickedBtn(mKey)
            }
        }
    }
}
