import QtQuick 2.12

// Earlier text: the interface's dark text in one size.
Text {
    property string mText: ""
    property int mFontSize: 14

    text: mText
    color: "#303344"
    font.pixelSize: g_resolution.getScaleLength(Math.max(1, mFontSize))
    verticalAlignment: Text.AlignVCenter
}
