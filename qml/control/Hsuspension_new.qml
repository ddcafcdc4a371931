import QtQuick 2.12

// Floating tip of the main window: an icon for the style (success, failure, warning) and the message its user
// lays in. It fades in on mShowTips and out on mCloseTips or by itself after a while.
Rectangle {
    id: root

    property int mDuration: 1000
    property int mStyle: 0
    property string mText: ""
    default property alias mContent: content.data

    function mShowTips(style, message) {
        mStyle = style
        mText = message
        hideTimer.restart()
        opacity = 1
    }

    function mCloseTips() {
        hideTimer.stop()
        opacity = 0
    }

    color: "#6DECFF"
    radius: 5
    opacity: 0
    visible: opacity > 0
    width: Math.max(g_resolution.getScaleLength(200), content.childrenRect.width + g_resolution.getScaleLength(60))
    height: g_resolution.getScaleLength(40)

    Behavior on opacity {
        NumberAnimation { duration: root.mDuration }
    }

    Timer {
        id: hideTimer
        interval: 3000
        onTriggered: root.opacity = 0
    }

    Image {
        id: icon
        x: g_resolution.getScaleLength(12)
        anchors.verticalCenter: parent.verticalCenter
        width: g_resolution.getScaleLength(18)
        height: width
        source: ["qrc:/common/newUI/complete.png", "qrc:/common/newUI/error.png",
                 "qrc:/common/newUI/about.png"][Math.max(0, Math.min(2, root.mStyle))]
    }
    Item {
        id: content
        anchors.left: icon.right
        anchors.leftMargin: g_resolution.getScaleLength(10)
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.bottom: parent.bottom
    }
}
