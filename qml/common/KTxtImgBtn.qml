import QtQuick 2.12
import QtQuick.Controls 2.12
import "pictures.js" as Pictures

// Picture with a text beside it; picture and text colour each follow hover and the selected flag.
Button {
    id: root

    property bool mIsSelected: false
    property string mImg: ""
    property string mImgHovered: ""
    property string mImgSel: ""
    property string mImgHoveredSel: ""
    property string mText: ""
    property string mColor: "#303344"
    property string mColorHovered: ""
    property string mColorSel: ""
    property string mColorHoveredSel: ""
    property int mFontSize: 14
    property bool mFontBold: false
    property int mHorizontalAlignment: Text.AlignLeft
    property int mVerticalAlignment: Text.AlignVCenter

    hoverEnabled: true
    text: mText
    background: Item {}
    contentItem: Row {
        spacing: g_resolution.getScaleLength(6)
        Image {
            // Let go at once when the picture changes: a picture left in the cache keeps a timer
            // waking the idle window until it expires.
            cache: false
            id: picture
            anchors.verticalCenter: parent.verticalCenter
            visible: source != ""
            source: Pictures.choose(root.mIsSelected, root.hovered, root.mImg, root.mImgHovered, root.mImgSel,
                                    root.mImgHoveredSel)
        }
        Text {
            width: root.availableWidth - (picture.visible ? picture.width + parent.spacing : 0)
            height: root.availableHeight
            text: root.mText
            color: Pictures.choose(root.mIsSelected, root.hovered, root.mColor, root.mColorHovered, root.mColorSel,
                                   root.mColorHoveredSel)
            font.pixelSize: g_resolution.getScaleLength(Math.max(1, root.mFontSize))
            font.bold: root.mFontBold
            horizontalAlignment: root.mHorizontalAlignment
            verticalAlignment: root.mVerticalAlignment
            elide: Text.ElideRight
        }
    }
}
