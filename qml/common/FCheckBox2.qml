import QtQuick 2.12
import QtQuick.Controls 2.12

// Round check box (second style); mIsSelected and the box's own state follow each other both ways.
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
        radius: width / 2
        border.width: 1
        border.color: root.checked ? root.mColor : "#BAC2CA"
        color: "#FFFFFF"
        Rectangle {
            anchors.centerIn: parent
            width: parent.width / 2
            height: width
            radius: width / 2
            color: root.mColor
            visible: root.checked
        }
    }
}
