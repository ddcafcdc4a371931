import QtQuick 2.12
import QtQuick.Controls 2.12

// One key over the keyboard picture: transparent until hovered; a changed key carries a mark, the key being
// set (isCenter) is framed.
Button {
    id: root

    property bool isChange: false
    property bool isCenter: false
    property int mKey: 0
    property string mName: ""
    property color mColor: "#6195C2"

    hoverEnabled: true
    padding: 0
    text: mName
    contentItem: Item {}
    background: Rectangle {
        radius: g_resolution.getScaleLength(3)
        color: root.down ? Qt.rgba(root.mColor.r, root.mColor.g, root.mColor.b, 0.45)
                         : (root.hovered ? Qt.rgba(root.mColor.r, root.mColor.g, root.mColor.b, 0.25) : "transparent")
        border.width: root.isCenter || root.hovered ? 2 : 0
        border.color: root.mColor

        Rectangle {
            visible: root.isChange
            anchors.right: parent.right
            anchors.top: parent.top
            anchors.margins: g_resolution.getScaleLength(3)
            width: g_resolution.getScaleLength(6)
            height: width
            radius: width / 2
            color: root.mColor
        }
    }
}
