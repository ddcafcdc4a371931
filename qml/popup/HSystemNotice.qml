import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/control"

// The firmware update cannot run on this system; opened by the device controller.
Popup {
    id: root

    function showSystemNotice() {
        open()
    }

    modal: true
    closePolicy: Popup.NoAutoClose
    anchors.centerIn: Overlay.overlay
    width: g_resolution.getScaleLength(380)
    height: g_resolution.getScaleLength(200)
    background: Rectangle { radius: g_resolution.getScaleLength(8); color: "#FFFFFF" }

    Connections {
        target: g_deviceCtl
        function onSig_showSystemNotice() {
            root.showSystemNotice()
        }
    }

    Column {
        anchors.fill: parent
        anchors.margins: g_resolution.getScaleLength(16)
        spacing: g_resolution.getScaleLength(16)
        HText { mTextName: qsTr("Tips"); mFontBold: true; mFontSize: 16 }
        Image {
            width: g_resolution.getScaleLength(24)
            height: width
            source: g_appModel.language === "zh" ? "qrc:/common/newUI/system_notice.png"
                                                 : "qrc:/common/newUI/system_notice_en.png"
        }
        Text {
            width: parent.width
            wrapMode: Text.WordWrap
            text: qsTr("Please upgrade firmware under Windows 8 or above operating system")
            color: "#303344"
            font.pixelSize: g_resolution.getScaleLength(13)
        }
        HButton {
            objectName: "ok"
            anchors.horizontalCenter: parent.horizontalCenter
            width: g_resolution.getScaleLength(100)
            height: g_resolution.getScaleLength(32)
            mTextName: qsTr("OK")
            onClicked: root.close()
        }
    }
}
