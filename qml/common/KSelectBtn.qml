import QtQuick 2.12
import QtQuick.Controls 2.12

// Earlier selectable button: a bordered text button, filled while selected; mIndex goes out with the click.
Button {
    id: root

    property bool mIsSelected: false
    property int mIndex: 0
    property string mText: ""
    property int mFontSize: 13

    signal selected(int index)

    hoverEnabled: true
    text: mText
    implicitHeight: g_resolution.getScaleLength(30)
    onClicked: selected(mIndex)
    contentItem: Text {
        text: root.mText
        color: root.mIsSelected ? "#FFFFFF" : (root.hovered ? "#6195C2" : "#303344")
        font.pixelSize: g_resolution.getScaleLength(Math.max(1, root.mFontSize))
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }
    background: Rectangle {
        radius: g_resolution.getScaleLength(3)
        color: root.mIsSelected ? "#6195C2" : "#FFFFFF"
        border.width: 1
        border.color: root.mIsSelected || root.hovered ? "#6195C2" : "#BAC2CA"
    }
}
