import QtQuick 2.12
import QtQuick.Controls 2.12
import "pictures.js" as Pictures

// Text button whose ground and text colours follow hover and the selected flag.
Button {
    id: root

    property bool mIsSelect: false
    property int mTextWidth: 0
    property string mBgColor: "transparent"
    property string mBgColorHovered: ""
    property string mBgColorSel: ""
    property string mBgColorHoveredSel: ""
    property string stepText: ""
    property string mText: ""
    property string mColor: "#303344"
    property string mColorHovered: ""
    property string mColorSel: ""
    property string mColorHoveredSel: ""
    property int mRadius: 0
    property int mFontSize: 14
    property bool mFontBold: false
    property bool mFontUnderLine: false
    property int mHorizontalAlignment: Text.AlignHCenter
    property int mVerticalAlignment: Text.AlignVCenter

    hoverEnabled: true
    text: mText
    implicitWidth: mTextWidth > 0 ? g_resolution.getScaleLength(mTextWidth)
                                  : label.implicitWidth + leftPadding + rightPadding
    contentItem: Text {
        id: label
        text: root.mText
        color: Pictures.choose(root.mIsSelect, root.hovered, root.mColor, root.mColorHovered, root.mColorSel,
                               root.mColorHoveredSel)
        font.pixelSize: g_resolution.getScaleLength(Math.max(1, root.mFontSize))
        font.bold: root.mFontBold
        font.underline: root.mFontUnderLine
        horizontalAlignment: root.mHorizontalAlignment
        verticalAlignment: root.mVerticalAlignment
        elide: Text.ElideRight
    }
    background: Rectangle {
        radius: g_resolution.getScaleLength(root.mRadius)
        color: Pictures.choose(root.mIsSelect, root.hovered, root.mBgColor, root.mBgColorHovered, root.mBgColorSel,
                               root.mBgColorHoveredSel)
    }
}
