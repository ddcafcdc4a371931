import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"
import "qrc:/control"
import "qrc:/panel"

// Macro page: the library of macros on the left, the events of the chosen macro in the editor, and its play
// settings below. Nothing reaches the macro file before "Save"; "Cancel" reads the file again.
Item {
    id: root

    // A rename in the library is in progress.
    property bool selecting: false
    property bool isChange: false

    signal sendChange(bool change)

    onIsChangeChanged: sendChange(isChange)

    function closeEditor() {
        mEditor.closeItemMenu()
        mFolder.closeMenu()
    }

    // The macro in the editor went (renamed or deleted): nothing is open any more.
    function updatefileName() {
        if (mEditor.mRecoding)
            mEditor.startRecoding()
        mEditor.mCurrentFile = ""
        g_macroList.resetMacroList()
        h_macroType.resetMacroType()
        isChange = false
    }

    function openMacro(path) {
        mEditor.initFromFile(path)
        isChange = false
    }

    function save() {
        sendChange(false)
        if (mEditor.mRecoding)
            mEditor.startRecoding()
        var file = mEditor.mCurrentFile
        if (file === "")
            return
        var name = file.substring(file.lastIndexOf("/") + 1).replace(/\.json$/, "")
        h_macroType.setMacroName(name, true)
        h_macroType.saveToFile(file)
        g_macroList.saveToFile(file)
        h_suspension.showTips(0, qsTr("Saved successfully"))
        mEditor.initFromFile(file)
        isChange = false
    }

    function cancel() {
        if (mEditor.mRecoding)
            mEditor.startRecoding()
        if (mEditor.mCurrentFile !== "")
            mEditor.initFromFile(mEditor.mCurrentFile)
        isChange = false
    }

    function selectPlayType(type) {
        h_macroType.selectPlayType(type, true)
        isChange = true
    }

    // The key-setting dialog shows the same library list: the page's folder is listed again when it shows.
    onVisibleChanged: {
        if (visible)
            mFolder.reload()
        else
            closeEditor()
    }

    Rectangle {
        id: mLibrary
        anchors.left: parent.left
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        anchors.margins: g_resolution.getScaleLength(20)
        width: g_resolution.getScaleLength(260)
        radius: g_resolution.getScaleLength(8)
        color: "#FFFFFF"

        Text {
            id: mLibraryTitle
            anchors.left: parent.left
            anchors.top: parent.top
            anchors.margins: g_resolution.getScaleLength(12)
            text: qsTr("Macro list")
            color: "#303344"
            font.pixelSize: g_resolution.getScaleLength(16)
            font.bold: true
        }
        KImgBtn {
            objectName: "addMacro"
            anchors.right: parent.right
            anchors.rightMargin: g_resolution.getScaleLength(10)
            anchors.verticalCenter: mLibraryTitle.verticalCenter
            width: g_resolution.getScaleLength(24)
            height: width
            mImg: "qrc:/common/newUI/Macro/macro_add_btn.png"
            onClicked: mFolder.createMacro()
        }
        FMacroFolder {
            id: mFolder
            objectName: "macroFolder"
            anchors.top: mLibraryTitle.bottom
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            anchors.margins: g_resolution.getScaleLength(8)
            onSelectedItem: root.openMacro(filePath)
            onRenameState: root.selecting = state
            // The macro in the editor was renamed: it stays open under its new name.
            onSaveFile: mEditor.mCurrentFile = filePath
            onUpdatefileName: root.updatefileName()
        }
    }

    Rectangle {
        id: mEditorFrame
        anchors.left: mLibrary.right
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.bottom: mSettings.top
        anchors.margins: g_resolution.getScaleLength(20)
        radius: g_resolution.getScaleLength(8)
        color: "#FFFFFF"

        FMacroEditor_new {
            id: mEditor
            objectName: "macroEditor"
            anchors.fill: parent
            onStartFocus: root.isChange = true
            onMacroValueChange: root.isChange = true
        }
    }

    Item {
        id: mSettings
        anchors.left: mLibrary.right
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.leftMargin: g_resolution.getScaleLength(20)
        anchors.rightMargin: g_resolution.getScaleLength(20)
        anchors.bottomMargin: g_resolution.getScaleLength(20)
        height: g_resolution.getScaleLength(g_appModel.language === "zh" ? 90 : 170)
        enabled: mEditor.mCurrentFile !== "" && !mEditor.mRecoding

        // The play settings: the Chinese texts fit two to a row, the English ones take a column.
        Grid {
            id: mPlayTypes
            objectName: "playSettings"
            anchors.left: parent.left
            anchors.right: mButtons.left
            anchors.top: parent.top
            columns: g_appModel.language === "zh" ? 2 : 1
            rowSpacing: g_resolution.getScaleLength(6)
            columnSpacing: g_resolution.getScaleLength(20)

            Repeater {
                model: [
                    {type: "1", text: qsTr("Number of cycles"), tip: qsTr("Cycle macro n times")},
                    {type: "2", text: qsTr("Use the assigned key to switch playback on / off"),
                     tip: qsTr("Click the key to start playing the macro, and click again to stop playing")},
                    {type: "3", text: qsTr("Play when pressed"),
                     tip: qsTr("Press the key to start playing macros, and lift the key to stop playing")}
                ]
                delegate: Row {
                    spacing: g_resolution.getScaleLength(6)
                    FCheckBox {
                        id: mBox
                        objectName: "playType" + modelData.type
                        anchors.verticalCenter: parent.verticalCenter
                        mIsSelected: h_macroType.currentIndex === modelData.type
                        text: modelData.text
                        onToggled: {
                            root.selectPlayType(modelData.type)
                            // The choice shown follows the settings, also after a click on the chosen one.
                            mIsSelected = Qt.binding(function() { return h_macroType.currentIndex === modelData.type })
                            checked = mIsSelected
                        }
                    }
                    Item {
                        anchors.verticalCenter: parent.verticalCenter
                        width: g_resolution.getScaleLength(16)
                        height: width
                        Image {
                            anchors.fill: parent
                            source: "qrc:/common/newUI/Macro/macro_tips.png"
                        }
                        MouseArea {
                            id: mTipArea
                            anchors.fill: parent
                            hoverEnabled: true
                        }
                        FBtnTips {
                            anchors.bottom: parent.top
                            anchors.horizontalCenter: parent.horizontalCenter
                            z: 3
                            mVisible: mTipArea.containsMouse
                            mText: modelData.tip
                        }
                    }
                    FNumField_macro {
                        objectName: "timesField"
                        visible: modelData.type === "1"
                        anchors.verticalCenter: parent.verticalCenter
                        enabled: h_macroType.currentIndex === "1"
                        mValue: h_macroType.value
                        onAddBtnClicked: {
                            h_macroType.addTimes(true)
                            root.isChange = true
                        }
                        onReduceBtnClicked: {
                            h_macroType.reduceTimes(true)
                            root.isChange = true
                        }
                        onInputValue: {
                            h_macroType.setTimes(value, true)
                            root.isChange = true
                        }
                    }
                }
            }
            FCheckBox {
                objectName: "ignoreDelay"
                mIsSelected: h_macroType.ignoreTime
                text: qsTr("Ignore delay between times")
                onToggled: {
                    h_macroType.setIgnoreTimeType(checked, true)
                    root.isChange = true
                    mIsSelected = Qt.binding(function() { return h_macroType.ignoreTime })
                }
            }
        }

        Column {
            id: mButtons
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            spacing: g_resolution.getScaleLength(8)
            KImgBtn {
                objectName: "resetPlay"
                anchors.right: parent.right
                width: g_resolution.getScaleLength(24)
                height: width
                mImg: "qrc:/common/newUI/Macro/macro_reset_btn.png"
                mImgHovered: "qrc:/common/newUI/Macro/macro_reset_btn_hover.png"
                onClicked: {
                    h_macroType.resetMacroType()
                    root.isChange = true
                }
            }
            Row {
                spacing: g_resolution.getScaleLength(10)
                KTxtBtn {
                    objectName: "cancel"
                    width: g_resolution.getScaleLength(100)
                    height: g_resolution.getScaleLength(34)
                    mText: qsTr("Cancel")
                    mColor: "#303344"
                    mBgColor: "#EEF2F6"
                    mBgColorHovered: "#DEE9F1"
                    mRadius: 4
                    onClicked: root.cancel()
                }
                HButton {
                    objectName: "save"
                    width: g_resolution.getScaleLength(100)
                    height: g_resolution.getScaleLength(34)
                    mTextName: qsTr("Save")
                    mColor: "#6195C2"
                    onClicked: root.save()
                }
            }
        }
    }
}
