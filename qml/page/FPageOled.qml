import QtQuick 2.12

// OLED page.
// The window relies on this interface; the document's content is built on it.
Item {
    id: root
}
