import QtQuick 2.12

// Battery gauge of a wireless device: the body picture and fill colour tell the level, the value stands beside.
Item {
    id: root

    property int getBattrey: f_battreyModel.battreyData
    property int bat_value: Math.max(0, Math.min(100, getBattrey))

    readonly property int mLevel: bat_value <= 10 ? 2 : (bat_value <= 30 ? 1 : 0)

    visible: g_image.isWireLess
    width: row.implicitWidth
    height: g_resolution.getScaleLength(20)

    Row {
        id: row
        anchors.verticalCenter: parent.verticalCenter
        spacing: g_resolution.getScaleLength(6)

        Item {
            width: g_resolution.getScaleLength(30)
            height: g_resolution.getScaleLength(14)
            Image {
                // Let go at once when the picture changes: a picture left in the cache keeps a timer
                // waking the idle window until it expires.
                cache: false
                anchors.fill: parent
                source: ["qrc:/common/newUI/battery.png", "qrc:/common/newUI/battery_low.png",
                         "qrc:/common/newUI/battery_warn.png"][root.mLevel]
            }
            Rectangle {
                x: g_resolution.getScaleLength(2)
                anchors.verticalCenter: parent.verticalCenter
                width: (parent.width - g_resolution.getScaleLength(7)) * root.bat_value / 100
                height: parent.height - g_resolution.getScaleLength(4)
                color: ["#49FFE5", "#ff6600", "#FF1A1A"][root.mLevel]
            }
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: root.bat_value + "%"
            color: "#303344"
            font.pixelSize: g_resolution.getScaleLength(12)
        }
    }
}
