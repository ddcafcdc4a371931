import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/control"

// First page of the receiver pairing guide: the three steps before pairing. "Pair" asks the window for the
// second page (popup 24), where the pairing runs; "Exit pairing" closes.
Popup {
    id: root

    signal mSender(int buttonIndex)

    modal: true
    closePolicy: Popup.NoAutoClose
    anchors.centerIn: Overlay.overlay
    width: g_resolution.getScaleLength(460)
    height: g_resolution.getScaleLength(300)
    background: Rectangle { radius: g_resolution.getScaleLength(8); color: "#FFFFFF" }

    Column {
        anchors.fill: parent
        anchors.margins: g_resolution.getScaleLength(20)
        spacing: g_resolution.getScaleLength(14)
        HText { mTextName: qsTr("Receiver mouse pairing"); mFontBold: true; mFontSize: 16 }
        Repeater {
            model: [qsTr("Plug the receiver into the computer"), qsTr("Turn off the mouse power switch"),
                    qsTr("Click the \"Pair\" button below")]
            delegate: Row {
                spacing: g_resolution.getScaleLength(10)
                HText { mTextName: (index + 1) + "."; mTextColor: "#6195C2"; mFontBold: true }
                HText { mTextName: modelData }
            }
        }
        HText { mTextName: qsTr("start Pairing"); mTextColor: "#6195C2" }
        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: g_resolution.getScaleLength(16)
            HButton {
                objectName: "pair"
                width: g_resolution.getScaleLength(120)
                height: g_resolution.getScaleLength(32)
                mTextName: qsTr("Pair")
                onClicked: {
                    root.close()
                    root.mSender(24)
                }
            }
            HButton {
                objectName: "exit"
                width: g_resolution.getScaleLength(120)
                height: g_resolution.getScaleLength(32)
                mNormal: "#DEE9F1"
                mTextColor: "#303344"
                mTextName: qsTr("Exit pairing")
                onClicked: root.close()
            }
        }
    }
}
