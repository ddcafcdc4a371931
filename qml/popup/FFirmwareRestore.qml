import QtQuick 2.12
import QtQuick.Controls 2.12
import k.tools 1.0
import "qrc:/control"

// Firmware upgrade and restoration with progress. "Upgrade" hands the device's download address to a firmware
// update and starts it for the device; the update program itself ends any leftover of an earlier run. The
// outcome: success lets the window show its notice (mSender(19)); a failed flash and a failed download are
// told apart. The dialog cannot be closed while the update runs.
Popup {
    id: root

    property string mImg: ""
    property bool mUpdating: false
    property int count: 0
    property string mFailure: ""

    signal mSender(int buttonIndex)

    function updateSuccess() {
        mUpdating = false
        close()
        mSender(19)
    }

    function startUpdate() {
        mFailure = ""
        count = 0
        mUpdating = true
        mUpdate.setDownloadUrl(g_updater.getDownLoadUrl())
        mUpdate.stateUpdateFirm(g_image.deviceName)
    }

    modal: true
    closePolicy: Popup.NoAutoClose
    anchors.centerIn: Overlay.overlay
    width: g_resolution.getScaleLength(460)
    height: g_resolution.getScaleLength(340)
    background: Rectangle { radius: g_resolution.getScaleLength(8); color: "#FFFFFF" }

    onOpened: {
        mFailure = ""
        count = 0
    }

    FUpdateFirmware {
        id: mUpdate
        onSigProgress: root.count = totleValue > 0 ? Math.round(100 * value / totleValue) : 0
        onSigUpdateRequest: {
            root.mUpdating = false
            if (code === 0)
                root.updateSuccess()
            else if (code === 3)
                root.mFailure = qsTr("Network connection error, please try later")
            else
                root.mFailure = qsTr("Firmware upgrade failed, please re-plug the device and try again")
        }
    }

    Column {
        anchors.fill: parent
        anchors.margins: g_resolution.getScaleLength(16)
        spacing: g_resolution.getScaleLength(10)
        HText { mTextName: qsTr("Firmware upgrade"); mFontBold: true; mFontSize: 16 }
        Image {
            anchors.horizontalCenter: parent.horizontalCenter
            width: g_resolution.getScaleLength(120)
            height: g_resolution.getScaleLength(70)
            source: root.mImg
            visible: root.mImg !== ""
        }
        Text {
            width: parent.width
            wrapMode: Text.WordWrap
            text: qsTr("You cannot insert or remove the device or turn off the software during the upgrade process. Please re-plug the device after the upgrade is complete")
            color: "#303344"
            font.pixelSize: g_resolution.getScaleLength(12)
        }
        Text {
            visible: g_image.isWireLess
            text: qsTr("Data cable is needed to connect for upgrading")
            color: "#E05A5A"
            font.pixelSize: g_resolution.getScaleLength(12)
        }
        HText {
            objectName: "currentVersion"
            mTextName: qsTr("Current Version:") + " " + g_image.deviceVersion
        }
        ProgressBar {
            objectName: "progress"
            width: parent.width
            visible: root.mUpdating
            from: 0
            to: 100
            value: root.count
        }
        Text {
            visible: root.mUpdating
            text: qsTr("Firmware upgrade in progress")
            color: "#6195C2"
            font.pixelSize: g_resolution.getScaleLength(12)
        }
        Text {
            objectName: "failure"
            visible: root.mFailure !== ""
            width: parent.width
            wrapMode: Text.WordWrap
            text: root.mFailure
            color: "#E05A5A"
            font.pixelSize: g_resolution.getScaleLength(12)
        }
        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: g_resolution.getScaleLength(16)
            HButton {
                objectName: "upgrade"
                width: g_resolution.getScaleLength(110)
                height: g_resolution.getScaleLength(32)
                enabled: !root.mUpdating
                mTextName: qsTr("Upgrade")
                onClicked: root.startUpdate()
            }
            HButton {
                objectName: "close"
                width: g_resolution.getScaleLength(110)
                height: g_resolution.getScaleLength(32)
                enabled: !root.mUpdating
                mTextName: qsTr("Close")
                onClicked: root.close()
            }
        }
    }
}
