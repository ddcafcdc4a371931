import QtQuick 2.12

// Text of the interface: every size goes through the scale object, the family falls back to the program's font.
Text {
    id: root

    property string mTextName: ""
    property int mFontSize: 14
    property string mTextColor: "#303344"
    property bool mFontBold: false
    property string mFontFamily: ""

    text: mTextName
    color: mTextColor
    font.pixelSize: g_resolution.getScaleLength(Math.max(1, mFontSize))
    font.bold: mFontBold
    font.family: mFontFamily !== "" ? mFontFamily : Qt.application.font.family
    verticalAlignment: Text.AlignVCenter
}
