import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"
import "qrc:/control"

// Earlier parameter settings: the system's pointer speed (written on release), the wheel's lines per notch
// and the mouse's report rate.
Column {
    id: root

    // The lines per notch the system takes, held to 1..100 and written at once.
    function writeScrollLine(value) {
        var lines = Math.max(1, Math.min(100, value))
        g_sysparameter.setWheelScrollLine(lines)
        mLines.mValue = g_sysparameter.WheelScrollLine > 0 ? g_sysparameter.WheelScrollLine : lines
    }

    spacing: g_resolution.getScaleLength(12)

    KQuorText { mText: qsTr("Pointer speed") }
    KQuorText {
        objectName: "pointerSpeedUnavailable"
        visible: !g_sysparameter.MouseSpeedOffered
        mText: qsTr("Not available on this desktop")
    }
    Slider {
        objectName: "pointerSpeed"
        visible: g_sysparameter.MouseSpeedOffered
        width: g_resolution.getScaleLength(260)
        from: 1
        to: 20
        stepSize: 1
        snapMode: Slider.SnapAlways
        value: g_sysparameter.MouseSpeed
        onPressedChanged: {
            if (!pressed)
                g_sysparameter.setMouseSpeed(Math.round(value))
        }
    }
    KQuorText { mText: qsTr("Wheel scrolling") }
    KQuorText {
        objectName: "wheelLinesUnavailable"
        visible: !g_sysparameter.WheelScrollLineOffered
        mText: qsTr("Not available on this desktop")
    }
    KNumField {
        id: mLines
        objectName: "scrollLines"
        visible: g_sysparameter.WheelScrollLineOffered
        mValue: g_sysparameter.WheelScrollLine > 0 ? g_sysparameter.WheelScrollLine : 3
        onAddBtnClicked: root.writeScrollLine(mValue + 1)
        onReduceBtnClicked: root.writeScrollLine(mValue - 1)
        onInputValue: root.writeScrollLine(value)
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
