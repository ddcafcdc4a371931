import QtQuick 2.12
import QtQuick.Controls 2.12

// One key of the light preview: lit in mColor at mBrightness (0 to 100). A press (mIsDown) flashes the target
// rectangle over mDuration; with mColorfulBahaviorEnable the key steps through mColorful until stopTimer.
Button {
    id: root

    property bool isChange: false
    property bool isCenter: false
    property int mKey: 0
    property int mBrightness: 100
    property bool mIsDown: false
    property int mDuration: 500
    property bool mOpacityEnable: true
    property Rectangle target: light
    property bool isRGB: false
    property color mColor: "#FFFFFF"
    property bool mColorfulBahaviorEnable: false
    property bool stopTimer: false
    property int mCounter: 0
    property var mColorful: []

    hoverEnabled: true
    padding: 0
    contentItem: Item {}
    background: Rectangle {
        color: "transparent"
        radius: g_resolution.getScaleLength(3)
        border.width: root.isCenter || root.hovered ? 2 : 0
        border.color: "#6195C2"

        Rectangle {
            id: light
            anchors.fill: parent
            anchors.margins: g_resolution.getScaleLength(2)
            radius: g_resolution.getScaleLength(2)
            color: root.mColor
            opacity: root.mOpacityEnable ? Math.max(0, Math.min(100, root.mBrightness)) / 100 : 1
        }
        Rectangle {
            visible: root.isChange
            anchors.right: parent.right
            anchors.top: parent.top
            anchors.margins: g_resolution.getScaleLength(3)
            width: g_resolution.getScaleLength(6)
            height: width
            radius: width / 2
            color: "#6195C2"
        }
    }

    onMIsDownChanged: {
        if (mIsDown && target) {
            flash.stop()
            flash.start()
        }
    }

    SequentialAnimation {
        id: flash
        NumberAnimation { target: root.target; property: "opacity"; to: 0; duration: root.mDuration / 2 }
        NumberAnimation {
            target: root.target
            property: "opacity"
            to: root.mOpacityEnable ? Math.max(0, Math.min(100, root.mBrightness)) / 100 : 1
            duration: root.mDuration / 2
        }
    }

    Timer {
        interval: Math.max(16, root.mDuration)
        repeat: true
        running: root.mColorfulBahaviorEnable && !root.stopTimer && root.mColorful && root.mColorful.length > 0
        onTriggered: {
            root.mCounter = (root.mCounter + 1) % root.mColorful.length
            root.mColor = root.mColorful[root.mCounter]
        }
    }
}
