import QtQuick 2.12

// One key of the mouse picture: its number and name; highlighted while chosen.
KTxtBtn {
    property int mKey: 0

    mFontSize: 12
    mColor: "#303344"
    mColorSel: "#FFFFFF"
    mColorHovered: "#6195C2"
    mBgColor: "#FFFFFF"
    mBgColorSel: "#6195C2"
    mRadius: 4
}
