import QtQuick 2.12
import QtQuick.Controls 2.12

// Text input on its own ground with a border; the name is the hint shown while the field is empty.
TextField {
    id: root

    property string mBGColor: "#FFFFFF"
    property string mTextName: ""
    property string mTextColor: "#303344"
    property string mColor: "#9AA3AE"
    property int mFontSize: 14
    property string mBorderColor: "#BAC2CA"

    placeholderText: mTextName
    placeholderTextColor: mColor
    color: mTextColor
    selectByMouse: true
    font.pixelSize: g_resolution.getScaleLength(Math.max(1, mFontSize))
    leftPadding: g_resolution.getScaleLength(10)
    background: Rectangle {
        color: root.mBGColor
        radius: g_resolution.getScaleLength(4)
        border.width: 1
        border.color: root.activeFocus ? "#6195C2" : root.mBorderColor
    }
}
