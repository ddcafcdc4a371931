import QtQuick 2.12

// DPI page of the mouse.
// The window relies on this interface; the document's content is built on it.
Item {
    id: root

    signal mDialogVisable(bool state)
}
