import QtQuick 2.12
import QtQuick.Controls 2.12

// Busy indicator of the earlier window: a turning ring, modal, so the window takes no input until the work is
// done. The busy object's own timer bounds how long it stays.
Popup {
    id: root

    function startLoading() {
        open()
    }
    function stopLoading() {
        close()
    }

    modal: true
    closePolicy: Popup.NoAutoClose
    anchors.centerIn: Overlay.overlay
    width: g_resolution.getScaleLength(120)
    height: width
    padding: 0
    background: Item {}

    contentItem: Image {
        objectName: "ring"
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
