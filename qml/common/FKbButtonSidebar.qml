import QtQuick 2.12

// Side label of the keyboard picture: a short line with a text, placed by the anchors its user passes.
Rectangle {
    id: root

    property var mTop: undefined
    property var mHCenter: undefined
    property string mText: ""
    property int mTextWidth: 60

    anchors.top: mTop
    anchors.horizontalCenter: mHCenter
    width: g_resolution.getScaleLength(mTextWidth)
    height: g_resolution.getScaleLength(22)
    radius: g_resolution.getScaleLength(3)
    color: "#303344"

    Text {
        anchors.fill: parent
        text: root.mText
        color: "#FFFFFF"
        font.pixelSize: g_resolution.getScaleLength(12)
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }
}
