import QtQuick 2.12
import "qrc:/common"
import "qrc:/control"
import "qrc:/panel"

// Key page of the keyboard: the keyboard picture with a button per key over the key-press preview of the
// model; a click on a key opens the key-setting dialog, and mDialogVisable tells the window that it is open.
Item {
    id: root

    property string mConfigPath: ""

    signal mDialogVisable(bool state)

    function closeDialog() {
        if (mSettingDialog.visible)
            mSettingDialog.close()
    }

    // The preview of the current model; rebuilt when a device comes online and when its layout changes.
    function matchKeyboard() {
        mKeyLightEffect.matchingModel(g_image.deviceName)
    }

    Connections {
        target: g_image
        function onDeviceNameChanged() { root.matchKeyboard() }
    }
    Connections {
        target: g_deviceCtl
        function onOnlineChanged() {
            if (g_deviceCtl.online)
                root.matchKeyboard()
            else
                root.closeDialog()
        }
    }
    Component.onCompleted: matchKeyboard()
    onVisibleChanged: {
        if (!visible)
            closeDialog()
    }

    // A picture wider than the page (the full-size keyboard) is shown smaller.
    Item {
        id: mPictureArea
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.verticalCenter: parent.verticalCenter
        anchors.verticalCenterOffset: g_resolution.getScaleLength(30)
        width: mKbDevPanel.width
        height: mKbDevPanel.height
        scale: width > 0 ? Math.min(1, (root.width - g_resolution.getScaleLength(40)) / width) : 1

        HKeyLightEffect {
            id: mKeyLightEffect
            objectName: "keyLightEffect"
            anchors.fill: parent
        }
        FKbDevicePanel {
            id: mKbDevPanel
            objectName: "kbDevicePanel"
            onClickedBtn: mSettingDialog.showDialog(key)
        }
    }

    KKeySettingDialog_new {
        id: mSettingDialog
        objectName: "keySettingDialog"
        mConfigPath: root.mConfigPath
        onOpened: root.mDialogVisable(true)
        onClosed: {
            mKbDevPanel.selectKey(-1)
            root.mDialogVisable(false)
        }
    }
}
