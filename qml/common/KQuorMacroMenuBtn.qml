import QtQuick 2.12

// One entry of the macro event menu.
KTxtImgBtn {
    height: g_resolution.getScaleLength(30)
    mFontSize: 13
    mColor: "#303344"
    mColorHovered: "#6195C2"
    leftPadding: g_resolution.getScaleLength(10)
}
