import QtQuick 2.12

// Lighting page of the keyboard.
// The window relies on this interface; the document's content is built on it.
Item {
    id: root

    property var mKeyboard: null
    property string mConfigPath: ""

    signal mDialogVisable(bool state)
}
