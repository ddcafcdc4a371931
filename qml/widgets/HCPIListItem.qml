import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"

// One DPI stage: a select button (makes it current), the switch that turns the stage on or off, a slider
// within the model's range in its steps, and a number field. The row only reports; the list writes.
Item {
    id: root

    property int mCurrentIndex: 0
    property int mIndex: 0
    property bool mIsSelected: false
    property bool mEnable: true
    property string mColor: "#303344"
    property string mColorSel: "#6195C2"
    property int mValue: 0
    property int mMinValue: 0
    property int mMaxValue: 0
    property int mStepSize: 1
    property alias mDpiSlider: mSlider

    signal sig_select(int index)
    signal select(int index)
    signal changeValue(int value, bool moving)
    signal setInitValue(int value)
    signal switchStage(int index)

    onMValueChanged: setInitValue(mValue)
    onSetInitValue: {
        if (!mSlider.pressed)
            mSlider.value = value
        mField.mValue = value
    }

    width: parent ? parent.width : 0
    height: g_resolution.getScaleLength(44)

    Row {
        anchors.verticalCenter: parent.verticalCenter
        spacing: g_resolution.getScaleLength(10)

        Image {
            anchors.verticalCenter: parent.verticalCenter
            width: g_resolution.getScaleLength(16)
            height: width
            source: "qrc:/common/newUI/current_dpi.png"
            opacity: root.mIsSelected ? 1 : 0
        }
        Button {
            objectName: "select"
            anchors.verticalCenter: parent.verticalCenter
            width: g_resolution.getScaleLength(70)
            height: g_resolution.getScaleLength(28)
            enabled: root.mEnable
            onClicked: {
                root.sig_select(root.mIndex)
                root.select(root.mIndex)
            }
            contentItem: Text {
                text: qsTr("DPI") + " " + (root.mIndex + 1)
                color: root.mIsSelected ? "#FFFFFF" : root.mColor
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
                font.pixelSize: g_resolution.getScaleLength(13)
            }
            background: Rectangle {
                radius: g_resolution.getScaleLength(4)
                color: root.mIsSelected ? root.mColorSel : "#FFFFFF"
            }
        }
        Image {
            // Let go at once when the picture changes: a picture left in the cache keeps a timer
            // waking the idle window until it expires.
            cache: false
            objectName: "enable"
            anchors.verticalCenter: parent.verticalCenter
            width: g_resolution.getScaleLength(18)
            height: width
            source: root.mEnable ? "qrc:/common/newUI/cpi_item_able.png" : "qrc:/common/newUI/cpi_item_enable.png"
            MouseArea {
                anchors.fill: parent
                onClicked: root.switchStage(root.mIndex)
            }
        }
        Slider {
            id: mSlider
            objectName: "slider"
            anchors.verticalCenter: parent.verticalCenter
            width: g_resolution.getScaleLength(300)
            enabled: root.mEnable
            from: root.mMinValue
            to: root.mMaxValue
            stepSize: root.mStepSize
            snapMode: Slider.SnapAlways
            onMoved: root.changeValue(Math.round(value), true)
            onPressedChanged: {
                if (!pressed)
                    root.changeValue(Math.round(value), false)
            }
        }
        HNumField {
            id: mField
            objectName: "field"
            anchors.verticalCenter: parent.verticalCenter
            enabled: root.mEnable
            mIndex: root.mIndex
            mIsSelected: root.mIsSelected
            stepValue: root.mStepSize
            onAddBtnClicked: root.changeValue(g_dpiModel.buttonChangeDpi(mValue + 1, mValue), false)
            onReduceBtnClicked: root.changeValue(g_dpiModel.buttonChangeDpi(mValue - 1, mValue), false)
            onInputValue: root.changeValue(g_dpiModel.textChangeDpi(value), false)
        }
    }
}
