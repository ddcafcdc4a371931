import QtQuick 2.12

// Earlier colour item: one preset colour of the light panel; clicking it reports the colour as text.
Rectangle {
    id: root

    property string mColor: "#FFFFFF"
    property bool mIsSelected: false

    signal clickedColor(string value)

    width: g_resolution.getScaleLength(22)
    height: width
    radius: g_resolution.getScaleLength(3)
    color: mColor
    border.width: mIsSelected ? g_resolution.getScaleLength(2) : 1
    border.color: mIsSelected ? "#6195C2" : "#BAC2CA"

    MouseArea {
        anchors.fill: parent
        cursorShape: Qt.PointingHandCursor
        onClicked: root.clickedColor(root.mColor)
    }
}
