import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"
import "qrc:/widgets"

// Earlier key-setting dialog of one key or button (its texts written in Chinese): a key combination, a macro
// of the library or a basic function ("确定"), or at once: the key disabled or back to its factory function.
// Every choice goes through the key model; the dialog closes after it.
Popup {
    id: root

    property int mSelectedKey: -1
    property string mConfigPath: ""
    // The tab shown: 1 combination, 2 macro, 3 basic function.
    property int mTab: 1
    readonly property var mItem: {
        var list = g_keyModel.keyList
        for (var i = 0; i < list.length; ++i) {
            if (list[i] && list[i].key === mSelectedKey)
                return list[i]
        }
        return null
    }

    signal mDialogVisable(bool state)

    function showDialog(key) {
        mSelectedKey = key
        open()
    }

    function confirm() {
        if (mTab === 1) {
            if (mKeyGroup.hCompositeKey !== 0 || mKeyGroup.hQtCode !== 0)
                g_keyModel.setCompositeKey(mSelectedKey, 30, mKeyGroup.hCompositeKey, mKeyGroup.hQtCode,
                                           mKeyGroup.hKeyCode)
        } else if (mTab === 2) {
            if (mMacroFolder.mCurrentFile !== "") {
                var macros = h_macroName.getMultiMacro()
                h_macroType.setMacroName(macros, true)
                g_keyModel.setMacroFunc(mSelectedKey, macros)
                g_macroList.resetMacroList()
                h_macroType.resetMacroType()
            }
        } else if (mTab === 3) {
            if (mFunctions.mSelectIndex >= 0)
                g_keyModel.setFunction(mSelectedKey, mFunctions.mSelectIndex)
        }
        close()
    }

    parent: Overlay.overlay
    x: parent ? Math.round((parent.width - width) / 2) : 0
    y: parent ? Math.round((parent.height - height) / 2) : 0
    width: g_resolution.getScaleLength(560)
    height: g_resolution.getScaleLength(460)
    padding: g_resolution.getScaleLength(20)
    closePolicy: Popup.CloseOnEscape

    onOpened: {
        mTab = 1
        mKeyGroup.resetKeys()
        mFunctions.mSelectIndex = -1
        mMacroFolder.initReturnBtn()
        mDisable.mChecked = mItem !== null && mItem.type === -1
        mDialogVisable(true)
    }
    onClosed: {
        h_macroName.resetMacroItem()
        mDialogVisable(false)
    }

    background: Rectangle {
        color: "#FFFFFF"
        border.width: 1
        border.color: "#BAC2CA"
    }

    contentItem: Column {
        spacing: g_resolution.getScaleLength(12)

        Item {
            width: parent.width
            height: g_resolution.getScaleLength(28)
            KQuorText {
                objectName: "title"
                anchors.verticalCenter: parent.verticalCenter
                mFontSize: 16
                mText: (g_image.keyNameMap[String(root.mSelectedKey)] || "") + qsTr("按键设置")
            }
            KImgBtn {
                objectName: "closeButton"
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                mImg: "qrc:/common/newUI/btn_close_normal.png"
                mImgWidth: 20
                mImgHeight: 20
                onClicked: root.close()
            }
        }
        KQuorText2 {
            objectName: "currentFunction"
            mText: qsTr("当前功能：") + (root.mItem ? root.mItem.txt : "")
        }
        Row {
            spacing: g_resolution.getScaleLength(8)
            Repeater {
                model: [qsTr("组合键"), qsTr("宏设置"), qsTr("基础功能")]
                delegate: KSelectBtn {
                    objectName: "tab" + (index + 1)
                    width: g_resolution.getScaleLength(100)
                    mText: modelData
                    mIndex: index + 1
                    mIsSelected: root.mTab === index + 1
                    onSelected: root.mTab = index
                }
            }
        }
        Rectangle {
            width: parent.width
            height: g_resolution.getScaleLength(250)
            color: "#F5F7FA"
            KSelectKeyGroupView {
                id: mKeyGroup
                objectName: "keyGroup"
                anchors.centerIn: parent
                visible: root.mTab === 1
            }
            KMacroFolder {
                id: mMacroFolder
                objectName: "macroFolder"
                anchors.fill: parent
                anchors.margins: g_resolution.getScaleLength(6)
                visible: root.mTab === 2
            }
            KKeyBaseFunctionList {
                id: mFunctions
                objectName: "functionList"
                anchors.fill: parent
                anchors.margins: g_resolution.getScaleLength(6)
                visible: root.mTab === 3
            }
        }
        Item {
            width: parent.width
            height: g_resolution.getScaleLength(36)
            Row {
                anchors.verticalCenter: parent.verticalCenter
                spacing: g_resolution.getScaleLength(20)
                KCheckBox {
                    id: mDisable
                    objectName: "disableKey"
                    text: qsTr("禁用按键")
                    onToggled: {
                        g_keyModel.setFunction(root.mSelectedKey, checked ? -1 : 0)
                        root.close()
                    }
                }
                KTxtBtn {
                    objectName: "restoreDefault"
                    anchors.verticalCenter: parent.verticalCenter
                    mText: qsTr("恢复默认")
                    mFontUnderLine: true
                    mColorHovered: "#6195C2"
                    onClicked: {
                        g_keyModel.setFunction(root.mSelectedKey, 0)
                        root.close()
                    }
                }
            }
            KQuorButton1 {
                objectName: "ok"
                anchors.right: parent.right
                width: g_resolution.getScaleLength(100)
                mText: qsTr("确定")
                onClicked: root.confirm()
            }
        }
    }
}
