import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/control"

// Registration succeeded; "OK" asks the window for the log-in (popup 1).
Popup {
    id: root

    signal mSender(int buttonIndex)

    modal: true
    closePolicy: Popup.CloseOnEscape
    anchors.centerIn: Overlay.overlay
    width: g_resolution.getScaleLength(380)
    height: g_resolution.getScaleLength(200)
    background: Rectangle { radius: g_resolution.getScaleLength(8); color: "#FFFFFF" }

    Column {
        anchors.fill: parent
        anchors.margins: g_resolution.getScaleLength(20)
        spacing: g_resolution.getScaleLength(16)
        HText { mTextName: qsTr("Registration succeeded"); mFontBold: true; mFontSize: 16 }
        Text {
            width: parent.width
            wrapMode: Text.WordWrap
            text: qsTr("You have successfully registered. You can enjoy the cloud synchronization function by logging in.")
            color: "#303344"
            font.pixelSize: g_resolution.getScaleLength(13)
        }
        HButton {
            objectName: "ok"
            anchors.horizontalCenter: parent.horizontalCenter
            width: g_resolution.getScaleLength(100)
            height: g_resolution.getScaleLength(32)
            mTextName: qsTr("OK")
            onClicked: {
                root.close()
                root.mSender(1)
            }
        }
    }
}
