import QtQuick 2.12
import QtQuick.Controls 2.12
import k.tools 1.0
import "qrc:/control"
import "qrc:/common"

// Firmware restoration of the earlier window: the user chooses the mouse model, "Upgrade" asks the window for
// the confirmation of that choice (popup 27), and the window then calls startUpdate. The update program
// writes the firmware; its outcome comes back as a tip, and after success the window is brought to the front
// again. The dialog cannot be closed while the update runs.
Popup {
    id: root

    // The models offered, as shown; the update program and the picture table know them in capitals.
    property var mModels: ["Kinloch", "Edris", "Varlo"]
    property string mModel: ""
    property string mImg: ""
    property bool mUpdating: false
    property int count: 0

    signal mSender(int buttonIndex)

    function chooseModel(model) {
        mModel = model
        var pictures = g_uiManager.mouseMap()
        var picture = pictures[model.toUpperCase()]
        mImg = picture !== undefined ? picture : ""
    }

    // "Upgrade": nothing is written before a model was chosen and confirmed.
    function requestUpdate() {
        if (mModel === "") {
            h_suspension.showTips(2, qsTr("Please select the mouse model before clicking upgrade"))
            return
        }
        mSender(27)
    }

    function startUpdate() {
        if (mUpdating || mModel === "")
            return
        count = 0
        mUpdating = true
        mUpdate.stateUpdateFirm(mModel.toUpperCase())
    }

    modal: true
    closePolicy: mUpdating ? Popup.NoAutoClose : Popup.CloseOnEscape
    anchors.centerIn: Overlay.overlay
    width: g_resolution.getScaleLength(480)
    height: g_resolution.getScaleLength(400)
    background: Rectangle { radius: g_resolution.getScaleLength(8); color: "#FFFFFF" }

    FUpdateFirmware {
        id: mUpdate
        onSigProgress: function(value, totleValue) {
            root.count = totleValue > 0 ? Math.round(100 * value / totleValue) : 0
        }
        onSigUpdateRequest: function(code) {
            root.mUpdating = false
            if (code === 0) {
                h_suspension.showTips(0, qsTr("After upgrading, please unplug the mouse again"))
                root.close()
                g_uiManager.show()
            } else if (code === 3) {
                h_suspension.showTips(1, qsTr("Network connection error, please try later"))
            } else {
                h_suspension.showTips(1, qsTr("Firmware upgrade failed, please re-plug the device and try again"))
            }
        }
    }

    Column {
        anchors.fill: parent
        anchors.margins: g_resolution.getScaleLength(20)
        spacing: g_resolution.getScaleLength(10)
        Text {
            width: parent.width
            wrapMode: Text.WordWrap
            text: qsTr("You cannot insert or remove the mouse or turn off the software during the upgrade process. Please re-plug the mouse after the upgrade is complete")
            color: "#303344"
            font.pixelSize: g_resolution.getScaleLength(12)
        }
        Text {
            visible: g_image.isWireLess
            text: qsTr("Need to connect to the data line for upgrading")
            color: "#E05A5A"
            font.pixelSize: g_resolution.getScaleLength(12)
        }
        HText {
            objectName: "currentVersion"
            mTextName: qsTr("Current firmware version:") + " " + g_image.deviceVersion
            visible: g_deviceCtl.online
        }
        Row {
            spacing: g_resolution.getScaleLength(10)
            enabled: !root.mUpdating
            Repeater {
                model: root.mModels
                delegate: KTxtBtn {
                    objectName: "model_" + modelData
                    height: g_resolution.getScaleLength(30)
                    mTextWidth: 90
                    mText: modelData
                    mIsSelect: root.mModel === modelData
                    mRadius: 4
                    mBgColor: "#EEF2F6"
                    mBgColorHovered: "#DEE9F1"
                    mBgColorSel: "#6195C2"
                    mColorSel: "#FFFFFF"
                    onClicked: root.chooseModel(modelData)
                }
            }
        }
        Image {
            anchors.horizontalCenter: parent.horizontalCenter
            width: g_resolution.getScaleLength(120)
            height: g_resolution.getScaleLength(70)
            fillMode: Image.PreserveAspectFit
            source: root.mImg
            visible: root.mImg !== ""
        }
        HText {
            objectName: "selectedModel"
            mTextName: qsTr("Currently selected mouse: ") + root.mModel
            visible: root.mModel !== ""
        }
        ProgressBar {
            objectName: "progress"
            width: parent.width
            visible: root.mUpdating
            from: 0
            to: 100
            value: root.count
        }
        HButton {
            objectName: "upgrade"
            anchors.horizontalCenter: parent.horizontalCenter
            width: g_resolution.getScaleLength(120)
            height: g_resolution.getScaleLength(32)
            enabled: !root.mUpdating
            mTextName: qsTr("Upgrade")
            onClicked: root.requestUpdate()
        }
    }
}
