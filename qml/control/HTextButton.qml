import QtQuick 2.12
import QtQuick.Controls 2.12

// Earlier text button: text only, coloured on hover and press, with an optional underline.
Button {
    id: root

    property string mText: ""
    property string mColor: "#303344"
    property string mColorHovered: "#6195C2"
    property string mColorPressed: "#4A7BA6"
    property int mFontSize: 14
    property bool mUnderline: false

    hoverEnabled: true
    flat: true
    text: mText
    padding: g_resolution.getScaleLength(4)
    contentItem: Text {
        text: root.mText
        color: root.down ? root.mColorPressed : (root.hovered ? root.mColorHovered : root.mColor)
        font.pixelSize: g_resolution.getScaleLength(Math.max(1, root.mFontSize))
        font.underline: root.mUnderline
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }
    background: Item {}
}
