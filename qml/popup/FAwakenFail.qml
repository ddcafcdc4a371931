import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/control"

// Waking failed: the advice to check the mouse's power or to pair again; "Pair" opens the pairing dialog
// (rectangle 3 of the window).
Popup {
    id: root

    signal mSender(int buttonIndex)
    signal mPopUp(int buttonIndex)

    modal: true
    closePolicy: Popup.NoAutoClose
    anchors.centerIn: Overlay.overlay
    width: g_resolution.getScaleLength(420)
    height: g_resolution.getScaleLength(260)
    background: Rectangle { radius: g_resolution.getScaleLength(8); color: "#FFFFFF" }

    Column {
        anchors.fill: parent
        anchors.margins: g_resolution.getScaleLength(16)
        spacing: g_resolution.getScaleLength(12)
        HText { mTextName: qsTr("Wake up failed"); mFontBold: true; mFontSize: 16 }
        Image {
            anchors.horizontalCenter: parent.horizontalCenter
            width: g_resolution.getScaleLength(120)
            height: g_resolution.getScaleLength(60)
            source: g_appModel.language === "zh" ? "qrc:/common/newUI/awaken_fail.png"
                                                 : "qrc:/common/newUI/awaken_fail_en.png"
        }
        Text {
            width: parent.width
            wrapMode: Text.WordWrap
            text: qsTr("Please judge whether the current mouse is in the off or no power state, otherwise please re pair the receiver and mouse")
            color: "#303344"
            font.pixelSize: g_resolution.getScaleLength(13)
        }
        HButton {
            objectName: "pair"
            anchors.horizontalCenter: parent.horizontalCenter
            width: g_resolution.getScaleLength(120)
            height: g_resolution.getScaleLength(32)
            mTextName: qsTr("Pair")
            onClicked: {
                root.close()
                root.mSender(3)
            }
        }
    }
}
