import QtQuick 2.12
import QtQuick.Controls 2.12

// The basic functions of the key-setting dialog: one check row per function the device offers
// (g_keyModel.functionsMap), in the order of their codes; mSelectIndex is the code chosen, -1 for none.
Item {
    id: root

    property int mSelectIndex: -1
    readonly property var mCodes: {
        var codes = Object.keys(g_keyModel.functionsMap).map(function (code) { return parseInt(code, 10) })
        codes.sort(function (a, b) { return a - b })
        return codes
    }

    // Nothing chosen, the list at its top.
    function resetSelect() {
        mSelectIndex = -1
        mList.positionViewAtBeginning()
    }

    ListView {
        id: mList
        objectName: "functionListView"
        anchors.fill: parent
        clip: true
        model: root.mCodes
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {}

        delegate: Item {
            readonly property bool mSelected: modelData === root.mSelectIndex
            objectName: "function" + modelData
            width: mList.width
            height: g_resolution.getScaleLength(32)

            Image {
                // Let go at once when the picture changes: a picture left in the cache keeps a timer
                // waking the idle window until it expires.
                cache: false
                id: mCheck
                anchors.left: parent.left
                anchors.leftMargin: g_resolution.getScaleLength(10)
                anchors.verticalCenter: parent.verticalCenter
                width: g_resolution.getScaleLength(16)
                height: width
                source: parent.mSelected ? "qrc:/common/newUI/keyset_checkbox_sel.png"
                                         : "qrc:/common/newUI/keyset_checkbox.png"
            }
            Text {
                anchors.left: mCheck.right
                anchors.leftMargin: g_resolution.getScaleLength(10)
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr(g_keyModel.functionsMap[String(modelData)] || "")
                color: parent.mSelected ? "#6195C2" : "#303344"
                font.pixelSize: g_resolution.getScaleLength(14)
            }
            MouseArea {
                anchors.fill: parent
                onClicked: root.mSelectIndex = modelData
            }
        }
    }
}
