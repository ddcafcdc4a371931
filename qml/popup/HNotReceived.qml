import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/control"

// Why the verification mail may not have arrived; "Previous step" goes back to the code entry (popup 4).
Popup {
    id: root

    signal mSender(int buttonIndex)

    modal: true
    closePolicy: Popup.CloseOnEscape
    anchors.centerIn: Overlay.overlay
    width: g_resolution.getScaleLength(460)
    height: g_resolution.getScaleLength(340)
    background: Rectangle { radius: g_resolution.getScaleLength(8); color: "#FFFFFF" }

    Column {
        anchors.fill: parent
        anchors.margins: g_resolution.getScaleLength(20)
        spacing: g_resolution.getScaleLength(14)
        Text {
            objectName: "causes"
            width: parent.width
            wrapMode: Text.WordWrap
            lineHeight: 1.3
            text: qsTr("1. The email address is incorrect.\n2. The verification mailbox has not been sent due to delay and other reasons.\n3. The mailbox server that receives the verification mailbox judges it as spam and automatically transfers it to the dustbin. You can check whether there is a verification mailbox in the dustbin.")
            color: "#303344"
            font.pixelSize: g_resolution.getScaleLength(13)
        }
        Text {
            width: parent.width
            wrapMode: Text.WordWrap
            text: qsTr("If the verification email cannot be found in the above methods, you can click resend in the verification interface or re register with another email address.")
            color: "#5B6270"
            font.pixelSize: g_resolution.getScaleLength(12)
        }
        HButton {
            objectName: "previous"
            anchors.horizontalCenter: parent.horizontalCenter
            width: g_resolution.getScaleLength(130)
            height: g_resolution.getScaleLength(32)
            mTextName: qsTr("Previous step")
            onClicked: {
                root.close()
                root.mSender(4)
            }
        }
    }
}
