import QtQuick 2.12
import QtQuick.Controls 2.12
import "pictures.js" as Pictures

// One entry of the navigation bar: icon and text. Checked entries show the pressed icon; while the bar is
// collapsed only the icon stays and the text slides away.
Button {
    id: root

    property string mText: ""
    property string mImg: ""
    property string mImgHovered: ""
    property string mImgPressed: ""
    property bool mCollapsed: false
    property int mTextWidth: 120

    checkable: true
    hoverEnabled: true
    text: mText
    height: g_resolution.getScaleLength(48)
    padding: 0

    background: Rectangle {
        color: root.checked ? "#3D4155" : (root.hovered ? "#383B4E" : "transparent")
        Rectangle {
            visible: root.checked
            width: g_resolution.getScaleLength(3)
            height: parent.height
            color: "#6195C2"
        }
    }
    contentItem: Item {
        clip: true
        Image {
            // Let go at once when the picture changes: a picture left in the cache keeps a timer
            // waking the idle window until it expires.
            cache: false
            id: icon
            x: g_resolution.getScaleLength(20)
            anchors.verticalCenter: parent.verticalCenter
            width: g_resolution.getScaleLength(22)
            height: width
            source: Pictures.choose(root.checked || root.down, root.hovered, root.mImg, root.mImgHovered,
                                    root.mImgPressed, root.mImgPressed)
        }
        Text {
            x: root.mCollapsed ? root.width : icon.x + icon.width + g_resolution.getScaleLength(14)
            anchors.verticalCenter: parent.verticalCenter
            width: g_resolution.getScaleLength(root.mTextWidth)
            text: root.mText
            color: root.checked || root.hovered ? "#6195C2" : "#FFFFFF"
            font.pixelSize: g_resolution.getScaleLength(14)
            elide: Text.ElideRight

            Behavior on x {
                NumberAnimation { duration: 400; easing.type: Easing.OutBounce }
            }
        }
    }
}
