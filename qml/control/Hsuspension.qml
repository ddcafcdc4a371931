import QtQuick 2.12

// Earlier floating tip: the tips object's message on a coloured ground, green for success, red for failure and
// amber for a warning. It shows on each message and fades after three seconds.
Rectangle {
    id: root

    property int mStyle: 0
    property string mText: ""
    property int mDuration: 500

    function mShowTips(style, message) {
        mStyle = style
        mText = message
        hideTimer.restart()
        opacity = 1
    }

    color: ["#2DBE6C", "#E5484D", "#F5A623"][Math.max(0, Math.min(2, mStyle))]
    radius: g_resolution.getScaleLength(4)
    width: Math.max(g_resolution.getScaleLength(160), message.implicitWidth + g_resolution.getScaleLength(40))
    height: g_resolution.getScaleLength(36)
    opacity: 0
    visible: opacity > 0

    Behavior on opacity {
        NumberAnimation { duration: root.mDuration }
    }

    Connections {
        target: h_suspension
        function onSigShowTips(style, message) { root.mShowTips(style, message) }
        function onSigCloseTips() { root.opacity = 0 }
    }

    Timer {
        id: hideTimer
        interval: 3000
        onTriggered: root.opacity = 0
    }

    Text {
        id: message
        anchors.centerIn: parent
        text: root.mText
        color: "#FFFFFF"
        font.pixelSize: g_resolution.getScaleLength(13)
    }
}
