import QtQuick 2.12
import "qrc:/common"

// Earlier light-zone picture: the device's light picture of the chosen zone, with the zone buttons the layout
// places on it. A click on a zone chooses it.
Item {
    id: root

    property int mZone: 0

    signal zoneSelected(int zone)

    readonly property var mZones: Object.keys(g_image.lightImgMap).map(function (key) { return parseInt(key, 10) })
                                  .filter(function (zone) { return !isNaN(zone) })

    width: g_image.lightImgWidth
    height: g_image.lightImgHeight

    Image {
        objectName: "zonePicture"
        anchors.fill: parent
        source: g_image.lightImgMap[String(root.mZone)] || ""
        fillMode: Image.PreserveAspectFit
    }
    Repeater {
        model: root.mZones
        delegate: Rectangle {
            objectName: "zone" + modelData
            x: g_image.lightKeyXMap[String(modelData)] || 0
            y: g_image.lightKeyYMap[String(modelData)] || 0
            width: g_image.lightKeyWidthMap[String(modelData)] || g_resolution.getScaleLength(20)
            height: g_image.lightKeyHeightMap[String(modelData)] || g_resolution.getScaleLength(20)
            radius: g_resolution.getScaleLength(3)
            color: "transparent"
            border.width: modelData === root.mZone ? 2 : 0
            border.color: "#6195C2"
            MouseArea {
                anchors.fill: parent
                onClicked: {
                    root.mZone = modelData
                    root.zoneSelected(modelData)
                }
            }
        }
    }
}
