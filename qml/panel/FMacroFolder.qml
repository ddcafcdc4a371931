import QtQuick 2.12
import QtQuick.Controls 2.12
import Model 1.0
import "qrc:/common"
import "qrc:/widgets"

// The macro library of the macro page: the folders and macros of one folder, a first row back to the folder
// above (below the top only), folders opened and macros chosen by a click, and context menus to create, rename
// and delete. A chosen macro is loaded into the editor and its play settings.
Item {
    id: root

    // A macro folder holds at most this many entries (the profile controller refuses more macro files).
    readonly property int mMaxEntries: 30

    property int mSelectedKey: -1
    property string mRootPath: g_common.getMacroFolderPath()
    property string mBasePath: mRootPath
    property string mCurrentFile: ""
    // The row of the entry a context menu was opened on.
    property int mMenuIndex: -1

    signal selectedItem(string filePath)
    signal saveFile(string filePath, string fileName)
    signal renameState(bool state)
    signal updatefileName()

    Component.onCompleted: reload()

    function localPath(path) {
        return path.replace(/^file:\/\/\//, "/").replace(/^\/\//, "/")
    }

    function reload() {
        h_macroName.initFromFile(localPath(mBasePath), false)
    }

    // Back to the top of the library, nothing chosen.
    function initReturnBtn() {
        mBasePath = mRootPath
        mCurrentFile = ""
        reload()
    }

    function closeMenu() {
        mMenuEmpty.close()
        mMenuFolder.close()
        mMenuFile.close()
    }

    function openFolder(index) {
        var path = h_macroName.getDirPath(localPath(mBasePath), index)
        if (path === "")
            return
        mBasePath = path
        reload()
    }

    function returnFolder() {
        if (mBasePath === mRootPath)
            return
        mBasePath = h_macroName.getReturnPath(localPath(mBasePath) + "/")
        reload()
    }

    function filePath(name) {
        return localPath(mBasePath) + "/" + name + ".json"
    }

    function chooseFile(index, name) {
        var path = filePath(name)
        if (h_macroName.selectMacroItem(index, path, mSelectedKey) < 0)
            return
        mCurrentFile = path
        g_macroList.initFromFile(path)
        h_macroType.initFromFile(path)
        selectedItem(path)
    }

    function createMacro() {
        if (g_configFileController.createMacro(localPath(mBasePath)))
            reload()
    }

    function createFolder() {
        if (h_macroName.getItemValue() >= mMaxEntries) {
            h_suspension.showTips(1, qsTr("Your current number of files has reached the limit and can't continue to add folders"))
            return
        }
        if (g_configFileController.createFolder(localPath(mBasePath)))
            reload()
    }

    // Renames the entry at index in place; the library refuses an empty, taken or non-bare name with a tip.
    function renameItem(index, before, name, isDir) {
        var shown = !isDir && mCurrentFile === filePath(before)
        var renamed = h_macroName.renameMacroItem(index, name, before, localPath(mBasePath), shown)
        renameState(false)
        if (!renamed)
            return false
        if (shown) {
            mCurrentFile = filePath(name)
            saveFile(mCurrentFile, name)
        }
        return true
    }

    function deleteItem(index) {
        var name = h_macroName.getItemText(index)
        var isDir = h_macroName.fileIsFolder(index)
        var path = isDir ? localPath(mBasePath) + "/" + name : filePath(name)
        var done = isDir ? g_configFileController.deleteMacroFolder(path)
                         : g_configFileController.deleteMacroFile(path)
        if (!done)
            return
        h_macroName.deleteItemAt(index)
        // The macro in the editor went with it, or with its folder.
        if (mCurrentFile !== "" && (mCurrentFile === path || mCurrentFile.indexOf(path + "/") === 0)) {
            mCurrentFile = ""
            updatefileName()
        }
    }

    function startRename(index) {
        var row = mList.itemAtIndex(index)
        if (row)
            row.startEditing()
    }

    function popupAt(menu, item, mouse) {
        var p = item.mapToItem(root, mouse.x, mouse.y)
        menu.x = p.x
        menu.y = p.y
        menu.open()
    }

    KTxtBtn {
        id: mReturn
        objectName: "returnButton"
        anchors.top: parent.top
        anchors.left: parent.left
        visible: root.localPath(root.mBasePath) !== root.localPath(root.mRootPath)
        width: visible ? parent.width : 0
        height: visible ? g_resolution.getScaleLength(30) : 0
        mText: qsTr("Return to the previous level")
        mColor: "#6195C2"
        mColorHovered: "#4A7BA6"
        mFontSize: 13
        mHorizontalAlignment: Text.AlignLeft
        onClicked: root.returnFolder()
    }

    HMacroModel {
        id: mModel
        macroName: h_macroName
    }

    ListView {
        id: mList
        objectName: "macroList"
        anchors.top: mReturn.bottom
        anchors.topMargin: g_resolution.getScaleLength(4)
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

            function startEditing() {
                mEditor.text = model.text
                mEntry.mEditing = true
                root.renameState(true)
                mEditor.forceActiveFocus()
                mEditor.selectAll()
            }

            function stopEditing() {
                if (!mEditing)
                    return
                mEditing = false
                root.renameState(false)
            }

            objectName: "macro_" + model.text
            width: mList.width
            height: g_resolution.getScaleLength(32)
            color: model.isSelect ? "#DEE9F1" : (mArea.containsMouse ? "#EEF2F6" : "transparent")

            Image {
                id: mIcon
                anchors.left: parent.left
                anchors.leftMargin: g_resolution.getScaleLength(8)
                anchors.verticalCenter: parent.verticalCenter
                width: g_resolution.getScaleLength(18)
                height: width
                source: model.isDir ? (model.isSelect ? "qrc:/common/newUI/Macro/icon_folder_sel.png"
                                                      : "qrc:/common/newUI/Macro/icon_folder.png")
                                    : (mArea.pressed ? "qrc:/common/newUI/macro_press.png"
                                                     : mArea.containsMouse ? "qrc:/common/newUI/macro_hover.png"
                                                                           : "qrc:/common/newUI/macro_normal.png")
            }
            Text {
                anchors.left: mIcon.right
                anchors.leftMargin: g_resolution.getScaleLength(8)
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                visible: !mEntry.mEditing
                elide: Text.ElideRight
                text: model.text
                color: model.isSelect ? "#6195C2" : "#303344"
                font.pixelSize: g_resolution.getScaleLength(14)
            }
            TextField {
                id: mEditor
                objectName: "nameEditor"
                anchors.left: mIcon.right
                anchors.leftMargin: g_resolution.getScaleLength(4)
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                height: parent.height
                visible: mEntry.mEditing
                font.pixelSize: g_resolution.getScaleLength(14)
                selectByMouse: true
                // The library lists the folder again whatever the outcome: this row goes with the old list.
                onAccepted: root.renameItem(index, model.text, text, model.isDir)
                Keys.onEscapePressed: mEntry.stopEditing()
                onActiveFocusChanged: {
                    if (!activeFocus)
                        mEntry.stopEditing()
                }
            }
            MouseArea {
                id: mArea
                objectName: "entryArea"
                anchors.fill: parent
                enabled: !mEntry.mEditing
                hoverEnabled: true
                acceptedButtons: Qt.LeftButton | Qt.RightButton
                onClicked: {
                    if (mouse.button === Qt.RightButton) {
                        root.mMenuIndex = index
                        root.popupAt(model.isDir ? mMenuFolder : mMenuFile, mArea, mouse)
                    } else if (model.isDir) {
                        root.openFolder(index)
                    } else {
                        root.chooseFile(index, model.text)
                    }
                }
            }
        }
    }

    // Empty space below the entries: a new macro or a new folder.
    MouseArea {
        id: mEmptySpace
        objectName: "emptySpace"
        anchors.left: mList.left
        anchors.right: mList.right
        anchors.bottom: mList.bottom
        height: Math.max(0, mList.height - mList.contentHeight)
        acceptedButtons: Qt.RightButton
        onClicked: root.popupAt(mMenuEmpty, mEmptySpace, mouse)
    }

    FMacroFolderMenu1 {
        id: mMenuEmpty
        objectName: "menuEmpty"
        onClickedCreateFile: root.createMacro()
        onClickedCreateFolder: root.createFolder()
    }
    FMacroFolderMenu2 {
        id: mMenuFolder
        objectName: "menuFolder"
        onClickedRename: root.startRename(root.mMenuIndex)
        onClickDelete: root.deleteItem(root.mMenuIndex)
    }
    FMacroFolderMenu3 {
        id: mMenuFile
        objectName: "menuFile"
        onClickedRename: root.startRename(root.mMenuIndex)
        onClickDelete: root.deleteItem(root.mMenuIndex)
    }
}
