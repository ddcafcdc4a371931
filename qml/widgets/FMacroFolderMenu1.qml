import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"

// Menu of a macro folder: a new macro or a new folder inside it. Choosing an entry closes the menu.
Popup {
    id: root

    signal clickedCreateFile()
    signal clickedCreateFolder()

    width: g_resolution.getScaleLength(120)
    padding: g_resolution.getScaleLength(4)
    background: Rectangle {
        radius: g_resolution.getScaleLength(4)
        border.width: 1
        border.color: "#BAC2CA"
    }
    contentItem: Column {
        FMacroFolderItem {
            objectName: "newMacro"
            mText: qsTr("New macro")
            onClicked: {
                root.close()
                root.clickedCreateFile()
            }
        }
        FMacroFolderItem {
            objectName: "newFolder"
            mText: qsTr("New folder")
            onClicked: {
                root.close()
                root.clickedCreateFolder()
            }
        }
    }
}
