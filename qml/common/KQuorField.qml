import QtQuick 2.12
import QtQuick.Controls 2.12

// Earlier text field: a line underneath in place of a frame, accented while the field has the focus.
TextField {
    id: root

    property string mTextColor: "#303344"
    property int mFontSize: 13

    selectByMouse: true
    color: mTextColor
    font.pixelSize: g_resolution.getScaleLength(mFontSize)
    background: Item {
        implicitHeight: g_resolution.getScaleLength(30)
        Rectangle {
            anchors.bottom: parent.bottom
            width: parent.width
            height: root.activeFocus ? 2 : 1
            color: root.activeFocus ? "#6195C2" : "#BAC2CA"
        }
    }
}
