import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"

// The keyboard picture of the key page: the layout's picture with one button per key at the layout's place.
// A key that no longer does what it does from the factory is marked, and its side label says what it does
// now. A click selects the key and emits it.
Item {
    id: root

    property int mCurrentKey: -1
    property bool mShowLabels: true

    signal clickedBtn(int key)

    // Marks the key being set (-1: none).
    function selectKey(key) {
        mCurrentKey = key
    }

    // A key is changed when it carries a function other than its factory one (0 is "not read yet").
    function isChanged(item) {
        if (!item || item.type === 0)
            return false
        var origin = g_keyModel.orginFuncMap[String(item.key)]
        return origin === undefined || item.type !== origin
    }

    width: g_image.keyImgWidth
    height: g_image.keyImgHeight

    Image {
        id: mPicture
        objectName: "keyboardPicture"
        anchors.fill: parent
        source: g_image.keyboardKeyBaseImg
        fillMode: Image.Stretch
    }

    Repeater {
        id: mKeys
        objectName: "keyButtons"
        model: g_keyModel.keyList

        FKbKeyItem {
            readonly property var mItem: modelData
            readonly property string mId: mItem ? String(mItem.key) : ""
            objectName: "key" + mId
            mKey: mItem ? mItem.key : -1
            x: g_image.keyXMap[mId] || 0
            y: g_image.keyYMap[mId] || 0
            width: g_image.keyWidthMap[mId] || 0
            height: g_image.keyHeightMap[mId] || 0
            mName: mItem ? mItem.txt : ""
            isChange: root.isChanged(mItem)
            isCenter: mKey === root.mCurrentKey
            onClicked: {
                root.selectKey(mKey)
                root.clickedBtn(mKey)
            }

            // The key's legend (the picture carries none).
            Text {
                objectName: "legend"
                anchors.fill: parent
                anchors.margins: g_resolution.getScaleLength(4)
                text: (g_image.keyNameMap[parent.mId] || "").replace(/ Key$/, "")
                color: "#C9D2DC"
                font.pixelSize: g_resolution.getScaleLength(11)
                horizontalAlignment: Text.AlignLeft
                verticalAlignment: Text.AlignTop
                elide: Text.ElideRight
            }

            FKbButtonSidebar {
                objectName: "label"
                visible: root.mShowLabels && parent.isChange
                // Over the lower half of its own key, leaving the legend and the keys around it free.
                mTop: parent.verticalCenter
                mHCenter: parent.horizontalCenter
                mText: qsTr(parent.mName)
                mTextWidth: 46
                z: 1
            }
        }
    }
}
