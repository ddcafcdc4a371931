import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"

// The connected device's settings match no stored profile (the profile controller found a difference): keep
// the device's settings in the current profile ("Retain"), or put the profile on the device ("Not Retained").
// The window opens the dialog with its mask when asked through mSender.
Popup {
    id: root

    property string mConfigPath: ""

    signal mSender()

    function currentProfile() {
        return g_common.getMSConfigFolderPath() + "/" + g_image.deviceName + "/" + g_appModel.configPath
    }

    function showSelectMouseConfig() {
        mConfigPath = currentProfile()
        mSender()
    }

    function retain() {
        close()
        g_configFileController.saveMouseData(mConfigPath)
    }

    function notRetained() {
        close()
        g_configFileController.readConfigData(mConfigPath)
    }

    Connections {
        target: g_configFileController
        function onSendSignalToUser() { root.showSelectMouseConfig() }
    }

    parent: Overlay.overlay
    x: parent ? Math.round((parent.width - width) / 2) : 0
    y: parent ? Math.round((parent.height - height) / 2) : 0
    z: 2
    width: g_resolution.getScaleLength(480)
    height: g_resolution.getScaleLength(240)
    padding: g_resolution.getScaleLength(24)
    // An answer is needed: the device and the profile disagree until one is chosen.
    closePolicy: Popup.NoAutoClose

    background: Rectangle {
        color: "#FFFFFF"
        radius: g_resolution.getScaleLength(8)
        border.color: "#BAC2CA"
    }

    contentItem: Item {
        Text {
            id: mTitle
            width: parent.width
            wrapMode: Text.WordWrap
            text: qsTr("Device configuration is inconsistent with current configuration data")
            color: "#303344"
            font.pixelSize: g_resolution.getScaleLength(17)
            font.bold: true
        }
        Text {
            anchors.top: mTitle.bottom
            anchors.topMargin: g_resolution.getScaleLength(16)
            width: parent.width
            wrapMode: Text.WordWrap
            text: qsTr("The current configuration of your device is inconsistent with all the configurations in the driver. Do you want to keep the current configuration in the device")
            color: "#5B6270"
            font.pixelSize: g_resolution.getScaleLength(14)
        }
        Row {
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            spacing: g_resolution.getScaleLength(12)
            KTxtBtn {
                objectName: "notRetained"
                width: g_resolution.getScaleLength(110)
                height: g_resolution.getScaleLength(34)
                mText: qsTr("Not Retained")
                mColor: "#303344"
                mBgColor: "#EEF2F6"
                mBgColorHovered: "#DEE9F1"
                mRadius: 4
                onClicked: root.notRetained()
            }
            KTxtBtn {
                objectName: "retain"
                width: g_resolution.getScaleLength(110)
                height: g_resolution.getScaleLength(34)
                mText: qsTr("Retain")
                mColor: "#FFFFFF"
                mBgColor: "#6195C2"
                mBgColorHovered: "#4A7BA6"
                mRadius: 4
                onClicked: root.retain()
            }
        }
    }
}
