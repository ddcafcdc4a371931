import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"

// Earlier menu of the macro library's empty space: a new folder or a new macro at the top level. Choosing an entry
// closes the menu.
Popup {
    id: root

    signal clickedCreateFolder()
    signal clickedCreateFile()

    width: g_resolution.getScaleLength(110)
    padding: g_resolution.getScaleLength(2)
    background: Rectangle {
        color: "#F5F7FA"
        border.width: 1
        border.color: "#BAC2CA"
    }
    contentItem: Column {
        KQuorMacroFolderItem1 {
            objectName: "clickedCreateFolder"
            mText: qsTr("New folder")
            onClicked: {
                root.close()
                root.clickedCreateFolder()
            }
        }
        KQuorMacroFolderItem1 {
            objectName: "clickedCreateFile"
            mText: qsTr("New macro")
            onClicked: {
                root.close()
                root.clickedCreateFile()
            }
        }
    }
}
