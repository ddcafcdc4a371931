import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"

// Earlier list of basic key functions: a grid of buttons, one per function the device offers
// (g_keyModel.functionsMap) in the order of their codes; mSelectIndex is the code chosen, -1 for none.
Item {
    id: root

    property int mSelectIndex: -1
    property int mColumns: 3
    readonly property var mCodes: {
        var codes = Object.keys(g_keyModel.functionsMap).map(function (code) { return parseInt(code, 10) })
        codes.sort(function (a, b) { return a - b })
        return codes
    }

    signal functionSelected(int code)

    Flickable {
        anchors.fill: parent
        contentHeight: grid.height
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {}

        Grid {
            id: grid
            width: parent.width
            columns: Math.max(1, root.mColumns)
            spacing: g_resolution.getScaleLength(6)
            Repeater {
                model: root.mCodes
                delegate: KSelectBtn {
                    objectName: "function" + modelData
                    width: (grid.width - (grid.columns - 1) * grid.spacing) / grid.columns
                    mText: g_keyModel.functionsMap[String(modelData)] || ""
                    mIndex: modelData
                    mIsSelected: modelData === root.mSelectIndex
                    onSelected: {
                        root.mSelectIndex = index
                        root.functionSelected(index)
                    }
                }
            }
        }
    }
}
