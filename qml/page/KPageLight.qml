import QtQuick 2.12
import "qrc:/panel"

// Earlier lighting page: the device's light picture with its zones beside the light settings of the main zone
// and, for a mouse with one, the wheel.
Item {
    id: root

    KLightDev {
        id: mLightDev
        objectName: "lightDev"
        x: g_resolution.getScaleLength(40)
        anchors.verticalCenter: parent.verticalCenter
    }
    FLightInfoPanel {
        objectName: "lightInfoPanel"
        anchors.left: mLightDev.right
        anchors.leftMargin: g_resolution.getScaleLength(60)
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.topMargin: g_resolution.getScaleLength(20)
        anchors.bottom: parent.bottom
    }
}
