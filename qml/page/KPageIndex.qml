import QtQuick 2.12
import "qrc:/panel"

// Earlier start page: the mouse picture, whose buttons open the key-setting dialog, beside the mouse's
// settings (DPI, parameters, OLED). mDialogVisable tells the window that the dialog is open.
Item {
    id: root

    property string mConfigPath: ""

    signal mDialogVisable(bool state)

    function closeDialog() {
        if (mSettingDialog.visible)
            mSettingDialog.close()
    }

    onVisibleChanged: {
        if (!visible)
            closeDialog()
    }

    KMsDevicePanel {
        id: mDevicePanel
        objectName: "msDevicePanel"
        x: g_resolution.getScaleLength(40)
        anchors.verticalCenter: parent.verticalCenter
        onClickedBtn: mSettingDialog.showDialog(key)
    }
    KMsInfoPanel {
        objectName: "msInfoPanel"
        anchors.left: mDevicePanel.right
        anchors.leftMargin: g_resolution.getScaleLength(60)
        y: g_resolution.getScaleLength(20)
    }
    KKeySettingDialog {
        id: mSettingDialog
        objectName: "keySettingDialog"
        mConfigPath: root.mConfigPath
        onMDialogVisable: root.mDialogVisable(state)
        onClosed: mDevicePanel.mCurrentKey = -1
    }
}
