import QtQuick 2.12
import "qrc:/control"

// Earlier top bar: the signed-in user's name (or the way to log in) and the battery of a wireless device.
Rectangle {
    id: root

    readonly property bool mLoggedIn: g_appModel.token !== ""

    signal loginClicked()
    signal userClicked()

    color: "#303344"
    height: g_resolution.getScaleLength(36)

    KTxtBtn {
        objectName: "user"
        anchors.left: parent.left
        anchors.leftMargin: g_resolution.getScaleLength(16)
        anchors.verticalCenter: parent.verticalCenter
        mText: root.mLoggedIn ? g_appModel.nickname : qsTr("Log in")
        mColor: "#FFFFFF"
        mColorHovered: "#6195C2"
        mFontSize: 13
        onClicked: root.mLoggedIn ? root.userClicked() : root.loginClicked()
    }
    FBattery {
        anchors.right: parent.right
        anchors.rightMargin: g_resolution.getScaleLength(16)
        anchors.verticalCenter: parent.verticalCenter
    }
}
