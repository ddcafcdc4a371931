import QtQuick 2.12
import QtQuick.Controls 2.12
import k.tools 1.0
import "qrc:/common"
import "qrc:/control"
import "qrc:/common/accountRules.js" as Rules

// Forgotten password, over the whole window, in three steps: a code is sent to the mailbox, the code is
// verified, a new password is set. Each step waits for the server with the busy indicator up; a refusal is
// shown on the step. The last step's success opens the window's notice (popup 6); "Authentication failed"
// opens the help (popup 8).
Rectangle {
    id: root

    // The step shown: 0 send the code, 1 verify it, 2 set the new password.
    property int model: 0
    property string nEmail: ""
    property string nCaptcha: ""
    // Seconds before the code may be sent again.
    property int mCounter: 0
    property int mTimer: 60
    property var mReg: /[^\s]+/

    signal mSender(int Index)

    function hideDeviceBtn() {
        mUserLabel.hideDeviceBtn()
    }

    function setCurrentConfig(configName, index) {
        mUserLabel.setCurrentConfig(configName, index)
    }

    function reset() {
        model = 0
        nCaptcha = ""
        mMessage.text = ""
        mCode.text = ""
        mPassword.text = ""
        mRepeat.text = ""
    }

    function sendEmail() {
        var message = Rules.first([Rules.emptyMessage([mEmail.text]), Rules.emailMessage(mEmail.text)])
        mMessage.text = message
        if (message !== "" || mCounter > 0)
            return
        nEmail = mEmail.text
        h_loaddialog.startLoading(15000)
        mSendEmail.sendEmail(nEmail)
    }

    function verify() {
        var message = Rules.emptyMessage([mCode.text])
        mMessage.text = message
        if (message !== "")
            return
        h_loaddialog.startLoading(15000)
        mVerify.verify(nEmail, mCode.text)
    }

    function setNewPwd() {
        var message = Rules.first([Rules.emptyMessage([mPassword.text, mRepeat.text]),
                                   Rules.passwordMessage(mPassword.text),
                                   Rules.repeatMessage(mPassword.text, mRepeat.text)])
        mMessage.text = message
        if (message !== "")
            return
        h_loaddialog.startLoading(15000)
        mNewPwd.setNewPwd(nEmail, nCaptcha, mPassword.text)
    }

    // A step's answer: on to the next step, or the server's message.
    function finished(step, code, msg) {
        h_loaddialog.stopLoading()
        if (code !== 0) {
            h_analytics.sendEvent("driver_cloud", "forget", "fail")
            mMessage.text = qsTr(msg)
            return
        }
        mMessage.text = ""
        if (step === 0) {
            mCounter = mTimer
            mResend.start()
            model = 1
            mCode.forceActiveFocus()
        } else if (step === 1) {
            nCaptcha = mCode.text
            model = 2
            mPassword.forceActiveFocus()
        } else {
            h_analytics.sendEvent("driver_cloud", "forget", "change_password")
            reset()
            mSender(6)
        }
    }

    onVisibleChanged: {
        if (visible) {
            reset()
            mEmail.text = g_appModel.username.indexOf("@") >= 0 ? g_appModel.username : ""
        }
    }

    color: "#EEF2F6"
    z: 5

    // The page takes every click: nothing of the window below it reacts.
    MouseArea {
        anchors.fill: parent
    }

    KNetForgotSendEmail {
        id: mSendEmail
        onSigRequestFinished: root.finished(0, code, msg)
    }
    KNetForgotVerifyCode {
        id: mVerify
        onSigRequestFinished: root.finished(1, code, msg)
    }
    KNetForgotNewPwd {
        id: mNewPwd
        onSigRequestFinished: root.finished(2, code, msg)
    }

    Timer {
        id: mResend
        interval: 1000
        repeat: true
        onTriggered: {
            root.mCounter -= 1
            if (root.mCounter <= 0)
                stop()
        }
    }

    FTitleBar {
        id: mTitleBar
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        onMMinBtnClick: mWindow.minimumWindow()
        onMCloseBtnClick: mWindow.close()
    }
    FUserlabel {
        id: mUserLabel
        anchors.top: mTitleBar.bottom
        anchors.left: parent.left
        anchors.leftMargin: g_resolution.getScaleLength(20)
        width: g_resolution.getScaleLength(400)
    }

    Column {
        anchors.centerIn: parent
        width: g_resolution.getScaleLength(440)
        spacing: g_resolution.getScaleLength(16)

        Row {
            spacing: g_resolution.getScaleLength(12)
            KTxtBtn {
                objectName: "return"
                width: g_resolution.getScaleLength(80)
                height: g_resolution.getScaleLength(30)
                mText: qsTr("Return")
                mColor: "#6195C2"
                mColorHovered: "#4A7BA6"
                onClicked: root.visible = false
            }
            HText {
                anchors.verticalCenter: parent.verticalCenter
                mTextName: qsTr("Forget password")
                mFontSize: 20
                mFontBold: true
            }
        }
        // The steps, the one shown marked.
        Row {
            spacing: g_resolution.getScaleLength(10)
            HText {
                mTextName: qsTr("verify mailbox")
                mTextColor: root.model < 2 ? "#6195C2" : "#9AA3AE"
            }
            KTxtBtn {
                objectName: "nextStep"
                height: g_resolution.getScaleLength(20)
                width: g_resolution.getScaleLength(30)
                mText: qsTr(">>")
                mFontSize: 12
                // Only a verified code leads on.
                enabled: root.nCaptcha !== ""
                onClicked: root.model = 2
            }
            HText {
                mTextName: qsTr("Reset password")
                mTextColor: root.model === 2 ? "#6195C2" : "#9AA3AE"
            }
        }

        // Step 1 and 2: the mailbox and the code.
        Column {
            width: parent.width
            spacing: g_resolution.getScaleLength(12)
            visible: root.model < 2
            HText {
                width: parent.width
                wrapMode: Text.WordWrap
                mTextName: qsTr("In order to protect the account security, we will send a verification code to the mailbox")
                mFontSize: 12
                mTextColor: "#5B6270"
            }
            Row {
                spacing: g_resolution.getScaleLength(10)
                HTextField {
                    id: mEmail
                    objectName: "email"
                    width: g_resolution.getScaleLength(300)
                    height: g_resolution.getScaleLength(36)
                    placeholderText: qsTr("Please enter email address")
                    validator: RegExpValidator { regExp: /[^\s]+/ }
                    onAccepted: root.sendEmail()
                }
                HButton {
                    objectName: "sendEmail"
                    width: g_resolution.getScaleLength(120)
                    height: g_resolution.getScaleLength(36)
                    enabled: root.mCounter <= 0
                    mTextName: root.mCounter > 0 ? qsTr("Resend") + " (" + root.mCounter + ")"
                                                 : (root.model === 0 ? qsTr("Click to send") : qsTr("Resend"))
                    mColor: "#6195C2"
                    onClicked: root.sendEmail()
                }
            }
            Row {
                visible: root.model === 1
                spacing: g_resolution.getScaleLength(10)
                HTextField {
                    id: mCode
                    objectName: "code"
                    width: g_resolution.getScaleLength(300)
                    height: g_resolution.getScaleLength(36)
                    placeholderText: qsTr("Please enter the email verification code")
                    validator: RegExpValidator { regExp: /^([0-9]{1,4})$/ }
                    onAccepted: root.verify()
                }
                HButton {
                    objectName: "verify"
                    width: g_resolution.getScaleLength(120)
                    height: g_resolution.getScaleLength(36)
                    mTextName: qsTr("Click to verify")
                    mColor: "#6195C2"
                    onClicked: root.verify()
                }
            }
            FTextUnderlineBtn {
                objectName: "notReceived"
                visible: root.model === 1
                mText: qsTr("Authentication failed, click to view the solution")
                mFontSize: 12
                onClicked: root.mSender(8)
            }
        }

        // Step 3: the new password.
        Column {
            width: parent.width
            spacing: g_resolution.getScaleLength(12)
            visible: root.model === 2
            HText {
                mTextName: qsTr("Password")
            }
            HTextField {
                id: mPassword
                objectName: "password"
                width: parent.width
                height: g_resolution.getScaleLength(36)
                placeholderText: qsTr("Please enter a new password")
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
                onAccepted: root.setNewPwd()
            }
            HButton {
                objectName: "save"
                width: parent.width
                height: g_resolution.getScaleLength(38)
                mTextName: qsTr("Save changes")
                mColor: "#6195C2"
                onClicked: root.setNewPwd()
            }
        }

        Text {
            id: mMessage
            objectName: "message"
            width: parent.width
            wrapMode: Text.WordWrap
            color: "#D9534F"
            font.pixelSize: g_resolution.getScaleLength(12)
        }
    }
}
