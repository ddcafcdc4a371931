import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/control"

// The mouse does not answer and may be asleep. "I have awakened" lets the warning object test the device
// again (it closes this dialog when the mouse answers, or raises it again); the failure link asks the window
// for the advice (popup 20).
Popup {
    id: root

    signal mSender(int buttonIndex)

    function showWarning() {
        open()
    }
    function hideWarning() {
        close()
    }

    modal: true
    closePolicy: Popup.NoAutoClose
    anchors.centerIn: Overlay.overlay
    width: g_resolution.getScaleLength(420)
    height: g_resolution.getScaleLength(250)
    background: Rectangle { radius: g_resolution.getScaleLength(8); color: "#FFFFFF" }

    Column {
        anchors.fill: parent
        anchors.margins: g_resolution.getScaleLength(20)
        spacing: g_resolution.getScaleLength(14)
        HText { mTextName: qsTr("Communication with mouse failed"); mFontBold: true; mFontSize: 16 }
        Text {
            width: parent.width
            wrapMode: Text.WordWrap
            text: qsTr("Your current mouse may be dormant. Please click your mouse again to wake it up")
            color: "#303344"
            font.pixelSize: g_resolution.getScaleLength(13)
        }
        HButton {
            objectName: "awakened"
            anchors.horizontalCenter: parent.horizontalCenter
            width: g_resolution.getScaleLength(140)
            height: g_resolution.getScaleLength(32)
            mTextName: qsTr("I have awakened")
            onClicked: h_warningdialog.getMouseType()
        }
        HButton {
            objectName: "awakenFailed"
            anchors.horizontalCenter: parent.horizontalCenter
            width: g_resolution.getScaleLength(240)
            height: g_resolution.getScaleLength(24)
            mNormal: "transparent"
            mTextColor: "#6195C2"
            mUnderline: true
            mTextName: qsTr("Wake up failed? I'll take care of it")
            onClicked: root.mSender(20)
        }
    }
}
