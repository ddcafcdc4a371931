import QtQuick 2.12

// One swatch of a palette: a round colour that reports itself when clicked and rings while chosen.
Rectangle {
    id: root

    property color mColor: "#FFFFFF"
    property bool mIsSelected: false

    signal selected(color value)

    width: g_resolution.getScaleLength(18)
    height: width
    radius: width / 2
    color: mColor
    border.width: mIsSelected ? g_resolution.getScaleLength(2) : 1
    border.color: mIsSelected ? "#6195C2" : "#BAC2CA"

    MouseArea {
        anchors.fill: parent
        cursorShape: Qt.PointingHandCursor
        onClicked: root.selected(root.mColor)
    }
}
