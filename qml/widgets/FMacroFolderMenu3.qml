import QtQuick 2.12
import QtQuick.Controls 2.12
import PaintLine 1.0
import "qrc:/common"

// Menu of a macro file: rename or delete it, the two entries parted by a drawn line. Choosing an entry closes
// the menu.
Popup {
    id: root

    signal clickedRename()
    signal clickDelete()

    width: g_resolution.getScaleLength(120)
    padding: g_resolution.getScaleLength(4)
    background: Rectangle {
        radius: g_resolution.getScaleLength(4)
        border.width: 1
        border.color: "#BAC2CA"
    }
    contentItem: Column {
        FMacroFolderItem {
            objectName: "rename"
            mText: qsTr("Rename")
            onClicked: {
                root.close()
                root.clickedRename()
            }
        }
        PaintLine {
            width: parent.width
            height: 1
            color: "#DEE9F1"
            penWidth: 1
            Component.onCompleted: setOneLine(0, 0, width, 0)
        }
        FMacroFolderItem {
            objectName: "delete"
            mText: qsTr("Delete")
            onClicked: {
                root.close()
                root.clickDelete()
            }
        }
    }
}
