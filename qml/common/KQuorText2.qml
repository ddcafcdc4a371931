import QtQuick 2.12

// Earlier text, second style: a lighter, smaller note text that wraps at its width.
Text {
    property string mText: ""
    property int mFontSize: 12

    text: mText
    color: "#7F8A99"
    wrapMode: Text.WordWrap
    font.pixelSize: g_resolution.getScaleLength(Math.max(1, mFontSize))
}
