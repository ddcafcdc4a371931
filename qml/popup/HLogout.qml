import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/control"
import "qrc:/common"

// Asks before the user logs out. "OK" forgets the stored session (settings and application model) and tells
// the window (sigLogoutSuccess); "Cancel" changes nothing.
Popup {
    id: root

    signal sigLogoutSuccess()

    function logout() {
        g_configCommon.clearUserInfo()
        h_suspension.showTips(0, qsTr("Exit successful"))
        close()
        sigLogoutSuccess()
    }

    modal: true
    closePolicy: Popup.CloseOnEscape
    anchors.centerIn: Overlay.overlay
    width: g_resolution.getScaleLength(420)
    height: g_resolution.getScaleLength(210)
    background: Rectangle { radius: g_resolution.getScaleLength(8); color: "#FFFFFF" }

    Column {
        anchors.fill: parent
        anchors.margins: g_resolution.getScaleLength(20)
        spacing: g_resolution.getScaleLength(16)
        HText { mTextName: qsTr("Log out"); mFontBold: true; mFontSize: 16 }
        Text {
            width: parent.width
            wrapMode: Text.WordWrap
            text: qsTr("After exiting the login, the parameters cannot be synchronized to the personal account. Are you sure you want to exit?")
            color: "#303344"
            font.pixelSize: g_resolution.getScaleLength(13)
        }
        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: g_resolution.getScaleLength(16)
            HButton {
                objectName: "ok"
                width: g_resolution.getScaleLength(100)
                height: g_resolution.getScaleLength(32)
                mTextName: qsTr("OK")
                onClicked: root.logout()
            }
            HButton {
                objectName: "cancel"
                width: g_resolution.getScaleLength(100)
                height: g_resolution.getScaleLength(32)
                mNormal: "#DEE9F1"
                mTextColor: "#303344"
                mTextName: qsTr("Cancel")
                onClicked: root.close()
            }
        }
    }
}
