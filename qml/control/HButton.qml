import QtQuick 2.12
import QtQuick.Controls 2.12

// Push button with text: the ground follows normal, hover and press, with an optional border and underline.
Button {
    id: root

    property int mTextWidth: 100
    property int mTextHeight: 32
    property string mHoverColor: "#6195C2"
    property string mPressedColor: "#4A7BA6"
    property string mNormal: "#303344"
    property string mColor: mNormal
    property string mTextName: ""
    property string mTextColor: "#FFFFFF"
    property string mBorderColor: "transparent"
    property int mFontsize: 14
    property bool mUnderline: false
    property bool mFontBold: false
    property int mRadius: 4

    implicitWidth: g_resolution.getScaleLength(mTextWidth)
    implicitHeight: g_resolution.getScaleLength(mTextHeight)
    hoverEnabled: true
    text: mTextName

    contentItem: Text {
        text: root.mTextName
        color: root.mTextColor
        font.pixelSize: g_resolution.getScaleLength(Math.max(1, root.mFontsize))
        font.underline: root.mUnderline
        font.bold: root.mFontBold
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }
    background: Rectangle {
        radius: root.mRadius
        border.width: root.mBorderColor === "transparent" ? 0 : 1
        border.color: root.mBorderColor
        color: root.down ? root.mPressedColor : (root.hovered ? root.mHoverColor : root.mColor)
    }
}
