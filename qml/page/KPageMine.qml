import QtQuick 2.12
import "qrc:/common"

// Earlier personal page: the signed-in user's name, the cloud upload and download (the window asks first) and
// log-out, or the way to log in. The requests go to the window as button indices, as on the later page.
Item {
    id: root

    readonly property bool mLoggedIn: g_appModel.token !== ""

    signal mSender(int buttonIndex)

    Column {
        x: g_resolution.getScaleLength(40)
        y: g_resolution.getScaleLength(30)
        spacing: g_resolution.getScaleLength(16)

        KQuorText {
            objectName: "name"
            mFontSize: 18
            mText: root.mLoggedIn ? g_appModel.nickname : qsTr("Not logged in")
        }
        KQuorButton1 {
            objectName: "login"
            visible: !root.mLoggedIn
            width: g_resolution.getScaleLength(160)
            mText: qsTr("Log in")
            onClicked: root.mSender(1)
        }
        Column {
            visible: root.mLoggedIn
            spacing: g_resolution.getScaleLength(12)
            KQuorText { mText: qsTr("Cloud sync:") }
            Row {
                spacing: g_resolution.getScaleLength(10)
                KQuorButton1 {
                    objectName: "upload"
                    width: g_resolution.getScaleLength(100)
                    mText: "\u2191"
                    onClicked: root.mSender(11)
                }
                KQuorText2 {
                    anchors.verticalCenter: parent.verticalCenter
                    mText: qsTr("Upload this setting and save it to my cloud share")
                }
            }
            Row {
                spacing: g_resolution.getScaleLength(10)
                KQuorButton1 {
                    objectName: "download"
                    width: g_resolution.getScaleLength(100)
                    mText: "\u2193"
                    onClicked: root.mSender(12)
                }
                KQuorText2 {
                    anchors.verticalCenter: parent.verticalCenter
                    mText: qsTr("Download the cloud configuration, the current settings will be overwritten")
                }
            }
            KQuorButton1 {
                objectName: "logout"
                width: g_resolution.getScaleLength(160)
                mColor: "#E5484D"
                mText: qsTr("Log out")
                onClicked: root.mSender(10)
            }
        }
    }
}
