import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/control"

// A newer program version exists. "Download updates" starts the download and asks the window for its
// progress (popup 28); "Cruel refusal" closes. The download object keeps one download at a time.
Popup {
    id: root

    signal mSender(int buttonIndex)

    function download() {
        h_httpDownload.downloadFile()
        close()
        mSender(28)
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
        HText { mTextName: qsTr("Version update"); mFontBold: true; mFontSize: 16 }
        Text {
            width: parent.width
            wrapMode: Text.WordWrap
            text: qsTr("The current software is not the latest version. Please click the download Update button to download the latest version")
            color: "#303344"
            font.pixelSize: g_resolution.getScaleLength(13)
        }
        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: g_resolution.getScaleLength(16)
            HButton {
                objectName: "download"
                width: g_resolution.getScaleLength(130)
                height: g_resolution.getScaleLength(32)
                mTextName: qsTr("Download updates")
                onClicked: root.download()
            }
            HButton {
                objectName: "refuse"
                width: g_resolution.getScaleLength(130)
                height: g_resolution.getScaleLength(32)
                mNormal: "#DEE9F1"
                mTextColor: "#303344"
                mTextName: qsTr("Cruel refusal")
                onClicked: root.close()
            }
        }
    }
}
