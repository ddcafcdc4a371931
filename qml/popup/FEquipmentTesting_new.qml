import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/control"

// Shown while no device is found: the wait, "Exit program" (mSender(0)) and "Firmware restoration"
// (mSender(1)); the device controller's cable notice appears in the floating tip.
Rectangle {
    id: root

    property int count: 0

    signal mSender(int flags)

    function showTips() {
        mTip.mShowTips(2, qsTr("Please insert the USB cable to use the driver normally"))
    }

    Connections {
        target: g_deviceCtl
        function onSig_ShowNeedCable() {
            root.showTips()
        }
    }

    Column {
        anchors.centerIn: parent
        width: parent.width * 0.6
        spacing: g_resolution.getScaleLength(16)
        HText {
            anchors.horizontalCenter: parent.horizontalCenter
            mTextName: qsTr("Equipment testing")
            mFontBold: true
            mFontSize: 18
        }
        Text {
            width: parent.width
            wrapMode: Text.WordWrap
            horizontalAlignment: Text.AlignHCenter
            text: qsTr("Your device has not been detected and is being detected... If there is no response for a long time, please plug and unplug the device again")
            color: "#303344"
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

    Hsuspension_new {
        id: mTip
        objectName: "cableTip"
        anchors.horizontalCenter: parent.horizontalCenter
        y: g_resolution.getScaleLength(20)
        HText {
            anchors.verticalCenter: parent.verticalCenter
            mTextName: mTip.mText
            mTextColor: "#11131D"
        }
    }
}
