import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"

// The mouse picture of the mouse pages: the layout's picture with one button per mouse button at the layout's
// place, labelled on the side the layout gives with what the button does now. A click selects the button and
// emits it.
Item {
    id: root

    property int mCurrentKey: -1
    property bool mShowLabels: true

    signal clickedBtn(int key)
    signal hideMacroAndFunc()
    signal keyImgMapChanged()

    // Marks the button being set (-1: none).
    function selectKey(key) {
        mCurrentKey = key
    }

    width: g_image.keyImgWidth
    height: g_image.keyImgHeight

    Connections {
        target: g_image
        function onKeyImgMapChanged() {
            root.keyImgMapChanged()
        }
    }

    Image {
        objectName: "mousePicture"
        anchors.fill: parent
        source: g_image.keyBaseImg
        fillMode: Image.PreserveAspectFit
    }

    Repeater {
        objectName: "mouseButtons"
        model: g_keyModel.keyList

        Item {
            id: mButton
            readonly property var mItem: modelData
            readonly property string mId: mItem ? String(mItem.key) : ""
            readonly property bool mLeft: g_image.keyLeftMap[mId] === true
            objectName: "button" + mId
            x: g_image.keyXMap[mId] || 0
            y: g_image.keyYMap[mId] || 0
            width: g_resolution.getScaleLength(24)
            height: width

            Image {
                anchors.fill: parent
                source: g_image.keyImgMap[mButton.mId] || ""
                visible: mButton.mItem !== undefined && mButton.mItem.key === root.mCurrentKey
            }
            KQuorKeyItem {
                objectName: "key" + mButton.mId
                anchors.verticalCenter: parent.verticalCenter
                x: mButton.mLeft ? -width - g_resolution.getScaleLength(8) : parent.width + g_resolution.getScaleLength(8)
                width: g_resolution.getScaleLength(120)
                height: g_resolution.getScaleLength(26)
                visible: root.mShowLabels
                mKey: mButton.mItem ? mButton.mItem.key : -1
                mText: mButton.mItem ? mButton.mItem.txt : ""
                mIsSelect: mKey === root.mCurrentKey
                onClicked: {
                    root.selectKey(mKey)
                    root.clickedBtn(mKey)
                }
            }
        }
    }
}
