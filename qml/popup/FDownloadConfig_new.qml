import QtQuick 2.12
import QtQuick.Controls 2.12
import k.tools 1.0
import "qrc:/common"

// Confirms downloading the cloud account's profiles and macros over the current ones. Send starts a new transfer
// with the busy indicator up; the transfer tells the user how it went, and the dialog closes when it has
// finished. After a successful download the window lists the profiles again (downloaded).
Popup {
    id: root

    signal mSender(int buttonIndex)
    signal downloaded()
    property var mTransfer: null

    function send() {
        if (mTransfer)
            return
        mTransfer = mTransferType.createObject(root)
        h_loaddialog.startLoading(60000)
        mTransfer.downloadCloud()
    }

    function finished() {
        h_loaddialog.stopLoading()
        var transfer = mTransfer
        mTransfer = null
        if (transfer)
            transfer.destroy()
        close()
    }

    Component {
        id: mTransferType
        FDownLoadFile {}
    }

    Connections {
        target: root.mTransfer
        ignoreUnknownSignals: true
        function onSig_finish() { root.finished() }
        // A download that succeeds ends with this signal alone (no sig_finish).
        function onSigchangeUi() {
            root.downloaded()
            root.finished()
        }
    }

    parent: Overlay.overlay
    x: parent ? Math.round((parent.width - width) / 2) : 0
    y: parent ? Math.round((parent.height - height) / 2) : 0
    z: 2
    width: g_resolution.getScaleLength(460)
    height: g_resolution.getScaleLength(220)
    padding: g_resolution.getScaleLength(24)
    // While a transfer runs the dialog stays: it closes when the transfer has finished.
    closePolicy: mTransfer ? Popup.NoAutoClose : Popup.CloseOnEscape

    background: Rectangle {
        color: "#FFFFFF"
        radius: g_resolution.getScaleLength(8)
        border.color: "#BAC2CA"
    }

    contentItem: Item {
        Text {
            id: mTitle
            text: qsTr("Download cloud settings")
            color: "#303344"
            font.pixelSize: g_resolution.getScaleLength(18)
            font.bold: true
        }
        Text {
            anchors.top: mTitle.bottom
            anchors.topMargin: g_resolution.getScaleLength(20)
            width: parent.width
            wrapMode: Text.WordWrap
            text: qsTr("Download the cloud configuration, the current settings will be overwritten.Are you sure to download?")
            color: "#5B6270"
            font.pixelSize: g_resolution.getScaleLength(14)
        }
        Row {
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            spacing: g_resolution.getScaleLength(12)
            KTxtBtn {
                objectName: "cancel"
                width: g_resolution.getScaleLength(100)
                height: g_resolution.getScaleLength(34)
                enabled: !root.mTransfer
                mText: qsTr("Cancel")
                mColor: "#303344"
                mBgColor: "#EEF2F6"
                mBgColorHovered: "#DEE9F1"
                mRadius: 4
                onClicked: root.close()
            }
            KTxtBtn {
                objectName: "send"
                width: g_resolution.getScaleLength(100)
                height: g_resolution.getScaleLength(34)
                enabled: !root.mTransfer
                mText: qsTr("Send")
                mColor: "#FFFFFF"
                mBgColor: "#6195C2"
                mBgColorHovered: "#4A7BA6"
                mRadius: 4
                onClicked: root.send()
            }
        }
    }
}
