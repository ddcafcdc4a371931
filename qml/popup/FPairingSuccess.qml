import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/control"

// The receiver and the mouse are paired. "OK" closes and lets the window read the device again, with the
// device controller's flag.
Popup {
    id: root

    property int mFlag: g_deviceCtl.flag

    signal mSender(int flag)

    modal: true
    closePolicy: Popup.NoAutoClose
    anchors.centerIn: Overlay.overlay
    width: g_resolution.getScaleLength(380)
    height: g_resolution.getScaleLength(200)
    background: Rectangle { radius: g_resolution.getScaleLength(8); color: "#FFFFFF" }

    Column {
        anchors.fill: parent
        anchors.margins: g_resolution.getScaleLength(20)
        spacing: g_resolution.getScaleLength(16)
        HText { mTextName: qsTr("Successful to pair code"); mFontBold: true; mFontSize: 16 }
        Text {
            width: parent.width
            wrapMode: Text.WordWrap
            text: qsTr("You have successfully paired the code and can use the mouse normally")
            color: "#303344"
            font.pixelSize: g_resolution.getScaleLength(13)
        }
        HButton {
            objectName: "ok"
            anchors.horizontalCenter: parent.horizontalCenter
            width: g_resolution.getScaleLength(100)
            height: g_resolution.getScaleLength(32)
            mTextName: qsTr("OK")
            onClicked: {
                root.close()
                root.mSender(root.mFlag)
            }
        }
    }
}
