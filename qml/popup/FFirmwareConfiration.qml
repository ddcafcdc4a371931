import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/control"

// Before a firmware is written for the mouse model the user chose, the choice is confirmed: "That's it" lets
// the window start the update (sigConfirmed); "Wrong choice" asks the window for the choice again (popup 19).
Popup {
    id: root

    signal sigConfirmed()
    signal mSender(int buttonIndex)

    modal: true
    closePolicy: Popup.NoAutoClose
    anchors.centerIn: Overlay.overlay
    width: g_resolution.getScaleLength(400)
    height: g_resolution.getScaleLength(190)
    background: Rectangle { radius: g_resolution.getScaleLength(8); color: "#FFFFFF" }

    Column {
        anchors.fill: parent
        anchors.margins: g_resolution.getScaleLength(20)
        spacing: g_resolution.getScaleLength(18)
        HText { mTextName: qsTr("Firmware Update"); mFontBold: true; mFontSize: 16 }
        HText { mTextName: qsTr("Please make sure the mouse model you selected is correct!!"); mTextColor: "#E05A5A" }
        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: g_resolution.getScaleLength(16)
            HButton {
                objectName: "confirm"
                width: g_resolution.getScaleLength(120)
                height: g_resolution.getScaleLength(32)
                mTextName: qsTr("That's it")
                onClicked: {
                    root.close()
                    root.sigConfirmed()
                }
            }
            HButton {
                objectName: "wrongChoice"
                width: g_resolution.getScaleLength(120)
                height: g_resolution.getScaleLength(32)
                mNormal: "#DEE9F1"
                mTextColor: "#303344"
                mTextName: qsTr("Wrong choice")
                onClicked: {
                    root.close()
                    root.mSender(19)
                }
            }
        }
    }
}
