import QtQuick 2.12
import QtQuick.Controls 2.12

// Colour swatch button: a filled square that rings when hovered or selected and reports its colour.
Button {
    id: root

    property color mColor: "#FFFFFF"
    property bool mIsSelected: false
    property int mSize: 20

    signal colorClicked(color value)

    hoverEnabled: true
    implicitWidth: g_resolution.getScaleLength(mSize)
    implicitHeight: implicitWidth
    padding: 0
    onClicked: colorClicked(mColor)
    contentItem: Item {}
    background: Rectangle {
        radius: g_resolution.getScaleLength(3)
        color: root.mColor
        border.width: root.mIsSelected || root.hovered ? g_resolution.getScaleLength(2) : 1
        border.color: root.mIsSelected ? "#6195C2" : (root.hovered ? "#9BB8D3" : "#BAC2CA")
    }
}
