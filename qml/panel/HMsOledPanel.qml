import QtQuick 2.12
import QtQuick.Controls 2.12
import Model 1.0
import "qrc:/common"
import "qrc:/widgets"

// Earlier OLED panel: the picture editor at the screen's size with text, brush, undo and clear, "Save changes"
// that uploads the picture to the mouse, and the screen's settings beside it.
Row {
    id: root

    property bool mBrush: false

    function saveToMouse() {
        if (!mPaintView.savePicture("")) {
            console.log("[Error] the OLED picture could not be saved")
            return
        }
        f_oledModel.setPictureToMouse()
    }

    spacing: g_resolution.getScaleLength(30)

    Connections {
        target: g_image
        function onDeviceNameChanged() { mPaintView.deviceChanged() }
    }

    Column {
        spacing: g_resolution.getScaleLength(10)
        Row {
            spacing: g_resolution.getScaleLength(8)
            KQuorField {
                objectName: "oledText"
                width: g_resolution.getScaleLength(160)
                placeholderText: qsTr("Enter text")
                onTextEdited: mPaintView.textInput(text)
            }
            KCheckBox {
                objectName: "brush"
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr("Brush tool")
                onToggled: mPaintView.setPaintState(checked)
            }
        }
        Rectangle {
            width: mPaintView.width + g_resolution.getScaleLength(8)
            height: mPaintView.height + g_resolution.getScaleLength(8)
            color: "#000000"
            border.width: 1
            border.color: "#BAC2CA"
            FPaintView {
                id: mPaintView
                objectName: "paintView"
                anchors.centerIn: parent
                width: oledWidth
                height: oledHight
                // The editor draws on the background shown behind it: bright ink on black, dark on white, as
                // the screen will light it.
                fillColor: "#000000"
                Component.onCompleted: deviceChanged()
            }
        }
        Row {
            spacing: g_resolution.getScaleLength(8)
            KSelectBtn { objectName: "undo"; width: g_resolution.getScaleLength(70); mText: "\u21B6"; onSelected: mPaintView.undo() }
            KSelectBtn { objectName: "clear"; width: g_resolution.getScaleLength(70); mText: "\u2715"; onSelected: mPaintView.clear() }
            KQuorButton1 {
                objectName: "saveChanges"
                width: g_resolution.getScaleLength(140)
                mText: qsTr("Save changes")
                onClicked: root.saveToMouse()
            }
        }
    }
    HOledSetting {
        objectName: "oledSetting"
    }
}
