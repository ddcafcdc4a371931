import QtQuick 2.12

// Support page.
// The window relies on this interface; the document's content is built on it.
Item {
    id: root

    signal mSender(int buttonIndex)
    signal hideSubWindow()
}
