import QtQuick 2.12
import QtQuick.Controls 2.12
import Model 1.0
import "qrc:/common"
import "qrc:/widgets"

// Earlier macro library tree: the folders and macros of one folder of the library with a way back up. A click
// opens a folder or chooses a macro (selectedItem); the right button opens the menu of the entry or, on the
// empty space, the menu that makes a new macro or folder here. A double click renames an entry in place.
Item {
    id: root

    property string mPath: g_common.getMacroFolderPath()
    property string mCurrentFile: ""
    property int mMenuIndex: -1

    signal selectedItem(string filePath)

    function refresh() {
        h_macroName.initFromFile(mPath, false)
    }

    function initReturnBtn() {
        mPath = g_common.getMacroFolderPath()
        mCurrentFile = ""
        h_macroName.initFromFile(mPath)
    }

    function openFolder(index) {
        var path = h_macroName.getDirPath(mPath, index)
        if (path === "")
            return
        mPath = path
        refresh()
    }

    function returnFolder() {
        mPath = h_macroName.getReturnPath(mPath + "/")
        refresh()
    }

    function chooseFile(index, name) {
        var path = mPath + "/" + name + ".json"
        if (h_macroName.selectMacroItem(index, path, -1) < 0)
            return
        mCurrentFile = path
        selectedItem(path)
    }

    function createFile() {
        if (!g_configFileController.createMacro(mPath))
            h_suspension.showTips(1, qsTr("Your current number of files has reached the limit and can't continue to add macro files"))
        refresh()
    }

    function createFolder() {
        if (!g_configFileController.createFolder(mPath))
            h_suspension.showTips(1, qsTr("Failed"))
        refresh()
    }

    // Removes the entry under the menu from disk; the list is read again so it never shows what is gone.
    function deleteEntry() {
        var name = h_macroName.getItemText(mMenuIndex)
        if (name === "")
            return
        var isDir = h_macroName.fileIsFolder(mMenuIndex)
        var removed = isDir ? g_configFileController.deleteMacroFolder(mPath + "/" + name)
                            : g_configFileController.deleteMacroFile(mPath + "/" + name + ".json")
        if (!removed)
            h_suspension.showTips(1, qsTr("Failed"))
        else if (!isDir && mCurrentFile === mPath + "/" + name + ".json")
            mCurrentFile = ""
        refresh()
    }

    function renameItem(index, before, name, isDir) {
        name = name.trim()
        if (name === before)
            return true
        if (name === "") {
            h_suspension.showTips(1, qsTr("Macro name cannot be empty"))
            return false
        }
        var selected = !isDir && mCurrentFile === mPath + "/" + before + ".json"
        if (!h_macroName.renameMacroItem(index, name, before, mPath, selected))
            return false
        if (selected)
            mCurrentFile = mPath + "/" + name + ".json"
        return true
    }

    KQuorMacroFolderItem1 {
        id: mReturn
        objectName: "returnButton"
        anchors.top: parent.top
        mText: qsTr("Return to the previous level")
        onClicked: root.returnFolder()
    }

    HMacroModel {
        id: mModel
        macroName: h_macroName
    }

    MouseArea {
        anchors.fill: mList
        acceptedButtons: Qt.RightButton
        onClicked: mSpaceMenu.popup()
    }

    ListView {
        id: mList
        objectName: "macroList"
        anchors.top: mReturn.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        clip: true
        model: mModel
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {}

        delegate: Rectangle {
            id: mEntry
            property bool mEditing: false
            function startRename() {
                mEditor.text = model.text
                mEditing = true
                mEditor.forceActiveFocus()
                mEditor.selectAll()
            }
            objectName: "macro_" + model.text
            width: mList.width
            height: g_resolution.getScaleLength(28)
            color: model.isSelect ? "#DEE9F1" : (mArea.containsMouse ? "#EEF2F6" : "transparent")

            KQuorText {
                anchors.left: parent.left
                anchors.leftMargin: g_resolution.getScaleLength(10)
                anchors.verticalCenter: parent.verticalCenter
                visible: !mEntry.mEditing
                mText: (model.isDir ? "\u25B8 " : "") + model.text
                mFontSize: 13
            }
            KQuorField {
                id: mEditor
                anchors.fill: parent
                visible: mEntry.mEditing
                onAccepted: {
                    if (root.renameItem(index, model.text, text, model.isDir))
                        mEntry.mEditing = false
                }
                onActiveFocusChanged: {
                    if (!activeFocus)
                        mEntry.mEditing = false
                }
            }
            MouseArea {
                id: mArea
                anchors.fill: parent
                enabled: !mEntry.mEditing
                hoverEnabled: true
                acceptedButtons: Qt.LeftButton | Qt.RightButton
                onClicked: {
                    if (mouse.button === Qt.RightButton) {
                        root.mMenuIndex = index
                        if (model.isDir)
                            mFolderMenu.popup()
                        else
                            mFileMenu.popup()
                    } else if (model.isDir) {
                        root.openFolder(index)
                    } else {
                        root.chooseFile(index, model.text)
                    }
                }
                onDoubleClicked: mEntry.startRename()
            }
        }
    }

    KMacroFolderMenu1 {
        id: mSpaceMenu
        onClickedCreateFile: root.createFile()
        onClickedCreateFolder: root.createFolder()
    }
    KMacroFolderMenu2 {
        id: mFolderMenu
        onClickedCreateFile: {
            root.openFolder(root.mMenuIndex)
            root.createFile()
        }
        onClickedRename: {
            var entry = mList.itemAtIndex(root.mMenuIndex)
            if (entry)
                entry.startRename()
        }
        onClickDelete: root.deleteEntry()
    }
    KMacroFolderMenu3 {
        id: mFileMenu
        onClickedRename: {
            var entry = mList.itemAtIndex(root.mMenuIndex)
            if (entry)
                entry.startRename()
        }
        onClickDelete: root.deleteEntry()
    }
}
