import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"

// Earlier menu of the macro chosen for a key: take it off the key. Choosing the entry closes the menu.
Popup {
    id: root

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
            objectName: "clickDelete"
            mText: qsTr("Delete")
            onClicked: {
                root.close()
                root.clickDelete()
            }
        }
    }
}
