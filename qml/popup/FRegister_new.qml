import QtQuick 2.12
import QtQuick.Controls 2.12
import k.tools 1.0
import "qrc:/common"
import "qrc:/control"
import "qrc:/common/accountRules.js" as Rules

// Registration form: nickname, mailbox and the password twice. The input rules are checked before anything is
// sent; a success opens the window's notice (popup 7), a refusal is shown in the form.
Popup {
    id: root

    property var mReg: /[^\s]+/
    property int mCounter: 0

    signal mClosing()
    signal mSender(int buttonIndex)

    function inputMessage() {
        return Rules.first([Rules.emptyMessage([mNickname.text, mEmail.text, mPassword.text, mRepeat.text]),
                            Rules.emailMessage(mEmail.text),
                            Rules.passwordMessage(mPassword.text),
                            Rules.repeatMessage(mPassword.text, mRepeat.text)])
    }

    function register() {
        var message = inputMessage()
        mMessage.text = message
        if (message !== "")
            return
        h_loaddialog.startLoading(15000)
        mRegister.registerUser(mNickname.text, mEmail.text, mPassword.text, mRepeat.text)
    }

    function finished(code, msg) {
        h_loaddialog.stopLoading()
        if (code === 0) {
            h_analytics.sendEvent("driver_cloud", "register", "success")
            mPassword.text = ""
            mRepeat.text = ""
            mSender(7)
        } else {
            h_analytics.sendEvent("driver_cloud", "register", "fail")
            mMessage.text = qsTr(msg)
        }
    }

    onOpened: {
        mMessage.text = ""
        mNickname.forceActiveFocus()
    }
    onClosed: mClosing()

    KNetRegister {
        id: mRegister
        onSigRequestFinished: root.finished(code, msg)
    }

    parent: Overlay.overlay
    x: parent ? Math.round((parent.width - width) / 2) : 0
    y: parent ? Math.round((parent.height - height) / 2) : 0
    z: 2
    width: g_resolution.getScaleLength(420)
    height: g_resolution.getScaleLength(520)
    padding: g_resolution.getScaleLength(30)
    closePolicy: Popup.CloseOnEscape

    background: Rectangle {
        color: "#FFFFFF"
        radius: g_resolution.getScaleLength(8)
        border.color: "#BAC2CA"
    }

    contentItem: Column {
        spacing: g_resolution.getScaleLength(14)

        HText {
            mTextName: qsTr("Register")
            mFontSize: 20
            mFontBold: true
        }
        HText {
            mTextName: qsTr("Welcome to Veldt driver!")
            mTextColor: "#5B6270"
        }
        HTextField {
            id: mNickname
            objectName: "nickname"
            width: parent.width
            height: g_resolution.getScaleLength(36)
            placeholderText: qsTr("User name")
            validator: RegExpValidator { regExp: /[^\s]+/ }
        }
        HTextField {
            id: mEmail
            objectName: "email"
            width: parent.width
            height: g_resolution.getScaleLength(36)
            placeholderText: qsTr("Mailbox")
            validator: RegExpValidator { regExp: /[^\s]+/ }
        }
        HTextField {
            id: mPassword
            objectName: "password"
            width: parent.width
            height: g_resolution.getScaleLength(36)
            placeholderText: qsTr("Password")
            echoMode: TextInput.Password
            validator: RegExpValidator { regExp: /[^\s]+/ }
        }
        HTextField {
            id: mRepeat
            objectName: "repeat"
            width: parent.width
            height: g_resolution.getScaleLength(36)
            placeholderText: qsTr("Please Enter the password again")
            echoMode: TextInput.Password
            validator: RegExpValidator { regExp: /[^\s]+/ }
            onAccepted: root.register()
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
            objectName: "registerButton"
            width: parent.width
            height: g_resolution.getScaleLength(38)
            mTextName: qsTr("Register")
            mColor: "#6195C2"
            onClicked: root.register()
        }
        Item {
            width: parent.width
            height: g_resolution.getScaleLength(24)
            FTextUnderlineBtn {
                objectName: "goLogin"
                anchors.left: parent.left
                mText: qsTr("Already have an account, log in")
                mFontSize: 12
                onClicked: root.mSender(1)
            }
            KTxtBtn {
                objectName: "cancel"
                anchors.right: parent.right
                width: g_resolution.getScaleLength(80)
                height: parent.height
                mText: qsTr("Cancel")
                mColor: "#303344"
                mBgColor: "#EEF2F6"
                mBgColorHovered: "#DEE9F1"
                mRadius: 4
                onClicked: root.close()
            }
        }
    }
}
