import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"

// Notice after registering; it closes itself after a few seconds.
Popup {
    id: root

    property int count: 3

    onOpened: {
        count = 3
        mCountDown.restart()
    }
    onClosed: mCountDown.stop()

    Timer {
        id: mCountDown
        objectName: "countDown"
        interval: 1000
        repeat: true
        onTriggered: {
            root.count -= 1
            if (root.count <= 0)
                root.close()
        }
    }

    parent: Overlay.overlay
    x: parent ? Math.round((parent.width - width) / 2) : 0
    y: parent ? Math.round((parent.height - height) / 2) : 0
    z: 2
    width: g_resolution.getScaleLength(420)
    height: g_resolution.getScaleLength(180)
    padding: g_resolution.getScaleLength(24)
    closePolicy: Popup.CloseOnEscape

    background: Rectangle {
        color: "#FFFFFF"
        radius: g_resolution.getScaleLength(8)
        border.color: "#BAC2CA"
    }

    contentItem: Item {
        Text {
            id: mTitle
            width: parent.width
            wrapMode: Text.WordWrap
            text: qsTr("You have successfully registered. You can enjoy the cloud synchronization function by logging in.")
            color: "#303344"
            font.pixelSize: g_resolution.getScaleLength(15)
        }
        Text {
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            text: root.count + "s"
            color: "#9AA3AE"
            font.pixelSize: g_resolution.getScaleLength(12)
        }
    }
}
