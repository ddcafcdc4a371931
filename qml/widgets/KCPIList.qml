import QtQuick 2.12

// Earlier DPI stage list: the model's number of stages; selecting one makes it current on the mouse, a moving
// slider only shows its value and a release or a field change writes the stage.
Column {
    id: root

    spacing: g_resolution.getScaleLength(6)

    Repeater {
        id: mRows
        model: g_dpiModel.number
        delegate: KCPIListItem {
            objectName: "dpiRow" + (index + 1)
            mIndex: index
            mIsSelected: index === g_dpiModel.currentIndex
            mValue: g_dpiModel.values !== undefined && index < g_dpiModel.values.length ? g_dpiModel.values[index] : 0
            onSelect: g_dpiModel.writeCurrentDpi(index)
            onChangeValue: {
                if (!moving)
                    g_dpiModel.setDpi(mIndex, value)
                h_suspension.sigShowSetCpiTips(String(value))
            }
        }
    }
}
