import QtQuick 2.12
import QtQuick.Controls 2.12

// Earlier lighting panel: the main zone's settings and, for a mouse with a wheel light, the wheel's beside them.
Flickable {
    id: root

    contentHeight: row.height
    contentWidth: row.width
    clip: true
    boundsBehavior: Flickable.StopAtBounds

    Row {
        id: row
        spacing: g_resolution.getScaleLength(40)
        Column {
            spacing: g_resolution.getScaleLength(10)
            Text {
                text: g_lightModel.logo ? g_lightModel.logo.name : ""
                color: "#303344"
                font.bold: true
                font.pixelSize: g_resolution.getScaleLength(14)
            }
            KLightInfo {
                objectName: "mainLight"
                mItem: g_lightModel.logo
                mZone: 0
            }
        }
        FWheelLightInfo {
            objectName: "wheelLightInfo"
        }
    }
}
