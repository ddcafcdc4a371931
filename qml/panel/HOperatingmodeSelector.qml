import QtQuick 2.12
import QtQuick.Controls 2.12

// Combo box of the operating mode; its user gives the entries and reacts to the choice.
ComboBox {
    id: root

    property string fontColor: "#303344"

    implicitWidth: g_resolution.getScaleLength(200)
    implicitHeight: g_resolution.getScaleLength(32)
    font.pixelSize: g_resolution.getScaleLength(13)

    // Without a choice the box says so; the entries in the language shown.
    displayText: currentIndex < 0 || currentIndex >= count ? qsTr("Not set") : qsTr(currentText)
    delegate: ItemDelegate {
        width: root.width
        text: qsTr(String(modelData))
        font: root.font
        highlighted: root.highlightedIndex === index
    }

    contentItem: Text {
        leftPadding: g_resolution.getScaleLength(10)
        text: root.displayText
        color: root.fontColor
        font: root.font
        elide: Text.ElideRight
        verticalAlignment: Text.AlignVCenter
    }
    background: Rectangle {
        radius: g_resolution.getScaleLength(4)
        border.width: 1
        border.color: root.hovered ? "#6195C2" : "#BAC2CA"
    }
}
