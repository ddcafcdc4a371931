import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"

// Earlier DPI stage: a select button, a slider within the model's range and a number field. The row only
// reports; its list writes.
Item {
    id: root

    property int mIndex: 0
    property bool mIsSelected: false
    property int mValue: 0

    signal select(int index)
    signal changeValue(int value, bool moving)

    onMValueChanged: {
        if (!mSlider.pressed)
            mSlider.value = mValue
        mField.mValue = mValue
    }

    width: parent ? parent.width : 0
    height: g_resolution.getScaleLength(40)

    Row {
        anchors.verticalCenter: parent.verticalCenter
        spacing: g_resolution.getScaleLength(10)

        KSelectBtn {
            objectName: "select"
            anchors.verticalCenter: parent.verticalCenter
            width: g_resolution.getScaleLength(70)
            mText: qsTr("DPI") + " " + (root.mIndex + 1)
            mIndex: root.mIndex
            mIsSelected: root.mIsSelected
            onSelected: root.select(index)
        }
        Slider {
            id: mSlider
            objectName: "slider"
            anchors.verticalCenter: parent.verticalCenter
            width: g_resolution.getScaleLength(260)
            from: g_dpiModel.minValue
            to: Math.max(g_dpiModel.minValue, g_dpiModel.maxValue)
            stepSize: Math.max(1, g_dpiModel.stepValue)
            snapMode: Slider.SnapAlways
            value: root.mValue
            onMoved: root.changeValue(Math.round(value), true)
            onPressedChanged: {
                if (!pressed)
                    root.changeValue(Math.round(value), false)
            }
        }
        KNumField {
            id: mField
            objectName: "field"
            anchors.verticalCenter: parent.verticalCenter
            mValue: root.mValue
            onAddBtnClicked: root.changeValue(g_dpiModel.buttonChangeDpi(mValue + 1, mValue), false)
            onReduceBtnClicked: root.changeValue(g_dpiModel.buttonChangeDpi(mValue - 1, mValue), false)
            onInputValue: root.changeValue(g_dpiModel.textChangeDpi(value), false)
        }
    }
}
