import QtQuick 2.12
import QtQuick.Controls 2.12
import k.tools 1.0
import "qrc:/control"

// Five-step receiver pairing over the whole window. "Pair" starts the receiver's pairing; success opens popup
// 23, failure shows the advice to repeat the steps. Closing stops a pairing that still runs.
Rectangle {
    id: root

    property string showfont: ""

    signal mSender(int index)

    color: "#F4F7FA"

    onVisibleChanged: {
        if (!visible)
            mPairing.pairingStop()
        mFailed.visible = false
    }

    FPairing {
        id: mPairing
        onSigFinishState: {
            if (mState) {
                root.visible = false
                root.mSender(23)
            } else {
                mFailed.visible = true
            }
        }
    }

    Column {
        anchors.centerIn: parent
        width: parent.width * 0.7
        spacing: g_resolution.getScaleLength(12)
        HText { mTextName: qsTr("Pairing, please do not unplug the mouse"); mFontBold: true; mFontSize: 16 }
        Repeater {
            model: [
                [qsTr("Step one"), qsTr("Plug the receiver into the computer")],
                [qsTr("Step two"), qsTr("Turn off the mouse power switch")],
                [qsTr("Step three"), qsTr("Click the \"Pair\" button below")],
                [qsTr("Step four"), qsTr("Turn on the mouse power switch")],
                [qsTr("Step five"), qsTr("Please press the left, middle and right buttons at the same time")]
            ]
            delegate: Row {
                spacing: g_resolution.getScaleLength(10)
                HText { mTextName: modelData[0]; mTextColor: "#6195C2"; mFontBold: true }
                HText { mTextName: modelData[1] }
            }
        }
        Image {
            width: g_resolution.getScaleLength(200)
            height: g_resolution.getScaleLength(80)
            source: g_appModel.language === "zh" ? "qrc:/common/newUI/pairing_steps.png"
                                                 : "qrc:/common/newUI/pairing_steps_en.png"
        }
        Text {
            id: mFailed
            objectName: "pairingFailed"
            visible: false
            text: qsTr("Pairing is failed, please repeat the above steps")
            color: "#E05A5A"
            font.pixelSize: g_resolution.getScaleLength(13)
        }
        HText { mTextName: qsTr("Pairing alignment"); mTextColor: "#6195C2" }
        Row {
            spacing: g_resolution.getScaleLength(12)
            HButton {
                objectName: "pairStart"
                width: g_resolution.getScaleLength(120)
                height: g_resolution.getScaleLength(32)
                mTextName: qsTr("Pair")
                onClicked: {
                    mFailed.visible = false
                    mPairing.pairingStart()
                }
            }
            HButton {
                objectName: "pairClose"
                width: g_resolution.getScaleLength(120)
                height: g_resolution.getScaleLength(32)
                mTextName: qsTr("Close")
                onClicked: root.visible = false
            }
        }
    }
}
