import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/control"

// Asks before the device goes back to its factory settings. "OK" makes sure the current profile exists (it is
// made under its own name when it went missing), then the profile controller writes the factory profile to
// the device and into that profile and tells the user the outcome. Without a device nothing is started.
Popup {
    id: root

    property string mDefaultPath: ""
    property string mConfigPath: ""
    property string mMouseType: g_deviceCtl.mouse

    signal mSender(int buttonIndex)

    // The device's profile folder and the current profile in it.
    function mouseType() {
        mDefaultPath = g_common.getMSConfigFolderPath() + "/" + g_image.deviceName
        mConfigPath = mDefaultPath + "/" + g_appModel.configPath
    }

    function restore() {
        close()
        if (g_image.deviceName === "" || !g_deviceCtl.online) {
            h_suspension.showTips(1, qsTr("Failed to restore factory settings"))
            return
        }
        mouseType()
        if (g_appModel.configPath !== "" && !g_configFileController.isConfigFile(mConfigPath))
            g_configFileController.createConfig(mDefaultPath, g_appModel.configPath.replace(/\.json$/, ""))
        // The controller's routine runs behind its own busy indicator and reports the outcome.
        g_configFileController.setDefaultConfig()
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
        HText { mTextName: qsTr("Restore factory settings"); mFontBold: true; mFontSize: 16 }
        Text {
            width: parent.width
            wrapMode: Text.WordWrap
            text: qsTr("Restoring factory settings will clear all settings. Are you sure you want to restore factory settings?")
            color: "#303344"
            font.pixelSize: g_resolution.getScaleLength(13)
        }
        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: g_resolution.getScaleLength(16)
            HButton {
                objectName: "ok"
                width: g_resolution.getScaleLength(100)
                height: g_resolution.getScaleLength(32)
                mTextName: qsTr("OK")
                onClicked: root.restore()
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
