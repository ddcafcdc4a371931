import QtQuick 2.12
import QtQuick.Controls 2.12
import "pictures.js" as Pictures

// Text button with a line under the text; colours follow hover and press.
Button {
    id: root

    property string hoverColor: "#6195C2"
    property string pressedColor: "#4A7BA6"
    property string commonColor: "#303344"
    property int textWidth: 0
    property int mFontSize: 14
    property int mUnderlineMargin: 2
    property int mUnderlineThick: 1
    property string mHorizontalAlignment: "center"
    property string mVerticalAlignment: "center"
    property string mText: ""

    readonly property string mCurrentColor: down ? pressedColor : (hovered ? hoverColor : commonColor)

    hoverEnabled: true
    text: mText
    // No room around the text: the style's horizontal and vertical paddings too.
    padding: 0
    horizontalPadding: 0
    verticalPadding: 0
    implicitWidth: textWidth > 0 ? g_resolution.getScaleLength(textWidth) : label.implicitWidth
    implicitHeight: label.implicitHeight + g_resolution.getScaleLength(mUnderlineMargin + mUnderlineThick)
    background: Item {}
    contentItem: Item {
        Text {
            id: label
            anchors.fill: parent
            anchors.bottomMargin: g_resolution.getScaleLength(root.mUnderlineMargin + root.mUnderlineThick)
            text: root.mText
            color: root.mCurrentColor
            font.pixelSize: g_resolution.getScaleLength(Math.max(1, root.mFontSize))
            horizontalAlignment: Pictures.horizontal(root.mHorizontalAlignment)
            verticalAlignment: Pictures.vertical(root.mVerticalAlignment)
        }
        Rectangle {
            anchors.bottom: parent.bottom
            x: label.horizontalAlignment === Text.AlignLeft ? 0
               : (label.horizontalAlignment === Text.AlignRight ? parent.width - width : (parent.width - width) / 2)
            width: Math.min(label.contentWidth, parent.width)
            height: Math.max(1, g_resolution.getScaleLength(root.mUnderlineThick))
            color: root.mCurrentColor
        }
    }
}
