import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/control"

// Shown over the earlier window while no mouse is found: the wait, "Exit program" (mSender(0)) and
// "Firmware restoration" (mSender(1)).
Rectangle {
    id: root

    signal mSender(int flags)

    color: "#24262B"

    Column {
        anchors.centerIn: parent
        width: parent.width * 0.6
        spacing: g_resolution.getScaleLength(16)
        HText {
            anchors.horizontalCenter: parent.horizontalCenter
            mTextName: qsTr("Equipment testing")
            mTextColor: "#FFFFFF"
            mFontBold: true
            mFontSize: 18
        }
        Text {
            width: parent.width
            wrapMode: Text.WordWrap
            horizontalAlignment: Text.AlignHCenter
            text: qsTr("Your mouse has not been detected and is being detected... If there is no response for a long time, please plug and unplug the mouse again")
            color: "#DEE9F1"
            font.pixelSize: g_resolution.getScaleLength(13)
        }
        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: g_resolution.getScaleLength(16)
            HButton {
                objectName: "exitProgram"
                width: g_resolution.getScaleLength(140)
                height: g_resolution.getScaleLength(32)
                mTextName: qsTr("Exit program")
                onClicked: root.mSender(0)
            }
            HButton {
                objectName: "firmwareRestoration"
                width: g_resolution.getScaleLength(140)
                height: g_resolution.getScaleLength(32)
                mTextName: qsTr("Firmware restoration")
                onClicked: root.mSender(1)
            }
        }
    }
}
