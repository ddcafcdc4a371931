import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"
import "qrc:/panel"

// Earlier macro page: the macro library on the left; the macro chosen there opens in the editor with its play
// settings (a number of cycles, on until the key is pressed again, or while the key is held).
Item {
    id: root

    // Reads the library again when the page shows, so files made elsewhere appear.
    onVisibleChanged: {
        if (visible)
            mFolder.initReturnBtn()
    }

    KMacroFolder {
        id: mFolder
        objectName: "macroFolder"
        x: g_resolution.getScaleLength(20)
        y: g_resolution.getScaleLength(20)
        width: g_resolution.getScaleLength(220)
        height: parent.height - g_resolution.getScaleLength(40)
        onSelectedItem: mEditor.loadFile(filePath)
    }
    Column {
        anchors.left: mFolder.right
        anchors.leftMargin: g_resolution.getScaleLength(20)
        anchors.right: parent.right
        anchors.rightMargin: g_resolution.getScaleLength(20)
        y: g_resolution.getScaleLength(20)
        spacing: g_resolution.getScaleLength(12)

        KMacroEditor {
            id: mEditor
            objectName: "macroEditor"
            width: parent.width
            height: root.height - g_resolution.getScaleLength(120)
        }
        Row {
            spacing: g_resolution.getScaleLength(14)
            enabled: mEditor.mFilePath !== ""
            KCheckBox2 {
                objectName: "playCycles"
                text: qsTr("Number of cycles")
                mChecked: h_macroType.currentIndex === "1"
                onToggled: h_macroType.selectPlayType("1")
            }
            KNumField {
                anchors.verticalCenter: parent.verticalCenter
                mValue: h_macroType.value
                onAddBtnClicked: h_macroType.addTimes()
                onReduceBtnClicked: h_macroType.reduceTimes()
                onInputValue: h_macroType.setTimes(value)
            }
            KCheckBox2 {
                objectName: "playToggle"
                text: qsTr("Press the key again to stop")
                mChecked: h_macroType.currentIndex === "2"
                onToggled: h_macroType.selectPlayType("2")
            }
            KCheckBox2 {
                objectName: "playHeld"
                text: qsTr("Play while the key is held")
                mChecked: h_macroType.currentIndex === "3"
                onToggled: h_macroType.selectPlayType("3")
            }
        }
    }
}
