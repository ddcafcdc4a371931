import QtQuick 2.12

// Light-effect preview of the Harlo mouse: the light zone's picture under a glow that follows the effect
// shown (off, steady, breathing, or two colours taking turns on a timer).
HLightEffect {
    id: root

    property int pageIndex: 0
    property color mFirstColor: "#43DEF1"
    property color mSecondColor: "#E24C6B"
    property bool mFirst: true

    function showPage(index) {
        pageIndex = index
        mFirst = true
    }

    mModels: ["Harlo"]

    Image {
        anchors.fill: parent
        fillMode: Image.PreserveAspectFit
        source: g_image.lightImgMap["0"] || ""
    }
    Rectangle {
        id: mGlow
        anchors.centerIn: parent
        width: parent.width / 3
        height: parent.height / 3
        radius: width / 2
        color: root.mFirst ? root.mFirstColor : root.mSecondColor
        visible: root.pageIndex !== 0
        opacity: 0.6
        SequentialAnimation on opacity {
            running: root.mSeen && root.pageIndex === 2
            loops: Animation.Infinite
            NumberAnimation { from: 0.6; to: 0; duration: 1000 }
            NumberAnimation { from: 0; to: 0.6; duration: 1000 }
        }
    }
    Timer {
        interval: 1000
        repeat: true
        running: root.mSeen && root.pageIndex >= 3
        onTriggered: root.mFirst = !root.mFirst
    }
}
