import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"

// Progress of the program's download: the bar follows the download object; the close button cancels the
// download. When the transfer ends the dialog closes, with "finished!!!" when the download is whole (the
// download object then starts the installer) and a failure tip when it broke off.
Popup {
    id: root

    property int mMaxValue: 100
    property int mMinValue: 0
    property int mValue: 0

    signal mSender(int buttonIndex)

    // The transfer ended: whole, or broken off (the download object ends every transfer so).
    function sortFinished() {
        if (mMaxValue > 0 && mValue >= mMaxValue)
            h_suspension.showTips(0, qsTr("finished!!!"))
        else
            h_suspension.showTips(1, qsTr("The download failed"))
        close()
        mSender(0)
    }
    function sortMaxValue() {
        mMaxValue = h_httpDownload.progressMaxValue
    }
    function sortValue() {
        mValue = h_httpDownload.progressValue
    }
    function cancel() {
        h_httpDownload.cancelDownload()
        h_suspension.showTips(1, qsTr("Download cancelled"))
        close()
        mSender(0)
    }

    parent: Overlay.overlay
    x: parent ? Math.round((parent.width - width) / 2) : 0
    y: parent ? Math.round((parent.height - height) / 2) : 0
    z: 2
    width: g_resolution.getScaleLength(460)
    height: g_resolution.getScaleLength(170)
    padding: g_resolution.getScaleLength(24)
    modal: true
    closePolicy: Popup.NoAutoClose

    onOpened: {
        mValue = 0
        if (typeof h_httpDownload !== "undefined") {
            sortMaxValue()
            sortValue()
        }
    }

    Connections {
        target: typeof h_httpDownload !== "undefined" ? h_httpDownload : null
        function onProgressValueChanged() { root.sortValue() }
        function onProgressMaxValueChanged() { root.sortMaxValue() }
        function onSig_SortFinished() {
            if (root.visible)
                root.sortFinished()
        }
    }

    background: Rectangle {
        color: "#FFFFFF"
        radius: g_resolution.getScaleLength(8)
        border.color: "#BAC2CA"
    }

    contentItem: Item {
        Text {
            id: mText
            width: parent.width - mClose.width
            wrapMode: Text.WordWrap
            text: qsTr("Please wait while the driver version is being upgraded...")
            color: "#303344"
            font.pixelSize: g_resolution.getScaleLength(14)
        }
        KImgBtn {
            id: mClose
            objectName: "cancel"
            anchors.right: parent.right
            anchors.top: parent.top
            mImg: "qrc:/common/newUI/btn_close_normal.png"
            mImgWidth: 20
            mImgHeight: 20
            onClicked: root.cancel()
        }
        ProgressBar {
            objectName: "bar"
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            from: root.mMinValue
            to: Math.max(root.mMinValue + 1, root.mMaxValue)
            value: root.mValue
        }
    }
}
