import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"

// The password was changed on the user page: the stored login goes, and the user logs in again with the new
// password (popup 1).
Popup {
    id: root

    signal mSender(int buttonIndex)
    signal siglogout()

    function confirmed() {
        g_configCommon.clearUserInfo()
        close()
        siglogout()
        mSender(1)
    }

    // However it is closed, the old login does not stay.
    onClosed: {
        if (g_appModel.token !== "" || g_appModel.nickname !== "") {
            g_configCommon.clearUserInfo()
            siglogout()
        }
    }

    parent: Overlay.overlay
    x: parent ? Math.round((parent.width - width) / 2) : 0
    y: parent ? Math.round((parent.height - height) / 2) : 0
    z: 2
    width: g_resolution.getScaleLength(460)
    height: g_resolution.getScaleLength(220)
    padding: g_resolution.getScaleLength(24)
    closePolicy: Popup.CloseOnEscape

    background: Rectangle {
        color: "#FFFFFF"
        radius: g_resolution.getScaleLength(8)
        border.color: "#BAC2CA"
    }

    contentItem: Item {
        Text {
            id: mTitle
            text: qsTr("Password modified successfully")
            color: "#303344"
            font.pixelSize: g_resolution.getScaleLength(18)
            font.bold: true
        }
        Text {
            anchors.top: mTitle.bottom
            anchors.topMargin: g_resolution.getScaleLength(20)
            width: parent.width
            wrapMode: Text.WordWrap
            text: qsTr("Your password has been modified successfully. Please login again")
            color: "#5B6270"
            font.pixelSize: g_resolution.getScaleLength(14)
        }
        Row {
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            spacing: g_resolution.getScaleLength(12)
            KTxtBtn {
                objectName: "ok"
                width: g_resolution.getScaleLength(100)
                height: g_resolution.getScaleLength(34)
                mText: qsTr("OK")
                mColor: "#FFFFFF"
                mBgColor: "#6195C2"
                mBgColorHovered: "#4A7BA6"
                mRadius: 4
                onClicked: root.confirmed()
            }
        }
    }
}
