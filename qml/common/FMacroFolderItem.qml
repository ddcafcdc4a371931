import QtQuick 2.12

// One entry of a macro folder menu.
KTxtBtn {
    width: parent ? parent.width : implicitWidth
    height: g_resolution.getScaleLength(30)
    mFontSize: 13
    mColor: "#303344"
    mColorHovered: "#FFFFFF"
    mBgColor: "#FFFFFF"
    mBgColorHovered: "#6195C2"
    mHorizontalAlignment: Text.AlignLeft
    leftPadding: g_resolution.getScaleLength(12)
}
