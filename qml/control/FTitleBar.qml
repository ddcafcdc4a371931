import QtQuick 2.12
import "qrc:/common"

// Title bar: the battery gauge on the left, minimise and close on the right; the window lays the device card
// in it.
Rectangle {
    id: mLabelRoutine

    signal mMinBtnClick()
    signal mCloseBtnClick()

    color: "transparent"
    height: g_resolution.getScaleLength(40)

    FBattery_new {
        anchors.left: parent.left
        anchors.leftMargin: g_resolution.getScaleLength(20)
        anchors.verticalCenter: parent.verticalCenter
    }

    Row {
        anchors.right: parent.right
        anchors.rightMargin: g_resolution.getScaleLength(12)
        anchors.verticalCenter: parent.verticalCenter
        spacing: g_resolution.getScaleLength(8)

        Repeater {
            model: [{ "name": "minimize", "close": false, "normal": "qrc:/common/newUI/btn_minimize_normal.png",
                      "hover": "qrc:/common/newUI/btn_minimize_hover.png",
                      "press": "qrc:/common/newUI/btn_minimize_press.png" },
                    { "name": "close", "close": true, "normal": "qrc:/common/newUI/btn_close_normal.png",
                      "hover": "qrc:/common/newUI/btn_close_hover.png",
                      "press": "qrc:/common/newUI/btn_close_press.png" }]
            delegate: FImgBtn {
                objectName: modelData.name
                width: g_resolution.getScaleLength(24)
                height: width
                mIsSelected: down
                mImg: modelData.normal
                mImgHovered: modelData.hover
                mImgSel: modelData.press
                onClicked: modelData.close ? mLabelRoutine.mCloseBtnClick() : mLabelRoutine.mMinBtnClick()
            }
        }
    }
}
