import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"
import "qrc:/control"
import "qrc:/panel"

// Parameter page: the system's pointer speed and wheel scrolling, the mouse's report rate and sensor lift
// height, and the device picture whose buttons open the key-setting dialog. mDialogVisable tells the window
// that the dialog is open.
Item {
    id: root

    property string mConfigPath: ""
    readonly property var mReports: ["125HZ", "250HZ", "500HZ", "1000HZ"]

    signal mDialogVisable(bool state)

    function closeDialog() {
        if (mSettingDialog.visible)
            mSettingDialog.close()
    }

    // The lines per notch the system takes (a value outside is held to the nearest bound), written at once.
    function writeScrollLine(value) {
        var lines = Math.max(1, Math.min(100, value))
        g_sysparameter.setWheelScrollLine(lines)
        mLineField.mValue = g_sysparameter.WheelScrollLine > 0 ? g_sysparameter.WheelScrollLine : lines
    }

    onVisibleChanged: {
        if (!visible)
            closeDialog()
    }

    // The dial follows the system's speed when it changes elsewhere.
    readonly property int mMouseSpeed: g_sysparameter.MouseSpeed
    onMMouseSpeedChanged: mGauge.updateCurrentAngleByValue(mMouseSpeed)

    component SectionTitle: HText {
        mFontBold: true
        mFontSize: 15
    }

    component ChoiceButton: KTxtBtn {
        width: g_resolution.getScaleLength(90)
        height: g_resolution.getScaleLength(30)
        mRadius: 4
        mBgColor: "#FFFFFF"
        mBgColorSel: "#6195C2"
        mColorSel: "#FFFFFF"
        mColorHovered: "#6195C2"
    }

    Column {
        id: mSettings
        x: g_resolution.getScaleLength(30)
        y: g_resolution.getScaleLength(20)
        width: g_resolution.getScaleLength(460)
        spacing: g_resolution.getScaleLength(12)

        SectionTitle { mTextName: qsTr("Pointer speed") }
        // Offered only where the desktop has the setting.
        HText {
            objectName: "pointerSpeedUnavailable"
            visible: !g_sysparameter.MouseSpeedOffered
            mTextName: qsTr("Not available on this desktop")
        }
        Row {
            visible: g_sysparameter.MouseSpeedOffered
            spacing: g_resolution.getScaleLength(16)
            Image {
                anchors.verticalCenter: parent.verticalCenter
                width: g_resolution.getScaleLength(40)
                height: width
                source: "qrc:/common/newUI/windows_speed.png"
            }
            HGauge {
                id: mGauge
                objectName: "pointerSpeed"
                width: g_resolution.getScaleLength(130)
                height: width
                currentValue: g_sysparameter.MouseSpeed
                onSetMouseSpeed: g_sysparameter.setMouseSpeed(Math.round(value))
            }
        }

        SectionTitle { mTextName: qsTr("Wheel scrolling") }
        HText {
            objectName: "wheelLinesUnavailable"
            visible: !g_sysparameter.WheelScrollLineOffered
            mTextName: qsTr("Not available on this desktop")
        }
        Row {
            visible: g_sysparameter.WheelScrollLineOffered
            spacing: g_resolution.getScaleLength(10)
            RadioButton {
                id: mByLines
                objectName: "scrollByLines"
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr("Scroll by the number of rows set at a time")
                checked: g_sysparameter.WheelScrollType !== 0
                onClicked: {
                    g_sysparameter.setWheelScrollType(1)
                    root.writeScrollLine(mLineField.mValue)
                }
            }
            HNumField {
                id: mLineField
                objectName: "scrollLines"
                anchors.verticalCenter: parent.verticalCenter
                enabled: mByLines.checked
                mValue: g_sysparameter.WheelScrollLine > 0 ? g_sysparameter.WheelScrollLine : 3
                onAddBtnClicked: root.writeScrollLine(mValue + 1)
                onReduceBtnClicked: root.writeScrollLine(mValue - 1)
                onInputValue: root.writeScrollLine(value)
            }
        }
        RadioButton {
            objectName: "scrollByPages"
            visible: g_sysparameter.WheelScrollLineOffered
            text: qsTr("Scroll one screen at a time")
            checked: g_sysparameter.WheelScrollType === 0
            onClicked: g_sysparameter.setWheelScrollLine(-1)
        }

        SectionTitle { mTextName: qsTr("USB report rate") }
        Row {
            spacing: g_resolution.getScaleLength(10)
            Repeater {
                model: root.mReports
                delegate: ChoiceButton {
                    objectName: "report" + index
                    mText: modelData
                    mIsSelect: g_reportModel.currentReport === index
                    onClicked: g_reportModel.selectReport(index)
                }
            }
        }

        SectionTitle { mTextName: qsTr("Sensor lift-off distance") }
        Row {
            spacing: g_resolution.getScaleLength(10)
            Repeater {
                model: ["2mm", "3mm"]
                delegate: ChoiceButton {
                    mText: modelData
                    onClicked: console.log("click silentBtn " + modelData)
                }
            }
        }
    }

    Item {
        id: mPictureArea
        anchors.left: mSettings.right
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.bottom: parent.bottom

        KMsDevicePanel_new {
            id: mMsDevPanel
            objectName: "msDevicePanel"
            anchors.centerIn: parent
            scale: width > 0 ? Math.min(1, parent.width / width) : 1
            onClickedBtn: mSettingDialog.showDialog(key)
        }
    }

    KKeySettingDialog_new {
        id: mSettingDialog
        objectName: "mouseKeySettingDialog"
        mConfigPath: root.mConfigPath
        onOpened: root.mDialogVisable(true)
        onClosed: {
            mMsDevPanel.selectKey(-1)
            root.mDialogVisable(false)
        }
    }
}
