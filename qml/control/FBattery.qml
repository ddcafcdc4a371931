import QtQuick 2.12

// Earlier battery gauge: a bar of five segments lit by the level of the wireless device, the value beside it.
Item {
    id: root

    property int mValue: Math.max(0, Math.min(100, f_battreyModel.battreyData))
    property string mColor: mValue <= 20 ? "#FF1A1A" : "#49FFE5"

    visible: g_image.isWireLess
    width: row.implicitWidth
    height: g_resolution.getScaleLength(18)

    Row {
        id: row
        anchors.verticalCenter: parent.verticalCenter
        spacing: g_resolution.getScaleLength(6)

        Rectangle {
            anchors.verticalCenter: parent.verticalCenter
            width: g_resolution.getScaleLength(34)
            height: g_resolution.getScaleLength(14)
            radius: g_resolution.getScaleLength(2)
            color: "transparent"
            border.width: 1
            border.color: "#BAC2CA"
            Row {
                anchors.centerIn: parent
                spacing: g_resolution.getScaleLength(1)
                Repeater {
                    model: 5
                    delegate: Rectangle {
                        width: g_resolution.getScaleLength(5)
                        height: g_resolution.getScaleLength(10)
                        color: root.mValue > index * 20 ? root.mColor : "transparent"
                    }
                }
            }
        }
        FLabel {
            anchors.verticalCenter: parent.verticalCenter
            mText: root.mValue + "%"
            mFontSize: 12
        }
    }
}
