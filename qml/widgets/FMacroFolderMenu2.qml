import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"

// Menu of a macro folder: rename or delete it. Choosing an entry closes the menu.
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
