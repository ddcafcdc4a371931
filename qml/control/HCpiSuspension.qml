import QtQuick 2.12

// Floating tip of the DPI page: fades to the opacity its user sets.
Rectangle {
    id: root

    property var mOpacity: 0
    property string mColor: "#303344"
    property int mDuration: 300
    property int mRadius: 4

    color: mColor
    radius: g_resolution.getScaleLength(mRadius)
    opacity: mOpacity
    visible: opacity > 0

    Behavior on opacity {
        NumberAnimation { duration: root.mDuration }
    }
}
