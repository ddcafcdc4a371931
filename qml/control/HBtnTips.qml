import QtQuick 2.12

// Tip of the collapsed navigation bar: the entry's text on the bubble picture.
Item {
    id: root

    property string mText: ""

    width: label.implicitWidth + g_resolution.getScaleLength(28)
    height: g_resolution.getScaleLength(32)

    Image {
        anchors.fill: parent
        source: "qrc:/common/newUI/sidebarTips.png"
    }
    Text {
        id: label
        anchors.centerIn: parent
        anchors.horizontalCenterOffset: g_resolution.getScaleLength(4)
        text: root.mText
        color: "#303344"
        font.pixelSize: g_resolution.getScaleLength(13)
    }
}
