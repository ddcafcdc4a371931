import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"

// Earlier menu of a macro folder: a new macro inside it, or rename or delete the folder. Choosing an entry closes the
// menu.
Popup {
    id: root

    signal clickedCreateFile()
    signal clickedRename()
    signal clickDelete()

    width: g_resolution.getScaleLength(110)
    padding: g_resolution.getScaleLength(2)
    background: Rectangle {
        color: "#F5F7FA"
        border.width: 1
        border.color: "#BAC2CA"
    }
    contentItem: Column {
        KQuorMacroFolderItem1 {
            objectName: "clickedCreateFile"
            mText: qsTr("New macro")
            onClicked: {
                root.close()
                root.clickedCreateFile()
            }
        }
        KQuorMacroFolderItem1 {
            objectName: "clickedRename"
            mText: qsTr("Rename")
            onClicked: {
                root.close()
                root.clickedRename()
            }
        }
        KQuorMacroFolderItem1 {
            objectName: "clickDelete"
            mText: qsTr("Delete")
            onClicked: {
                root.close()
                root.clickDelete()
            }
        }
    }
}
