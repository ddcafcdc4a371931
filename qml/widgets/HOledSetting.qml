import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"
import "qrc:/control"

// Earlier OLED settings: the screen's brightness (written on release) and what the screen shows.
Column {
    id: root

    readonly property var mModes: [
        {"text": qsTr("DPI display"), "mode": 0},
        {"text": qsTr("APM display"), "mode": 1},
        {"text": qsTr("Mode display"), "mode": 2},
        {"text": qsTr("Return rate"), "mode": 3},
        {"text": qsTr("Mobile mileage"), "mode": 4},
        {"text": qsTr("Display brightness value"), "mode": 5},
        {"text": qsTr("Custom text/image"), "mode": 8},
        {"text": qsTr("Trun off OLED"), "mode": 9}
    ]

    spacing: g_resolution.getScaleLength(10)

    KQuorText { mText: qsTr("Display brightness value") }
    Row {
        spacing: g_resolution.getScaleLength(8)
        KQuorText2 { anchors.verticalCenter: parent.verticalCenter; mText: qsTr("Low") }
        Slider {
            objectName: "oledLight"
            width: g_resolution.getScaleLength(200)
            from: 0
            to: 100
            stepSize: 1
            value: f_oledModel.oledLight
            onPressedChanged: {
                if (!pressed)
                    f_oledModel.setOledLight(Math.round(value))
            }
        }
        KQuorText2 { anchors.verticalCenter: parent.verticalCenter; mText: qsTr("Hight") }
    }
    KQuorText { mText: qsTr("OLED display") }
    Grid {
        columns: 2
        spacing: g_resolution.getScaleLength(8)
        Repeater {
            model: root.mModes
            delegate: KSelectBtn {
                objectName: "oledMode" + modelData.mode
                width: g_resolution.getScaleLength(150)
                mText: modelData.text
                mIndex: modelData.mode
                mIsSelected: f_oledModel.oledMode === modelData.mode
                onSelected: f_oledModel.changeMode(index)
            }
        }
    }
}
