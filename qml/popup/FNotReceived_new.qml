import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"

// Help when the verification mail did not arrive.
Popup {
    id: root

    parent: Overlay.overlay
    x: parent ? Math.round((parent.width - width) / 2) : 0
    y: parent ? Math.round((parent.height - height) / 2) : 0
    z: 2
    width: g_resolution.getScaleLength(520)
    height: g_resolution.getScaleLength(340)
    padding: g_resolution.getScaleLength(24)
    closePolicy: Popup.CloseOnEscape

    background: Rectangle {
        color: "#FFFFFF"
        radius: g_resolution.getScaleLength(8)
        border.color: "#BAC2CA"
    }

    contentItem: Item {
        Column {
            width: parent.width
            spacing: g_resolution.getScaleLength(12)
            Repeater {
                model: [qsTr("1. The email address is incorrect."),
                    qsTr("2. The verification mailbox has not been sent due to delay and other reasons."),
                    qsTr("3. The mailbox server that receives the verification mailbox judges it as spam and automatically transfers it to the dustbin. You can check whether there is a verification mailbox in the dustbin."),
                    qsTr("The above methods have not solved your problem, please click resend or re-register on the verification interface")]
                delegate: Text {
                    width: parent.width
                    wrapMode: Text.WordWrap
                    text: modelData
                    color: "#303344"
                    font.pixelSize: g_resolution.getScaleLength(13)
                }
            }
        }
        FTextUnderlineBtn {
            objectName: "back"
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            mText: qsTr("Back to previous step")
            mFontSize: 13
            onClicked: root.close()
        }
    }
}
