import QtQuick 2.12
import QtQuick.Controls 2.12

// Earlier light effect combo box: the effects of one zone's light item (mItem); choosing one writes it for the
// zone mZone.
ComboBox {
    id: root

    property var mItem: g_lightModel.logo
    property int mZone: 0
    // The effects' names as a plain array: a combo box makes no entries from the model's list type itself.
    readonly property var mNames: {
        var names = mItem ? mItem.text : []
        var plain = []
        for (var i = 0; names && i < names.length; ++i)
            plain.push(String(names[i]))
        return plain
    }

    model: mNames
    currentIndex: mItem ? Math.min(mItem.model, mNames.length - 1) : -1
    implicitWidth: g_resolution.getScaleLength(180)
    implicitHeight: g_resolution.getScaleLength(30)
    font.pixelSize: g_resolution.getScaleLength(13)
    onActivated: {
        if (mItem)
            mItem.writeModel(index, mZone)
    }
}
