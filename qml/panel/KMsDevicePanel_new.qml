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

    // The labels stand beside their buttons: the panel widens by what they reach beyond the picture on either
    // side, so that whoever places the panel places the labels with it.
    readonly property int mLabelWidth: g_resolution.getScaleLength(120)
    readonly property int mLabelGap: g_resolution.getScaleLength(8)
    readonly property int mButtonSize: g_resolution.getScaleLength(24)
    readonly property var mRooms: {
        var keys = g_keyModel.keyList
        var left = 0
        var right = 0
        for (var i = 0; i < keys.length; ++i) {
            if (!keys[i])
                continue
            var id = String(keys[i].key)
            var x = g_image.keyXMap[id] || 0
            if (g_image.keyLeftMap[id] === true)
                left = Math.max(left, mLabelWidth + mLabelGap - x)
            else
                right = Math.max(right, x + mButtonSize + mLabelGap + mLabelWidth - g_image.keyImgWidth)
        }
        return [left, right]
    }
    readonly property int mLabelRoom: mRooms[0]

    readonly property int mLabelHeight: g_resolution.getScaleLength(26)
    // How far each label moves down from beside its button (by key id), so that no two labels on one side of
    // the picture cover each other: on each side, from the top down, a label starts below the one above.
    readonly property var mLabelShift: {
        var keys = g_keyModel.keyList
        var sides = [[], []]
        for (var i = 0; i < keys.length; ++i) {
            if (!keys[i])
                continue
            var id = String(keys[i].key)
            sides[g_image.keyLeftMap[id] === true ? 0 : 1].push({ "id": id, "y": g_image.keyYMap[id] || 0 })
        }
        var shifts = {}
        var button = mButtonSize
        for (var s = 0; s < 2; ++s) {
            sides[s].sort(function(a, b) { return a.y - b.y })
            var free = -1e9
            for (var j = 0; j < sides[s].length; ++j) {
                var top = sides[s][j].y + (button - mLabelHeight) / 2
                var placed = Math.max(top, free)
                shifts[sides[s][j].id] = placed - top
                free = placed + mLabelHeight + g_resolution.getScaleLength(4)
            }
        }
        return shifts
    }

    width: g_image.keyImgWidth + mRooms[0] + mRooms[1]
    height: g_image.keyImgHeight

    Connections {
        target: g_image
        function onKeyImgMapChanged() {
            root.keyImgMapChanged()
        }
    }

    Image {
        objectName: "mousePicture"
        x: root.mLabelRoom
        width: g_image.keyImgWidth
        height: parent.height
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
            x: root.mLabelRoom + (g_image.keyXMap[mId] || 0)
            y: g_image.keyYMap[mId] || 0
            width: root.mButtonSize
            height: width

            Image {
                anchors.fill: parent
                source: g_image.keyImgMap[mButton.mId] || ""
                visible: mButton.mItem !== undefined && mButton.mItem.key === root.mCurrentKey
            }
            // A label moved down below its neighbour is tied to its button by a bent line across the gap.
            Item {
                objectName: "leader" + mButton.mId
                readonly property real mDrop: root.mLabelShift[mButton.mId] || 0
                visible: root.mShowLabels && mDrop > 0
                x: mButton.mLeft ? -root.mLabelGap : parent.width
                y: parent.height / 2
                width: root.mLabelGap
                height: mDrop + 1

                Rectangle {
                    x: mButton.mLeft ? parent.width / 2 : 0
                    width: parent.width / 2
                    height: 1
                    color: "#8C95A3"
                }
                Rectangle {
                    x: parent.width / 2
                    width: 1
                    height: parent.height
                    color: "#8C95A3"
                }
                Rectangle {
                    x: mButton.mLeft ? 0 : parent.width / 2
                    y: parent.height - 1
                    width: parent.width / 2
                    height: 1
                    color: "#8C95A3"
                }
            }
            KQuorKeyItem {
                objectName: "key" + mButton.mId
                anchors.verticalCenter: parent.verticalCenter
                anchors.verticalCenterOffset: root.mLabelShift[mButton.mId] || 0
                x: mButton.mLeft ? -width - root.mLabelGap : parent.width + root.mLabelGap
                width: root.mLabelWidth
                height: root.mLabelHeight
                visible: root.mShowLabels
                mKey: mButton.mItem ? mButton.mItem.key : -1
                mText: mButton.mItem ? qsTr(mButton.mItem.txt) : ""
                mIsSelect: mKey === root.mCurrentKey
                onClicked: {
                    root.selectKey(mKey)
                    root.clickedBtn(mKey)
                }
            }
        }
    }
}
