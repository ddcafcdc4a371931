import QtQuick 2.12

// Number field of the OLED page, in the page's accent colour.
HNumField {
    property string mColor: "#6195C2"

    mAccentColor: mColor
    mFieldWidth: 48
    mFieldHeight: 24
    mBtnWidth: 22
    mBtnHeight: 24
}
