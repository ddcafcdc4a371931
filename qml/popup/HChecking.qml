import QtQuick 2.12
import QtQuick.Controls 2.12
import k.tools 1.0
import "qrc:/control"
import "qrc:/common"

// Second step of the password recovery: the code from the mail (one to four digits) is checked by the server
// for the mailbox of the first step. A checked code goes to the window with the mailbox (sigCodeVerified) for
// the new password; "Didn't receive the verification code?" asks for the help (popup 8).
Popup {
    id: root

    property string mEmail: ""
    property bool mBusy: false

    signal sigCodeVerified(string email, string code)
    signal mSender(int buttonIndex)

    function verify() {
        if (mBusy)
            return
        mError.text = mCode.text === "" ? qsTr("The input field cannot be empty") : ""
        if (mError.text !== "")
            return
        mBusy = true
        mVerify.verify(mEmail, mCode.text)
    }

    modal: true
    closePolicy: mBusy ? Popup.NoAutoClose : Popup.CloseOnEscape
    anchors.centerIn: Overlay.overlay
    width: g_resolution.getScaleLength(400)
    height: g_resolution.getScaleLength(280)
    background: Rectangle { radius: g_resolution.getScaleLength(8); color: "#FFFFFF" }

    onOpened: {
        mCode.text = ""
        mError.text = ""
    }

    KNetForgotVerifyCode {
        id: mVerify
        onSigRequestFinished: function(code, msg) {
            root.mBusy = false
            if (code === 0) {
                root.close()
                root.sigCodeVerified(root.mEmail, mCode.text)
            } else {
                mError.text = msg
            }
        }
    }

    Column {
        anchors.fill: parent
        anchors.margins: g_resolution.getScaleLength(20)
        spacing: g_resolution.getScaleLength(12)
        HText { mTextName: qsTr("Verification"); mFontBold: true; mFontSize: 18 }
        Text {
            width: parent.width
            wrapMode: Text.WordWrap
            text: qsTr("Please enter the verification code received by the mailbox")
            color: "#5B6270"
            font.pixelSize: g_resolution.getScaleLength(12)
        }
        HTextField {
            id: mCode
            objectName: "code"
            width: parent.width
            height: g_resolution.getScaleLength(34)
            validator: RegExpValidator { regExp: /^([0-9]{1,4})$/ }
            onAccepted: root.verify()
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
                objectName: "verify"
                width: g_resolution.getScaleLength(120)
                height: g_resolution.getScaleLength(34)
                enabled: !root.mBusy
                mTextName: qsTr("Send out")
                onClicked: root.verify()
            }
            KTxtBtn {
                objectName: "notReceived"
                height: g_resolution.getScaleLength(34)
                mText: qsTr("Didn't receive the verification code?")
                mColor: "#6195C2"
                mFontUnderLine: true
                onClicked: {
                    root.close()
                    root.mSender(8)
                }
            }
        }
    }
}
