import QtQuick 2.12

// Macro page.
// The window relies on this interface; the document's content is built on it.
Item {
    id: root
}
