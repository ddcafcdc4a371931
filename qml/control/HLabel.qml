import QtQuick 2.12
import QtQuick.Controls 2.12

// A label on a coloured ground; width and height come from the text unless the user fixes them.
Label {
    id: root

    property string mColor: "transparent"
    property string mTextName: ""
    property string mTextColor: "#303344"
    property int mFontSize: 14
    property int mTextW: 0
    property int mTextH: 0
    property int mHorizon: Text.AlignHCenter
    property int mVertical: Text.AlignVCenter
    property int mLetterSpacing: 0
    property bool mFontBold: false

    text: mTextName
    color: mTextColor
    width: mTextW > 0 ? g_resolution.getScaleLength(mTextW) : implicitWidth
    height: mTextH > 0 ? g_resolution.getScaleLength(mTextH) : implicitHeight
    horizontalAlignment: mHorizon
    verticalAlignment: mVertical
    font.pixelSize: g_resolution.getScaleLength(Math.max(1, mFontSize))
    font.bold: mFontBold
    font.letterSpacing: mLetterSpacing
    background: Rectangle {
        color: root.mColor
    }
}
