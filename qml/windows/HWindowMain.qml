import QtQuick 2.15
import QtQuick.Window 2.15

// The program's main window until the full set of pages arrives: the connected device and its picture.
Window {
    id: mainWindow

    property var mPictures: g_uiManager.mouseMap()
    property string mDeviceName: g_image.deviceName

    width: g_resolution.getScaleLength(960)
    height: g_resolution.getScaleLength(600)
    minimumWidth: g_resolution.getScaleLength(480)
    minimumHeight: g_resolution.getScaleLength(300)
    visible: true
    title: g_common.getAppName() + " " + g_common.getAppVersion()
    color: "#1b1f24"

    Connections {
        target: g_uiManager
        function onSetWindowStatus(status) {
            if (status) {
                mainWindow.show()
                mainWindow.raise()
                mainWindow.requestActivate()
            } else {
                mainWindow.hide()
            }
        }
    }

    // With a notification area the window goes to the tray; without one it could not be brought back, so it
    // is minimised instead. The tray's "Exit procedure" ends the program.
    onClosing: {
        close.accepted = false
        if (g_uiManager.trayAvailable)
            mainWindow.hide()
        else
            mainWindow.showMinimized()
    }

    Column {
        anchors.centerIn: parent
        spacing: g_resolution.getScaleLength(24)

        Image {
            anchors.horizontalCenter: parent.horizontalCenter
            width: g_resolution.getScaleLength(240)
            height: g_resolution.getScaleLength(120)
            fillMode: Image.PreserveAspectFit
            visible: mainWindow.mDeviceName !== "" && source != ""
            source: mainWindow.mPictures[mainWindow.mDeviceName] || ""
        }

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            color: "#e6edf3"
            font.pixelSize: g_resolution.getScaleLength(22)
            text: mainWindow.mDeviceName === "" ? qsTr("No device connected")
                                                : qsTr("Connected device: %1").arg(mainWindow.mDeviceName)
        }
    }
}
