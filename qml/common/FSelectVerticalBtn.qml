import QtQuick 2.12
import "pictures.js" as Pictures

// Picture above a text; both follow hover and the selected flag. A click emits sig_clicked.
Item {
    id: root

    property bool mIsSelected: false
    property int contextwidth: 80
    property int mTextWidget: 80
    property int mTextHeight: 20
    property int mMargin: 6
    property string mImg: ""
    property string mImgHovered: ""
    property string mImgSel: ""
    property string mImgHoveredSel: ""
    property string mText: ""
    property string mColor: "#303344"
    property string mColorHovered: ""
    property string mColorSel: ""
    property string mColorHoveredSel: ""
    property int mFontSize: 13
    property bool mFontBold: false
    property int mHorizontalAlignment: Text.AlignHCenter
    property int mVerticalAlignment: Text.AlignVCenter

    signal sig_clicked()

    implicitWidth: g_resolution.getScaleLength(contextwidth)
    implicitHeight: column.implicitHeight

    Column {
        id: column
        anchors.horizontalCenter: parent.horizontalCenter
        spacing: g_resolution.getScaleLength(root.mMargin)

        Image {
            anchors.horizontalCenter: parent.horizontalCenter
            visible: source != ""
            source: Pictures.choose(root.mIsSelected, mouse.containsMouse, root.mImg, root.mImgHovered, root.mImgSel,
                                    root.mImgHoveredSel)
        }
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            width: g_resolution.getScaleLength(root.mTextWidget)
            height: g_resolution.getScaleLength(root.mTextHeight)
            text: root.mText
            color: Pictures.choose(root.mIsSelected, mouse.containsMouse, root.mColor, root.mColorHovered,
                                   root.mColorSel, root.mColorHoveredSel)
            font.pixelSize: g_resolution.getScaleLength(Math.max(1, root.mFontSize))
            font.bold: root.mFontBold
            horizontalAlignment: root.mHorizontalAlignment
            verticalAlignment: root.mVerticalAlignment
            elide: Text.ElideRight
        }
    }
    MouseArea {
        id: mouse
        anchors.fill: parent
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor
        onClicked: root.sig_clicked()
    }
}
