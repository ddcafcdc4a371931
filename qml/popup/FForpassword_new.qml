import QtQuick 2.12

// Forgotten password (full-window panel).
// The window relies on this interface; the document's content is built on it.
Rectangle {
    id: root

    signal mSender(int Index)
}
