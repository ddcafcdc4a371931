import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/control"

// Pairing failed. While the receiver is still connected "Pair" asks the window for the guide again
// (popup 22); without it only the advice to plug it in again remains.
Popup {
    id: root

    signal mSender(int buttonIndex)

    modal: true
    closePolicy: Popup.NoAutoClose
    anchors.centerIn: Overlay.overlay
    width: g_resolution.getScaleLength(400)
    height: g_resolution.getScaleLength(210)
    background: Rectangle { radius: g_resolution.getScaleLength(8); color: "#FFFFFF" }

    Column {
        anchors.fill: parent
        anchors.margins: g_resolution.getScaleLength(20)
        spacing: g_resolution.getScaleLength(16)
        HText { mTextName: qsTr("Failed to pair code"); mFontBold: true; mFontSize: 16; mTextColor: "#E05A5A" }
        Text {
            width: parent.width
            wrapMode: Text.WordWrap
            text: qsTr("Pairing alignment failed. Please follow the prompt to re operate or unplug the receiver and try again")
            color: "#303344"
            font.pixelSize: g_resolution.getScaleLength(13)
        }
        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: g_resolution.getScaleLength(16)
            HButton {
                objectName: "pair"
                width: g_resolution.getScaleLength(100)
                height: g_resolution.getScaleLength(32)
                visible: g_deviceCtl.online
                mTextName: qsTr("Pair")
                onClicked: {
                    root.close()
                    root.mSender(22)
                }
            }
            HButton {
                objectName: "ok"
                width: g_resolution.getScaleLength(100)
                height: g_resolution.getScaleLength(32)
                mNormal: "#DEE9F1"
                mTextColor: "#303344"
                mTextName: qsTr("OK")
                onClicked: root.close()
            }
        }
    }
}
