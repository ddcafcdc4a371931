import QtQuick 2.12

// Hover tip: a bubble picture with the text laid over it.
Rectangle {
    id: root

    property bool mVisible: false
    property string mBtnTipsImage: ""
    property string mText: ""
    property int mImageWidth: 0
    property int mFontSize: 12
    property string mTxtColor: "#303344"
    property int mRadiu: 4

    visible: mVisible
    width: mImageWidth > 0 ? g_resolution.getScaleLength(mImageWidth) : tipText.implicitWidth + g_resolution.getScaleLength(24)
    height: g_resolution.getScaleLength(30)
    radius: g_resolution.getScaleLength(mRadiu)
    color: mBtnTipsImage === "" ? "#FFFFFF" : "transparent"

    Image {
        anchors.fill: parent
        visible: root.mBtnTipsImage !== ""
        source: root.mBtnTipsImage
    }
    Text {
        id: tipText
        anchors.centerIn: parent
        text: root.mText
        color: root.mTxtColor
        font.pixelSize: g_resolution.getScaleLength(Math.max(1, root.mFontSize))
    }
}
