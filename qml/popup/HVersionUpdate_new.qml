import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"

// A newer program version exists. "OK" starts its download and asks the window for the progress
// (mSender(1)); "Cancel" closes (mSender(0)).
Popup {
    id: root

    property int mCounter: 0

    signal mSender(int buttonIndex)

    function confirm() {
        ++mCounter
        if (typeof h_httpDownload !== "undefined")
            h_httpDownload.downloadFile()
        close()
        mSender(1)
    }

    parent: Overlay.overlay
    x: parent ? Math.round((parent.width - width) / 2) : 0
    y: parent ? Math.round((parent.height - height) / 2) : 0
    z: 2
    width: g_resolution.getScaleLength(440)
    height: g_resolution.getScaleLength(220)
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
            text: qsTr("The latest version of the current driver exists. Click OK to download the latest version")
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
                mBgColor: "#DEE9F1"
                mBgColorHovered: "#CFDAE3"
                mRadius: 4
                onClicked: {
                    root.close()
                    root.mSender(0)
                }
            }
            KTxtBtn {
                objectName: "ok"
                width: g_resolution.getScaleLength(100)
                height: g_resolution.getScaleLength(34)
                mText: qsTr("OK")
                mColor: "#FFFFFF"
                mBgColor: "#6195C2"
                mBgColorHovered: "#4A7BA6"
                mRadius: 4
                onClicked: root.confirm()
            }
        }
    }
}
