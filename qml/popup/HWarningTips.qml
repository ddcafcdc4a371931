import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/control"

// Waking the mouse failed: the advice to check its power or to pair it with the receiver again. "Pair" asks the
// window for the pairing guide (popup 22); "Got it" closes.
Popup {
    id: root

    signal mSender(int buttonIndex)

    modal: true
    closePolicy: Popup.NoAutoClose
    anchors.centerIn: Overlay.overlay
    width: g_resolution.getScaleLength(420)
    height: g_resolution.getScaleLength(230)
    background: Rectangle { radius: g_resolution.getScaleLength(8); color: "#FFFFFF" }

    Column {
        anchors.fill: parent
        anchors.margins: g_resolution.getScaleLength(20)
        spacing: g_resolution.getScaleLength(16)
        HText { mTextName: qsTr("Wake up failed"); mFontBold: true; mFontSize: 16 }
        Text {
            width: parent.width
            wrapMode: Text.WordWrap
            text: qsTr("Please judge whether the current mouse is in the off or no power state, otherwise please re pair the receiver and mouse")
            color: "#303344"
            font.pixelSize: g_resolution.getScaleLength(13)
        }
        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: g_resolution.getScaleLength(16)
            HButton {
                objectName: "gotIt"
                width: g_resolution.getScaleLength(110)
                height: g_resolution.getScaleLength(32)
                mTextName: qsTr("Got it")
                onClicked: root.close()
            }
            HButton {
                objectName: "pair"
                width: g_resolution.getScaleLength(110)
                height: g_resolution.getScaleLength(32)
                mTextName: qsTr("Pair")
                onClicked: {
                    root.close()
                    root.mSender(22)
                }
            }
        }
    }
}
