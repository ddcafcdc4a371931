import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/control"

// Progress of the program's download. The bar follows the download object; "Cancel" stops the download. When
// the transfer ends the dialog closes with "finished!!!" for a whole download (the download object then starts
// the installer) and "Download failed!" for one that broke off.
Popup {
    id: root

    property int mMaxValue: 100
    property int mMinValue: 0
    property int mValue: 0

    function sortFinished() {
        if (mMaxValue > 0 && mValue >= mMaxValue)
            h_suspension.showTips(0, qsTr("finished!!!"))
        else
            h_suspension.showTips(1, qsTr("Download failed!"))
        close()
    }

    function cancel() {
        h_httpDownload.cancelDownload()
        h_suspension.showTips(1, qsTr("Download cancelled"))
        close()
    }

    modal: true
    closePolicy: Popup.NoAutoClose
    anchors.centerIn: Overlay.overlay
    width: g_resolution.getScaleLength(440)
    height: g_resolution.getScaleLength(190)
    background: Rectangle { radius: g_resolution.getScaleLength(8); color: "#FFFFFF" }

    onOpened: {
        mMaxValue = h_httpDownload.progressMaxValue
        mValue = h_httpDownload.progressValue
    }

    Connections {
        target: h_httpDownload
        function onProgressValueChanged() { root.mValue = h_httpDownload.progressValue }
        function onProgressMaxValueChanged() { root.mMaxValue = h_httpDownload.progressMaxValue }
        function onSig_SortFinished() {
            if (root.visible)
                root.sortFinished()
        }
    }

    Column {
        anchors.fill: parent
        anchors.margins: g_resolution.getScaleLength(20)
        spacing: g_resolution.getScaleLength(14)
        HText { mTextName: qsTr("Download updates"); mFontBold: true; mFontSize: 16 }
        HText { mTextName: qsTr("Downloading...") }
        ProgressBar {
            objectName: "bar"
            width: parent.width
            from: root.mMinValue
            to: Math.max(root.mMinValue + 1, root.mMaxValue)
            value: root.mValue
        }
        HButton {
            objectName: "cancel"
            anchors.horizontalCenter: parent.horizontalCenter
            width: g_resolution.getScaleLength(100)
            height: g_resolution.getScaleLength(32)
            mNormal: "#DEE9F1"
            mTextColor: "#303344"
            mTextName: qsTr("Cancel")
            onClicked: root.cancel()
        }
    }
}
