import QtQuick 2.12
import QtQuick.Controls 2.12
import k.tools 1.0
import "qrc:/common"
import "qrc:/control"

// Personal centre: name and head portrait, cloud upload and download, password change and log-out. The cloud
// and log-out popups are the window's: the page names them through mSender.
Item {
    id: root

    property string mNickname: g_appModel.nickname
    property int mCounter: 0
    property int mCount: 0
    property string mHeadportrait: "qrc:/common/newUI/ProfilePhoto/head1.jpg"
    property var mPic: ["qrc:/common/newUI/ProfilePhoto/head1.jpg", "qrc:/common/newUI/ProfilePhoto/head2.jpg",
        "qrc:/common/newUI/ProfilePhoto/head3.jpg", "qrc:/common/newUI/ProfilePhoto/head4.jpg"]

    signal mSender(int buttonIndex)
    signal changeHeadportrait(string headportrait)

    Component.onCompleted: {
        var stored = g_configCommon.getHeadportrait()
        var i = mPic.indexOf(stored)
        if (i >= 0) {
            mCount = i
            mHeadportrait = stored
        }
    }

    function nextHeadportrait() {
        mCount = (mCount + 1) % mPic.length
        mHeadportrait = mPic[mCount]
        g_configCommon.setHeadPortrait(mHeadportrait)
        changeHeadportrait(mHeadportrait)
    }

    // A tip in the label stays for a few ticks of mCountDown, then goes.
    function showTip(text) {
        mTip.text = text
        mTip.visible = true
        mCounter = 3
        mCountDown.restart()
    }

    function clearPasswords() {
        mOldPwd.text = ""
        mNewPwd.text = ""
        mRepeatPwd.text = ""
    }

    // The checks run in this order and the first failure is shown; nothing goes out unless all pass.
    function savePassword() {
        if (mOldPwd.text === "" || mNewPwd.text === "" || mRepeatPwd.text === "") {
            showTip(qsTr("The input field cannot be empty"))
            return
        }
        if (mNewPwd.text !== mRepeatPwd.text) {
            showTip(qsTr("The passwords entered twice are inconsistent"))
            return
        }
        if (mNewPwd.text.length < 6) {
            showTip(qsTr("The password you entered is too short. The password must be at least 6 digits long"))
            return
        }
        if (mOldPwd.text === mNewPwd.text) {
            showTip(qsTr("Old and new passwords cannot be the same"))
            return
        }
        h_loaddialog.startLoading(10000)
        mUpdatePwd.updatePwd(mOldPwd.text, mNewPwd.text)
    }

    KNetUpdatePwd {
        id: mUpdatePwd
        onSigRequestFinished: {
            h_loaddialog.stopLoading()
            root.clearPasswords()
            if (code === 0)
                root.mSender(6)
            else
                root.showTip(qsTr(msg))
        }
    }

    Timer {
        id: mCountDown
        objectName: "countDown"
        interval: 1000
        repeat: true
        onTriggered: {
            root.mCounter -= 1
            if (root.mCounter <= 0) {
                stop()
                mTip.visible = false
                mTip.text = ""
            }
        }
    }

    component PasswordField: FQuorField {
        width: g_resolution.getScaleLength(260)
        height: g_resolution.getScaleLength(32)
        echoMode: TextInput.Password
        validator: RegExpValidator { regExp: /[^\s]+/ }
    }

    Rectangle {
        anchors.fill: parent
        anchors.margins: g_resolution.getScaleLength(20)
        radius: g_resolution.getScaleLength(8)
        color: "#DEE9F1"

        Column {
            anchors.fill: parent
            anchors.margins: g_resolution.getScaleLength(20)
            spacing: g_resolution.getScaleLength(14)

            Row {
                spacing: g_resolution.getScaleLength(16)
                Rectangle {
                    width: g_resolution.getScaleLength(72)
                    height: width
                    radius: width / 2
                    clip: true
                    color: "#FFFFFF"
                    Image {
                        objectName: "headportrait"
                        anchors.fill: parent
                        source: root.mHeadportrait
                    }
                }
                HButton {
                    objectName: "anotherHead"
                    anchors.verticalCenter: parent.verticalCenter
                    width: g_resolution.getScaleLength(90)
                    height: g_resolution.getScaleLength(30)
                    mTextName: qsTr("Another ")
                    onClicked: root.nextHeadportrait()
                }
            }

            Row {
                spacing: g_resolution.getScaleLength(10)
                HText {
                    anchors.verticalCenter: parent.verticalCenter
                    mTextName: qsTr("Personal name:")
                }
                FQuorField {
                    id: mNameField
                    objectName: "nickname"
                    width: g_resolution.getScaleLength(200)
                    height: g_resolution.getScaleLength(32)
                    text: g_appModel.nickname
                }
                HButton {
                    anchors.verticalCenter: parent.verticalCenter
                    width: g_resolution.getScaleLength(70)
                    height: g_resolution.getScaleLength(30)
                    mTextName: qsTr("Save")
                    onClicked: g_appModel.nickname = mNameField.text
                }
            }

            HText { mTextName: qsTr("Cloud sync:") }
            Row {
                spacing: g_resolution.getScaleLength(10)
                FImgBtn {
                    objectName: "uploadConfig"
                    width: g_resolution.getScaleLength(32)
                    height: width
                    mImg: "qrc:/common/newUI/uploadBtn.png"
                    onClicked: root.mSender(11)
                }
                HText {
                    anchors.verticalCenter: parent.verticalCenter
                    mTextName: qsTr("Upload this setting and save it to my cloud share")
                }
            }
            Row {
                spacing: g_resolution.getScaleLength(10)
                FImgBtn {
                    objectName: "downloadConfig"
                    width: g_resolution.getScaleLength(32)
                    height: width
                    mImg: "qrc:/common/newUI/downloadBtn.png"
                    onClicked: root.mSender(12)
                }
                HText {
                    anchors.verticalCenter: parent.verticalCenter
                    mTextName: qsTr("Download the cloud configuration, the current settings will be overwritten")
                }
            }

            HText { mTextName: qsTr("Change password:") }
            PasswordField {
                id: mOldPwd
                objectName: "oldPassword"
                placeholderText: qsTr("Please enter the original password")
            }
            PasswordField {
                id: mNewPwd
                objectName: "newPassword"
                placeholderText: qsTr("Please enter a new password")
            }
            PasswordField {
                id: mRepeatPwd
                objectName: "repeatPassword"
                placeholderText: qsTr("Please Enter the password again")
            }
            Text {
                id: mTip
                objectName: "passwordTip"
                visible: false
                color: "#E05A5A"
                font.pixelSize: g_resolution.getScaleLength(12)
            }
            Row {
                spacing: g_resolution.getScaleLength(10)
                HButton {
                    objectName: "savePassword"
                    width: g_resolution.getScaleLength(120)
                    height: g_resolution.getScaleLength(32)
                    mTextName: qsTr("Save changes")
                    onClicked: root.savePassword()
                }
                HButton {
                    objectName: "cancelPassword"
                    width: g_resolution.getScaleLength(120)
                    height: g_resolution.getScaleLength(32)
                    mTextName: qsTr("Cancel")
                    onClicked: root.clearPasswords()
                }
            }
            HButton {
                objectName: "logout"
                width: g_resolution.getScaleLength(120)
                height: g_resolution.getScaleLength(32)
                mTextName: qsTr("Log out")
                onClicked: root.mSender(10)
            }
        }
    }
}
