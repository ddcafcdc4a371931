import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"

// Earlier macro event menu: put a delay after the chosen event, change the event or delete it. Choosing an entry
// closes the menu.
Popup {
    id: root

    signal clickedInsertDelay()
    signal clickedModify()
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
            objectName: "clickedInsertDelay"
            mText: qsTr("Insert delay")
            onClicked: {
                root.close()
                root.clickedInsertDelay()
            }
        }
        KQuorMacroFolderItem1 {
            objectName: "clickedModify"
            mText: qsTr("Modify")
            onClicked: {
                root.close()
                root.clickedModify()
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
