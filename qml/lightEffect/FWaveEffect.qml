import QtQuick 2.12

// One ripple: a ring that grows from the item's centre and fades as wave_offset runs from 0 to 1.
Item {
    id: root

    property real wave_offset: 0
    property color wave_color: "#43DEF1"
    // The largest radius the ring reaches.
    property real mReach: g_resolution.getScaleLength(120)

    Rectangle {
        anchors.centerIn: parent
        width: 2 * root.mReach * root.wave_offset
        height: width
        radius: width / 2
        color: "transparent"
        border.width: g_resolution.getScaleLength(6)
        border.color: root.wave_color
        opacity: 1 - root.wave_offset
    }
}
