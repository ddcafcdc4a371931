import QtQuick 2.12
import QtQuick.Controls 2.12
import k.tools 1.0
import "qrc:/common"
import "qrc:/control"
import "qrc:/common/accountRules.js" as Rules

// Log-in form: user name or e-mail and password. The input rules are checked before anything is sent; the
// server's answer is shown in the form, a success also as a tip. The forgotten-password page and the register
// form are the window's (mRectangle, mSender).
Popup {
    id: root

    property var mReg: /[^\s]+/
    property int mCounter: 0

    signal sigLoginSuccessful()
    signal mClosing()
    signal mSender(int buttonIndex)
    signal mlogined(int loginflag)
    signal mRectangle(int index)

    // The first rule the entries break, or "".
    function inputMessage() {
        var account = mAccount.text
        var password = mPassword.text
        return Rules.first([Rules.emptyMessage([account, password]),
                            account.indexOf("@") >= 0 ? Rules.emailMessage(account) : "",
                            Rules.passwordMessage(password)])
    }

    function login() {
        var message = inputMessage()
        mMessage.text = message
        if (message !== "")
            return
        h_loaddialog.startLoading(15000)
        mLogin.login(mAccount.text, mPassword.text)
    }

    function finished(code, msg) {
        h_loaddialog.stopLoading()
        if (code === 0) {
            h_analytics.sendEvent("driver_cloud", "login", "success")
            h_suspension.showTips(0, qsTr("Login succeeded"))
            mPassword.text = ""
            close()
            mlogined(1)
            sigLoginSuccessful()
        } else {
            h_analytics.sendEvent("driver_cloud", "login", "fail")
            mMessage.text = qsTr(msg)
            mlogined(0)
        }
    }

    onOpened: {
        mMessage.text = ""
        mAccount.text = g_appModel.username
        mAccount.forceActiveFocus()
    }
    onClosed: mClosing()

    KNetLogin {
        id: mLogin
        onSigRequestFinished: root.finished(code, msg)
    }

    parent: Overlay.overlay
    x: parent ? Math.round((parent.width - width) / 2) : 0
    y: parent ? Math.round((parent.height - height) / 2) : 0
    z: 2
    width: g_resolution.getScaleLength(420)
    height: g_resolution.getScaleLength(430)
    padding: g_resolution.getScaleLength(30)
    modal: false
    closePolicy: Popup.CloseOnEscape

    background: Rectangle {
        color: "#FFFFFF"
        radius: g_resolution.getScaleLength(8)
        border.color: "#BAC2CA"
    }

    contentItem: Column {
        spacing: g_resolution.getScaleLength(14)

        HText {
            mTextName: qsTr("Log in")
            mFontSize: 20
            mFontBold: true
        }
        HText {
            mTextName: qsTr("Welcome to Veldt driver!")
            mTextColor: "#5B6270"
        }
        HTextField {
            id: mAccount
            objectName: "account"
            width: parent.width
            height: g_resolution.getScaleLength(36)
            placeholderText: qsTr("User name/Email")
            validator: RegExpValidator { regExp: /[^\s]+/ }
            onAccepted: mPassword.forceActiveFocus()
        }
        HTextField {
            id: mPassword
            objectName: "password"
            width: parent.width
            height: g_resolution.getScaleLength(36)
            placeholderText: qsTr("Please enter password")
            echoMode: TextInput.Password
            validator: RegExpValidator { regExp: /[^\s]+/ }
            onAccepted: root.login()
        }
        Text {
            id: mMessage
            objectName: "message"
            width: parent.width
            height: g_resolution.getScaleLength(34)
            wrapMode: Text.WordWrap
            color: "#D9534F"
            font.pixelSize: g_resolution.getScaleLength(12)
        }
        HButton {
            objectName: "loginButton"
            width: parent.width
            height: g_resolution.getScaleLength(38)
            mTextName: qsTr("Log in")
            mColor: "#6195C2"
            onClicked: root.login()
        }
        Item {
            width: parent.width
            height: g_resolution.getScaleLength(24)
            FTextUnderlineBtn {
                objectName: "forgetPassword"
                anchors.left: parent.left
                mText: qsTr("Forget password?")
                mFontSize: 12
                onClicked: root.mRectangle(4)
            }
            FTextUnderlineBtn {
                objectName: "goRegister"
                anchors.right: parent.right
                mText: qsTr("Don't have an account?go to register")
                mFontSize: 12
                onClicked: root.mSender(2)
            }
        }
        KTxtBtn {
            objectName: "cancel"
            anchors.horizontalCenter: parent.horizontalCenter
            width: g_resolution.getScaleLength(100)
            height: g_resolution.getScaleLength(30)
            mText: qsTr("Cancel")
            mColor: "#303344"
            mBgColor: "#EEF2F6"
            mBgColorHovered: "#DEE9F1"
            mRadius: 4
            onClicked: root.close()
        }
    }
}
