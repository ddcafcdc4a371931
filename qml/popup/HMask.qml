import QtQuick 2.12
import QtQuick.Controls 2.12

// The grey layer over the whole window behind a dialog: it keeps clicks from the page underneath while the
// dialog is open.
Popup {
    id: root

    parent: Overlay.overlay
    x: 0
    y: 0
    z: 1
    width: parent ? parent.width : 0
    height: parent ? parent.height : 0
    padding: 0
    modal: false
    closePolicy: Popup.CloseOnPressOutside

    background: Rectangle {
        color: "#757575"
        opacity: 0.5
    }
    contentItem: MouseArea {
        objectName: "maskArea"
    }
}
