import QtQuick 2.12

// Lighting page of the mouse.
// The window relies on this interface; the document's content is built on it.
Item {
    id: root

    property string mConfigPath: ""
}
