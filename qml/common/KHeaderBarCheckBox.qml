import QtQuick 2.12
import QtQuick.Controls 2.12

// Earlier entry of the top navigation bar: the page name, underlined while its page is shown.
Button {
    id: root

    property string mText: ""
    property bool mIsSelected: false

    hoverEnabled: true
    text: mText
    height: g_resolution.getScaleLength(48)
    padding: g_resolution.getScaleLength(12)
    contentItem: Text {
        text: root.mText
        color: root.mIsSelected || root.hovered ? "#6195C2" : "#FFFFFF"
        font.pixelSize: g_resolution.getScaleLength(15)
        font.bold: root.mIsSelected
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }
    background: Item {
        Rectangle {
            visible: root.mIsSelected
            anchors.bottom: parent.bottom
            anchors.horizontalCenter: parent.horizontalCenter
            width: parent.width - g_resolution.getScaleLength(16)
            height: g_resolution.getScaleLength(3)
            color: "#6195C2"
        }
    }
}
