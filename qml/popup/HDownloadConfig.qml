import QtQuick 2.12
import QtQuick.Controls 2.12
import k.tools 1.0
import "qrc:/control"

// Asks before the cloud's profiles and macros replace the local ones. "OK" starts the download, which
// reports its own outcome and applies the restored profile. The dialog stays, without its buttons, until the
// download has ended.
Popup {
    id: root

    property bool mBusy: false

    function download() {
        if (mBusy)
            return
        mBusy = true
        mDownload.downloadCloud()
    }

    modal: true
    closePolicy: mBusy ? Popup.NoAutoClose : Popup.CloseOnEscape
    anchors.centerIn: Overlay.overlay
    width: g_resolution.getScaleLength(420)
    height: g_resolution.getScaleLength(210)
    background: Rectangle { radius: g_resolution.getScaleLength(8); color: "#FFFFFF" }

    FDownLoadFile {
        id: mDownload
        onSigchangeUi: {
            root.mBusy = false
            root.close()
        }
        onSig_finish: {
            root.mBusy = false
            root.close()
        }
    }

    Column {
        anchors.fill: parent
        anchors.margins: g_resolution.getScaleLength(20)
        spacing: g_resolution.getScaleLength(16)
        HText { mTextName: qsTr("Download cloud configuration"); mFontBold: true; mFontSize: 16 }
        Text {
            width: parent.width
            wrapMode: Text.WordWrap
            text: qsTr("Downloading cloud configuration will overwrite the current configuration. Are you sure to download?")
            color: "#303344"
            font.pixelSize: g_resolution.getScaleLength(13)
        }
        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: g_resolution.getScaleLength(16)
            enabled: !root.mBusy
            HButton {
                objectName: "ok"
                width: g_resolution.getScaleLength(100)
                height: g_resolution.getScaleLength(32)
                mTextName: qsTr("OK")
                onClicked: root.download()
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
