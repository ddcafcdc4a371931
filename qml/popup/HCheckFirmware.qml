import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/control"

// The firmware is up to date: a notice with "OK".
Popup {
    id: root

    modal: true
    closePolicy: Popup.CloseOnEscape
    anchors.centerIn: Overlay.overlay
    width: g_resolution.getScaleLength(360)
    height: g_resolution.getScaleLength(180)
    background: Rectangle { radius: g_resolution.getScaleLength(8); color: "#FFFFFF" }

    Column {
        anchors.fill: parent
        anchors.margins: g_resolution.getScaleLength(20)
        spacing: g_resolution.getScaleLength(18)
        HText { mTextName: qsTr("Firmware version"); mFontBold: true; mFontSize: 16 }
        HText { mTextName: qsTr("Your firmware is the latest version") }
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
