import QtQuick 2.12
import QtQuick.Controls 2.12

// Earlier number field: an input with small up and down arrows. Like the later fields it only reports: the
// arrows emit addBtnClicked and reduceBtnClicked, a typed number goes out through inputValue.
Item {
    id: root

    property int mValue: 0
    property int mFieldWidth: 60
    property int mFieldHeight: 26

    signal addBtnClicked()
    signal reduceBtnClicked()
    signal inputValue(var value)

    implicitWidth: field.width + arrows.width
    implicitHeight: field.height
    onMValueChanged: field.text = String(mValue)

    TextField {
        id: field
        objectName: "input"
        width: g_resolution.getScaleLength(root.mFieldWidth)
        height: g_resolution.getScaleLength(root.mFieldHeight)
        padding: 0
        text: String(root.mValue)
        selectByMouse: true
        horizontalAlignment: TextInput.AlignHCenter
        verticalAlignment: TextInput.AlignVCenter
        font.pixelSize: g_resolution.getScaleLength(13)
        validator: RegExpValidator { regExp: /-?[0-9]{0,9}/ }
        background: Rectangle {
            border.width: 1
            border.color: field.activeFocus ? "#6195C2" : "#BAC2CA"
        }
        onEditingFinished: {
            if (text !== "" && text !== "-" && text !== String(root.mValue))
                root.inputValue(parseInt(text, 10))
        }
    }
    Column {
        id: arrows
        anchors.left: field.right
        width: g_resolution.getScaleLength(18)
        Repeater {
            model: ["\u25B2", "\u25BC"]
            delegate: Button {
                width: arrows.width
                height: field.height / 2
                padding: 0
                contentItem: Text {
                    text: modelData
                    color: parent.hovered ? "#6195C2" : "#303344"
                    font.pixelSize: g_resolution.getScaleLength(8)
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                }
                background: Rectangle {
                    border.width: 1
                    border.color: "#BAC2CA"
                }
                onClicked: index === 0 ? root.addBtnClicked() : root.reduceBtnClicked()
            }
        }
    }
}
