import QtQuick 2.12
import QtQuick.Controls 2.12
import k.tools 1.0
import "qrc:/control"

// Last step of the password recovery: the new password, twice, for the mailbox and the code checked before.
// Success asks the window for the notice (popup 6); a refusal stays in the dialog with the server's message.
Popup {
    id: root

    property string mEmail: ""
    property string mCaptcha: ""
    property bool mBusy: false

    signal mSender(int buttonIndex)

    function inputError() {
        if (mPassword.text === "" || mRepeat.text === "")
            return qsTr("The input field cannot be empty")
        if (mPassword.text.length < 6)
            return qsTr("The password you entered is too short. The password must be at least 6 digits long")
        if (mPassword.text !== mRepeat.text)
            return qsTr("The passwords entered twice are inconsistent")
        return ""
    }

    function finish() {
        if (mBusy)
            return
        mError.text = inputError()
        if (mError.text !== "")
            return
        mBusy = true
        mNewPwd.setNewPwd(mEmail, mCaptcha, mPassword.text)
    }

    modal: true
    closePolicy: mBusy ? Popup.NoAutoClose : Popup.CloseOnEscape
    anchors.centerIn: Overlay.overlay
    width: g_resolution.getScaleLength(400)
    height: g_resolution.getScaleLength(320)
    background: Rectangle { radius: g_resolution.getScaleLength(8); color: "#FFFFFF" }

    onOpened: {
        mPassword.text = ""
        mRepeat.text = ""
        mError.text = ""
    }

    KNetForgotNewPwd {
        id: mNewPwd
        onSigRequestFinished: function(code, msg) {
            root.mBusy = false
            if (code === 0) {
                h_analytics.sendEvent("driver_cloud", "change_password", "success")
                root.close()
                root.mSender(6)
            } else {
                h_analytics.sendEvent("driver_cloud", "change_password", "fail")
                mError.text = msg
            }
        }
    }

    Column {
        anchors.fill: parent
        anchors.margins: g_resolution.getScaleLength(20)
        spacing: g_resolution.getScaleLength(10)
        HText { mTextName: qsTr("Reset password"); mFontBold: true; mFontSize: 18 }
        HText { mTextName: qsTr("Password") }
        HTextField {
            id: mPassword
            objectName: "password"
            width: parent.width
            height: g_resolution.getScaleLength(34)
            echoMode: TextInput.Password
            validator: RegExpValidator { regExp: /[^\s]+/ }
        }
        HTextField {
            id: mRepeat
            objectName: "repeat"
            width: parent.width
            height: g_resolution.getScaleLength(34)
            mTextName: qsTr("Enter the password again")
            echoMode: TextInput.Password
            validator: RegExpValidator { regExp: /[^\s]+/ }
            onAccepted: root.finish()
        }
        Text {
            id: mError
            objectName: "error"
            width: parent.width
            wrapMode: Text.WordWrap
            color: "#E05A5A"
            font.pixelSize: g_resolution.getScaleLength(12)
        }
        HButton {
            objectName: "finish"
            anchors.horizontalCenter: parent.horizontalCenter
            width: g_resolution.getScaleLength(120)
            height: g_resolution.getScaleLength(34)
            enabled: !root.mBusy
            mTextName: qsTr("Finish")
            onClicked: root.finish()
        }
    }
}
