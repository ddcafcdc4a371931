import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/control"

// Pairing succeeded; "Got it" lets the window reload the mouse.
Popup {
    id: root

    signal mSender()

    modal: true
    closePolicy: Popup.NoAutoClose
    anchors.centerIn: Overlay.overlay
    width: g_resolution.getScaleLength(380)
    height: g_resolution.getScaleLength(200)
    background: Rectangle { radius: g_resolution.getScaleLength(8); color: "#FFFFFF" }

    Column {
        anchors.centerIn: parent
        width: parent.width - g_resolution.getScaleLength(32)
        spacing: g_resolution.getScaleLength(16)
        Image {
            anchors.horizontalCenter: parent.horizontalCenter
            width: g_resolution.getScaleLength(40)
            height: width
            source: g_appModel.language === "zh" ? "qrc:/common/newUI/pairing_success.png"
                                                 : "qrc:/common/newUI/pairing_success_en.png"
        }
        Text {
            width: parent.width
            wrapMode: Text.WordWrap
            horizontalAlignment: Text.AlignHCenter
            text: qsTr("Pairing is successful, and the mouse can be used normally")
            color: "#303344"
            font.pixelSize: g_resolution.getScaleLength(14)
        }
        HButton {
            objectName: "gotIt"
            anchors.horizontalCenter: parent.horizontalCenter
            width: g_resolution.getScaleLength(120)
            height: g_resolution.getScaleLength(32)
            mTextName: qsTr("Got it")
            onClicked: {
                root.close()
                root.mSender()
            }
        }
    }
}
