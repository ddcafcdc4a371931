import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/control"

// The device's settings match no stored profile (the profile controller says so after comparing). "Retain"
// keeps the device's settings by storing them in the current profile; "Not Retained" writes the current
// profile to the device. The controller reports either outcome.
Popup {
    id: root

    property string mConfigPath: ""

    signal mSender()

    function currentProfile() {
        return g_common.getMSConfigFolderPath() + "/" + g_image.deviceName + "/" + g_appModel.configPath
    }

    function showSelectMouseConfig() {
        mConfigPath = currentProfile()
        open()
    }

    modal: true
    closePolicy: Popup.NoAutoClose
    anchors.centerIn: Overlay.overlay
    width: g_resolution.getScaleLength(460)
    height: g_resolution.getScaleLength(240)
    background: Rectangle { radius: g_resolution.getScaleLength(8); color: "#FFFFFF" }

    Connections {
        target: g_configFileController
        function onSendSignalToUser() {
            root.showSelectMouseConfig()
            root.mSender()
        }
    }

    Column {
        anchors.fill: parent
        anchors.margins: g_resolution.getScaleLength(20)
        spacing: g_resolution.getScaleLength(16)
        Text {
            width: parent.width
            wrapMode: Text.WordWrap
            text: qsTr("Mouse configuration is inconsistent with current configuration data")
            color: "#303344"
            font.bold: true
            font.pixelSize: g_resolution.getScaleLength(16)
        }
        Text {
            width: parent.width
            wrapMode: Text.WordWrap
            text: qsTr("The current configuration of your mouse is inconsistent with all the configurations in the driver. Do you want to keep the current configuration in the mouse")
            color: "#303344"
            font.pixelSize: g_resolution.getScaleLength(13)
        }
        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: g_resolution.getScaleLength(16)
            HButton {
                objectName: "retain"
                width: g_resolution.getScaleLength(120)
                height: g_resolution.getScaleLength(32)
                mTextName: qsTr("Retain")
                onClicked: {
                    root.close()
                    g_configFileController.saveMouseData(root.mConfigPath)
                }
            }
            HButton {
                objectName: "notRetained"
                width: g_resolution.getScaleLength(120)
                height: g_resolution.getScaleLength(32)
                mNormal: "#DEE9F1"
                mTextColor: "#303344"
                mTextName: qsTr("Not Retained")
                onClicked: {
                    root.close()
                    g_configFileController.readConfigData(root.mConfigPath)
                }
            }
        }
    }
}
