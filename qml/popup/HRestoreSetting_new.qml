import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"

// Confirms restoring the factory settings: the current profile of the device (made first when it is missing)
// is reset to the model's factory profile, which goes onto the device.
Popup {
    id: root

    property string mDefaultPath: g_common.getMSConfigFolderPath() + "/" + g_image.deviceName
    property string mConfigPath: mDefaultPath + "/" + g_appModel.configPath
    property string mMouseType: ""

    signal mSender(int buttonIndex)

    function mouseType() {
        mMouseType = g_deviceCtl.mouse
        return mMouseType
    }

    function restore() {
        close()
        mouseType()
        if (!g_configFileController.isConfigFile(mConfigPath))
            g_configFileController.createConfig(mDefaultPath, g_appModel.configPath.replace(/\.json$/i, ""))
        g_configFileController.setDefaultConfig()
    }

    parent: Overlay.overlay
    x: parent ? Math.round((parent.width - width) / 2) : 0
    y: parent ? Math.round((parent.height - height) / 2) : 0
    z: 2
    width: g_resolution.getScaleLength(460)
    height: g_resolution.getScaleLength(220)
    padding: g_resolution.getScaleLength(24)
    closePolicy: Popup.CloseOnEscape

    background: Rectangle {
        color: "#FFFFFF"
        radius: g_resolution.getScaleLength(8)
        border.color: "#BAC2CA"
    }

    contentItem: Item {
        Text {
            id: mTitle
            text: qsTr("Restore factory settings")
            color: "#303344"
            font.pixelSize: g_resolution.getScaleLength(18)
            font.bold: true
        }
        Text {
            anchors.top: mTitle.bottom
            anchors.topMargin: g_resolution.getScaleLength(20)
            width: parent.width
            wrapMode: Text.WordWrap
            text: qsTr("Restoring factory settings will clear the current settings. Are you sure you want to restore factory settings?")
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
                mText: qsTr("Cancel")
                mColor: "#303344"
                mBgColor: "#EEF2F6"
                mBgColorHovered: "#DEE9F1"
                mRadius: 4
                onClicked: root.close()
            }
            KTxtBtn {
                objectName: "ok"
                width: g_resolution.getScaleLength(100)
                height: g_resolution.getScaleLength(34)
                mText: qsTr("OK")
                mColor: "#FFFFFF"
                mBgColor: "#6195C2"
                mBgColorHovered: "#4A7BA6"
                mRadius: 4
                onClicked: root.restore()
            }
        }
    }
}
