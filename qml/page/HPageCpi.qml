import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"
import "qrc:/control"
import "qrc:/panel"
import "qrc:/widgets"

// DPI page of the mouse: the DPI stages, the mouse picture whose buttons open the key-setting dialog, and the
// floating tip that tells a new DPI. While the page shows, the buttons may also take the DPI functions of the
// mouse; mDialogVisable tells the window that the dialog is open.
Item {
    id: root

    signal mDialogVisable(bool state)

    function closeDialog() {
        if (mSettingDialog.visible)
            mSettingDialog.close()
    }

    onVisibleChanged: {
        if (visible) {
            g_keyModel.addFunc(-1, true)
        } else {
            closeDialog()
            g_keyModel.deleteFunc(-1, true)
        }
    }

    Connections {
        target: h_suspension
        function onSigShowSetCpiTips(value) {
            mCpiTipText.text = qsTr("Set dpi to") + " " + value
            mCpiTip.mOpacity = 1
            mCpiTipTimer.restart()
        }
        function onSigCloseTips() {
            mCpiTip.mOpacity = 0
        }
    }
    Connections {
        target: g_deviceCtl
        function onOnlineChanged() {
            if (!g_deviceCtl.online)
                root.closeDialog()
        }
    }

    Row {
        id: mHeader
        x: g_resolution.getScaleLength(30)
        y: g_resolution.getScaleLength(20)
        spacing: g_resolution.getScaleLength(8)
        Image {
            anchors.verticalCenter: parent.verticalCenter
            width: g_resolution.getScaleLength(20)
            height: width
            source: "qrc:/common/newUI/cpi_title.png"
        }
        HText {
            anchors.verticalCenter: parent.verticalCenter
            mTextName: qsTr("DPI setting")
            mFontBold: true
            mFontSize: 16
        }
        Image {
            anchors.verticalCenter: parent.verticalCenter
            width: g_resolution.getScaleLength(60)
            height: g_resolution.getScaleLength(4)
            source: "qrc:/common/newUI/cpi_label.png"
        }
    }

    HCPIList {
        id: mCpiList
        objectName: "cpiList"
        anchors.left: parent.left
        anchors.leftMargin: g_resolution.getScaleLength(30)
        anchors.top: mHeader.bottom
        anchors.topMargin: g_resolution.getScaleLength(20)
        width: g_resolution.getScaleLength(560)
        height: g_resolution.getScaleLength(7 * 50)
    }

    KMsDevicePanel_new {
        id: mMsDevPanel
        objectName: "msDevicePanel"
        anchors.right: parent.right
        anchors.rightMargin: g_resolution.getScaleLength(20)
        anchors.verticalCenter: parent.verticalCenter
        scale: width > 0 ? Math.min(1, (root.width - mCpiList.width - g_resolution.getScaleLength(60)) / width) : 1
        transformOrigin: Item.Right
        onClickedBtn: mSettingDialog.showDialog(key)
    }

    HCpiSuspension {
        id: mCpiTip
        objectName: "cpiTip"
        anchors.horizontalCenter: parent.horizontalCenter
        y: g_resolution.getScaleLength(10)
        width: mCpiTipText.implicitWidth + g_resolution.getScaleLength(30)
        height: g_resolution.getScaleLength(32)
        Text {
            id: mCpiTipText
            objectName: "cpiTipText"
            anchors.centerIn: parent
            color: "#FFFFFF"
            font.pixelSize: g_resolution.getScaleLength(13)
        }
        Timer {
            id: mCpiTipTimer
            interval: 1500
            onTriggered: mCpiTip.mOpacity = 0
        }
    }

    KKeySettingDialog_new {
        id: mSettingDialog
        objectName: "mouseKeySettingDialog"
        onOpened: root.mDialogVisable(true)
        onClosed: {
            mMsDevPanel.selectKey(-1)
            root.mDialogVisable(false)
        }
    }
}
