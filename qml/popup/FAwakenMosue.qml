import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/control"

// The mouse does not answer: the user is asked to wake it. "I have awakened" lets the warning object test the
// device again; the failure link opens popup 20, the advice to pair again. A device that could not be opened
// shows the warning object's text instead (which device, the system's reason, what to do) and an "OK".
Popup {
    id: root

    readonly property string mOpenFailure: h_warningdialog.openFailure

    signal mSender(int buttonIndex)

    function showWarning() {
        open()
    }
    function hideWarning() {
        close()
    }
    onClosed: h_warningdialog.clearOpenFailure()

    modal: true
    closePolicy: Popup.NoAutoClose
    anchors.centerIn: Overlay.overlay
    width: g_resolution.getScaleLength(420)
    height: g_resolution.getScaleLength(300)
    background: Rectangle { radius: g_resolution.getScaleLength(8); color: "#FFFFFF" }

    Column {
        anchors.fill: parent
        anchors.margins: g_resolution.getScaleLength(16)
        spacing: g_resolution.getScaleLength(12)
        HText {
            mTextName: root.mOpenFailure !== "" ? qsTr("The device could not be opened") : qsTr("Wake up the mouse")
            mFontBold: true
            mFontSize: 16
        }
        Image {
            visible: root.mOpenFailure === ""
            anchors.horizontalCenter: parent.horizontalCenter
            width: g_resolution.getScaleLength(120)
            height: g_resolution.getScaleLength(90)
            source: g_appModel.language === "zh" ? "qrc:/common/newUI/awaken_mouse.png"
                                                 : "qrc:/common/newUI/awaken_mouse_en.png"
        }
        Text {
            width: parent.width
            wrapMode: Text.WordWrap
            objectName: "warningText"
            text: root.mOpenFailure !== "" ? root.mOpenFailure
                                          : qsTr("Your current mouse may be in hibernation, please click on your mouse to wake it up")
            color: "#303344"
            font.pixelSize: g_resolution.getScaleLength(13)
        }
        HButton {
            objectName: "openFailureOk"
            visible: root.mOpenFailure !== ""
            anchors.horizontalCenter: parent.horizontalCenter
            width: g_resolution.getScaleLength(140)
            height: g_resolution.getScaleLength(32)
            mTextName: qsTr("OK")
            onClicked: root.close()
        }
        HButton {
            objectName: "awakened"
            visible: root.mOpenFailure === ""
            anchors.horizontalCenter: parent.horizontalCenter
            width: g_resolution.getScaleLength(140)
            height: g_resolution.getScaleLength(32)
            mTextName: qsTr("I have awakened")
            onClicked: h_warningdialog.getMouseType()
        }
        HButton {
            objectName: "awakenFailed"
            visible: root.mOpenFailure === ""
            anchors.horizontalCenter: parent.horizontalCenter
            width: g_resolution.getScaleLength(220)
            height: g_resolution.getScaleLength(24)
            mNormal: "transparent"
            mTextColor: "#6195C2"
            mUnderline: true
            mTextName: qsTr("Wake up failed, see solution")
            onClicked: root.mSender(20)
        }
    }
}
