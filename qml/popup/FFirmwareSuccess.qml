import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/control"

// The upgrade finished; the notice closes itself after count seconds.
Popup {
    id: root

    property int count: 3

    modal: true
    anchors.centerIn: Overlay.overlay
    width: g_resolution.getScaleLength(300)
    height: g_resolution.getScaleLength(140)
    background: Rectangle { radius: g_resolution.getScaleLength(8); color: "#FFFFFF" }

    onOpened: {
        count = 3
        mTimer.restart()
    }

    Timer {
        id: mTimer
        interval: 1000
        repeat: true
        onTriggered: {
            root.count -= 1
            if (root.count <= 0) {
                stop()
                root.close()
            }
        }
    }

    HText {
        anchors.centerIn: parent
        mTextName: qsTr("Upgrade successed")
        mFontSize: 16
    }
}
