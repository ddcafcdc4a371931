import QtQuick 2.12
import QtQuick.Controls 2.12

// A row of a label and a spin box; the box keeps its value within mFrom and mTo and reports every change made
// by the user.
Row {
    id: root

    property string mText: ""
    property int mValue: 0
    property int mFrom: 0
    property int mTo: 100
    property int mStep: 1
    property int mLabelWidth: 80

    signal valueModified(int value)

    spacing: g_resolution.getScaleLength(8)

    Text {
        anchors.verticalCenter: parent.verticalCenter
        width: g_resolution.getScaleLength(root.mLabelWidth)
        text: root.mText
        color: "#303344"
        elide: Text.ElideRight
        font.pixelSize: g_resolution.getScaleLength(13)
    }
    SpinBox {
        anchors.verticalCenter: parent.verticalCenter
        from: root.mFrom
        to: root.mTo
        stepSize: root.mStep
        value: root.mValue
        editable: true
        font.pixelSize: g_resolution.getScaleLength(13)
        onValueModified: {
            root.mValue = value
            root.valueModified(value)
        }
    }
}
