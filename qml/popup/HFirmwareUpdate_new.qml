import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/control"

// The device's firmware is too old: the update is offered. Opened when the device controller reports it;
// "To update" lets the window open the firmware dialog.
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
        anchors.margins: g_resolution.getScaleLength(16)
        spacing: g_resolution.getScaleLength(12)
        HText { mTextName: qsTr("Firmware Update"); mFontBold: true; mFontSize: 16 }
        Image {
            width: g_resolution.getScaleLength(24)
            height: width
            source: g_appModel.language === "zh" ? "qrc:/common/newUI/firmware_update.png"
                                                 : "qrc:/common/newUI/firmware_update_en.png"
        }
        Text {
            width: parent.width
            wrapMode: Text.WordWrap
            text: qsTr("Current firmware version is too low, please upgrade to the latest version of firmware")
            color: "#303344"
            font.pixelSize: g_resolution.getScaleLength(13)
        }
        Text {
            width: parent.width
            wrapMode: Text.WordWrap
            text: qsTr("Otherwise, the driver will not be able to be used normally")
            color: "#E05A5A"
            font.pixelSize: g_resolution.getScaleLength(12)
        }
        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: g_resolution.getScaleLength(16)
            HButton {
                objectName: "toUpdate"
                width: g_resolution.getScaleLength(110)
                height: g_resolution.getScaleLength(32)
                mTextName: qsTr("To update")
                onClicked: {
                    root.close()
                    root.mSender(root.mFlag)
                }
            }
            HButton {
                objectName: "cancel"
                width: g_resolution.getScaleLength(110)
                height: g_resolution.getScaleLength(32)
                mTextName: qsTr("Cancel")
                onClicked: root.close()
            }
        }
    }
}
