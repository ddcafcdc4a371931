import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"
import "qrc:/widgets"

// The key-setting dialog of one key or button: a key combination, a macro of the library or a basic function
// ("OK"), or at once: the key disabled, or back to its factory function. Every choice goes through the key
// model, which writes it to the device; the dialog closes after it.
Popup {
    id: root

    property string mTitle: ""
    property string mKey: ""
    property int mSelectedKey: -1
    property string mConfigPath: ""
    property var mMultiMacro: []
    property bool mShowFunc: true
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

    // Opens the dialog for a key.
    function showDialog(key) {
        mSelectedKey = key
        mMacroView.mSelectedKey = key
        mKey = g_image.keyNameMap[String(key)] || ""
        mTitle = qsTr(mKey) + qsTr(" settings")
        open()
    }

    // The macro and basic-function tabs are offered (showFunc) or not (hideFunc).
    function showFunc() {
        mShowFunc = true
    }
    function hideFunc() {
        mShowFunc = false
        if (mTab !== 1)
            selectTab(1)
    }

    function selectTab(tab) {
        mTab = tab
        mTabCombination.checked = tab === 1
        mTabMacro.checked = tab === 2
        mTabFunction.checked = tab === 3
        if (tab === 2) {
            mMacroView.initReturnBtn()
            h_macroName.initFromFile(g_common.getMacroFolderPath())
        }
    }

    function disableKey(disabled) {
        g_keyModel.setFunction(mSelectedKey, disabled ? -1 : 0)
        close()
    }

    function restoreDefault() {
        g_keyModel.setFunction(mSelectedKey, 0)
        close()
    }

    function closeDialog() {
        close()
        h_macroName.resetMacroItem()
    }

    // "OK": what the shown tab holds goes to the key; a tab without a choice assigns nothing.
    function confirm() {
        if (mTab === 1) {
            if (mKeyGroup.hCompositeKey !== 0 || mKeyGroup.hQtCode !== 0)
                g_keyModel.setCompositeKey(mSelectedKey, 30, mKeyGroup.hCompositeKey, mKeyGroup.hQtCode,
                                           mKeyGroup.hKeyCode)
        } else if (mTab === 2) {
            if (mMacroView.mCurrentFile !== "") {
                mMultiMacro = h_macroName.getMultiMacro()
                h_macroType.setMacroName(mMultiMacro, true)
                g_keyModel.setMacroFunc(mSelectedKey, mMultiMacro)
                g_macroList.resetMacroList()
                h_macroType.resetMacroType()
            }
        } else if (mTab === 3) {
            if (mFunctionList.mSelectIndex >= 0)
                g_keyModel.setFunction(mSelectedKey, mFunctionList.mSelectIndex)
        }
        close()
    }

    parent: Overlay.overlay
    x: parent ? Math.round((parent.width - width) / 2) : 0
    y: parent ? Math.round((parent.height - height) / 2) : 0
    z: 2
    width: g_resolution.getScaleLength(600)
    height: g_resolution.getScaleLength(500)
    padding: 0
    modal: false
    closePolicy: Popup.CloseOnEscape

    onOpened: {
        mKeyGroup.resetKeys()
        mFunctionList.resetSelect()
        mMacroView.mCurrentFile = ""
        mDisable.mChecked = mItem !== null && mItem.type === -1
        selectTab(1)
    }

    background: Rectangle {
        color: "#FFFFFF"
        radius: g_resolution.getScaleLength(8)
        border.color: "#BAC2CA"
    }

    contentItem: Item {
        Text {
            id: mTitleText
            objectName: "title"
            anchors.left: parent.left
            anchors.leftMargin: g_resolution.getScaleLength(24)
            anchors.top: parent.top
            anchors.topMargin: g_resolution.getScaleLength(20)
            text: root.mTitle
            color: "#303344"
            font.pixelSize: g_resolution.getScaleLength(18)
            font.bold: true
        }
        KImgBtn {
            objectName: "closeButton"
            anchors.right: parent.right
            anchors.rightMargin: g_resolution.getScaleLength(16)
            anchors.verticalCenter: mTitleText.verticalCenter
            mImg: "qrc:/common/newUI/btn_close_normal.png"
            mImgWidth: 20
            mImgHeight: 20
            onClicked: root.closeDialog()
        }
        Text {
            id: mCurrent
            objectName: "currentFunction"
            anchors.left: mTitleText.left
            anchors.top: mTitleText.bottom
            anchors.topMargin: g_resolution.getScaleLength(10)
            text: qsTr("Current function: ") + (root.mItem ? qsTr(root.mItem.txt) : "")
            color: "#5B6270"
            font.pixelSize: g_resolution.getScaleLength(14)
        }

        Row {
            id: mTabs
            anchors.left: mTitleText.left
            anchors.top: mCurrent.bottom
            anchors.topMargin: g_resolution.getScaleLength(16)
            spacing: g_resolution.getScaleLength(24)

            FCheckBoxKeySet2 {
                id: mTabCombination
                objectName: "1"
                text: qsTr("Key combination")
                onClicked: root.selectTab(1)
            }
            FCheckBoxKeySet2 {
                id: mTabMacro
                objectName: "2"
                visible: root.mShowFunc
                text: qsTr("Macro settings")
                onClicked: root.selectTab(2)
            }
            FCheckBoxKeySet2 {
                id: mTabFunction
                objectName: "3"
                visible: root.mShowFunc
                text: qsTr("Basic function")
                onClicked: root.selectTab(3)
            }
        }

        Rectangle {
            id: mContent
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.margins: g_resolution.getScaleLength(24)
            anchors.top: mTabs.bottom
            anchors.topMargin: g_resolution.getScaleLength(12)
            anchors.bottom: mButtons.top
            anchors.bottomMargin: g_resolution.getScaleLength(12)
            color: "#F5F8FA"
            radius: g_resolution.getScaleLength(6)

            FSelectKeyGroupView {
                id: mKeyGroup
                objectName: "keyGroup"
                anchors.fill: parent
                visible: root.mTab === 1
            }
            FMacroFolderKeySet {
                id: mMacroView
                objectName: "macroView"
                anchors.fill: parent
                anchors.margins: g_resolution.getScaleLength(8)
                visible: root.mTab === 2
            }
            FKeyBaseFunctionList {
                id: mFunctionList
                objectName: "functionList"
                anchors.fill: parent
                anchors.margins: g_resolution.getScaleLength(8)
                visible: root.mTab === 3
            }
        }

        Item {
            id: mButtons
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.margins: g_resolution.getScaleLength(24)
            anchors.bottom: parent.bottom
            height: g_resolution.getScaleLength(56)

            FCheckBoxKeySet {
                id: mDisable
                objectName: "disableKey"
                anchors.left: parent.left
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr("Disable key")
                onToggled: root.disableKey(checked)
            }
            FTextUnderlineBtn {
                objectName: "restoreDefault"
                anchors.left: mDisable.right
                anchors.leftMargin: g_resolution.getScaleLength(24)
                anchors.verticalCenter: parent.verticalCenter
                mText: qsTr("Restore default")
                onClicked: root.restoreDefault()
            }
            KTxtBtn {
                objectName: "ok"
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                width: g_resolution.getScaleLength(110)
                height: g_resolution.getScaleLength(36)
                mText: qsTr("OK")
                mColor: "#FFFFFF"
                mBgColor: "#6195C2"
                mBgColorHovered: "#4A7BA6"
                mRadius: 4
                onClicked: root.confirm()
            }
        }
    }
}
