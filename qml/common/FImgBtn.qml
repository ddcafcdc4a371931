import QtQuick 2.12
import QtQuick.Controls 2.12
import "pictures.js" as Pictures

// Image button: one of four pictures from hover and the selected flag.
Button {
    id: root

    property bool mIsSelected: false
    property string mImg: ""
    property string mImgHovered: ""
    property string mImgSel: ""
    property string mImgHoveredSel: ""

    hoverEnabled: true
    padding: 0
    background: Item {}
    contentItem: Image {
        // Let go at once when the picture changes: a picture left in the cache keeps a timer
        // waking the idle window until it expires.
        cache: false
        source: Pictures.choose(root.mIsSelected, root.hovered, root.mImg, root.mImgHovered, root.mImgSel,
                                root.mImgHoveredSel)
        fillMode: Image.PreserveAspectFit
    }
}
