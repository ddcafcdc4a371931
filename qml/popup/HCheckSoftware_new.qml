import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"

// The program is up to date. "OK" closes (mSender(0)).
Popup {
    id: root

    signal mSender(int buttonIndex)

    parent: Overlay.overlay
    x: parent ? Math.round((parent.width - width) / 2) : 0
    y: parent ? Math.round((parent.height - height) / 2) : 0
    z: 2
    width: g_resolution.getScaleLength(420)
    height: g_resolution.getScaleLength(200)
    padding: g_resolution.getScaleLength(24)
    modal: false
    closePolicy: Popup.CloseOnEscape

    background: Rectangle {
        color: "#FFFFFF"
        radius: g_resolution.getScaleLength(8)
        border.color: "#BAC2CA"
    }

    contentItem: Item {
        Text {
            id: mTitle
            text: qsTr("Version update")
            color: "#303344"
            font.pixelSize: g_resolution.getScaleLength(18)
            font.bold: true
        }
        Text {
            anchors.top: mTitle.bottom
            anchors.topMargin: g_resolution.getScaleLength(20)
            width: parent.width
            wrapMode: Text.WordWrap
            text: qsTr("The current driver is the latest version")
            color: "#5B6270"
            font.pixelSize: g_resolution.getScaleLength(14)
        }
        KTxtBtn {
            objectName: "ok"
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            width: g_resolution.getScaleLength(100)
            height: g_resolution.getScaleLength(34)
            mText: qsTr("OK")
            mColor: "#FFFFFF"
            mBgColor: "#6195C2"
            mBgColorHovered: "#4A7BA6"
            mRadius: 4
            onClicked: {
                root.close()
                root.mSender(0)
            }
        }
    }
}
