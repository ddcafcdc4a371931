import QtQuick 2.12
import QtQuick.Controls 2.12

// The fonts of this system to choose from; each entry is written in its own font.
ComboBox {
    id: root

    property string mColor: "#303344"

    model: Qt.fontFamilies()
    implicitWidth: g_resolution.getScaleLength(180)
    implicitHeight: g_resolution.getScaleLength(32)
    font.pixelSize: g_resolution.getScaleLength(13)

    delegate: ItemDelegate {
        width: root.width
        highlighted: root.highlightedIndex === index
        contentItem: Text {
            text: modelData
            color: root.mColor
            font.family: modelData
            font.pixelSize: g_resolution.getScaleLength(13)
            elide: Text.ElideRight
            verticalAlignment: Text.AlignVCenter
        }
    }
    contentItem: Text {
        leftPadding: g_resolution.getScaleLength(8)
        text: root.displayText
        color: root.mColor
        font.family: root.displayText
        font.pixelSize: g_resolution.getScaleLength(13)
        elide: Text.ElideRight
        verticalAlignment: Text.AlignVCenter
    }
    background: Rectangle {
        radius: g_resolution.getScaleLength(4)
        border.width: 1
        border.color: "#BAC2CA"
    }
}
