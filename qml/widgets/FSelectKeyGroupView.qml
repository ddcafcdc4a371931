import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"

// The key combination of the key-setting dialog: the modifiers Ctrl, Shift, Alt and Win and one key, which the
// key field takes from the next key pressed while it has the focus. hCompositeKey is the modifier mask
// (1 Ctrl, 2 Shift, 4 Alt, 8 Win), hQtCode the key's Qt code and hKeyCode its scan code (0: no key).
Item {
    id: root

    property int hCompositeKey: (mCtrl.checked ? 1 : 0) | (mShift.checked ? 2 : 0) | (mAlt.checked ? 4 : 0)
                                | (mWin.checked ? 8 : 0)
    property int hQtCode: 0
    property int hKeyCode: 0
    property string mKeyText: ""

    // Takes a pressed key: its Qt code and the native scan code the window reported.
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

    Row {
        id: mModifiers
        anchors.top: parent.top
        anchors.topMargin: g_resolution.getScaleLength(20)
        anchors.horizontalCenter: parent.horizontalCenter
        spacing: g_resolution.getScaleLength(16)

        FCheckBoxKeySet { id: mCtrl; objectName: "ctrl"; text: qsTr("Ctrl") }
        FCheckBoxKeySet { id: mShift; objectName: "shift"; text: qsTr("Shift") }
        FCheckBoxKeySet { id: mAlt; objectName: "alt"; text: qsTr("Alt") }
        FCheckBoxKeySet { id: mWin; objectName: "win"; text: qsTr("Win") }
    }

    Text {
        id: mPlus
        anchors.top: mModifiers.bottom
        anchors.topMargin: g_resolution.getScaleLength(16)
        anchors.horizontalCenter: parent.horizontalCenter
        text: "+"
        color: "#303344"
        font.pixelSize: g_resolution.getScaleLength(18)
    }

    Rectangle {
        id: mKeyField
        objectName: "keyField"
        anchors.top: mPlus.bottom
        anchors.topMargin: g_resolution.getScaleLength(10)
        anchors.horizontalCenter: parent.horizontalCenter
        width: g_resolution.getScaleLength(220)
        height: g_resolution.getScaleLength(36)
        radius: g_resolution.getScaleLength(4)
        color: "#FFFFFF"
        border.width: activeFocus ? 2 : 1
        border.color: activeFocus ? "#6195C2" : "#BAC2CA"
        focus: true

        Keys.onPressed: {
            root.getCode(event.key, event.nativeScanCode)
            event.accepted = true
        }

        Text {
            anchors.centerIn: parent
            text: root.mKeyText !== "" ? root.mKeyText : qsTr("Press a key")
            color: root.mKeyText !== "" ? "#303344" : "#9AA3AD"
            font.pixelSize: g_resolution.getScaleLength(14)
        }
        MouseArea {
            anchors.fill: parent
            onClicked: mKeyField.forceActiveFocus()
        }
    }
}
