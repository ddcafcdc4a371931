import QtQuick 2.12
import QtQuick.Window 2.12

// Base of the light-effect previews: the name of the effect shown, the models a preview serves and the
// signal a preview gives when the user picks an effect in it.
Item {
    id: root

    property string mModelText: ""
    // Device names this preview serves.
    property var mModels: []
    // Whether the preview is on screen: shown, in a window that is neither hidden nor minimised. Its animations and
    // timers run only then, so a window left in the notification area or minimised does not wake.
    readonly property bool mSeen: visible && Window.visibility !== Window.Hidden
                                  && Window.visibility !== Window.Minimized

    signal select(int index)

    // Takes the shown effect's name from the lighting model (the translated list).
    function modelStrChanged() {
        var logo = g_lightModel.logo
        var names = logo ? logo.text : []
        mModelText = logo && logo.model >= 0 && logo.model < names.length ? names[logo.model] : ""
    }

    // Whether this preview serves the device of that name.
    function matchingModel(device) {
        return mModels.indexOf(device) >= 0
    }

    Connections {
        target: g_lightModel.logo
        function onModelChanged() { root.modelStrChanged() }
        function onTextChanged() { root.modelStrChanged() }
    }

    Component.onCompleted: modelStrChanged()
}
