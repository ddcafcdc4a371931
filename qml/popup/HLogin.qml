import QtQuick 2.12
import QtQuick.Controls 2.12
import k.tools 1.0
import "qrc:/control"
import "qrc:/common"

// Log-in of the earlier window: mailbox and password. The fields are checked before anything is sent; the
// request stores the session itself, the dialog shows the tip and tells the window (sigLoginSuccessful).
// "Forgot your password?" and "Register" ask the window for popups 3 and 2.
Popup {
    id: root

    // Letters or digits first; dots and sub-domains are real addresses and pass.
    property var mReg: /^[A-Za-z0-9][\w.+-]*@[A-Za-z0-9-]+(\.[A-Za-z0-9-]+)*\.[A-Za-z]{2,4}$/
    property bool mBusy: false

    signal sigLoginSuccessful()
    signal mSender(int buttonIndex)

    // The first broken input rule, or "" when the form may be sent.
    function inputError() {
        if (mEmail.text === "" || mPassword.text === "")
            return qsTr("The input field cannot be empty")
        if (!mReg.test(mEmail.text))
            return qsTr("The mailbox format is incorrect, please re-enter")
        if (mPassword.text.length < 6)
            return qsTr("The password you entered is too short. The password must be at least 6 digits long")
        return ""
    }

    function login() {
        if (mBusy)
            return
        mError.text = inputError()
        if (mError.text !== "")
            return
        mBusy = true
        mLogin.login(mEmail.text, mPassword.text)
    }

    modal: true
    closePolicy: mBusy ? Popup.NoAutoClose : Popup.CloseOnEscape
    anchors.centerIn: Overlay.overlay
    width: g_resolution.getScaleLength(400)
    height: g_resolution.getScaleLength(340)
    background: Rectangle { radius: g_resolution.getScaleLength(8); color: "#FFFFFF" }

    onOpened: {
        mPassword.text = ""
        mError.text = ""
    }

    KNetLogin {
        id: mLogin
        onSigRequestFinished: function(code, msg) {
            root.mBusy = false
            if (code === 0) {
                h_analytics.sendEvent("driver_cloud", "login", "success")
                h_suspension.showTips(0, qsTr("Login succeeded"))
                root.close()
                root.sigLoginSuccessful()
            } else {
                h_analytics.sendEvent("driver_cloud", "login", "fail")
                mError.text = msg
            }
        }
    }

    Column {
        anchors.fill: parent
        anchors.margins: g_resolution.getScaleLength(20)
        spacing: g_resolution.getScaleLength(12)
        HText { mTextName: qsTr("Log in"); mFontBold: true; mFontSize: 18 }
        HText { mTextName: qsTr("Mailbox") }
        HTextField {
            id: mEmail
            objectName: "email"
            width: parent.width
            height: g_resolution.getScaleLength(34)
            validator: RegExpValidator { regExp: /[^\s]+/ }
            onAccepted: mPassword.forceActiveFocus()
        }
        HText { mTextName: qsTr("Password") }
        HTextField {
            id: mPassword
            objectName: "password"
            width: parent.width
            height: g_resolution.getScaleLength(34)
            echoMode: TextInput.Password
            validator: RegExpValidator { regExp: /[^\s]+/ }
            onAccepted: root.login()
        }
        Text {
            id: mError
            objectName: "error"
            width: parent.width
            wrapMode: Text.WordWrap
            color: "#E05A5A"
            font.pixelSize: g_resolution.getScaleLength(12)
        }
        Row {
            spacing: g_resolution.getScaleLength(12)
            KTxtBtn {
                objectName: "forgot"
                mText: qsTr("Forgot your password?")
                mColor: "#6195C2"
                mFontUnderLine: true
                onClicked: {
                    root.close()
                    root.mSender(3)
                }
            }
            KTxtBtn {
                objectName: "register"
                mText: qsTr("Register")
                mColor: "#6195C2"
                mFontUnderLine: true
                onClicked: {
                    root.close()
                    root.mSender(2)
                }
            }
        }
        HButton {
            objectName: "login"
            anchors.horizontalCenter: parent.horizontalCenter
            width: g_resolution.getScaleLength(140)
            height: g_resolution.getScaleLength(34)
            enabled: !root.mBusy
            mTextName: qsTr("Log in")
            onClicked: root.login()
        }
    }
}
