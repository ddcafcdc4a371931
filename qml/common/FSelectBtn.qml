import QtQuick 2.12

// Selectable text button: white with a border, filled with the accent colour while selected.
KTxtBtn {
    property bool mIsSelected: false

    mIsSelect: mIsSelected
    height: g_resolution.getScaleLength(30)
    mRadius: 4
    mFontSize: 13
    mBgColor: "#FFFFFF"
    mBgColorHovered: "#EEF4F9"
    mBgColorSel: "#6195C2"
    mColorHovered: "#6195C2"
    mColorSel: "#FFFFFF"
}
