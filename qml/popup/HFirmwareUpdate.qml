import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/control"

// The mouse's firmware is too old; opened when the device controller reports it. "OK" asks the window for the
// firmware restoration (popup 19) with the controller's flag; "Later" closes and the program goes on.
Popup {
    id: root

    property int mFlag: g_deviceCtl.flag

    signal mSender(int buttonIndex)

    function showUpdateFirmware() {
        open()
    }

    modal: true
    closePolicy: Popup.NoAutoClose
    anchors.centerIn: Overlay.overlay
    width: g_resolution.getScaleLength(420)
    height: g_resolution.getScaleLength(230)
    background: Rectangle { radius: g_resolution.getScaleLength(8); color: "#FFFFFF" }

    Connections {
        target: g_deviceCtl
        function onNeedUpdateFirmware() {
            root.showUpdateFirmware()
        }
    }

    Column {
        anchors.fill: parent
        anchors.margins: g_resolution.getScaleLength(20)
        spacing: g_resolution.getScaleLength(16)
        HText { mTextName: qsTr("Firmware Update"); mFontBold: true; mFontSize: 16 }
        Text {
            width: parent.width
            wrapMode: Text.WordWrap
            text: qsTr("Your firmware version is too old, please perform a firmware upgrade. Do not turn off the drive or plug in the mouse during the upgrade process!!!")
            color: "#303344"
            font.pixelSize: g_resolution.getScaleLength(13)
        }
        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: g_resolution.getScaleLength(16)
            HButton {
                objectName: "ok"
                width: g_resolution.getScaleLength(110)
                height: g_resolution.getScaleLength(32)
                mTextName: qsTr("OK")
                onClicked: {
                    root.close()
                    root.mSender(19)
                }
            }
            HButton {
                objectName: "later"
                width: g_resolution.getScaleLength(110)
                height: g_resolution.getScaleLength(32)
                mNormal: "#DEE9F1"
                mTextColor: "#303344"
                mTextName: qsTr("Later")
                onClicked: root.close()
            }
        }
    }
}
