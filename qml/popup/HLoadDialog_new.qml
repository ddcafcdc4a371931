import QtQuick 2.12
import QtQuick.Controls 2.12

// Busy indicator: a ring turning without end around a picture of the device (the keyboard's for a keyboard).
// Modal: the window takes no input until the work is done.
Popup {
    id: root

    // How long the indicator may stay at most, in ms (the busy object's own timer closes it).
    property int mTime: 2000

    function startLoading() {
        open()
    }
    function stopLoading() {
        close()
    }

    parent: Overlay.overlay
    x: parent ? Math.round((parent.width - width) / 2) : 0
    y: parent ? Math.round((parent.height - height) / 2) : 0
    z: 10
    width: g_resolution.getScaleLength(160)
    height: width
    padding: 0
    modal: true
    closePolicy: Popup.NoAutoClose

    contentItem: Item {
        Image {
            // Let go at once when the picture changes: a picture left in the cache keeps a timer
            // waking the idle window until it expires.
            cache: false
            objectName: "devicePicture"
            anchors.centerIn: parent
            width: parent.width * 0.55
            height: width
            fillMode: Image.PreserveAspectFit
            source: g_deviceCtl.deviceType === 2 ? "qrc:/common/newUI/loading_keyboard.png"
                                                 : "qrc:/common/newUI/device_loading.png"
        }
        Image {
            objectName: "ring"
            anchors.fill: parent
            source: "qrc:/common/newUI/loading.png"
            RotationAnimation on rotation {
                running: root.visible
                loops: Animation.Infinite
                from: 0
                to: 360
                duration: 1200
            }
        }
    }
}
