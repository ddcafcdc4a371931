import QtQuick 2.12

// Earlier top navigation bar: one entry per page of the earlier window; the chosen page goes out as its index.
Rectangle {
    id: root

    property int mCurrentIndex: 0
    property var mPages: [qsTr("Key setting"), qsTr("Light setting"), qsTr("Macro editing"), qsTr("Support"),
                          qsTr("Personal Center")]

    signal selectPage(int index)

    color: "#303344"
    height: g_resolution.getScaleLength(48)
    width: row.implicitWidth

    Row {
        id: row
        anchors.fill: parent
        spacing: g_resolution.getScaleLength(6)
        Repeater {
            model: root.mPages
            delegate: KHeaderBarCheckBox {
                objectName: "page" + index
                mText: modelData
                mIsSelected: index === root.mCurrentIndex
                onClicked: {
                    root.mCurrentIndex = index
                    root.selectPage(index)
                }
            }
        }
    }
}
