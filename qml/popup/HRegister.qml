import QtQuick 2.12
import QtQuick.Controls 2.12
import k.tools 1.0
import "qrc:/control"
import "qrc:/common"

// Registration of the earlier window: a name of at most seven bytes, the mailbox and the password twice.
// The fields are checked before anything is sent; success asks the window for the notice (popup 7), a refusal
// stays in the dialog with the server's message. "Log in" asks for popup 1.
Popup {
    id: root

    property var mReg: /^[A-Za-z0-9][\w.+-]*@[A-Za-z0-9-]+(\.[A-Za-z0-9-]+)*\.[A-Za-z]{2,4}$/
    property int mMaxNameBytes: 7
    property bool mBusy: false

    signal mSender(int buttonIndex)

    function utf8Length(text) {
        return unescape(encodeURIComponent(text)).length
    }

    // The first broken input rule, or "" when the form may be sent.
    function inputError() {
        if (mName.text === "" || mEmail.text === "" || mPassword.text === "" || mRepeat.text === "")
            return qsTr("The input field cannot be empty")
        if (utf8Length(mName.text) > mMaxNameBytes)
            return qsTr("Name (maximum length 7 bytes)")
        if (!mReg.test(mEmail.text))
            return qsTr("The mailbox format is incorrect, please re-enter")
        if (mPassword.text.length < 6)
            return qsTr("The password you entered is too short. The password must be at least 6 digits long")
        if (mPassword.text !== mRepeat.text)
            return qsTr("The passwords entered twice are inconsistent")
        return ""
    }

    function registerUser() {
        if (mBusy)
            return
        mError.text = inputError()
        if (mError.text !== "")
            return
        mBusy = true
        mRegister.registerUser(mName.text, mEmail.text, mPassword.text, mRepeat.text)
    }

    modal: true
    closePolicy: mBusy ? Popup.NoAutoClose : Popup.CloseOnEscape
    anchors.centerIn: Overlay.overlay
    width: g_resolution.getScaleLength(400)
    height: g_resolution.getScaleLength(450)
    background: Rectangle { radius: g_resolution.getScaleLength(8); color: "#FFFFFF" }

    onOpened: {
        mPassword.text = ""
        mRepeat.text = ""
        mError.text = ""
    }

    KNetRegister {
        id: mRegister
        onSigRequestFinished: function(code, msg) {
            root.mBusy = false
            if (code === 0) {
                h_analytics.sendEvent("driver_cloud", "register", "success")
                root.close()
                root.mSender(7)
            } else {
                h_analytics.sendEvent("driver_cloud", "register", "fail")
                mError.text = msg
            }
        }
    }

    Column {
        anchors.fill: parent
        anchors.margins: g_resolution.getScaleLength(20)
        spacing: g_resolution.getScaleLength(8)
        HText { mTextName: qsTr("Register"); mFontBold: true; mFontSize: 18 }
        HText { mTextName: qsTr("Name (maximum length 7 bytes)") }
        HTextField {
            id: mName
            objectName: "name"
            width: parent.width
            height: g_resolution.getScaleLength(32)
            validator: RegExpValidator { regExp: /[^\s]+/ }
        }
        HText { mTextName: qsTr("Mailbox") }
        HTextField {
            id: mEmail
            objectName: "email"
            width: parent.width
            height: g_resolution.getScaleLength(32)
            validator: RegExpValidator { regExp: /[^\s]+/ }
        }
        HText { mTextName: qsTr("Password") }
        HTextField {
            id: mPassword
            objectName: "password"
            width: parent.width
            height: g_resolution.getScaleLength(32)
            echoMode: TextInput.Password
            validator: RegExpValidator { regExp: /[^\s]+/ }
        }
        HTextField {
            id: mRepeat
            objectName: "repeat"
            width: parent.width
            height: g_resolution.getScaleLength(32)
            mTextName: qsTr("Enter the new password again")
            echoMode: TextInput.Password
            validator: RegExpValidator { regExp: /[^\s]+/ }
            onAccepted: root.registerUser()
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
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: g_resolution.getScaleLength(16)
            HButton {
                objectName: "register"
                width: g_resolution.getScaleLength(120)
                height: g_resolution.getScaleLength(34)
                enabled: !root.mBusy
                mTextName: qsTr("Register")
                onClicked: root.registerUser()
            }
            KTxtBtn {
                objectName: "login"
                height: g_resolution.getScaleLength(34)
                mText: qsTr("Log in")
                mColor: "#6195C2"
                mFontUnderLine: true
                onClicked: {
                    root.close()
                    root.mSender(1)
                }
            }
        }
    }
}
