import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/control"

// A cloud action needs an account: "Log in" asks the window for the log-in (popup 1).
Popup {
    id: root

    signal mSender(int buttonIndex)

    modal: true
    closePolicy: Popup.CloseOnEscape
    anchors.centerIn: Overlay.overlay
    width: g_resolution.getScaleLength(360)
    height: g_resolution.getScaleLength(190)
    background: Rectangle { radius: g_resolution.getScaleLength(8); color: "#FFFFFF" }

    Column {
        anchors.fill: parent
        anchors.margins: g_resolution.getScaleLength(20)
        spacing: g_resolution.getScaleLength(18)
        HText { mTextName: qsTr("Please login"); mFontBold: true; mFontSize: 16 }
        HText { mTextName: qsTr("You have not logged in!") }
        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: g_resolution.getScaleLength(16)
            HButton {
                objectName: "login"
                width: g_resolution.getScaleLength(100)
                height: g_resolution.getScaleLength(32)
                mTextName: qsTr("Log in")
                onClicked: {
                    root.close()
                    root.mSender(1)
                }
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
