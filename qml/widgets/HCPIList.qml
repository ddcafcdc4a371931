import QtQuick 2.12
import QtQuick.Controls 2.12

// The DPI stages of the mouse: seven rows, of which the model's number are shown. Selecting a row makes that
// stage current on the mouse; a slider shows its value while it moves and writes on release; the field's
// buttons and typed values are snapped by the model and written. Every row tells the floating DPI tip.
Item {
    id: root

    property string mConfigPath: ""
    property var mEnable: g_dpiModel.enable
    property var mValues: g_dpiModel.values

    // Whether stage index is switched on.
    function dpiEnable(index) {
        return mEnable !== undefined && index < mEnable.length ? mEnable[index] : false
    }

    // The row is asked of the repeater each time: its rows are made after this list, so a list of them taken
    // once could hold none.
    function writeValue(index, value, moving) {
        var row = mRows.itemAt(index)
        if (moving) {
            if (row)
                row.setInitValue(value)
        } else {
            g_dpiModel.setDpi(index, value)
            if (row)
                row.setInitValue(g_dpiModel.values[index])
        }
        h_suspension.sigShowSetCpiTips(String(value))
    }

    Column {
        anchors.fill: parent
        spacing: g_resolution.getScaleLength(6)
        Repeater {
            id: mRows
            model: 7
            delegate: HCPIListItem {
                objectName: "dpiRow" + (index + 1)
                visible: index < g_dpiModel.number
                mIndex: index
                mIsSelected: index === g_dpiModel.currentIndex
                mEnable: root.dpiEnable(index)
                mValue: root.mValues !== undefined && index < root.mValues.length ? root.mValues[index] : 0
                mMinValue: g_dpiModel.minValue
                mMaxValue: g_dpiModel.maxValue
                mStepSize: Math.max(1, g_dpiModel.stepValue)
                onSelect: g_dpiModel.writeCurrentDpi(index)
                onSwitchStage: g_dpiModel.selectDpi(index + 1)
                onChangeValue: root.writeValue(mIndex, value, moving)
            }
        }
    }
}
