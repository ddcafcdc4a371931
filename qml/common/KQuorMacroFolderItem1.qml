import QtQuick 2.12

// Earlier entry of a macro folder menu: a left-aligned line that fills with the accent colour on hover.
KTxtBtn {
    width: parent ? parent.width : implicitWidth
    height: g_resolution.getScaleLength(28)
    mFontSize: 12
    mColor: "#303344"
    mColorHovered: "#FFFFFF"
    mBgColor: "#F5F7FA"
    mBgColorHovered: "#6195C2"
    mHorizontalAlignment: Text.AlignLeft
    leftPadding: g_resolution.getScaleLength(10)
}
