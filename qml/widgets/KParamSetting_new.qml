import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"
import "qrc:/control"

// Second earlier parameter settings: the pointer speed on the dial of the later pages, scrolling by lines or a
// screen at a time, and the report rate.
Column {
    id: root

    spacing: g_resolution.getScaleLength(12)

    readonly property int mMouseSpeed: g_sysparameter.MouseSpeed
    onMMouseSpeedChanged: mGauge.updateCurrentAngleByValue(mMouseSpeed)

    KQuorText { mText: qsTr("Pointer speed") }
    KQuorText {
        objectName: "pointerSpeedUnavailable"
        visible: !g_sysparameter.MouseSpeedOffered
        mText: qsTr("Not available on this desktop")
    }
    HGauge {
        id: mGauge
        objectName: "pointerSpeed"
        visible: g_sysparameter.MouseSpeedOffered
        width: g_resolution.getScaleLength(130)
        height: width
        currentValue: g_sysparameter.MouseSpeed
        onSetMouseSpeed: g_sysparameter.setMouseSpeed(Math.round(value))
    }
    KQuorText { mText: qsTr("Wheel scrolling") }
    KQuorText {
        objectName: "wheelLinesUnavailable"
        visible: !g_sysparameter.WheelScrollLineOffered
        mText: qsTr("Not available on this desktop")
    }
    Row {
        visible: g_sysparameter.WheelScrollLineOffered
        spacing: g_resolution.getScaleLength(10)
        KCheckBox2 {
            objectName: "scrollByLines"
            text: qsTr("Scroll by the number of rows set at a time")
            mChecked: g_sysparameter.WheelScrollType !== 0
            onToggled: {
                if (checked) {
                    g_sysparameter.setWheelScrollType(1)
                    g_sysparameter.setWheelScrollLine(Math.max(1, Math.min(100, mLines.mValue)))
                } else {
                    g_sysparameter.setWheelScrollLine(-1)
                }
            }
        }
        KNumField {
            id: mLines
            anchors.verticalCenter: parent.verticalCenter
            enabled: g_sysparameter.WheelScrollType !== 0
            mValue: g_sysparameter.WheelScrollLine > 0 ? g_sysparameter.WheelScrollLine : 3
            onAddBtnClicked: g_sysparameter.setWheelScrollLine(Math.min(100, mValue + 1))
            onReduceBtnClicked: g_sysparameter.setWheelScrollLine(Math.max(1, mValue - 1))
            onInputValue: g_sysparameter.setWheelScrollLine(Math.max(1, Math.min(100, value)))
        }
    }
    KQuorText { mText: qsTr("USB report rate") }
    Row {
        spacing: g_resolution.getScaleLength(8)
        Repeater {
            model: 4
            delegate: KReportBtn {
                objectName: "report" + index
                mIndex: index
            }
        }
    }
}
