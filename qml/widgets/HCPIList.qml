import QtQuick 2.12
import QtQuick.Controls 2.12

// The DPI stages of the mouse: seven rows, of which the model's number are shown. Selecting a row makes that
// stage current on the mouse; a slider shows its value while it moves and writes on release; the field's
// buttons and typed values are snapped by the model and written. Every row tells the floating DPI tip.
Item {
    id: root

    property var mItems: [mIndex1, mIndex2, mIndex3, mIndex4, mIndex5, mIndex6, mIndex7]
    property string mConfigPath: ""
    property var mEnable: g_dpiModel.enable
    property var mValues: g_dpiModel.values

    // Whether stage index is switched on.
    function dpiEnable(index) {
        return mEnable !== undefined && index < mEnable.length ? mEnable[index] : false
    }

    function writeValue(index, value, moving) {
        if (moving) {
            mItems[index].setInitValue(value)
        } else {
            g_dpiModel.setDpi(index, value)
            mItems[index].setInitValue(g_dpiModel.values[index])
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

    readonly property var mIndex1: mRows.itemAt(0)
    readonly property var mIndex2: mRows.itemAt(1)
    readonly property var mIndex3: mRows.itemAt(2)
    readonly property var mIndex4: mRows.itemAt(3)
    readonly property var mIndex5: mRows.itemAt(4)
    readonly property var mIndex6: mRows.itemAt(5)
    readonly property var mIndex7: mRows.itemAt(6)
}
