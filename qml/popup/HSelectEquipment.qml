import QtQuick 2.12
import QtQuick.Controls 2.12
import EquipmentModel 1.0
import "qrc:/control"

// Choosing the device to configure among several connected ones. The device controller opens it; the choice
// goes back through the controller. Each entry shows a keyboard or a mouse picture and a wired or wireless
// mark; the cable note shows while the wireless keyboard, which is set up over its cable only, is listed.
Popup {
    id: root

    property int changeIndex: -1

    signal mSender(int buttonIndex)
    signal showSelectEquipment(bool status)

    function showCloseBtn(status) {
        mCloseButton.visible = status
    }

    // The type word of the wireless keyboard in the device list.
    readonly property string mWirelessKeyboard: "quenby-8a_wireless"
    property bool mNeedsCable: false

    function updateCableNote() {
        mNeedsCable = h_equipmentList.containsType(mWirelessKeyboard)
    }

    // Above the window's mask, which the window lays under it.
    z: 2
    modal: true
    closePolicy: Popup.NoAutoClose
    anchors.centerIn: Overlay.overlay
    width: g_resolution.getScaleLength(520)
    height: g_resolution.getScaleLength(360)
    background: Rectangle { radius: g_resolution.getScaleLength(8); color: "#FFFFFF" }

    Connections {
        target: g_deviceCtl
        function onSig_showSelectEquipment(status) {
            if (!status)
                root.close()
            root.showSelectEquipment(status)
        }
        function onSig_showCloseEquipmentBtn(status) {
            root.showCloseBtn(status)
        }
    }

    Connections {
        target: h_equipmentList
        function onPostResetItems() { root.updateCableNote() }
        function onPostItemInserted() { root.updateCableNote() }
        function onPostItemDeleted() { root.updateCableNote() }
    }
    Component.onCompleted: updateCableNote()

    HEquipmentModel {
        id: mModel
        equipmentList: h_equipmentList
    }

    Column {
        anchors.fill: parent
        anchors.margins: g_resolution.getScaleLength(16)
        spacing: g_resolution.getScaleLength(10)
        HText { mTextName: qsTr("Please select a equipment to configure"); mFontBold: true; mFontSize: 16 }
        ListView {
            id: mList
            objectName: "equipmentList"
            width: parent.width
            height: g_resolution.getScaleLength(220)
            clip: true
            spacing: g_resolution.getScaleLength(6)
            model: mModel
            delegate: Rectangle {
                objectName: "equipment_" + model.pid
                width: mList.width
                height: g_resolution.getScaleLength(48)
                radius: g_resolution.getScaleLength(4)
                color: model.pid === g_deviceCtl.getPid() || index === root.changeIndex ? "#DEE9F1" : "#F4F7FA"
                Row {
                    anchors.verticalCenter: parent.verticalCenter
                    x: g_resolution.getScaleLength(10)
                    spacing: g_resolution.getScaleLength(10)
                    Image {
                        width: g_resolution.getScaleLength(40)
                        height: g_resolution.getScaleLength(32)
                        source: model.type !== "" ? "qrc:/common/newUI/equipment_keyboard.png"
                                                  : "qrc:/common/newUI/equipment_device.png"
                    }
                    HText { anchors.verticalCenter: parent.verticalCenter; mTextName: model.text }
                    Image {
                        objectName: "badge"
                        anchors.verticalCenter: parent.verticalCenter
                        width: g_resolution.getScaleLength(18)
                        height: width
                        source: model.wireless ? "qrc:/common/newUI/equipment_wireless.png"
                                               : "qrc:/common/newUI/equipment_wired.png"
                    }
                }
                MouseArea {
                    anchors.fill: parent
                    onClicked: {
                        root.changeIndex = index
                        g_deviceCtl.sig_selectEquipment(model.pid, true)
                        root.close()
                        root.showSelectEquipment(false)
                    }
                }
            }
        }
        Text {
            objectName: "cableNote"
            visible: root.mNeedsCable
            width: parent.width
            wrapMode: Text.WordWrap
            text: qsTr("Please insert the USB cable to use the driver normally")
            color: "#E05A5A"
            font.pixelSize: g_resolution.getScaleLength(12)
        }
    }

    HButton {
        id: mCloseButton
        objectName: "closeEquipment"
        visible: false
        anchors.right: parent.right
        anchors.top: parent.top
        width: g_resolution.getScaleLength(28)
        height: width
        mTextName: "\u00D7"
        onClicked: {
            root.close()
            root.showSelectEquipment(false)
        }
    }
}
