import QtQuick 2.12

// Earlier wheel light settings panel: the settings of the wheel's light zone, under its name from the layout.
Column {
    id: root

    spacing: g_resolution.getScaleLength(10)
    visible: g_image.hasWheel

    Text {
        text: g_lightModel.wheel ? g_lightModel.wheel.name : ""
        color: "#303344"
        font.bold: true
        font.pixelSize: g_resolution.getScaleLength(14)
    }
    KLightInfo {
        objectName: "wheelLight"
        mItem: g_lightModel.wheel
        mZone: 1
    }
}
