import QtQuick 2.12
import QtQuick.Controls 2.12
import k.tools 1.0
import "qrc:/control"

// Second page of the receiver pairing guide: the mouse is switched on and its three buttons pressed while the
// receiver pairs. "Pairing" starts the receiver's pairing; its outcome asks the window for the success
// (popup 23) or the failure (popup 25). Leaving the page in any way stops a pairing that still runs.
Popup {
    id: root

    property bool mPairing: false
    property string mState: ""

    signal mSender(int buttonIndex)

    function startPairing() {
        if (mPairing)
            return
        mState = ""
        mPairing = true
        mPairingObject.pairingStart()
    }

    modal: true
    closePolicy: Popup.NoAutoClose
    anchors.centerIn: Overlay.overlay
    width: g_resolution.getScaleLength(460)
    height: g_resolution.getScaleLength(280)
    background: Rectangle { radius: g_resolution.getScaleLength(8); color: "#FFFFFF" }

    onClosed: {
        if (mPairing)
            mPairingObject.pairingStop()
        mPairing = false
    }

    FPairing {
        id: mPairingObject
        onSigFinishState: function(paired) {
            root.mPairing = false
            root.mState = paired ? qsTr("Successful to pair code") : qsTr("Failed to pair code")
            root.mSender(paired ? 23 : 25)
        }
    }

    Column {
        anchors.fill: parent
        anchors.margins: g_resolution.getScaleLength(20)
        spacing: g_resolution.getScaleLength(14)
        HText { mTextName: qsTr("Receiver mouse pairing"); mFontBold: true; mFontSize: 16 }
        Repeater {
            model: [qsTr("Turn on the mouse power switch"),
                    qsTr("Please press the left, middle and right buttons simultaneously")]
            delegate: Row {
                spacing: g_resolution.getScaleLength(10)
                HText { mTextName: (index + 4) + "."; mTextColor: "#6195C2"; mFontBold: true }
                HText { mTextName: modelData }
            }
        }
        HText {
            objectName: "state"
            mTextName: root.mPairing ? qsTr("Pairing alignment") : root.mState
            mTextColor: "#6195C2"
        }
        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: g_resolution.getScaleLength(16)
            HButton {
                objectName: "pairing"
                width: g_resolution.getScaleLength(120)
                height: g_resolution.getScaleLength(32)
                enabled: !root.mPairing
                mTextName: qsTr("Pairing")
                onClicked: root.startPairing()
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
