import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"

// Asks to log in before a cloud action: "Log in" opens the window's log-in form (popup 1).
Popup {
    id: root

    signal mClosing()
    signal mSender(int buttonIndex)

    onClosed: mClosing()

    parent: Overlay.overlay
    x: parent ? Math.round((parent.width - width) / 2) : 0
    y: parent ? Math.round((parent.height - height) / 2) : 0
    z: 2
    width: g_resolution.getScaleLength(420)
    height: g_resolution.getScaleLength(200)
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
            text: qsTr("Please login")
            color: "#303344"
            font.pixelSize: g_resolution.getScaleLength(18)
            font.bold: true
        }
        Text {
            anchors.top: mTitle.bottom
            anchors.topMargin: g_resolution.getScaleLength(20)
            width: parent.width
            wrapMode: Text.WordWrap
            text: qsTr("You have not logged in!")
            color: "#5B6270"
            font.pixelSize: g_resolution.getScaleLength(14)
        }
        Row {
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            spacing: g_resolution.getScaleLength(12)
            KTxtBtn {
                objectName: "cancel"
                width: g_resolution.getScaleLength(100)
                height: g_resolution.getScaleLength(34)
                mText: qsTr("Cancel")
                mColor: "#303344"
                mBgColor: "#EEF2F6"
                mBgColorHovered: "#DEE9F1"
                mRadius: 4
                onClicked: root.close()
            }
            KTxtBtn {
                objectName: "login"
                width: g_resolution.getScaleLength(100)
                height: g_resolution.getScaleLength(34)
                mText: qsTr("Log in")
                mColor: "#FFFFFF"
                mBgColor: "#6195C2"
                mBgColorHovered: "#4A7BA6"
                mRadius: 4
                onClicked: root.mSender(1)
            }
        }
    }
}
