import QtQuick 2.12

// Border of a panel: a white rounded ground with a thin line, and a title on its top edge when given one.
Rectangle {
    id: root

    property string mTitle: ""
    property string mBorderColor: "#DEE9F1"
    property int mRadius: 6
    default property alias mContent: content.data

    color: "#FFFFFF"
    radius: g_resolution.getScaleLength(mRadius)
    border.width: 1
    border.color: mBorderColor

    Text {
        id: title
        visible: root.mTitle !== ""
        x: g_resolution.getScaleLength(14)
        y: g_resolution.getScaleLength(10)
        text: root.mTitle
        color: "#303344"
        font.bold: true
        font.pixelSize: g_resolution.getScaleLength(14)
    }
    Item {
        id: content
        anchors.fill: parent
        anchors.margins: g_resolution.getScaleLength(10)
        anchors.topMargin: title.visible ? title.y + title.height + g_resolution.getScaleLength(8)
                                         : g_resolution.getScaleLength(10)
    }
}
