import QtQuick 2.12
import QtQuick.Controls 2.12

// A number with reduce and add buttons either side and an input between them. The field only reports: the
// buttons emit reduceBtnClicked and addBtnClicked, a typed number goes out through inputValue as typed, and the
// user applies its own bounds and sets mValue back. stepValue is what the user's buttons step by.
Item {
    id: root

    property bool mIsSelected: false
    property int mFieldWidth: 64
    property int mFieldHeight: 26
    property int mImageWidth: 12
    property int mImageHeight: 12
    property int mCpiBtnLabelWidth: 0
    property int mCpiBtnLabelHeight: 0
    property int mBtnWidth: 24
    property int mBtnHeight: 26
    property int mIndex: 0
    property int mValue: 0
    property int stepValue: 1
    property string mAccentColor: "#6195C2"

    readonly property int mSpacing: g_resolution.getScaleLength(4)

    signal addBtnClicked()
    signal reduceBtnClicked()
    signal inputValue(var value)

    implicitWidth: 2 * g_resolution.getScaleLength(mBtnWidth) + field.width + 2 * mSpacing
    implicitHeight: Math.max(g_resolution.getScaleLength(mBtnHeight), field.height)

    onMValueChanged: field.text = String(mValue)

    // A typed number goes out once per edit; leaving an untouched field sends nothing.
    function submit() {
        if (field.text === "" || field.text === "-" || field.text === String(mValue))
            return
        inputValue(parseInt(field.text, 10))
    }

    Repeater {
        model: [false, true]
        delegate: Button {
            x: modelData ? field.x + field.width + root.mSpacing : 0
            anchors.verticalCenter: parent.verticalCenter
            width: g_resolution.getScaleLength(root.mBtnWidth)
            height: g_resolution.getScaleLength(root.mBtnHeight)
            hoverEnabled: true
            padding: 0
            contentItem: Text {
                text: modelData ? "+" : "\u2212"
                color: parent.hovered || root.mIsSelected ? root.mAccentColor : "#303344"
                font.pixelSize: g_resolution.getScaleLength(Math.max(1, root.mImageHeight + 4))
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
            }
            background: Rectangle {
                radius: g_resolution.getScaleLength(3)
                color: parent.down ? "#DEE9F1" : "#FFFFFF"
                border.width: 1
                border.color: "#BAC2CA"
            }
            onClicked: modelData ? root.addBtnClicked() : root.reduceBtnClicked()
        }
    }

    TextField {
        id: field
        x: g_resolution.getScaleLength(root.mBtnWidth) + root.mSpacing
        anchors.verticalCenter: parent.verticalCenter
        width: g_resolution.getScaleLength(root.mFieldWidth)
        height: g_resolution.getScaleLength(root.mFieldHeight)
        padding: 0
        text: String(root.mValue)
        horizontalAlignment: TextInput.AlignHCenter
        verticalAlignment: TextInput.AlignVCenter
        selectByMouse: true
        color: "#303344"
        font.pixelSize: g_resolution.getScaleLength(13)
        validator: RegExpValidator { regExp: /-?[0-9]{0,9}/ }
        background: Rectangle {
            radius: g_resolution.getScaleLength(3)
            border.width: 1
            border.color: field.activeFocus || root.mIsSelected ? root.mAccentColor : "#BAC2CA"
        }
        onAccepted: root.submit()
        onEditingFinished: root.submit()
    }
}
