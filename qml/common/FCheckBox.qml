import QtQuick 2.12
import QtQuick.Controls 2.12

// Square check box; mIsSelected and the box's own state follow each other both ways.
CheckBox {
    id: root

    property bool mIsSelected: false
    property string mColor: "#6195C2"

    checked: false
    onMIsSelectedChanged: checked = mIsSelected
    onToggled: mIsSelected = checked
    Component.onCompleted: checked = mIsSelected
    font.pixelSize: g_resolution.getScaleLength(13)

    indicator: Rectangle {
        x: root.leftPadding
        y: (root.height - height) / 2
        width: g_resolution.getScaleLength(16)
        height: width
        radius: g_resolution.getScaleLength(2)
        border.width: 1
        border.color: root.checked ? root.mColor : "#BAC2CA"
        color: "#FFFFFF"
        Rectangle {
            anchors.centerIn: parent
            width: parent.width - g_resolution.getScaleLength(6)
            height: width
            radius: g_resolution.getScaleLength(1)
            color: root.mColor
            visible: root.checked
        }
    }
}
