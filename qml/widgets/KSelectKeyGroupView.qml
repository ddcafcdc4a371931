import QtQuick 2.12
import "qrc:/common"

// Earlier key combination editor: the modifiers Ctrl, Shift, Alt and Win in a row and one key, taken from the
// next key pressed while the key field has the focus. hCompositeKey is the modifier mask (1 Ctrl, 2 Shift,
// 4 Alt, 8 Win), hQtCode the key's Qt code and hKeyCode its scan code (0: no key).
Column {
    id: root

    property int hCompositeKey: (mCtrl.checked ? 1 : 0) | (mShift.checked ? 2 : 0) | (mAlt.checked ? 4 : 0)
                                | (mWin.checked ? 8 : 0)
    property int hQtCode: 0
    property int hKeyCode: 0
    property string mKeyText: ""

    function getCode(qtKey, nativeScanCode) {
        hQtCode = qtKey
        hKeyCode = g_keyModel.scanCodeOfNative(nativeScanCode)
        mKeyText = g_keyModel.getKeyStr(qtKey)
    }

    function resetKeys() {
        mCtrl.mChecked = false
        mShift.mChecked = false
        mAlt.mChecked = false
        mWin.mChecked = false
        hQtCode = 0
        hKeyCode = 0
        mKeyText = ""
    }

    spacing: g_resolution.getScaleLength(12)

    Row {
        spacing: g_resolution.getScaleLength(14)
        KCheckBox { id: mCtrl; objectName: "ctrl"; text: qsTr("Ctrl") }
        KCheckBox { id: mShift; objectName: "shift"; text: qsTr("Shift") }
        KCheckBox { id: mAlt; objectName: "alt"; text: qsTr("Alt") }
        KCheckBox { id: mWin; objectName: "win"; text: qsTr("Win") }
    }
    Rectangle {
        id: mKeyField
        objectName: "keyField"
        width: g_resolution.getScaleLength(200)
        height: g_resolution.getScaleLength(32)
        color: "#FFFFFF"
        border.width: activeFocus ? 2 : 1
        border.color: activeFocus ? "#6195C2" : "#BAC2CA"
        focus: true

        Keys.onPressed: {
            root.getCode(event.key, event.nativeScanCode)
            event.accepted = true
        }
        KQuorText {
            anchors.centerIn: parent
            mText: root.mKeyText !== "" ? root.mKeyText : qsTr("Press a key")
        }
        MouseArea {
            anchors.fill: parent
            onClicked: mKeyField.forceActiveFocus()
        }
    }
}
