import QtQuick 2.12
import QtQuick.Controls 2.12
import Model 1.0
import "qrc:/common"

// The macro library inside the key-setting dialog: the folders and macros of one folder of the library, a
// button back to the folder above, folders opened by a click and macros chosen by a click (selectedItem). A
// double click renames an entry in place.
Item {
    id: root

    property string mPath: g_common.getMacroFolderPath()
    property string mCurrentFile: ""
    property int mSelectedKey: -1

    signal selectedItem(string filePath)

    // Back to the top of the library, nothing chosen.
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
        h_macroName.initFromFile(mPath, false)
    }

    function returnFolder() {
        mPath = h_macroName.getReturnPath(mPath + "/")
        h_macroName.initFromFile(mPath, false)
    }

    function chooseFile(index, name) {
        var path = mPath + "/" + name + ".json"
        if (h_macroName.selectMacroItem(index, path, mSelectedKey) < 0)
            return
        mCurrentFile = path
        selectedItem(path)
    }

    // Renames the entry at index; an empty or taken name is refused with a tip.
    function renameItem(index, before, name, isDir) {
        name = name.trim()
        if (name === before)
            return true
        if (name === "") {
            h_suspension.showTips(1, qsTr("Macro name cannot be empty"))
            return false
        }
        if (h_macroName.isFolderHaveSomeFile(name)) {
            h_suspension.showTips(1, qsTr("Macro names cannot be the same"))
            return false
        }
        var selected = !isDir && mCurrentFile === mPath + "/" + before + ".json"
        if (!h_macroName.renameMacroItem(index, name, before, mPath, selected))
            return false
        if (selected)
            mCurrentFile = mPath + "/" + name + ".json"
        return true
    }

    KTxtBtn {
        id: mReturn
        objectName: "returnButton"
        anchors.top: parent.top
        anchors.left: parent.left
        width: g_resolution.getScaleLength(220)
        height: g_resolution.getScaleLength(30)
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
            objectName: "macro_" + model.text
            width: mList.width
            height: g_resolution.getScaleLength(30)
            color: model.isSelect ? "#DEE9F1" : (mArea.containsMouse ? "#EEF2F6" : "transparent")

            Text {
                anchors.left: parent.left
                anchors.leftMargin: g_resolution.getScaleLength(10)
                anchors.verticalCenter: parent.verticalCenter
                visible: !mEntry.mEditing
                text: (model.isDir ? "\u25B8 " : "") + model.text
                color: model.isSelect ? "#6195C2" : "#303344"
                font.pixelSize: g_resolution.getScaleLength(14)
            }
            TextField {
                id: mEditor
                anchors.fill: parent
                visible: mEntry.mEditing
                font.pixelSize: g_resolution.getScaleLength(14)
                selectByMouse: true
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
                onClicked: {
                    if (model.isDir)
                        root.openFolder(index)
                    else
                        root.chooseFile(index, model.text)
                }
                onDoubleClicked: {
                    mEditor.text = model.text
                    mEntry.mEditing = true
                    mEditor.forceActiveFocus()
                    mEditor.selectAll()
                }
            }
        }
    }
}
