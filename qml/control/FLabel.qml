import QtQuick 2.12

// Earlier text label: one line in the interface's colour, cut at its width when the user fixes one.
Text {
    property string mText: ""
    property string mColor: "#303344"
    property int mFontSize: 14
    property bool mFontBold: false
    property int mWidth: 0

    text: mText
    color: mColor
    width: mWidth > 0 ? g_resolution.getScaleLength(mWidth) : implicitWidth
    elide: mWidth > 0 ? Text.ElideRight : Text.ElideNone
    font.pixelSize: g_resolution.getScaleLength(Math.max(1, mFontSize))
    font.bold: mFontBold
    verticalAlignment: Text.AlignVCenter
}
