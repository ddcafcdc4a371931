import QtQuick 2.12
import QtQuick.Controls 2.12
import k.tools 1.0
import "qrc:/control"

// First step of the password recovery: the code goes to the mailbox. Once the server has sent it, the window
// is told which mailbox (sigCodeSent) and opens the code entry.
Popup {
    id: root

    property var mReg: /^[A-Za-z0-9][\w.+-]*@[A-Za-z0-9-]+(\.[A-Za-z0-9-]+)*\.[A-Za-z]{2,4}$/
    property bool mBusy: false

    signal sigCodeSent(string email)

    function send() {
        if (mBusy)
            return
        if (mEmail.text === "")
            mError.text = qsTr("The input field cannot be empty")
        else if (!mReg.test(mEmail.text))
            mError.text = qsTr("The mailbox format is incorrect, please re-enter")
        else
            mError.text = ""
        if (mError.text !== "")
            return
        mBusy = true
        mSendEmail.sendEmail(mEmail.text)
    }

    modal: true
    closePolicy: mBusy ? Popup.NoAutoClose : Popup.CloseOnEscape
    anchors.centerIn: Overlay.overlay
    width: g_resolution.getScaleLength(400)
    height: g_resolution.getScaleLength(300)
    background: Rectangle { radius: g_resolution.getScaleLength(8); color: "#FFFFFF" }

    onOpened: mError.text = ""

    KNetForgotSendEmail {
        id: mSendEmail
        onSigRequestFinished: function(code, msg) {
            root.mBusy = false
            if (code === 0) {
                h_analytics.sendEvent("driver_cloud", "forget", "success")
                root.close()
                root.sigCodeSent(mEmail.text)
            } else {
                h_analytics.sendEvent("driver_cloud", "forget", "fail")
                mError.text = msg
            }
        }
    }

    Column {
        anchors.fill: parent
        anchors.margins: g_resolution.getScaleLength(20)
        spacing: g_resolution.getScaleLength(12)
        HText { mTextName: qsTr("Forget password"); mFontBold: true; mFontSize: 18 }
        HText { mTextName: qsTr("Mailbox") }
        HTextField {
            id: mEmail
            objectName: "email"
            width: parent.width
            height: g_resolution.getScaleLength(34)
            mTextName: qsTr("Please enter email address")
            validator: RegExpValidator { regExp: /[^\s]+/ }
            onAccepted: root.send()
        }
        Text {
            width: parent.width
            wrapMode: Text.WordWrap
            text: qsTr("In order to protect the account security, we will send a verification code to the mailbox")
            color: "#5B6270"
            font.pixelSize: g_resolution.getScaleLength(12)
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
            objectName: "send"
            anchors.horizontalCenter: parent.horizontalCenter
            width: g_resolution.getScaleLength(120)
            height: g_resolution.getScaleLength(34)
            enabled: !root.mBusy
            mTextName: qsTr("Send")
            onClicked: root.send()
        }
    }
}
